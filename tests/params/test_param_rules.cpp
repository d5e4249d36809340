#include "CatalogueEntryOf.h"
#include "params/ModelTable.h"
#include "params/ParamGroup.h"
#include "params/ParamRules.h"
#include "params/ValueText.h"

#include <gtest/gtest.h>

using namespace kvd;

namespace {

// A project skeleton: every catalogue item with its code as label and "old" as its values.
std::vector<ParamGroup> skeleton() {
    std::vector<ParamGroup> groups(kGroupCount);
    for (const ParamSpec& s : allSpecs())
        groups[static_cast<std::size_t>(s.group)].items.push_back(
            {std::string(s.code) + " text", "old", "old", "", "", false});
    return groups;
}

ParamItem& itemIn(std::vector<ParamGroup>& groups, std::string_view code) {
    const ParamSpec& s = specOf(code);
    return groups[static_cast<std::size_t>(s.group)].items[static_cast<std::size_t>(s.index)];
}

} // namespace

TEST(DriveVersion, ScaleFollowsTheWord) {
    const struct {
        std::uint16_t word;
        double version;
    } cases[] = {{1100, 1.1}, {1000, 1.0}, {999, 9.99}, {100, 1.0},
                 {110, 1.1},  {99, 9.9},   {11, 1.1},   {4, 0.4}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(driveVersion(c.word), c.version) << c.word;
}

TEST(DriveVersion, ParametersOfNewerDrives) {
    const struct {
        std::string_view code;
        std::uint16_t word;
        bool exists;
    } cases[] = {
        {"02-04", 1100, true},  {"02-04", 110, true},  {"02-04", 11, true},
        {"02-04", 1099, false}, {"02-04", 10, false},  {"07-09", 4, true},
        {"07-09", 3, false},    {"07-09", 1000, true}, {"02-03", 0, true},
    };
    for (const auto& c : cases) {
        const ParamSpec& s = specOf(c.code);
        EXPECT_EQ(existsOnDrive(s, driveVersion(c.word)), c.exists) << c.code << " " << c.word;
        EXPECT_EQ(checkVersion(s, driveVersion(c.word)),
                  c.exists ? RuleViolation::None : RuleViolation::NotOnThisVersion);
    }
}

TEST(ParamRules, PairsThatMustDiffer) {
    EXPECT_EQ(distinctPartner(specOf("00-05")), &specOf("00-06"));
    EXPECT_EQ(distinctPartner(specOf("10-01")), &specOf("10-00"));
    EXPECT_EQ(distinctPartner(specOf("00-07")), nullptr);

    const struct {
        std::string_view code, value, partner;
        RuleViolation result;
    } texts[] = {
        {"00-05", "2", "2", RuleViolation::Equal0005And0006},
        {"00-06", "2", " 2", RuleViolation::Equal0005And0006}, // same value, other spelling
        {"00-05", "2", "3", RuleViolation::None},
        {"10-00", "1", "1", RuleViolation::Equal1000And1001},
        {"10-01", "0", "4", RuleViolation::None},
        {"00-07", "1", "1", RuleViolation::None},
    };
    for (const auto& c : texts)
        EXPECT_EQ(checkDistinct(specOf(c.code), c.value, c.partner), c.result) << c.code;

    EXPECT_EQ(checkDistinct(specOf("00-05"), "2", std::uint16_t{2}),
              RuleViolation::Equal0005And0006);
    EXPECT_EQ(checkDistinct(specOf("00-05"), "2", std::uint16_t{3}), RuleViolation::None);
    EXPECT_EQ(checkDistinct(specOf("10-00"), "4", std::uint16_t{4}),
              RuleViolation::Equal1000And1001);
}

TEST(ParamRules, NoLoadCurrentStaysBelowRatedCurrent) {
    EXPECT_EQ(motorCurrentPartner(specOf("02-00")), &specOf("02-01"));
    EXPECT_EQ(motorCurrentPartner(specOf("02-01")), &specOf("02-00"));
    const struct {
        std::string_view code, value;
        std::uint16_t driveWord; // the partner's current word on the drive
        RuleViolation result;
    } cases[] = {
        {"02-00", "2.4", 25, RuleViolation::None},
        {"02-00", "2.5", 25, RuleViolation::MotorCurrentOrder},
        {"02-00", "3", 25, RuleViolation::MotorCurrentOrder},
        {"02-01", "2.5", 25, RuleViolation::None},
        {"02-01", "2.4", 25, RuleViolation::MotorCurrentOrder},
        {"02-01", "abc", 0, RuleViolation::MotorCurrentOrder},
        {"02-02", "0.0", 65535, RuleViolation::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkMotorCurrents(specOf(c.code), c.value, c.driveWord), c.result)
            << c.code << " " << c.value;
}

TEST(ParamRules, KeypadDirectionFollowsRunSource) {
    EXPECT_EQ(checkRunSource(specOf("00-01"), 0), RuleViolation::None);
    EXPECT_EQ(checkRunSource(specOf("00-01"), 1), RuleViolation::ReadOnly);
    EXPECT_EQ(checkRunSource(specOf("00-02"), 2), RuleViolation::None);
    EXPECT_EQ(runSourceAfterWrite(specOf("00-02"), "2"), 2);
    EXPECT_EQ(runSourceAfterWrite(specOf("00-03"), "2"), std::nullopt);
}

TEST(RegionDefaults, ValuesFitTheirParameters) {
    for (const RegionDefault& d : RegionDefaults) {
        const ParamSpec& s = specOf(d.code);
        for (std::string_view v : {d.hz50, d.hz60}) {
            EXPECT_TRUE(inRange(s, v, kDefaultModelCode)) << d.code << " " << v;
            EXPECT_EQ(normalizedText(s, v), std::string(v)) << d.code;
        }
    }
}

TEST(RegionDefaults, SetFactoryAndEditValuesAndModelText) {
    const struct {
        int region;
        int model;
        std::string_view code, value;
    } cases[] = {
        {1, 203, "00-11", "60.00"}, {1, 203, "01-00", "4"},     {1, 203, "02-03", "1680"},
        {1, 203, "13-00", "203"},   {0, 1205, "01-08", "0.50"}, {0, 1205, "12-03", "1500"},
        {0, 1205, "13-00", "2P5"},  {0, 999, "13-00", ""},      {0, 999, "00-10", "old"},
    };
    for (const auto& c : cases) {
        auto groups = skeleton();
        applyRegionDefaults(groups, c.region, c.model);
        EXPECT_EQ(itemIn(groups, c.code).factoryValue, c.value) << c.code;
        EXPECT_EQ(itemIn(groups, c.code).editValue, c.value) << c.code;
    }
    std::vector<ParamGroup> none;
    applyRegionDefaults(none, 0, 203); // no groups loaded: nothing to set, nothing to break
}

TEST(InitialValues, TakeTheModelColumn) {
    std::vector<InitialValueRow> rows;
    for (std::string_view code : InitialValueCodes) {
        InitialValueRow row{std::string(code), {}};
        for (const ModelRow& m : ModelTable)
            row.values.push_back(std::string(code) + "/" + std::string(m.shortText));
        rows.push_back(row);
    }
    rows[3].values.resize(7); // 02-04 lacks the columns from 203 on

    auto groups = skeleton();
    applyInitialValues(groups, rows, 203, true);
    EXPECT_EQ(itemIn(groups, "01-01").factoryValue, "01-01/203");
    EXPECT_EQ(itemIn(groups, "01-01").editValue, "01-01/203");
    EXPECT_EQ(itemIn(groups, "F_18").editValue, "F_18/203");
    EXPECT_EQ(itemIn(groups, "02-04").factoryValue, "old"); // short row: left alone

    groups = skeleton();
    applyInitialValues(groups, rows, 1102, false); // an opened project keeps its edit values
    EXPECT_EQ(itemIn(groups, "08-04").factoryValue, "08-04/1P2");
    EXPECT_EQ(itemIn(groups, "08-04").editValue, "old");

    groups = skeleton();
    applyInitialValues(groups, rows, 999, true);
    EXPECT_EQ(itemIn(groups, "02-00").factoryValue, "");
    EXPECT_EQ(itemIn(groups, "02-00").editValue, "");
}
