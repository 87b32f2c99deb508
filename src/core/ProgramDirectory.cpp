#include "ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>

QString ProgramDirectory::withSeparator(const QString &path) {
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        return path;
    return path + QDir::separator();
}

QString ProgramDirectory::path() {
    const QString home = qEnvironmentVariable("RAPO_HOME");
    if (!home.isEmpty())
        return withSeparator(QDir(home).absolutePath());
    return withSeparator(QCoreApplication::applicationDirPath());
}
