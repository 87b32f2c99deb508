#include "TDMLB.h"

TDMLB::TDMLB(const ProgramArguments &arguments)
    : alias_(arguments.alias), user_(arguments.user), password_(arguments.password),
      applicationUser_(arguments.applicationUser), hasArguments_(arguments.hasArguments()) {}

QStringList TDMLB::connectionParameters() const {
    return {QStringLiteral("USER NAME=") + user_, QStringLiteral("PASSWORD=") + password_};
}
