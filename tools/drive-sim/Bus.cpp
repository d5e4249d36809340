#include "Bus.h"

#include "link/ModbusRtu.h"

namespace kvd::sim {

namespace {

std::uint16_t word(const Frame& f, std::size_t at) {
    return static_cast<std::uint16_t>(f[at] << 8 | f[at + 1]);
}

void put16(Frame& f, std::uint16_t v) {
    f.push_back(static_cast<std::uint8_t>(v >> 8));
    f.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

// The register block of a write request, or the exception that refuses its shape.
struct WriteBlock {
    std::uint16_t start = 0;
    std::vector<std::uint16_t> values;
    Exception error = NoException;
};

WriteBlock decodeWrite(const Frame& f) {
    WriteBlock b;
    const std::size_t body = f.size() - 2; // without CRC
    if (f[1] == rtu::kWriteSingle) {
        if (body != 6) {
            b.error = IllegalValue;
            return b;
        }
        b.start = word(f, 2);
        b.values.push_back(word(f, 4));
        return b;
    }
    if (body < 7) {
        b.error = IllegalValue;
        return b;
    }
    const int count = word(f, 4);
    const int bytes = f[6];
    if (count < 1 || count > rtu::kMaxWriteCount || bytes != 2 * count ||
        body != 7 + static_cast<std::size_t>(bytes)) {
        b.error = IllegalValue;
        return b;
    }
    b.start = word(f, 2);
    for (int k = 0; k < count; ++k)
        b.values.push_back(word(f, 7 + 2 * static_cast<std::size_t>(k)));
    return b;
}

bool silent(const Station& s) {
    return s.faults.mode == FaultMode::Silent ||
           (s.faults.silentAfter >= 0 && s.answeredSinceSet >= s.faults.silentAfter);
}

} // namespace

Frame exceptionReply(std::uint8_t station, std::uint8_t function, std::uint8_t code) {
    Frame f{station, static_cast<std::uint8_t>(function | 0x80), code};
    rtu::appendCrc(f);
    return f;
}

void Bus::add(int address, Drive drive) {
    stations_.erase(address);
    stations_.emplace(address, Station{std::move(drive), {}, 0, 0, 0});
}

Station* Bus::find(int address) {
    const auto it = stations_.find(address);
    return it == stations_.end() ? nullptr : &it->second;
}

std::vector<int> Bus::addresses() const {
    std::vector<int> a;
    for (const auto& [address, s] : stations_)
        a.push_back(address);
    return a;
}

void Bus::setFaults(Station& s, const FaultSettings& f) {
    s.faults = f;
    s.answeredSinceSet = 0;
}

Frame Bus::carryOut(Drive& drive, const Frame& f, Clock::time_point now) {
    const std::uint8_t station = f[0];
    const std::uint8_t function = f[1];
    switch (function) {
    case rtu::kReadHolding: {
        const int count = f.size() == 8 ? word(f, 4) : 0;
        if (count < 1 || count > rtu::kMaxReadCount)
            return exceptionReply(station, function, IllegalValue);
        std::vector<std::uint16_t> words;
        if (const Exception e = drive.read(word(f, 2), count, words, now))
            return exceptionReply(station, function, e);
        Frame reply{station, function, static_cast<std::uint8_t>(2 * count)};
        for (std::uint16_t w : words)
            put16(reply, w);
        rtu::appendCrc(reply);
        return reply;
    }
    case rtu::kWriteSingle:
    case rtu::kWriteMultiple: {
        const WriteBlock b = decodeWrite(f);
        if (b.error)
            return exceptionReply(station, function, b.error);
        if (const Exception e = drive.write(b.start, b.values, now))
            return exceptionReply(station, function, e);
        if (function == rtu::kWriteSingle)
            return f; // the echo
        Frame reply(f.begin(), f.begin() + 6);
        rtu::appendCrc(reply);
        return reply;
    }
    default:
        return exceptionReply(station, function, IllegalFunction);
    }
}

void Bus::broadcast(const Frame& f, Clock::time_point now) {
    if (f[1] != rtu::kWriteSingle && f[1] != rtu::kWriteMultiple)
        return; // a read to everybody cannot be answered; drives ignore it
    const WriteBlock b = decodeWrite(f);
    if (b.error)
        return;
    for (auto& [address, s] : stations_) {
        ++s.broadcasts;
        if (silent(s) || s.faults.mode == FaultMode::Exception)
            continue; // a dead or refusing drive does not take it either
        s.drive.write(b.start, b.values, now);
    }
}

std::optional<Answer> Bus::handle(const Frame& frame, Clock::time_point now) {
    // Shorter than station, function and CRC is line noise, whatever its last two bytes.
    if (frame.size() < 4 || rtu::checkReplyCrc(frame.data(), frame.size()) != 1)
        return std::nullopt;
    if (frame[0] == rtu::kBroadcast) {
        broadcast(frame, now);
        return std::nullopt;
    }
    Station* s = find(frame[0]);
    if (s == nullptr)
        return std::nullopt;
    ++s->requests;

    const FaultSettings& fs = s->faults;
    if (silent(*s))
        return std::nullopt;
    ++s->answeredSinceSet;

    Answer a;
    a.delayMs = fs.delayMs;
    if (fs.mode == FaultMode::Exception) {
        a.reply = exceptionReply(frame[0], frame[1], DeviceFailure);
        return a;
    }
    a.reply = carryOut(s->drive, frame, now);
    if (fs.mode == FaultMode::BadCrc) {
        a.reply[a.reply.size() - 2] ^= 0xFF;
    } else if (fs.mode == FaultMode::BadFunction) {
        a.reply.resize(a.reply.size() - 2);
        a.reply[1] ^= 0x40;
        rtu::appendCrc(a.reply);
    }
    return a;
}

} // namespace kvd::sim
