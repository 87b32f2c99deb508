#pragma once

#include <QString>

// Copies of signed files and their sources into the delivery folders.
namespace FileDelivery {
// Copies `source` to `target`, replacing a file of that name. The target appears only complete:
// a reader of the delivery folder never sees half a file, and a failed copy leaves an earlier
// file of that name as it was. The copy counts only when it has the source's size. Gives an
// empty text on success, otherwise the system's text.
QString copyOverwriting(const QString &source, const QString &target);

// How a move ended: a failed copy keeps the source; a source that could not be removed after a
// complete copy is in both places.
struct Moved {
    QString copyError;
    QString removeError;
    bool done() const { return copyError.isEmpty() && removeError.isEmpty(); }
};
// A verified copy, then the removal of the source. A target that is the source itself is no move.
Moved move(const QString &source, const QString &target);

// Whether two folder names lead to the same folder.
bool sameFolder(const QString &a, const QString &b);
} // namespace FileDelivery
