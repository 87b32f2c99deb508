#pragma once

#include <QTreeWidget>

class QFileInfo;

// The files of one folder that have one extension, in detail (name, size, time of the last
// change), sorted by name: the views of the delivered PDFs and of their signed files. The folder
// is read when asked, not watched.
class FolderView : public QTreeWidget {
    Q_OBJECT
public:
    // `extension` without its point, compared with letter case ("pdf" admits "a.pdf", not
    // "a.PDF").
    explicit FolderView(const QString &extension, QWidget *parent = nullptr);

    void setFolder(const QString &folder);
    const QString &folder() const { return folder_; }
    // Reads the folder again.
    void reload();
    // The names shown, in order.
    QStringList names() const;

    // A file (never a folder) that can be read and has exactly the extension.
    static bool admits(const QFileInfo &entry, const QString &extension);

private:
    QString extension_;
    QString folder_;
};
