// The project file (extension qf7): a binary archive of the project's model name, the edit
// value of every parameter and the four graph channel settings. Integers are 32-bit
// little-endian; a string is its byte count as a 32-bit integer followed by that many bytes
// (UTF-8, no terminator). Plain C++ so that tools can read and write projects without Qt.
//
//   version                  5 when written; 2 to 5 are read
//   model                    string
//   group count              integer, at most the catalogue's 15
//   per group: item count    integer, at most the catalogue's count for the group
//   per item: value          string
//   channels 1 to 4          from version 3: index (integer), name, upper, lower (strings)
//
// Files of version 4 and older list one value too many for groups 13 and 14; the last one
// listed is read and dropped, so 13-09 and F_31 keep the values the project was built with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvd::project {

inline constexpr std::int32_t kWrittenVersion = 5;
inline constexpr std::int32_t kOldestVersion = 2;
inline constexpr std::int32_t kFirstChannelVersion = 3;
// Files up to this version list a spare last value for these groups.
inline constexpr std::int32_t kLastSpareValueVersion = 4;
inline constexpr std::array<int, 2> kSpareValueGroups{13, 14};

inline constexpr std::size_t kMaxValueBytes = 14;       // model name and parameter values
inline constexpr std::size_t kMaxChannelTextBytes = 49; // channel name and scale texts
inline constexpr int kChannelCount = 4;
// Far above the largest valid file (about 30 KiB); anything bigger is not read into memory.
inline constexpr std::size_t kMaxFileBytes = 64 * 1024;

struct ChannelRecord {
    std::int32_t index = 0;
    std::string name;
    std::string upper;
    std::string lower;
    bool operator==(const ChannelRecord&) const = default;
};

struct ProjectData {
    std::int32_t version = kWrittenVersion;
    std::string model;
    // Values in group order, each group's in item order; spare values already dropped.
    std::vector<std::vector<std::string>> groups;
    // Absent for files older than kFirstChannelVersion.
    std::optional<std::array<ChannelRecord, kChannelCount>> channels;
};

// Decodes a whole file. Empty, with `error` set, for an unknown version, a count beyond the
// catalogue or below zero, a string longer than its limit, or a file that ends early.
// Bytes after the last field are ignored, as the archive never looked at them.
std::optional<ProjectData> readProject(std::string_view bytes, std::string* error = nullptr);

// Encodes `data` as version 5 (its `version` is ignored; missing channels are written as
// empty records). Empty, with `error` set, when a field would make a file that readProject
// refuses, so that no unreadable project is ever written.
std::optional<std::string> writeProject(const ProjectData& data, std::string* error = nullptr);

} // namespace kvd::project
