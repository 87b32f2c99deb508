#pragma once

#include <QString>

// Copies of signed files and their sources into the delivery folders.
namespace FileDelivery {
// Copies `source` to `target`, replacing a file of that name. The target appears only complete:
// a reader of the delivery folder never sees half a file, and a failed copy leaves an earlier
// file of that name as it was. Gives an empty text on success, otherwise the system's text.
QString copyOverwriting(const QString &source, const QString &target);
// Whether two folder names lead to the same folder.
bool sameFolder(const QString &a, const QString &b);
} // namespace FileDelivery
