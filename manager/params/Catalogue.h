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
};

// The group's entries in catalogue order.
std::span<const ParamSpec> groupSpecs(int group);
const ParamSpec* findSpec(std::string_view code);
const ParamSpec* specByRegister(std::uint16_t reg);

// "00" .. "13", "F_"
std::string_view groupPrefix(int group);

} // namespace kvd
