#include "CollectionExport.h"

#include "Clock.h"
#include "FieldFormat.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "SheetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The value of a working-set column checked and formed by a format of the report.
QString formatted(const Query &q, const QString &column, const QString &format,
                  const QString &prefix = {}) {
    const FieldDef *field = q.field(column);
    const FieldFormat::FormatColumn value{q.columnName(q.requireColumn(column)),
                                          field ? field->caption : QString(), q.asString(column)};
    return FieldFormat::check(value, format, prefix, {},
                              q.asString(QStringLiteral("RefStTransaC")));
}

// Columns L to O: counterparty, its code type, client, its code type.
struct Parties {
    QString counterparty, counterpartyType, client, clientType;
};

Parties parties(const Query &q) {
    Parties p;
    const auto is = [&](const char *column, const char *value) {
        return q.asString(QString::fromLatin1(column)) == QLatin1String(value);
    };
    const auto empty = [&](const char *column) {
        return q.asString(QString::fromLatin1(column)).isEmpty();
    };
    const auto counterpartySwift = [&](const char *column) {
        if (!empty(column)) {
            p.counterparty = formatted(q, QString::fromLatin1(column), QStringLiteral("11(x)"));
            p.counterpartyType = QStringLiteral("BIC");
        } else {
            p.counterparty = p.counterpartyType = QStringLiteral("CC");
        }
    };
    const auto client = [&] {
        if (!empty("SWIFT")) {
            p.client = FieldFormat::padToLength(
                formatted(q, QStringLiteral("SWIFT"), QStringLiteral("11(x)")), 11,
                QStringLiteral("X"), false);
            p.clientType = QStringLiteral("BIC");
        } else {
            const QString code = q.asString(QStringLiteral("KRTBNK"));
            p.client = formatted(q, QStringLiteral("KRTBNK"), QStringLiteral("10(x)"),
                                 QString(qMax(0, 10 - int(code.size())), u'0'));
            p.clientType = QStringLiteral("Internal");
        }
    };
    const bool own = is("SFDJV", "L");
    const bool oppositeOwn = is("NS_SFDJV", "L");
    if (is("VRSTA", "I")) {
        p.counterparty = q.asString(QStringLiteral("NS_KRTBNK"));
        p.counterpartyType = q.asString(QStringLiteral("NS_OznakaKlijenta"));
        if (!empty("KRTBNK")) {
            // An internal code gets its zeros in front as in the report; a BIC stays as it is,
            // so that the workbook imported again gives the same client.
            p.clientType = q.asString(QStringLiteral("OznakaKlijenta"));
            p.client = q.asString(QStringLiteral("KRTBNK"));
            if (p.clientType != QLatin1String("BIC"))
                p.client = FieldFormat::padToLength(p.client, 10, QStringLiteral("0"), true);
        }
    } else if (is("SFTRZ", "2")) {
        p.counterparty = formatted(q, QStringLiteral("MIC"), QStringLiteral("4(x)"));
        p.counterpartyType = QStringLiteral("MIC");
        if (!own)
            client();
    } else if (is("SFTRZ", "3") && q.asInteger(QStringLiteral("IDPSLTRP")) != 0) {
        if (own && !oppositeOwn) {
            counterpartySwift("NS_SWIFT");
        } else if (!own && !oppositeOwn) {
            counterpartySwift("NS_SWIFT");
            client();
        }
    } else if (is("SFTRZ", "3")) {
        counterpartySwift("TRP_SWIFT");
        if (!own)
            client();
    }
    return p;
}

SheetCell text(const QString &value) {
    return SheetCell::text(value);
}
} // namespace

const QStringList &CollectionExport::heading() {
    static const QStringList columns = {"Datum transakcije",
                                        "Čas transakcije",
                                        "Časovni pas",
                                        "Indikator nakupa/prodaje",
                                        "Trgovalna zmogljivost",
                                        "Identifikacija instrumenta ISIN",
                                        "Kratica VP",
                                        "Cena enote",
                                        "Zapis cene",
                                        "Valuta",
                                        "Količina",
                                        "Nasprotna stranka",
                                        "Oznaka nasprotne stranke",
                                        "Klient",
                                        "Oznaka klienta",
                                        "Identifikacija mesta",
                                        "Oznaka ident. mesta",
                                        "Razveljavitvena zastavica",
                                        "Referenčna št. transakcije"};
    return columns;
}

