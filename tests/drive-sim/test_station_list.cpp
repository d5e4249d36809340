#include "link/StationList.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

using kvd::parseStationList;

TEST(StationList, ParsesPiecesAndRangesOrRefusesWithTheMessageId) {
    const struct {
        const char* text;
        std::vector<int> stations;
        int error;
    } cases[] = {
        {"1,3,5-7", {1, 3, 5, 6, 7}, 0},
        {"32", {32}, 0},
        {"000005,1", {5, 1}, 0}, // the six-character rule holds for the last piece only
        {"abc", {0}, 0},         // not a number: station 0, no lower bound
        {" 4", {4}, 0},
        {"33", {}, kvd::ids::StationAbove32},
        {"30-34", {}, kvd::ids::StationAbove32}, // fails on reaching 33, nothing kept
        {"123456", {}, kvd::ids::StationAbove32},
        {"1,000005", {}, kvd::ids::StationAbove32},
        {"1,2-123456", {}, kvd::ids::StationAbove32},
        {"5-3", {}, kvd::ids::StationRangeOrder},
        {"2,2", {}, kvd::ids::StationRepeated},
        {"1-3,2", {}, kvd::ids::StationRepeated},
    };
    for (const auto& c : cases) {
        const auto r = parseStationList(c.text);
        EXPECT_EQ(r.error, c.error) << c.text;
        EXPECT_EQ(r.stations, c.stations) << c.text;
    }
}
