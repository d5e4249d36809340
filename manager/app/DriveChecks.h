// The two checks every write to a drive makes first. Each shows its own message box when
// the exchange fails and then returns nothing; otherwise it returns the flag it reads.
#pragma once

#include "AppState.h"
#include "Prompter.h"

#include <optional>

namespace kvd {

// Reads 13-07 (paced): true when a password is set (the word reads 2). A failed exchange or a
// wrong function byte shows 61520.
std::optional<bool> checkPasswordState(AppState& state, Prompter& prompter, int station);

// Reads the status word 0x2520 (direct): true when bit 0 (running) is set. A failed exchange
// shows its link message, a wrong function byte "Communication error!".
std::optional<bool> checkRunning(AppState& state, Prompter& prompter, int station);

} // namespace kvd
