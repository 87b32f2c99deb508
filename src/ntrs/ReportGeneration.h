#pragma once

#include <QDate>
#include <QString>

class Query;
class Session;
struct RunState;

// "Generiranje XML poročila": numbers the report, builds the document from the working set and
// its instruments, writes it into the program directory, validates it against the schema and,
// when it is valid, enters it in the report register. An invalid file is renamed to ".bad".
class ReportGeneration {
public:
    struct Result {
        bool valid = false;
        QString path;      // the report file (".bad" when invalid)
        QString errorLine; // location + "," + reason of the first validation error
    };

    // `rows` is the loaded working set, `instruments` its instrument query.
    static Result generate(Session &session, Query &rows, Query &instruments, RunState &state,
                           const QDate &from, const QDate &to);
};
