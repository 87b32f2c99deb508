#pragma once

#include "Prompter.h"

#include <QTextStream>

// The program without a window: messages go to standard error, and every question is answered
// the safe way (no, cancel, abort) and said so.
class ConsolePrompter : public Prompter {
public:
    explicit ConsolePrompter(QTextStream &err) : err_(err) {}

    void information(const QString &text) override;
    void warning(const QString &text) override;
    void error(const QString &text) override;
    bool yesNo(const QString &text) override;
    bool okCancel(const QString &text) override;
    bool abortIgnore(const QString &text) override;
    QString openFile(const QString &caption, const QString &, const QString &) override;
    QString saveFile(const QString &caption, const QString &, const QString &) override;

private:
    bool refuse(const QString &question);
    QTextStream &err_;
};
