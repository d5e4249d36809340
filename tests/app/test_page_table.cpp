// The page table against the catalogue, the value conversions of the page controls and the
// input checks of the edit fields. No widgets, no drive.
#include "params/InputCheck.h"
#include "params/PageTable.h"
#include "params/ValueText.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace kvd;

namespace {

// The value an option text stands for: the number before its colon.
std::optional<int> leadingNumber(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    int v = 0;
    for (char c : text.substr(0, colon)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

const PageRow& rowOf(std::string_view code, const PageSpec** pageOut = nullptr,
                     int* rowOut = nullptr) {
    for (const PageSpec& p : allPages())
        for (std::size_t r = 0; r < p.rows.size(); ++r)
            if (p.rows[r].code == code) {
                if (pageOut)
                    *pageOut = &p;
                if (rowOut)
                    *rowOut = static_cast<int>(r);
                return p.rows[r];
            }
    throw std::out_of_range(std::string(code));
}

} // namespace

TEST(PageTable, EveryItemIsOnExactlyOneRowAtItsCataloguePosition) {
    std::map<std::string_view, int> seen;
    for (const PageSpec& p : allPages())
        for (int r = 0; r < static_cast<int>(p.rows.size()); ++r) {
            const ParamSpec& entry = rowSpec(p, r);
            EXPECT_EQ(entry.code, p.rows[static_cast<std::size_t>(r)].code)
                << "page " << p.dialogId << " row " << r;
            EXPECT_EQ(entry.group, p.group);
            EXPECT_EQ(entry.index, p.firstPosition + r);
            ++seen[p.rows[static_cast<std::size_t>(r)].code];
        }
    for (const ParamSpec& s : allSpecs()) {
        const int expected = s.code == "F_31" ? 0 : 1; // kept in the project only
        EXPECT_EQ(seen[s.code], expected) << s.code;
    }
}

TEST(PageTable, PagesTabsAndRowCountsPerGroup) {
    struct Expect {
        int group;
        std::vector<int> dialogs;
        std::vector<int> rows;
    };
    const Expect table[] = {
        {0, {134, 135}, {10, 10}},
        {1, {141, 143}, {10, 2}},
        {2, {173}, {5}},
        {3, {174, 175}, {10, 7}},
        {4, {176, 177}, {10, 6}},
        {5, {262, 264, 265}, {10, 10, 5}},
        {6, {266, 267, 268}, {10, 10, 4}},
        {7, {269}, {10}},
        {8, {270}, {10}},
        {9, {271}, {10}},
        {10, {272, 273, 274}, {10, 10, 3}},
        {11, {275, 276}, {10, 2}},
        {12, {277}, {6}},
        {13, {278}, {10}},
        {14, {5781, 5782, 5783}, {10, 10, 10}},
    };
    int total = 0;
    for (const Expect& e : table) {
        const auto pages = groupPages(e.group);
        ASSERT_EQ(pages.size(), e.dialogs.size()) << "group " << e.group;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].dialogId, e.dialogs[i]);
            EXPECT_EQ(pages[i].rows.size(), static_cast<std::size_t>(e.rows[i]));
            EXPECT_EQ(pages[i].firstPosition, static_cast<int>(10 * i));
            EXPECT_EQ(findPage(e.dialogs[i]), &pages[i]);
            // The first tab points at itself.
            EXPECT_EQ(pages[i].tabText.starts_with("->"), i == 0) << pages[i].tabText;
            ++total;
        }
    }
    EXPECT_EQ(total, 28);
    EXPECT_EQ(allPages().size(), 28u);
    EXPECT_EQ(findPage(133), nullptr);
    EXPECT_EQ(findPage(5783)->tabText, "    F_21 - F_30    ");
    EXPECT_EQ(findPage(278)->tabText, "-> 13-00 - 13-08 ");
}

TEST(PageTable, TabOfAnItemPosition) {
    EXPECT_EQ(pageIndexOfPosition(5, 0), 0);
    EXPECT_EQ(pageIndexOfPosition(5, 9), 0);
    EXPECT_EQ(pageIndexOfPosition(5, 11), 1); // 05-19
    EXPECT_EQ(pageIndexOfPosition(5, 24), 2); // 05-32
    EXPECT_EQ(pageIndexOfPosition(5, 25), -1);
    EXPECT_EQ(pageIndexOfPosition(14, 30), -1); // F_31 has no page
    EXPECT_EQ(pageIndexOfPosition(0, -1), -1);
}

