#pragma once

#include <QString>

// Where RAPO.ini, Log.txt, the report files and the embedded database live: the directory named
// by the environment variable RAPO_HOME when it is set (several sites on one workstation, the
// tests, the demo), else the directory of the executable. An installed program, or one that
// cannot write beside its executable, uses the user's data directory. Ends with a separator.
namespace ProgramDirectory {
struct Resolution {
    QString path;
    // Set when the user's data directory was created now: what to tell the user, once.
    QString notice;
};
Resolution resolve();
QString path();
// Appends the platform's separator unless the path already ends with "\" or "/".
QString withSeparator(const QString &path);
} // namespace ProgramDirectory
