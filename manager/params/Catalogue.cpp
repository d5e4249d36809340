#include "Catalogue.h"

#include <algorithm>
#include <array>

namespace kvd {
namespace {

using F = ValueFormat;
constexpr Access RW = Access::ReadWrite;
constexpr Access RO = Access::ReadOnly;

// Entry builders. The group is the register's high byte; positions are numbered afterwards.
constexpr ParamSpec num(std::string_view code, std::uint16_t reg, ValueFormat format,
                        double minValue, double maxValue, Access access = RW) {
    return ParamSpec{code,   reg,      format, minValue, maxValue, false, {},
                     access, reg >> 8, 0,      true,     0,        0,     0};
}

// A list whose values are the option positions 0..last.
constexpr ParamSpec list(std::string_view code, std::uint16_t reg, int last, Access access = RW) {
    ParamSpec s = num(code, reg, F::Integer, 0, last, access);
    s.isList = true;
    return s;
}

// A list of explicit values (ascending); option position n holds values[n].
constexpr ParamSpec valueSet(std::string_view code, std::uint16_t reg, ValueFormat format,
                             std::span<const int> values, Access access = RW) {
    ParamSpec s = num(code, reg, format, values.front(), values.back(), access);
    s.isList = true;
    s.values = values;
    return s;
}

constexpr ParamSpec byClass(ParamSpec s, double highMin, double highMax) {
    s.highMinValue = highMin;
    s.highMaxValue = highMax;
    return s;
}

constexpr ParamSpec since(ParamSpec s, double version) {
    s.minVersion = version;
    return s;
}

constexpr ParamSpec withoutGroupRead(ParamSpec s) {
    s.groupRead = false;
    return s;
}

// Terminal functions: the value 5 does not exist.
constexpr std::array<int, 18> kInputFunctions{0,  1,  2,  3,  4,  6,  7,  8,  9,
                                              10, 11, 12, 13, 14, 15, 16, 17, 18};
// Relay functions: the value 12 does not exist.
constexpr std::array<int, 14> kRelayFunctions{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14};
constexpr std::array<int, 27> kFaultCodes{0,  1,  2,  3,  4,  6,  8,  9,  12, 13, 14, 15, 16, 18,
                                          19, 20, 21, 23, 24, 26, 27, 28, 29, 30, 32, 33, 34};
// Reset commands: 1150 and 1160 restore the 50 Hz and 60 Hz factory settings.
constexpr std::array<int, 3> kResetCodes{0, 1150, 1160};

template <std::size_t N> constexpr std::array<ParamSpec, N> positioned(std::array<ParamSpec, N> t) {
    int index = 0;
    for (std::size_t i = 0; i < N; ++i) {
        index = (i > 0 && t[i].group == t[i - 1].group) ? index + 1 : 0;
        t[i].index = index;
    }
    return t;
}

// clang-format off
constexpr auto kCatalogue = positioned(std::array{
    // Group 00: basic functions
    list("00-01", 0x0001, 1),
    list("00-02", 0x0002, 2),
    list("00-03", 0x0003, 2),
    list("00-04", 0x0004, 2),
    list("00-05", 0x0005, 6),
    list("00-06", 0x0006, 6),
    list("00-07", 0x0007, 1),
    num("00-08", 0x0008, F::Hundredths, 0.00, 650.00, RO),
    list("00-09", 0x0009, 1),
    list("00-10", 0x000A, 2),
    num("00-11", 0x000B, F::Hundredths, 0.00, 650.00),
    num("00-12", 0x000C, F::Hundredths, 0.01, 650.00),
    num("00-13", 0x000D, F::Hundredths, 0.00, 649.99),
    num("00-14", 0x000E, F::Tenths, 0.1, 3600.0),
    num("00-15", 0x000F, F::Tenths, 0.1, 3600.0),
    num("00-16", 0x0010, F::Tenths, 0.1, 3600.0),
    num("00-17", 0x0011, F::Tenths, 0.1, 3600.0),
    num("00-18", 0x0012, F::Hundredths, 1.00, 25.00),
    num("00-19", 0x0013, F::Tenths, 0.1, 25.5),
    num("00-20", 0x0014, F::Tenths, 0.1, 25.5),

    // Group 01: V/F control
    num("01-00", 0x0100, F::Integer, 1, 7),
    byClass(num("01-01", 0x0101, F::Tenths, 198.0, 256.0), 323.0, 528.0),
    num("01-02", 0x0102, F::Hundredths, 0.20, 650.00),
    num("01-03", 0x0103, F::Tenths, 0.0, 100.0),
    num("01-04", 0x0104, F::Hundredths, 0.10, 650.00),
    num("01-05", 0x0105, F::Tenths, 0.0, 100.0),
    num("01-06", 0x0106, F::Hundredths, 0.10, 650.00),
    num("01-07", 0x0107, F::Tenths, 0.0, 100.0),
    num("01-08", 0x0108, F::Hundredths, 0.10, 650.00),
    num("01-09", 0x0109, F::Tenths, 0.0, 100.0),
    num("01-10", 0x010A, F::Tenths, 0.0, 10.0),
    num("01-11", 0x010B, F::Hundredths, 0.00, 10.00),

    // Group 02: motor
    num("02-00", 0x0200, F::Tenths, 0.0, 6553.5),
    num("02-01", 0x0201, F::Tenths, 0.1, 6553.5),
    num("02-02", 0x0202, F::Tenths, 0.0, 100.0),
    num("02-03", 0x0203, F::Integer, 0, 39000),
    since(num("02-04", 0x0204, F::Tenths, 0.0, 6553.5), 1.1),

    // Group 03: digital inputs and outputs (no 03-05, 03-10, 03-12)
    valueSet("03-00", 0x0300, F::Integer, kInputFunctions),
    valueSet("03-01", 0x0301, F::Integer, kInputFunctions),
    valueSet("03-02", 0x0302, F::Integer, kInputFunctions),
    valueSet("03-03", 0x0303, F::Integer, kInputFunctions),
    valueSet("03-04", 0x0304, F::Integer, kInputFunctions),
    num("03-06", 0x0306, F::Hundredths, 0.00, 5.00),
    list("03-07", 0x0307, 2),
    num("03-08", 0x0308, F::Integer, 1, 400),
    num("03-09", 0x0309, F::Binary5, 0, 31), // five digits 0/1: S5 S4 S3 S2 S1
    valueSet("03-11", 0x030B, F::Integer, kRelayFunctions),
    num("03-13", 0x030D, F::Hundredths, 0.00, 650.00),
    num("03-14", 0x030E, F::Hundredths, 0.00, 30.00),
    num("03-15", 0x030F, F::Tenths, 0.1, 15.0),
    num("03-16", 0x0310, F::Tenths, 0.1, 10.0),
    num("03-17", 0x0311, F::Hundredths, 0.00, 20.00),
    num("03-18", 0x0312, F::Hundredths, 0.00, 20.00),
    list("03-19", 0x0313, 1),

    // Group 04: analog inputs and outputs
    list("04-00", 0x0400, 3),
    num("04-01", 0x0401, F::Integer, 1, 400),
    num("04-02", 0x0402, F::Integer, 0, 1000),
    num("04-03", 0x0403, F::Integer, 0, 100),
    list("04-04", 0x0404, 1),
    list("04-05", 0x0405, 1),
    num("04-06", 0x0406, F::Integer, 1, 400),
    num("04-07", 0x0407, F::Integer, 0, 1000),
    num("04-08", 0x0408, F::Integer, 0, 100),
    list("04-09", 0x0409, 1),
    list("04-10", 0x040A, 1),
    list("04-11", 0x040B, 4),
    num("04-12", 0x040C, F::Integer, 0, 1000),
    num("04-13", 0x040D, F::Integer, 0, 100),
    list("04-14", 0x040E, 1),
    list("04-15", 0x040F, 1),

    // Group 05: multi-speed (no 05-09 to 05-16)
    list("05-00", 0x0500, 1),
    num("05-01", 0x0501, F::Hundredths, 0.00, 650.00),
    num("05-02", 0x0502, F::Hundredths, 0.00, 650.00),
    num("05-03", 0x0503, F::Hundredths, 0.00, 650.00),
    num("05-04", 0x0504, F::Hundredths, 0.00, 650.00),
    num("05-05", 0x0505, F::Hundredths, 0.00, 650.00),
    num("05-06", 0x0506, F::Hundredths, 0.00, 650.00),
    num("05-07", 0x0507, F::Hundredths, 0.00, 650.00),
    num("05-08", 0x0508, F::Hundredths, 0.00, 650.00),
    num("05-17", 0x0511, F::Tenths, 0.1, 3600.0),
    num("05-18", 0x0512, F::Tenths, 0.1, 3600.0),
    num("05-19", 0x0513, F::Tenths, 0.1, 3600.0),
    num("05-20", 0x0514, F::Tenths, 0.1, 3600.0),
    num("05-21", 0x0515, F::Tenths, 0.1, 3600.0),
    num("05-22", 0x0516, F::Tenths, 0.1, 3600.0),
    num("05-23", 0x0517, F::Tenths, 0.1, 3600.0),
    num("05-24", 0x0518, F::Tenths, 0.1, 3600.0),
    num("05-25", 0x0519, F::Tenths, 0.1, 3600.0),
    num("05-26", 0x051A, F::Tenths, 0.1, 3600.0),
    num("05-27", 0x051B, F::Tenths, 0.1, 3600.0),
    num("05-28", 0x051C, F::Tenths, 0.1, 3600.0),
    num("05-29", 0x051D, F::Tenths, 0.1, 3600.0),
    num("05-30", 0x051E, F::Tenths, 0.1, 3600.0),
    num("05-31", 0x051F, F::Tenths, 0.1, 3600.0),
    num("05-32", 0x0520, F::Tenths, 0.1, 3600.0),

    // Group 06: automatic program (no 06-08 to 06-15, 06-24 to 06-31)
    list("06-00", 0x0600, 6),
    num("06-01", 0x0601, F::Hundredths, 0.00, 650.00),
    num("06-02", 0x0602, F::Hundredths, 0.00, 650.00),
    num("06-03", 0x0603, F::Hundredths, 0.00, 650.00),
    num("06-04", 0x0604, F::Hundredths, 0.00, 650.00),
    num("06-05", 0x0605, F::Hundredths, 0.00, 650.00),
    num("06-06", 0x0606, F::Hundredths, 0.00, 650.00),
    num("06-07", 0x0607, F::Hundredths, 0.00, 650.00),
    num("06-16", 0x0610, F::Tenths, 0.0, 3600.0),
    num("06-17", 0x0611, F::Tenths, 0.0, 3600.0),
    num("06-18", 0x0612, F::Tenths, 0.0, 3600.0),
    num("06-19", 0x0613, F::Tenths, 0.0, 3600.0),
    num("06-20", 0x0614, F::Tenths, 0.0, 3600.0),
    num("06-21", 0x0615, F::Tenths, 0.0, 3600.0),
    num("06-22", 0x0616, F::Tenths, 0.0, 3600.0),
    num("06-23", 0x0617, F::Tenths, 0.0, 3600.0),
    list("06-32", 0x0620, 2),
    list("06-33", 0x0621, 2),
    list("06-34", 0x0622, 2),
    list("06-35", 0x0623, 2),
    list("06-36", 0x0624, 2),
    list("06-37", 0x0625, 2),
    list("06-38", 0x0626, 2),
    list("06-39", 0x0627, 2),

    // Group 07: start and stop
    list("07-00", 0x0700, 1),
    num("07-01", 0x0701, F::Tenths, 0.0, 800.0),
    num("07-02", 0x0702, F::Integer, 0, 10),
    list("07-03", 0x0703, 1),
    list("07-04", 0x0704, 1),
    num("07-05", 0x0705, F::Tenths, 1.0, 300.0),
    num("07-06", 0x0706, F::Hundredths, 0.10, 10.00),
    num("07-07", 0x0707, F::Integer, 0, 20),
    num("07-08", 0x0708, F::Tenths, 0.0, 25.5),
    since(list("07-09", 0x0709, 1), 0.4),

    // Group 08: protection
    num("08-00", 0x0800, F::Binary5, 0, 15), // first digit always 0
    num("08-01", 0x0801, F::Integer, 50, 200),
    num("08-02", 0x0802, F::Integer, 50, 200),
    num("08-03", 0x0803, F::Integer, 50, 200),
    byClass(num("08-04", 0x0804, F::Tenths, 350.0, 390.0), 700.0, 780.0),
    list("08-05", 0x0805, 1),
    list("08-06", 0x0806, 1),
    list("08-07", 0x0807, 3),
    list("08-08", 0x0808, 5),
    list("08-09", 0x0809, 1),

    // Group 09: communication; the link settings are the drive's own business
    num("09-00", 0x0900, F::Integer, 1, 32, RO),
    list("09-01", 0x0901, 1, RO),
    list("09-02", 0x0902, 3, RO),
    list("09-03", 0x0903, 1, RO),
    list("09-04", 0x0904, 2, RO),
    list("09-05", 0x0905, 1, RO),
    num("09-06", 0x0906, F::Tenths, 0.0, 25.5),
    list("09-07", 0x0907, 3),
    num("09-08", 0x0908, F::Integer, 1, 20),
    num("09-09", 0x0909, F::Integer, 5, 65),

    // Group 10: PID
    list("10-00", 0x0A00, 4),
    list("10-01", 0x0A01, 4),
    num("10-02", 0x0A02, F::Tenths, 0.0, 100.0),
    list("10-03", 0x0A03, 4),
    num("10-04", 0x0A04, F::Hundredths, 0.00, 10.00),
    num("10-05", 0x0A05, F::Tenths, 0.0, 10.0),
    num("10-06", 0x0A06, F::Tenths, 0.0, 100.0),
    num("10-07", 0x0A07, F::Hundredths, 0.00, 10.00),
    list("10-08", 0x0A08, 1),
    num("10-09", 0x0A09, F::Integer, 0, 109),
    num("10-10", 0x0A0A, F::Tenths, 0.0, 2.5),
    list("10-11", 0x0A0B, 2),
    num("10-12", 0x0A0C, F::Integer, 0, 100),
    num("10-13", 0x0A0D, F::Tenths, 0.0, 25.5),
    num("10-14", 0x0A0E, F::Integer, 0, 109),
    num("10-15", 0x0A0F, F::Integer, 0, 30),
    num("10-16", 0x0A10, F::Integer, 0, 100),
    num("10-17", 0x0A11, F::Hundredths, 0.00, 650.00),
    num("10-18", 0x0A12, F::Tenths, 0.0, 25.5),
    num("10-19", 0x0A13, F::Hundredths, 0.00, 650.00),
    num("10-20", 0x0A14, F::Tenths, 0.0, 25.5),
    num("10-21", 0x0A15, F::Integer, 0, 999),
    num("10-22", 0x0A16, F::Integer, 0, 999),

    // Group 11: auxiliary
    list("11-00", 0x0B00, 1),
    num("11-01", 0x0B01, F::Integer, 1, 16),
    list("11-02", 0x0B02, 2),
    list("11-03", 0x0B03, 1),
    num("11-04", 0x0B04, F::Tenths, 0.0, 4.0),
    num("11-05", 0x0B05, F::Tenths, 0.0, 4.0),
    num("11-06", 0x0B06, F::Tenths, 0.0, 4.0),
    num("11-07", 0x0B07, F::Tenths, 0.0, 4.0),
    num("11-08", 0x0B08, F::Hundredths, 0.00, 650.00),
    num("11-09", 0x0B09, F::Hundredths, 0.00, 650.00),
    num("11-10", 0x0B0A, F::Hundredths, 0.00, 650.00),
    num("11-11", 0x0B0B, F::Hundredths, 0.00, 30.00),

    // Group 12: monitoring
    num("12-00", 0x0C00, F::Octal5, 0, 32767), // five digits 0..7
    list("12-01", 0x0C01, 2),
    list("12-02", 0x0C02, 2),
    num("12-03", 0x0C03, F::Integer, 0, 65535),
    list("12-04", 0x0C04, 4),
    num("12-05", 0x0C05, F::Padded5, 0, 65535, RO),

    // Group 13: maintenance
    num("13-00", 0x0D00, F::ModelText, 0, 65535, RO), // the word is the model code
    num("13-01", 0x0D01, F::Thousandths, 0.000, 65.535, RO),
    valueSet("13-02", 0x0D02, F::Integer, kFaultCodes, RO),
    num("13-03", 0x0D03, F::Integer, 0, 23),
    num("13-04", 0x0D04, F::Integer, 0, 65535),
    list("13-05", 0x0D05, 1),
    list("13-06", 0x0D06, 3),
    // The password: read with the group, written only by the password commands.
    num("13-07", 0x0D07, F::Padded5, 0, 65535, RO),
    valueSet("13-08", 0x0D08, F::Padded4, kResetCodes),
    withoutGroupRead(list("13-09", 0x0D09, 1, Access::PageOnly)),

    // Group F_: basic parameters
    num("F_01", 0x0E01, F::Tenths, 0.1, 3600.0),
    num("F_02", 0x0E02, F::Tenths, 0.1, 3600.0),
    list("F_03", 0x0E03, 1),
    list("F_04", 0x0E04, 1),
    num("F_05", 0x0E05, F::Integer, 1, 7),
    num("F_06", 0x0E06, F::Hundredths, 0.01, 650.00),
    num("F_07", 0x0E07, F::Hundredths, 0.00, 649.99),
    num("F_08", 0x0E08, F::Hundredths, 0.00, 650.00),
    num("F_09", 0x0E09, F::Hundredths, 1.00, 25.00),
    list("F_10", 0x0E0A, 1),
    list("F_11", 0x0E0B, 3),
    num("F_12", 0x0E0C, F::Integer, 1, 16),
    num("F_13", 0x0E0D, F::Tenths, 0.0, 10.0),
    list("F_14", 0x0E0E, 1),
    num("F_15", 0x0E0F, F::Tenths, 0.0, 25.5),
    num("F_16", 0x0E10, F::Hundredths, 0.10, 10.00),
    num("F_17", 0x0E11, F::Integer, 0, 20),
    num("F_18", 0x0E12, F::Tenths, 0.1, 6553.5, Access::PageOnly),
    list("F_19", 0x0E13, 6), // positions; the options show terminal functions 0,1,2,3,14,15,17
    list("F_20", 0x0E14, 6),
    list("F_21", 0x0E15, 2),
    list("F_22", 0x0E16, 1),
    list("F_23", 0x0E17, 1),
    num("F_24", 0x0E18, F::Integer, 0, 10),
    valueSet("F_25", 0x0E19, F::Padded4, kResetCodes),
    num("F_26", 0x0E1A, F::Hundredths, 0.00, 650.00),
    num("F_27", 0x0E1B, F::Hundredths, 0.00, 650.00),
    list("F_28", 0x0E1C, 1),
    num("F_29", 0x0E1D, F::Thousandths, 0.000, 65.535, RO),
    valueSet("F_30", 0x0E1E, F::Integer, kFaultCodes, RO),
    // Kept in the project only: never sent to or read from a drive.
    withoutGroupRead(list("F_31", 0x0E1F, 1, RO)),
});
// clang-format on

struct GroupBounds {
    std::array<std::size_t, kGroupCount + 1> start{};
};

constexpr GroupBounds computeBounds() {
    GroupBounds b;
    std::size_t i = 0;
    for (int g = 0; g <= kGroupCount; ++g) {
        while (i < kCatalogue.size() && kCatalogue[i].group < g)
            ++i;
        b.start[g] = i;
    }
    return b;
}

constexpr GroupBounds kBounds = computeBounds();

constexpr bool wellFormed() {
    for (std::size_t i = 1; i < kCatalogue.size(); ++i) {
        const ParamSpec& a = kCatalogue[i - 1];
        const ParamSpec& b = kCatalogue[i];
        if (b.group < a.group || (b.group == a.group && b.reg <= a.reg))
            return false;
    }
    for (int g = 0; g < kGroupCount; ++g)
        if (kBounds.start[g + 1] - kBounds.start[g] > 100) // the document keeps 100 marks a group
            return false;
    return kBounds.start[kGroupCount] == kCatalogue.size();
}
static_assert(wellFormed(), "catalogue must be ordered by group and register");

} // namespace

std::span<const ParamSpec> allSpecs() {
    return kCatalogue;
}

std::span<const ParamSpec> groupSpecs(int group) {
    if (group < 0 || group >= kGroupCount)
        return {};
    return std::span<const ParamSpec>(kCatalogue)
        .subspan(kBounds.start[group], kBounds.start[group + 1] - kBounds.start[group]);
}

const ParamSpec* findSpec(std::string_view code) {
    for (const ParamSpec& s : kCatalogue)
        if (s.code == code)
            return &s;
    return nullptr;
}

const ParamSpec* specByRegister(std::uint16_t reg) {
    const auto it = std::lower_bound(kCatalogue.begin(), kCatalogue.end(), reg,
                                     [](const ParamSpec& s, std::uint16_t r) { return s.reg < r; });
    return (it != kCatalogue.end() && it->reg == reg) ? &*it : nullptr;
}

std::string_view groupPrefix(int group) {
    static constexpr std::array<std::string_view, kGroupCount> prefixes{
        "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12", "13", "F_"};
    if (group < 0 || group >= kGroupCount)
        return {};
    return prefixes[group];
}

int optionCount(const ParamSpec& entry) {
    if (!entry.isList)
        return 0;
    if (!entry.values.empty())
        return static_cast<int>(entry.values.size());
    return static_cast<int>(entry.maxValue - entry.minValue) + 1;
}

std::optional<int> optionPosition(const ParamSpec& entry, int value) {
    if (!entry.isList)
        return std::nullopt;
    if (!entry.values.empty()) {
        const auto it = std::find(entry.values.begin(), entry.values.end(), value);
        if (it == entry.values.end())
            return std::nullopt;
        return static_cast<int>(it - entry.values.begin());
    }
    if (value < entry.minValue || value > entry.maxValue)
        return std::nullopt;
    return value - static_cast<int>(entry.minValue);
}

std::optional<int> optionValue(const ParamSpec& entry, int position) {
    if (position < 0 || position >= optionCount(entry))
        return std::nullopt;
    if (!entry.values.empty())
        return entry.values[static_cast<std::size_t>(position)];
    return static_cast<int>(entry.minValue) + position;
}

} // namespace kvd
