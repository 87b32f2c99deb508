#pragma once

#include "Prompter.h"

#include "QtPrinters.h"

#include <QList>
#include <QString>
#include <QStringList>

// Records every message and question; answers questions from a script (true = Yes/OK/Abort).
// A question without a scripted answer fails the test.
class ScriptedPrompter : public Prompter {
public:
    QStringList texts;     // every message and question, in order
    QList<bool> answers;   // consumed from the front
    QStringList fileNames; // answers of the file dialogs, consumed from the front

    void information(const QString &text) override { texts << text; }
    void warning(const QString &text) override { texts << text; }
    void error(const QString &text) override { texts << text; }
    bool yesNo(const QString &text) override { return answer(text); }
    bool okCancel(const QString &text) override { return answer(text); }
    bool abortIgnore(const QString &text) override { return answer(text); }
    QString openFile(const QString &caption, const QString &, const QString &) override;
    QString saveFile(const QString &caption, const QString &, const QString &) override;
    QList<QList<QStringList>> lists; // the rows of every failure list, in order
    void failureList(const QString &title, const QStringList &,
                     const QList<QStringList> &rows) override {
        texts << title;
        lists << rows;
    }

private:
    bool answer(const QString &text);
};
