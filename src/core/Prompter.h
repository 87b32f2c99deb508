#pragma once

#include <QString>
#include <QStringList>

// Every question and message the program puts to the user goes through here, so a workflow
// runs the same in the window, from the command line and in the tests.
class Prompter {
public:
    virtual ~Prompter() = default;

    virtual void information(const QString &text) = 0;
    virtual void warning(const QString &text) = 0;
    virtual void error(const QString &text) = 0;
    // true for Yes / OK / Abort, false for No / Cancel / Ignore.
    virtual bool yesNo(const QString &text) = 0;
    virtual bool okCancel(const QString &text) = 0;
    virtual bool abortIgnore(const QString &text) = 0;
    // Empty when the user cancels.
    virtual QString openFile(const QString &caption, const QString &directory,
                             const QString &filter) = 0;
    virtual QString saveFile(const QString &caption, const QString &directory,
                             const QString &filter) = 0;
};
