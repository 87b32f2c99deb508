#pragma once

#include "Prompter.h"

class QWidget;

// The window's questions and messages, as message boxes and file dialogs.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }

    void information(const QString &text) override;
    void warning(const QString &text) override;
    void error(const QString &text) override;
    bool yesNo(const QString &text) override;
    bool okCancel(const QString &text) override;
    bool abortIgnore(const QString &text) override;
    QString openFile(const QString &caption, const QString &directory,
                     const QString &filter) override;
    QString saveFile(const QString &caption, const QString &directory,
                     const QString &filter) override;
    void failureList(const QString &title, const QStringList &columns,
                     const QList<QStringList> &rows) override;

private:
    QWidget *parent_;
};
