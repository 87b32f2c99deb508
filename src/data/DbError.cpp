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
                   "mogoče odpreti: mapa je samo za branje ali brez pravic.");
const QString notADatabase = QStringLiteral("Datoteka ni podatkovna zbirka.");

// The texts the embedded engine (SQLite) gives for the failures a clerk can act on; they are
// the same whatever statement failed and also come with a failed COMMIT, which has no code.
struct Known {
    const char *text;
    const QString &cause;
};
const Known known[] = {
    {"database is locked", locked},
    {"database table is locked", locked},
    {"attempt to write a readonly database", readOnly},
    {"disk I/O error", diskError},
    {"database disk image is malformed", corrupt},
    {"database or disk is full", full},
    {"unable to open database file", cannotOpen},
    {"file is not a database", notADatabase},
};

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
    for (const Known &k : known)
        if (text.contains(QLatin1String(k.text), Qt::CaseInsensitive))
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
