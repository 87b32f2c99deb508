#include "RapoError.h"

RapoError::RapoError(const QString &message)
    : std::runtime_error(message.toStdString()), message_(message) {}

RapoError stepError(const QString &headline, const RapoError &cause) {
    return RapoError(headline + QStringLiteral("\r\n") + cause.message());
}
