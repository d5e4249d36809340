#include "app/ConnectionSettings.h"
#include "app/HandOver.h"
#include "app/ResourceLibrary.h"
#include "drive-sim/Simulator.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace kvd;

namespace {

// Records what an operation says and answers as planned.
class RecordingPrompter : public Prompter {
public:
    QList<int> messages;
    void message(int id, const QStringList&, Icon) override { messages.append(id); }
    void messageText(const QString&, Icon) override { messages.append(-1); }
    Answer ask(int id, Buttons, const QStringList&, Icon) override {
        messages.append(id);
        return Answer::Yes;
    }
};

// The main window's side of the hand-over.
class RecordingHost : public StartupHost {
public:
    QStringList opened;
    int newProjects = 0;
    QString status[5];
    bool openResult = true;
    bool openProject(const QString& path) override {
        opened.append(path);
        return openResult;
    }
    void newOnlineProject() override { ++newProjects; }
    void showStatus(int pane, const QString& text) override { status[pane] = text; }
};

class HandOverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ResourceLibrary::instance().load(KVD_BIN_DIR));
        state.programFolder = program.path() + "/";
        state.tempFolder = temp.path();
    }
    void writeHandOver(const QByteArray& text) {
        QFile f(QDir(temp.path()).filePath(kHandOverFile));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    bool handOverExists() const { return QFile::exists(QDir(temp.path()).filePath(kHandOverFile)); }
    HandOverResult run() { return processHandOver(state, prompter, host, state.tempFolder); }

    QTemporaryDir program, temp;
    AppState state;
    RecordingPrompter prompter;
    RecordingHost host;
};

sim::Options line(std::initializer_list<int> stations) {
    sim::Options o;
    for (int s : stations) {
        sim::StationConfig c;
        c.address = s;
        c.modelCode = 402;
        c.version = 1230;
        o.stations.push_back(c);
    }
    return o;
}

} // namespace

TEST_F(HandOverTest, ConnectsTheFirstStationAndKeepsTheStationText) {
    sim::Simulator drive(line({3, 5}));
    ASSERT_TRUE(drive.startPty());
    drive.station(3).setRegister(0x0002, 2); // run command source: communication
    writeHandOver(QByteArray("2\n") + drive.devicePath().c_str() + "\n9600\n802\n3,5\n1\n");

    EXPECT_EQ(run(), HandOverResult::Connected);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.stations, QList<int>{3});
    EXPECT_EQ(state.modelCodes, QList<int>{402});
    EXPECT_EQ(state.versions, QList<int>{1230});
    EXPECT_EQ(state.driveModelCode, 402);
    EXPECT_EQ(state.cachedRunSource, 2);
    EXPECT_EQ(state.frequencyRegion, 1);
    EXPECT_EQ(state.modelName, "KVD-402-H");
    EXPECT_EQ(host.newProjects, 1);
    EXPECT_EQ(host.status[1], "1.230");
    EXPECT_EQ(host.status[2], "3");
    EXPECT_EQ(host.status[3], "KVD-402-H");
    EXPECT_EQ(host.status[4], "Online");
    EXPECT_EQ(drive.station(5).requestCount(), 0u); // only the leading station is probed
    EXPECT_FALSE(handOverExists());

    // The settings file keeps the whole station text for the connection dialog.
    ConnectionSettings saved;
    LoadConnectionSettings(saved, state.programFolder, QString());
    EXPECT_EQ(saved.stationText, "3,5");
    EXPECT_EQ(saved.portText().toStdString(), drive.devicePath());
    EXPECT_EQ(saved.baudIndex, 1);
    EXPECT_EQ(saved.dataBitsIndex, 1);
    EXPECT_EQ(saved.parityIndex, 2);
    EXPECT_EQ(saved.stopBitsIndex, 1);
}

