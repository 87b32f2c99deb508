#include "EmbeddedEngine.h"

#include "JulianDay.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <sqlite3.h>

namespace {

QString argText(sqlite3_value *v) {
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return QString::fromUtf8(text, sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_result_text(ctx, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context *ctx, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_result_error(ctx, bytes.constData(), static_cast<int>(bytes.size()));
}

bool isNumeric(sqlite3_value *v) {
    const int type = sqlite3_value_type(v);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

// An Oracle date mask ("dd.mm.yyyy", "mm/dd/yyyy", "YYYY", "hh24:mi:ss") as a Qt format.
QString qtFormat(const QString &mask) {
    QString out;
    const QString m = mask.toUpper();
    for (qsizetype i = 0; i < m.size();) {
        auto take = [&](const char *token, const char *qt) {
            const QLatin1StringView t(token);
            if (QStringView(m).mid(i).startsWith(t)) {
                out += QLatin1StringView(qt);
                i += t.size();
                return true;
            }
            return false;
        };
        if (take("YYYY", "yyyy") || take("HH24", "HH") || take("HH", "hh") || take("MI", "mm") ||
            take("MM", "MM") || take("DD", "dd") || take("SS", "ss") || take("YY", "yy"))
            continue;
        const QChar c = mask[i++];
        out += c.isLetter() ? QStringLiteral("'") + c + u'\'' : QString(c);
    }
    return out;
}

// Reads a date text by an Oracle date mask ("dd.mm.yyyy", "mm/dd/yyyy", "hh24:mi:ss") straight
// into a Julian day: a date function of a statement runs for every row, and the local time of
// a QDateTime costs a time-zone conversion each time. Fields the mask leaves out are those of
// 1 January 1900, midnight; "yy" is a year of the 1900s.
bool parseDate(const QByteArray &text, const QByteArray &mask, double &julianDay) {
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    const QByteArray m = mask.toUpper();
    qsizetype at = 0;
    const auto number = [&](int maxDigits, int &out) {
        int digits = 0;
        int value = 0;
        while (digits < maxDigits && at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at] - '0');
            ++at;
            ++digits;
        }
        out = value;
        return digits > 0;
    };
    for (qsizetype i = 0; i < m.size();) {
        const QByteArrayView rest = QByteArrayView(m).sliced(i);
        bool ok = true;
        if (rest.startsWith("YYYY")) {
            ok = number(4, year);
            i += 4;
        } else if (rest.startsWith("YY")) {
            ok = number(2, year);
            year += 1900;
            i += 2;
        } else if (rest.startsWith("HH24")) {
            ok = number(2, hour);
            i += 4;
        } else if (rest.startsWith("HH")) {
            ok = number(2, hour);
            i += 2;
        } else if (rest.startsWith("MI")) {
            ok = number(2, minute);
            i += 2;
        } else if (rest.startsWith("MM")) {
            ok = number(2, month);
            i += 2;
        } else if (rest.startsWith("DD")) {
            ok = number(2, day);
            i += 2;
        } else if (rest.startsWith("SS")) {
            ok = number(2, second);
            i += 2;
        } else {
            ok = at < text.size() && text[at] == mask[i];
            ++at;
            ++i;
        }
        if (!ok)
            return false;
    }
    if (at != text.size() || !QDate::isValid(year, month, day) ||
        !QTime::isValid(hour, minute, second))
        return false;
    julianDay =
        JulianDay::fromParts(QDate(year, month, day), ((hour * 60 + minute) * 60 + second) * 1000);
    return true;
}

// SQL functions give null for a null argument.
bool nullResult(sqlite3_context *ctx, sqlite3_value *v) {
    if (sqlite3_value_type(v) != SQLITE_NULL)
        return false;
    sqlite3_result_null(ctx);
    return true;
}

void nvl(sqlite3_context *ctx, int, sqlite3_value **argv) {
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

void toDate(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (nullResult(ctx, argv[0]))
        return;
    if (isNumeric(argv[0])) {
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    }
    const QByteArray text = QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                       sqlite3_value_bytes(argv[0]))
                                .trimmed();
    const QByteArray mask =
        argc > 1 ? QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(argv[1])),
                              sqlite3_value_bytes(argv[1]))
                 : QByteArrayLiteral("dd.mm.yyyy");
    double julianDay = 0;
    if (!parseDate(text, mask, julianDay)) {
        resultError(ctx, QStringLiteral("TO_DATE: '%1' ni datum oblike '%2'")
                             .arg(QString::fromUtf8(text), QString::fromUtf8(mask)));
        return;
    }
    sqlite3_result_double(ctx, julianDay);
}

