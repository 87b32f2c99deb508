#include "InstrumentChoice.h"

#include "Clock.h"
#include "InstrumentReconciliation.h"
#include "ParamValue.h"
#include "Query.h"
#include "RapoError.h"
#include "RegisterChangeTime.h"
#include "Schema.h"
#include "Session.h"
#include "SqlDialect.h"
#include "Transaction.h"

#include <QList>
#include <QPair>

namespace {
const QString registerTable = QStringLiteral("DPATVP_SFVP");

// Register dates: date-times on Oracle, dates (the time of day dropped) on DB2.
ParamValue registerDate(const QDateTime &value, bool isDb2) {
    if (!value.isValid())
        return ParamValue::null();
    return isDb2 ? ParamValue::date(value.date()) : ParamValue::dateTime(value);
}

// A date the host keeps for "none" is the zero date-time.
bool isRealDate(const QDateTime &value) {
    return value.isValid() && value.date() > QDate(1899, 12, 30);
}

using Values = QList<QPair<QString, ParamValue>>;

class RowValues {
public:
    void set(const QString &column, const ParamValue &value) {
        for (auto &[name, v] : values_) {
            if (name == column) {
                v = value;
                return;
            }
        }
        values_.append({column, value});
    }
    const Values &values() const { return values_; }
    const ParamValue *find(const QString &column) const {
        for (const auto &[name, v] : values_)
            if (name.compare(column, Qt::CaseInsensitive) == 0)
                return &v;
        return nullptr;
    }

private:
    Values values_;
};

// The activity log's text of the row as saved: the stored row (when there is one) with the
// written values over it, every column of the register in order.
QString rowText(const RowValues &written, const DataSet *stored) {
    QString text;
    for (const Schema::Column &column : Schema::table(registerTable).columns) {
        QVariant value = stored ? stored->value(column.name) : QVariant();
        if (const ParamValue *v = written.find(column.name))
            value = v->type == ParamValue::Type::Null ? QVariant() : v->value;
        text +=
            DataSet::valueText(value) + QStringLiteral("#|") + column.name + QStringLiteral("#|");
    }
    return text;
}

// The instrument data of the chosen host instrument, as the collection's reconciliation
// writes them.
void setInstrumentData(RowValues &row, const Query &host, bool isDb2) {
    row.set(QStringLiteral("AII_MIC"), ParamValue::text(host.asString(QStringLiteral("Trg_MIC"))));
    row.set(QStringLiteral("AII_PRODUCT"),
            ParamValue::text(host.asString(QStringLiteral("KraticaInstrumenta")).left(12)));
    row.set(QStringLiteral("AII_CFI"), ParamValue::text(host.asString(QStringLiteral("TipInstr"))));
    // An instrument without maturity must not keep the maturity of the row's earlier data.
    row.set(QStringLiteral("AII_EXPIRY"),
            host.isNull(QStringLiteral("DatumPrenehanja"))
                ? ParamValue::null()
                : registerDate(host.asDateTime(QStringLiteral("DatumPrenehanja")), isDb2));
    row.set(QStringLiteral("AII_STRIKEPRICE"),
            ParamValue::number(host.asFloat(QStringLiteral("IzvCen"))));
    row.set(QStringLiteral("IZD"),
            ParamValue::text(host.asString(QStringLiteral("ImeIzdajatelja"))));
    row.set(QStringLiteral("DRZ_IZD"), ParamValue::text(host.asString(QStringLiteral("ISOKODA"))));
    row.set(QStringLiteral("GLVNMN"),
            ParamValue::number(host.asFloat(QStringLiteral("NomVredEnote"))));
    row.set(QStringLiteral("VLT"), ParamValue::text(host.asString(QStringLiteral("Valuta"))));
    row.set(QStringLiteral("LOTEMS"), ParamValue::number(host.asFloat(QStringLiteral("LotEms"))));
    row.set(QStringLiteral("INSTRUMENTNAME"),
            ParamValue::text(host.asString(QStringLiteral("ImeInstrumenta")).left(40)));
}

QString notOpenAnyMore(const QString &isin) {
    return QStringLiteral("Finančni instrument za ISIN ") + isin +
           QStringLiteral(" je bil medtem že izbran. Osvežite seznam in poskusite znova.");
}
} // namespace

InstrumentChoice::ListedRow InstrumentChoice::ListedRow::current(const DataSet &list) {
    ListedRow row;
    row.isin = list.asString(QStringLiteral("ISIN"));
    row.reported = list.value(QStringLiteral("SFVP_POROCANJE"));
    row.earlier = list.value(QStringLiteral("SFVP_OLD"));
    row.hostInstrument = list.asInteger(QStringLiteral("SFVP_VEK"));
    row.hostChange = list.asDateTime(QStringLiteral("DANSPR_SFVP"));
    return row;
}

