#pragma once

#include <QString>

// The program's version texts. Platforms without version resources in program files get them
// from the build (the project version), so every build carries the same values.
class VersionAgent {
public:
    VersionAgent();

    QString FileVersion;
    QString ProductVersion;
    QString FileDescription;
    QString ProductName;
    QString CompanyName;
    QString InternalName;
    QString Comments;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFilename;
    QString PrivateBuild;
    QString SpecialBuild;

    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};
