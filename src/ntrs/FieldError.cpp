#include "FieldError.h"

FieldError::FieldError(const QString &message, QString field, QString value, QString rule)
    : RapoError(message), field_(std::move(field)), value_(std::move(value)),
      rule_(std::move(rule)) {}