qint64 InstrumentChoice::ListedRow::reportedIdentifier() const {
    if (reported.isNull())
        return 0;
    bool whole = false;
    const qint64 value = reported.toLongLong(&whole);
    return whole ? value : static_cast<qint64>(reported.toDouble());
}

QString InstrumentChoice::choiceListSql(bool isDb2) {
    return SqlDialect::adaptNvl(
        QStringList{QStringLiteral("SELECT upper(ISIN) as ISIN, SFVP, KRT FROM SFVP"),
                    QStringLiteral("WHERE upper(ISIN)=:ISIN"),
                    QStringLiteral("AND POROCANJERAPO='D'"),
                    QStringLiteral("AND SFVP NOT IN (select NVL(SFVP_OLD, 0) from DPATVP_SFVP)")}
            .join(u'\n'),
        isDb2);
}

QString InstrumentChoice::newestDecidedSql() {
    return QStringList{QStringLiteral("select * from DPATVP_SFVP F1 "),
                       QStringLiteral("where F1.DANSPR=(select max(DANSPR) FROM DPATVP_SFVP "
                                      "WHERE ISIN=F1.ISIN  AND SFVP_POROCANJE IS NOT NULL) "),
                       QStringLiteral("AND F1.ISIN=:ISIN")}
        .join(u'\n');
}

QString InstrumentChoice::withdrawAnnouncementSql() {
    return QStringList{QStringLiteral("UPDATE DPATVP_SFVP SET XML=null, DANSPR=DANSPR-0.001"),
                       QStringLiteral("where SFVP_VEK=:SFVP_VEK"), QStringLiteral("AND ISIN=:ISIN")}
        .join(u'\n');
}

qint64 InstrumentChoice::chosenIdentifier(const QString &listText) {
    const qsizetype dash = listText.indexOf(u'-');
    bool whole = false;
    const qint64 identifier = dash > 0 ? listText.left(dash).trimmed().toLongLong(&whole) : 0;
    if (!whole)
        throw RapoError(QStringLiteral("Izbira \"") + listText +
                        QStringLiteral("\" ni veljavna: začeti se mora z interno identifikacijo "
                                       "instrumenta (celim številom), ki ji sledi \"-\"."));
    return identifier;
}

InstrumentChoice::Offer InstrumentChoice::offer(Session &session, const ListedRow &row) {
    Offer offer;
    offer.isin = row.isin.toUpper();
    const qint64 reported = row.reportedIdentifier();
    offer.changing = reported != 0;
    Query qSFVP(session.db, QStringLiteral("qSFVP"));
    qSFVP.setText(choiceListSql(session.isDb2()));
    qSFVP.setString(QStringLiteral("ISIN"), offer.isin);
    qSFVP.open();
    for (; !qSFVP.eof(); qSFVP.next()) {
        const QString entry =
            qSFVP.asString(QStringLiteral("SFVP")) + u'-' + qSFVP.asString(QStringLiteral("KRT"));
        offer.entries << entry;
        if (reported != 0 && qSFVP.asInteger(QStringLiteral("SFVP")) == reported)
            offer.preselected = entry;
    }
    return offer;
}

