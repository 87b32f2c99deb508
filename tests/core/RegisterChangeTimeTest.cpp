#include "RegisterChangeTime.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {
// A register write takes the later of now and one second after the ISIN's latest change, so
// the entries of an ISIN stay ordered and distinct to the second without waiting.
TEST(RegisterChangeTime, IsNowOrOneSecondAfterTheLatestChange) {
    const QDate day(2014, 4, 2);
    const auto at = [&](int h, int m, int s, int ms = 0) {
        return QDateTime(day, QTime(h, m, s, ms));
    };
    struct Case {
        const char *what;
        QDateTime now;
        QDateTime latest;
        QDateTime expected;
    };
    const Case cases[] = {
        {"no entry yet", at(9, 0, 0), QDateTime(), at(9, 0, 0)},
        {"latest an earlier second", at(9, 0, 0, 300), at(8, 59, 59, 900), at(9, 0, 0, 300)},
        {"latest the same second", at(9, 0, 0, 300), at(9, 0, 0), at(9, 0, 1)},
        {"latest later in the same second", at(9, 0, 0), at(9, 0, 0, 700), at(9, 0, 1)},
        {"latest ahead of the clock", at(9, 0, 0), at(9, 0, 5, 200), at(9, 0, 6)},
        {"exactly one second after", at(9, 0, 1), at(9, 0, 0), at(9, 0, 1)},
        {"over midnight", QDateTime(day, QTime(0, 0)), at(23, 59, 59).addDays(-1),
         QDateTime(day, QTime(0, 0))},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RegisterChangeTime::after(c.now, c.latest).toString(Qt::ISODateWithMs),
                  c.expected.toString(Qt::ISODateWithMs))
            << c.what;
}
} // namespace
