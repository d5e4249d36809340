// Connecting, the keep-alive and disconnecting, against the drive simulator on a real
// pseudo-terminal or loopback TCP.
#include "app/ConnectionSettings.h"
#include "app/Connector.h"
#include "app/ModuleFile.h"
#include "app/PortList.h"
#include "app/ResourceLibrary.h"
#include "drive-sim/Simulator.h"
#include "link/ModbusRtu.h"
#include "link/StationList.h"
#include "resources/StringIds.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <mutex>
#include <sstream>

using namespace kvd;
using kvdtest::ScriptedPrompter;
using Frame = std::vector<std::uint8_t>;

namespace {

// The requests the simulated line received, in order.
class FrameLog {
public:
    void add(std::string_view line) {
        if (!line.starts_with("rx "))
            return;
        std::istringstream in{std::string(line.substr(3))};
        Frame f;
        unsigned b = 0;
        while (in >> std::hex >> b)
            f.push_back(static_cast<std::uint8_t>(b));
        std::lock_guard lock(mu_);
        frames_.push_back(f);
    }
    std::vector<Frame> take() {
        std::lock_guard lock(mu_);
        return std::exchange(frames_, {});
    }

private:
    std::mutex mu_;
    std::vector<Frame> frames_;
};

Frame read1(int station, std::uint16_t reg) {
    return rtu::readRequest(static_cast<std::uint8_t>(station), reg, 1);
}

sim::StationConfig drive(int address, int model = 1205, std::uint16_t version = 1100,
                         std::uint16_t family = 0x0100) {
    sim::StationConfig c;
    c.address = address;
    c.modelCode = model;
    c.version = version;
    c.family = family;
    return c;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The main window's side: status panes, the keep-alive timer, the wait cursor.
class RecordingHost : public ConnectionHost {
public:
    QString status[5];
    bool keepAlive = false;
    bool busy = false;
    int autoUpdateStops = 0;
    void showStatus(int pane, const QString& text) override { status[pane] = text; }
    void setKeepAlive(bool running) override { keepAlive = running; }
    void setBusy(bool on) override { busy = on; }
    void stopAutoUpdate() override { ++autoUpdateStops; }
};

// Notes whether a box came up under the wait cursor, and lets a test act inside a box.
class HookedPrompter : public ScriptedPrompter {
public:
    explicit HookedPrompter(const RecordingHost& host) : host_(host) {}
    std::function<void()> inBox;
    bool boxWhileBusy = false;
    void message(int id, const QStringList& args, Icon icon) override {
        ScriptedPrompter::message(id, args, icon);
        box();
    }
    void messageText(const QString& text, Icon icon) override {
        ScriptedPrompter::messageText(text, icon);
        box();
    }
    Answer ask(int id, Buttons buttons, const QStringList& args, Icon icon) override {
        box();
        return ScriptedPrompter::ask(id, buttons, args, icon);
    }

private:
    void box() {
        boxWhileBusy |= host_.busy;
        if (inBox)
            inBox();
    }
    const RecordingHost& host_;
};

class ConnectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(ResourceLibrary::instance().load(KVD_BIN_DIR)); }

    void SetUp() override {
        state.programFolder = program.path() + "/";
        state.tempFolder = temp.path();
    }

    // A line of drives on a pseudo-terminal (or on loopback TCP).
    void startLine(std::vector<sim::StationConfig> stations, bool tcp = false) {
        sim::Options o;
        o.stations = std::move(stations);
        o.trace = [log = log](std::string_view line) { log->add(line); };
        line = std::make_unique<sim::Simulator>(o);
        if (tcp)
            ASSERT_TRUE(line->startTcp("127.0.0.1", 0));
        else
            ASSERT_TRUE(line->startPty());
    }

    ConnectRequest request(const QString& stations) const {
        ConnectRequest r;
        r.portEntry = line ? QString::fromStdString(line->devicePath()) : QString();
        r.baudIndex = 1;
        r.dataBitsIndex = 1;
        r.parityIndex = 2;
        r.stopBitsIndex = 1;
        r.stationText = stations;
        return r;
    }

    ConnectResult connect(const ConnectRequest& r) {
        // Silent stations cost one time-out each; keep them short.
        state.ensureLink().setReplyTimeout(std::chrono::milliseconds(150));
        return connector.connect(r);
    }

