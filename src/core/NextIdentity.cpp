#include "NextIdentity.h"

#include "Query.h"
#include "RapoError.h"

qint64 nextIdentity(Database &db, const QString &table, const QString &column) {
    Query qIdSeq(db, QStringLiteral("qIdSeq"));
    return nextIdentity(qIdSeq, table, column);
}

qint64 nextIdentity(Query &qIdSeq, const QString &table, const QString &column) {
    const QString sequence = table + u'_' + column + QStringLiteral("_SEQ");
    try {
        qIdSeq.close();
        qIdSeq.setText(QStringLiteral("SELECT ") + sequence +
                       QStringLiteral(".NEXTVAL AS NewId FROM dual"));
        qIdSeq.open();
        const qint64 id = qIdSeq.asInteger(QStringLiteral("NewId"));
        qIdSeq.close();
        return id;
    } catch (const RapoError &e) {
        throw RapoError(e.className() + QStringLiteral(": napaka pri sekvenci ") + sequence +
                        QStringLiteral(". Sporočilo: ") + e.message());
    }
}
