#include "MessageBoxPrompter.h"

#include "FailureListDialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
const QString title = QStringLiteral("RAPO");
}

void MessageBoxPrompter::information(const QString &text) {
    QMessageBox::information(parent_, title, text);
}

void MessageBoxPrompter::warning(const QString &text) {
    QMessageBox::warning(parent_, title, text);
}

void MessageBoxPrompter::error(const QString &text) {
    QMessageBox::critical(parent_, title, text);
}

bool MessageBoxPrompter::yesNo(const QString &text) {
    return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxPrompter::okCancel(const QString &text) {
    return QMessageBox::question(parent_, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

bool MessageBoxPrompter::abortIgnore(const QString &text) {
    return QMessageBox::warning(parent_, title, text, QMessageBox::Abort | QMessageBox::Ignore,
                                QMessageBox::Abort) == QMessageBox::Abort;
}

QString MessageBoxPrompter::openFile(const QString &caption, const QString &directory,
                                     const QString &filter) {
    return QFileDialog::getOpenFileName(parent_, caption, directory, filter);
}

QString MessageBoxPrompter::saveFile(const QString &caption, const QString &directory,
                                     const QString &filter) {
    return QFileDialog::getSaveFileName(parent_, caption, directory, filter);
}

void MessageBoxPrompter::failureList(const QString &text, const QStringList &columns,
                                     const QList<QStringList> &rows) {
    FailureListDialog(text, columns, rows, parent_).exec();
}
