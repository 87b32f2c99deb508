#include "TestDatabase.h"

#include "Query.h"

TestDatabase::TestDatabase(const QString &alias) {
    Database::createEmbedded(alias, dir.path());
    db = std::make_unique<Database>(alias, QString(), QString(), dir.path());
}

void TestDatabase::exec(const QString &sql) {
    db->execDirect(sql);
}

QVariant TestDatabase::scalar(const QString &sql) {
    Query q(*db);
    q.setText(sql);
    q.open();
    return q.eof() ? QVariant() : q.valueAt(0, 0);
}
