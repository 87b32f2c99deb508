#pragma once

#include "InstrumentChoice.h"
#include "Query.h"
#include "SessionFixture.h"

#include <QStringList>
#include <memory>

// A session over fresh host data, and helpers that write and read rows of the instrument
// register.
struct InstrumentsFixture : SessionFixture {
    explicit InstrumentsFixture(bool isDb2 = false) { configuration.isDb2 = isDb2; }

    // A register row as the collection or earlier choices left it.
    struct Entry {
        QString isin;
        qint64 hostInstrument = 0; // SFVP_VEK
        QVariant reported = {};    // SFVP_POROCANJE
        QVariant earlier = {};     // SFVP_OLD
        QVariant xml = {};
        QDateTime changed = QDateTime(QDate(2014, 4, 1), QTime(12, 0)); // DANSPR
        QDateTime hostChange = {};                                      // DANSPR_SFVP
        QDateTime expiry = {};                                          // AII_EXPIRY
    };
    void entry(const Entry &e) {
        Query q(*t.db);
        q.setText("INSERT INTO DPATVP_SFVP (ISIN, SFVP_VEK, SFVP_POROCANJE, SFVP_OLD, XML, DANSPR, "
                  "DANSPR_SFVP, AII_EXPIRY, USRSPR) VALUES (:ISIN, :SFVP_VEK, :SFVP_POROCANJE, "
                  ":SFVP_OLD, :XML, :DANSPR, :DANSPR_SFVP, :AII_EXPIRY, 'VEK')");
        q.setString("ISIN", e.isin);
        q.setInteger("SFVP_VEK", e.hostInstrument);
        bindWhole(q, "SFVP_POROCANJE", e.reported);
        bindWhole(q, "SFVP_OLD", e.earlier);
        q.setString("XML", e.xml.toString());
        q.setDateTime("DANSPR", e.changed);
        q.setDateTime("DANSPR_SFVP", e.hostChange);
        q.setDateTime("AII_EXPIRY", e.expiry);
        q.exec();
    }

    // The register row chosen by a condition, as the list would give it.
    InstrumentChoice::ListedRow listed(const QString &condition) {
        Query q(*t.db);
        q.setText("select * from DPATVP_SFVP where " + condition);
        q.open();
        return InstrumentChoice::ListedRow::current(q);
    }

    // Every register row of an ISIN, oldest first, as "SFVP_VEK/SFVP_POROCANJE/SFVP_OLD/XML".
    QStringList rows(const QString &isin) {
        Query q(*t.db);
        q.setText("select * from DPATVP_SFVP where ISIN = :ISIN order by DANSPR, SFVP_VEK");
        q.setString("ISIN", isin);
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.asString("SFVP_VEK") + '/' + q.asString("SFVP_POROCANJE") + '/' +
                       q.asString("SFVP_OLD") + '/' + q.asString("XML");
        return out;
    }

    int count(const QString &table) { return t.scalar("select count(*) from " + table).toInt(); }

private:
    static void bindWhole(Query &q, const QString &name, const QVariant &value) {
        if (value.isNull())
            q.setNull(name);
        else
            q.setInteger(name, value.toLongLong());
    }
};
