#include "VersionAgent.h"

#include <gtest/gtest.h>

TEST(VersionAgent, CarriesTheBuildsFileAndProductVersion) {
    const VersionAgent agent;
    EXPECT_EQ(agent.FileVersion, QStringLiteral("4.0.1.0"));
    EXPECT_EQ(agent.ProductVersion, QStringLiteral("3.9"));
    EXPECT_EQ(agent.major, 4);
    EXPECT_EQ(agent.minor, 0);
    EXPECT_EQ(agent.release, 1);
    EXPECT_EQ(agent.build, 0);
    EXPECT_TRUE(agent.CompanyName.isEmpty());
}
