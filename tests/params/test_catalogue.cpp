#include "CatalogueEntryOf.h"
#include "params/Catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace kvd;

namespace {

std::set<std::string_view> codesWhere(bool (*pred)(const ParamSpec&)) {
    std::set<std::string_view> codes;
    for (const ParamSpec& s : allSpecs())
        if (pred(s))
            codes.insert(s.code);
    return codes;
}

} // namespace

TEST(Catalogue, GroupsHaveTheirItemCountsAndEnds) {
    const struct {
        int count;
        std::string_view first, last;
    } groups[kGroupCount] = {
        {20, "00-01", "00-20"}, {12, "01-00", "01-11"}, {5, "02-00", "02-04"},
        {17, "03-00", "03-19"}, {16, "04-00", "04-15"}, {25, "05-00", "05-32"},
        {24, "06-00", "06-39"}, {10, "07-00", "07-09"}, {10, "08-00", "08-09"},
        {10, "09-00", "09-09"}, {23, "10-00", "10-22"}, {12, "11-00", "11-11"},
        {6, "12-00", "12-05"},  {10, "13-00", "13-09"}, {31, "F_01", "F_31"},
    };
    for (int g = 0; g < kGroupCount; ++g) {
        const auto specs = groupSpecs(g);
        ASSERT_EQ(specs.size(), static_cast<std::size_t>(groups[g].count)) << "group " << g;
        EXPECT_EQ(specs.front().code, groups[g].first);
        EXPECT_EQ(specs.back().code, groups[g].last);
    }
    EXPECT_TRUE(groupSpecs(-1).empty());
    EXPECT_TRUE(groupSpecs(kGroupCount).empty());
    EXPECT_EQ(groupPrefix(14), "F_");
    EXPECT_EQ(groupPrefix(15), "");
}

// The register of GG-II is GG * 256 + II (F_ counting as 14): the code and the register of every
// entry must agree, and group and index must be the entry's place.
TEST(Catalogue, CodeRegisterGroupAndIndexAgree) {
    for (int g = 0; g < kGroupCount; ++g) {
        const auto specs = groupSpecs(g);
        for (std::size_t i = 0; i < specs.size(); ++i) {
            const ParamSpec& s = specs[i];
            ASSERT_EQ(s.code.size(), g == kBasicGroup ? 4u : 5u) << s.code;
            EXPECT_EQ(s.code.substr(0, 2), groupPrefix(g)) << s.code;
            const int item = std::stoi(std::string(s.code.substr(s.code.size() - 2)));
            EXPECT_EQ(s.reg, g * 256 + item) << s.code;
            EXPECT_EQ(s.group, g) << s.code;
            EXPECT_EQ(s.index, static_cast<int>(i)) << s.code;
            EXPECT_EQ(findSpec(s.code), &s);
            EXPECT_EQ(specByRegister(s.reg), &s);
        }
    }
    EXPECT_EQ(findSpec("03-05"), nullptr); // gaps in the numbering have no entry
    EXPECT_EQ(specByRegister(0x0305), nullptr);
    EXPECT_EQ(specByRegister(0x0E00), nullptr);
}

// The group read sends one request per register block; together the blocks must cover exactly
// the entries the catalogue marks as read.
TEST(Catalogue, GroupReadCoversTheReadBlocks) {
    const struct {
        std::uint16_t start, count;
    } blocks[] = {{0x0001, 20}, {0x0100, 12}, {0x0200, 4},  {0x0204, 1}, {0x0300, 5},  {0x0306, 4},
                  {0x030B, 1},  {0x030D, 7},  {0x0400, 16}, {0x0500, 9}, {0x0511, 16}, {0x0600, 8},
                  {0x0610, 8},  {0x0620, 8},  {0x0700, 9},  {0x0709, 1}, {0x0800, 10}, {0x0900, 10},
                  {0x0A00, 23}, {0x0B00, 12}, {0x0C00, 6},  {0x0D00, 9}, {0x0E01, 30}};
    std::set<std::uint16_t> fromBlocks;
    for (const auto& b : blocks)
        for (std::uint16_t r = b.start; r < b.start + b.count; ++r)
            fromBlocks.insert(r);
    std::set<std::uint16_t> read;
    for (const ParamSpec& s : allSpecs())
        if (isGroupRead(s))
            read.insert(s.reg);
    EXPECT_EQ(read, fromBlocks);
}

TEST(Catalogue, AccessAndTransfers) {
    const std::set<std::string_view> notGroupWritten{
        "00-08", "09-00", "09-01", "09-02", "09-03", "09-04", "09-05", "12-05", "13-00",
        "13-01", "13-02", "13-07", "13-09", "F_18",  "F_29",  "F_30",  "F_31"};
    EXPECT_EQ(codesWhere([](const ParamSpec& s) { return !isGroupWritten(s); }), notGroupWritten);
    EXPECT_EQ(codesWhere([](const ParamSpec& s) { return s.access == Access::PageOnly; }),
              (std::set<std::string_view>{"13-09", "F_18"}));
    EXPECT_EQ(codesWhere([](const ParamSpec& s) { return !isGroupRead(s); }),
              (std::set<std::string_view>{"13-09", "F_31"}));
    EXPECT_EQ(codesWhere(hasClassRange), (std::set<std::string_view>{"01-01", "08-04"}));
    EXPECT_EQ(codesWhere([](const ParamSpec& s) { return s.minVersion > 0; }),
              (std::set<std::string_view>{"02-04", "07-09"}));
}

TEST(Catalogue, OptionPositionsOfListsWithGaps) {
    const struct {
        std::string_view code;
        int value;
        std::optional<int> position;
    } cases[] = {
        {"03-00", 4, 4},   {"03-00", 5, std::nullopt}, {"03-00", 6, 5},
        {"03-00", 18, 17}, {"03-11", 11, 11},          {"03-11", 12, std::nullopt},
        {"03-11", 14, 13}, {"13-08", 1160, 2},         {"13-02", 12, 8},
        {"00-05", 6, 6},   {"00-05", 7, std::nullopt}, {"02-03", 1, std::nullopt}, // no list
    };
    for (const auto& c : cases) {
        const ParamSpec& s = specOf(c.code);
        EXPECT_EQ(optionPosition(s, c.value), c.position) << c.code << " " << c.value;
        if (c.position) {
            EXPECT_EQ(optionValue(s, *c.position), c.value) << c.code;
        }
    }
    EXPECT_EQ(optionCount(specOf("03-00")), 18);
    EXPECT_EQ(optionCount(specOf("03-11")), 14);
    EXPECT_EQ(optionCount(specOf("F_19")), 7);
    EXPECT_EQ(optionValue(specOf("03-00"), 18), std::nullopt);
    EXPECT_EQ(optionValue(specOf("00-05"), -1), std::nullopt);
}
