#include "Framer.h"

#include "link/ModbusRtu.h"

namespace kvd::sim {

// Longer than any request a master sends: junk, to be dropped at the next silence.
constexpr std::size_t kMaxBuffer = 512;

void RtuFramer::feed(const std::uint8_t* data, std::size_t size, Clock::time_point now) {
    if (size == 0)
        return;
    if (buffer_.size() + size <= kMaxBuffer)
        buffer_.insert(buffer_.end(), data, data + size);
    lastByte_ = now;
}

std::size_t RtuFramer::requestLength(const std::vector<std::uint8_t>& b) {
    if (b.size() < 2)
        return 0;
    switch (b[1]) {
    case rtu::kReadHolding:
    case rtu::kWriteSingle:
        return 8;
    case rtu::kWriteMultiple:
        return b.size() < 7 ? 0 : 9 + static_cast<std::size_t>(b[6]);
    default:
        return 0;
    }
}

std::optional<std::vector<std::uint8_t>> RtuFramer::next(Clock::time_point now) {
    if (buffer_.empty())
        return std::nullopt;
    const std::size_t n = requestLength(buffer_);
    if (n != 0 && buffer_.size() >= n && rtu::checkReplyCrc(buffer_.data(), n) == 1) {
        std::vector<std::uint8_t> frame(buffer_.begin(), buffer_.begin() + static_cast<long>(n));
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(n));
        return frame;
    }
    if (now - lastByte_ >= silence_) {
        std::vector<std::uint8_t> frame;
        frame.swap(buffer_);
        return frame;
    }
    return std::nullopt;
}

std::optional<RtuFramer::Clock::time_point> RtuFramer::silenceDeadline() const {
    if (buffer_.empty())
        return std::nullopt;
    return lastByte_ + silence_;
}

} // namespace kvd::sim
