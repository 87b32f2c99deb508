#include "MultiRowInsert.h"

#include "RapoError.h"
#include "Schema.h"

QString MultiRowInsert::markerName(int row, int column) {
    return QStringLiteral("R%1C%2").arg(row).arg(column);
}

QString MultiRowInsert::db2Type(const QString &table, const QString &column) {
    const Schema::Column *c = Schema::table(table).column(column);
    if (!c)
        throw RapoError(QStringLiteral("Tabela ") + table + QStringLiteral(" nima stolpca ") +
                        column + u'.');
    switch (c->type) {
    case Schema::ColumnType::Number:
        return QStringLiteral("DOUBLE");
    case Schema::ColumnType::Whole:
        return QStringLiteral("BIGINT");
    case Schema::ColumnType::Text:
        return QStringLiteral("VARCHAR(%1)").arg(c->width);
    case Schema::ColumnType::Date:
        return QStringLiteral("DATE");
    case Schema::ColumnType::DateTime:
        return QStringLiteral("TIMESTAMP");
    case Schema::ColumnType::Time:
        return QStringLiteral("TIME");
    }
    return {};
}

QString MultiRowInsert::sql(const QString &table, const QStringList &columns, int rows,
                            bool isDb2) {
    QStringList types;
    if (isDb2)
        for (const QString &column : columns)
            types << db2Type(table, column);
    QStringList selects;
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int c = 0; c < columns.size(); ++c) {
            const QString marker = u':' + markerName(r, c);
            values << (isDb2 ? QStringLiteral("CAST(") + marker + QStringLiteral(" AS ") +
                                   types[c] + u')'
                             : marker);
        }
        selects << QStringLiteral("SELECT ") + values.join(QStringLiteral(", ")) +
                       (isDb2 ? QStringLiteral(" FROM SYSIBM.SYSDUMMY1")
                              : QStringLiteral(" FROM dual"));
    }
    return QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
           columns.join(QStringLiteral(", ")) + QStringLiteral(") ") +
           selects.join(QStringLiteral(" UNION ALL "));
}
