// Writing a project to a station: the blocks of every group, the checks and rules before and
// between them, the Write command's messages and marks, and a round trip through a drive.
#include "TransferTestSupport.h"
#include "app/DriveChecks.h"
#include "app/GroupReader.h"
#include "app/GroupWriter.h"
#include "link/Exchange.h"
#include "params/ParamRules.h"

#include <functional>
#include <map>

using namespace kvd;
using namespace kvdtest;
using Frames = std::vector<std::string>;

namespace {

// Every block of a complete write to a drive with software 1.1 whose 00-02 is 0.
const Frames kAllBlocksV11 = {
    "W 0001 7",  "W 0009 12", "W 0100 12", "W 0200 1",  "W 0201 3",  "W 0204 1",  "W 0300 5",
    "W 0306 4",  "W 030B 1",  "W 030D 7",  "W 0400 16", "W 0500 9",  "W 0511 16", "W 0600 8",
    "W 0610 8",  "W 0620 8",  "W 0700 9",  "W 0709 1",  "W 0800 10", "W 0906 4",  "W 0A00 23",
    "W 0B00 12", "W 0C00 5",  "W 0D03 4",  "W 0D08 1",  "W 0E01 17", "W 0E13 10",
};

Frames firstBlocks(std::size_t n) {
    return Frames(kAllBlocksV11.begin(), kAllBlocksV11.begin() + static_cast<std::ptrdiff_t>(n));
}

// The registers a list of blocks covers, in order.
std::vector<std::uint16_t> registersOf(std::span<const RegisterBlock> blocks) {
    std::vector<std::uint16_t> regs;
    for (const RegisterBlock& b : blocks)
        for (int k = 0; k < b.count; ++k)
            regs.push_back(static_cast<std::uint16_t>(b.start + k));
    return regs;
}

class WriteTest : public TransferFixture {
protected:
    // What the user read, in order: every message box as its text.
    QStringList shown() const {
        QStringList out;
        for (const auto& m : prompter.messages)
            out << (m.id ? ResourceLibrary::instance().format(m.id, m.args) : m.text);
        return out;
    }
    void markSome() {
        project().setModifiedMark(0, 10, true);
        project().setModifiedMark(5, 1, true);
        project().setModifiedMark(14, 0, true);
    }
    bool marksKept() {
        return project().modifiedMark(0, 10) && project().modifiedMark(5, 1) &&
               project().modifiedMark(14, 0);
    }
    bool write() {
        TransferContext c = context();
        return writeCommand(c, project());
    }
};

} // namespace

// Each group's read requests and write blocks cover exactly the parameters the catalogue lets
// the group transfers read and write, in catalogue order, within the frame limits.
TEST(TransferTables, RequestsAndBlocksCoverTheCatalogue) {
    for (int g = 0; g < kGroupCount; ++g) {
        SCOPED_TRACE(g);
        std::vector<std::uint16_t> read, written;
        for (const ParamSpec& s : groupSpecs(g)) {
            if (isGroupRead(s))
                read.push_back(s.reg);
            if (isGroupWritten(s))
                written.push_back(s.reg);
        }
        EXPECT_EQ(registersOf(readRequests(g)), read);
        EXPECT_EQ(registersOf(writeBlocks(g, 0)), written);
        for (const RegisterBlock& b : readRequests(g))
            EXPECT_LE(b.count, rtu::kMaxReadCount);
        for (const RegisterBlock& b : writeBlocks(g, 0))
            EXPECT_LE(b.count, rtu::kMaxWriteCount);
        if (g != 0) {
            EXPECT_EQ(registersOf(writeBlocks(g, 1)), written);
        }
    }
    // While the drive takes its run commands elsewhere, 00-01 is left out.
    std::vector<std::uint16_t> group00 = registersOf(writeBlocks(0, 0));
    group00.erase(group00.begin());
    EXPECT_EQ(registersOf(writeBlocks(0, 2)), group00);
}

