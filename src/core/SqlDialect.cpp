#include "SqlDialect.h"

#include "Configuration.h"

QString SqlDialect::replaceAll(QString text, const QString &from, const QString &to) {
    return text.replace(from, to, Qt::CaseInsensitive);
}

QString SqlDialect::adaptWorkingSet(const QString &text, const Configuration &c) {
    QString out = text;
    if (c.isDb2) {
        out =
            replaceAll(out, QStringLiteral("%null_int%"), QStringLiteral("CAST(null AS integer)"));
        out = replaceAll(out, QStringLiteral("%null_char%"), QStringLiteral("CAST(null AS char)"));
        out = replaceAll(out, QStringLiteral("NVL("), QStringLiteral("COALESCE("));
    } else {
        out = replaceAll(out, QStringLiteral("%null_int%"), QStringLiteral("null"));
        out = replaceAll(out, QStringLiteral("%null_char%"), QStringLiteral("null"));
    }
    // The fixed-venue list was checked to be venue codes when the configuration was read.
    QString start;
    QString end;
    if (!c.fiksniTimeZoneZaTrg.isEmpty()) {
        start = QStringLiteral("(CASE WHEN T.SFTRG In (") + c.fiksniTimeZoneZaTrg +
                QStringLiteral(") THEN (CASE WHEN ((T.TimeZone is null) or (T.TimeZone ='')) "
                               "THEN '+01' ELSE T.TimeZone END) ELSE (");
        end = QStringLiteral(") END) ");
    }
    out = replaceAll(out, QStringLiteral("%TimeZone_Start%"), start);
    out = replaceAll(out, QStringLiteral("%TimeZone_End%"), end);

    QString segment = QStringLiteral("upper(T.MIC)");
    if (!c.micLjseC.isEmpty())
        segment = u'\'' + QString(c.micLjseC).replace(u'\'', QStringLiteral("''")) + u'\'';
    return replaceAll(out, QStringLiteral("%SegmentTrg%"), segment);
}

QString SqlDialect::workingSetTemplate(const QString &adapted, bool isDb2) {
    if (isDb2)
        return adapted;
    return replaceAll(adapted, QStringLiteral("CAST(D.Cas as TIME) as Cas"),
                      QStringLiteral("D.Cas"));
}

QString SqlDialect::adaptNvl(const QString &text, bool isDb2) {
    return isDb2 ? replaceAll(text, QStringLiteral("NVL("), QStringLiteral("COALESCE(")) : text;
}

QString SqlDialect::db2WorkingSetLoad(const QString &text) {
    static const std::pair<QString, QString> steps[] = {
        {QStringLiteral("VARCHAR2("), QStringLiteral("CHAR(")},
        {QStringLiteral("EXTRACT(Year FROM P.Dan)"), QStringLiteral("YEAR(P.Dan)")},
        {QStringLiteral("trunc(5*CAST(YEAR(P.DAn) as INTEGER)/4+4)"),
         QStringLiteral("trunc(5*CAST(YEAR(P.DAn) as INTEGER)/4+4, 0)")},
        {QStringLiteral("trunc(5*CAST(YEAR(P.DAn) as INTEGER)/4+1)"),
         QStringLiteral("trunc(5*CAST(YEAR(P.DAn) as INTEGER)/4+1, 0)")},
        {QStringLiteral("(CASE WHEN T.SFTRG In ("),
         QStringLiteral("RTRIM((CASE WHEN T.SFTRG In (")},
        {QStringLiteral(") END)  as Offset"), QStringLiteral(") END))  as Offset")},
        {QStringLiteral("TO_DATE("), QString()},
        {QStringLiteral(",'dd.mm.yyyy')"), QString()},
    };
    QString out = text;
    for (const auto &[from, to] : steps)
        out = replaceAll(out, from, to);
    return out;
}

QString SqlDialect::nextCollectionNumberSql(bool isDb2) {
    return isDb2 ? QStringLiteral(" select COALESCE(max(DpAtvpId), 0)+1 as MaxDpAtvpId from DPATVP")
                 : QStringLiteral(" select NVL(max(DpAtvpId), 0)+1 as MaxDpAtvpId from DPATVP");
}

QString SqlDialect::nextReferenceExpression(bool isDb2) {
    return isDb2 ? QStringLiteral("NEXTVAL FOR DPATVPPSL_SEQ")
                 : QStringLiteral("DPATVPPSL_SEQ.NEXTVAL");
}

QString SqlDialect::currentDateSubquery(bool isDb2) {
    return isDb2 ? QStringLiteral("(SELECT Current DATE FROM SYSIBM.SYSDUMMY1)")
                 : QStringLiteral("(select CURRENT_DATE from dual)");
}

QString SqlDialect::dateLiteral(const QDate &date, bool isDb2) {
    const QString text = date.toString(QStringLiteral("MM/dd/yyyy"));
    return isDb2 ? u'\'' + text + u'\''
                 : QStringLiteral("TO_DATE('") + text + QStringLiteral("','mm/dd/yyyy')");
}

QString SqlDialect::remoteMemberCondition(const QString &contractAlias) {
    return QStringLiteral("(LENGTH(TRIM(") + contractAlias + QStringLiteral(".REMOTECLAN)) > 0)");
}

QString SqlDialect::codeList(const QString &codes) {
    QStringList quoted;
    for (QChar code : codes)
        quoted << u'\'' + (code == u'\'' ? QStringLiteral("''") : QString(code)) + u'\'';
    return quoted.join(u',');
}
