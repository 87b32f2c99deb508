#include "VersionAgent.h"

#include "BuildVersion.h"

VersionAgent::VersionAgent()
    : FileVersion(QStringLiteral(RAPO_FILE_VERSION)),
      ProductVersion(QStringLiteral(RAPO_PRODUCT_VERSION)), major(RAPO_FILE_VERSION_MAJOR),
      minor(RAPO_FILE_VERSION_MINOR), release(RAPO_FILE_VERSION_RELEASE),
      build(RAPO_FILE_VERSION_BUILD) {}
