#include "DataModule.h"

DataModule::DataModule(const Login &login, const QString &programDirectory)
    : alias_(login.alias), user_(login.user), password_(login.password),
      applicationUser_(login.applicationUser), hasArguments_(login.given),
      dbMain_(login.alias, login.user, login.password, programDirectory) {}

QStringList DataModule::connectionParameters() const {
    return {QStringLiteral("USER NAME=") + user_, QStringLiteral("PASSWORD=") + password_};
}
