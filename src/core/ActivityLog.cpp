#include "ActivityLog.h"

#include "Clock.h"
#include "EditableTable.h"
#include "NextIdentity.h"
#include "Query.h"
#include "RapoError.h"
#include "Schema.h"
#include "SqlDialect.h"

#include <QSysInfo>
#include <algorithm>

ActivityLog::ActivityLog(Database &db, const Clock &clock, const QString &applicationUser,
                         bool isDb2)
    : db_(db), clock_(clock), applicationUser_(applicationUser),
      workstation_(QSysInfo::machineHostName()), isDb2_(isDb2) {}

ActivityLog::~ActivityLog() = default;

QString ActivityLog::rowText(const EditableTable &table) {
    QString text;
    for (const auto &column : table.table().columns)
        text += DataSet::valueText(table.value(column.name)) + QStringLiteral("#|") + column.name +
                QStringLiteral("#|");
    return text;
}

void ActivityLog::write(const QString &table, const QString &mark, const QString &rowText) {
    if (!bAct_) {
        bAct_ = std::make_unique<EditableTable>(db_, QStringLiteral("ACT"));
        // Only appended to: the filter matches no row, so opening reads none.
        bAct_->setFilter(QStringLiteral("IDACT = 0"));
        qIdSeq_ = std::make_unique<Query>(db_, QStringLiteral("qIdSeq"));
    }
    if (!bAct_->active())
        bAct_->open();
    bAct_->append();
    try {
        bAct_->setValue(QStringLiteral("Usr"), applicationUser_);
        bAct_->setValue(QStringLiteral("SfAct"), mark);
        bAct_->setValue(QStringLiteral("Cas"), clock_.now());
        bAct_->setValue(QStringLiteral("SfApp"), QStringLiteral("R"));
        bAct_->setValue(QStringLiteral("SfOrg"), QStringLiteral("0"));
        bAct_->setValue(QStringLiteral("Cmp"), workstation_);
        bAct_->setValue(QStringLiteral("Db"), QStringLiteral("LB"));
        bAct_->setValue(QStringLiteral("Tbl"), table);
        bAct_->setValue(QStringLiteral("Cnt"), rowText);
        bAct_->setValue(QStringLiteral("IdAct"), nextIdentity(*qIdSeq_, QStringLiteral("ACT"),
                                                              QStringLiteral("IdAct"), isDb2_));
        bAct_->post();
    } catch (...) {
        bAct_->cancel();
        throw;
    }
}

QString ActivityLog::insertedRowsSql(const QString &table, const QString &condition,
                                     const QString &order, bool isDb2) {
    const Schema::Table &t = Schema::table(table);
    QStringList row;
    QStringList columns;
    for (const Schema::Column &c : t.columns) {
        QString text;
        switch (c.type) {
        case Schema::ColumnType::Number:
        case Schema::ColumnType::Whole:
            text = isDb2 ? QStringLiteral("CAST(CAST(") + c.name +
                               QStringLiteral(" AS BIGINT) AS VARCHAR(20))")
                         : QStringLiteral("TO_CHAR(") + c.name + u')';
            break;
        case Schema::ColumnType::Text:
            text = c.name;
            break;
        default:
            throw RapoError(QStringLiteral("Stolpca ") + c.name +
                            QStringLiteral(" ni mogoče zapisati v dnevnik z enim stavkom."));
        }
        // A null value is an empty text; the empty text is null on the host, and a null joined
        // to a text is that text there.
        row << QStringLiteral("NVL(") + text + QStringLiteral(", '') || '#|") + c.name +
                   QStringLiteral("#|'");
        columns << c.name;
    }
    const QString next = isDb2 ? QStringLiteral("NEXTVAL FOR ACT_IDACT_SEQ")
                               : QStringLiteral("ACT_IDACT_SEQ.NEXTVAL");
    // DB2 wants the type of a parameter in a select list.
    const auto parameter = [isDb2](const char *name, const char *type) {
        return isDb2
                   ? QStringLiteral("CAST(:%1 AS %2)").arg(QLatin1String(name), QLatin1String(type))
                   : QStringLiteral(":") + QLatin1String(name);
    };
    // The numbered subquery delivers its rows in the order of `order`, so the identities are
    // drawn in that order (a sequence may not be drawn in a select with ORDER BY).
    return SqlDialect::adaptNvl(
        QStringLiteral("INSERT INTO ACT (IdAct, Usr, SfAct, Cas, SfApp, SfOrg, Cmp, Db, Tbl, Cnt) "
                       "SELECT ") +
            next + QStringLiteral(", ") + parameter("Usr", "VARCHAR(20)") +
            QStringLiteral(", '+', ") + parameter("Cas", "TIMESTAMP") +
            QStringLiteral(", 'R', '0', ") + parameter("Cmp", "VARCHAR(64)") +
            QStringLiteral(", 'LB', '") + t.name + QStringLiteral("', ") +
            row.join(QStringLiteral(" || ")) + QStringLiteral(" FROM (SELECT ") +
            columns.join(QStringLiteral(", ")) + QStringLiteral(", ROW_NUMBER() OVER (ORDER BY ") +
            order + QStringLiteral(") AS RN FROM ") + t.name + QStringLiteral(" WHERE ") +
            condition + QStringLiteral(") A"),
        isDb2);
}

