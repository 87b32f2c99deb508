#include "TDMLB.h"

TDMLB::TDMLB(const ProgramArguments &arguments, const QString &programDirectory)
    : alias_(arguments.alias), user_(arguments.user), password_(arguments.password),
      applicationUser_(arguments.applicationUser), hasArguments_(arguments.hasArguments()),
      dbMain_(arguments.alias, arguments.user, arguments.password, programDirectory) {}

QStringList TDMLB::connectionParameters() const {
    return {QStringLiteral("USER NAME=") + user_, QStringLiteral("PASSWORD=") + password_};
}
