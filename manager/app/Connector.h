// Connecting to the stations of the line, disconnecting, and the keep-alive that drops
// stations which stop answering. No widgets: the connection dialog, the main frame's timer
// and the tests all call these methods.
#pragma once

#include "AppState.h"
#include "Prompter.h"
#include "link/ModuleEntry.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace kvd {

// What the connection needs of the main window.
class ConnectionHost {
public:
    virtual ~ConnectionHost() = default;
    // Status bar pane 0..4 (1 version, 2 stations, 4 online/unlink).
    virtual void showStatus(int pane, const QString& text) = 0;
    // Starts (every 10 s) or stops the timer that calls Connector::poll().
    virtual void setKeepAlive(bool running) { (void)running; }
    // Wait cursor while the link opens and the stations are probed; always balanced, and
    // switched off before any message or question.
    virtual void setBusy(bool busy) { (void)busy; }
    // Stops the automatic update of the project view, if one is active.
    virtual void stopAutoUpdate() {}
};

// The choices of the connection dialog.
struct ConnectRequest {
    QString portEntry; // the port list's text: "COM3 : USB Serial Port", "TCPIP", a path
    int baudIndex = 2;
    int dataBitsIndex = 1;
    int parityIndex = 2;
    int stopBitsIndex = 1;
    QString stationText;
    std::vector<ModuleEntry> modules; // the modules found for "TCPIP"
    int moduleIndex = -1;             // the one chosen; the first when none is
};

enum class ConnectResult {
    Connected,
    AlreadyConnected,
    NoStationText,  // 61464
    BadStationText, // the parser's message
    PortFailed,     // 61468
    FamilyDeclined, // 61555 answered No
    CommFailed,     // 61479
    StationsFailed, // 61469
};

class Connector {
public:
    Connector(AppState& state, Prompter& prompter, ConnectionHost& host);

    // Parses the stations, opens the port or the module link, checks each station's drive
    // family at 0x252F and probes 00-02, 13-00 and 13-01. On success the program is online,
    // the keep-alive runs and both settings files are written; otherwise nothing stays open
    // or online and the user has been told why.
    ConnectResult connect(const ConnectRequest& request);
    // Closes the link; the program goes offline.
    void disconnect();
    // One keep-alive tick: 0x2501 of every online station; a station that does not answer is
    // dropped with a message, and the connection ends with the last one.
    void poll();

    // The MAC of the module the last successful "TCPIP" connection went through.
    const QString& lastModuleMac() const { return lastModuleMac_; }

    AppState& state() { return state_; }
    Prompter& prompter() { return prompter_; }

    static constexpr int kKeepAliveMs = 10000;
    static constexpr std::uint16_t kFamilyRegister = 0x252F;
    static constexpr std::uint16_t kFamilyWord = 0x0100;
    static constexpr std::uint16_t kKeepAliveRegister = 0x2501;

private:
    void clearStations();

    AppState& state_;
    Prompter& prompter_;
    ConnectionHost& host_;
    QString lastModuleMac_;
    bool polling_ = false;
};

} // namespace kvd
