#include "ReportNumbering.h"

#include "FieldFormat.h"
#include "Query.h"
#include "RapoError.h"
#include "Session.h"

QString ReportNumbering::nextSequenceSql(bool isDb2, const QDate &reference) {
    if (isDb2)
        return QStringLiteral(" select COALESCE(max(ZapSt), 0)+1 as MaxZapSt from DPATVP WHERE "
                              "YEAR(CAST('") +
               reference.toString(QStringLiteral("dd.MM.yyyy")) +
               QStringLiteral("' as DATE))=YEAR(Dan)");
    return QStringLiteral(" select NVL(max(ZapSt), 0)+1 as MaxZapSt from DPATVP WHERE "
                          "TO_CHAR(TO_DATE('") +
           reference.toString(QStringLiteral("MM/dd/yyyy")) +
           QStringLiteral("','mm/dd/yyyy'), 'YYYY')=TO_CHAR(Dan, 'YYYY')");
}

qint64 ReportNumbering::nextSequence(Session &session, const QDate &reference) {
    Query qMaxDpAtvpId(session.db, QStringLiteral("qMaxDpAtvpId"));
    qMaxDpAtvpId.setText(nextSequenceSql(session.isDb2(), reference));
    qMaxDpAtvpId.open();
    const qint64 sequence = qMaxDpAtvpId.asInteger(QStringLiteral("MaxZapSt"));
    qMaxDpAtvpId.close();
    return sequence;
}

QString ReportNumbering::registerLockSql() {
    return QStringLiteral("LOCK TABLE DPATVP IN EXCLUSIVE MODE");
}

QString ReportNumbering::fileName(const QString &firm, qint64 sequence, int year) {
    bool ok = false;
    const qint64 number = firm.trimmed().toLongLong(&ok);
    if (!ok)
        throw RapoError(u'\'' + firm + QStringLiteral("' ni veljavno celo število"));
    return QStringLiteral("TRDAT01_") +
           FieldFormat::padRegistrationNumber(QString::number(number)) + u'_' +
           QStringLiteral("%1").arg(sequence, 4, 10, QLatin1Char('0')) + u'_' +
           QStringLiteral("%1").arg(year % 100, 2, 10, QLatin1Char('0')) + QStringLiteral(".xml");
}
