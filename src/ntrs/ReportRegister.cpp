#include "ReportRegister.h"

#include "Clock.h"
#include "EditableTable.h"
#include "FieldDef.h"
#include "Prompter.h"
#include "Query.h"
#include "RapoError.h"
#include "RegisterChangeTime.h"
#include "Session.h"
#include "Transaction.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
// Part of an action: a failure names the part and keeps its cause; a refusal stays as it is.
template <typename Work> void stage(const QString &message, Work work) {
    try {
        work();
    } catch (const RegisterRefusal &) {
        throw;
    } catch (const RapoError &e) {
        throw stepError(message, e);
    }
}

template <typename Work> void step(const QString &message, Database &db, Work work) {
    stage(message, [&] {
        Transaction tx(db);
        work();
        tx.commit();
    });
}

QString timeText(const QDateTime &t) {
    return t.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

// Sending times come back from the database rounded to the millisecond or so.
bool sameTime(const QDateTime &a, const QDateTime &b) {
    if (a.isValid() != b.isValid())
        return false;
    return !a.isValid() || qAbs(a.msecsTo(b)) < 1000;
}

void refuseUnless(Session &session, ReportRegister::Action action, const ReportRegister::Row &row) {
    const QString reason = ReportRegister::refusal(session, action, row);
    if (!reason.isEmpty())
        throw RegisterRefusal(reason);
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
    if (value == 0)
        return QStringLiteral("Generirano");
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
    FieldDef xml{QStringLiteral("XML_File"), T::Text, QStringLiteral("Datoteka XML"), 30};
    // The status as text; its number stays loaded for the actions.
    FieldDef status{QStringLiteral("Status"), T::Whole, QStringLiteral("Status (številka)")};
    status.visible = false;
    FieldDef lookup{QStringLiteral("StatusLKP"), T::Text, QStringLiteral("Status"), 18};
    lookup.calculated = true;
    return {{QStringLiteral("DANPOROCANJA"), T::Date, QStringLiteral("Dan poročanja")},
            {QStringLiteral("ZAPST"), T::Whole, QStringLiteral("Zaporedna številka"), 4},
            xml,
            lookup,
            {QStringLiteral("DAN"), T::DateTime, QStringLiteral("Datum pošiljanja")},
            {QStringLiteral("DanOd"), T::Date, QStringLiteral("Prvi dan obdobja")},
            {QStringLiteral("DPATVPID"), T::Whole, QStringLiteral("Številka nabora"), 4},
            status};
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
    // The newest reporting day first, across years; within a day the latest file first.
    qDPATVP.addLine(QStringLiteral("order by DanPorocanja desc, ZapSt desc"));
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
    Actions a;
    a.regenerate = refusal(session, Action::Regenerate, row).isEmpty();
    a.confirm = refusal(session, Action::Confirm, row).isEmpty();
    a.reject = refusal(session, Action::Reject, row).isEmpty();
    a.remove = refusal(session, Action::Delete, row).isEmpty();
    return a;
}

QString ReportRegister::refusal(Session &session, Action action, const Row &row) {
    const bool sent = row.sent.isValid();
    const QString report = QStringLiteral("Poročilo ") + row.xmlFile;
    switch (action) {
    case Action::Confirm:
    case Action::Reject:
        if (!sent)
            return report + QStringLiteral(" še ni poslano; potrditi ali zavrniti je mogoče le "
                                           "poslano poročilo.");
        if (row.status == 1 || row.status == 2)
            return report + QStringLiteral(" že ima odgovor: ") + statusText(row.status) + u'.';
        return {};
    case Action::Delete:
        if (sent)
            return report + QStringLiteral(" je bilo poslano ") + timeText(row.sent) +
                   QStringLiteral("; poslanega poročila ni mogoče zbrisati.");
        return {};
    case Action::Regenerate: {
        if (!sent || row.status != 2)
            return QStringLiteral("Ponovno generirati je mogoče le poslano in zavrnjeno "
                                  "poročilo; ") +
                   row.xmlFile + QStringLiteral(" ima status ") + QString::number(row.status) +
                   (sent ? QString() : QStringLiteral(" in ni poslano")) + u'.';
        Query latest(session.db);
        latest.addLine(QStringLiteral("SELECT max(ZAPST) as ZAPST FROM DPATVP"));
        latest.addLine(QStringLiteral("WHERE DPATVPID=:DPATVPID"));
        latest.setInteger(QStringLiteral("DPATVPID"), row.id);
        latest.open();
        if (row.zapSt != latest.asInteger(QStringLiteral("ZAPST")))
            return report + QStringLiteral(" ni zadnje poročilo nabora ") +
                   QString::number(row.id) +
                   QStringLiteral("; ponovno generirati je mogoče le zadnje.");
        return {};
    }
    }
    return {};
}

ReportRegister::Row ReportRegister::reread(Session &session, const Row &row) {
    Query q(session.db);
    q.addLine(QStringLiteral("SELECT * FROM DPATVP"));
    q.addLine(QStringLiteral("WHERE DPATVPID=:DPATVPID AND ZAPST=:ZAPST"));
    q.setInteger(QStringLiteral("DPATVPID"), row.id);
    q.setInteger(QStringLiteral("ZAPST"), row.zapSt);
    q.open();
    const QString again = QStringLiteral(" Dejanje ni izvedeno; seznam je osvežen.");
    if (q.eof())
        throw RegisterRefusal(QStringLiteral("Poročila ") + row.xmlFile +
                              QStringLiteral(" (nabor ") + QString::number(row.id) +
                              QStringLiteral(", zaporedna številka ") + QString::number(row.zapSt) +
                              QStringLiteral(") ni več v registru: medtem ga je nekdo zbrisal.") +
                              again);
    const Row now = rowOf(q);
    if (now.status != row.status || !sameTime(now.sent, row.sent)) {
        const QString text = statusText(now.status);
        throw RegisterRefusal(
            QStringLiteral("Poročilo ") + row.xmlFile +
            QStringLiteral(" se je medtem spremenilo: status je zdaj ") +
            QString::number(now.status) +
            (text.isEmpty() ? QString() : QStringLiteral(" (") + text + u')') +
            QStringLiteral(", datum pošiljanja ") +
            (now.sent.isValid() ? timeText(now.sent) : QStringLiteral("ni poslano")) + u'.' +
            again);
    }
    return now;
}

std::vector<ReportRegister::Row> ReportRegister::findByFile(Session &session, const QString &file) {
    Query q(session.db);
    q.addLine(QStringLiteral("SELECT * FROM DPATVP WHERE upper(XML_FILE) = :XmlFile"));
    q.setString(QStringLiteral("XmlFile"), QFileInfo(file).fileName().toUpper());
    q.open();
    std::vector<Row> rows;
    for (; !q.eof(); q.next())
        rows.push_back(rowOf(q));
    return rows;
}

void ReportRegister::confirm(Session &session, const Row &row) {
    Database &db = session.db;
    step(QStringLiteral("Napaka pri popravku v DPATVP!"), db, [&] {
        refuseUnless(session, Action::Confirm, reread(session, row));
        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        locate(tDPATVP, row, true);
        tDPATVP.edit();
        tDPATVP.setValue(QStringLiteral("STATUS"), 1);
        tDPATVP.post();
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
        struct Entry {
            QString isin;
            qint64 reporting;
            qint64 own;
        };
        std::vector<Entry> entries;
        QStringList isins;
        for (q.open(); !q.eof(); q.next()) {
            // "= NULL" finds no entry: one without a reporting instrument is not written.
            if (q.isNull(QStringLiteral("SFVP_POROCANJE")))
                continue;
            entries.push_back({q.asString(QStringLiteral("ISIN")),
                               q.asInteger(QStringLiteral("SFVP_POROCANJE")),
                               q.asInteger(QStringLiteral("SFVP_VEK"))});
            isins << entries.back().isin;
        }
        q.close();
        RegisterChangeTime::Series times(db, session.clock, isins);
        Query update(db);
        constexpr size_t chunk = 100;
        for (size_t start = 0; start < entries.size(); start += chunk) {
            const int count = static_cast<int>(std::min(chunk, entries.size() - start));
            update.setText(confirmedEntriesSql(count, session.isDb2()));
            update.setString(QStringLiteral("UsrSpr"), session.applicationUser);
            for (int i = 0; i < count; ++i) {
                const Entry &e = entries[start + size_t(i)];
                update.setString(QStringLiteral("I%1").arg(i), e.isin);
                update.setInteger(QStringLiteral("P%1").arg(i), e.reporting);
                update.setInteger(QStringLiteral("V%1").arg(i), e.own);
                update.setDateTime(QStringLiteral("D%1").arg(i), times.next(e.isin));
            }
            update.exec();
        }
    });
}

QString ReportRegister::confirmedEntriesSql(int entries, bool isDb2) {
    QStringList whens;
    QStringList conditions;
    for (int i = 0; i < entries; ++i) {
        const QString condition =
            QStringLiteral("ISIN = :I%1 AND SFVP_POROCANJE = :P%1 AND SFVP_VEK = :V%1").arg(i);
        // DB2 wants the type of a parameter that is the result of a CASE.
        whens << QStringLiteral(" WHEN ") + condition + QStringLiteral(" THEN ") +
                     (isDb2 ? QStringLiteral("CAST(:D%1 AS TIMESTAMP)").arg(i)
                            : QStringLiteral(":D%1").arg(i));
        conditions << u'(' + condition + u')';
    }
    return QStringLiteral("UPDATE DPATVP_SFVP SET XML=null, UsrSpr = :UsrSpr, DanSpr = CASE") +
           whens.join(QString()) + QStringLiteral(" END WHERE ") +
           conditions.join(QStringLiteral(" OR "));
}

void ReportRegister::reject(Session &session, const Row &row) {
    step(QStringLiteral("Napaka pri popravku v DPATVP!"), session.db, [&] {
        refuseUnless(session, Action::Reject, reread(session, row));
        EditableTable tDPATVP(session.db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        locate(tDPATVP, row, true);
        tDPATVP.edit();
        tDPATVP.setValue(QStringLiteral("STATUS"), 2);
        tDPATVP.post();
    });
}

bool ReportRegister::remove(Session &session, const Row &row, bool ask) {
    if (row.sent.isValid())
        return false;
    if (ask && !session.prompter.okCancel(
                   QStringLiteral("Prosim potrdi brisanje vseh pripadajočih podatkov !")))
        return false;
    Database &db = session.db;
    Transaction tx(db);
    const Row current = reread(session, row);
    refuseUnless(session, Action::Delete, current);
    // A regenerated report shares its collection with the sent report it replaces: the trades
    // and imports stay with that one.
    Query sentOfCollection(db);
    sentOfCollection.setText(
        QStringLiteral("select count(*) as N from DPATVP where DPATVPID=:DPATVPID and DAN is not "
                       "null"));
    sentOfCollection.setInteger(QStringLiteral("DPATVPID"), row.id);
    sentOfCollection.open();
    if (sentOfCollection.asInteger(QStringLiteral("N")) == 0) {
        stage(QStringLiteral("Napaka pri brisanju iz DPATVPPSL!"), [&] {
            Query del(db);
            del.setText(QStringLiteral("DELETE FROM DPATVPPSL WHERE DPATVPID=:DPATVPID"));
            del.setInteger(QStringLiteral("DPATVPID"), row.id);
            del.exec();
        });
        stage(QStringLiteral("Napaka pri popravku DPATVPID v DPATVPIMP!"), [&] {
            Query update(db);
            update.setText(
                QStringLiteral("UPDATE DPATVPIMP SET DPATVPID=NULL WHERE DPATVPID=:DPATVPID"));
            update.setInteger(QStringLiteral("DPATVPID"), row.id);
            update.exec();
        });
    }
    stage(QStringLiteral("Napaka pri brisanju iz DPATVP!"), [&] {
        EditableTable tDPATVP(db, QStringLiteral("DPATVP"));
        session.activityLog.attach(tDPATVP);
        locate(tDPATVP, row, true);
        tDPATVP.deleteRow();
        removeReportFile(session, current.xmlFile);
    });
    tx.commit();
    return true;
}

void ReportRegister::removeReportFile(Session &session, const QString &xmlFile) {
    if (xmlFile.isEmpty())
        return;
    QFile file(session.programDirectory + xmlFile);
    if (file.exists() && !file.remove())
        throw RapoError(QStringLiteral("Datoteke ") + file.fileName() +
                        QStringLiteral(" ni mogoče zbrisati: ") + file.errorString());
}
