#include "TimeZone.h"
#include "RapoError.h"

#include <gtest/gtest.h>

namespace {
struct ZoneCase {
    const char *name;
    const char *base;
    const char *venue;
    QDateTime moment;
    const char *expected;
    friend void PrintTo(const ZoneCase &c, std::ostream *os) { *os << c.name; }
};

class VenueOffset : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(VenueOffset, FollowsTheSummerTimeRule) {
    const ZoneCase &c = GetParam();
    EXPECT_EQ(TimeZone::venueOffset(c.base, c.venue, c.moment, {"12", "Xw"}), QString(c.expected));
}

QDateTime at(int y, int m, int d, int h, int min, int s) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, VenueOffset,
    ::testing::Values(
        ZoneCase{"July", "+01", "8", at(2014, 7, 1, 12, 0, 0), "+02"},
        ZoneCase{"January", "+01", "8", at(2014, 1, 15, 12, 0, 0), "+01"},
        ZoneCase{"MarchSwitchExactly", "+01", "8", at(2014, 3, 30, 2, 0, 0), "+01"},
        ZoneCase{"MarchSwitchPlusOneSecond", "+01", "8", at(2014, 3, 30, 2, 0, 1), "+02"},
        ZoneCase{"OctoberBeforeSwitch", "+01", "8", at(2014, 10, 26, 1, 59, 59), "+02"},
        ZoneCase{"OctoberSwitch", "+01", "8", at(2014, 10, 26, 2, 0, 0), "+01"},
        ZoneCase{"NewYorkSummer", "-05", "30", at(2014, 7, 1, 12, 0, 0), "-04"},
        ZoneCase{"MinusOneSummer", "-01", "30", at(2014, 7, 1, 12, 0, 0), "+00"},
        ZoneCase{"UnpaddedWinterUnchanged", "1", "8", at(2014, 12, 1, 12, 0, 0), "1"},
        ZoneCase{"UnpaddedSummerFormatted", "1", "8", at(2014, 6, 1, 12, 0, 0), "+02"},
        ZoneCase{"FixedVenue", "+09", "12", at(2014, 7, 1, 12, 0, 0), "+09"},
        ZoneCase{"FixedVenueIgnoresCase", "abc", "XW", at(2014, 7, 1, 12, 0, 0), "abc"},
        ZoneCase{"March2015", "+01", "8", at(2015, 3, 29, 2, 0, 1), "+02"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TimeZone, ABaseThatIsNotANumberFailsOnlyInSummer) {
    const QDateTime summer(QDate(2014, 7, 1), QTime(12, 0));
    EXPECT_THROW(TimeZone::venueOffset("CET", "8", summer, {}), RapoError);
    EXPECT_EQ(TimeZone::venueOffset("CET", "8", summer.addMonths(6), {}), "CET");
}

TEST(TimeZone, LastSundays) {
    EXPECT_EQ(TimeZone::lastSunday(2014, 3), QDate(2014, 3, 30));
    EXPECT_EQ(TimeZone::lastSunday(2014, 10), QDate(2014, 10, 26));
    EXPECT_EQ(TimeZone::lastSunday(2016, 3), QDate(2016, 3, 27));
    EXPECT_EQ(TimeZone::lastSunday(2026, 10), QDate(2026, 10, 25));
}
} // namespace
