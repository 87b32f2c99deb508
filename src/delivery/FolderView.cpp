#include "FolderView.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>

FolderView::FolderView(const QString &extension, QWidget *parent)
    : QTreeWidget(parent), extension_(extension) {
    setHeaderLabels(
        {QStringLiteral("Ime"), QStringLiteral("Velikost"), QStringLiteral("Spremenjeno")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setStretchLastSection(false);
    headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

void FolderView::setFolder(const QString &folder) {
    folder_ = folder;
    setToolTip(QDir::toNativeSeparators(folder));
    reload();
}

bool FolderView::admits(const QFileInfo &entry, const QString &extension) {
    return entry.isFile() && entry.isReadable() && entry.suffix() == extension;
}

void FolderView::reload() {
    clear();
    if (folder_.isEmpty())
        return;
    const QFileInfoList entries =
        QDir(folder_).entryInfoList(QDir::Files | QDir::Hidden | QDir::System,
                                    QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo &entry : entries) {
        if (!admits(entry, extension_))
            continue;
        auto *item = new QTreeWidgetItem(this);
        item->setText(0, entry.fileName());
        // As the system's file views show sizes: whole kilobytes, rounded up.
        item->setText(1, QStringLiteral("%1 KB").arg((entry.size() + 1023) / 1024));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, entry.lastModified().toString(QStringLiteral("dd.MM.yyyy hh:mm")));
    }
    resizeColumnToContents(1);
    resizeColumnToContents(2);
}

QStringList FolderView::names() const {
    QStringList shown;
    for (int i = 0; i < topLevelItemCount(); ++i)
        shown << topLevelItem(i)->text(0);
    return shown;
}
