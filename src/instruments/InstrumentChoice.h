#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

class DataSet;
class Session;

// The user's choice of the host instrument that is reported for an ISIN, written into the
// register of instruments as reported (DPATVP_SFVP). A first choice completes the listed row
// itself; a change of choice adds a row that remembers the identifier reported before and marks
// the change for the next report. Each write is committed on its own, together with its
// activity-log entry.
class InstrumentChoice {
public:
    // The listed register row the choice is made for.
    struct ListedRow {
        QString isin;
        QVariant reported;         // SFVP_POROCANJE; null while no instrument is chosen
        QVariant earlier;          // SFVP_OLD
        qint64 hostInstrument = 0; // SFVP_VEK
        QDateTime hostChange;      // DANSPR_SFVP; invalid when the row has none

        // The current row of the register list.
        static ListedRow current(const DataSet &list);
        // The reported identifier, 0 when there is none.
        qint64 reportedIdentifier() const;
    };

    // What the dialog offers for a row.
    struct Offer {
        QString isin;          // upper case
        QStringList entries;   // one per host instrument: identifier, "-", short code
        QString preselected;   // the entry of the row's reported identifier, or empty
        bool changing = false; // the row already reports an identifier
    };

    enum class Outcome { Unchanged, FirstChoice, ChangeOfChoice };
    struct Result {
        Outcome outcome = Outcome::Unchanged;
        qint64 chosen = 0;
        // A pending announcement of the chosen identifier moved to this row (its earlier rows'
        // mark was withdrawn).
        bool announcementMoved = false;
    };

    // The host instruments of the row's ISIN that may be reported.
    static Offer offer(Session &session, const ListedRow &row);

    // Writes the choice given as the list's text for `row`. `periodEnd` is the last day of the
    // collection period: the instrument's current listing is the one open after it. Throws
    // RapoError (nothing written) when the text does not begin with an identifier and "-".
    static Result apply(Session &session, const ListedRow &row, const QString &listText,
                        const QDate &periodEnd);

    // The whole number before the first "-" of a list text; throws RapoError when there is none.
    static qint64 chosenIdentifier(const QString &listText);

    // `qSFVP`: the host instruments offered for the parameter ISIN.
    static QString choiceListSql(bool isDb2);
    // `qDPATVP_SFVPbyISIN`: the newest row of the ISIN that reports an instrument.
    static QString newestDecidedSql();
    // `qDPATVP_SFVPbyISINinSFVP_OLD`: withdraws the announcement of a host instrument's rows.
    static QString withdrawAnnouncementSql();
};
