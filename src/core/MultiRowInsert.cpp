#include "MultiRowInsert.h"

#include "RapoError.h"
#include "Schema.h"

QString MultiRowInsert::markerName(int row, int column) {
    return QStringLiteral("R%1C%2").arg(row).arg(column);
}

QString MultiRowInsert::markerType(const QString &table, const QString &column, bool isDb2) {
    const Schema::Column *c = Schema::table(table).column(column);
    if (!c)
        throw RapoError(QStringLiteral("Tabela ") + table + QStringLiteral(" nima stolpca ") +
                        column + u'.');
    switch (c->type) {
    case Schema::ColumnType::Number:
        return isDb2 ? QStringLiteral("DOUBLE") : QStringLiteral("NUMBER");
    case Schema::ColumnType::Whole:
        return isDb2 ? QStringLiteral("BIGINT") : QStringLiteral("NUMBER");
    case Schema::ColumnType::Text:
        return (isDb2 ? QStringLiteral("VARCHAR(%1)") : QStringLiteral("VARCHAR2(%1)"))
            .arg(c->width);
    case Schema::ColumnType::Date:
        return QStringLiteral("DATE");
    case Schema::ColumnType::DateTime:
        return isDb2 ? QStringLiteral("TIMESTAMP") : QStringLiteral("DATE");
    case Schema::ColumnType::Time:
        return isDb2 ? QStringLiteral("TIME") : QStringLiteral("DATE");
    }
    return {};
}

QString MultiRowInsert::sql(const QString &table, const QStringList &columns, int rows,
                            bool isDb2) {
    QStringList types;
    for (const QString &column : columns)
        types << markerType(table, column, isDb2);
    QStringList selects;
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int c = 0; c < columns.size(); ++c) {
            const QString marker = u':' + markerName(r, c);
            values << QStringLiteral("CAST(") + marker + QStringLiteral(" AS ") + types[c] + u')';
        }
        selects << QStringLiteral("SELECT ") + values.join(QStringLiteral(", ")) +
                       (isDb2 ? QStringLiteral(" FROM SYSIBM.SYSDUMMY1")
                              : QStringLiteral(" FROM dual"));
    }
    return QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
           columns.join(QStringLiteral(", ")) + QStringLiteral(") ") +
           selects.join(QStringLiteral(" UNION ALL "));
}