TEST_F(WriteTest, WriteCommandSendsEveryGroupInBlocksAndClearsTheMarks) {
    startLine();
    item("03-09").editValue = "01101";
    item("12-00").editValue = "05077";
    item("08-00").editValue = "00110";
    item("01-01").editValue = "220.5";
    item("00-11").editValue = "0.29";
    item("05-01").editValue = "12.34";
    item("F_18").editValue = "9.9";
    markSome();
    traffic->take();

    EXPECT_TRUE(write());

    EXPECT_EQ(stations.dialogs, std::vector<int>{ids::DialogStationSelect});
    Frames expected = {"R 0D07 1", "R 2520 1", "R 0D01 1", "R 0002 1"};
    for (const std::string& block : kAllBlocksV11) {
        // 02-00 and 02-01 are each checked against the drive's other current value first.
        if (block == "W 0200 1")
            expected.push_back("R 0201 1");
        if (block == "W 0201 3")
            expected.push_back("R 0200 1");
        expected.push_back(block);
    }
    EXPECT_EQ(traffic->take(), expected);

    const std::map<std::string, std::uint16_t> words{{"03-09", 13}, {"12-00", 2623},
                                                     {"08-00", 6},  {"01-01", 2205},
                                                     {"00-11", 29}, {"05-01", 1234}};
    for (const auto& [code, word] : words)
        EXPECT_EQ(driveWord(code), word) << code;
    EXPECT_NE(driveWord("F_18"), 99); // written only from its page

    for (int g = 0; g < kGroupCount; ++g)
        for (int i = 0; i < kMarksPerGroup; ++i)
            EXPECT_FALSE(project().modifiedMark(g, i)) << g << "/" << i;
    EXPECT_EQ(shown(), QStringList{"Write successful!"});
    EXPECT_EQ(prompter.progressMaximum, 15);
    ASSERT_EQ(prompter.steps.size(), 16u);
    EXPECT_EQ(prompter.steps[0].caption, "Write Inverter function parameter...,");
    EXPECT_EQ(prompter.steps[3].text, "03-XX -- Station Num:1");
    EXPECT_EQ(prompter.steps[14].text, "F_XX -- Station Num:1");
    EXPECT_EQ(prompter.steps[15].value, 15);
    EXPECT_FALSE(prompter.progressShown);
    EXPECT_FALSE(state.writing);
    EXPECT_EQ(list.refreshes, 1);
    EXPECT_DOUBLE_EQ(project().driveVersion(), 1.1);
}

