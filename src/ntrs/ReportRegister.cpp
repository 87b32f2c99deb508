#include "ReportRegister.h"

#include "Clock.h"
#include "EditableTable.h"
#include "FieldDef.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"
#include "Transaction.h"
#include "Waiter.h"

#include <QFile>

namespace {
template <typename Work> void step(const QString &message, Database &db, Work work) {
    try {
        Transaction tx(db);
        work();
        tx.commit();
    } catch (const RapoError &) {
        throw RapoError(message);
    }
}

// The register row through the logged table component, found by its number, sequence number
// and, when given, its status as it was read.
bool locate(EditableTable &tDPATVP, const ReportRegister::Row &row, bool byStatus) {
    QList<QPair<QString, QVariant>> key = {{QStringLiteral("DPATVPID"), row.id},
                                           {QStringLiteral("ZAPST"), row.zapSt}};
    if (byStatus)
        key.append({QStringLiteral("STATUS"), row.status});
    return tDPATVP.restrict(key);
}
} // namespace

QString ReportRegister::statusText(const QVariant &status) {
    if (status.isNull())
        return {};
    const int value = status.toInt();
    if (value == 1)
        return QStringLiteral("Potrjeno");
    if (value == 2)
        return QStringLiteral("Zavrnjeno");
    if (value >= 3)
        return QStringLiteral("Ponovno generirano");
    return {};
}

std::vector<FieldDef> ReportRegister::listFields() {
    using T = FieldDef::Type;
    FieldDef xml{QStringLiteral("XML_File"), T::Text, QStringLiteral("XML"), 50};
    FieldDef lookup{QStringLiteral("StatusLKP"), T::Text, QStringLiteral("StatusLKP"), 20};
    lookup.calculated = true;
    return {{QStringLiteral("DPATVPID"), T::Whole, QStringLiteral("ID za DPATVP")},
            {QStringLiteral("DANPOROCANJA"), T::Date, QStringLiteral("Dan kreiranja poročila")},
            {QStringLiteral("DAN"), T::DateTime, QStringLiteral("Datum pošiljanja")},
            {QStringLiteral("ZAPST"), T::Whole, QStringLiteral("Zaporedna številka")},
            xml,
            {QStringLiteral("Status"), T::Whole, QStringLiteral("Status")},
            lookup,
            {QStringLiteral("DanOd"), T::Date, QStringLiteral("DanOd")}};
}

void ReportRegister::load(Query &qDPATVP, const QDate &from, const QDate &to) {
    qDPATVP.close();
    qDPATVP.setFields(listFields());
    qDPATVP.setCalcFields([](const DataSet &ds, DataSet::Row &row) {
        row[ds.columnIndex(QStringLiteral("StatusLKP"))] =
            statusText(row[ds.columnIndex(QStringLiteral("Status"))]);
    });
    qDPATVP.clearSql();
    qDPATVP.addLine(QStringLiteral("select * from DPATVP"));
    qDPATVP.addLine(QStringLiteral("where DanPorocanja>=:DanOd"));
    qDPATVP.addLine(QStringLiteral("AND DanPorocanja<=:DanDo"));
    qDPATVP.addLine(
        QStringLiteral("order by TO_NUMBER(TO_CHAR(DanPorocanja, 'YYYY')) desc, ZapSt desc"));
    qDPATVP.setDate(QStringLiteral("DanOd"), from);
    qDPATVP.setDate(QStringLiteral("DanDo"), to);
    qDPATVP.open();
}

ReportRegister::Row ReportRegister::rowOf(const Query &q) {
    Row row;
    row.id = q.asInteger(QStringLiteral("DPATVPID"));
    row.zapSt = q.asInteger(QStringLiteral("ZAPST"));
    row.status = static_cast<int>(q.asInteger(QStringLiteral("STATUS")));
    row.sent = q.asDateTime(QStringLiteral("DAN"));
    row.xmlFile = q.asString(QStringLiteral("XML_FILE"));
    row.reportingDay = q.asDateTime(QStringLiteral("DANPOROCANJA")).date();
    row.firstDay = q.asDateTime(QStringLiteral("DANOD")).date();
    return row;
}

ReportRegister::Actions ReportRegister::actionsFor(Session &session, const Row &row) {
    Query latest(session.db);
    latest.addLine(QStringLiteral("SELECT max(ZAPST) as ZAPST FROM DPATVP"));
    latest.addLine(QStringLiteral("WHERE DPATVPID=:DPATVPID"));
    latest.setInteger(QStringLiteral("DPATVPID"), row.id);
    latest.open();
    const bool sent = row.sent.isValid();
    Actions a;
    a.regenerate =
        sent && row.status == 2 && row.zapSt == latest.asInteger(QStringLiteral("ZAPST"));
    a.confirm = a.reject = sent && row.status != 1 && row.status != 2;
    a.remove = !sent;
    return a;
}

