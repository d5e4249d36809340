// Cuts request frames out of a byte stream the way a drive does: a frame of a known function
// is complete as soon as its length is there and its CRC matches; anything else ends at the
// line's silence.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace kvd::sim {

class RtuFramer {
public:
    using Clock = std::chrono::steady_clock;

    explicit RtuFramer(std::chrono::microseconds silence) : silence_(silence) {}

    void feed(const std::uint8_t* data, std::size_t size, Clock::time_point now);
    // The next frame: complete by length, or whatever the silence ended (CRC unchecked).
    std::optional<std::vector<std::uint8_t>> next(Clock::time_point now);
    // When the pending bytes count as ended by silence; empty when nothing is pending.
    std::optional<Clock::time_point> silenceDeadline() const;

    // Request length by the function byte; 0 when unknown or not yet decidable.
    static std::size_t requestLength(const std::vector<std::uint8_t>& buffer);

private:
    std::chrono::microseconds silence_;
    std::vector<std::uint8_t> buffer_;
    Clock::time_point lastByte_{};
};

} // namespace kvd::sim