QString numberText(double v) {
    return QString::number(v, 'g', 15);
}

void toChar(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    sqlite3_value *v = argv[0];
    if (nullResult(ctx, v))
        return;
    if (argc > 1 && isNumeric(v)) {
        const QDateTime dt = JulianDay::toDateTime(sqlite3_value_double(v));
        resultText(ctx, dt.toString(qtFormat(argText(argv[1]))));
        return;
    }
    if (sqlite3_value_type(v) == SQLITE_INTEGER)
        resultText(ctx, QString::number(sqlite3_value_int64(v)));
    else if (sqlite3_value_type(v) == SQLITE_FLOAT)
        resultText(ctx, numberText(sqlite3_value_double(v)));
    else
        resultText(ctx, argText(v));
}

void toNumber(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (nullResult(ctx, argv[0]))
        return;
    if (isNumeric(argv[0])) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const QString text = argText(argv[0]).trimmed();
    bool ok = false;
    const qint64 whole = text.toLongLong(&ok);
    if (ok) {
        sqlite3_result_int64(ctx, whole);
        return;
    }
    const double number = text.toDouble(&ok);
    if (!ok) {
        resultError(ctx, QStringLiteral("TO_NUMBER: '%1' ni število").arg(text));
        return;
    }
    sqlite3_result_double(ctx, number);
}

// TRUNC(x) and TRUNC(x, n) of a number: toward zero, to n decimals.
void trunc(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    if (nullResult(ctx, argv[0]))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    }
    const int decimals = argc > 1 ? sqlite3_value_int(argv[1]) : 0;
    const double scale = std::pow(10.0, decimals);
    const double value = std::trunc(sqlite3_value_double(argv[0]) * scale) / scale;
    if (decimals <= 0)
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(value));
    else
        sqlite3_result_double(ctx, value);
}

// MOD(a, b) takes the sign of a, and MOD(a, 0) is a.
void mod(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (nullResult(ctx, argv[0]) || nullResult(ctx, argv[1]))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER &&
        sqlite3_value_type(argv[1]) == SQLITE_INTEGER) {
        const sqlite3_int64 a = sqlite3_value_int64(argv[0]);
        const sqlite3_int64 b = sqlite3_value_int64(argv[1]);
        sqlite3_result_int64(ctx, b == 0 ? a : a % b);
        return;
    }
    const double a = sqlite3_value_double(argv[0]);
    const double b = sqlite3_value_double(argv[1]);
    sqlite3_result_double(ctx, b == 0 ? a : a - b * std::trunc(a / b));
}

void year(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (!isNumeric(argv[0])) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, JulianDay::toDate(sqlite3_value_double(argv[0])).year());
}

void today(sqlite3_context *ctx, int, sqlite3_value **) {
    const auto *provider = static_cast<const std::function<QDate()> *>(sqlite3_user_data(ctx));
    sqlite3_result_double(ctx, JulianDay::fromDate((*provider)()));
}

