// Reading a station's parameters into the project: the requests of every group, the texts
// they become, the Read command, and the read offered after connecting.
#include "TransferTestSupport.h"
#include "app/GroupReader.h"
#include "app/TransferCommands.h"
#include "params/ParamRules.h"

#include <QComboBox>

#include <functional>
#include <map>

using namespace kvd;
using namespace kvdtest;
using Frames = std::vector<std::string>;

namespace {

// Every request of a complete read of a drive with software 1.1, after the version read.
const Frames kAllGroupsV11 = {
    "R 0001 20", "R 0100 12", "R 0200 4",  "R 0204 1", "R 0300 5",  "R 0306 4",
    "R 030B 1",  "R 030D 7",  "R 0400 16", "R 0500 9", "R 0511 16", "R 0600 8",
    "R 0610 8",  "R 0620 8",  "R 0700 9",  "R 0709 1", "R 0800 10", "R 0900 10",
    "R 0A00 23", "R 0B00 12", "R 0C00 6",  "R 0D00 9", "R 0E01 30",
};

Frames concat(Frames a, const Frames& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool leftOutOfReads(std::string_view code) {
    return code == "13-09" || code == "F_31";
}

class ReadTest : public TransferFixture {
protected:
    // Edit values of every item, group by group.
    std::vector<std::vector<std::string>> editValues() {
        std::vector<std::vector<std::string>> out;
        for (const ParamGroup& g : project().groups()) {
            out.emplace_back();
            for (const ParamItem& it : g.items)
                out.back().push_back(it.editValue);
        }
        return out;
    }
};

} // namespace

TEST_F(ReadTest, ReadCommandReadsEveryGroupIntoTheProject) {
    startLine({drive(1, 402, 1100)});
    station().setRegister(0x0309, 0x000D); // 03-09
    station().setRegister(0x0C00, 0x0A3F); // 12-00
    station().setRegister(0x000B, 29);     // 00-11
    station().setRegister(0x0101, 2205);   // 01-01
    station().setRegister(0x0C05, 42);     // 12-05
    item("13-09").editValue = "1";
    item("F_31").editValue = "1";
    project().setModifiedMark(3, 2, true);
    traffic->take();

    TransferContext c = context();
    EXPECT_TRUE(readCommand(c, project()));

    EXPECT_EQ(stations.dialogs, std::vector<int>{ids::DialogRead});
    EXPECT_EQ(traffic->take(), concat({"R 0D01 1"}, kAllGroupsV11));
    EXPECT_DOUBLE_EQ(project().driveVersion(), 1.1);
    EXPECT_EQ(state.driveModelCode, 402);

    const std::map<std::string, std::string> expected{
        {"03-09", "01101"}, {"12-00", "05077"}, {"00-11", "0.29"}, {"01-01", "220.5"},
        {"12-05", "00042"}, {"13-00", "402"},   {"13-01", "1.100"}};
    for (const auto& [code, text] : expected) {
        EXPECT_EQ(item(code).readValue, text) << code;
        EXPECT_EQ(item(code).editValue, text) << code;
    }
    for (const ParamGroup& g : project().groups()) {
        for (const ParamItem& it : g.items) {
            const std::string_view code = itemCode(it);
            EXPECT_FALSE(it.modified) << code;
            if (leftOutOfReads(code)) {
                EXPECT_EQ(it.readValue, "") << code;
                EXPECT_EQ(it.editValue, "1") << code;
            } else {
                EXPECT_FALSE(it.readValue.empty()) << code;
                EXPECT_EQ(it.editValue, it.readValue) << code;
            }
        }
    }

    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ReadCompleted});
    EXPECT_TRUE(prompter.questions.empty());
    EXPECT_EQ(prompter.progressMaximum, 15);
    ASSERT_EQ(prompter.steps.size(), 16u);
    EXPECT_EQ(prompter.steps[0].caption, "Read Inverter function parameter...,");
    EXPECT_EQ(prompter.steps[0].text, "00-XX --Station Num:1");
    EXPECT_EQ(prompter.steps[3].text, "03-XX --Station Num:1");
    EXPECT_EQ(prompter.steps[14].text, "F_XX --Station Num:1");
    EXPECT_EQ(prompter.steps[15].value, 15);
    EXPECT_FALSE(prompter.progressShown);
    EXPECT_FALSE(state.reading);
    EXPECT_EQ(list.refreshes, 1);
}

