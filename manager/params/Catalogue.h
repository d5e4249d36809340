// The parameter catalogue: for every parameter the program knows, its code, register, text
// format, range or value set and access. Fixed data of the program; no Qt so that the
// drive simulator and the command-line tool share it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kvd {

constexpr int kGroupCount = 15; // 00..13 and F_ (index 14)
constexpr int kBasicGroup = 14;

enum class ValueFormat {
    Integer,
    Tenths,
    Hundredths,
    Thousandths,
    Padded5,
    Padded4,
    Binary5,
    Octal5,
    ModelText,
};

enum class Access {
    ReadWrite,
    ReadOnly, // the program never writes it
    PageOnly, // written only by its own page row (never by group writes)
};

struct ParamSpec {
    std::string_view code; // "00-05", "F_01"
    std::uint16_t reg;     // GG * 256 + II
    ValueFormat format;
    double minValue; // inclusive, in the displayed unit; lists: lowest value
    double maxValue;
    bool isList;                 // value is an option position (or a value of `values`)
    std::span<const int> values; // gapped value set of a list; empty = minValue..maxValue
    Access access;
    int group; // 0..14
    int index; // position within the group

    // Read by the group transfers. False for the two parameters that are kept in the project
    // only or written from their own page only (13-09, F_31).
    bool groupRead = true;
    // High-voltage range of a parameter whose range depends on the VoltageClass; minValue and
    // maxValue then hold the low-voltage range. Both 0 for every other parameter.
    double highMinValue = 0;
    double highMaxValue = 0;
    // Lowest driveVersion whose drives have this parameter; 0 when every drive has it.
    double minVersion = 0;
};

// The group's entries in catalogue order.
std::span<const ParamSpec> groupSpecs(int group);
const ParamSpec* findSpec(std::string_view code);
const ParamSpec* specByRegister(std::uint16_t reg);

// "00" .. "13", "F_"
std::string_view groupPrefix(int group);

// Every entry of all groups, group by group in catalogue order.
std::span<const ParamSpec> allSpecs();

// Whether the range of `entry` depends on the drive's VoltageClass (01-01, 08-04).
inline bool hasClassRange(const ParamSpec& entry) {
    return entry.highMaxValue != 0;
}

// The group read fills the item from the drive.
inline bool isGroupRead(const ParamSpec& entry) {
    return entry.groupRead;
}
// The group write sends the item: not RO, not page-only, not the password (13-07 is RO here;
// the password commands address its register themselves).
inline bool isGroupWritten(const ParamSpec& entry) {
    return entry.groupRead && entry.access == Access::ReadWrite;
}

// Option position <-> value of a list. Plain lists count from minValue; gapped lists
// (03-00, 03-11, 13-08, ...) map positions to the entries of `values`. Empty when the
// value or position is not part of the list, or `entry` is not a list.
std::optional<int> optionPosition(const ParamSpec& entry, int value);
std::optional<int> optionValue(const ParamSpec& entry, int position);
int optionCount(const ParamSpec& entry);

} // namespace kvd
