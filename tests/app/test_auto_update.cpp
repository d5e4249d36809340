// The automatic update: passes on a worker thread, one at a time, handed to the project by
// the timer's tick; the ways the mode ends; and the main window's commands for reading,
// writing and the automatic update.
#include "TransferTestSupport.h"
#include "app/AutoUpdate.h"
#include "app/MainFrame.h"
#include "app/TransferCommands.h"
#include "link/Exchange.h"

#include <QAction>
#include <QMdiSubWindow>

using namespace kvd;
using namespace kvdtest;
using Frames = std::vector<std::string>;

namespace {

// One pass over all groups of a drive with software 1.1. No version read: the mode keeps the
// version the project has.
const Frames kPass = {
    "R 0001 20", "R 0100 12", "R 0200 4",  "R 0204 1", "R 0300 5",  "R 0306 4",
    "R 030B 1",  "R 030D 7",  "R 0400 16", "R 0500 9", "R 0511 16", "R 0600 8",
    "R 0610 8",  "R 0620 8",  "R 0700 9",  "R 0709 1", "R 0800 10", "R 0900 10",
    "R 0A00 23", "R 0B00 12", "R 0C00 6",  "R 0D00 9", "R 0E01 30",
};

Frames passes(int n) {
    Frames out;
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), kPass.begin(), kPass.end());
    return out;
}

class RecordingUpdateHost : public AutoUpdateHost {
public:
    void setUpdateTimer(bool running) override { timer = running; }
    void refreshAfterUpdate() override { ++refreshes; }
    void autoUpdateChanged(bool on) override { changes.push_back(on); }
    bool timer = false;
    int refreshes = 0;
    std::vector<bool> changes;
};

class AutoUpdateTest : public TransferFixture {
public:
    void SetUp() override {
        TransferFixture::SetUp();
        project().setDriveVersion(1.1);
    }
    RecordingUpdateHost updates;
    AutoUpdate mode{state, prompter, updates};
};

} // namespace

TEST_F(AutoUpdateTest, PassesCopyTheDrivesValuesIntoTheProjectOneAtATime) {
    startLine({drive(1, 402, 1100)});
    station().setRegister(0x000B, 1234); // 00-11
    item("00-11").editValue = "1.00";
    item("13-09").editValue = "1";
    project().setModifiedMark(0, 10, true);
    traffic->take();

    ASSERT_TRUE(mode.start(project(), 1));
    EXPECT_TRUE(state.autoUpdateOn);
    EXPECT_EQ(state.autoUpdateStation, 1);
    EXPECT_TRUE(updates.timer);
    EXPECT_EQ(updates.changes, std::vector<bool>{true});

    mode.finishPass();
    EXPECT_EQ(traffic->take(), kPass);
    EXPECT_EQ(updates.refreshes, 1);
    EXPECT_EQ(item("00-11").editValue, "12.34");
    EXPECT_EQ(item("00-11").readValue, "12.34");
    EXPECT_EQ(item("13-09").editValue, "1");
    EXPECT_FALSE(project().modifiedMark(0, 10));
    EXPECT_EQ(state.driveModelCode, 402);

    // Ticks while a pass runs start none; whatever the timing, the line sees whole passes in
    // order, one for each result handed over.
    station().setRegister(0x000B, 2000);
    for (int i = 0; i < 5; ++i)
        mode.tick();
    mode.finishPass();
    const int more = updates.refreshes - 1;
    EXPECT_GE(more, 1);
    EXPECT_EQ(traffic->take(), passes(more));
    EXPECT_EQ(item("00-11").editValue, "20.00");

    mode.stop();
    EXPECT_FALSE(mode.isOn());
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_FALSE(updates.timer);
    EXPECT_EQ(updates.changes, (std::vector<bool>{true, false}));
    mode.tick();
    EXPECT_FALSE(mode.passInFlight());
    EXPECT_TRUE(traffic->take().empty());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(AutoUpdateTest, FailedPassShowsOneMessageAndEndsTheMode) {
    startLine();
    station().setSilentAfter(5);
    const std::string before = item("00-01").editValue;
    item("00-01").readValue = "old";
    project().setModifiedMark(0, 0, true);

    ASSERT_TRUE(mode.start(project(), 1));
    mode.finishPass();

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "TimeOut!");
    EXPECT_FALSE(mode.isOn());
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_FALSE(updates.timer);
    EXPECT_EQ(updates.refreshes, 0);
    // The worker read into its own copy: nothing of the broken pass reaches the project.
    EXPECT_EQ(item("00-01").readValue, "old");
    EXPECT_EQ(item("00-01").editValue, before);
    EXPECT_TRUE(project().modifiedMark(0, 0));

    traffic->take();
    mode.tick();
    EXPECT_TRUE(traffic->take().empty());
    EXPECT_EQ(prompter.messages.size(), 1u);
}

