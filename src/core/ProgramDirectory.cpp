#include "ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramDirectory::withSeparator(const QString &path) {
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        return path;
    return path + QDir::separator();
}

ProgramDirectory::Resolution ProgramDirectory::resolve() {
    const QString home = qEnvironmentVariable("RAPO_HOME");
    if (!home.isEmpty())
        return {withSeparator(QDir(home).absolutePath()), {}};
    // An installed program (its files in "../share/rapo") keeps the user's files out of the
    // system's folders, even where it could write there (as root).
    const QString beside = QCoreApplication::applicationDirPath();
    const bool installed = QFileInfo::exists(beside + QStringLiteral("/../share/rapo"));
    if (!installed && QFileInfo(beside).isWritable())
        return {withSeparator(beside), {}};
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return {withSeparator(beside), {}};
    QString notice;
    if (!QFileInfo::exists(data) && QDir().mkpath(data))
        notice = QStringLiteral("RAPO ne piše v mapo programa %1, zato uporablja mapo %2 "
                                "(RAPO.ini, Log.txt, poročila in vgrajena zbirka). Drugo mapo "
                                "določite s spremenljivko okolja RAPO_HOME.")
                     .arg(QDir::toNativeSeparators(beside), QDir::toNativeSeparators(data));
    return {withSeparator(data), notice};
}

QString ProgramDirectory::path() {
    return resolve().path;
}
