// Writing one row of a group page to a drive (the row button), and the drive side of the
// tabbed window's "Transmit Group". Operations without widgets: the page hands over the row's
// value text and a way to mark its field; everything the user learns goes through the
// Prompter.
#pragma once

#include "AppState.h"
#include "CQ770Doc.h"
#include "Prompter.h"
#include "TransferHost.h"
#include "params/PageTable.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvd {

// What the pages and their window work with.
struct PageContext {
    AppState& state;
    CQ770Doc& doc;
    Prompter& prompter;
    StationChooser& stations;
    // The list view shows the group's rows again (values and modified marks).
    std::function<void(int group)> groupChanged;
};

// What a page keeps per row while it is open.
struct RowCache {
    std::string text;     // the text last taken from the row for a drive
    bool written = false; // the row's value went to a drive from this window
};

// The row as the page hands it to the writer.
struct RowInput {
    std::optional<std::string> text; // the control's value text; empty: it holds no value
    std::function<void()> markField; // focus and select the field before "Beyond the range!"
};

enum class RowWriteResult {
    Written,
    NotConnected, // 61539
    Stopped,      // dialog 192 cancelled, or the password or running check ended it
    Refused,      // a rule, the range, a read-only row or a running drive refused the value
    LinkFailed,   // an exchange with the drive failed
};

// The row button of `row` on `page`: connection, station, password, running bit, the page's
// drive reads, range, read-only refusal, the rules between parameters, then one paced 0x06
// request. Success clears the item's modified mark and sets the row's written flag; the
// item's edit value stays as it is until the window is confirmed.
RowWriteResult writeRow(PageContext& context, const PageSpec& page, int row, const RowInput& input,
                        RowCache& cache);

// "Transmit Group" before the pages are checked: dialog 192, password, running bit and the
// drive's version. The station to send to; nothing when the transmit ends here.
std::optional<int> prepareTransmit(PageContext& context);

// How a group reaches a drive: writeGroup of the transfers, or a stand-in in tests.
using GroupWrite =
    std::function<bool(AppState& state, Prompter& prompter, double driveVersion, int group,
                       const std::vector<std::string>& values, int station)>;

// Sends the group's value list. Success shows 61541 and clears the modified marks of all the
// group's items; failure shows the last-error text and leaves the marks.
bool transmitGroup(PageContext& context, const GroupWrite& write, int group,
                   const std::vector<std::string>& values, int station);

} // namespace kvd
