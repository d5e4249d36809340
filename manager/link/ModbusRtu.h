// Modbus RTU framing shared by the program, the command-line tool and the drive simulator.
// Transport-free: it only builds and checks byte frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kvd {

// Result of one exchange, the value CommandSend returns.
enum LinkError : int {
    LinkOk = 0,
    LinkCrcError = 1,
    LinkTimeout = 2,
    LinkCommError = 3,
};

namespace rtu {

constexpr std::uint8_t kReadHolding = 0x03;
constexpr std::uint8_t kWriteSingle = 0x06;
constexpr std::uint8_t kWriteMultiple = 0x10;

constexpr int kMaxReadCount = 30;                           // registers per 0x03 request
constexpr int kMaxWriteCount = 23;                          // registers per 0x10 request
constexpr std::size_t kMaxRequest = 9 + 2 * kMaxWriteCount; // 55
constexpr std::size_t kMaxReply = 5 + 2 * kMaxReadCount;    // 65
constexpr std::uint8_t kBroadcast = 0;

// The Modbus CRC-16 (polynomial 0xA001 reflected, start 0xFFFF).
std::uint16_t crc16(const std::uint8_t* data, std::size_t length);
inline std::uint16_t crc16(std::span<const std::uint8_t> bytes) {
    return crc16(bytes.data(), bytes.size());
}

// Appends the CRC, low byte first.
void appendCrc(std::vector<std::uint8_t>& frame);

// 1 when length >= 2 and the last two bytes (low first) are the CRC of the bytes before.
int checkReplyCrc(const std::uint8_t* data, std::size_t length);

// Requests, CRC included. Counts outside 1..30 (read) or 1..23 (write) are the caller's fault;
// the builders clamp nothing and assert nothing, so the simulator can build bad frames too.
std::vector<std::uint8_t> readRequest(std::uint8_t station, std::uint16_t start,
                                      std::uint16_t count);
std::vector<std::uint8_t> writeSingleRequest(std::uint8_t station, std::uint16_t reg,
                                             std::uint16_t value);
std::vector<std::uint8_t> writeMultipleRequest(std::uint8_t station, std::uint16_t start,
                                               std::span<const std::uint16_t> values);

// Expected reply lengths.
constexpr std::size_t readReplyLength(int count) {
    return 5 + 2 * static_cast<std::size_t>(count);
}
constexpr std::size_t writeReplyLength() {
    return 8;
}
constexpr std::size_t exceptionReplyLength() {
    return 5;
}

// Word k of a 0x03 reply (bytes 3+2k, 4+2k, high first). No bounds check beyond the span.
std::uint16_t replyWord(std::span<const std::uint8_t> reply, int k);

// An exchange with result 0 counts only when byte 1 echoes the function sent; otherwise it is
// a communication error.
LinkError acceptReply(LinkError result, std::span<const std::uint8_t> reply, std::uint8_t function);

// A complete exception reply: station, function|0x80, code, CRC.
bool isExceptionReply(const std::uint8_t* data, std::size_t length);

// String id of the message for a failed exchange.
int linkErrorMessage(LinkError e);

} // namespace rtu
} // namespace kvd
