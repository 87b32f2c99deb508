#pragma once

#include <QString>

// Where RAPO.ini, Log.txt, the report files and the embedded database live: the directory of
// the executable, or the directory named by the environment variable RAPO_HOME when it is set
// (several sites on one workstation, the tests, the demo). Always ends with a separator.
namespace ProgramDirectory {
QString path();
// Appends the platform's separator unless the path already ends with "\" or "/".
QString withSeparator(const QString &path);
} // namespace ProgramDirectory