TEST(PageTable, GroupCommandsOfTheMenu) {
    const std::pair<int, int> table[] = {{32774, 0}, {32787, 1},  {32775, 2},
                                         {32776, 3}, {32786, 13}, {32807, 14}};
    for (const auto& [command, group] : table) {
        EXPECT_EQ(groupOfCommand(command), group) << command;
        EXPECT_EQ(groupCommand(group), command);
    }
    EXPECT_EQ(groupOfCommand(32788), std::nullopt); // Read
    EXPECT_EQ(groupOfCommand(32773), std::nullopt);
}

TEST(PageTable, ControlKindFollowsTheParameterFormat) {
    for (const PageSpec& p : allPages())
        for (int r = 0; r < static_cast<int>(p.rows.size()); ++r) {
            const PageRow& row = p.rows[static_cast<std::size_t>(r)];
            const ParamSpec& entry = rowSpec(p, r);
            SCOPED_TRACE(std::string(row.code));
            if (entry.isList) {
                EXPECT_TRUE(row.isList());
                EXPECT_EQ(row.control == RowControl::ResetList,
                          entry.format == ValueFormat::Padded4);
                continue;
            }
            switch (entry.format) {
            case ValueFormat::Tenths:
            case ValueFormat::Hundredths:
            case ValueFormat::Thousandths:
                EXPECT_EQ(row.control, RowControl::DecimalEdit);
                break;
            case ValueFormat::Integer:
            case ValueFormat::Padded5:
                EXPECT_EQ(row.control, RowControl::IntegerEdit);
                break;
            case ValueFormat::Binary5:
                EXPECT_EQ(row.control, RowControl::BinaryDigits);
                break;
            case ValueFormat::Octal5:
                EXPECT_EQ(row.control, RowControl::OctalDigits);
                break;
            default:
                EXPECT_EQ(row.control, RowControl::TextEdit);
            }
            EXPECT_TRUE(row.options.empty());
        }
}

TEST(PageTable, ReadOnlyRowsAreTheCataloguesReadOnlyParameters) {
    std::set<std::string_view> readOnly;
    for (const PageSpec& p : allPages())
        for (const PageRow& row : p.rows)
            if (row.readOnly())
                readOnly.insert(row.code);
    EXPECT_EQ(readOnly, (std::set<std::string_view>{"00-08", "09-00", "09-01", "09-02", "09-03",
                                                    "09-04", "09-05", "12-05", "13-00", "13-01",
                                                    "13-02", "13-07", "F_29", "F_30"}));
    for (std::string_view code : readOnly)
        EXPECT_EQ(findSpec(code)->access, Access::ReadOnly) << code;
    EXPECT_TRUE(rowOf("13-07").masked());
    EXPECT_FALSE(rowOf("13-09").inProject());
}

TEST(PageTable, PagesWithoutRunningCheckAndSomeRefusedRows) {
    std::set<int> unchecked;
    for (const PageSpec& p : allPages())
        if (!p.checksRunning)
            unchecked.insert(p.dialogId);
    EXPECT_EQ(unchecked, (std::set<int>{177, 264, 265, 276}));

    const std::pair<std::string_view, bool> table[] = {
        {"00-01", false}, {"00-02", true},  {"00-11", true},  {"00-14", false}, {"02-02", false},
        {"02-04", true},  {"08-04", false}, {"08-05", true},  {"10-02", false}, {"10-03", true},
        {"10-14", false}, {"12-05", true},  {"12-04", false}, {"13-02", false}, {"13-03", true},
        {"F_01", false},  {"F_03", true},   {"F_13", false},  {"F_26", false},  {"F_30", true},
    };
    for (const auto& [code, refused] : table)
        EXPECT_EQ(rowOf(code).refusedWhileRunning(), refused) << code;
}

TEST(PageTable, OptionTextsNameTheValuesTheirPositionsStandFor) {
    for (const PageSpec& p : allPages())
        for (int r = 0; r < static_cast<int>(p.rows.size()); ++r) {
            const PageRow& row = p.rows[static_cast<std::size_t>(r)];
            if (!row.isList())
                continue;
            const ParamSpec& entry = rowSpec(p, r);
            SCOPED_TRACE(std::string(row.code));
            const bool extraEmpty = row.code == "06-36";
            ASSERT_EQ(static_cast<int>(row.options.size()),
                      optionCount(entry) + (extraEmpty ? 1 : 0));
            if (row.code == "F_19" || row.code == "F_20")
                continue; // their texts carry the terminal functions, their values are positions
            for (int k = 0; k < optionCount(entry); ++k)
                EXPECT_EQ(leadingNumber(row.options[static_cast<std::size_t>(k)]),
                          optionValue(entry, k))
                    << row.options[static_cast<std::size_t>(k)];
        }
    const PageRow& f19 = rowOf("F_19");
    std::vector<int> codes;
    for (std::string_view o : f19.options)
        codes.push_back(*leadingNumber(o));
    EXPECT_EQ(codes, (std::vector<int>{0, 1, 2, 3, 14, 15, 17}));
    EXPECT_EQ(rowOf("06-36").options.back(), "");
    EXPECT_EQ(rowOf("10-11").options[2], "2: Enable-Drive \"STOP\"");
    EXPECT_EQ(rowOf("13-02").options[8], "12: Inverter overload");
}

