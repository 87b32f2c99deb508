#pragma once

#include <QString>

struct Configuration;

// The conditions that choose which host trades a collection takes: the configured market
// filters (activity codes per domestic / foreign venue and market kind) and the trade-kind
// condition (kind "P" only for contracts of a remote member).
class MarketFilters {
public:
    explicit MarketFilters(const Configuration &configuration);

    bool any() const { return !domestic_.isEmpty() || !foreign_.isEmpty(); }
    const QString &domestic() const { return domestic_; }
    const QString &foreign() const { return foreign_; }

    // The condition added to a statement; `tradeAlias` "D" writes it for the alias D instead
    // of P. Empty when no filter is configured.
    QString marketCondition(const QString &tradeAlias = QStringLiteral("P")) const;
    // The venue join a statement needs when any filter is set.
    static QString venueJoin(const QString &tradeAlias);
    static QString tradeKindCondition(const QString &tradeAlias, const QString &contractAlias);

private:
    QString domestic_;
    QString foreign_;
};
