// What every kvd command shares: exit statuses, the program-wide state, the project document
// without windows, and the connection to the drives from the --port, --baud and --format
// options.
#pragma once

#include "Arguments.h"
#include "ConsolePrompter.h"
#include "app/AppState.h"
#include "app/CQ770Doc.h"
#include "app/Connector.h"
#include "app/DocumentHost.h"
#include "app/TransferHost.h"

#include <QString>

#include <memory>

namespace kvd::cli {

// Exit statuses: 0 only when everything asked was done.
enum Exit : int {
    ExitOk = 0,
    ExitFailed = 1, // a drive, the line or a file did not do what was asked
    ExitUsage = 2,  // the command line is wrong (options, station list, values)
};

// The line options of every command that talks to drives.
inline constexpr OptionSpec kPortOption{"port", 'p', "PORT"};
inline constexpr OptionSpec kBaudOption{"baud", 'b', "BAUD"};
inline constexpr OptionSpec kFormatOption{"format", 0, "8N2"};
inline constexpr OptionSpec kYesOption{"yes", 'y', nullptr};
inline constexpr OptionSpec kQuietOption{"quiet", 'q', nullptr};
inline constexpr OptionSpec kHelpOption{"help", 'h', nullptr};

// Where and how to reach the drives.
struct LineOptions {
    ConnectRequest request; // port entry and the serial settings; stations are set later
    QString moduleHost;     // "TCPIP": the Ethernet module's address
    int modulePort = 0;
};

// --port COM3 | /dev/ttyUSB0 | tcp:HOST[:PORT] | TCPIP, --baud 4800|9600|19200|38400,
// --format 7E1..8N2. False with `error` set for a value the connection dialog could not
// have chosen.
bool lineOptionsFrom(const Arguments& args, LineOptions& out, QString& error);

// The station text of --station or --stations checked as the connection checks it, and
// beyond that for stations 1 to 32 (the parser takes a piece that is no number as station
// 0, the broadcast address). A bad text is reported with the program's message where it has
// one. `single` requires exactly one station.
bool checkStationText(const QString& text, bool single, ConsolePrompter& prompter,
                      const QString& command);

// The windows' side of the document, for a tool that has no windows.
class HeadlessDocumentHost : public DocumentHost, public FileChooser {
public:
    void showStatus(int, const QString&) override {}
    void rebuildProjectTree() override {}
    QString resourceText(int stringId) const override;
    void showProject(CQ770Doc&, const QString&) override {}
    void setProjectTitle(const QString&) override {}
    void projectClosed() override {}
    void addRecentFile(const QString&) override {}
    void removeRecentFile(const QString&) override {}
    // A tool never asks for a path: every path comes from the command line.
    QString openPath(const FileFilter&) override { return {}; }
    QString savePath(const QString&, const FileFilter&) override { return {}; }
};

// The station dialogs, answered with the station of the command line.
class FixedStation : public StationChooser {
public:
    explicit FixedStation(int station) : station_(station) {}
    std::optional<int> chooseStation(int, const QList<int>&) override { return station_; }

private:
    int station_;
};

class Session : public ConnectionHost, public TransferHost {
public:
    Session(const QString& programFolder, ConsolePrompter& prompter);
    ~Session() override;

    AppState& state() { return state_; }
    ConsolePrompter& prompter() { return prompter_; }

    // A project built from the data files for the state's model and region.
    std::unique_ptr<CQ770Doc> newDocument();
    // A project file opened as Open does; null (the reason already shown) when it fails.
    std::unique_ptr<CQ770Doc> openDocument(const QString& path);
    // Saves the project under `path`; false (61537 shown) when it cannot be written.
    bool saveDocument(CQ770Doc& doc, const QString& path);

    // Connects to the stations of `stationText` as the Connect button does. ExitOk when all
    // of them are online, ExitUsage for a station text the connection refuses, else
    // ExitFailed; every failure has been reported.
    int connect(const LineOptions& line, const QString& stationText);
    void disconnect();

    // What the Read and Write commands work with, for one station.
    TransferContext transferContext(FixedStation& station) {
        return {state_, prompter_, station, *this};
    }

    // ConnectionHost: a tool has no status bar and no keep-alive timer.
    void showStatus(int, const QString&) override {}
    // TransferHost: nor a list view.
    void refreshList() override {}

private:
    AppState state_;
    ConsolePrompter& prompter_;
    HeadlessDocumentHost host_;
    std::unique_ptr<Connector> connector_;
};

} // namespace kvd::cli
