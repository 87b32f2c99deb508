#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

// The floor beside the program: the daily run's work done with SQLite and libxml2 directly, on
// a copy of the same generated database. The collection's statements run as plain
// INSERT ... SELECT in one transaction (the assignments, their activity-log rows, the
// instrument register), the working set's two SELECTs are read to their end, the same report is
// written with libxml2's text writer and validated against the schema as a stream.
struct RawFloor {
    QString databasePath;
    QString reportPath;
    QString schemaPath;
    QDate day;
    qint64 collectionId = 0;
    QString applicationUser;
    double nowJulianDay = 0;
    // The texts the program sends (before the embedded engine's rewrite).
    QString assignmentSql;  // phase 1's selection, parameters :Dan and :DanDo
    QString activityLogSql; // the activity-log rows of the assignments
    QString workingSetSql;  // parameters :Datum, :DatumDo, :FMaxDpAtvpId
    QString instrumentSql;  // the same parameters
    // The header as the program writes it.
    QString firm; // MaticnaStevilkaZavezanca
    QString creationDate;
    QString creationTime;
    QString creationOffset;

    // Runs every step and tells each one's name and time.
    void run(const std::function<void(const char *step, qint64 ms)> &told) const;
};

// Whether two report files are the same apart from line endings and the creation time; the
// first differing line otherwise.
QString reportDifference(const QString &programFile, const QString &floorFile);
