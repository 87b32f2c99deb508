#include "EmirReports.h"

#include "Clock.h"
#include "Database.h"
#include "FieldDef.h"
#include "NextIdentity.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "Transaction.h"

#include <optional>

namespace {
const QString cancelledMark = QStringLiteral("D");
const QString activeMark = QStringLiteral("N");
const QString dateFormat = QStringLiteral("dd.mm.yyyy");
const QString dateTimeFormat = QStringLiteral("dd.mm.yyyy hh:nn:ss");
} // namespace

std::vector<FieldDef> EmirReports::listFields() {
    using T = FieldDef::Type;
    FieldDef cancelled{QStringLiteral("PreklicanoDaNe"), T::Text, QStringLiteral("Preklicano"), 10};
    cancelled.calculated = true;
    const auto hidden = [](const char *name, T type) {
        FieldDef f{QString::fromLatin1(name), type};
        f.visible = false;
        return f;
    };
    return {
        {QStringLiteral("ZapSt"), T::Whole, QStringLiteral("Zap.št.")},
        {QStringLiteral("DanOd"), T::Date, QStringLiteral("Dan od"), 15, true, dateFormat},
        {QStringLiteral("DanDo"), T::Date, QStringLiteral("Dan do"), 15, true, dateFormat},
        {QStringLiteral("StNepotrjenih"), T::Whole, QStringLiteral("Št.nepotrjenih trans."), 20},
        {QStringLiteral("DanPorocila"), T::Date, QStringLiteral("Datum poročila"), 15, true,
         dateFormat},
        {QStringLiteral("DanCasKreiranja"), T::DateTime, QStringLiteral("Dat.in čas priprave"), 24,
         true, dateTimeFormat},
        cancelled,
        {QStringLiteral("DanCasPreklica"), T::DateTime, QStringLiteral("Dat.in čas preklica"), 24,
         true, dateTimeFormat},
        {QStringLiteral("ZapStPreklicano"), T::Whole, QStringLiteral("Zap.št.preklic.poročila"),
         23},
        hidden("EMIRPorociloId", T::Whole),
        hidden("EMIRPorociloStnId", T::Whole),
        hidden("Preklicano", T::Text)};
}

void EmirReports::load(Query &q, const QDate &from, const QDate &to) {
    q.close();
    q.setFields(listFields());
    q.setCalcFields([](const DataSet &ds, DataSet::Row &row) {
        const QVariant mark = row[ds.columnIndex(QStringLiteral("Preklicano"))];
        row[ds.columnIndex(QStringLiteral("PreklicanoDaNe"))] =
            mark.toString() == cancelledMark ? QStringLiteral("Da") : QStringLiteral("Ne");
    });
    q.clearSql();
    q.addLine(QStringLiteral("SELECT E.*, ES.ZapSt AS ZapStPreklicano FROM EMIRPOROCILO E"));
    q.addLine(QStringLiteral("LEFT OUTER JOIN EMIRPOROCILO ES ON ES.EMIRPorociloId = "
                             "E.EMIRPorociloStnId"));
    QString joint = QStringLiteral("WHERE ");
    if (dayNumber(from) > 0) {
        q.addLine(joint + QStringLiteral("E.DanOd >= :DanOd"));
        q.setDate(QStringLiteral("DanOd"), from);
        joint = QStringLiteral("AND ");
    }
    if (dayNumber(to) > 0) {
        q.addLine(joint + QStringLiteral("E.DanOd <= :DanDo"));
        q.setDate(QStringLiteral("DanDo"), to);
    }
    q.addLine(QStringLiteral("ORDER BY E.DanOd"));
    q.open();
}