InstrumentChoice::Result InstrumentChoice::apply(Session &session, const ListedRow &row,
                                                 const QString &listText, const QDate &periodEnd) {
    Result result;
    if (listText.trimmed().isEmpty())
        return result;
    const qint64 chosen = chosenIdentifier(listText);
    result.chosen = chosen;
    if (chosen == row.reportedIdentifier())
        return result;

    Database &db = session.db;
    const bool isDb2 = session.isDb2();
    const bool changing = !row.reported.isNull();
    const QString isin = row.isin.toUpper();
    // One transaction: a withdrawn announcement comes back when the save fails.
    Transaction tx(db);

    // A first choice completes the listed row itself; it must still be open.
    Query stored(db, registerTable);
    if (!changing) {
        stored.setText(QStringLiteral("select * from DPATVP_SFVP where ISIN=:ISIN AND "
                                      "SFVP_VEK=:SFVP_VEK AND SFVP_POROCANJE IS NULL"));
        stored.setString(QStringLiteral("ISIN"), row.isin);
        stored.setInteger(QStringLiteral("SFVP_VEK"), row.hostInstrument);
        stored.open();
        if (stored.eof())
            throw RapoError(notOpenAnyMore(isin));
    }

    // The identifier reported before: the row's own, or for an open row the one the ISIN's
    // newest decided row reports. Instruments without an ISIN share the mark "N" and have no
    // common history.
    qint64 earlier = row.reportedIdentifier();
    bool announce = true;
    if (earlier == 0 && !isin.isEmpty() && isin != QLatin1String("N")) {
        Query qByIsin(db, QStringLiteral("qDPATVP_SFVPbyISIN"));
        qByIsin.setText(newestDecidedSql());
        qByIsin.setString(QStringLiteral("ISIN"), isin);
        qByIsin.open();
        const qint64 decided = qByIsin.asInteger(QStringLiteral("SFVP_POROCANJE"));
        if (!qByIsin.eof() && qByIsin.asString(QStringLiteral("XML")) == QLatin1String("D") &&
            decided == chosen) {
            // The user chooses again the identifier whose change is still to be announced.
            earlier = qByIsin.asInteger(QStringLiteral("SFVP_OLD"));
            const qint64 decidedFor = qByIsin.asInteger(QStringLiteral("SFVP_VEK"));
            if (decidedFor == decided) {
                announce = false;
            } else {
                Query withdraw(db, QStringLiteral("qDPATVP_SFVPbyISINinSFVP_OLD"));
                withdraw.setText(withdrawAnnouncementSql());
                withdraw.setInteger(QStringLiteral("SFVP_VEK"), decidedFor);
                withdraw.setString(QStringLiteral("ISIN"),
                                   qByIsin.asString(QStringLiteral("ISIN")));
                withdraw.exec();
                result.announcementMoved = true;
            }
        } else if (decided > 0) {
            earlier = decided;
        }
    }

    RowValues values;
    if (changing) {
        result.outcome = Outcome::ChangeOfChoice;
        values.set(QStringLiteral("ISIN"), ParamValue::text(isin));
        values.set(QStringLiteral("SFVP_OLD"),
                   earlier > 0 ? ParamValue::integer(earlier) : ParamValue::null());
        values.set(QStringLiteral("SFVP_POROCANJE"), ParamValue::integer(chosen));
        values.set(QStringLiteral("XML"), ParamValue::text(QStringLiteral("D")));
        values.set(QStringLiteral("SFVP_VEK"), ParamValue::integer(chosen));
    } else {
        result.outcome = Outcome::FirstChoice;
        bool remembersEarlier = !stored.isNull(QStringLiteral("SFVP_OLD"));
        if (earlier > 0 && earlier != chosen) {
            values.set(QStringLiteral("SFVP_OLD"), ParamValue::integer(earlier));
            remembersEarlier = true;
        }
        values.set(QStringLiteral("SFVP_POROCANJE"), ParamValue::integer(chosen));
        if (announce && (chosen != row.hostInstrument || remembersEarlier))
            values.set(QStringLiteral("XML"), ParamValue::text(QStringLiteral("D")));
    }

    const QDateTime now = session.clock.now();
    values.set(QStringLiteral("DANSPR_SFVP"),
               registerDate(isRealDate(row.hostChange) ? row.hostChange : now, isDb2));
    values.set(QStringLiteral("DANSPR"), ParamValue::dateTime(RegisterChangeTime::next(
                                             db, session.clock, changing ? isin : row.isin)));
    values.set(QStringLiteral("USRSPR"), ParamValue::text(session.applicationUser));

    Query host(db, QStringLiteral("qDPATVP_SFVPDodPodatki"));
    host.setText(InstrumentReconciliation::hostDataSql());
    host.setInteger(QStringLiteral("SFVP"), chosen);
    host.setDate(QStringLiteral("DatumDo"), periodEnd);
    host.open();
    setInstrumentData(values, host, isDb2);
    host.close();

    QStringList names;
    QStringList markers;
    QStringList assignments;
    Query save(db, QStringLiteral("tDPATVP_SFVP"));
    for (const auto &[name, value] : values.values()) {
        names << name;
        markers << u':' + name;
        assignments << name + QStringLiteral(" = :") + name;
        save.setParam(name, value);
    }
    if (changing) {
        save.setText(QStringLiteral("INSERT INTO DPATVP_SFVP (") +
                     names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                     markers.join(QStringLiteral(", ")) + u')');
    } else {
        // Only the open row: other rows of the same ISIN and host instrument stay as they are.
        save.setText(QStringLiteral("UPDATE DPATVP_SFVP SET ") +
                     assignments.join(QStringLiteral(", ")) +
                     QStringLiteral(" WHERE ISIN = :KEY_ISIN AND SFVP_VEK = :KEY_SFVP_VEK AND "
                                    "SFVP_POROCANJE IS NULL"));
        save.setString(QStringLiteral("KEY_ISIN"), row.isin);
        save.setInteger(QStringLiteral("KEY_SFVP_VEK"), row.hostInstrument);
    }

    session.activityLog.write(registerTable, changing ? QStringLiteral("+") : QStringLiteral("^"),
                              rowText(values, changing ? nullptr : &stored));
    if (save.exec() == 0)
        throw RapoError(notOpenAnyMore(isin));
    tx.commit();
    return result;
}
