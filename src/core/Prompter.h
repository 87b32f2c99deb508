#pragma once

#include <QList>
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
    // A list the user reads and copies: one row per failure under the column titles. Where no
    // list can be shown it is one error message, a line per row with the values tab-separated.
    virtual void failureList(const QString &title, const QStringList &columns,
                             const QList<QStringList> &rows) {
        Q_UNUSED(columns);
        QStringList lines{title};
        for (const QStringList &row : rows)
            lines << row.join(u'\t');
        error(lines.join(u'\n'));
    }
};