EmirReports::Report EmirReports::rowOf(const DataSet &ds) {
    Report r;
    r.id = ds.asInteger(QStringLiteral("EMIRPorociloId"));
    r.zapSt = ds.asInteger(QStringLiteral("ZapSt"));
    r.danOd = ds.asDateTime(QStringLiteral("DanOd")).date();
    r.danDo = ds.asDateTime(QStringLiteral("DanDo")).date();
    r.stNepotrjenih = ds.asInteger(QStringLiteral("StNepotrjenih"));
    r.danPorocila = ds.asDateTime(QStringLiteral("DanPorocila")).date();
    r.danCasKreiranja = ds.asDateTime(QStringLiteral("DanCasKreiranja"));
    r.preklicano = ds.asString(QStringLiteral("Preklicano")) == cancelledMark;
    r.danCasPreklica = ds.asDateTime(QStringLiteral("DanCasPreklica"));
    r.cancelsId = ds.asInteger(QStringLiteral("EMIRPorociloStnId"));
    return r;
}

EmirReports::Report EmirReports::proposal(const QDate &today) {
    Report r;
    r.danPorocila = today;
    r.danOd = QDate(today.year(), today.month(), 1);
    r.danDo = QDate(today.year(), today.month(), today.daysInMonth());
    return r;
}

EmirReports::Report EmirReports::read(Session &session, qint64 id) {
    Query q(session.db);
    q.setText(QStringLiteral("SELECT * FROM EMIRPOROCILO WHERE EMIRPorociloId = :Id"));
    q.setInteger(QStringLiteral("Id"), id);
    q.open();
    if (q.eof())
        throw RapoError(QStringLiteral("Ne najdem poročila v tabeli, ID = ") + QString::number(id));
    return rowOf(q);
}

std::optional<EmirReports::Failure> EmirReports::check(const Report &r) {
    if (dayNumber(r.danPorocila) <= 0)
        return Failure{Field::DanPorocila, QStringLiteral("Neveljaven datum poročila.")};
    if (dayNumber(r.danOd) <= 0)
        return Failure{Field::DanOd, QStringLiteral("Neveljaven datum od.")};
    if (dayNumber(r.danDo) <= 0)
        return Failure{Field::DanDo, QStringLiteral("Neveljaven datum do.")};
    if (r.stNepotrjenih < 0)
        return Failure{Field::StNepotrjenih,
                       QStringLiteral("Neveljavno število nepotrjenih transakcij.")};
    return std::nullopt;
}

qint64 EmirReports::nextZapSt(Session &session) {
    // The number is taken under a lock held until the report's insert commits, so two
    // workstations never give the same number.
    if (!session.db.inTransaction())
        throw RapoError(QStringLiteral("Zaporedna številka poročila EMIR se določi le v "
                                       "transakciji vpisa."));
    Query lock(session.db);
    lock.setText(QStringLiteral("LOCK TABLE EMIRPOROCILO IN EXCLUSIVE MODE"));
    lock.exec();
    Query q(session.db);
    q.setText(QStringLiteral("SELECT MAX(ZapSt) AS ZapSt FROM EMIRPOROCILO"));
    q.open();
    return q.asInteger(QStringLiteral("ZapSt")) + 1;
}

qint64 EmirReports::save(Session &session, const Report &r) {
    if (const auto failure = check(r))
        throw RapoError(failure->message);
    Query q(session.db);
    qint64 id = r.id;
    std::optional<Transaction> tx;
    if (!session.db.inTransaction())
        tx.emplace(session.db);
    if (id == 0) {
        id = nextIdentity(session.db, QStringLiteral("EMIRPOROCILO"), QStringLiteral("ID"),
                          session.isDb2());
        q.setText(QStringLiteral(
            "INSERT INTO EMIRPOROCILO (EMIRPorociloId, DanOd, DanDo, StNepotrjenih, ZapSt, "
            "DanPorocila, Preklicano) VALUES (:EMIRPorociloId, :DanOd, :DanDo, :StNepotrjenih, "
            ":ZapSt, :DanPorocila, :Preklicano)"));
        q.setInteger(QStringLiteral("ZapSt"), nextZapSt(session));
    } else {
        q.setText(QStringLiteral(
            "UPDATE EMIRPOROCILO SET DanOd = :DanOd, DanDo = :DanDo, StNepotrjenih = "
            ":StNepotrjenih, DanPorocila = :DanPorocila, Preklicano = :Preklicano WHERE "
            "EMIRPorociloId = :EMIRPorociloId"));
    }
    q.setInteger(QStringLiteral("EMIRPorociloId"), id);
    q.setDate(QStringLiteral("DanOd"), r.danOd);
    q.setDate(QStringLiteral("DanDo"), r.danDo);
    q.setInteger(QStringLiteral("StNepotrjenih"), r.stNepotrjenih);
    q.setDate(QStringLiteral("DanPorocila"), r.danPorocila);
    q.setString(QStringLiteral("Preklicano"), activeMark);
    q.exec();
    if (tx)
        tx->commit();
    return id;
}

