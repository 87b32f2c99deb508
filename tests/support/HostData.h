#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

class Database;

// Writes host rows for a test: a reporting firm, venues, instruments with listings, contracts
// and trades, with defaults for everything a test does not care about.
class HostData {
public:
    explicit HostData(Database &db);

    // The reporting firm (2), a client with BIC (10) and without (11), currency "EUR" (1),
    // country SI (1), class "DEL", the domestic venue 8 (XLJU, "+01", kind 2) and an issuer (50).
    void basics();

    void venue(int sfTrg, const QString &mic, const QVariant &timeZone, const QString &kind = "2",
               const QString &domestic = "S");
    // A reportable instrument listed on `venue` from 01.01.2010.
    struct Instrument {
        int sfvp;
        QVariant isin;
        int venue = 8;
        QString segment = "A";
        QVariant maturity = {};
        QString reportable = "D";
        QString cfi = "ESVUFR";
        QString priceUnit = "E";
        QVariant strike = {};
        QString pieces = "N";
    };
    void instrument(const Instrument &i);
    void instrument(int sfvp, const QVariant &isin, int venue = 8, const QString &segment = "A",
                    const QVariant &maturity = {}, const QString &reportable = "D");
    void contract(int idPog, int person, const QVariant &remoteMember = {});
    void person(int sfOsb, const QVariant &swift, const QVariant &bankCode = {});
    // A coupon period of an instrument; `ends` is KPN.sfobm ('>', '<', '=').
    void coupon(int sfKpn, int sfvp, double principal, const QDate &first, const QDate &last,
                const QString &ends = ">");
    struct Trade {
        int id;
        QDate day;
        int sfvp = 100;
        int venue = 8;
        int contract = 1;
        QString type = "N";
        QString activity = "K";
        double lot = 10;
        double price = 12.5;
        QVariant opposite = {};
        QVariant kind = {};
        QTime time = QTime(10, 15);
        QString priceUnit = "E";
        QVariant coupon = {};
        QVariant counterContract = {};
    };
    void trade(const Trade &t);
    // A copy of a host trade as cancelled; `replacement` names the correcting trade.
    void cancellation(const Trade &t, const QVariant &replacement = {});
    void import(int idImp, const QDate &day, int sfvp, const QString &isin, qint64 reference,
                const QString &kind = "", const QVariant &report = {});
    // A register row of a report, in the file TRDAT01_<id>.xml (TRDAT01_<id>_<zapSt>.xml when
    // the collection already has one).
    void report(qint64 id, const QDate &day, int zapSt, const QVariant &sent, int status = 0);
    void assignment(qint64 report, int trade, const QString &isStn, qint64 reference);

    void exec(const QString &sql);

private:
    Database &db_;
};
