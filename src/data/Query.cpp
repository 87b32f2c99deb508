#include "Query.h"

#include "Database.h"
#include "DbError.h"

#include <QSqlError>
#include <QSqlQuery>

Query::Query(Database &db, QString name) : DataSet(db), name_(std::move(name)) {}

void Query::clearSql() {
    close();
    lines_.clear();
}

void Query::addLine(const QString &line) {
    close();
    lines_ << line;
}

void Query::setText(const QString &text) {
    close();
    lines_ = text.split(u'\n');
}

Query::Positional Query::positional(const QString &text) {
    Positional out;
    out.text.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        // Literals, quoted names and comments pass unchanged.
        if (c == u'\'' || c == u'"') {
            qsizetype end = i + 1;
            while (end < n) {
                if (text[end] == c) {
                    if (end + 1 < n && text[end + 1] == c) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out.text += text.mid(i, end - i + 1);
            i = end + 1;
            continue;
        }
        if (c == u'-' && i + 1 < n && text[i + 1] == u'-') {
            const qsizetype end = text.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? n : end;
            out.text += text.mid(i, stop - i);
            i = stop;
            continue;
        }
        const bool startsName = i + 1 < n && (text[i + 1].isLetter() || text[i + 1] == u'_');
        const bool afterColon = i > 0 && text[i - 1] == u':';
        if (c == u':' && startsName && !afterColon) {
            qsizetype end = i + 1;
            while (end < n && (text[end].isLetterOrNumber() || text[end] == u'_'))
                ++end;
            out.names << text.mid(i + 1, end - i - 1);
            out.text += u'?';
            i = end;
            continue;
        }
        out.text += c;
        ++i;
    }
    return out;
}

QStringList Query::parameterNames() const {
    QStringList names;
    for (const QString &name : positional(text()).names)
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    return names;
}

void Query::setParam(const QString &name, const ParamValue &value) {
    close();
    params_.insert(name.toUpper(), value);
}

void Query::setDate(const QString &name, const QDate &value) {
    setParam(name, ParamValue::date(value));
}

void Query::setDateTime(const QString &name, const QDateTime &value) {
    setParam(name, ParamValue::dateTime(value));
}

void Query::setInteger(const QString &name, qint64 value) {
    setParam(name, ParamValue::integer(value));
}

void Query::setNumber(const QString &name, double value) {
    setParam(name, ParamValue::number(value));
}

void Query::setString(const QString &name, const QString &value) {
    setParam(name, ParamValue::text(value));
}

void Query::setNull(const QString &name) {
    setParam(name, ParamValue::null());
}

QSqlQuery &Query::run() {
    close();
    return execute(text(), params_);
}

void Query::open() {
    startReading(run());
}

int Query::exec() {
    return run().numRowsAffected();
}

QString Query::parameterText(const QString &name) const {
    const ParamValue value = params_.value(name.toUpper());
    return value.type == ParamValue::Type::Null ? QString() : DataSet::valueText(value.value);
}