bool EmirReports::remove(Session &session, const Report &r) {
    if (r.preklicano)
        throw RapoError(QStringLiteral("Brisanje preklicanega poročila ni dovoljeno."));
    const QString first =
        r.danCasKreiranja.isValid()
            ? QStringLiteral("POZOR. Za poročilo je že generirana XML datoteka. Želite vseeno ")
            : QStringLiteral("Želite ");
    if (!session.prompter.yesNo(first + QStringLiteral("brisati izbrano poročilo ?")))
        return false;
    Transaction tx(session.db);
    Query q(session.db);
    if (r.cancelsId != 0) {
        q.setText(QStringLiteral(
            "UPDATE EMIRPOROCILO SET Preklicano = :Preklicano WHERE EMIRPorociloId = :Id"));
        q.setString(QStringLiteral("Preklicano"), activeMark);
        q.setInteger(QStringLiteral("Id"), r.cancelsId);
        q.exec();
    }
    q.setText(QStringLiteral("DELETE FROM EMIRPOSEL WHERE EMIRPorociloId = :Id"));
    q.setInteger(QStringLiteral("Id"), r.id);
    q.exec();
    q.setText(QStringLiteral("DELETE FROM EMIRPOROCILO WHERE EMIRPorociloId = :Id"));
    q.exec();
    tx.commit();
    return true;
}

qint64 EmirReports::cancel(Session &session, const Report &r) {
    if (!session.prompter.yesNo(
            QStringLiteral("Preklic poročila prekliče trenutno poročilo in generira novo "
                           "poročilo za preklic. Želite nadaljevati ?")))
        return 0;
    Transaction tx(session.db);
    Query q(session.db);
    q.setText(QStringLiteral("UPDATE EMIRPOROCILO SET Preklicano = :Preklicano, DanCasPreklica "
                             "= :DanCas WHERE EMIRPorociloId = :Id"));
    q.setString(QStringLiteral("Preklicano"), cancelledMark);
    q.setDateTime(QStringLiteral("DanCas"), session.clock.now());
    q.setInteger(QStringLiteral("Id"), r.id);
    q.exec();

    const qint64 id = nextIdentity(session.db, QStringLiteral("EMIRPOROCILO"), QStringLiteral("ID"),
                                   session.isDb2());
    Query insert(session.db);
    insert.addLine(QStringLiteral("INSERT INTO EMIRPOROCILO (EMIRPorociloId, ZapSt, DanOd, DanDo, "
                                  "StNepotrjenih, DanPorocila, Preklicano, EMIRPorociloStnId)"));
    insert.addLine(QStringLiteral("VALUES (:EMIRPorociloId, :ZapSt, :DanOd, :DanDo, "
                                  ":StNepotrjenih, :DanPorocila, :Preklicano, "
                                  ":EMIRPorociloStnId)"));
    insert.setInteger(QStringLiteral("EMIRPorociloId"), id);
    insert.setInteger(QStringLiteral("ZapSt"), nextZapSt(session));
    insert.setDate(QStringLiteral("DanOd"), r.danOd);
    insert.setDate(QStringLiteral("DanDo"), r.danDo);
    insert.setInteger(QStringLiteral("StNepotrjenih"), 0);
    insert.setDate(QStringLiteral("DanPorocila"), r.danPorocila);
    insert.setString(QStringLiteral("Preklicano"), activeMark);
    insert.setInteger(QStringLiteral("EMIRPorociloStnId"), r.id);
    insert.exec();
    tx.commit();
    return id;
}

qint64 EmirReports::dayNumber(const QDate &date) {
    return date.isValid() ? QDate(1899, 12, 30).daysTo(date) : 0;
}
