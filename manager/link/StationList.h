// The station text of the connection ("1,3,5-12"): which drives on the line are online.
// Pure C++ so that the connection dialog, the write dialog and the drive simulator share it.
#pragma once

#include <string_view>
#include <vector>

namespace kvd {

struct StationListResult {
    std::vector<int> stations; // in text order; empty on failure
    int error = 0;             // 0, or the string id of the message to show

    bool ok() const { return error == 0; }
};

// Pieces between commas, left to right: a number is one station, "low-high" a range.
// Fails with ids::StationAbove32 (a station above 32, a last piece of six characters or
// more, or a range end longer than five characters), ids::StationRangeOrder (high below low)
// or ids::StationRepeated. A piece that is not a number counts as station 0: there is no
// lower bound, callers that need 1..32 check it themselves. An empty text is the caller's
// case (message StationEmpty); here it yields station 0.
StationListResult parseStationList(std::string_view text);

} // namespace kvd
