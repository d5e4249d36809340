#include "ModbusRtu.h"

#include "resources/StringIds.h"

namespace kvd::rtu {

std::uint16_t crc16(const std::uint8_t* data, std::size_t length) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

void appendCrc(std::vector<std::uint8_t>& frame) {
    const std::uint16_t crc = crc16(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

int checkReplyCrc(const std::uint8_t* data, std::size_t length) {
    if (data == nullptr || length < 2)
        return 0;
    const std::uint16_t crc = crc16(data, length - 2);
    return (data[length - 2] == (crc & 0xFF) && data[length - 1] == (crc >> 8)) ? 1 : 0;
}

static void put16(std::vector<std::uint8_t>& f, std::uint16_t v) {
    f.push_back(static_cast<std::uint8_t>(v >> 8));
    f.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

std::vector<std::uint8_t> readRequest(std::uint8_t station, std::uint16_t start,
                                      std::uint16_t count) {
    std::vector<std::uint8_t> f{station, kReadHolding};
    put16(f, start);
    put16(f, count);
    appendCrc(f);
    return f;
}

std::vector<std::uint8_t> writeSingleRequest(std::uint8_t station, std::uint16_t reg,
                                             std::uint16_t value) {
    std::vector<std::uint8_t> f{station, kWriteSingle};
    put16(f, reg);
    put16(f, value);
    appendCrc(f);
    return f;
}

std::vector<std::uint8_t> writeMultipleRequest(std::uint8_t station, std::uint16_t start,
                                               std::span<const std::uint16_t> values) {
    std::vector<std::uint8_t> f{station, kWriteMultiple};
    put16(f, start);
    put16(f, static_cast<std::uint16_t>(values.size()));
    f.push_back(static_cast<std::uint8_t>(2 * values.size()));
    for (std::uint16_t v : values)
        put16(f, v);
    appendCrc(f);
    return f;
}

std::uint16_t replyWord(std::span<const std::uint8_t> reply, int k) {
    if (k < 0)
        return 0;
    const std::size_t hi = 3 + 2 * static_cast<std::size_t>(k);
    if (hi + 1 >= reply.size())
        return 0;
    return static_cast<std::uint16_t>(reply[hi] << 8 | reply[hi + 1]);
}

LinkError acceptReply(LinkError result, std::span<const std::uint8_t> reply,
                      std::uint8_t function) {
    if (result != LinkOk)
        return result;
    if (reply.size() < 2 || reply[1] != function)
        return LinkCommError;
    return LinkOk;
}

bool isExceptionReply(const std::uint8_t* data, std::size_t length) {
    return length == exceptionReplyLength() && (data[1] & 0x80) != 0 &&
           checkReplyCrc(data, length) == 1;
}

int linkErrorMessage(LinkError e) {
    switch (e) {
    case LinkCrcError:
        return ids::CrcParityError;
    case LinkTimeout:
        return ids::TimeOut;
    default:
        return ids::CommunicationError;
    }
}

} // namespace kvd::rtu
