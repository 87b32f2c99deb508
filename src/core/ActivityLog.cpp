#include "ActivityLog.h"

#include "Clock.h"
#include "EditableTable.h"
#include "NextIdentity.h"
#include "Query.h"

#include <QSysInfo>

ActivityLog::ActivityLog(Database &db, const Clock &clock, const QString &applicationUser)
    : db_(db), clock_(clock), applicationUser_(applicationUser),
      workstation_(QSysInfo::machineHostName()) {}

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
        bAct_->setValue(QStringLiteral("IdAct"),
                        nextIdentity(*qIdSeq_, QStringLiteral("ACT"), QStringLiteral("IdAct")));
        bAct_->post();
    } catch (...) {
        bAct_->cancel();
        throw;
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
