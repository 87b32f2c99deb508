#pragma once

#include <QDate>
#include <QDateTime>

// Now and today. Every time stamp the program writes comes from here.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

// The workstation's local time.
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
