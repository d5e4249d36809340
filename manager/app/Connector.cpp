#include "Connector.h"

#include "ModuleFile.h"
#include "PortList.h"
#include "ResourceLibrary.h"
#include "TextLines.h"
#include "link/Exchange.h"
#include "link/PortNames.h"
#include "link/StationList.h"
#include "resources/StringIds.h"

#include <utility>

namespace kvd {
namespace {

constexpr int kQueueSize = 2048;

// The wait cursor for the stretch that blocks on the line; off again before any box.
class BusyCursor {
public:
    explicit BusyCursor(ConnectionHost& host) : host_(host) {}
    ~BusyCursor() { set(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void set(bool on) {
        if (on != on_) {
            on_ = on;
            host_.setBusy(on);
        }
    }

private:
    ConnectionHost& host_;
    bool on_ = false;
};

struct PortChoice {
    std::string linkPort; // as InitComm takes it
    bool tcp = false;
};

// Turns the port entry into the link's port name and stores the port in the settings.
PortChoice takePort(ConnectionSettings& s, const QString& entry) {
    QString port = portOfEntry(entry);
    if (port == QLatin1String(kTcpPortName)) {
        s.portSelection = -1;
        s.portDevice.clear();
        return {kTcpPortName, true};
    }
    if (isDevicePath(port.toStdString())) {
        s.portDevice = port;
        s.portSelection = comNumberForDevice(port.toStdString()) - 1;
        return {port.toStdString(), false};
    }
    s.portDevice.clear();
    if (port.startsWith(QLatin1String("\\\\.\\")))
        port.remove(0, 4);
    if (port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
        const int number = leadingInt(port.mid(3));
        s.portSelection = number - 1;
        return {number > 0 ? comPortText(number) : port.toStdString(), false};
    }
    // Empty, or a name the program does not know: the open fails and says so.
    s.portSelection = 0;
    return {port.toStdString(), false};
}

// One register of one station. Station 0 is every drive's broadcast address: a read sent
// there could make several drives answer at once, so it counts as a failed exchange.
LinkError readWord(SerialLink& link, int station, std::uint16_t reg, std::uint16_t& word) {
    if (station < 1 || station > 32)
        return LinkCommError;
    std::vector<std::uint16_t> words;
    const LinkError e =
        readRegisters(link, static_cast<std::uint8_t>(station), reg, 1, words, Pacing::Direct);
    if (e == LinkOk)
        word = words[0];
    return e;
}

QString joined(const QList<int>& stations) {
    QStringList parts;
    for (int s : stations)
        parts.append(QString::number(s));
    return parts.join(u',');
}

} // namespace

Connector::Connector(AppState& state, Prompter& prompter, ConnectionHost& host)
    : state_(state), prompter_(prompter), host_(host) {}

void Connector::clearStations() {
    state_.stations.clear();
    state_.modelCodes.clear();
    state_.versions.clear();
}

ConnectResult Connector::connect(const ConnectRequest& r) {
    // Opening the port again would drop the running connection behind the keep-alive's back.
    if (state_.connected)
        return ConnectResult::AlreadyConnected;
    clearStations(); // offline: no station is online, whatever an earlier attempt left

    if (r.stationText.isEmpty()) {
        prompter_.message(ids::StationEmpty);
        return ConnectResult::NoStationText;
    }
    const std::string stationText = r.stationText.toStdString();
    const StationListResult parsed = parseStationList(stationText);
    if (!parsed.ok()) {
        prompter_.message(parsed.error);
        return ConnectResult::BadStationText;
    }
    state_.stations = QList<int>(parsed.stations.begin(), parsed.stations.end());

    ConnectionSettings& s = state_.settings;
    s.baudIndex = r.baudIndex;
    s.dataBitsIndex = r.dataBitsIndex;
    s.parityIndex = r.parityIndex;
    s.stopBitsIndex = r.stopBitsIndex;
    s.stationText = r.stationText;

    const PortChoice port = takePort(s, r.portEntry);
    const ModuleEntry* module = nullptr;
    if (port.tcp) {
        if (!r.modules.empty()) {
            const bool chosen =
                r.moduleIndex >= 0 && static_cast<std::size_t>(r.moduleIndex) < r.modules.size();
            module = &r.modules[chosen ? static_cast<std::size_t>(r.moduleIndex) : 0];
        } else if (s.moduleHost.isEmpty()) {
            prompter_.messageText(QStringLiteral("no nx40!"));
        }
    }

    BusyCursor busy(host_);
    busy.set(true);
    SerialLink& link = state_.ensureLink();
    if (port.tcp) {
        // Without a module the peer of an earlier connection must not be reached silently.
        if (module)
            link.setTcpPeer(module->host, module->port);
        else
            link.setTcpPeer(s.moduleHost.toStdString(), s.modulePort);
    }
    if (link.InitComm(port.linkPort, s.baud(), s.dataBits(), s.parity(), s.stopBits(), kQueueSize,
                      kQueueSize) == 0) {
        state_.link.reset();
        clearStations();
        busy.set(false);
        prompter_.message(ids::CantOpenPort);
        return ConnectResult::PortFailed;
    }

    const auto commFailed = [&] {
        link.Close();
        clearStations();
        busy.set(false);
        prompter_.message(ids::CommunicationError);
        return ConnectResult::CommFailed;
    };

    // The drive family: a drive of another series may map its registers differently.
    for (int station : std::as_const(state_.stations)) {
        std::uint16_t family = 0;
        if (readWord(link, station, kFamilyRegister, family) != LinkOk)
            return commFailed();
        if (family != kFamilyWord) {
            busy.set(false);
            if (prompter_.ask(ids::InverterTypeMismatch, Buttons::YesNo, {}, Icon::Information) !=
                Answer::Yes) {
                link.Close();
                clearStations();
                return ConnectResult::FamilyDeclined;
            }
            busy.set(true);
        }
    }

    QList<int> failed;
    for (int station : std::as_const(state_.stations)) {
        std::uint16_t runSource = 0;
        if (readWord(link, station, 0x0002, runSource) != LinkOk)
            return commFailed();
        state_.cachedRunSource = runSource;
        std::uint16_t model = 0;
        std::uint16_t version = 0;
        const LinkError modelRead = readWord(link, station, 0x0D00, model);
        const LinkError versionRead = readWord(link, station, 0x0D01, version);
        if (modelRead == LinkOk && versionRead == LinkOk) {
            state_.modelCodes.append(model);
            state_.versions.append(version);
        } else {
            failed.append(station);
        }
    }
    if (!failed.isEmpty()) {
        state_.dropLink();
        clearStations();
        busy.set(false);
        prompter_.messageText(resText(ids::StationConnectFailure) + joined(failed) + u'!');
        return ConnectResult::StationsFailed;
    }

    state_.connected = true;
    state_.viaModule = port.tcp;
    lastModuleMac_ = module ? QString::fromStdString(module->mac) : QString();
    host_.setKeepAlive(true);
    state_.driveModelCode = state_.modelCodes.value(0);
    writeModuleFile(state_.programFolder, state_.tempFolder, r.portEntry.trimmed(), lastModuleMac_,
                    r.modules);
    SaveConnectionSettings(s, state_.programFolder, state_.tempFolder);
    state_.stationText = s.stationText;
    host_.showStatus(1, QString::asprintf("%.3f", state_.versions.value(0) * 0.001));
    host_.showStatus(2, state_.stationText);
    host_.showStatus(4, resText(ids::Online));
    busy.set(false);
    prompter_.message(ids::LinkSuccessful, {}, Icon::Information);
    return ConnectResult::Connected;
}

void Connector::disconnect() {
    if (state_.autoUpdateOn)
        host_.stopAutoUpdate();
    if (state_.link) {
        state_.dropLink();
        state_.connected = false;
        state_.viaModule = false;
    }
    if (!state_.connected) {
        host_.setKeepAlive(false);
        clearStations();
    }
    host_.showStatus(1, QString());
    host_.showStatus(2, QString());
    host_.showStatus(4, resText(ids::PaneUnlink));
}

void Connector::poll() {
    // A message box of this tick runs the event loop; the next tick must not start inside it
    // and work on the list this one is walking.
    if (polling_ || !state_.connected || !state_.link)
        return;
    polling_ = true;
    const QList<int> stations = state_.stations;
    for (int station : stations) {
        if (!state_.link || !state_.connected)
            break; // disconnected while a message was shown
        const auto request =
            rtu::readRequest(static_cast<std::uint8_t>(station), kKeepAliveRegister, 1);
        std::uint8_t reply[rtu::readReplyLength(1)];
        // Only the result counts: a drive that answers at all is alive.
        if (state_.link->CommandSend(request.data(), static_cast<int>(request.size()), reply,
                                     static_cast<int>(sizeof reply)) == LinkOk)
            continue;
        const qsizetype i = state_.stations.indexOf(station);
        if (i >= 0) {
            state_.stations.removeAt(i);
            // The model codes and versions stay in step with the stations.
            if (i < state_.modelCodes.size())
                state_.modelCodes.removeAt(i);
            if (i < state_.versions.size())
                state_.versions.removeAt(i);
        }
        if (state_.autoUpdateStation == station)
            state_.autoUpdateOn = false;
        prompter_.message(ids::StationDropped, {QString::number(station)});
    }
    if (state_.connected && !state_.stations.isEmpty()) {
        host_.showStatus(2, joined(state_.stations));
    } else if (state_.connected) {
        if (state_.link)
            state_.link->Close();
        state_.connected = false;
        state_.viaModule = false;
        host_.setKeepAlive(false);
        host_.showStatus(1, QString());
        host_.showStatus(2, QString());
        host_.showStatus(4, resText(ids::PaneUnlink));
    }
    polling_ = false;
}

} // namespace kvd
