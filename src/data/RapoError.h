#pragma once

#include <QString>
#include <stdexcept>

// A step that cannot go on: carries the text the user sees.
class RapoError : public std::runtime_error {
public:
    explicit RapoError(const QString &message);
    const QString &message() const { return message_; }
    // The kind of failure, for the messages that name it.
    virtual QString className() const { return QStringLiteral("RapoError"); }

private:
    QString message_;
};

// The error of a step that names the step and keeps the cause's own text on the next line.
RapoError stepError(const QString &headline, const RapoError &cause);