    QByteArray settingsFile() const { return readFile(program.filePath(kConnectionFile)); }
    QByteArray moduleFile() const { return readFile(program.filePath(kModuleFile)); }
    bool linkOpen() const { return state.link && state.link->isOpen(); }

    QTemporaryDir program, temp;
    AppState state;
    RecordingHost host;
    HookedPrompter prompter{host};
    Connector connector{state, prompter, host};
    std::shared_ptr<FrameLog> log = std::make_shared<FrameLog>();
    std::unique_ptr<sim::Simulator> line;
};

} // namespace

TEST_F(ConnectTest, ConnectsEveryStationAfterTheFamilyCheckAndTheProbe) {
    startLine({drive(1, 402, 1230), drive(2, 403, 1240, 0x0200), drive(3, 1205, 1250)});
    line->station(1).setRegister(0x0002, 1);
    line->station(3).setRegister(0x0002, 2);
    prompter.plan({Answer::Yes}); // station 2 belongs to another drive family

    EXPECT_EQ(connect(request("1-3")), ConnectResult::Connected);

    ASSERT_EQ(prompter.questionIds(), std::vector<int>{ids::InverterTypeMismatch});
    EXPECT_EQ(prompter.questions[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompter.questions[0].icon, Icon::Information);
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::LinkSuccessful});
    EXPECT_FALSE(prompter.boxWhileBusy);
    EXPECT_FALSE(host.busy);

    // The family of every station first, then 00-02, 13-00 and 13-01 of each, one word each.
    EXPECT_EQ(log->take(),
              (std::vector<Frame>{read1(1, 0x252F), read1(2, 0x252F), read1(3, 0x252F),
                                  read1(1, 0x0002), read1(1, 0x0D00), read1(1, 0x0D01),
                                  read1(2, 0x0002), read1(2, 0x0D00), read1(2, 0x0D01),
                                  read1(3, 0x0002), read1(3, 0x0D00), read1(3, 0x0D01)}));

    EXPECT_TRUE(state.connected);
    EXPECT_FALSE(state.viaModule);
    EXPECT_TRUE(linkOpen());
    EXPECT_EQ(state.stations, (QList<int>{1, 2, 3}));
    EXPECT_EQ(state.modelCodes, (QList<int>{402, 403, 1205}));
    EXPECT_EQ(state.versions, (QList<int>{1230, 1240, 1250}));
    EXPECT_EQ(state.driveModelCode, 402);
    EXPECT_EQ(state.cachedRunSource, 2); // the last station probed
    EXPECT_EQ(state.stationText, "1-3");
    EXPECT_TRUE(host.keepAlive);
    EXPECT_EQ(host.status[1], "1.230");
    EXPECT_EQ(host.status[2], "1-3");
    EXPECT_EQ(host.status[4], "Online");

    const QByteArray dev = line->devicePath().c_str();
    EXPECT_EQ(settingsFile(), dev + "\n1\n121\n1-3\n");
    EXPECT_EQ(moduleFile(), dev + "\n");
}

TEST_F(ConnectTest, AnotherDriveFamilyDeclinedStopsBeforeTheProbe) {
    startLine({drive(1), drive(2, 1205, 1100, 0x0200), drive(3)});
    prompter.plan({Answer::No});

    EXPECT_EQ(connect(request("1-3")), ConnectResult::FamilyDeclined);

    EXPECT_EQ(log->take(), (std::vector<Frame>{read1(1, 0x252F), read1(2, 0x252F)}));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_FALSE(state.connected);
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(state.stations.isEmpty());
    EXPECT_FALSE(host.keepAlive);
    EXPECT_FALSE(host.busy);
    EXPECT_TRUE(settingsFile().isEmpty());
    EXPECT_TRUE(moduleFile().isEmpty());
}

