#include "PassPhraseCoding.h"

#include <gtest/gtest.h>

using PassPhraseCoding::Kodiraj;
using PassPhraseCoding::Odkodiraj;

TEST(PassPhraseCoding, DecodesPairsInEitherCaseAndIgnoresATrailingOddCharacter) {
    EXPECT_EQ(Odkodiraj("6A616E"), QString("jan"));
    EXPECT_EQ(Odkodiraj("6a616e"), QString("jan"));
    EXPECT_EQ(Odkodiraj("6A616E7"), QString("jan"));
    EXPECT_EQ(Odkodiraj(""), QString(""));
}

TEST(PassPhraseCoding, RefusesAPairThatIsNotHexadecimal) {
    EXPECT_FALSE(Odkodiraj("6G").has_value());
    EXPECT_FALSE(Odkodiraj("+1").has_value());
    EXPECT_FALSE(Odkodiraj(" 1").has_value());
}

TEST(PassPhraseCoding, CodesAreWindows1250Bytes) {
    EXPECT_EQ(Kodiraj(QString::fromUtf8("šč")), QString("9AE8"));
    EXPECT_EQ(Odkodiraj("9AE8"), QString::fromUtf8("šč"));
    const QString phrase = QString::fromUtf8("Geslo z ŽŠČ in 1€!");
    EXPECT_EQ(Odkodiraj(Kodiraj(phrase)), phrase);
}
