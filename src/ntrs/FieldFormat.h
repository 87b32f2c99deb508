#pragma once

#include <QString>
#include <optional>

// The format rules every value of a transaction report passes before it goes into the document.
//
// A format text is one or more groups "<width>(<class>)" with nothing between them; the groups
// cover consecutive stretches of the value from its first character. Classes: "a" letters
// (A-Z, a-z and the Slovenian and Croatian letters Š Ž š ž Ć Č Đ ć č đ), "n" digits, "S" the
// signs "+" and "-", "x" any character, "d" a decimal number (the whole value, rewritten with "."
// and at most five decimals). A one-group format of class a, n, S or x cuts a longer value to its
// width; no format pads.
namespace FieldFormat {

// A column of the current row of a query, as the check needs it.
struct FormatColumn {
    QString name;  // the column's name; a few columns are trimmed by name
    QString label; // the display label for messages; empty: the name is shown
    QString text;  // the column's text as stored; a null column is an empty text
};

// Assembles prefix + column text + suffix (prefix + suffix without a column), checks it against
// the format and returns it normalised. `reference` is the transaction reference of the working
// set's current row; it is used only in the failure message. Throws FieldError when the value
// does not fit the format or a "d" value is not a number, RapoError when the format text is not
// one.
QString check(const std::optional<FormatColumn> &column, const QString &format,
              const QString &prefix, const QString &suffix, const QString &reference);

// Adds `pad` at the front (atFront) or at the end until the value is at least `length` long.
// An empty pad or a value that is already long enough gives the value unchanged; never cuts.
QString padToLength(const QString &value, int length, const QString &pad, bool atFront);

// Appends "0" until the text is at least ten characters long.
QString padRegistrationNumber(const QString &text);

} // namespace FieldFormat
