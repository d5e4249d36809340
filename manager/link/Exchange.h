// One Modbus request and its reply over the link, with the reply checks every caller uses:
// the link verifies length and CRC, this layer the echoed function byte.
#pragma once

#include "ModbusRtu.h"
#include "SerialLink.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kvd {

enum class Pacing { Direct, Paced };

// Reads `count` (1..30) registers from `start`; `words` receives them on success.
LinkError readRegisters(SerialLink& link, std::uint8_t station, std::uint16_t start, int count,
                        std::vector<std::uint16_t>& words, Pacing pacing = Pacing::Direct);

// Function 0x06, reply is the echo.
LinkError writeRegister(SerialLink& link, std::uint8_t station, std::uint16_t reg,
                        std::uint16_t value, Pacing pacing = Pacing::Direct);

// Function 0x10 with 1..23 values.
LinkError writeRegisters(SerialLink& link, std::uint8_t station, std::uint16_t start,
                         std::span<const std::uint16_t> values, Pacing pacing = Pacing::Direct);

// A single-register write to every station (address 0): sent, then a 100 ms pause for the
// drives to act; nobody answers, so it counts as done.
void broadcastWrite(SerialLink& link, std::uint16_t reg, std::uint16_t value);

} // namespace kvd
