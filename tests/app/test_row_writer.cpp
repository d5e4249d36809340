// The row buttons of the group pages against the drive simulator: what is asked of the drive
// before the one 0x06 request, and every way a row write is refused or fails.
#include "PagesTestSupport.h"

#include <functional>

using namespace kvd;
using namespace kvdtest;
using Frames = std::vector<std::string>;

namespace {

class RowWriteTest : public PagesFixture {};

bool anyWrite(const Frames& frames) {
    for (const std::string& f : frames)
        if (f.starts_with("S ") || f.starts_with("W "))
            return true;
    return false;
}

} // namespace

TEST_F(RowWriteTest, WritesTheRowAfterThePasswordAndRunningChecks) {
    startLine();
    auto p = page(135);
    edit(*p, "00-11")->setText("12.34");
    project().setModifiedMark(0, 10, true);
    const std::string before = item("00-11").editValue;

    EXPECT_EQ(writeRow(*p, "00-11"), RowWriteResult::Written);

    EXPECT_EQ(frames(), (Frames{"R 0D07 1", "R 2520 1", "S 000B 1234"}));
    EXPECT_EQ(stations.dialogs, std::vector<int>{ids::DialogStationSelect});
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::WriteSuccessful});
    EXPECT_EQ(driveWord("00-11"), 1234);
    // The drive has the value now; the project takes it only when the window is confirmed.
    EXPECT_FALSE(marked("00-11"));
    EXPECT_EQ(item("00-11").editValue, before);
    EXPECT_EQ(changedGroups, std::vector<int>{0});
    EXPECT_TRUE(p->cache(rowOf(*p, "00-11")).written);
    EXPECT_EQ(p->cache(rowOf(*p, "00-11")).text, "12.34");
}

TEST_F(RowWriteTest, FirstPageOfGroup00ReadsTheRunSourceAndThePartnerFirst) {
    startLine();
    station().setRegister(0x0006, 3); // 00-06
    auto p = page(134);
    list(*p, "00-05")->setCurrentIndex(2);

    EXPECT_EQ(writeRow(*p, "00-05"), RowWriteResult::Written);

    EXPECT_EQ(frames(), (Frames{"R 0D07 1", "R 2520 1", "R 0002 1", "R 0006 1", "S 0005 2"}));
    EXPECT_EQ(driveWord("00-05"), 2);
}

TEST_F(RowWriteTest, RefusalsBeforeAnythingIsWritten) {
    const struct Case {
        const char* what;
        std::function<void(RowWriteTest&)> stage;
        int dialog;
        const char* code;
        const char* text; // for an edit row
        Frames frames;
        std::vector<int> messages;
        RowWriteResult result;
    } cases[] = {
        {"not connected",
         [](RowWriteTest& t) { t.state.connected = false; },
         135,
         "00-11",
         "1.00",
         {},
         {ids::NotConnected},
         RowWriteResult::NotConnected},
        {"station dialog cancelled",
         [](RowWriteTest& t) { t.stations.answers = {std::nullopt}; },
         135,
         "00-11",
         "1.00",
         {},
         {},
         RowWriteResult::Stopped},
        {"password set",
         [](RowWriteTest& t) { t.station().setPassword(1234); },
         135,
         "00-11",
         "1.00",
         {"R 0D07 1"},
         {ids::StationHasPassword},
         RowWriteResult::Stopped},
        {"drive running, row refused",
         [](RowWriteTest& t) { t.station().setRegister(0x2501, 1); },
         135,
         "00-11",
         "1.00",
         {"R 0D07 1", "R 2520 1"},
         {ids::InverterRunning},
         RowWriteResult::Refused},
        {"beyond the range",
         [](RowWriteTest&) {},
         135,
         "00-11",
         "650.01",
         {"R 0D07 1", "R 2520 1"},
         {ids::BeyondRange},
         RowWriteResult::Refused},
        {"integer below its range",
         [](RowWriteTest&) {},
         270,
         "08-01",
         "49",
         {"R 0D07 1", "R 2520 1"},
         {ids::BeyondRange},
         RowWriteResult::Refused},
        {"empty field",
         [](RowWriteTest&) {},
         135,
         "00-12",
         "",
         {"R 0D07 1", "R 2520 1"},
         {ids::BeyondRange},
         RowWriteResult::Refused},
        {"read-only row",
         [](RowWriteTest&) {},
         134,
         "00-08",
         nullptr,
         {"R 0D07 1", "R 2520 1", "R 0002 1"},
         {ids::ParameterReadOnly},
         RowWriteResult::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startLine();
        prompter.clear();
        stations.answers.clear();
        c.stage(*this);
        auto p = page(c.dialog);
        if (c.text)
            edit(*p, c.code)->setText(c.text);
        const std::uint16_t drive = driveWord(c.code);

        EXPECT_EQ(writeRow(*p, c.code), c.result);

        EXPECT_EQ(frames(), c.frames);
        EXPECT_EQ(prompter.messageIds(), c.messages);
        if (c.result == RowWriteResult::Stopped && !c.messages.empty()) {
            EXPECT_EQ(prompter.messages[0].args, QStringList{"1"});
        }
        EXPECT_EQ(driveWord(c.code), drive);
        EXPECT_FALSE(p->cache(rowOf(*p, c.code)).written);
        EXPECT_TRUE(changedGroups.empty());
        TearDown();
    }
}

TEST_F(RowWriteTest, EveryReadOnlyRowAnswersReadOnlyAndSendsNothing) {
    startLine();
    for (const PageSpec& entry : allPages()) {
        for (int r = 0; r < static_cast<int>(entry.rows.size()); ++r) {
            if (!entry.rows[static_cast<std::size_t>(r)].readOnly())
                continue;
            SCOPED_TRACE(std::string(entry.rows[static_cast<std::size_t>(r)].code));
            prompter.clear();
            auto p = page(entry.dialogId);
            EXPECT_EQ(p->writeRow(r), RowWriteResult::Refused);
            EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ParameterReadOnly});
            EXPECT_FALSE(anyWrite(frames()));
            // The control cannot be changed either.
            EXPECT_FALSE(p->rowControl(r)->isEnabled());
        }
    }
}

