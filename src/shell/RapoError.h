#pragma once

#include <QString>
#include <stdexcept>

// A step that cannot go on: carries the text the user sees.
class RapoError : public std::runtime_error {
public:
    explicit RapoError(const QString &message);
    const QString &message() const { return message_; }
    // The kind of failure, shown where a message names the error's class.
    virtual QString className() const { return QStringLiteral("RapoError"); }

private:
    QString message_;
};
