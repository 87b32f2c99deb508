#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QPushButton;
class QTableWidget;

// "Napake v naboru": every failure in a grid the user reads, and "Kopiraj" puts the whole list,
// titles first and tab-separated, on the clipboard, ready for a spreadsheet.
class FailureListDialog : public QDialog {
    Q_OBJECT
public:
    FailureListDialog(const QString &title, const QStringList &columns,
                      const QList<QStringList> &rows, QWidget *parent = nullptr);

    // The text "Kopiraj" copies.
    QString text() const;

    QTableWidget *grid;
    QPushButton *copyButton;
    QPushButton *closeButton;

private:
    QStringList columns_;
    QList<QStringList> rows_;
};
