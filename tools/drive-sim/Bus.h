// The stations of one line and what each does with a request frame: decode, carry out,
// answer, or stay silent, with the line faults applied. No I/O, no locking.
#pragma once

#include "Drive.h"
#include "Simulator.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace kvd::sim {

using Frame = std::vector<std::uint8_t>;

struct Station {
    Drive drive;
    FaultSettings faults;
    int answeredSinceSet = 0; // for silentAfter
    std::uint64_t requests = 0;
    std::uint64_t broadcasts = 0;
};

struct Answer {
    Frame reply;
    int delayMs = 0;
};

class Bus {
public:
    void add(int address, Drive drive);
    bool has(int address) const { return stations_.count(address) != 0; }
    Station* find(int address);
    std::vector<int> addresses() const;

    // One complete frame as cut from the line (CRC not yet checked). Empty: no answer.
    std::optional<Answer> handle(const Frame& frame, Clock::time_point now);

    void setFaults(Station& s, const FaultSettings& f);

private:
    Frame carryOut(Drive& drive, const Frame& frame, Clock::time_point now);
    void broadcast(const Frame& frame, Clock::time_point now);

    std::map<int, Station> stations_;
};

// An exception reply: station, function | 0x80, code, CRC.
Frame exceptionReply(std::uint8_t station, std::uint8_t function, std::uint8_t code);

} // namespace kvd::sim
