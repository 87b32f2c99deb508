#include "StatementLog.h"

#include <QLocale>

StatementLog::StatementLog() : StatementLog(qEnvironmentVariable("RAPO_SQL_LOG")) {}

StatementLog::StatementLog(const QString &path) {
    if (!path.isEmpty())
        file_.setFileName(path);
}

QString StatementLog::valueText(const ParamValue &value) {
    switch (value.type) {
    case ParamValue::Type::Null:
        return QStringLiteral("NULL");
    case ParamValue::Type::Date:
        return value.value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case ParamValue::Type::DateTime:
        return value.value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss.zzz"));
    case ParamValue::Type::Time:
        return value.value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case ParamValue::Type::Integer:
        return QString::number(value.value.toLongLong());
    case ParamValue::Type::Number:
        return QString::number(value.value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case ParamValue::Type::Text: {
        // One line per value: a line break inside a text would end the comment.
        QString text = value.value.toString();
        text.replace(u'\'', QStringLiteral("''"));
        text.replace(u'\r', QStringLiteral("\\r"));
        text.replace(u'\n', QStringLiteral("\\n"));
        return u'\'' + text + u'\'';
    }
    }
    return {};
}

QString StatementLog::entry(const QString &text, const Values &values) {
    QString out;
    // SQL*Plus ends a statement at an empty line; the statement's own empty lines are dropped.
    const QStringList lines = text.split(u'\n');
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty())
            out += line + u'\n';
    for (const auto &[name, value] : values)
        out += QStringLiteral("-- :") + name + QStringLiteral(" = ") + valueText(value) + u'\n';
    out += QStringLiteral("/\n");
    return out;
}

void StatementLog::sent(const QString &text, const Values &values) {
    ++traffic_.statements;
    if (file_.fileName().isEmpty() || failed_)
        return;
    if (!file_.isOpen() && !file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        // A log that cannot be written must not stop the clerk's work.
        failed_ = true;
        qWarning("RAPO_SQL_LOG: %s", qPrintable(file_.errorString()));
        return;
    }
    file_.write(entry(text, values).toUtf8());
    file_.flush();
}
