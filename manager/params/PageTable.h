// The group edit pages as data: for each of the 28 pages its dialog id, its group, the tab
// text and its rows, each row naming its parameter, the kind of control, the option texts of a
// list and the row's own rules. One page class builds every page from this table; no Qt here,
// so the table and the value conversions of the pages are tested without widgets.
#pragma once

#include "Catalogue.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvd {

enum class RowControl {
    List,         // one drop-down list; the value is the option's value (gapped lists mapped)
    ResetList,    // 13-08, F_25: "0000", "1150", "1160"
    DecimalEdit,  // number with the format's decimals
    IntegerEdit,  // whole number
    TextEdit,     // a text that is no number (the model's short text); always read-only
    BinaryDigits, // five lists "0"/"1" (03-09; 08-00 with the first one fixed to "0")
    OctalDigits,  // five lists "0" to "7" (12-00)
};

// Row flags.
namespace rowflag {
constexpr unsigned ReadOnly = 1;         // control disabled; the row button answers 61483
constexpr unsigned Refused = 2;          // a running drive refuses the row (61571)
constexpr unsigned Masked = 4;           // the field shows its text masked (the password)
constexpr unsigned NotInProject = 8;     // neither loaded from nor stored into the project
constexpr unsigned NoRange = 16;         // no range text beside the field
constexpr unsigned FirstDigitFixed = 32; // the first digit list offers "0" only
} // namespace rowflag

struct PageRow {
    std::string_view code;
    RowControl control;
    std::span<const std::string_view> options; // lists: the texts in position order
    unsigned flags = 0;
    std::span<const std::string_view> digitLabels; // captions over the digit lists, if any

    bool readOnly() const { return flags & rowflag::ReadOnly; }
    bool refusedWhileRunning() const { return flags & rowflag::Refused; }
    bool masked() const { return flags & rowflag::Masked; }
    bool inProject() const { return !(flags & rowflag::NotInProject); }
    bool firstDigitFixed() const { return flags & rowflag::FirstDigitFixed; }
    bool isList() const { return control == RowControl::List || control == RowControl::ResetList; }
    bool isEdit() const {
        return control == RowControl::DecimalEdit || control == RowControl::IntegerEdit ||
               control == RowControl::TextEdit;
    }
    bool isDigits() const {
        return control == RowControl::BinaryDigits || control == RowControl::OctalDigits;
    }
};

constexpr int kRowsPerPage = 10;
constexpr int kDigitCount = 5;

struct PageSpec {
    int dialogId;
    int group;
    int firstPosition; // item position of the first row; row k shows firstPosition + k
    std::string_view tabText;
    std::span<const PageRow> rows;
    bool checksRunning;  // false: the page writes rows without asking the running bit
    bool readsRunSource; // reads 00-02 into cachedRunSource before every row write
    bool readsVersion;   // reads 13-01 into driveVersion before every row write
    // Added to a decimal value, in millionths, before it is scaled and its fraction dropped.
    int addendMicros;
};

// All pages, group by group in tab order.
std::span<const PageSpec> allPages();
// The pages of a group in tab order; empty for an unknown group.
std::span<const PageSpec> groupPages(int group);
const PageSpec* findPage(int dialogId);
// The tab (index into groupPages) that holds the item position; -1 when no page shows it.
int pageIndexOfPosition(int group, int position);

// The catalogue entry of a row.
const ParamSpec& rowSpec(const PageSpec& page, int row);

// The group menu commands: 32774 ... 32787, 32807.
int groupCommand(int group);
std::optional<int> groupOfCommand(int command);

// "lower~upper" in the parameter's format ("0.00~650.00", "00000~65535"); for the ranges that
// depend on the VoltageClass the one of `modelCode` (low-voltage when the class is neither).
std::string rangeText(const ParamSpec& entry, int modelCode);

// Lists: the value text of the option at `position`; empty when the option stands for no value
// of the parameter (the empty option of 06-36, no selection).
std::optional<std::string> listValueText(const ParamSpec& entry, const PageRow& row, int position);
// Lists: the option that shows a value text; -1 when none does. The reset lists show the first
// option for any text other than "1150" and "1160".
int listPosition(const ParamSpec& entry, const PageRow& row, std::string_view text);

// Digit rows: the digits of a Binary5 or Octal5 text, left to right; -1 for a place that holds
// no digit of the base (or all of them when the text is not five characters).
std::vector<int> digitPositions(const ParamSpec& entry, std::string_view text);
// The text of the digit lists' positions; empty when one of them holds no digit.
std::optional<std::string> digitsText(std::span<const int> positions);

// The word a row button sends for a value text: integers as they are; Tenths and Hundredths as
// (value + addend) x 10 or x 100 with the fraction dropped; digit rows as in the catalogue.
std::optional<std::uint16_t> rowWord(const PageSpec& page, const ParamSpec& entry,
                                     std::string_view text);

// The text of a row in the group's value list for a group write: the value text, except that
// digit rows give their word in decimal.
std::optional<std::string> transmitText(const ParamSpec& entry, std::string_view valueText);

} // namespace kvd
