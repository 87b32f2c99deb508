#pragma once

#include <QString>

// The statement texts of the working set and of its instruments, as written for Oracle with
// the placeholders the dialect adaptation fills at start-up.
namespace WorkingSetSql {
QString workingSet();
QString instruments();
} // namespace WorkingSetSql
