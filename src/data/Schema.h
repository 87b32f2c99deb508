#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;

// The one description of every table and column the program touches: its own tables in full,
// the host's tables with the columns its statements use. Table components take their columns
// from here, and the embedded database is created from it.
namespace Schema {

enum class ColumnType { Number, Whole, Text, Date, DateTime, Time };

struct Column {
    QString name;
    ColumnType type;
    int width = 0; // texts only
    bool required = false;
};

struct Table {
    QString name;
    std::vector<Column> columns;
    QStringList key; // the index fields of its table component
    bool host = false;
    // False where rows of one key may repeat (the instrument register keeps older choices).
    bool uniqueKey = true;

    QStringList columnNames() const;
    const Column *column(const QString &name) const; // without regard to case
};

const std::vector<Table> &tables();
// Throws when the program knows no such table.
const Table &table(const QString &name);

// Sequences the program draws identities from.
QStringList sequences();

// Creates every table, sequence and index in an empty embedded database.
void createEmbedded(Database &db);

} // namespace Schema