TEST(PageTable, ListValuesWithGapsAndResetCodes) {
    struct Case {
        const char* code;
        int position;
        std::optional<std::string> text;
    };
    const Case table[] = {
        {"03-00", 4, "4"},           {"03-00", 5, "6"},    {"03-04", 17, "18"}, {"03-11", 11, "11"},
        {"03-11", 12, "13"},         {"03-11", 13, "14"},  {"13-02", 8, "12"},  {"F_19", 6, "6"},
        {"13-08", 0, "0000"},        {"13-08", 2, "1160"}, {"F_25", 1, "1150"}, {"06-36", 2, "2"},
        {"06-36", 3, std::nullopt},  // the empty fourth option stands for no value
        {"00-01", -1, std::nullopt}, // nothing selected
    };
    for (const Case& c : table) {
        SCOPED_TRACE(std::string(c.code) + " position " + std::to_string(c.position));
        const ParamSpec& entry = *findSpec(c.code);
        const PageRow& row = rowOf(c.code);
        EXPECT_EQ(listValueText(entry, row, c.position), c.text);
        if (c.text) {
            EXPECT_EQ(listPosition(entry, row, *c.text), c.position);
        }
    }
    // Shown back: a value the list lacks selects nothing, except on the reset lists.
    EXPECT_EQ(listPosition(*findSpec("03-00"), rowOf("03-00"), "5"), -1);
    EXPECT_EQ(listPosition(*findSpec("03-11"), rowOf("03-11"), "12"), -1);
    EXPECT_EQ(listPosition(*findSpec("00-05"), rowOf("00-05"), "7"), -1);
    EXPECT_EQ(listPosition(*findSpec("13-08"), rowOf("13-08"), "1234"), 0);
    EXPECT_EQ(listPosition(*findSpec("F_25"), rowOf("F_25"), ""), 0);
}

TEST(PageTable, DigitRows) {
    const ParamSpec& s0309 = *findSpec("03-09");
    const ParamSpec& s1200 = *findSpec("12-00");
    EXPECT_EQ(digitPositions(s0309, "01101"), (std::vector<int>{0, 1, 1, 0, 1}));
    EXPECT_EQ(digitPositions(s1200, "05077"), (std::vector<int>{0, 5, 0, 7, 7}));
    EXPECT_EQ(digitPositions(s0309, "01201"), (std::vector<int>{0, 1, -1, 0, 1}));
    EXPECT_EQ(digitPositions(s0309, "20011"), (std::vector<int>{-1, 0, 0, 1, 1}));
    EXPECT_EQ(digitPositions(s0309, "1101"), (std::vector<int>(5, -1)));
    const int digits[] = {0, 1, 1, 0, 1};
    EXPECT_EQ(digitsText(digits), "01101");
    const int unset[] = {0, -1, 1, 0, 1};
    EXPECT_EQ(digitsText(unset), std::nullopt);
    // A group write gets the digit rows as decimal words, everything else as it is.
    EXPECT_EQ(transmitText(s0309, "01101"), "13");
    EXPECT_EQ(transmitText(s1200, "05077"), "2623");
    EXPECT_EQ(transmitText(*findSpec("08-00"), "00110"), "6");
    EXPECT_EQ(transmitText(*findSpec("00-11"), "12.50"), "12.50");
    EXPECT_EQ(transmitText(*findSpec("13-08"), "1150"), "1150");
    // 03-09 names its lists after the inputs; 08-00 fixes its first digit.
    const PageRow& r0309 = rowOf("03-09");
    ASSERT_EQ(r0309.digitLabels.size(), 5u);
    EXPECT_EQ(r0309.digitLabels[0], "S5");
    EXPECT_EQ(r0309.digitLabels[4], "S1");
    EXPECT_TRUE(rowOf("08-00").firstDigitFixed());
    EXPECT_FALSE(rowOf("12-00").firstDigitFixed());
}

TEST(PageTable, RangeTexts) {
    const struct {
        const char* code;
        int model;
        const char* text;
    } table[] = {
        {"00-11", 1205, "0.00~650.00"}, {"00-14", 1205, "0.1~3600.0"},
        {"03-08", 1205, "1~400"},       {"13-07", 1205, "00000~65535"},
        {"12-03", 1205, "0~65535"},     {"01-01", 203, "198.0~256.0"},
        {"01-01", 402, "323.0~528.0"},  {"08-04", 1205, "350.0~390.0"},
        {"08-04", 403, "700.0~780.0"},  {"01-01", 400, "198.0~256.0"},
    };
    for (const auto& c : table)
        EXPECT_EQ(rangeText(*findSpec(c.code), c.model), c.text) << c.code << " " << c.model;
}

