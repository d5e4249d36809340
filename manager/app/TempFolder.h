#pragma once

#include <QString>

namespace kvd {

// The user's private temporary folder (mode 0700): $XDG_RUNTIME_DIR when set, else a
// per-user folder below the system's temporary folder, created if needed and refused when
// another user owns it or others may write to it. Empty when no safe folder exists.
QString userTempFolder();

} // namespace kvd
