#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;

// The column chooser: every field by its title, checked when shown, in the order shown.
class ColumnChooserDialog : public QDialog {
    Q_OBJECT
public:
    // `fields` and `titles` list every field; `shown` the shown ones in their order.
    ColumnChooserDialog(const QStringList &fields, const QStringList &titles,
                        const QStringList &shown, QWidget *parent = nullptr);
    // The fields to show, in the chosen order.
    QStringList chosenFields() const;

private:
    void move(int by);
    QListWidget *list_;
};

// "Iskanje": a value to find in a column.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    SearchDialog(const QStringList &titles, int column, QWidget *parent = nullptr);
    int column() const;
    QString text() const;

private:
    QComboBox *columns_;
    QLineEdit *text_;
};

// "Sort": one of the grid's sort definitions.
class SortDialog : public QDialog {
    Q_OBJECT
public:
    SortDialog(const QStringList &definitions, QWidget *parent = nullptr);
    int chosen() const;

private:
    QListWidget *list_;
};
