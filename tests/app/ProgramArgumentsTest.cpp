#include "ProgramArguments.h"
#include "DataModule.h"

#include <gtest/gtest.h>

namespace {
struct ArgumentCase {
    const char *name;
    QStringList arguments;
    QString alias, user, password, applicationUser;
    bool hasArguments;
    friend void PrintTo(const ArgumentCase &c, std::ostream *os) { *os << c.name; }
};

class ArgumentRules : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentRules, TakesConnectionAndUserByCount) {
    const ArgumentCase &c = GetParam();
    const ProgramArguments a = ProgramArguments::parse(c.arguments);
    EXPECT_EQ(a.alias, c.alias);
    EXPECT_EQ(a.user, c.user);
    EXPECT_EQ(a.password, c.password);
    EXPECT_EQ(a.applicationUser, c.applicationUser);
    EXPECT_EQ(a.hasArguments(), c.hasArguments);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ArgumentRules,
    ::testing::Values(
        ArgumentCase{"none", {}, "", "", "", "", false},
        ArgumentCase{"one", {"LB"}, "", "", "", "", true},
        ArgumentCase{"two", {"LB", "vek"}, "", "", "", "", true},
        ArgumentCase{"three", {"LB", "vek", "geslo"}, "LB", "vek", "geslo", "", true},
        ArgumentCase{"four", {"LB", "vek", "geslo", "MARKO"}, "LB", "vek", "geslo", "MARKO", true},
        ArgumentCase{"five", {"LB", "vek", "geslo", "MARKO", "X"}, "LB", "vek", "geslo", "", true},
        ArgumentCase{"optionsDoNotCount",
                     {"--create-db", "DEMO", "LB", "vek", "geslo", "--verbose", "MARKO"},
                     "LB",
                     "vek",
                     "geslo",
                     "MARKO",
                     true},
        ArgumentCase{"onlyOptions", {"--create-db", "DEMO"}, "", "", "", "", false},
        ArgumentCase{"aLoneDashDashEndsTheOptions",
                     {"LB", "vek", "--report", "01.04.2014", "01.04.2014", "--", "--geslo", "X"},
                     "LB",
                     "vek",
                     "--geslo",
                     "X",
                     true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ArgumentRules, OptionTakesItsValue) {
    const ProgramArguments a = ProgramArguments::parse({"--create-demo", "demo"});
    ASSERT_TRUE(a.hasOption("--create-demo"));
    EXPECT_EQ(a.options.value("--create-demo"), QStringList{"demo"});
    EXPECT_TRUE(a.positional.isEmpty());
}

TEST(DataModule, NamesTheConnectionByTheUpperCasedAlias) {
    DataModule dm(ProgramArguments::parse({"lb", "vek", "geslo"}).login(), "/tmp/");
    EXPECT_EQ(dm.alias(), "lb");
    EXPECT_EQ(dm.connectionName(), "LB");
    EXPECT_EQ(dm.connectionParameters(), (QStringList{"USER NAME=vek", "PASSWORD=geslo"}));
    EXPECT_TRUE(dm.applicationUser().isEmpty());
    EXPECT_EQ(dm.dbMain().connectionName(), "LB");
    EXPECT_FALSE(dm.dbMain().isOpen()) << "the connection opens with the first access";
}
} // namespace