TEST_F(RowWriteTest, RunningDriveRefusesOnlyThePagesRefusedRows) {
    startLine();
    station().setRegister(0x2501, 1); // run
    auto p135 = page(135);
    edit(*p135, "00-14")->setText("12.5");
    EXPECT_EQ(writeRow(*p135, "00-14"), RowWriteResult::Written);
    EXPECT_EQ(frames(), (Frames{"R 0D07 1", "R 2520 1", "S 000E 125"}));

    // A page that makes no running check does not even ask.
    auto p177 = page(177);
    edit(*p177, "04-12")->setText("500");
    EXPECT_EQ(writeRow(*p177, "04-12"), RowWriteResult::Written);
    EXPECT_EQ(frames(), (Frames{"R 0D07 1", "S 040C 500"}));
    EXPECT_EQ(prompter.messageIds(),
              (std::vector<int>{ids::WriteSuccessful, ids::WriteSuccessful}));
}

TEST_F(RowWriteTest, Row0001FollowsTheDrivesRunSource) {
    startLine();
    station().setRegister(0x0002, 1); // run commands from the terminals
    auto p = page(134);
    ASSERT_TRUE(list(*p, "00-01")->isEnabled()); // the project last saw keypad control
    list(*p, "00-01")->setCurrentIndex(1);

    EXPECT_EQ(writeRow(*p, "00-01"), RowWriteResult::Refused);
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ParameterReadOnly});
    EXPECT_FALSE(anyWrite(frames()));
    EXPECT_EQ(state.cachedRunSource, 1);
    EXPECT_FALSE(list(*p, "00-01")->isEnabled());

    list(*p, "00-02")->setCurrentIndex(0);
    EXPECT_EQ(writeRow(*p, "00-02"), RowWriteResult::Written);
    EXPECT_EQ(state.cachedRunSource, 0);
    EXPECT_TRUE(list(*p, "00-01")->isEnabled());

    frames();
    EXPECT_EQ(writeRow(*p, "00-01"), RowWriteResult::Written);
    EXPECT_EQ(frames(), (Frames{"R 0D07 1", "R 2520 1", "R 0002 1", "S 0001 1"}));
    EXPECT_EQ(driveWord("00-01"), 1);
}

