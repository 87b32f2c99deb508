#include "FailureListDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

FailureListDialog::FailureListDialog(const QString &title, const QStringList &columns,
                                     const QList<QStringList> &rows, QWidget *parent)
    : QDialog(parent), columns_(columns), rows_(rows) {
    setWindowTitle(QStringLiteral("Napake v naboru"));
    auto *label = new QLabel(title + QStringLiteral(" (napak: %1)").arg(rows.size()), this);
    label->setWordWrap(true);
    grid = new QTableWidget(int(rows.size()), int(columns.size()), this);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setHorizontalHeaderLabels(columns);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < columns.size(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    grid->resizeColumnsToContents();
    grid->horizontalHeader()->setStretchLastSection(true);

    copyButton = new QPushButton(QStringLiteral("Kopiraj"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    closeButton = new QPushButton(QStringLiteral("Zapri"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setDefault(true);
    connect(copyButton, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(text()); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copyButton);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(grid, 1);
    layout->addLayout(buttons);
    resize(900, 400);
}

QString FailureListDialog::text() const {
    QStringList lines{columns_.join(u'\t')};
    for (const QStringList &row : rows_)
        lines << row.join(u'\t');
    return lines.join(u'\n') + u'\n';
}