// The link lets one exchange through at a time: exchanges of the user-interface thread made
// while a pass runs fall between the pass's requests and never into one.
TEST_F(AutoUpdateTest, ExchangesOfTheUserInterfaceThreadDoNotInterleaveWithAPass) {
    startLine();
    station().setDelay(2);
    traffic->take();

    ASSERT_TRUE(mode.start(project(), 1));
    constexpr int kOwn = 40;
    for (int i = 0; i < kOwn; ++i) {
        std::vector<std::uint16_t> words;
        ASSERT_EQ(readRegisters(*state.link, 1, 0x0D01, 1, words), LinkOk) << i;
        EXPECT_EQ(words[0], 1100);
    }
    mode.finishPass();

    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(updates.refreshes, 1);
    EXPECT_EQ(station().requestCount(), kPass.size() + kOwn);
    Frames passFrames;
    for (const std::string& f : traffic->take())
        if (f != "R 0D01 1")
            passFrames.push_back(f);
    EXPECT_EQ(passFrames, kPass);
    mode.stop();
}

TEST_F(AutoUpdateTest, ModeEndsWithoutAMessageWhenItsMarkIsClearedOrItIsStopped) {
    startLine();
    station().setDelay(5);
    const struct {
        const char* what;
        std::function<void(AutoUpdateTest&)> end;
    } cases[] = {
        // The keep-alive lost the station: the next tick ends the mode.
        {"mark cleared",
         [](AutoUpdateTest& t) {
             t.state.autoUpdateOn = false;
             t.mode.tick();
         }},
        {"connection lost",
         [](AutoUpdateTest& t) {
             t.state.connected = false;
             t.mode.tick();
         }},
        {"stopped", [](AutoUpdateTest& t) { t.mode.stop(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        state.connected = true;
        traffic->take();
        ASSERT_TRUE(mode.start(project(), 1));
        c.end(*this);

        EXPECT_FALSE(mode.isOn());
        EXPECT_FALSE(mode.passInFlight());
        EXPECT_FALSE(state.autoUpdateOn);
        EXPECT_FALSE(updates.timer);
        EXPECT_EQ(updates.refreshes, 0); // the pass in flight is dropped
        EXPECT_TRUE(prompter.messages.empty());
        // The pass ended at a group boundary or ran to its end; never anything else.
        const Frames frames = traffic->take();
        EXPECT_EQ(frames, Frames(kPass.begin(),
                                 kPass.begin() + static_cast<std::ptrdiff_t>(frames.size())));
        mode.tick();
        EXPECT_TRUE(traffic->take().empty());
    }
}

TEST_F(AutoUpdateTest, CommandAsksTheStationAndTogglesTheMode) {
    startLine({drive(1), drive(2)});

    stations.answers = {std::nullopt};
    mode.toggle(stations, project());
    EXPECT_FALSE(mode.isOn());
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_EQ(stations.dialogs, std::vector<int>{ids::DialogStationSelect});

    stations.answers = {2};
    mode.toggle(stations, project());
    EXPECT_TRUE(mode.isOn());
    EXPECT_EQ(mode.station(), 2);
    mode.finishPass();
    EXPECT_EQ(station(2).requestCount(), kPass.size());
    EXPECT_EQ(station(1).requestCount(), 0u);

    mode.toggle(stations, project());
    EXPECT_FALSE(mode.isOn());
    EXPECT_EQ(stations.dialogs.size(), 2u); // turning off asks nothing

    // A mode whose mark the keep-alive cleared shows as off: the command turns it on again.
    mode.toggle(stations, project());
    state.autoUpdateOn = false;
    mode.toggle(stations, project());
    EXPECT_TRUE(mode.isOn());
    EXPECT_TRUE(state.autoUpdateOn);
    EXPECT_EQ(stations.dialogs.size(), 4u);
    mode.stop();

    // Not while a read or a write runs, nor offline.
    for (bool* flag : {&state.reading, &state.writing, &state.connected}) {
        state.reading = state.writing = false;
        state.connected = true;
        *flag = !*flag;
        mode.toggle(stations, project());
        EXPECT_FALSE(mode.isOn());
    }
    EXPECT_EQ(stations.dialogs.size(), 4u);
}

class FrameTransferTest : public TransferFixture {
protected:
    void SetUp() override {
        TransferFixture::SetUp();
        state.tempFolder = path("tmp");
    }
    QAction* autoUpdateAction(CMainFrame& frame) { return frame.action(ids::CmdAutoUpdate); }
    RecentFileList recent;
};

TEST_F(FrameTransferTest, MainWindowRunsReadWriteAndTheAutomaticUpdate) {
    startLine();
    CMainFrame frame(state, recent, &prompter);
    frame.transfers().setStationChooser(&stations);
    frame.show();

    // The read offered after connecting opens a project for the drive's model.
    prompter.plan({Answer::Yes});
    frame.transfers().readAfterConnect();
    ASSERT_TRUE(frame.hasProject());
    EXPECT_EQ(frame.projectWindow()->windowTitle(), "New Project");
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ReadCompleted});
    ASSERT_NE(frame.document(), nullptr);
    EXPECT_EQ(frame.document()->item(13, 0)->editValue, "2P5");

    prompter.clear();
    frame.runCommand(ids::CmdRead);
    frame.runCommand(ids::CmdWrite);
    EXPECT_EQ(prompter.messageIds(), (std::vector<int>{ids::ReadCompleted, ids::WriteSuccessful}));

    frame.runCommand(ids::CmdAutoUpdate);
    ASSERT_NE(autoUpdateAction(frame), nullptr);
    EXPECT_TRUE(autoUpdateAction(frame)->isChecked());
    EXPECT_TRUE(frame.transfers().updateTimerActive());
    frame.transfers().autoUpdate().finishPass();
    frame.runCommand(ids::CmdAutoUpdate);
    EXPECT_FALSE(autoUpdateAction(frame)->isChecked());
    EXPECT_FALSE(frame.transfers().updateTimerActive());
    EXPECT_FALSE(state.autoUpdateOn);

    // Closing the project ends the mode before its document goes.
    frame.runCommand(ids::CmdAutoUpdate);
    ASSERT_TRUE(state.autoUpdateOn);
    EXPECT_TRUE(frame.projects().closeProject());
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_FALSE(frame.transfers().autoUpdate().passInFlight());

    // So does closing the main window.
    ASSERT_TRUE(frame.projects().newDocument());
    frame.runCommand(ids::CmdAutoUpdate);
    ASSERT_TRUE(state.autoUpdateOn);
    frame.close();
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_FALSE(frame.transfers().autoUpdate().passInFlight());
    EXPECT_EQ(prompter.messageIds(), (std::vector<int>{ids::ReadCompleted, ids::WriteSuccessful}));
}

TEST_F(FrameTransferTest, DisconnectingEndsTheAutomaticUpdate) {
    startLine();
    CMainFrame frame(state, recent, &prompter);
    frame.transfers().setStationChooser(&stations);
    ASSERT_TRUE(frame.projects().newDocument());
    station().setDelay(5);
    frame.runCommand(ids::CmdAutoUpdate);
    ASSERT_TRUE(state.autoUpdateOn);

    // The pass in flight ends before the link goes.
    frame.connector().disconnect();
    EXPECT_FALSE(state.autoUpdateOn);
    EXPECT_FALSE(frame.transfers().autoUpdate().passInFlight());
    EXPECT_EQ(state.link, nullptr);
    EXPECT_FALSE(frame.transfers().updateTimerActive());
}
