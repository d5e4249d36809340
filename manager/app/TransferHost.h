// What the parameter transfers (read, write, automatic update) need of the windows: the
// station dialogs and the list view. The main window implements them with widgets, tests
// with scripted doubles.
#pragma once

#include "AppState.h"
#include "Prompter.h"

#include <QList>

#include <optional>

namespace kvd {

class StationChooser {
public:
    virtual ~StationChooser() = default;
    // Dialog `dialogId` ("Read" 172 or "Station Select" 192) offering `stations` in their
    // order with the first selected. The chosen station; 0 when the list is empty (which
    // addresses every drive); nothing when cancelled.
    virtual std::optional<int> chooseStation(int dialogId, const QList<int>& stations) = 0;
};

class TransferHost {
public:
    virtual ~TransferHost() = default;
    // The list view shows the project's values again (every listed group).
    virtual void refreshList() = 0;
};

// The pieces every transfer command works with.
struct TransferContext {
    AppState& state;
    Prompter& prompter;
    StationChooser& stations;
    TransferHost& host;
};

} // namespace kvd
