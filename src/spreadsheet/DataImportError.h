#pragma once

#include "RapoError.h"

// A failure of the data import: a bad file, a bad setting, a value that does not convert.
class DataImportError : public RapoError {
public:
    using RapoError::RapoError;
    QString className() const override { return QStringLiteral("DataImportError"); }
};
