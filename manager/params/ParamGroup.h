// A project's parameters as the document holds them: fifteen groups of items whose values are
// texts in each parameter's display format. Plain C++ so that the drive simulator and the
// command-line tool build the same records from the data files.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kvd {

struct ParamItem {
    std::string label;        // code, one blank, description
    std::string factoryValue; // factory setting
    std::string editValue;    // the project's value
    std::string readValue;    // last value read from a drive; empty until a read
    std::string extra;        // fifth column of the data file, carried along uninterpreted
    bool modified = false;    // changed on a page and not yet written to a drive
};

struct ParamGroup {
    std::string name; // title line from the parameter data file
    std::vector<ParamItem> items;
};

// The code of an item: the label's text before the first blank.
std::string_view itemCode(const ParamItem& item);

// One row of the initial-parameter file: a key and one value per ModelTable row.
struct InitialValueRow {
    std::string key;
    std::vector<std::string> values;
};

// Parameters that take their values from the first rows of the initial-parameter file,
// row by row.
inline constexpr std::array<std::string_view, 6> InitialValueCodes{"01-01", "02-00", "02-01",
                                                                   "02-04", "08-04", "F_18"};

// Puts the model's column of `rows` into the factory values of the InitialValueCodes (and into
// the edit values when `setEditValues`). A model outside the ModelTable empties all of them;
// a row too short for the model's column leaves its parameter unchanged.
void applyInitialValues(std::vector<ParamGroup>& groups, const std::vector<InitialValueRow>& rows,
                        int modelCode, bool setEditValues);

// Values that follow the supply frequency. frequencyRegion 0 is 50 Hz, 1 is 60 Hz.
struct RegionDefault {
    std::string_view code;
    std::string_view hz50;
    std::string_view hz60;
};

inline constexpr std::array<RegionDefault, 9> RegionDefaults{{
    {"00-11", "50.00", "60.00"},
    {"00-12", "50.00", "60.00"},
    {"01-00", "1", "4"},
    {"01-02", "50.00", "60.00"},
    {"01-04", "25.00", "30.00"},
    {"01-06", "10.00", "12.00"},
    {"01-08", "0.50", "0.60"},
    {"02-03", "1430", "1680"},
    {"12-03", "1500", "1800"},
}};

// Sets factory and edit values of the RegionDefaults for `frequencyRegion` (any value other
// than 1 counts as 50 Hz) and both values of 13-00 to the model's short text.
void applyRegionDefaults(std::vector<ParamGroup>& groups, int frequencyRegion, int modelCode);

} // namespace kvd
