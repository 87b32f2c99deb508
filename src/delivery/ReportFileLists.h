#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Session;

// The two lists of the "ATVP" page: the report files waiting for signing and the signed files,
// with a mark on those whose report the register records as sent. Nothing about them is stored:
// they are read from the folders and the register each time.
class ReportFileLists {
public:
    // The name of every entry of `directory` that fits `mask` (such as "*.xml", letter case
    // ignored): files of every kind and folders alike, in the order of the folder's listing.
    // A folder that does not exist gives none.
    static QStringList filesMatching(const QString &directory, const QString &mask);

    // The unsent files: "*.xml" in the program directory.
    static QStringList unsent(const Session &session);
    // Where the signed files are: `SIGPath_Server`, or the program directory when it is empty.
    static QString signedDirectory(const Session &session);
    // The signed files: "*.sig" there.
    static QStringList signedFiles(const Session &session);

    // For every entry of the signed list, whether the register has a sent row (a `DAN`) whose
    // file, with ".sig" for its extension, has that name, letter case ignored. Throws the
    // database's error when the register cannot be read.
    static QList<bool> sentMarks(Session &session, const QStringList &entries);

    // The reports the register records as sent whose report or signed file is still in the
    // program directory, and not in its delivery folder, although that folder is another: a signing
    // that stopped between marking and delivering. The next signing delivers them.
    static QStringList undelivered(Session &session);

    // For every unsent file, what the register says of it, so that a report sent or answered
    // is not signed by mistake: the latest report of that file with its status and reporting
    // day (and its sending time once sent), "ni v registru" for a report file the register does
    // not know, nothing for an EMIR file. Throws the database's error.
    static QStringList registerNotes(Session &session, const QStringList &files);

    // "TRDAT01_x.xml" -> "TRDAT01_x.sig": the part from the last point on is dropped, then
    // ".sig" is appended.
    static QString signatureName(const QString &fileName);
    static QString withoutExtension(const QString &fileName);
};
