#include "PassPhraseCoding.h"

#include <gtest/gtest.h>

using PassPhraseCoding::decode;
using PassPhraseCoding::encode;

TEST(PassPhraseCoding, DecodesPairsInEitherCaseAndIgnoresATrailingOddCharacter) {
    EXPECT_EQ(decode("6A616E"), QString("jan"));
    EXPECT_EQ(decode("6a616e"), QString("jan"));
    EXPECT_EQ(decode("6A616E7"), QString("jan"));
    EXPECT_EQ(decode(""), QString(""));
}

TEST(PassPhraseCoding, RefusesAPairThatIsNotHexadecimal) {
    EXPECT_FALSE(decode("6G").has_value());
    EXPECT_FALSE(decode("+1").has_value());
    EXPECT_FALSE(decode(" 1").has_value());
}

TEST(PassPhraseCoding, CodesAreWindows1250Bytes) {
    EXPECT_EQ(encode(QString::fromUtf8("šč")), QString("9AE8"));
    EXPECT_EQ(decode("9AE8"), QString::fromUtf8("šč"));
    const QString phrase = QString::fromUtf8("Geslo z ŽŠČ in 1€!");
    EXPECT_EQ(decode(encode(phrase)), phrase);
}