TEST_F(RowWriteTest, RulesAgainstTheDrivesCurrentValues) {
    const struct Case {
        const char* what;
        int dialog;
        const char* code;
        std::function<void(GroupPage&)> set;
        std::vector<std::pair<std::uint16_t, std::uint16_t>> drive; // register, word
        std::uint16_t version;
        RowWriteResult result;
        std::vector<int> messages;
        Frames frames;
    } cases[] = {
        {"00-05 equal to the drive's 00-06",
         134,
         "00-05",
         [](GroupPage& p) { list(p, "00-05")->setCurrentIndex(2); },
         {{0x0006, 2}},
         1100,
         RowWriteResult::Refused,
         {ids::Params0005And0006Same},
         {"R 0D07 1", "R 2520 1", "R 0002 1", "R 0006 1"}},
        {"00-06 equal to the drive's 00-05",
         134,
         "00-06",
         [](GroupPage& p) { list(p, "00-06")->setCurrentIndex(4); },
         {{0x0005, 4}},
         1100,
         RowWriteResult::Refused,
         {ids::Params0005And0006Same},
         {"R 0D07 1", "R 2520 1", "R 0002 1", "R 0005 1"}},
        {"10-01 equal to the drive's 10-00",
         272,
         "10-01",
         [](GroupPage& p) { list(p, "10-01")->setCurrentIndex(3); },
         {{0x0A00, 3}},
         1100,
         RowWriteResult::Refused,
         {ids::Params1000And1001Same},
         {"R 0D07 1", "R 2520 1", "R 0A00 1"}},
        {"10-00 differing from the drive's 10-01",
         272,
         "10-00",
         [](GroupPage& p) { list(p, "10-00")->setCurrentIndex(3); },
         {{0x0A01, 2}},
         1100,
         RowWriteResult::Written,
         {ids::WriteSuccessful},
         {"R 0D07 1", "R 2520 1", "R 0A01 1", "S 0A00 3"}},
        {"02-00 not below the drive's 02-01",
         173,
         "02-00",
         [](GroupPage& p) { edit(p, "02-00")->setText("10.0"); },
         {{0x0201, 100}},
         1100,
         RowWriteResult::Refused,
         {ids::Param0200Above0201},
         {"R 0D07 1", "R 2520 1", "R 0D01 1", "R 0201 1"}},
        {"02-00 below the drive's 02-01",
         173,
         "02-00",
         [](GroupPage& p) { edit(p, "02-00")->setText("9.9"); },
         {{0x0201, 100}},
         1100,
         RowWriteResult::Written,
         {ids::WriteSuccessful},
         {"R 0D07 1", "R 2520 1", "R 0D01 1", "R 0201 1", "S 0200 99"}},
        {"02-01 below the drive's 02-00",
         173,
         "02-01",
         [](GroupPage& p) { edit(p, "02-01")->setText("5.9"); },
         {{0x0200, 60}},
         1100,
         RowWriteResult::Refused,
         {ids::Param0200Above0201},
         {"R 0D07 1", "R 2520 1", "R 0D01 1", "R 0200 1"}},
        {"02-01 equal to the drive's 02-00",
         173,
         "02-01",
         [](GroupPage& p) { edit(p, "02-01")->setText("6.0"); },
         {{0x0200, 60}},
         1100,
         RowWriteResult::Written,
         {ids::WriteSuccessful},
         {"R 0D07 1", "R 2520 1", "R 0D01 1", "R 0200 1", "S 0201 60"}},
        {"02-04 on software 1.0",
         173,
         "02-04",
         [](GroupPage& p) { edit(p, "02-04")->setText("1.5"); },
         {},
         1000,
         RowWriteResult::Refused,
         {ids::VersionLacksParameter},
         {"R 0D07 1", "R 2520 1", "R 0D01 1"}},
        {"02-04 on software 1.1",
         173,
         "02-04",
         [](GroupPage& p) { edit(p, "02-04")->setText("1.5"); },
         {},
         1100,
         RowWriteResult::Written,
         {ids::WriteSuccessful},
         {"R 0D07 1", "R 2520 1", "R 0D01 1", "S 0204 15"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startLine({drive(1, 1205, c.version)});
        prompter.clear();
        for (const auto& [reg, word] : c.drive)
            station().setRegister(reg, word);
        auto p = page(c.dialog);
        c.set(*p);

        EXPECT_EQ(writeRow(*p, c.code), c.result);
        EXPECT_EQ(prompter.messageIds(), c.messages);
        EXPECT_EQ(frames(), c.frames);
        TearDown();
    }
}

TEST_F(RowWriteTest, Row0709NeedsSoftware04AsLastRead) {
    startLine();
    auto p = page(269);
    list(*p, "07-09")->setCurrentIndex(1);
    project().setDriveVersion(0.3);
    EXPECT_EQ(writeRow(*p, "07-09"), RowWriteResult::Refused);
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::VersionLacksParameter});
    EXPECT_FALSE(anyWrite(frames()));

    prompter.clear();
    project().setDriveVersion(0.4);
    EXPECT_EQ(writeRow(*p, "07-09"), RowWriteResult::Written);
    EXPECT_EQ(driveWord("07-09"), 1);
}