TEST(PageTable, WordOfARowWrite) {
    const struct {
        int dialog;
        const char* code;
        const char* text;
        std::optional<std::uint16_t> word;
    } table[] = {
        {135, "00-11", "0.29", 29},
        {135, "00-11", "650.00", 65000},
        {135, "00-11", "650", 65000},
        {135, "00-14", "2.3", 23},
        {141, "01-01", "220.5", 2205},
        {173, "02-03", "1430", 1430},
        {5781, "F_06", "0.29", 29},
        {5781, "F_01", "3600.0", 36000},
        {174, "03-09", "01101", 13},
        {277, "12-00", "05077", 2623},
        {278, "13-08", "1160", 1160},
        {135, "00-11", "", std::nullopt},
        {135, "00-11", "1e3", std::nullopt},
        {173, "02-00", "6553.6", std::nullopt},
        // A decimal beyond the format meets the addend: 0.001 on the numbered groups, 0.00001
        // on the basic group.
        {135, "00-11", "0.299", 30},
        {5781, "F_06", "0.299", 29},
    };
    for (const auto& c : table) {
        const PageSpec& page = *findPage(c.dialog);
        EXPECT_EQ(rowWord(page, *findSpec(c.code), c.text), c.word) << c.code << " " << c.text;
    }
}

TEST(FieldInput, DecimalFieldsWhileTyping) {
    const FieldInput hundredths = FieldInput::forSpec(*findSpec("00-11"), 1205); // 0.00..650.00
    const struct {
        const char* typed;
        std::optional<std::string> kept;
    } table[] = {
        {"", ""},
        {"1", "1"},
        {"12.", "12."},
        {"12.3", "12.3"},
        {"12.34", "12.34"},
        {"12.345", "12.34"},
        {"0.00", "0.00"},
        {"650", "650"},
        {"650.00", "650.00"},
        {"650.01", {}},
        {"651", {}},
        {"a", {}},
        {"1a", {}},
        {".5", {}},
        {"1..2", {}},
        {"1.2.3", {}},
        {"-1", {}},
        {"1,5", {}},
        {" 1", {}},
        {"99999999999999999999", {}},
    };
    for (const auto& c : table)
        EXPECT_EQ(hundredths.accept(c.typed), c.kept) << '"' << c.typed << '"';

    const FieldInput tenths = FieldInput::forSpec(*findSpec("00-19"), 1205); // 0.1..25.5
    EXPECT_EQ(tenths.accept("25.5"), "25.5");
    EXPECT_EQ(tenths.accept("25.55"), "25.5");
    EXPECT_EQ(tenths.accept("25.6"), std::nullopt);
    EXPECT_EQ(tenths.accept("0"), "0"); // below the lower bound: the page check refuses it
}

TEST(FieldInput, ClassDependentUpperBound) {
    const ParamSpec& s0101 = *findSpec("01-01");
    EXPECT_EQ(FieldInput::forSpec(s0101, 203).accept("256.0"), "256.0");
    EXPECT_EQ(FieldInput::forSpec(s0101, 203).accept("256.1"), std::nullopt);
    EXPECT_EQ(FieldInput::forSpec(s0101, 402).accept("528.0"), "528.0");
    // A model of neither class checks no range, but the value must still fit a word.
    EXPECT_EQ(FieldInput::forSpec(s0101, 400).accept("6553.5"), "6553.5");
    EXPECT_EQ(FieldInput::forSpec(s0101, 400).accept("6553.6"), std::nullopt);
}

TEST(FieldInput, IntegerFieldsWhileTyping) {
    const FieldInput field = FieldInput::forSpec(*findSpec("08-01"), 1205); // 50..200
    EXPECT_EQ(field.decimals(), 0);
    const struct {
        const char* typed;
        std::optional<std::string> kept;
    } table[] = {
        {"", ""},    {"1", "1"}, {"15", "15"}, {"150", "150"}, {"200", "200"}, {"201", {}},
        {"1.0", {}}, {"1.", {}}, {"-5", {}},   {"x", {}},      {"2 ", {}},
    };
    for (const auto& c : table)
        EXPECT_EQ(field.accept(c.typed), c.kept) << '"' << c.typed << '"';
    EXPECT_EQ(FieldInput::forSpec(*findSpec("12-03"), 1205).accept("65535"), "65535");
    EXPECT_EQ(FieldInput::forSpec(*findSpec("12-03"), 1205).accept("65536"), std::nullopt);
}
