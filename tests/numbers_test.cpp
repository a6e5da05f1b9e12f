#include "numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>

using runetally::FormatNumber;
using runetally::ParseNumber;

namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kTiny = std::numeric_limits<double>::denorm_min();

struct ParseCase {
    const char* text;
    std::optional<double> value; // nothing: the text is not a number
    char separator = '.';
};

// Equal as doubles, and a zero keeps its sign.
void expectSame(std::optional<double> actual, std::optional<double> expected, const char* text) {
    ASSERT_EQ(actual.has_value(), expected.has_value()) << '"' << text << '"';
    if (expected) {
        EXPECT_EQ(*actual, *expected) << '"' << text << '"';
        EXPECT_EQ(std::signbit(*actual), std::signbit(*expected)) << '"' << text << '"';
    }
}

TEST(ParseNumber, AcceptsAndRejectsByTheGrammar) {
    const ParseCase cases[] = {
        // accepted forms
        {"1", 1.0},
        {"  12  ", 12.0},
        {"+7", 7.0},
        {"-7", -7.0},
        {"007", 7.0},
        {"5.", 5.0},
        {".5", 0.5},
        {"+.5e3", 500.0},
        {"1e5", 1e5},
        {"1E5", 1e5},
        {"1e+5", 1e5},
        {"2.5e-3", 2.5e-3},
        {"0.1", 0.1},
        {"-0", -0.0},
        {"-.5", -0.5},
        {"-5.", -5.0},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
        {"0.001e310", 1e307},
        {"1.7976931348623157e308", kMax},
        {"1.7976931348623158e308", kMax}, // rounds down to the largest double
        {"4.9e-324", kTiny},
        {"1e-400", 0.0}, // too small: rounds to zero, not a failure
        {"-1e-400", -0.0},
        {"1e-99999999999999999999", 0.0},
        {"0e99999999999999", 0.0},
        {"1,5", 1.5, ','},
        {" -,25e1 ", -2.5, ','},
        // rejected forms
        {"", std::nullopt},
        {" ", std::nullopt},
        {".", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"e5", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"1.5.2", std::nullopt},
        {"1 2", std::nullopt},
        {"- 1", std::nullopt},
        {"1 e5", std::nullopt},
        {"1e 5", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {"1e--5", std::nullopt},
        {"1e5.5", std::nullopt},
        {"\t1", std::nullopt},
        {"1\t", std::nullopt},
        {"1\n", std::nullopt},
        {"1,5", std::nullopt},      // ',' is no separator where '.' is
        {"1.5", std::nullopt, ','}, // and the other way round
        {"1,000", std::nullopt},
        {"0x10", std::nullopt},
        {"$1", std::nullopt},
        {"1d5", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"Infinity", std::nullopt},
        {"\xef\xbc\x91", std::nullopt}, // a full-width digit one
        {"1e400", std::nullopt},        // beyond the range of a double
        {"-1e400", std::nullopt},
        {"1000e306", std::nullopt},
        {"1.7976931348623159e308", std::nullopt},
        {"1e99999999999999999999", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const auto& c : cases) {
        expectSame(ParseNumber(c.text, c.separator), c.value, c.text);
    }
}

TEST(ParseNumber, ReadsLongDigitRunsWithoutAnExponent) {
    EXPECT_FALSE(ParseNumber("1" + std::string(400, '0')));
    expectSame(ParseNumber("-0." + std::string(400, '0') + "1"), -0.0, "-0.000...1");
    expectSame(ParseNumber(std::string(100000, '0') + "2.5"), 2.5, "000...2.5");
    expectSame(ParseNumber("+." + std::string(330, '0') + "1e400"), 1e69, "+.000...1e400");
}

// Short and long numbers take different ways through the reader; both must round correctly.
TEST(ParseNumber, AgreesWithTheStandardLibraryOnRandomDecimals) {
    std::mt19937_64 random(20261207);
    for (int n = 0; n < 20000; ++n) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const int intDigits = static_cast<int>(random() % 12);
        const int fracDigits = static_cast<int>(random() % 12);
        for (int d = 0; d < intDigits; ++d) {
            text += static_cast<char>('0' + random() % 10);
        }
        text += '.';
        for (int d = 0; d < fracDigits; ++d) {
            text += static_cast<char>('0' + random() % 10);
        }
        if (intDigits + fracDigits == 0) {
            continue;
        }
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        expectSame(ParseNumber(text), expected, text.c_str());
    }
}

TEST(ParseNumber, ReadsANulByteAsOtherText) {
    EXPECT_FALSE(ParseNumber(std::string("1\0", 2)));
}

struct FormatCase {
    double value;
    const char* text;
};

TEST(FormatNumber, PlainBetweenTenThousandthAndTenToTheFifteen) {
    const FormatCase cases[] = {
        {0.0, "0"},
        {-0.0, "0"},
        {10.0, "10"},
        {100.0, "100"},
        {157.5, "157.5"},
        {-157.5, "-157.5"},
        {-0.5, "-0.5"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.0001, "0.0001"},
        {std::nextafter(0.0001, 0.0), "0.0001"}, // rounds up into plain notation
        {9.99999999999999e-5, "9.99999999999999E-05"},
        {999999999999999.0, "999999999999999"},
        {999999999999999.4, "999999999999999"},
        {999999999999999.5, "1E+15"}, // rounds up out of plain notation
        {1e15, "1E+15"},
        {9007199254740992.0, "9.00719925474099E+15"},
        {1.0 / 16384.0, "6.103515625E-05"},
        {1.5e-7, "1.5E-07"},
        {-1.5e-7, "-1.5E-07"},
        {1e100, "1E+100"},
        {1e-100, "1E-100"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {kMax, "1.79769313486232E+308"},
        {kTiny, "4.94065645841247E-324"},
        // exact ties at the sixteenth digit round to even
        {1000000000000005.0, "1E+15"},
        {1000000000000015.0, "1.00000000000002E+15"},
        {1000000000000025.0, "1.00000000000002E+15"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumber(c.value), c.text) << c.value;
    }
}

TEST(FormatNumber, UsesTheGivenSeparator) {
    EXPECT_EQ(FormatNumber(157.5, ','), "157,5");
    EXPECT_EQ(FormatNumber(0.25, ','), "0,25");
    EXPECT_EQ(FormatNumber(1.0 / 16384.0, ','), "6,103515625E-05");
    EXPECT_EQ(FormatNumber(1000.0, ','), "1000");
}

TEST(FormatNumber, RefusesInfinityAndNaN) {
    EXPECT_THROW(FormatNumber(std::numeric_limits<double>::infinity()), std::domain_error);
    EXPECT_THROW(FormatNumber(std::numeric_limits<double>::quiet_NaN()), std::domain_error);
}

TEST(FormatNumber, WhatItWritesReadsBackToTheSameText) {
    // Not the largest doubles: fifteen digits round them up beyond the range.
    const double values[] = {157.5,          1.0 / 3.0, 9.00719925474099e15,
                             6.103515625e-5, -2.5e-300, 1.7976931348623e308,
                             kTiny,          0.0001};
    for (char separator : {'.', ','}) {
        for (double v : values) {
            const std::string text = FormatNumber(v, separator);
            const auto back = ParseNumber(text, separator);
            ASSERT_TRUE(back) << text;
            EXPECT_EQ(FormatNumber(*back, separator), text);
        }
    }
}

} // namespace