TEST_F(ConnectTest, StationsFailingTheModelReadAreListedAndNothingStaysOnline) {
    startLine({drive(1), drive(2), drive(3)});
    line->station(2).setSilentAfter(2); // family and 00-02 answered, 13-00 and 13-01 not
    line->station(3).setSilentAfter(3); // only 13-01 unanswered

    EXPECT_EQ(connect(request("1,2,3")), ConnectResult::StationsFailed);

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "The station num connect failure :2,3!");
    EXPECT_FALSE(prompter.boxWhileBusy);
    // Both model registers are asked even when the first gets no answer.
    EXPECT_EQ(line->station(2).requestCount(), 4u);
    EXPECT_EQ(line->station(3).requestCount(), 4u);
    EXPECT_FALSE(state.connected);
    EXPECT_EQ(state.link, nullptr);
    EXPECT_TRUE(state.stations.isEmpty());
    EXPECT_TRUE(state.modelCodes.isEmpty());
    EXPECT_TRUE(state.versions.isEmpty());
    EXPECT_FALSE(host.keepAlive);
    EXPECT_TRUE(settingsFile().isEmpty());
    EXPECT_TRUE(moduleFile().isEmpty());
}

TEST_F(ConnectTest, FailedExchangesBeforeTheModelReadEndWithCommunicationError) {
    startLine({drive(1), drive(2)});
    const struct {
        const char* what;
        const char* stations;
        std::function<void()> stage;
        std::uint64_t framesToStation2;
    } cases[] = {
        {"family read unanswered", "1,2",
         [&] { line->station(2).setFault(sim::FaultMode::Silent); }, 1},
        {"family read with a bad CRC", "1,2",
         [&] { line->station(2).setFault(sim::FaultMode::BadCrc); }, 1},
        {"family read answered with another function", "1,2",
         [&] { line->station(2).setFault(sim::FaultMode::BadFunction); }, 1},
        {"family read refused with an exception", "1,2",
         [&] { line->station(2).setFault(sim::FaultMode::Exception); }, 1},
        {"00-02 unanswered", "1,2", [&] { line->station(2).setSilentAfter(1); }, 2},
        {"station not on the line", "1,7", [] {}, 0},
        // Not a number counts as station 0, the broadcast address: nothing goes out.
        {"no bus address", "abc", [] {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int s : {1, 2}) {
            line->station(s).clearFaults();
            line->station(s).resetCounters();
        }
        c.stage();
        prompter.clear();
        log->take();

        EXPECT_EQ(connect(request(c.stations)), ConnectResult::CommFailed);
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::CommunicationError});
        EXPECT_FALSE(prompter.boxWhileBusy);
        EXPECT_EQ(line->station(2).requestCount(), c.framesToStation2);
        EXPECT_EQ(line->station(1).broadcastCount(), 0u);
        EXPECT_FALSE(state.connected);
        EXPECT_FALSE(linkOpen());
        EXPECT_TRUE(state.stations.isEmpty());
        EXPECT_FALSE(host.keepAlive);
        EXPECT_TRUE(settingsFile().isEmpty());
    }
}

TEST_F(ConnectTest, BadStationTextsAreRefusedBeforeTheLineIsTouched) {
    startLine({drive(1)});
    const struct {
        const char* text;
        int message;
    } cases[] = {
        {"", ids::StationEmpty},
        {"33", ids::StationAbove32},
        {"30-34", ids::StationAbove32},
        {"123456", ids::StationAbove32},
        {"1,2-123456", ids::StationAbove32},
        {"1-000005,9", ids::StationAbove32}, // a range end of six characters, not last
        {"5-3", ids::StationRangeOrder},
        {"40-35", ids::StationRangeOrder}, // the order is checked before the stations
        {"2,2", ids::StationRepeated},
        {"1-3,2", ids::StationRepeated},
    };
    state.stations = {9}; // whatever an earlier parse left
    const ConnectionSettings before = state.settings;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        prompter.clear();
        ConnectRequest r = request(c.text);
        r.baudIndex = 3;
        EXPECT_NE(connect(r), ConnectResult::Connected);
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{c.message});
        EXPECT_TRUE(state.stations.isEmpty());
        EXPECT_EQ(state.settings, before); // the choices are stored only after a good parse
        EXPECT_FALSE(linkOpen());
    }
    EXPECT_TRUE(log->take().empty());
}

