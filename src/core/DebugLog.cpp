#include "DebugLog.h"

#include "Clock.h"
#include "RapoError.h"
#include "ShortDateFormat.h"

#include <QFile>

DebugLog::DebugLog(bool enabled, const QString &programDirectory, const Clock &clock)
    : enabled_(enabled), path_(programDirectory + QStringLiteral("Log.txt")), clock_(clock) {}

void DebugLog::write(const QString &message) const {
    if (!enabled_)
        return;
    const QDateTime now = clock_.now();
    const QString line = ShortDateFormat::toText(now.date()) + u' ' +
                         now.time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" : ") +
                         message + u'\n';
    QFile file(path_);
    const QByteArray bytes = line.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        throw RapoError(QStringLiteral("Zapisa v dnevnik ") + path_ +
                        QStringLiteral(" ni mogoče narediti.\r") + file.errorString());
    }
    file.close();
}
