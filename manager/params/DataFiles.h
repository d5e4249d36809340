// Readers of the program's data files: the parameter data file (groups, items, factory and
// initial edit values), the initial-parameter file (values per drive model) and the model
// description file. Plain C++ for the program, the drive simulator and the command-line tool.
//
// Files are UTF-8 text with LF or CRLF line ends. A reader never trusts its input: a missing
// file, an overlong line or a malformed line yields an empty result and an error text.
#pragma once

#include "ParamGroup.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvd {

inline constexpr std::string_view kParamDataFileName = "KVD PARAM.DAT";
inline constexpr std::string_view kInitialParamFileName = "KVD IntialParam.DAT";
inline constexpr std::string_view kModelFileName = "KVD.SPE";

inline constexpr std::size_t kMaxDataLineLength = 65535;
inline constexpr std::uintmax_t kMaxDataFileSize = 4 * 1024 * 1024;

struct ModelDescription {
    std::string name;
    std::string description; // lines, each followed by "\n"
};

// Parameter data file: item lines "label@factory$edit*extra"; a line containing "#" closes the
// group of the item lines before it and names it with the text after the "#". Item lines after
// the last group line belong to no group and are dropped. Blank lines are skipped.
std::optional<std::vector<ParamGroup>> parseParamData(std::string_view text,
                                                      std::string* error = nullptr);
std::optional<std::vector<ParamGroup>> loadParamData(const std::filesystem::path& file,
                                                     std::string* error = nullptr);

// Initial-parameter file: rows "key:value,value,...", one value per ModelTable row; a line
// "END" ends the rows (anything after it is commentary). Blank lines are skipped.
std::optional<std::vector<InitialValueRow>> parseInitialParams(std::string_view text,
                                                               std::string* error = nullptr);
std::optional<std::vector<InitialValueRow>> loadInitialParams(const std::filesystem::path& file,
                                                              std::string* error = nullptr);

// Model description file: a line "TYPE:<name>;" starts a model (the line's last character
// closes the name and is not part of it); the following lines describe it. Lines of four
// characters or fewer, and lines before the first model, are ignored.
std::optional<std::vector<ModelDescription>> parseModelFile(std::string_view text,
                                                            std::string* error = nullptr);
std::optional<std::vector<ModelDescription>> loadModelFile(const std::filesystem::path& file,
                                                           std::string* error = nullptr);

// Differences between parsed groups and the catalogue: group count, item counts, item codes
// in catalogue order, and factory or edit values that parseText cannot read. Empty when the
// groups fit. Ranges are not checked here: two of them depend on the drive model.
std::vector<std::string> catalogueMismatches(const std::vector<ParamGroup>& groups);

// The factory word of every catalogue register for a drive of `modelCode` in `frequencyRegion`
// (0: 50 Hz, 1: 60 Hz): the parameter data file's factory values, then the model's column of
// the initial-parameter file (when that file exists and the model is in the ModelTable), then
// the RegionDefaults; 13-00 holds the model code itself. Empty, with `error` set, when the
// parameter data file is missing or does not fit the catalogue or another file is malformed.
std::map<std::uint16_t, std::uint16_t>
factoryRegisterValues(const std::filesystem::path& dataFolder, int modelCode, int frequencyRegion,
                      std::string* error = nullptr);

} // namespace kvd