TEST(StationListBounds, LengthRulesAndLowStationsAtTheirEdges) {
    const struct {
        const char* text;
        std::vector<int> stations;
        int error;
    } cases[] = {
        {"00005", {5}, 0},                         // five characters: still a station
        {"1-00005", {1, 2, 3, 4, 5}, 0},           // a range end of five characters
        {"01-005", {1, 2, 3, 4, 5}, 0},            // the six-character rule skips ranges
        {"1,", {1, 0}, 0},                         // an empty piece is station 0
        {"1--5", {}, kvd::ids::StationRangeOrder}, // "-5" is below 1
        {"1-000005", {}, kvd::ids::StationAbove32},
    };
    for (const auto& c : cases) {
        const auto r = parseStationList(c.text);
        EXPECT_EQ(r.error, c.error) << c.text;
        EXPECT_EQ(r.stations, c.stations) << c.text;
    }
}

TEST_F(ConnectTest, APortThatDoesNotOpenIsReportedAndTheLinkDeleted) {
    const struct {
        const char* entry;
        int portSelection;
        std::vector<int> messages;
    } cases[] = {
        {"COM97 : Nowhere", 96, {ids::CantOpenPort}},
        {"/nonexistent/tty0", -1, {ids::CantOpenPort}},
        {"", 0, {ids::CantOpenPort}},
        {"TCPIP", -1, {0, ids::CantOpenPort}}, // no module: "no nx40!" first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        prompter.clear();
        ConnectRequest r = request("1");
        r.portEntry = c.entry;
        EXPECT_EQ(connect(r), ConnectResult::PortFailed);
        EXPECT_EQ(prompter.messageIds(), c.messages);
        EXPECT_EQ(state.link, nullptr);
        EXPECT_FALSE(state.connected);
        EXPECT_TRUE(state.stations.isEmpty());
        EXPECT_EQ(state.settings.portSelection, c.portSelection);
        EXPECT_FALSE(prompter.boxWhileBusy);
        EXPECT_FALSE(host.busy);
    }
    EXPECT_EQ(prompter.messages.front().text, "no nx40!");
    EXPECT_TRUE(settingsFile().isEmpty());
}

TEST_F(ConnectTest, TcpipReachesTheModuleAddressOfTheSettingsOrTheChosenModule) {
    startLine({drive(1, 402, 1230), drive(2)}, true);
    const std::string mac = "02-4b-56-44-00-01";
    const ModuleEntry found{mac, "127.0.0.1", "", "127.0.0.1", line->tcpPort()};
    const struct {
        const char* what;
        QString moduleHost;
        std::vector<ModuleEntry> modules;
        QByteArray file;
    } cases[] = {
        {"module address of the settings", "127.0.0.1", {}, "TCPIP\n\n"},
        {"module of the list",
         "",
         {found},
         QByteArray("TCPIP\n") + mac.c_str() + "\n1\n" + mac.c_str() + "\n \n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        state.settings.moduleHost = c.moduleHost;
        state.settings.modulePort = line->tcpPort();
        ConnectRequest r = request("1,2");
        r.portEntry = "TCPIP";
        r.modules = c.modules;
        prompter.clear();
        log->take();

        EXPECT_EQ(connect(r), ConnectResult::Connected);
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::LinkSuccessful});
        EXPECT_EQ(log->take().size(), 8u);
        EXPECT_TRUE(state.viaModule);
        EXPECT_EQ(state.modelCodes, (QList<int>{402, 1205}));
        EXPECT_EQ(moduleFile(), c.file);
        EXPECT_EQ(settingsFile(), "-1\n1\n121\n1,2\n");
        connector.disconnect();
        EXPECT_FALSE(state.viaModule);
    }
}

