#include "json/NumberText.h"
#include "json/Exceptions.h"
#include "json/Integer.h"

#include <gtest/gtest.h>

#include <optional>

using namespace json;

namespace {

struct IntCase {
    const char *text;
    std::optional<int> expected; // nullopt: the conversion fails
};

class StandardIntegerConversion : public testing::TestWithParam<IntCase> {};

TEST_P(StandardIntegerConversion, ConvertsOrFails) {
    const IntCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    int result = 12345;
    EXPECT_EQ(NumberText::tryToInt(text, result), c.expected.has_value());
    if (c.expected) {
        EXPECT_EQ(result, *c.expected);
        EXPECT_EQ(Integer(text).intValue(), *c.expected);
    } else {
        EXPECT_THROW(Integer{text}, ConvertError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StandardIntegerConversion,
    testing::Values(IntCase{"12", 12}, IntCase{"   -7", -7}, IntCase{"+5", 5}, IntCase{"007", 7},
                    IntCase{"-2147483648", INT32_MIN}, IntCase{"2147483647", INT32_MAX}, IntCase{"$FF", 255},
                    IntCase{"x1F", 31}, IntCase{"X1f", 31}, IntCase{"0x10", 16}, IntCase{"-0x10", -16},
                    IntCase{"0xFFFFFFFF", -1}, IntCase{"$000000001", 1}, IntCase{"", std::nullopt},
                    IntCase{" ", std::nullopt}, IntCase{"2147483648", std::nullopt},
                    IntCase{"-2147483649", std::nullopt}, IntCase{"12 ", std::nullopt},
                    IntCase{"\t12", std::nullopt}, IntCase{"1.5", std::nullopt}, IntCase{"0x", std::nullopt},
                    IntCase{"0x123456789", std::nullopt}, IntCase{"abc", std::nullopt},
                    IntCase{"-", std::nullopt}, IntCase{"99999999999999999999", std::nullopt}));

struct DoubleCase {
    const char *text;
    std::optional<double> expected;
};

class DecimalPointConversion : public testing::TestWithParam<DoubleCase> {};

TEST_P(DecimalPointConversion, ConvertsOrFails) {
    const DoubleCase &c = GetParam();
    double result = 0;
    EXPECT_EQ(NumberText::tryToDouble(QString::fromUtf8(c.text), result), c.expected.has_value());
    if (c.expected)
        EXPECT_DOUBLE_EQ(result, *c.expected);
    else
        EXPECT_THROW(NumberText::toDouble(QString::fromUtf8(c.text)), ConvertError);
}

INSTANTIATE_TEST_SUITE_P(Texts, DecimalPointConversion,
                         testing::Values(DoubleCase{"1.5", 1.5}, DoubleCase{"-2.5e3", -2500},
                                         DoubleCase{".5", 0.5}, DoubleCase{"5.", 5}, DoubleCase{"1E+2", 100},
                                         DoubleCase{"+3.25", 3.25}, DoubleCase{" 2 ", 2},
                                         DoubleCase{"1e-400", 0}, DoubleCase{"2147483648", 2147483648.0},
                                         DoubleCase{"1,5", std::nullopt}, DoubleCase{"abc", std::nullopt},
                                         DoubleCase{"inf", std::nullopt}, DoubleCase{"NaN", std::nullopt},
                                         DoubleCase{"0x10", std::nullopt}, DoubleCase{"1e", std::nullopt},
                                         DoubleCase{"1.2.3", std::nullopt}, DoubleCase{"", std::nullopt},
                                         DoubleCase{".", std::nullopt}, DoubleCase{"1e400", std::nullopt}));

TEST(HexadecimalRoutine, KeepsTheLastEightDigitsWithWrapAround) {
    EXPECT_EQ(Integer::parseInt(QStringLiteral("FFFFFFFF"), 16), -1);
    EXPECT_EQ(Integer::parseInt(QStringLiteral("$ff"), 16), 255);
    EXPECT_EQ(Integer::parseInt(QStringLiteral("0x1f"), 16), 31);
    EXPECT_EQ(Integer::parseInt(QStringLiteral("123456789"), 16), 0x23456789);
    EXPECT_EQ(Integer::parseInt(QStringLiteral("80000000"), 16), INT32_MIN);
    EXPECT_EQ(Integer::parseInt(QString(), 16), 0);
    EXPECT_THROW(Integer::parseInt(QStringLiteral("1G"), 16), ConvertError);
}

TEST(IntegerParse, RadixEightKnowsOnlyZero) {
    EXPECT_EQ(Integer::parseInt(QStringLiteral("0"), 8), 0);
    try {
        Integer::parseInt(QStringLiteral("7"), 8);
        FAIL() << "radix 8 accepted 7";
    } catch (const NotImplmentedFeature &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Rotina Não Implementada"));
    }
    EXPECT_EQ(Integer::parseInt(QStringLiteral("-42"), 10), -42);
}

TEST(IntegerHexString, AtLeastTwoUpperCaseDigits) {
    EXPECT_EQ(Integer::toHexString(QChar(31)), QStringLiteral("1F"));
    EXPECT_EQ(Integer::toHexString(QChar(8364)), QStringLiteral("20AC"));
    EXPECT_EQ(Integer::toHexString(QChar(1)), QStringLiteral("01"));
}

} // namespace
