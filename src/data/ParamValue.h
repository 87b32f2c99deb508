#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

// A typed value of a statement parameter or of a column being written.
struct ParamValue {
    enum class Type { Null, Date, DateTime, Time, Integer, Number, Text };
    Type type = Type::Null;
    QVariant value;

    static ParamValue null() { return {}; }
    static ParamValue date(const QDate &d) { return {d.isValid() ? Type::Date : Type::Null, d}; }
    static ParamValue dateTime(const QDateTime &d) {
        return {d.isValid() ? Type::DateTime : Type::Null, d};
    }
    static ParamValue integer(qint64 v) { return {Type::Integer, v}; }
    static ParamValue number(double v) { return {Type::Number, v}; }
    // An empty text is null, as the host database treats it.
    static ParamValue text(const QString &v) { return {v.isEmpty() ? Type::Null : Type::Text, v}; }
};