TEST_F(ConnectTest, KeepAliveDropsSilentStationsAndGoesOfflineWithTheLast) {
    startLine({drive(1, 402, 1230), drive(2, 403, 1240)});
    ASSERT_EQ(connect(request("1,2")), ConnectResult::Connected);
    log->take();
    prompter.clear();

    connector.poll();
    EXPECT_EQ(log->take(), (std::vector<Frame>{read1(1, 0x2501), read1(2, 0x2501)}));
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(host.status[2], "1,2");

    state.autoUpdateStation = 1;
    state.autoUpdateOn = true;
    line->station(1).setFault(sim::FaultMode::Silent);
    connector.poll();
    ASSERT_EQ(prompter.messageIds(), std::vector<int>{ids::StationDropped});
    EXPECT_EQ(prompter.messages[0].args, QStringList{"1"});
    EXPECT_TRUE(state.connected);
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_EQ(state.stations, QList<int>{2});
    EXPECT_EQ(state.modelCodes, QList<int>{403}); // still in step with the stations
    EXPECT_EQ(state.versions, QList<int>{1240});
    EXPECT_EQ(host.status[2], "2");
    EXPECT_EQ(host.status[4], "Online");
    EXPECT_TRUE(host.keepAlive);

    prompter.clear();
    line->station(2).setFault(sim::FaultMode::Silent);
    connector.poll();
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::StationDropped});
    EXPECT_FALSE(state.connected);
    EXPECT_FALSE(linkOpen());
    EXPECT_TRUE(state.stations.isEmpty());
    EXPECT_FALSE(host.keepAlive);
    EXPECT_EQ(host.status[1], "");
    EXPECT_EQ(host.status[2], "");
    EXPECT_EQ(host.status[4], "Unlink");

    // A tick that arrives after the end sends nothing.
    log->take();
    connector.poll();
    EXPECT_TRUE(log->take().empty());
}

TEST_F(ConnectTest, KeepAliveLooksAtTheExchangeResultOnly) {
    startLine({drive(1), drive(2)});
    const struct {
        sim::FaultMode mode;
        bool dropped;
    } cases[] = {
        {sim::FaultMode::Silent, true},
        {sim::FaultMode::BadCrc, true},
        {sim::FaultMode::BadFunction, false}, // an answer of the right length is life
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        line->station(2).clearFaults();
        connector.disconnect();
        ASSERT_EQ(connect(request("1,2")), ConnectResult::Connected);
        line->station(2).setFault(c.mode);
        connector.poll();
        EXPECT_EQ(state.stations, c.dropped ? QList<int>{1} : (QList<int>{1, 2}));
    }
}

TEST_F(ConnectTest, AKeepAliveTickInsideAMessageBoxDoesNotRunAgain) {
    startLine({drive(1), drive(2), drive(3)});
    ASSERT_EQ(connect(request("1-3")), ConnectResult::Connected);
    line->station(3).resetCounters();
    line->station(1).setFault(sim::FaultMode::Silent);
    line->station(2).setFault(sim::FaultMode::Silent);
    prompter.clear();
    prompter.inBox = [this] { connector.poll(); }; // the timer fires while the box is up

    connector.poll();

    EXPECT_EQ(prompter.messageIds(), (std::vector<int>{ids::StationDropped, ids::StationDropped}));
    EXPECT_EQ(line->station(3).requestCount(), 1u);
    EXPECT_EQ(state.stations, QList<int>{3});
}

TEST_F(ConnectTest, DisconnectClosesTheLinkAndAConnectionCanFollow) {
    startLine({drive(1)});
    ASSERT_EQ(connect(request("1")), ConnectResult::Connected);
    EXPECT_EQ(connector.connect(request("1")), ConnectResult::AlreadyConnected);
    state.autoUpdateOn = true;

    connector.disconnect();

    EXPECT_EQ(host.autoUpdateStops, 1);
    EXPECT_EQ(state.link, nullptr);
    EXPECT_FALSE(state.connected);
    EXPECT_FALSE(host.keepAlive);
    EXPECT_TRUE(state.stations.isEmpty());
    EXPECT_EQ(host.status[1], "");
    EXPECT_EQ(host.status[2], "");
    EXPECT_EQ(host.status[4], "Unlink");

    log->take();
    connector.poll();
    EXPECT_TRUE(log->take().empty());
    state.autoUpdateOn = false;
    EXPECT_EQ(connect(request("1")), ConnectResult::Connected);
}

