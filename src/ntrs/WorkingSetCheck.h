#pragma once

#include "RapoError.h"
#include "RecordContent.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QStringList>
#include <vector>

class NtrsDocument;
class Query;
class Session;

// Everything that would make the report of a working set wrong, found before anything is
// numbered or written: every value through its format rule and every record through its rules
// (the same record content the report is filled with), a transaction reference that occurs
// twice, and a collected trade that the working set does not hold, which registering the report
// would mark as reported without reporting it.
class WorkingSetCheck {
public:
    using Failure = RecordContent::Failure;

    // Every failure of a working set; its message holds one line per failure.
    class Failed : public RapoError {
    public:
        explicit Failed(std::vector<Failure> failures);
        QString className() const override { return QStringLiteral("WorkingSetCheck::Failed"); }
        const std::vector<Failure> &failures() const { return failures_; }

    private:
        std::vector<Failure> failures_;
    };

    // `rows` is the loaded working set, `instruments` its instrument query, `collectionId` the
    // collection they were loaded for.
    WorkingSetCheck(Session &session, Query &rows, Query &instruments, qint64 collectionId,
                    const QDate &from, const QDate &to);

    // Every failure: instruments first, then the rows in working-set order, then repeated
    // references and trades missing from the working set. Leaves both queries on their first row.
    // The records are checked by filling them: into `report` when it is given, which then holds
    // the report's register entries and records when nothing fails, so a generation fills them
    // once.
    std::vector<Failure> run(NtrsDocument *report = nullptr);
    // Throws Failed when run() finds anything.
    void refuseFailures(NtrsDocument *report = nullptr);

    static QStringList columnTitles();
    static QList<QStringList> table(const std::vector<Failure> &failures);
    // Reference, field, value, rule and message separated by tabs, on one line.
    static QString line(const Failure &failure);

private:
    void checkInstruments(std::vector<Failure> &failures, NtrsDocument &document);
    void checkRows(std::vector<Failure> &failures, QSet<qint64> &held, NtrsDocument &document);
    void checkCollected(std::vector<Failure> &failures, const QSet<qint64> &inWorkingSet);
    // Opens a statement over the collection (:Id) and its period (:Datum, :DatumDo).
    void openForCollection(Query &query) const;

    Session &session_;
    Query &rows_;
    Query &instruments_;
    qint64 collectionId_;
    QDate from_;
    QDate to_;
};
