#include "StationList.h"

#include "resources/StringIds.h"

#include <algorithm>
#include <cctype>

namespace kvd {

namespace {

// The leading decimal value of a piece, as the original text conversion reads it: leading
// blanks skipped, an optional sign, digits up to the first other character; 0 when there
// are none. Saturates instead of overflowing.
long leadingValue(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i])))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long v = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
        v = std::min(v * 10 + (s[i] - '0'), 1000000L);
    return negative ? -v : v;
}

StationListResult failure(int id) {
    return StationListResult{{}, id};
}

} // namespace

StationListResult parseStationList(std::string_view text) {
    StationListResult r;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = text.find(',', pos);
        const bool last = comma == std::string_view::npos;
        const std::string_view piece =
            text.substr(pos, last ? std::string_view::npos : comma - pos);
        const auto seen = [&r](long s) {
            return std::find(r.stations.begin(), r.stations.end(), s) != r.stations.end();
        };

        const std::size_t dash = piece.find('-');
        if (dash == std::string_view::npos) {
            const long s = leadingValue(piece);
            if (s > 32 || (last && piece.size() >= 6))
                return failure(ids::StationAbove32);
            if (seen(s))
                return failure(ids::StationRepeated);
            r.stations.push_back(static_cast<int>(s));
        } else {
            const std::string_view after = piece.substr(dash + 1);
            if (after.size() > 5)
                return failure(ids::StationAbove32);
            const long low = leadingValue(piece.substr(0, dash));
            const long high = leadingValue(after);
            if (high < low)
                return failure(ids::StationRangeOrder);
            for (long s = low; s <= high; ++s) {
                if (s > 32)
                    return failure(ids::StationAbove32);
                if (seen(s))
                    return failure(ids::StationRepeated);
                r.stations.push_back(static_cast<int>(s));
            }
        }
        if (last)
            break;
        pos = comma + 1;
    }
    return r;
}

} // namespace kvd
