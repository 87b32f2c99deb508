#pragma once

#include <QString>
#include <QStringList>

class DataImport;

// One loaded row: a text per structure item, in structure order, read by item name.
class DataImportItem {
public:
    // Fails with "DataImportItem: invalid parameter value : AOwner." without an import.
    explicit DataImportItem(const DataImport *owner);

    // The text of the named item; fails with "DataImportItem: field NAME not found." for a
    // name that is not in the import's structure.
    QString value(const QString &name) const;
    const QStringList &values() const { return values_; }
    void append(const QString &text) { values_ << text; }

private:
    const DataImport *owner_;
    QStringList values_;
};