void caseFunction(sqlite3_context *ctx, sqlite3_value **argv, bool upper) {
    if (nullResult(ctx, argv[0]))
        return;
    if (isNumeric(argv[0])) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    // Most texts are plain ASCII: change their case in place, without a round trip through
    // Unicode.
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    bool ascii = true;
    for (int i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(bytes[i]) < 0x80;
    if (ascii) {
        QByteArray changed(bytes, size);
        for (char &c : changed) {
            if (upper && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (!upper && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        sqlite3_result_text(ctx, changed.constData(), size, SQLITE_TRANSIENT);
        return;
    }
    const QString text = QString::fromUtf8(bytes, size);
    resultText(ctx, upper ? text.toUpper() : text.toLower());
}

void upperFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    caseFunction(ctx, argv, true);
}

void lowerFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    caseFunction(ctx, argv, false);
}

// The statement that advances a sequence and gives its new value. Within one execution of
// the calling statement it is prepared once and kept with the (constant) sequence name, so a
// statement that draws a number for each of many rows does not prepare it for every row; SQLite
// finalizes it with the calling statement.
void finalizeStatement(void *statement) {
    sqlite3_finalize(static_cast<sqlite3_stmt *>(statement));
}

void nextval(sqlite3_context *ctx, int, sqlite3_value **argv) {
    sqlite3 *db = sqlite3_context_db_handle(ctx);
    auto *advance = static_cast<sqlite3_stmt *>(sqlite3_get_auxdata(ctx, 0));
    const bool prepared = advance == nullptr;
    if (prepared) {
        const QByteArray name = argText(argv[0]).toUpper().toUtf8();
        if (sqlite3_prepare_v2(db,
                               "UPDATE RAPO_SEQUENCE SET VALUE = VALUE + 1 WHERE NAME = ?1 "
                               "RETURNING VALUE",
                               -1, &advance, nullptr) != SQLITE_OK) {
            sqlite3_finalize(advance);
            resultError(ctx, QString::fromUtf8(sqlite3_errmsg(db)));
            return;
        }
        sqlite3_bind_text(advance, 1, name.constData(), -1, SQLITE_TRANSIENT);
    }
    const int stepped = sqlite3_step(advance);
    if (stepped == SQLITE_ROW) {
        sqlite3_result_int64(ctx, sqlite3_column_int64(advance, 0));
    } else if (stepped == SQLITE_DONE) {
        resultError(ctx, QStringLiteral("sekvenca %1 ne obstaja").arg(argText(argv[0]).toUpper()));
    } else {
        // A locked, read-only or full database says so, with its code for the cause.
        sqlite3_result_error(ctx, sqlite3_errmsg(db), -1);
        sqlite3_result_error_code(ctx, stepped);
    }
    sqlite3_reset(advance);
    // Kept for the next row; SQLite may finalize it at once, so it is not used after this.
    if (prepared)
        sqlite3_set_auxdata(ctx, 0, advance, finalizeStatement);
}

struct Function {
    const char *name;
    int argc;
    void (*call)(sqlite3_context *, int, sqlite3_value **);
    bool deterministic;
};

const Function functions[] = {
    {"NVL", 2, nvl, true},
    {"TO_DATE", 1, toDate, true},
    {"TO_DATE", 2, toDate, true},
    {"TO_CHAR", 1, toChar, true},
    {"TO_CHAR", 2, toChar, true},
    {"TO_NUMBER", 1, toNumber, true},
    {"TRUNC", 1, trunc, true},
    {"TRUNC", 2, trunc, true},
    {"MOD", 2, mod, true},
    {"YEAR", 1, year, true},
    {"upper", 1, upperFunction, true},
    {"lower", 1, lowerFunction, true},
    {"NEXTVAL", 1, nextval, false},
};

struct Rewrite {
    QRegularExpression pattern;
    QString replacement;
};

const std::vector<Rewrite> &rewrites() {
    static const auto ci = QRegularExpression::CaseInsensitiveOption;
    static const std::vector<Rewrite> list = {
        {QRegularExpression(QStringLiteral("\\b(\\w+)\\.NEXTVAL\\b"), ci),
         QStringLiteral("NEXTVAL('\\1')")},
        {QRegularExpression(QStringLiteral("\\bNEXTVAL\\s+FOR\\s+(\\w+)"), ci),
         QStringLiteral("NEXTVAL('\\1')")},
        {QRegularExpression(QStringLiteral("\\bEXTRACT\\s*\\(\\s*YEAR\\s+FROM\\s+"), ci),
         QStringLiteral("YEAR(")},
        {QRegularExpression(QStringLiteral("\\bCURRENT_DATE\\b"), ci),
         QStringLiteral("RAPO_TODAY()")},
        {QRegularExpression(QStringLiteral("\\bCURRENT\\s+DATE\\b"), ci),
         QStringLiteral("RAPO_TODAY()")},
        // DB2 compares a date with a European date text built from day, month and year
        // ("(31-mod(...)) || '.03.' || YEAR(P.Dan)"); here that text becomes the date it names.
        {QRegularExpression(QStringLiteral("(\\(31-mod\\([^|]*\\)\\))\\s*\\|\\|\\s*'\\.(\\d\\d)\\.'"
                                           "\\s*\\|\\|\\s*(YEAR\\([^)]*\\))"),
                            ci),
         QStringLiteral("TO_DATE(\\1 || '.\\2.' || \\3,'dd.mm.yyyy')")},
        {QRegularExpression(QStringLiteral("\\bSYSIBM\\.SYSDUMMY1\\b"), ci),
         QStringLiteral("SYSDUMMY1")},
        {QRegularExpression(
             QStringLiteral(
                 "\\bCAST\\s*\\(\\s*('\\d{1,2}\\.\\d{1,2}\\.\\d{4}')\\s+AS\\s+DATE\\s*\\)"),
             ci),
         QStringLiteral("TO_DATE(\\1)")},
        // A host table lock: the embedded transaction holds the database's write lock from its
        // start (BEGIN IMMEDIATE), so the statement has nothing left to do.
        {QRegularExpression(
             QStringLiteral("^\\s*LOCK\\s+TABLE\\s+\\w+\\s+IN\\s+(SHARE|EXCLUSIVE)\\s+MODE\\s*$"),
             ci),
         QStringLiteral("SELECT 1")},
    };
    return list;
}

} // namespace

void EmbeddedEngine::install(sqlite3 *db, const std::function<QDate()> *todayProvider) {
    for (const Function &f : functions) {
        sqlite3_create_function_v2(db, f.name, f.argc,
                                   SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0),
                                   nullptr, f.call, nullptr, nullptr, nullptr);
    }
    sqlite3_create_function_v2(db, "RAPO_TODAY", 0, SQLITE_UTF8,
                               const_cast<std::function<QDate()> *>(todayProvider), today, nullptr,
                               nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
    // A day's collection writes in one transaction; a page cache of 64 MB keeps it from
    // spilling to the file before the commit.
    sqlite3_exec(db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
}

QString EmbeddedEngine::rewrite(const QString &sql) {
    // String literals are set aside before the rewrite and put back after it, so that a value
    // written into a statement ('OR.NEXTVAL', 'CURRENT_DATE') stays a value. Literals of digits
    // and dots stay in place: the date rewrites read them ('.03.', '28.03.2014').
    static const QRegularExpression dateLiteral(QStringLiteral("^'[0-9.]*'$"));
    const QChar open(0xE000);
    const QChar close(0xE001);
    QStringList literals;
    QString out;
    out.reserve(sql.size());
    for (qsizetype i = 0; i < sql.size();) {
        if (sql[i] != u'\'') {
            out += sql[i++];
            continue;
        }
        // A quote inside a literal is written twice; an unterminated literal runs to the end.
        qsizetype end = i + 1;
        while (end < sql.size()) {
            if (sql[end] == u'\'' && end + 1 < sql.size() && sql[end + 1] == u'\'')
                end += 2;
            else if (sql[end] == u'\'')
                break;
            else
                ++end;
        }
        const QString literal = sql.mid(i, end + 1 - i);
        i = end + 1;
        if (dateLiteral.match(literal).hasMatch()) {
            out += literal;
            continue;
        }
        out += open + QString::number(literals.size()) + close;
        literals << literal;
    }
    for (const Rewrite &r : rewrites())
        out.replace(r.pattern, r.replacement);
    if (literals.isEmpty())
        return out;
    QString restored;
    restored.reserve(out.size());
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] != open) {
            restored += out[i];
            continue;
        }
        const qsizetype end = out.indexOf(close, i);
        restored += literals.value(QStringView(out).mid(i + 1, end - i - 1).toInt());
        i = end;
    }
    return restored;
}

QStringList EmbeddedEngine::supportTables() {
    return {
        QStringLiteral("CREATE TABLE dual (DUMMY VARCHAR(1))"),
        QStringLiteral("INSERT INTO dual VALUES ('X')"),
        QStringLiteral("CREATE TABLE SYSDUMMY1 (IBMREQD VARCHAR(1))"),
        QStringLiteral("INSERT INTO SYSDUMMY1 VALUES ('Y')"),
        QStringLiteral("CREATE TABLE RAPO_SEQUENCE (NAME VARCHAR(64) PRIMARY KEY, VALUE INTEGER)"),
    };
}

QString EmbeddedEngine::createSequence(const QString &name) {
    return QStringLiteral("INSERT INTO RAPO_SEQUENCE (NAME, VALUE) VALUES ('%1', 0)")
        .arg(name.toUpper());
}
