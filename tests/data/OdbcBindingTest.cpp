#include "Database.h"
#include "OdbcDataSource.h"
#include "Query.h"

#include <functional>
#include <gtest/gtest.h>

namespace {
// Every kind of value the program binds goes to an ODBC host and comes back as it was sent.
struct BindingCase {
    const char *name;
    const char *columnType;
    ParamValue value;
    std::function<void(const Query &)> expect;
};

class OdbcBinding : public ::testing::TestWithParam<BindingCase> {};

TEST_P(OdbcBinding, AValueComesBackAsItWasBound) {
    OdbcDataSource source;
    ASSERT_TRUE(source.available) << "the SQLite ODBC driver is not installed";
    Database db("RAPOTEST", "vek", "geslo", source.dir.path());
    ASSERT_FALSE(db.isEmbedded());
    db.execDirect(QStringLiteral("CREATE TABLE VREDNOSTI (K INTEGER, V ") + GetParam().columnType +
                  u')');

    Query insert(db);
    insert.setText("INSERT INTO VREDNOSTI (K, V) VALUES (:K, :V)");
    insert.setInteger("K", 1);
    insert.setParam("V", GetParam().value);
    EXPECT_EQ(insert.exec(), 1);

    Query read(db);
    read.setText("SELECT V FROM VREDNOSTI WHERE K = :K");
    read.setInteger("K", 1);
    read.open();
    ASSERT_FALSE(read.eof());
    GetParam().expect(read);
}

const QDateTime stamp(QDate(2014, 3, 28), QTime(9, 5, 7));

INSTANTIATE_TEST_SUITE_P(
    Kinds, OdbcBinding,
    ::testing::Values(
        BindingCase{"date", "DATE", ParamValue::date(QDate(2014, 3, 28)),
                    [](const Query &q) {
                        EXPECT_EQ(q.asDateTime("V"), QDateTime(QDate(2014, 3, 28), QTime(0, 0)));
                    }},
        BindingCase{"dateTimeWithSeconds", "TIMESTAMP", ParamValue::dateTime(stamp),
                    [](const Query &q) { EXPECT_EQ(q.asDateTime("V"), stamp); }},
        BindingCase{"wholeBeyond32Bits", "BIGINT", ParamValue::integer(12345678901234),
                    [](const Query &q) { EXPECT_EQ(q.asInteger("V"), 12345678901234); }},
        BindingCase{"decimal", "NUMERIC(18,6)", ParamValue::number(1234.5678),
                    [](const Query &q) { EXPECT_DOUBLE_EQ(q.asFloat("V"), 1234.5678); }},
        BindingCase{"smallDecimal", "NUMERIC(18,6)", ParamValue::number(0.000001),
                    [](const Query &q) { EXPECT_DOUBLE_EQ(q.asFloat("V"), 0.000001); }},
        BindingCase{"slovenianText", "VARCHAR(40)",
                    ParamValue::text(QString::fromUtf8("Čuk in škrjanček žgoli: čšžČŠŽ")),
                    [](const Query &q) {
                        EXPECT_EQ(q.asString("V"),
                                  QString::fromUtf8("Čuk in škrjanček žgoli: čšžČŠŽ"));
                    }},
        BindingCase{"emptyTextIsNull", "VARCHAR(40)", ParamValue::text(QString()),
                    [](const Query &q) { EXPECT_TRUE(q.isNull("V")); }},
        BindingCase{"null", "VARCHAR(40)", ParamValue::null(),
                    [](const Query &q) {
                        EXPECT_TRUE(q.isNull("V"));
                        EXPECT_EQ(q.asString("V"), QString());
                    }}),
    [](const auto &info) { return std::string(info.param.name); });
} // namespace
