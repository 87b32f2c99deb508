#pragma once

#include <QList>
#include <QString>

// Validates a written report file against the XML schema that the file names in
// `xsi:noNamespaceSchemaLocation`. The schema is looked up by its file name in one directory
// (the program directory), whatever path the file gives. The file is read as a stream, so a
// report of any size is validated in little memory.
//
// A file is valid only when it was validated and had no error: a schema that cannot be found or
// read, a file that cannot be read or is not XML, are failures like any schema error.
class SchemaValidator {
public:
    struct Error {
        // The file's name and, where known, the line: "TRDAT01_5860571000_0001_14.xml:27".
        QString location;
        // What is wrong. An error inside a record ends with the record's transaction reference
        // ("... Ref.St.Transakcije 100000000042"), or, in the instrument register, with the
        // instrument's internal code ("... Interna identifikacija instrumenta 1001").
        QString reason;

        // The error as one line: location, ",", reason.
        QString line() const { return location + u',' + reason; }
    };

    struct Result {
        // The errors in the order of the file; only the first ones are kept.
        QList<Error> errors;

        bool valid() const { return errors.isEmpty(); }
        // The first error as one line; empty when the file is valid.
        QString firstError() const { return errors.isEmpty() ? QString() : errors.first().line(); }
    };

    // At most this many errors are kept of a file.
    static constexpr int maxErrors = 100;

    explicit SchemaValidator(const QString &schemaDirectory);

    Result validate(const QString &fileName) const;

private:
    QString schemaDirectory_;
};
