#include "EmirFile.h"

#include "Clock.h"
#include "FieldFormat.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "SchemaValidator.h"
#include "Session.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Lines with their nesting: two blanks a level, each ended by CR LF.
class Lines {
public:
    void line(int level, const QByteArray &text) {
        bytes_ += QByteArray(2 * level, ' ') + text + "\r\n";
        ++count_;
    }
    void element(int level, const char *name, const QByteArray &value) {
        line(level, QByteArray("<") + name + '>' + value + "</" + name + '>');
    }
    void element(int level, const char *name, const QString &value) {
        element(level, name, value.toUtf8());
    }
    void text(int level, const char *name, const QString &value) {
        element(level, name, EmirFile::escaped(value).toUtf8());
    }
    int count() const { return count_; }
    const QByteArray &bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    int count_ = 0;
};

QString isoDate(const QDate &date) {
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

// The schema error's line, from a location such as "EMIR001_....xml:27"; 0 when it has none.
int errorLine(const QString &location) {
    const qsizetype colon = location.lastIndexOf(u':');
    return colon < 0 ? 0 : location.mid(colon + 1).toInt();
}

} // namespace

QString EmirFile::registrationNumber(Session &session) {
    QString number = session.configuration.matStev;
    if (number.isEmpty()) {
        Query q(session.db);
        q.setText(QStringLiteral("SELECT MTS FROM OSB WHERE SfOsb = :SfOsb"));
        q.setInteger(QStringLiteral("SfOsb"), 2);
        q.open();
        if (!q.eof())
            number = q.asString(QStringLiteral("MTS")).trimmed();
    }
    if (number.isEmpty())
        throw RapoError(QStringLiteral("Matična številka zavezanca ni znana: ni je ne v "
                                       "nastavitvi MatStev ne pri osebi 2."));
    return FieldFormat::padRegistrationNumber(number.left(7));
}

QString EmirFile::path(Session &session, const QString &registrationNumber, qint64 zapSt,
                       const QDate &today) {
    return session.programDirectory + QStringLiteral("EMIR001_") + registrationNumber + u'_' +
           QStringLiteral("%1").arg(zapSt, 4, 10, QLatin1Char('0')) + u'_' +
           today.toString(QStringLiteral("yy")) + QStringLiteral(".xml");
}