// The checks before the groups: each stops the command before anything is written, with the
// message of its own.
TEST_F(WriteTest, ChecksBeforeTheGroupsStopTheCommandBeforeAnyWrite) {
    const struct {
        const char* what;
        std::function<void(WriteTest&)> stage;
        Frames traffic;
        QStringList messages;
    } cases[] = {
        {"dialog cancelled", [](WriteTest& t) { t.stations.answers = {std::nullopt}; }, {}, {}},
        {"password set",
         [](WriteTest& t) { t.station().setPassword(1234); },
         {"R 0D07 1"},
         {"The station num 1 has exist password, can't write parameter value!"}},
        {"password state unreadable",
         [](WriteTest& t) { t.station().setFault(sim::FaultMode::Silent); },
         {"R 0D07 1"},
         {"Read parameter password error!"}},
        {"drive running",
         [](WriteTest& t) { ASSERT_EQ(writeRegister(*t.state.link, 1, 0x2501, 1), LinkOk); },
         {"R 0D07 1", "R 2520 1"},
         {"The inverter is running. Stop it before writing parameters!"}},
        {"running bit unanswered",
         [](WriteTest& t) { t.station().setSilentAfter(1); },
         {"R 0D07 1", "R 2520 1"},
         {"TimeOut!"}},
        {"password state with a wrong function byte",
         [](WriteTest& t) { t.station().setFault(sim::FaultMode::BadFunction); },
         {"R 0D07 1"},
         {"Read parameter password error!"}},
        {"version unanswered",
         [](WriteTest& t) { t.station().setSilentAfter(2); },
         {"R 0D07 1", "R 2520 1", "R 0D01 1"},
         {"TimeOut!"}},
        {"00-05 equals 00-06",
         [](WriteTest& t) {
             t.item("00-05").editValue = "2";
             t.item("00-06").editValue = "2";
         },
         {"R 0D07 1", "R 2520 1", "R 0D01 1"},
         {"The value of parameter 00-05 and 00-06 can't be same!"}},
        {"00-02 unanswered: its own box, then the write's",
         [](WriteTest& t) { t.station().setSilentAfter(3); },
         {"R 0D07 1", "R 2520 1", "R 0D01 1", "R 0002 1"},
         {"Communication error!", "Communication error!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startLine();
        doc.reset();
        prompter.clear();
        stations.answers.clear();
        markSome();
        c.stage(*this);
        traffic->take();

        EXPECT_FALSE(write());
        EXPECT_EQ(traffic->take(), c.traffic);
        EXPECT_EQ(shown(), c.messages);
        EXPECT_TRUE(marksKept());
        EXPECT_FALSE(prompter.progressShown);
        EXPECT_FALSE(state.writing);
        EXPECT_EQ(list.refreshes, 0);
    }
}

// A failing group: the groups before it stay written, the message names station and group
// (or stands alone for a rule), and the marks stay.
TEST_F(WriteTest, FailingGroupEndsTheWriteWithOneMessageAndKeepsTheMarks) {
    const struct {
        const char* what;
        std::function<void(WriteTest&)> stage;
        std::size_t blocksSent; // the last one unanswered when the line fails
        const char* message;
    } cases[] = {
        // The checks, 00-02, groups 00 to 04 with the two reads of group 02: 17 requests.
        {"time-out in group 05", [](WriteTest& t) { t.station().setSilentAfter(17); }, 12,
         "Station Num 1:write parameter group 5 TimeOut!"},
        {"02-00 not below the drive's 02-01",
         [](WriteTest& t) {
             t.station().setRegister(0x0201, 25);
             t.item("02-00").editValue = "2.5";
         },
         3, "Parameter 02-00 must be less than parameter 02-01!"},
        {"02-01 below the 02-00 just written",
         [](WriteTest& t) {
             t.station().setRegister(0x0201, 25);
             t.item("02-00").editValue = "1.4";
             t.item("02-01").editValue = "1.3";
         },
         4, "Parameter 02-00 must be less than parameter 02-01!"},
        {"10-00 equals 10-01",
         [](WriteTest& t) {
             t.item("10-00").editValue = "3";
             t.item("10-01").editValue = "3";
         },
         20, "The value of parameter 10-00 and 10-01can't be same!"},
        // Neither sent as 0 nor cut to 16 bits: group 04 is not touched at all.
        {"a value that is no number", [](WriteTest& t) { t.item("04-02").editValue = "abc"; }, 10,
         "Station Num 1:write parameter group 4 Beyond the range!"},
        {"a value beyond a register word",
         [](WriteTest& t) { t.item("F_01").editValue = "6553.6"; }, 25,
         "Station Num 1:write parameter group F Beyond the range!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startLine();
        doc.reset();
        prompter.clear();
        markSome();
        c.stage(*this);
        traffic->take();

        EXPECT_FALSE(write());
        EXPECT_EQ(writesOf(traffic->take()), firstBlocks(c.blocksSent));
        EXPECT_EQ(shown(), QStringList{c.message});
        EXPECT_TRUE(marksKept());
        EXPECT_FALSE(prompter.progressShown);
        EXPECT_FALSE(state.writing);
        EXPECT_EQ(list.refreshes, 0);
    }
}

// The drive's 00-02 decides the first block of group 00, its software the last blocks of
// groups 02 and 07.
TEST_F(WriteTest, DriveStateDecidesTheBlocksOfGroups00_02And07) {
    const struct {
        const char* what;
        std::uint16_t version;
        std::uint16_t runSource;
        int group;
        Frames writes;
    } cases[] = {
        {"00-02 = 0", 1100, 0, 0, {"W 0001 7", "W 0009 12"}},
        {"00-02 = 1", 1100, 1, 0, {"W 0002 6", "W 0009 12"}},
        {"version 1.0", 1000, 0, 2, {"W 0200 1", "W 0201 3"}},
        {"version 1.1", 1100, 0, 2, {"W 0200 1", "W 0201 3", "W 0204 1"}},
        {"version 0.3", 3, 0, 7, {"W 0700 9"}},
        {"version 0.4", 4, 0, 7, {"W 0700 9", "W 0709 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startLine({drive(1, 1205, c.version)});
        doc.reset();
        station().setRegister(0x0002, c.runSource);
        station().setRegister(0x0201, 25); // above the project's 02-00
        item("00-01").editValue = "1";
        item("00-02").editValue = "0";
        ASSERT_TRUE(readDriveVersion(state, prompter, project(), 1));
        traffic->take();

        const auto values = writeValueList(project().groups()[c.group], c.group);
        EXPECT_TRUE(writeGroup(state, prompter, project().driveVersion(), c.group, values, 1))
            << state.lastErrorText.toStdString();
        EXPECT_EQ(writesOf(traffic->take()), c.writes);
        if (c.group == 0) {
            // 00-01 changes only on a drive that takes its run commands from the keypad;
            // the 00-02 just written is the cached run source from now on.
            EXPECT_EQ(driveWord("00-01"), c.runSource == 0 ? 1 : 0);
            EXPECT_EQ(state.cachedRunSource, 0);
        }
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(WriteTest, ValueListsTurnDigitStringsIntoDecimalIntegers) {
    item("03-09").editValue = "01101";
    item("08-00").editValue = "00110";
    item("12-00").editValue = "05077";
    item("00-11").editValue = "12.50";
    EXPECT_EQ(writeValueList(project().groups()[3], 3)[8], "13");
    EXPECT_EQ(writeValueList(project().groups()[8], 8)[0], "6");
    EXPECT_EQ(writeValueList(project().groups()[12], 12)[0], "2623");
    EXPECT_EQ(writeValueList(project().groups()[0], 0)[10], "12.50");
}

// What the project writes, a fresh project reads back the same.
TEST_F(WriteTest, RoundTripThroughADrive) {
    startLine({drive(1, 402, 1100)});
    const std::map<std::string, std::string> edits{
        {"00-05", "3"},     {"00-14", "12.5"},  {"01-01", "380.0"}, {"01-04", "26.50"},
        {"02-00", "1.2"},   {"02-01", "3.5"},   {"02-03", "1450"},  {"02-04", "380.0"},
        {"03-00", "7"},     {"03-09", "10011"}, {"03-11", "13"},    {"04-02", "500"},
        {"05-01", "12.34"}, {"05-32", "120.5"}, {"06-39", "2"},     {"07-09", "1"},
        {"08-00", "01010"}, {"08-04", "760.0"}, {"09-06", "2.5"},   {"10-00", "3"},
        {"10-22", "999"},   {"11-11", "12.00"}, {"12-00", "01234"}, {"12-03", "1800"},
        {"13-03", "5"},     {"F_01", "20.5"},   {"F_28", "1"},      {"F_27", "650.00"}};
    for (const auto& [code, text] : edits)
        item(code).editValue = text;
    station().setRegister(0x0201, 25); // above the new 02-00
    ASSERT_TRUE(write()) << shown().join(' ').toStdString();
    auto written = std::move(doc);

    TransferContext c = context();
    ASSERT_TRUE(readCommand(c, project()));
    for (const ParamSpec& s : allSpecs()) {
        if (!isGroupWritten(s))
            continue;
        EXPECT_EQ(project().item(s.group, s.index)->editValue,
                  written->item(s.group, s.index)->editValue)
            << s.code;
    }
    for (const auto& [code, text] : edits)
        EXPECT_EQ(item(code).editValue, text) << code;
}
