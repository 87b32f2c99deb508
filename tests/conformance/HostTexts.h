#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The distinct statement texts of a statement log, where in the program each text lives, and
// what the Oracle grammar says of them.
class HostTexts {
public:
    // Texts in the order they were first sent, without their value lines.
    static QStringList distinctStatements(const QString &logPath);

    // The source files under `sourceRoot` (src/ of the repository) whose string literals hold
    // most of the text's lines, as "folder/File.cpp"; "?" when none holds any.
    static QString sourceOf(const QString &text, const QString &sourceRoot);

    struct ParseFailure {
        int index = 0; // into the statements given
        QString message;
    };
    struct GrammarRun {
        bool ran = false;
        QString error; // why the parser could not be run
        QList<ParseFailure> failures;
    };
    // Parses the statements with the Oracle grammar (the node checker).
    static GrammarRun parseOracle(const QStringList &statements);
    // Parses an install script, statements ending with ";".
    static GrammarRun parseOracleScript(const QString &scriptPath);
};