int ActivityLog::writeInserted(const QString &table, const QString &condition,
                               const QList<QPair<QString, ParamValue>> &params,
                               const QString &order, bool isDb2) {
    Query q(db_, QStringLiteral("bAct"));
    q.setText(insertedRowsSql(table, condition, order, isDb2));
    q.setString(QStringLiteral("Usr"), applicationUser_);
    q.setDateTime(QStringLiteral("Cas"), clock_.now());
    q.setString(QStringLiteral("Cmp"), workstation_);
    for (const auto &[name, value] : params)
        q.setParam(name, value);
    return q.exec();
}

QString ActivityLog::rowsSql(const QString &table, int count, bool isDb2) {
    // DB2 wants the type of every parameter in a select list.
    const auto parameter = [isDb2](const QString &name, const char *type) {
        return isDb2 ? QStringLiteral("CAST(:") + name + QStringLiteral(" AS ") +
                           QLatin1String(type) + u')'
                     : u':' + name;
    };
    const QString from =
        isDb2 ? QStringLiteral(" FROM SYSIBM.SYSDUMMY1") : QStringLiteral(" FROM dual");
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("SELECT ") + parameter(QStringLiteral("M%1").arg(i), "VARCHAR(1)") +
                    QStringLiteral(" AS SfAct, ") +
                    parameter(QStringLiteral("T%1").arg(i), "VARCHAR(4000)") +
                    QStringLiteral(" AS Cnt") + from;
    const QString next = isDb2 ? QStringLiteral("NEXTVAL FOR ACT_IDACT_SEQ")
                               : QStringLiteral("ACT_IDACT_SEQ.NEXTVAL");
    // The identities are drawn in the order the union delivers its rows, which is theirs (a
    // sequence may not be drawn in a select with ORDER BY or UNION, so the union is a subquery).
    return QStringLiteral("INSERT INTO ACT (IdAct, Usr, SfAct, Cas, SfApp, SfOrg, Cmp, Db, Tbl, "
                          "Cnt) SELECT ") +
           next + QStringLiteral(", ") + parameter(QStringLiteral("Usr"), "VARCHAR(20)") +
           QStringLiteral(", A.SfAct, ") + parameter(QStringLiteral("Cas"), "TIMESTAMP") +
           QStringLiteral(", 'R', '0', ") + parameter(QStringLiteral("Cmp"), "VARCHAR(64)") +
           QStringLiteral(", 'LB', '") + Schema::table(table).name +
           QStringLiteral("', A.Cnt FROM (") + rows.join(QStringLiteral(" UNION ALL ")) +
           QStringLiteral(") A");
}

void ActivityLog::writeRows(const QString &table, const QList<QPair<QString, QString>> &rows,
                            bool isDb2, int chunk) {
    Query q(db_, QStringLiteral("bAct"));
    for (qsizetype start = 0; start < rows.size(); start += chunk) {
        const int count = static_cast<int>(std::min<qsizetype>(chunk, rows.size() - start));
        q.setText(rowsSql(table, count, isDb2));
        q.setString(QStringLiteral("Usr"), applicationUser_);
        q.setDateTime(QStringLiteral("Cas"), clock_.now());
        q.setString(QStringLiteral("Cmp"), workstation_);
        for (int i = 0; i < count; ++i) {
            q.setString(QStringLiteral("M%1").arg(i), rows[start + i].first);
            q.setString(QStringLiteral("T%1").arg(i), rows[start + i].second);
        }
        q.exec();
    }
}

void ActivityLog::attach(EditableTable &table, bool logDeletes) {
    const QString name = table.table().name;
    table.beforePost = [this, name](EditableTable &t) {
        write(name, t.isInserting() ? QStringLiteral("+") : QStringLiteral("^"), rowText(t));
    };
    if (logDeletes)
        table.beforeDelete = [this, name](EditableTable &t) {
            write(name, QStringLiteral("-"), rowText(t));
        };
}
