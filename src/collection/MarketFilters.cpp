#include "MarketFilters.h"

#include "Configuration.h"
#include "SqlDialect.h"

namespace {
QString filter(const QString &kind2, const QString &kind3, const QString &venue) {
    QString f;
    if (!kind2.isEmpty())
        f = QStringLiteral("P.SfDjv in (") + SqlDialect::codeList(kind2) +
            QStringLiteral(") AND ") + venue + QStringLiteral(" and T.SfTrz = '2' ");
    if (!kind3.isEmpty()) {
        const QString third = QStringLiteral("P.SfDjv in (") + SqlDialect::codeList(kind3) +
                              QStringLiteral(") AND ") + venue;
        if (!f.isEmpty())
            f = QStringLiteral("((") + f + QStringLiteral(") OR (") + third +
                QStringLiteral(" and T.SfTrz = '3')) ");
        else
            f = third + QStringLiteral(" and T.SfTrz = '3' ");
    }
    return f;
}
} // namespace

MarketFilters::MarketFilters(const Configuration &c)
    : domestic_(filter(c.dmc2, c.dmc3, QStringLiteral("T.SfDrzTrg='S'"))),
      foreign_(filter(c.tuj2, c.tuj3, QStringLiteral("T.SfDrzTrg<>'S'"))) {}

QString MarketFilters::marketCondition(const QString &tradeAlias) const {
    QString condition;
    if (!domestic_.isEmpty() && !foreign_.isEmpty())
        condition = QStringLiteral(" AND ((") + domestic_ + QStringLiteral(") OR (") + foreign_ +
                    QStringLiteral(")) ");
    else if (!foreign_.isEmpty())
        condition = QStringLiteral(" AND (") + foreign_ + QStringLiteral(") ");
    else if (!domestic_.isEmpty())
        condition = QStringLiteral(" AND (") + domestic_ + QStringLiteral(") ");
    if (tradeAlias != QStringLiteral("P"))
        condition = SqlDialect::replaceAll(condition, QStringLiteral("P.SfDjv"),
                                           tradeAlias + QStringLiteral(".SfDjv"));
    return condition;
}

QString MarketFilters::venueJoin(const QString &tradeAlias) {
    return QStringLiteral(" JOIN TRG T ON ") + tradeAlias + QStringLiteral(".SfTrg = T.SfTrg ");
}

QString MarketFilters::tradeKindCondition(const QString &t, const QString &g) {
    return QStringLiteral(" AND (((") + t + QStringLiteral(".SFTYPE='P') AND ") +
           SqlDialect::remoteMemberCondition(g) + QStringLiteral(") OR ((") + t +
           QStringLiteral(".SFTYPE<>'P') OR (") + t + QStringLiteral(".SFTYPE is NULL)))");
}