TEST_F(RowWriteTest, FailedExchangesLeaveTheRowUnwritten) {
    const struct Case {
        const char* what;
        int dialog;
        const char* code;
        int answered; // requests the drive still answers
        std::vector<int> messages;
        QString text;
    } cases[] = {
        {"write unanswered", 135, "00-11", 2, {0}, "Station Num 1TimeOut!"},
        {"run source unanswered", 134, "00-02", 2, {ids::CommunicationError}, {}},
        {"partner unanswered", 272, "10-00", 2, {ids::TimeOut}, {}},
        {"version unanswered", 173, "02-02", 2, {ids::TimeOut}, {}},
        {"running bit unanswered", 135, "00-11", 1, {ids::TimeOut}, {}},
        {"password unanswered", 135, "00-11", 0, {ids::ReadPasswordError}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startLine();
        prompter.clear();
        changedGroups.clear();
        auto p = page(c.dialog);
        const int row = rowOf(*p, c.code);
        const ParamSpec& entry = rowSpec(p->entry(), row);
        project().setModifiedMark(entry.group, entry.index, true);
        station().setSilentAfter(c.answered);

        EXPECT_NE(p->writeRow(row), RowWriteResult::Written);
        EXPECT_EQ(prompter.messageIds(), c.messages);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(prompter.messages.at(0).text, c.text);
        }
        EXPECT_FALSE(p->cache(row).written);
        EXPECT_TRUE(marked(c.code));
        EXPECT_TRUE(changedGroups.empty());
        TearDown();
    }
}

TEST_F(RowWriteTest, WordsOfListsAndDigitRows) {
    const struct Case {
        int dialog;
        const char* code;
        std::function<void(GroupPage&, int row)> set;
        const char* frame;
        std::uint16_t word;
    } cases[] = {
        {174, "03-09",
         [](GroupPage& p, int r) {
             const int d[] = {0, 1, 1, 0, 1}; // S5 .. S1
             for (int k = 0; k < 5; ++k)
                 p.digitLists(r)[k]->setCurrentIndex(d[k]);
         },
         "S 0309 13", 13},
        {270, "08-00",
         [](GroupPage& p, int r) {
             const int d[] = {0, 0, 1, 1, 0};
             for (int k = 0; k < 5; ++k)
                 p.digitLists(r)[k]->setCurrentIndex(d[k]);
         },
         "S 0800 6", 6},
        {277, "12-00",
         [](GroupPage& p, int r) {
             const int d[] = {0, 5, 0, 7, 7};
             for (int k = 0; k < 5; ++k)
                 p.digitLists(r)[k]->setCurrentIndex(d[k]);
         },
         "S 0C00 2623", 2623},
        {174, "03-00", [](GroupPage& p, int r) { p.rowList(r)->setCurrentIndex(5); }, "S 0300 6",
         6},
        {174, "03-11", [](GroupPage& p, int r) { p.rowList(r)->setCurrentIndex(12); }, "S 030B 13",
         13},
        {5782, "F_19", [](GroupPage& p, int r) { p.rowList(r)->setCurrentIndex(4); }, "S 0E13 4",
         4},
        {278, "13-09", [](GroupPage& p, int r) { p.rowList(r)->setCurrentIndex(1); }, "S 0D09 1",
         1},
        {5781, "F_06", [](GroupPage& p, int r) { p.rowEdit(r)->setText("0.29"); }, "S 0E06 29", 29},
        {141, "01-01", [](GroupPage& p, int r) { p.rowEdit(r)->setText("220.5"); }, "S 0101 2205",
         2205},
    };
    startLine();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        auto p = page(c.dialog);
        const int row = rowOf(*p, c.code);
        c.set(*p, row);
        EXPECT_EQ(p->writeRow(row), RowWriteResult::Written);
        const Frames f = frames();
        ASSERT_FALSE(f.empty());
        EXPECT_EQ(f.back(), c.frame);
        EXPECT_EQ(driveWord(c.code), c.word);
    }
}

TEST_F(RowWriteTest, ResetListSendsTheResetCode) {
    startLine();
    station().setRegister(0x0A00, 3); // something the factory reset puts back
    auto p = page(278);
    list(*p, "13-08")->setCurrentIndex(1);
    EXPECT_EQ(writeRow(*p, "13-08"), RowWriteResult::Written);
    EXPECT_EQ(frames().back(), "S 0D08 1150");
    EXPECT_NE(driveWord("10-00"), 3);
}
