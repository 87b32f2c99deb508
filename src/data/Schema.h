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

// How many decimal digits a number column holds on the hosts, and how many of them follow the
// decimal point. The embedded database keeps any number; the install script needs the widths.
struct Digits {
    int precision = 0;
    int scale = 0;
};

struct Column {
    QString name;
    ColumnType type;
    int width = 0; // texts only
    bool required = false;
    Digits digits = {}; // numbers and whole numbers of the program's own tables
};

struct Table {
    QString name;
    std::vector<Column> columns;
    QStringList key; // the index fields of its table component
    bool host = false;
    // False where rows of one key may repeat (the instrument register keeps older choices).
    bool uniqueKey = true;
    // Kept by the program but written by the host's other applications too: a site's host
    // usually has it already.
    bool shared = false;

    QStringList columnNames() const;
    const Column *column(const QString &name) const; // without regard to case
};

const std::vector<Table> &tables();
// Throws when the program knows no such table.
const Table &table(const QString &name);

// An index the program's lookups use, or a unique constraint (a duplicate would be a wrong
// report or a wrong number).
struct Index {
    QString name;
    QString table;
    QStringList columns;
    bool unique = false;
};

const std::vector<Index> &indexes();

// A sequence the program draws identities from, and the table whose identities it gives.
struct Sequence {
    QString name;
    QString table;
};

const std::vector<Sequence> &sequences();

// Creates every table, sequence and index in an empty embedded database.
void createEmbedded(Database &db);
// Brings an embedded database made by an earlier version up to the description where that is
// safe: adds the unique constraints it lacks. One that its rows already break is left out; the
// database still opens.
void upgradeEmbedded(Database &db);

} // namespace Schema
