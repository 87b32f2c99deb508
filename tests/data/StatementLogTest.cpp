#include "StatementLog.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct ValueCase {
    const char *name;
    ParamValue value;
    const char *text;
};

class StatementLogValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(StatementLogValue, IsWrittenOnOneCommentLine) {
    EXPECT_EQ(StatementLog::valueText(GetParam().value), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StatementLogValue,
    ::testing::Values(
        ValueCase{"date", ParamValue::date(QDate(2014, 3, 28)), "28.03.2014"},
        ValueCase{"dateTime",
                  ParamValue::dateTime(QDateTime(QDate(2014, 3, 28), QTime(9, 5, 7, 12))),
                  "28.03.2014 09:05:07.012"},
        ValueCase{"whole", ParamValue::integer(12345678901234), "12345678901234"},
        ValueCase{"fraction", ParamValue::number(0.000001), "1e-06"},
        ValueCase{"text", ParamValue::text(QStringLiteral("Čač d'o\nx")), "'Čač d''o\\nx'"},
        ValueCase{"emptyTextIsNull", ParamValue::text(QString()), "NULL"},
        ValueCase{"null", ParamValue::null(), "NULL"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StatementLog, AppendsEachStatementWithItsValuesAndASlash) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sql.log"));
    {
        StatementLog log(path);
        log.sent(QStringLiteral(" SELECT IDIMP FROM DPATVPIMP \n\n WHERE Datum >= :Datum "),
                 {{QStringLiteral("Datum"), ParamValue::date(QDate(2014, 3, 28))}});
        log.sent(QStringLiteral("COMMIT"));
        EXPECT_EQ(log.traffic().statements, 2);
    }
    StatementLog(path).sent(QStringLiteral("ROLLBACK"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              QStringLiteral(" SELECT IDIMP FROM DPATVPIMP \n WHERE Datum >= :Datum \n"
                             "-- :Datum = 28.03.2014\n/\nCOMMIT\n/\nROLLBACK\n/\n"));
}
} // namespace
