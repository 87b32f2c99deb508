#pragma once

#include "EmirDisputes.h"
#include "EmirReports.h"
#include "Query.h"
#include "SessionFixture.h"

#include <QStringList>

// A session over a fresh database with helpers that write EMIR rows directly and read them
// back whole.
struct EmirFixture : SessionFixture {
    using SessionFixture::SessionFixture;

    struct ReportRow {
        qint64 zapSt = 1;
        QDate from = QDate(2014, 3, 1);
        QDate to = QDate(2014, 3, 31);
        qint64 unconfirmed = 0;
        QDate day = QDate(2014, 4, 2);
        QDateTime written = {};
        bool cancelled = false;
        QDateTime cancelledAt = {};
        qint64 cancels = 0;
    };
    // Inserts a report with the next identity; gives the identity.
    qint64 report(const ReportRow &r) {
        Query q(*t.db);
        q.setText("SELECT EMIRPOROCILO_ID_SEQ.NEXTVAL AS Id FROM dual");
        q.open();
        const qint64 id = q.asInteger("Id");
        q.setText("INSERT INTO EMIRPOROCILO (EMIRPorociloId, ZapSt, DanOd, DanDo, StNepotrjenih, "
                  "DanPorocila, DanCasKreiranja, Preklicano, DanCasPreklica, EMIRPorociloStnId) "
                  "VALUES (:Id, :ZapSt, :DanOd, :DanDo, :St, :Dan, :Kre, :Prk, :PrkCas, :Stn)");
        q.setInteger("Id", id);
        q.setInteger("ZapSt", r.zapSt);
        q.setDate("DanOd", r.from);
        q.setDate("DanDo", r.to);
        q.setInteger("St", r.unconfirmed);
        q.setDate("Dan", r.day);
        q.setDateTime("Kre", r.written);
        q.setString("Prk", r.cancelled ? "D" : "N");
        q.setDateTime("PrkCas", r.cancelledAt);
        if (r.cancels)
            q.setInteger("Stn", r.cancels);
        else
            q.setNull("Stn");
        q.exec();
        return id;
    }

    qint64 dispute(qint64 report, const QString &party, const QString &counterparty,
                   const QDate &start, const QDate &end = {}, double amount = 0,
                   const QString &remark = {}) {
        EmirDisputes::Dispute d;
        d.reportId = report;
        d.stranka = party;
        d.nasStranka = counterparty;
        d.datZacetka = start;
        d.datZakljucka = end;
        d.vrednost = amount;
        d.opombe = remark;
        return EmirDisputes::save(session(), d);
    }

    // Every row of a statement, each as its values joined by "|".
    QStringList rows(const QString &sql) {
        Query q(*t.db);
        q.setText(sql);
        q.open();
        QStringList out;
        for (; !q.eof(); q.next()) {
            QStringList values;
            for (int c = 0; c < q.columnCount(); ++c)
                values << DataSet::valueText(q.value(q.columnName(c)));
            out << values.join('|');
        }
        return out;
    }
    // The reports as ZapSt|DanOd|DanDo|StNepotrjenih|DanPorocila|DanCasKreiranja|Preklicano|
    // DanCasPreklica|ZapSt of the cancelled report, by number.
    QStringList reports() {
        return rows("SELECT E.ZapSt AS ZapSt, E.DanOd, E.DanDo, E.StNepotrjenih, E.DanPorocila, "
                    "E.DanCasKreiranja, E.Preklicano, E.DanCasPreklica, S.ZapSt AS StnZapSt FROM "
                    "EMIRPOROCILO "
                    "E LEFT JOIN EMIRPOROCILO S ON S.EMIRPorociloId = E.EMIRPorociloStnId "
                    "ORDER BY E.ZapSt");
    }
    QStringList disputes() {
        return rows(
            "SELECT P.ZapSt AS ZapSt, E.Stranka, E.NasStranka, E.DatZacetka, E.DatZakljucka, "
            "E.Vrednost, E.Opombe FROM EMIRPOSEL E JOIN EMIRPOROCILO P ON "
            "P.EMIRPorociloId = E.EMIRPorociloId ORDER BY E.EMIRPoselId");
    }
};
