#include "NextIdentity.h"

#include "Query.h"
#include "RapoError.h"

QString nextIdentitySql(const QString &sequence, bool isDb2) {
    return isDb2 ? QStringLiteral("SELECT NEXTVAL FOR ") + sequence +
                       QStringLiteral(" AS NewId FROM SYSIBM.SYSDUMMY1")
                 : QStringLiteral("SELECT ") + sequence +
                       QStringLiteral(".NEXTVAL AS NewId FROM dual");
}

qint64 nextIdentity(Database &db, const QString &table, const QString &column, bool isDb2) {
    Query qIdSeq(db, QStringLiteral("qIdSeq"));
    return nextIdentity(qIdSeq, table, column, isDb2);
}

qint64 nextIdentity(Query &qIdSeq, const QString &table, const QString &column, bool isDb2) {
    const QString sequence = table + u'_' + column + QStringLiteral("_SEQ");
    try {
        qIdSeq.close();
        qIdSeq.setText(nextIdentitySql(sequence, isDb2));
        qIdSeq.open();
        const qint64 id = qIdSeq.asInteger(QStringLiteral("NewId"));
        qIdSeq.close();
        return id;
    } catch (const RapoError &e) {
        throw RapoError(e.className() + QStringLiteral(": napaka pri sekvenci ") + sequence +
                        QStringLiteral(". Sporočilo: ") + e.message());
    }
}
