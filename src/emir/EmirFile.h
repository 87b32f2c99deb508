#pragma once

#include "EmirDisputes.h"
#include "EmirReports.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Session;

// The XML file of an EMIR report for the regulator: the report with its disputes, or, for a
// cancelled report, its cancellation. Written line by line into the program directory, where
// the signing finds it, and validated against EMIR.xsd beside the program.
class EmirFile {
public:
    // The reporting firm's registration number as the file carries it: the first seven
    // characters of MatStev (or, when that is empty, of the host's number of the firm), with
    // zeros appended to ten characters.
    static QString registrationNumber(Session &session);
    // The full path: "EMIR001_", registration number, "_", the report number in four digits,
    // "_", the year of `today` in two digits, ".xml".
    static QString path(Session &session, const QString &registrationNumber, qint64 zapSt,
                        const QDate &today);

    // The file's bytes (UTF-8, CRLF lines). The lines of each dispute's item are noted, so that
    // a schema error can name the dispute.
    struct Document {
        QByteArray bytes;
        struct Item {
            int firstLine = 0;
            int lastLine = 0;
            int number = 0;
            EmirDisputes::Dispute dispute;
        };
        QList<Item> items;
    };
    static Document document(const EmirReports::Report &report,
                             const QList<EmirDisputes::Dispute> &disputes,
                             const QString &registrationNumber);
    // The amount of a contract as the file writes it: a point and two decimals.
    static QString amountText(double value);
    // "&", "<", ">", '"' and "'" as XML entities.
    static QString escaped(const QString &text);

    struct Result {
        QString path;      // empty when nothing was written
        QString errorLine; // the schema error, empty for a valid file
        QString badPath;   // where an invalid file was moved
    };
    // Writes the file of the report after the user's confirmation. The dates of the tab must
    // be set. The creation time is stamped on the report when, and only when, the whole file
    // was written. Throws RapoError when it cannot go on.
    static Result write(Session &session, qint64 reportId, const QDate &tabFrom,
                        const QDate &tabTo);
};