// 02-04 exists from software 1.1 on, 07-09 from 0.4 on; a drive without them is not asked,
// and the project's value stands as the read value.
TEST_F(ReadTest, DriveVersionDecidesTheRequestsOfGroups02And07) {
    const struct {
        std::uint16_t word;
        Frames group02;
        Frames group07;
    } cases[] = {
        {1000, {"R 0200 4"}, {"R 0700 9", "R 0709 1"}},
        {1100, {"R 0200 4", "R 0204 1"}, {"R 0700 9", "R 0709 1"}},
        {3, {"R 0200 4"}, {"R 0700 9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        startLine({drive(1, 1205, c.word)});
        doc.reset();
        item("02-04").editValue = "123.4";
        item("07-09").editValue = "1";
        ASSERT_TRUE(readDriveVersion(state, prompter, project(), 1));
        traffic->take();

        ASSERT_TRUE(readGroup(state, project(), 2, 1));
        EXPECT_EQ(traffic->take(), c.group02);
        ASSERT_TRUE(readGroup(state, project(), 7, 1));
        EXPECT_EQ(traffic->take(), c.group07);

        const bool has0204 = existsOnDrive(*findSpec("02-04"), project().driveVersion());
        EXPECT_EQ(item("02-04").readValue, has0204 ? "220.0" : "123.4");
        const bool has0709 = existsOnDrive(*findSpec("07-09"), project().driveVersion());
        EXPECT_EQ(item("07-09").readValue, has0709 ? "0" : "1");
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(ReadTest, ExchangeFailuresLeaveTheirMessageWithoutABox) {
    startLine();
    const struct {
        sim::FaultMode mode;
        const char* text;
    } cases[] = {
        {sim::FaultMode::Silent, "TimeOut!"},
        {sim::FaultMode::BadCrc, "CRC parity error!"},
        {sim::FaultMode::BadFunction, "Communication error!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        station().setFault(c.mode);
        state.lastErrorText.clear();
        EXPECT_FALSE(readGroup(state, project(), 0, 1));
        EXPECT_EQ(state.lastErrorText, c.text);
        EXPECT_EQ(item("00-01").readValue, "");
        station().clearFaults();
    }
    EXPECT_TRUE(prompter.messages.empty());
}

// A station that falls silent in the middle of group 05: one message, the groups before keep
// their read values, and nothing reaches the project's values or marks.
TEST_F(ReadTest, FailureMidwayShowsOneMessageAndLeavesTheProjectAsItWas) {
    startLine();
    // The version, the nine requests of groups 00 to 04 and the first of group 05.
    station().setSilentAfter(11);
    project().setModifiedMark(5, 1, true);
    const auto before = editValues();

    TransferContext c = context();
    EXPECT_FALSE(readCommand(c, project()));

    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "TimeOut!");
    EXPECT_EQ(editValues(), before);
    EXPECT_TRUE(project().modifiedMark(5, 1));
    for (const char* code : {"00-01", "04-15", "05-00", "05-08"})
        EXPECT_FALSE(item(code).readValue.empty()) << code;
    for (const char* code : {"05-17", "05-32", "06-00", "F_01"})
        EXPECT_EQ(item(code).readValue, "") << code;
    EXPECT_FALSE(prompter.progressShown);
    EXPECT_FALSE(state.reading);
    EXPECT_EQ(list.refreshes, 0);
}

TEST_F(ReadTest, ReadCommandEndsBeforeTheGroupsWhenAStepBeforeThemFails) {
    const struct {
        const char* what;
        std::function<void(ReadTest&)> stage;
        Frames traffic;
        std::vector<int> messages;
    } cases[] = {
        {"dialog cancelled", [](ReadTest& t) { t.stations.answers = {std::nullopt}; }, {}, {}},
        {"version unanswered",
         [](ReadTest& t) { t.station().setFault(sim::FaultMode::Silent); },
         {"R 0D01 1"},
         {ids::TimeOut}},
        {"version with a wrong function byte",
         [](ReadTest& t) { t.station().setFault(sim::FaultMode::BadFunction); },
         {"R 0D01 1"},
         {ids::CommunicationError}},
        {"no station online: station 0 reaches no one",
         [](ReadTest& t) { t.state.stations.clear(); },
         {"R 0D01 1"},
         {ids::TimeOut}},
        {"save question answered Yes, Save As cancelled",
         [](ReadTest& t) {
             t.project().setModified();
             t.prompter.plan({Answer::Yes});
         },
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startLine();
        doc.reset();
        prompter.clear();
        stations.answers.clear();
        c.stage(*this);
        traffic->take();

        TransferContext ctx = context();
        EXPECT_FALSE(readCommand(ctx, project()));
        EXPECT_EQ(traffic->take(), c.traffic);
        EXPECT_EQ(prompter.messageIds(), c.messages);
        EXPECT_TRUE(prompter.steps.empty());
        EXPECT_FALSE(state.reading);
        EXPECT_EQ(item("00-01").readValue, "");
    }
}

// Yes saves first; No and Cancel go on without saving. The modified state goes only once the
// read has replaced the edits: a failed read keeps it, so the edits are still asked about.
TEST_F(ReadTest, SaveQuestionOfAModifiedProject) {
    const struct {
        Answer answer;
        bool readFails;
        bool saved;
        bool modifiedAfter;
    } cases[] = {
        {Answer::Yes, false, true, false},
        {Answer::No, false, false, false},
        {Answer::Cancel, false, false, false},
        {Answer::No, true, false, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(n);
        startLine();
        doc.reset();
        prompter.clear();
        state.projectPath.clear();
        const QString file = path(QStringLiteral("p%1.qf7").arg(n++));
        files.saveAnswers = {file};
        item("00-11").editValue = "12.34";
        project().setModified();
        if (c.readFails)
            station().setSilentAfter(3);
        prompter.plan({c.answer});

        TransferContext ctx = context();
        EXPECT_EQ(readCommand(ctx, project()), !c.readFails);

        ASSERT_EQ(prompter.questions.size(), 1u);
        EXPECT_EQ(prompter.questions[0].id, ids::SaveModifiedQuestion);
        EXPECT_EQ(prompter.questions[0].buttons, Buttons::YesNoCancel);
        EXPECT_EQ(QFile::exists(file), c.saved);
        EXPECT_EQ(project().isModified(), c.modifiedAfter);
        EXPECT_EQ(item("00-11").editValue, c.readFails ? "12.34" : "50.00");
    }
}

TEST_F(ReadTest, ReadOfferedAfterConnectingCreatesAProjectForTheDrivesModel) {
    startLine({drive(1, 402, 1100), drive(2, 203, 1100)});
    state.projectPath = path("old.qf7"); // the project closed before
    stations.answers = {2};
    prompter.plan({Answer::Yes});
    traffic->take();

    TransferContext c = context();
    EXPECT_TRUE(readAfterConnect(c, ops()));

    ASSERT_EQ(prompter.questionIds(), std::vector<int>{ids::OfferReadAfterConnect});
    EXPECT_EQ(prompter.questions[0].buttons, Buttons::YesNo);
    EXPECT_EQ(stations.dialogs, std::vector<int>{ids::DialogStationSelect});
    EXPECT_EQ(traffic->take(), concat({"R 0D00 1", "R 0D01 1"}, kAllGroupsV11));
    EXPECT_EQ(station(2).requestCount(), 25u);
    EXPECT_EQ(station(1).requestCount(), 0u);

    CQ770Doc* created = ops().document();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(host.titles, QStringList{"New Project"});
    EXPECT_EQ(state.driveModelCode, 203);
    EXPECT_EQ(state.modelName, "KVD230S-13F");
    EXPECT_EQ(state.projectPath, "");
    EXPECT_EQ(state.readStation, 2);
    EXPECT_EQ(created->item(13, 0)->editValue, "203");
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ReadCompleted});
    EXPECT_FALSE(state.reading);
}

TEST_F(ReadTest, ReadOfferedAfterConnectingUsesTheOpenProjectWithoutTheSaveQuestion) {
    startLine({drive(1, 402, 1000)});
    ASSERT_TRUE(ops().newDocument());
    CQ770Doc* open = ops().document();
    open->setModified();
    host.titles.clear();
    prompter.plan({Answer::Yes});
    traffic->take();

    TransferContext c = context();
    EXPECT_TRUE(readAfterConnect(c, ops()));

    EXPECT_EQ(ops().document(), open);
    EXPECT_TRUE(host.titles.isEmpty());
    EXPECT_EQ(prompter.questionIds(), std::vector<int>{ids::OfferReadAfterConnect});
    const Frames frames = traffic->take();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), "R 0D01 1"); // no model read for an open project
    EXPECT_EQ(open->item(13, 0)->readValue, "402");
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ReadCompleted});
}

