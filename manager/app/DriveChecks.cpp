#include "DriveChecks.h"

#include "link/Exchange.h"
#include "link/ModbusRtu.h"
#include "resources/StringIds.h"

#include <cstdint>
#include <vector>

namespace kvd {
namespace {

constexpr std::uint16_t kPasswordRegister = 0x0D07; // 13-07
constexpr std::uint16_t kPasswordSet = 2;           // what 13-07 reads while locked
constexpr std::uint16_t kStatusRegister = 0x2520;
constexpr std::uint16_t kRunningBit = 0x0001;

} // namespace

std::optional<bool> checkPasswordState(AppState& state, Prompter& prompter, int station) {
    std::vector<std::uint16_t> words;
    if (!state.link || readRegisters(*state.link, static_cast<std::uint8_t>(station),
                                     kPasswordRegister, 1, words, Pacing::Paced) != LinkOk) {
        prompter.message(ids::ReadPasswordError);
        return std::nullopt;
    }
    return words[0] == kPasswordSet;
}

std::optional<bool> checkRunning(AppState& state, Prompter& prompter, int station) {
    std::vector<std::uint16_t> words;
    const LinkError e = state.link ? readRegisters(*state.link, static_cast<std::uint8_t>(station),
                                                   kStatusRegister, 1, words)
                                   : LinkCommError;
    if (e != LinkOk) {
        prompter.message(rtu::linkErrorMessage(e));
        return std::nullopt;
    }
    return (words[0] & kRunningBit) != 0;
}

} // namespace kvd
