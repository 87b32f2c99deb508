#include "EmirDisputes.h"

#include "EmirReports.h"
#include "FieldDef.h"
#include "NextIdentity.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"

std::vector<FieldDef> EmirDisputes::listFields() {
    using T = FieldDef::Type;
    const QString dateFormat = QStringLiteral("dd.mm.yyyy");
    const auto hidden = [](const char *name) {
        FieldDef f{QString::fromLatin1(name), T::Whole};
        f.visible = false;
        return f;
    };
    return {
        {QStringLiteral("Stranka"), T::Text, QStringLiteral("Stranka"), 30},
        {QStringLiteral("NasStranka"), T::Text, QStringLiteral("Nasprotna stranka"), 30},
        {QStringLiteral("DatZacetka"), T::Date, QStringLiteral("Dat.začetka"), 0, true, dateFormat},
        {QStringLiteral("DatZakljucka"), T::Date, QStringLiteral("Dat.zaključka"), 0, true,
         dateFormat},
        {QStringLiteral("Vrednost"), T::Number, QStringLiteral("Vrednost"), 0, true,
         QStringLiteral(",0.00")},
        {QStringLiteral("Opombe"), T::Text, QStringLiteral("Opombe"), 30},
        hidden("EMIRPoselId"),
        hidden("EMIRPorociloId")};
}

void EmirDisputes::load(Query &q, qint64 reportId) {
    q.close();
    q.setFields(listFields());
    q.clearSql();
    q.addLine(QStringLiteral("SELECT E.* FROM EMIRPOSEL E"));
    q.addLine(QStringLiteral("WHERE E.EMIRPorociloId = :EMIRPorociloId"));
    q.setInteger(QStringLiteral("EMIRPorociloId"), reportId);
    q.open();
}

EmirDisputes::Dispute EmirDisputes::rowOf(const DataSet &ds) {
    Dispute d;
    d.id = ds.asInteger(QStringLiteral("EMIRPoselId"));
    d.stranka = ds.asString(QStringLiteral("Stranka"));
    d.nasStranka = ds.asString(QStringLiteral("NasStranka"));
    d.datZacetka = ds.asDateTime(QStringLiteral("DatZacetka")).date();
    d.datZakljucka = ds.asDateTime(QStringLiteral("DatZakljucka")).date();
    d.vrednost = ds.asFloat(QStringLiteral("Vrednost"));
    d.opombe = ds.asString(QStringLiteral("Opombe"));
    d.reportId = ds.asInteger(QStringLiteral("EMIRPorociloId"));
    return d;
}

void EmirDisputes::requireReport(qint64 reportId) {
    if (reportId <= 0)
        throw RapoError(QStringLiteral("Neveljaven ID poročila."));
}

EmirDisputes::Dispute EmirDisputes::read(Session &session, qint64 id) {
    Query q(session.db);
    q.setText(QStringLiteral("SELECT * FROM EMIRPOSEL WHERE EMIRPoselId = :Id"));
    q.setInteger(QStringLiteral("Id"), id);
    q.open();
    if (q.eof())
        throw RapoError(QStringLiteral("Ne najdem posla v tabeli, ID = ") + QString::number(id));
    return rowOf(q);
}

std::optional<EmirDisputes::Failure> EmirDisputes::check(const Dispute &d) {
    const qint64 start = EmirReports::dayNumber(d.datZacetka);
    const qint64 end = EmirReports::dayNumber(d.datZakljucka);
    if (d.stranka.trimmed().isEmpty())
        return Failure{Field::Stranka, QStringLiteral("Neveljavna stranka.")};
    if (d.nasStranka.trimmed().isEmpty())
        return Failure{Field::NasStranka, QStringLiteral("Neveljavna nasprotna stranka.")};
    if (start <= 0)
        return Failure{Field::DatZacetka, QStringLiteral("Neveljaven datum začetka spora.")};
    if (end < 0)
        return Failure{Field::DatZakljucka, QStringLiteral("Neveljaven datum zaključka spora.")};
    if (end > 0 && start > end)
        return Failure{Field::DatZacetka,
                       QStringLiteral("Datum začetka spora mora biti pred datumom zaključka "
                                      "spora.")};
    return std::nullopt;
}

qint64 EmirDisputes::save(Session &session, const Dispute &d) {
    requireReport(d.reportId);
    if (const auto failure = check(d))
        throw RapoError(failure->message);
    Query q(session.db);
    qint64 id = d.id;
    if (id == 0) {
        id = nextIdentity(session.db, QStringLiteral("EMIRPOSEL"), QStringLiteral("ID"),
                          session.isDb2());
        q.setText(QStringLiteral(
            "INSERT INTO EMIRPOSEL (EMIRPoselId, Stranka, NasStranka, DatZacetka, DatZakljucka, "
            "Vrednost, Opombe, EMIRPorociloId) VALUES (:EMIRPoselId, :Stranka, :NasStranka, "
            ":DatZacetka, :DatZakljucka, :Vrednost, :Opombe, :EMIRPorociloId)"));
        q.setInteger(QStringLiteral("EMIRPorociloId"), d.reportId);
    } else {
        q.setText(QStringLiteral(
            "UPDATE EMIRPOSEL SET Stranka = :Stranka, NasStranka = :NasStranka, DatZacetka = "
            ":DatZacetka, DatZakljucka = :DatZakljucka, Vrednost = :Vrednost, Opombe = :Opombe "
            "WHERE EMIRPoselId = :EMIRPoselId"));
    }
    q.setInteger(QStringLiteral("EMIRPoselId"), id);
    q.setString(QStringLiteral("Stranka"), d.stranka);
    q.setString(QStringLiteral("NasStranka"), d.nasStranka);
    q.setDate(QStringLiteral("DatZacetka"), d.datZacetka);
    // An end date of day 0 is no date: stored as null like an empty one.
    q.setDate(QStringLiteral("DatZakljucka"),
              EmirReports::dayNumber(d.datZakljucka) > 0 ? d.datZakljucka : QDate());
    q.setNumber(QStringLiteral("Vrednost"), d.vrednost);
    q.setString(QStringLiteral("Opombe"), d.opombe);
    q.exec();
    return id;
}

bool EmirDisputes::remove(Session &session, qint64 id) {
    if (!session.prompter.yesNo(QStringLiteral("Želite brisati izbran spor ?")))
        return false;
    Query q(session.db);
    q.setText(QStringLiteral("DELETE FROM EMIRPOSEL WHERE EMIRPoselId = :Id"));
    q.setInteger(QStringLiteral("Id"), id);
    q.exec();
    return true;
}
