#include "DbError.h"

#include <QRegularExpression>
#include <QSqlError>

namespace {
const QString locked = QStringLiteral("Podatkovno zbirko zaklepa drug program; poskusite znova.");
const QString readOnly = QStringLiteral("V podatkovno zbirko ni mogoče pisati: datoteka ali njena "
                                        "mapa je samo za branje.");
const QString diskError =
    QStringLiteral("Datoteke podatkovne zbirke ni mogoče brati ali pisati (napaka diska).");
const QString corrupt = QStringLiteral("Podatkovna zbirka je poškodovana ali okrnjena; obnovite "
                                       "jo iz varnostne kopije.");
const QString full = QStringLiteral("Na disku ni prostora.");
const QString cannotOpen =
    QStringLiteral("Datoteke podatkovne zbirke ali njene začasne datoteke ni "
                   "mogoče odpreti: mapa je samo za branje ali brez "
                   "pravic.");
const QString notADatabase = QStringLiteral("Datoteka ni podatkovna zbirka.");

// The embedded engine's result codes (SQLite's primary codes) and the texts SQLite gives for them,
// for the errors that arrive without their code (a failed COMMIT).
struct Known {
    int code;
    const char *text;
    const QString &cause;
};
const Known known[] = {
    {5, "database is locked", locked},
    {6, "database table is locked", locked},
    {8, "attempt to write a readonly database", readOnly},
    {10, "disk I/O error", diskError},
    {11, "database disk image is malformed", corrupt},
    {13, "database or disk is full", full},
    {14, "unable to open database file", cannotOpen},
    {26, "file is not a database", notADatabase},
};

// ODBC's SQLSTATE classes of the host databases.
QString odbcCause(const QString &state) {
    if (state.startsWith(QStringLiteral("28")))
        return QStringLiteral("Uporabnik ali geslo za podatkovno zbirko ni pravilno.");
    if (state.startsWith(QStringLiteral("08")))
        return QStringLiteral("Povezave s strežnikom podatkovne zbirke ni mogoče vzpostaviti ali "
                              "je prekinjena.");
    if (state == QLatin1String("40001") || state == QLatin1String("HYT00"))
        return locked;
    return {};
}
// What a driver's error means for the clerk ("Na disku ni prostora."); empty when the program
// cannot tell more than the driver's text. Every database error of the program passes here.
QString cause(const QSqlError &error) {
    const QString text = error.databaseText();
    static const QRegularExpression missingTable(QStringLiteral("no such (table|column): (\\S+)"));
    if (const QRegularExpressionMatch m = missingTable.match(text); m.hasMatch())
        return (m.captured(1) == QLatin1String("table") ? QStringLiteral("Tabele ")
                                                        : QStringLiteral("Stolpca ")) +
               m.captured(2) +
               QStringLiteral(" v podatkovni zbirki ni: to ni zbirka tega programa ali pa je iz "
                              "druge različice.");
    const QString native = error.nativeErrorCode();
    bool numeric = false;
    const int code = native.toInt(&numeric);
    // SQLite gives its result code as a number; ODBC its five-character SQLSTATE.
    if (!numeric || native.size() == 5)
        if (const QString odbc = odbcCause(native.section(u';', 0, 0)); !odbc.isEmpty())
            return odbc;
    for (const Known &k : known)
        if ((numeric && native.size() < 5 && (code & 0xff) == k.code) ||
            text.contains(QLatin1String(k.text), Qt::CaseInsensitive))
            return k.cause;
    return {};
}
} // namespace

DbError DbError::fromSql(const QSqlError &error, const QString &statement) {
    const QString database = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    QString text = database.isEmpty() ? driver : database;
    if (!database.isEmpty() && !driver.isEmpty() && driver != database)
        text += QStringLiteral(" (") + driver + u')';
    if (const QString c = cause(error); !c.isEmpty())
        text = c + u'\n' + text;
    if (!statement.isEmpty())
        text += QStringLiteral("\n") + statement.trimmed();
    return DbError(text);
}
