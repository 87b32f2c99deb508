#include "ValueText.h"

#include "ShortDateFormat.h"

QDateTime ValueText::dateTimeOf(const QVariant &value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime();
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return QDateTime(QDate(1899, 12, 30), value.toTime());
    default:
        return {};
    }
}

QString ValueText::dateTimeText(const QDateTime &value) {
    QString text = ShortDateFormat::toText(value.date());
    if (value.time() != QTime(0, 0))
        text += u' ' + value.time().toString(QStringLiteral("HH:mm:ss"));
    return text;
}