TEST_F(HandOverTest, FailuresLeaveTheProgramOffline) {
    sim::Simulator drive(line({1}));
    ASSERT_TRUE(drive.startPty());
    const QByteArray dev = drive.devicePath().c_str();
    const struct {
        const char* what;
        QByteArray file;
        std::function<void()> stage;
        HandOverResult result;
        int message;
    } cases[] = {
        {"port does not open", "2\nCOM97\n19200\n802\n1\n0\n", [] {}, HandOverResult::PortFailed,
         ids::CantOpenPort},
        {"station silent", "2\n" + dev + "\n19200\n802\n1\n0\n",
         [&] { drive.station(1).setFault(sim::FaultMode::Silent); }, HandOverResult::ProbeFailed,
         ids::CommunicationError},
        {"model read refused", "2\n" + dev + "\n19200\n802\n1\n0\n",
         [&] { drive.station(1).setSilentAfter(1); }, HandOverResult::ProbeFailed,
         ids::CommunicationError},
        {"bad CRC", "2\n" + dev + "\n19200\n802\n1\n0\n",
         [&] { drive.station(1).setFault(sim::FaultMode::BadCrc); }, HandOverResult::ProbeFailed,
         ids::CommunicationError},
        {"station not on the bus", "2\n" + dev + "\n19200\n802\n7\n0\n", [] {},
         HandOverResult::ProbeFailed, ids::CommunicationError},
        {"no bus address", "2\n" + dev + "\n19200\n802\nabc\n0\n", [] {},
         HandOverResult::ProbeFailed, ids::CommunicationError},
    };
    for (const auto& c : cases) {
        drive.station(1).clearFaults();
        c.stage();
        state = AppState{};
        state.programFolder = program.path() + "/";
        state.tempFolder = temp.path();
        state.ensureLink().setReplyTimeout(std::chrono::milliseconds(100));
        prompter.messages.clear();
        host.newProjects = 0;
        writeHandOver(c.file);
        EXPECT_EQ(run(), c.result) << c.what;
        EXPECT_EQ(prompter.messages, QList<int>{c.message}) << c.what;
        EXPECT_FALSE(state.connected) << c.what;
        EXPECT_EQ(state.link, nullptr) << c.what;
        EXPECT_EQ(host.newProjects, 0) << c.what;
        EXPECT_FALSE(handOverExists()) << c.what;
    }
}

TEST_F(HandOverTest, OtherModesAndDamagedFiles) {
    const struct {
        const char* what;
        QByteArray file;
        HandOverResult result;
        QStringList opened;
    } cases[] = {
        {"mode 0", "0\n/p/x.qf7\n", HandOverResult::Nothing, {}},
        {"mode 1 opens", "1\n/p/x.qf7\n", HandOverResult::Opened, {"/p/x.qf7"}},
        {"mode 1 without a path", "1\n", HandOverResult::Nothing, {}},
        {"mode 1 with CR LF", "1\r\n/p/y.qf7\r\n", HandOverResult::Opened, {"/p/y.qf7"}},
        {"unknown mode", "7\n", HandOverResult::Nothing, {}},
        {"empty", "", HandOverResult::Nothing, {}},
        {"binary", QByteArray("\x00\xff\x02\n\x01", 5), HandOverResult::Nothing, {}},
        {"mode 2 with nothing else", "2\n", HandOverResult::PortFailed, {}},
        {"huge line", "2\n" + QByteArray(200000, 'C') + "\n", HandOverResult::PortFailed, {}},
    };
    for (const auto& c : cases) {
        state = AppState{};
        state.programFolder = program.path() + "/";
        state.tempFolder = temp.path();
        host.opened.clear();
        writeHandOver(c.file);
        EXPECT_EQ(run(), c.result) << c.what;
        EXPECT_EQ(host.opened, c.opened) << c.what;
        EXPECT_FALSE(handOverExists()) << c.what;
    }
    EXPECT_EQ(run(), HandOverResult::NoFile);
}

TEST_F(HandOverTest, OpenThatFailsIsReportedByTheDocumentNotTwice) {
    host.openResult = false;
    writeHandOver("1\n/nowhere/missing.qf7\n");
    EXPECT_EQ(run(), HandOverResult::OpenFailed);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_FALSE(handOverExists());
}

TEST(CommandLine, CutsTheShellSuffix) {
    EXPECT_EQ(commandLineFile({"KVD-Manager", "/p/pump.qf7/dde"}), "/p/pump.qf7");
    EXPECT_EQ(commandLineFile({"KVD-Manager", "/p/pump.qf7"}), "/p/pump.qf7");
    EXPECT_EQ(commandLineFile({"KVD-Manager", "/dde"}), "");
    EXPECT_EQ(commandLineFile({"KVD-Manager"}), "");
}