QList<SheetCell> CollectionExport::row(const Query &q) {
    const auto number = [&](const QString &column) {
        return q.isNull(column) ? SheetCell() : SheetCell::number(q.asFloat(column));
    };
    const QDateTime day = q.asDateTime(QStringLiteral("Dan"));
    const QDateTime time = q.asDateTime(QStringLiteral("Cas"));
    const bool onMarket = q.asString(QStringLiteral("SFTRZ")) == QLatin1String("2");
    const Parties p = parties(q);
    bool whole = false;
    const QString referenceText = q.asString(QStringLiteral("RefStTransaC"));
    const qint64 reference = referenceText.toLongLong(&whole);
    if (!whole)
        throw RapoError(QStringLiteral("Referenčna št. transakcije \"%1\" ni celo število.")
                            .arg(referenceText));
    return {
        day.isValid() ? SheetCell{SheetCell::Type::Date, day.date()} : SheetCell(),
        time.isValid() ? SheetCell{SheetCell::Type::Time, time.time()} : SheetCell(),
        text(q.asString(QStringLiteral("Offset"))),
        text(q.asString(QStringLiteral("IndNakProd"))),
        text(q.asString(QStringLiteral("TrgZmog"))),
        text(q.asString(QStringLiteral("ISIN"))),
        text(q.asString(QStringLiteral("SFVP_KRT"))),
        number(QStringLiteral("CenaEnote")),
        text(q.asString(QStringLiteral("ZapisCene"))),
        text(q.asString(QStringLiteral("Valuta"))),
        number(QStringLiteral("Lot")),
        text(p.counterparty),
        text(p.counterpartyType),
        text(p.client),
        text(p.clientType),
        text(onMarket ? formatted(q, QStringLiteral("IdentMesta"), QStringLiteral("20(x)"))
                      : QStringLiteral("OTC")),
        text(onMarket ? formatted(q, QStringLiteral("OznakaIdentMesta"), QStringLiteral("4(a)"))
                      : QStringLiteral("XOFF")),
        text(q.asString(QStringLiteral("ISSTN")) == QLatin1String("D") ? QStringLiteral("C")
                                                                       : QString()),
        SheetCell::number(double(reference)),
    };
}

bool CollectionExport::write(Query &workingSet, const QString &sheetName, const QString &fileName,
                             QString *reason) {
    // Written beside the chosen name and renamed when complete: a failure leaves no file behind.
    const QString partial = fileName + QStringLiteral(".part");
    QFile::remove(partial);
    bool saved = false;
    try {
        SheetWriter writer(partial, sheetName);
        QList<SheetCell> headingRow;
        for (const QString &title : heading())
            headingRow << SheetCell::text(title);
        writer.writeRow(headingRow);
        for (workingSet.first(); !workingSet.eof(); workingSet.next())
            writer.writeRow(row(workingSet));
        saved = writer.close();
        if (!saved && reason)
            *reason = writer.error();
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (saved) {
        QFile::remove(fileName);
        saved = QFile::rename(partial, fileName);
        if (!saved && reason)
            *reason = QStringLiteral("datoteke ni mogoče preimenovati");
    }
    if (!saved)
        QFile::remove(partial);
    return saved;
}

QString CollectionExport::proposedName(const QDate &today) {
    return QStringLiteral("RAPOExport") + today.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(".xlsx");
}

void CollectionExport::run(Session &session, Query *workingSet,
                           const std::function<void(const QString &fileName)> &open) {
    if (!workingSet || !workingSet->active() || workingSet->recordCount() == 0)
        throw RapoError(QStringLiteral("Nabor je prazen! Izvoz ni možen!"));
    QString fileName = session.prompter.saveFile(
        QStringLiteral("Izvoz datoteka v !"),
        QDir(session.programDirectory).filePath(proposedName(session.clock.today())),
        QStringLiteral("Delovni zvezki Excel (*.xlsx)"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".xlsx");
    const int current = workingSet->recNo();
    bool saved = false;
    try {
        saved = write(*workingSet, QStringLiteral("RAPO Export"), fileName);
    } catch (...) {
        workingSet->moveTo(current);
        throw;
    }
    workingSet->moveTo(current);
    if (saved && open)
        open(fileName);
}
