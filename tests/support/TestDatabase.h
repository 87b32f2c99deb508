#pragma once

#include "Database.h"
#include "TempProgramDirectory.h"

#include <memory>

// A fresh embedded database with the whole schema in a temporary program directory.
class TestDatabase {
public:
    explicit TestDatabase(const QString &alias = QStringLiteral("TEST"));

    TempProgramDirectory dir;
    std::unique_ptr<Database> db;

    // Runs a statement without parameters.
    void exec(const QString &sql);
    // The first column of the first row of a query, or an invalid value when there is none.
    QVariant scalar(const QString &sql);
};
