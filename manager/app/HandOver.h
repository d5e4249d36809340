// The one-shot hand-over file curfile.ini that another program may leave in the user's
// temporary folder: open a project (mode 1) or connect to one drive (mode 2). Read once at
// start-up and deleted.
#pragma once

#include "AppState.h"
#include "Prompter.h"
#include "link/ModbusRtu.h"

#include <QString>

namespace kvd {

// What the hand-over needs of the main window.
class StartupHost {
public:
    virtual ~StartupHost() = default;
    // Opens a project file as a visible document; false when it fails (the document's own
    // open path reports why).
    virtual bool openProject(const QString& path) = 0;
    // A new empty project titled "New Project", with the project tree rebuilt.
    virtual void newOnlineProject() = 0;
    // Status bar pane 0..4.
    virtual void showStatus(int pane, const QString& text) = 0;
};

// The project file named on the command line (argument 1), with the "/dde" that the
// shell's open verb appends cut off; empty when none is named.
QString commandLineFile(const QStringList& arguments);

constexpr const char* kHandOverFile = "curfile.ini";

enum class HandOverResult {
    NoFile,
    Nothing,
    Opened,
    OpenFailed,
    Connected,
    PortFailed,
    ProbeFailed
};

// Reads and deletes `tempFolder`/curfile.ini and carries out its mode. `settingsFolder` and
// `tempFolder` are where the connection settings are saved.
HandOverResult processHandOver(AppState& state, Prompter& prompter, StartupHost& host,
                               const QString& tempFolder);

// The probe of one station after the link is open: 00-02, then 13-00 and 13-01 together
// (paced). On success the station's model code and version are appended to the state.
LinkError probeStation(AppState& state, int station);

} // namespace kvd
