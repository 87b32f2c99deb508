#include "GridDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QDialogButtonBox *okCancel(QDialog *dialog) {
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("V redu"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Prekliči"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
} // namespace

ColumnChooserDialog::ColumnChooserDialog(const QStringList &fields, const QStringList &titles,
                                         const QStringList &shown, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Pogled"));
    list_ = new QListWidget(this);
    auto addItem = [&](int i, bool checked) {
        auto *item = new QListWidgetItem(titles.value(i), list_);
        item->setData(Qt::UserRole, fields[i]);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    };
    for (const QString &name : shown) {
        const qsizetype i = fields.indexOf(name);
        if (i >= 0)
            addItem(static_cast<int>(i), true);
    }
    for (int i = 0; i < fields.size(); ++i)
        if (!shown.contains(fields[i]))
            addItem(i, false);
    auto *up = new QPushButton(QStringLiteral("Gor"), this);
    auto *down = new QPushButton(QStringLiteral("Dol"), this);
    connect(up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { move(1); });
    auto *side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(list_);
    row->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(okCancel(this));
}

void ColumnChooserDialog::move(int by) {
    const int row = list_->currentRow();
    const int target = row + by;
    if (row < 0 || target < 0 || target >= list_->count())
        return;
    QListWidgetItem *item = list_->takeItem(row);
    list_->insertItem(target, item);
    list_->setCurrentRow(target);
}

QStringList ColumnChooserDialog::chosenFields() const {
    QStringList chosen;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked)
            chosen << list_->item(i)->data(Qt::UserRole).toString();
    return chosen;
}

SearchDialog::SearchDialog(const QStringList &titles, int column, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Iskanje"));
    columns_ = new QComboBox(this);
    columns_->addItems(titles);
    columns_->setCurrentIndex(qMax(0, column));
    text_ = new QLineEdit(this);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Stolpec"), columns_);
    form->addRow(QStringLiteral("Vrednost"), text_);
    form->addRow(okCancel(this));
}

int SearchDialog::column() const {
    return columns_->currentIndex();
}

QString SearchDialog::text() const {
    return text_->text();
}

SortDialog::SortDialog(const QStringList &definitions, QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sort"));
    list_ = new QListWidget(this);
    list_->addItems(definitions);
    list_->setCurrentRow(0);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(okCancel(this));
}

int SortDialog::chosen() const {
    return list_->currentRow();
}
