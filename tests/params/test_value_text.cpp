#include "CatalogueEntryOf.h"
#include "params/ValueText.h"

#include <gtest/gtest.h>

using namespace kvd;

TEST(ValueText, WordsAndTextsBothWays) {
    using F = ValueFormat;
    const struct {
        F format;
        std::uint16_t word;
        std::string_view text;
    } cases[] = {
        {F::Integer, 0, "0"},
        {F::Integer, 65535, "65535"},
        {F::Tenths, 23, "2.3"},
        {F::Tenths, 0, "0.0"},
        {F::Tenths, 65535, "6553.5"},
        {F::Hundredths, 29, "0.29"},
        {F::Hundredths, 5, "0.05"},
        {F::Hundredths, 65000, "650.00"},
        {F::Thousandths, 1100, "1.100"},
        {F::Thousandths, 7, "0.007"},
        {F::Padded5, 42, "00042"},
        {F::Padded5, 65535, "65535"},
        {F::Padded4, 0, "0000"},
        {F::Padded4, 1150, "1150"},
        {F::Binary5, 0x000D, "01101"},
        {F::Binary5, 19, "10011"},
        {F::Binary5, 31, "11111"},
        {F::Binary5, 0x00FF, "151111"}, // beyond five digits
        {F::Octal5, 0x0A3F, "05077"},
        {F::Octal5, 32767, "77777"},
        {F::Octal5, 65535, "157777"},
        {F::ModelText, 202, "202"},
        {F::ModelText, 1205, "2P5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatWord(c.format, c.word), c.text) << c.word;
        EXPECT_EQ(parseText(c.format, c.text), c.word) << c.text;
    }
    EXPECT_EQ(formatWord(F::ModelText, 999), "");
}

// Every word survives a trip through its text in every format that has one text per word.
TEST(ValueText, EveryWordRoundTrips) {
    using F = ValueFormat;
    for (F format : {F::Integer, F::Tenths, F::Hundredths, F::Thousandths, F::Padded5, F::Padded4,
                     F::Binary5, F::Octal5}) {
        for (unsigned w = 0; w <= 0xFFFF; ++w) {
            const auto word = static_cast<std::uint16_t>(w);
            ASSERT_EQ(parseText(format, formatWord(format, word)), word)
                << static_cast<int>(format) << " " << w;
        }
    }
}

TEST(ValueText, ParsesTextsExactly) {
    using F = ValueFormat;
    const struct {
        F format;
        std::string_view text;
        std::optional<std::uint16_t> word;
    } cases[] = {
        {F::Hundredths, "1.005", 100}, // extra decimal dropped, not rounded
        {F::Hundredths, "1.009", 100},
        {F::Hundredths, "650", 65000},
        {F::Hundredths, " 0.29 ", 29},
        {F::Hundredths, ".5", 50},
        {F::Hundredths, "5.", 500},
        {F::Hundredths, "655.35", 65535},
        {F::Hundredths, "655.36", std::nullopt}, // does not fit a word
        {F::Hundredths, "-1.00", std::nullopt},
        {F::Hundredths, "abc", std::nullopt},
        {F::Hundredths, "", std::nullopt},
        {F::Hundredths, ".", std::nullopt},
        {F::Tenths, "2.35", 23},
        {F::Hundredths, "4.35", 435}, // 4.35 * 100 is 434.99999... in binary floating point
        {F::Hundredths, "1.13", 113},
        {F::Thousandths, "1.1", 1100},
        {F::Integer, "12abc", 12}, // the integer at the start of the text
        {F::Integer, "12.9", 12},
        {F::Integer, "+7", 7},
        {F::Integer, "70000", std::nullopt},
        {F::Integer, "-1", std::nullopt},
        {F::Integer, "99999999999999999999999", std::nullopt},
        {F::Padded4, "1160", 1160},
        {F::Binary5, "1101", std::nullopt},  // four digits
        {F::Binary5, "00200", std::nullopt}, // not a binary digit
        {F::Binary5, "0110x", std::nullopt},
        {F::Octal5, "00008", std::nullopt},
        {F::Octal5, " 05077", 2623},
        {F::ModelText, "2P2", 1202},
        {F::ModelText, "XYZ", std::nullopt},
        {F::ModelText, "", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseText(c.format, c.text), c.word)
            << static_cast<int>(c.format) << " \"" << c.text << '"';
}

TEST(ValueText, RangeChecks) {
    const struct {
        std::string_view code;
        std::string_view text;
        int model;
        bool ok;
    } cases[] = {
        // Decimal bounds are inclusive with a margin of 0.000001.
        {"00-11", "650", 1205, true},
        {"00-11", "650.00", 1205, true},
        {"00-11", "650.0000009", 1205, true},
        {"00-11", "650.000001", 1205, false},
        {"00-11", "650.01", 1205, false},
        {"00-11", "0", 1205, true},
        {"00-11", "-0.0000009", 1205, true},
        {"00-11", "-0.000001", 1205, false},
        {"00-11", " 5 ", 1205, true},
        {"00-11", "5abc", 1205, false},
        {"00-11", "1e2", 1205, false},
        {"00-11", "", 1205, false},
        {"00-12", "0.01", 1205, true},
        {"00-12", "0.00999", 1205, false},
        {"00-13", "649.99", 1205, true},
        {"00-13", "649.991", 1205, false},
        {"13-01", "65.535", 1205, true},
        // Integer fields need whole numbers.
        {"03-08", "1", 1205, true},
        {"03-08", "400", 1205, true},
        {"03-08", "0", 1205, false},
        {"03-08", "401", 1205, false},
        {"03-08", "5.0", 1205, false},
        {"03-08", "5x", 1205, false},
        {"13-07", "65535", 1205, true},
        {"13-07", "65536", 1205, false},
        // Lists and value sets.
        {"00-05", "6", 1205, true},
        {"00-05", "7", 1205, false},
        {"03-00", "5", 1205, false},
        {"03-00", "18", 1205, true},
        {"03-11", "12", 1205, false},
        {"03-11", "13", 1205, true},
        {"13-02", "12", 1205, true},
        {"13-02", "5", 1205, false},
        {"13-08", "0000", 1205, true},
        {"13-08", "1150", 1205, true},
        {"13-08", "1151", 1205, false},
        // Digit fields.
        {"03-09", "11111", 1205, true},
        {"03-09", "1111", 1205, false},
        {"03-09", "00002", 1205, false},
        {"08-00", "01111", 1205, true},
        {"08-00", "10000", 1205, false},
        {"12-00", "77777", 1205, true},
        {"12-00", "00008", 1205, false},
        {"12-00", "7777", 1205, false},
        {"13-00", "2P5", 1205, true},
        {"13-00", "", 1205, false},
        // Ranges by VoltageClass; model code 400 belongs to no class and is not checked.
        {"01-01", "300.0", 203, false},
        {"01-01", "300.0", 402, false}, // between the two ranges
        {"01-01", "400.0", 402, true},
        {"01-01", "400.0", 203, false},
        {"01-01", "300.0", 400, true},
        {"01-01", "9999", 400, true},
        {"01-01", "abc", 400, false},
        {"01-01", "198.0", 1202, true},
        {"01-01", "197.9", 1202, false},
        {"01-01", "256.0", 203, true},
        {"01-01", "323.0", 1105, false}, // four-digit single-phase codes are low-voltage
        {"01-01", "528.0", 403, true},
        {"01-01", "528.1", 403, false},
        {"08-04", "390.0", 201, true},
        {"08-04", "700.0", 201, false},
        {"08-04", "700.0", 401, true},
        {"08-04", "390.0", 401, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inRange(specOf(c.code), c.text, c.model), c.ok)
            << c.code << " \"" << c.text << "\" model " << c.model;
}

TEST(ValueText, NormalisesToTheFormat) {
    const struct {
        std::string_view code;
        std::string_view text;
        std::optional<std::string> normal;
    } cases[] = {
        {"00-11", "5", "5.00"},         {"00-11", "0.29", "0.29"}, {"00-11", "1.005", "1.00"},
        {"00-14", " 12 ", "12.0"},      {"03-08", "007", "7"},     {"13-08", "0", "0000"},
        {"00-11", "abc", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalizedText(specOf(c.code), c.text), c.normal) << c.code << " " << c.text;
}