TEST(PortList, ComPortsByNumberThenOtherDevicesThenTcpip) {
    const QStringList entries = portEntries({
        {"/dev/ttyUSB1", "FT232R USB UART "},
        {"/dev/ttyAMA0", "PL011"},
        {"/dev/ttyS10", "16550A"},
        {"/dev/ttyS1", ""},
        {"/dev/ttyACM0", "CDC"},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:1", "Adapter"},
    });
    EXPECT_EQ(entries,
              (QStringList{"COM2 : ttyS1", "COM11 : 16550A", "COM34 : FT232R USB UART",
                           "COM65 : CDC", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1 : Adapter",
                           "/dev/ttyAMA0 : PL011", "TCPIP"}));
    EXPECT_EQ(portOfEntry(entries[4]), "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1");

    const struct {
        const char* what;
        int selection;
        QString device;
        int index;
    } cases[] = {
        {"COM number", 10, {}, 1},
        {"TCPIP", -1, {}, 6},
        {"typed device of a COM entry", -1, "/dev/ttyUSB1", 2},
        {"typed device elsewhere", -1, "/dev/ttyAMA0", 5},
        {"pseudo-terminal", -1, "/dev/pts/7", -1},
        {"port not present", 4, {}, -1},
    };
    for (const auto& c : cases) {
        ConnectionSettings s;
        s.portSelection = c.selection;
        s.portDevice = c.device;
        EXPECT_EQ(findPortEntry(entries, s), c.index) << c.what;
    }
}

TEST(ModuleFile, NamesTheModulesFoundAndIgnoresATinyFile) {
    QTemporaryDir program, temp;
    const std::vector<ModuleEntry> used = {{"00-20-4a-14-01-18", "10.0.0.5", "Pump", "", 0},
                                           {"00-20-4a-14-01-19", "10.0.0.6", "", "", 0}};
    // The program folder cannot be written: the temporary folder takes the file.
    const QString missing = program.filePath("gone");
    ASSERT_TRUE(writeModuleFile(missing, temp.path(), "TCPIP", "00-20-4a-14-01-18", used));
    EXPECT_EQ(readFile(QDir(temp.path()).filePath(kModuleFile)),
              "TCPIP\n00-20-4a-14-01-18\n2\n00-20-4a-14-01-18\nPump\n00-20-4a-14-01-19\n \n");

    const auto file = readModuleFile(missing, temp.path());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->portEntry, "TCPIP");
    EXPECT_EQ(file->lastMac, "00-20-4a-14-01-18");
    std::vector<ModuleEntry> found = {{"00-20-4a-14-01-19", "10.0.0.6", "", "", 0},
                                      {"00-20-4a-14-01-18", "10.0.0.9", "", "", 0},
                                      {"00-20-4a-14-01-20", "10.0.0.7", "", "", 0}};
    nameModules(found, *file);
    EXPECT_EQ(found[0].name, "");
    EXPECT_EQ(found[1].name, "Pump");
    EXPECT_EQ(found[2].name, "");

    const struct {
        const char* what;
        QByteArray text;
        bool read;
        int names;
    } cases[] = {
        {"three bytes", "COM", false, 0},
        {"count beyond the lines", "TCPIP\nab\n99\nm1\nn1\nm2\n", true, 2},
        {"COM entry has no module line", "COM3 : USB\n1\nm1\nn1\n", true, 1},
    };
    for (const auto& c : cases) {
        QFile f(program.filePath(kModuleFile));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.text);
        f.close();
        const auto r = readModuleFile(program.path(), temp.path());
        EXPECT_EQ(r.has_value(), c.read) << c.what;
        if (r) {
            EXPECT_EQ(r->names.size(), c.names) << c.what;
        }
    }
}

TEST(ModuleAddress, HostAndPortFromTheSettingOrTheEnvironment) {
    const struct {
        const char* text;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"127.0.0.1:1502", true, "127.0.0.1", 1502},
        {"10.0.0.5", true, "10.0.0.5", 502},
        {":502", false, "", 0},
        {"10.0.0.5:0", false, "", 0},
        {"10.0.0.5:70000", false, "", 0},
        {"10.0.0.5:x", false, "", 0},
    };
    for (const auto& c : cases) {
        QString host = "old";
        int port = 1;
        EXPECT_EQ(parseModuleAddress(c.text, host, port), c.ok) << c.text;
        EXPECT_EQ(host, c.ok ? QString(c.host) : QString("old")) << c.text;
        EXPECT_EQ(port, c.ok ? c.port : 1) << c.text;
    }

    QTemporaryDir none;
    qputenv("KVD_MODULE_ADDRESS", "127.0.0.1:1502");
    ConnectionSettings s;
    LoadConnectionSettings(s, none.path(), QString());
    qunsetenv("KVD_MODULE_ADDRESS");
    EXPECT_EQ(s.moduleHost, "127.0.0.1");
    EXPECT_EQ(s.modulePort, 1502);
}
