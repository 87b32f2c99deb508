#include "DebugLog.h"

#include "Clock.h"
#include "RapoError.h"
#include "ShortDateFormat.h"

#include <QFile>

namespace {
// Lines wait in memory up to this size before they go to the file.
constexpr qsizetype bufferLimit = 64 * 1024;
} // namespace

DebugLog::DebugLog(bool enabled, const QString &programDirectory, const Clock &clock)
    : enabled_(enabled), path_(programDirectory + QStringLiteral("Log.txt")), clock_(clock) {}

DebugLog::~DebugLog() {
    try {
        flush();
    } catch (const RapoError &) {
        // Nothing is left to fail: the operation that logged has ended.
    }
}

void DebugLog::fail() const {
    const QString reason = file_ ? file_->errorString() : QString();
    file_.reset();
    buffer_.clear();
    throw RapoError(QStringLiteral("Zapisa v dnevnik ") + path_ +
                    QStringLiteral(" ni mogoče narediti.\r") + reason);
}

void DebugLog::write(const QString &message) const {
    if (!enabled_)
        return;
    if (!file_) {
        file_ = std::make_unique<QFile>(path_);
        if (!file_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            fail();
    }
    const QDateTime now = clock_.now();
    const qint64 second =
        now.date().toJulianDay() * 86400 + now.time().msecsSinceStartOfDay() / 1000;
    if (second != stampSecond_) {
        stampSecond_ = second;
        stamp_ = (ShortDateFormat::toText(now.date()) + u' ' +
                  now.time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" : "))
                     .toUtf8();
    }
    buffer_ += stamp_;
    buffer_ += message.toUtf8();
    buffer_ += '\n';
    if (buffer_.size() >= bufferLimit)
        flush();
}

void DebugLog::flush() const {
    if (!file_ || buffer_.isEmpty())
        return;
    if (file_->write(buffer_) != buffer_.size() || !file_->flush())
        fail();
    buffer_.clear();
}

DebugLog::FlushAtEnd::~FlushAtEnd() {
    try {
        log_.flush();
    } catch (const RapoError &) {
        // The error that ends the scope, if any, is the one reported.
    }
}