QString EmirFile::amountText(double value) {
    const QString text = QString::number(value, 'f', 2);
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

QString EmirFile::escaped(const QString &text) {
    QString out = text;
    out.replace(u'&', QStringLiteral("&amp;"));
    out.replace(u'<', QStringLiteral("&lt;"));
    out.replace(u'>', QStringLiteral("&gt;"));
    out.replace(u'"', QStringLiteral("&quot;"));
    out.replace(u'\'', QStringLiteral("&apos;"));
    return out;
}

EmirFile::Document EmirFile::document(const EmirReports::Report &report,
                                      const QList<EmirDisputes::Dispute> &disputes,
                                      const QString &registrationNumber) {
    Document doc;
    Lines out;
    const QString number = registrationNumber;
    out.line(0, "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
    out.line(0,
             QStringLiteral("<ReportRoot xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                            "xsi:noNamespaceSchemaLocation=\"EMIR.xsd\" "
                            "MaticnaStevilkaZavezanca=\"%1\" CreationDate=\"%2\" "
                            "CreationTime=\"%3\" Version=\"1.0\">")
                 .arg(number, isoDate(report.danCasKreiranja.date()),
                      report.danCasKreiranja.time().toString(QStringLiteral("HH:mm:ss")))
                 .toUtf8());
    if (!report.preklicano) {
        const bool withDisputes = !disputes.isEmpty();
        out.line(1, "<Porocila>");
        out.line(2, "<ReportEMIR>");
        out.element(3, "ReferencnaStevilkaPorocila", QString::number(report.zapSt));
        out.element(3, "SifraPorocila",
                    withDisputes ? QStringLiteral("EMSP") : QStringLiteral("EMTR"));
        out.element(3, "DatumPorocila", isoDate(report.danPorocila));
        out.element(3, "ZavezanecZaPorocanje", number);
        out.line(3, "<PostavkePorocila>");
        const int items = withDisputes ? int(disputes.size()) : 1;
        for (int i = 0; i < items; ++i) {
            Document::Item item;
            item.number = i + 1;
            item.firstLine = out.count() + 1;
            out.line(4, "<Postavka>");
            out.element(5, "ZaporednaStevilkaZapisa", QString::number(item.number));
            if (report.stNepotrjenih != 0)
                out.element(5, "SteviloNepotrjenihTransakcij",
                            QString::number(report.stNepotrjenih));
            if (withDisputes) {
                const EmirDisputes::Dispute &d = disputes[i];
                item.dispute = d;
                out.text(5, "Stranka", d.stranka);
                out.text(5, "NasprotnaStranka", d.nasStranka);
                out.element(5, "DatumZacetkaSpora", isoDate(d.datZacetka));
                if (EmirReports::dayNumber(d.datZakljucka) > 0)
                    out.element(5, "DatumZakljuckaSpora", isoDate(d.datZakljucka));
                out.element(5, "ZnesekPogodbe", amountText(d.vrednost));
                out.text(5, "Opombe", d.opombe);
            }
            out.line(4, "</Postavka>");
            item.lastLine = out.count();
            if (withDisputes)
                doc.items << item;
        }
        out.line(3, "</PostavkePorocila>");
        out.line(2, "</ReportEMIR>");
        out.line(1, "</Porocila>");
    } else {
        out.line(1, "<Preklici>");
        out.line(2, "<PreklicPorocila>");
        out.element(3, "ZavezanecZaPorocanje", number);
        out.element(3, "ReferencnaStevilkaPorocila", QString::number(report.zapSt));
        out.element(3, "CancelledFlag", QByteArray("C"));
        out.line(2, "</PreklicPorocila>");
        out.line(1, "</Preklici>");
    }
    out.line(0, "</ReportRoot>");
    doc.bytes = out.bytes();
    return doc;
}

EmirFile::Result EmirFile::write(Session &session, qint64 reportId, const QDate &tabFrom,
                                 const QDate &tabTo) {
    if (EmirReports::dayNumber(tabFrom) <= 0)
        throw RapoError(QStringLiteral("Neveljaven začetni datum."));
    if (EmirReports::dayNumber(tabTo) <= 0)
        throw RapoError(QStringLiteral("Neveljaven končni datum."));
    const QString number = registrationNumber(session);
    Prompter &prompter = session.prompter;
    if (!prompter.yesNo(QStringLiteral("Želite pripraviti XML za izbrano EMIR poročilo ?")))
        return {};

    EmirReports::Report report;
    try {
        report = EmirReports::read(session, reportId);
    } catch (const RapoError &) {
        throw RapoError(QStringLiteral("Napaka pri iskanju poročila, ID = ") +
                        QString::number(reportId));
    }
    const QString filePath = path(session, number, report.zapSt, session.clock.today());
    if (QFileInfo::exists(filePath) &&
        !prompter.yesNo(QStringLiteral("Datoteka \"") + filePath +
                        QStringLiteral("\" že obstaja. Prepišem obstoječo datoteko ?")))
        return {};

    QList<EmirDisputes::Dispute> disputes;
    Query qEMIRPsl(session.db);
    EmirDisputes::load(qEMIRPsl, report.id);
    for (; !qEMIRPsl.eof(); qEMIRPsl.next())
        disputes << EmirDisputes::rowOf(qEMIRPsl);

    // The stamp and the file go together: the stamp is committed only once the file has
    // replaced any earlier one as a whole.
    report.danCasKreiranja = session.clock.now();
    const Document doc = document(report, disputes, number);
    {
        Transaction tx(session.db);
        Query stamp(session.db);
        stamp.setText(QStringLiteral("UPDATE EMIRPOROCILO SET DanCasKreiranja = :DanCasKreiranja "
                                     "WHERE EMIRPorociloId = :EMIRPorociloId"));
        stamp.setDateTime(QStringLiteral("DanCasKreiranja"), report.danCasKreiranja);
        stamp.setInteger(QStringLiteral("EMIRPorociloId"), report.id);
        stamp.exec();

        QSaveFile file(filePath);
        if (!file.open(QIODevice::WriteOnly) || file.write(doc.bytes) != doc.bytes.size() ||
            !file.commit())
            throw RapoError(QStringLiteral("Datoteke \"") + filePath +
                            QStringLiteral("\" ni mogoče zapisati!\r") + file.errorString());
        try {
            tx.commit();
        } catch (...) {
            QFile::remove(filePath);
            throw;
        }
    }

    Result result;
    result.path = filePath;
    const SchemaValidator::Result validation =
        SchemaValidator(session.programDirectory).validate(filePath);
    if (!validation.valid()) {
        const SchemaValidator::Error &first = validation.errors.first();
        QString line = first.line();
        const int at = errorLine(first.location);
        for (const Document::Item &item : doc.items)
            if (at >= item.firstLine && at <= item.lastLine)
                line += QStringLiteral(" (spor %1: %2 / %3)")
                            .arg(item.number)
                            .arg(item.dispute.stranka, item.dispute.nasStranka);
        result.errorLine = line;
        // An invalid file must not be signed and sent.
        result.badPath = filePath.left(filePath.size() - 4) + QStringLiteral(".bad");
        QFile::remove(result.badPath);
        if (!QFile::rename(filePath, result.badPath))
            result.badPath.clear();
        prompter.error(
            QStringLiteral("XML datoteka ne ustreza shemi EMIR.xsd:\r") + line +
            (result.badPath.isEmpty()
                 ? QString()
                 : QStringLiteral("\rDatoteka je preimenovana v \"") + result.badPath + u'"'));
        return result;
    }
    prompter.information(QStringLiteral("Generiranje XML datoteke je končano. Ime datoteke: \"") +
                         filePath + QStringLiteral("\"."));
    return result;
}