void ReportRegister::confirm(Session &session, const Row &row) {
    Database &db = session.db;
    step(QStringLiteral("Napaka pri popravku v DPATVP!"), db, [&] {
        Query q(db);
        q.addLine(QStringLiteral("SELECT DPATVPID, ZAPST FROM DPATVP"));
        q.addLine(QStringLiteral("WHERE DPATVPID=:DPATVPID AND ZAPST=:ZAPST"));
        q.setInteger(QStringLiteral("DPATVPID"), row.id);
        q.setInteger(QStringLiteral("ZAPST"), row.zapSt);
        q.open();
        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        for (; !q.eof(); q.next()) {
            if (!locate(tDPATVP, row, false))
                continue;
            tDPATVP.edit();
            tDPATVP.setValue(QStringLiteral("STATUS"), 1);
            tDPATVP.post();
        }
    });
    step(QStringLiteral("Napaka pri insertu v DPATVP_SFVP!"), db, [&] {
        Query q(db);
        for (const char *line :
             {"SELECT DISTINCT upper(ISIN) as ISIN, SFVP_POROCANJE, DANSPR, SFVP_VEK FROM "
              "DPATVP_SFVP DP",
              "WHERE upper(ISIN) IN (", "select DISTINCT upper(ISIN) FROM DPATVPIMP",
              "WHERE DPATVPID=:DPATVPID", "UNION",
              "SELECT DISTINCT upper(S.ISIN) as ISIN FROM PSL P, SFVP S, POG PG",
              "WHERE IDPSL IN (select IDPSL FROM DPATVPPSL WHERE DPATVPID=:DPATVPID)",
              "AND P.IDPOG=PG.IDPOG",
              "AND (((P.SFTYPE='P') AND (LENGTH(TRIM(PG.REMOTECLAN)) > 0)) OR "
              "((P.SFTYPE<>'P') OR (P.SFTYPE is NULL)))",
              "AND P.SFVP=S.SFVP)",
              "AND DANSPR=(select max(DANSPR) FROM DPATVP_SFVP WHERE ISIN=DP.ISIN)"})
            q.addLine(QString::fromUtf8(line));
        q.setInteger(QStringLiteral("DPATVPID"), row.id);
        q.open();
        q.recordCount();
        Query update(db);
        update.addLine(
            QStringLiteral("UPDATE DPATVP_SFVP SET XML=null, DanSpr = :DanSpr, UsrSpr = :UsrSpr"));
        update.addLine(QStringLiteral(
            "WHERE ISIN = :ISIN AND SFVP_POROCANJE = :SFVP_POROCANJE AND SFVP_VEK=:SFVP_VEK"));
        for (q.first(); !q.eof(); q.next()) {
            update.setDateTime(QStringLiteral("DanSpr"), session.clock.now());
            update.setString(QStringLiteral("UsrSpr"), session.applicationUser);
            update.setString(QStringLiteral("ISIN"), q.asString(QStringLiteral("ISIN")));
            update.setParam(
                QStringLiteral("SFVP_POROCANJE"),
                q.isNull(QStringLiteral("SFVP_POROCANJE"))
                    ? ParamValue::null()
                    : ParamValue::integer(q.asInteger(QStringLiteral("SFVP_POROCANJE"))));
            update.setInteger(QStringLiteral("SFVP_VEK"), q.asInteger(QStringLiteral("SFVP_VEK")));
            update.exec();
            session.waiter.wait(1000);
        }
    });
}

void ReportRegister::reject(Session &session, const Row &row) {
    step(QStringLiteral("Napaka pri popravku v DPATVP!"), session.db, [&] {
        EditableTable tDPATVP(session.db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        if (locate(tDPATVP, row, true)) {
            tDPATVP.edit();
            tDPATVP.setValue(QStringLiteral("STATUS"), 2);
            tDPATVP.post();
        }
    });
}

bool ReportRegister::remove(Session &session, const Row &row) {
    if (row.sent.isValid())
        return false;
    if (!session.prompter.okCancel(
            QStringLiteral("Prosim potrdi brisanje vseh pripadajočih podatkov !")))
        return false;
    Database &db = session.db;
    if (row.status == 0) {
        step(QStringLiteral("Napaka pri brisanju iz DPATVPPSL!"), db, [&] {
            Query q(db);
            q.addLine(QStringLiteral("SELECT DPATVPID, IDPSL FROM DPATVPPSL"));
            q.addLine(QStringLiteral("WHERE DPATVPID = :DPATVPID"));
            q.setInteger(QStringLiteral("DPATVPID"), row.id);
            q.open();
            q.recordCount();
            Query del(db);
            for (q.first(); !q.eof(); q.next()) {
                del.setText(QStringLiteral("DELETE FROM DPATVPPSL WHERE DPATVPID=") +
                            q.asString(QStringLiteral("DpAtvpId")) + QStringLiteral(" AND IDPSL=") +
                            q.asString(QStringLiteral("IdPsl")));
                del.exec();
            }
        });
        step(QStringLiteral("Napaka pri popravku DPATVPID v DPATVPIMP!"), db, [&] {
            Query q(db);
            q.addLine(QStringLiteral("select IDIMP from dpatvpimp"));
            q.addLine(QStringLiteral("where DPATVPID = :DPATVPID"));
            q.setInteger(QStringLiteral("DPATVPID"), row.id);
            q.open();
            q.recordCount();
            Query update(db);
            update.setText(QStringLiteral("UPDATE DPATVPIMP SET DPATVPID=NULL WHERE IDIMP=:IDIMP"));
            for (q.first(); !q.eof(); q.next()) {
                update.setInteger(QStringLiteral("IDIMP"), q.asInteger(QStringLiteral("IDIMP")));
                update.exec();
            }
        });
        if (!row.xmlFile.isEmpty())
            QFile::remove(session.programDirectory + row.xmlFile);
    }
    if (row.status == 0 || row.status == 3) {
        step(QStringLiteral("Napaka pri brisanju iz DPATVP!"), db, [&] {
            EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
            session.activityLog.attach(tDPATVP);
            if (locate(tDPATVP, row, true))
                tDPATVP.deleteRow();
        });
    }
    return true;
}
