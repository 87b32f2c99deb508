#pragma once

#include "Schema.h"

#include <QString>
#include <optional>

// The script a site's database administrator runs to install the program's own tables on its
// Oracle or DB2 host, written from the schema description that also creates the embedded
// database, so the two never differ. The host's own tables are not created; the indexes the
// program would like on them are listed as comments.
class HostSchema {
public:
    enum class Dialect { Oracle, Db2 };

    // "ORACLE" or "DB2", letter case ignored; nothing for any other name.
    static std::optional<Dialect> dialectNamed(const QString &name);

    explicit HostSchema(Dialect dialect) : dialect_(dialect) {}

    // The column's type on the host. Throws for a number column without its digits.
    QString columnType(const Schema::Column &column) const;
    // Every statement ends with ";", as SQL*Plus and DB2's command line (db2 -tvf) read a file.
    QString script() const;

private:
    QString createTable(const Schema::Table &table) const;
    QString createSequence(const Schema::Sequence &sequence) const;
    QString numberType(const Schema::Column &column) const;

    Dialect dialect_;
};
