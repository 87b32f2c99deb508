#pragma once

#include "RapoError.h"

// A value of a report that breaks its rule: the message the user reads, and what broke it, so
// that a check can list it beside the others.
class FieldError : public RapoError {
public:
    FieldError(const QString &message, QString field, QString value, QString rule);
    QString className() const override { return QStringLiteral("FieldError"); }

    const QString &field() const { return field_; }
    const QString &value() const { return value_; }
    const QString &rule() const { return rule_; }

private:
    QString field_;
    QString value_;
    QString rule_;
};