TEST_F(ReadTest, DecliningTheReadOfferSendsNothing) {
    startLine();
    const struct {
        Answer answer;
        std::optional<int> station;
        std::vector<int> dialogs;
    } cases[] = {
        {Answer::No, 1, {}},
        {Answer::Yes, std::nullopt, {ids::DialogStationSelect}},
    };
    for (const auto& c : cases) {
        prompter.clear();
        stations.dialogs.clear();
        stations.answers = {c.station};
        prompter.plan({c.answer});
        traffic->take();

        TransferContext ctx = context();
        EXPECT_FALSE(readAfterConnect(ctx, ops()));
        EXPECT_EQ(stations.dialogs, c.dialogs);
        EXPECT_TRUE(traffic->take().empty());
        EXPECT_EQ(ops().document(), nullptr);
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(ReadTest, StationDialogsOfferTheOnlineStationsWithTheFirstSelected) {
    StationSelectDialog select(ids::DialogStationSelect, {3, 5});
    EXPECT_EQ(select.windowTitle(), "Station Select");
    EXPECT_EQ(select.stationList()->objectName(), "1074");
    ASSERT_EQ(select.stationList()->count(), 2);
    EXPECT_EQ(select.stationList()->itemText(1), "5");
    EXPECT_EQ(select.station(), 3);
    select.stationList()->setCurrentIndex(1);
    EXPECT_EQ(select.station(), 5);

    StationSelectDialog read(ids::DialogRead, {});
    EXPECT_EQ(read.windowTitle(), "Read");
    EXPECT_EQ(read.stationList()->objectName(), "1025");
    EXPECT_EQ(read.station(), 0); // no station online: every drive
}
