#include "RapoError.h"

RapoError::RapoError(const QString &message)
    : std::runtime_error(message.toStdString()), message_(message) {}
