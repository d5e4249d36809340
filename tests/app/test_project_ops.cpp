// The project commands (New, Open, recent entries, close) and the model selection of dialog 131.
#include "DocTestSupport.h"

#include "params/Catalogue.h"
#include "params/ModelTable.h"

using namespace kvd;
using namespace kvdtest;

namespace {

std::optional<ModelChoice> choose(const QString& name, int frequency) {
    return ModelChoice{name, frequency};
}

class Ops : public DocFixture {
public:
    // A saved project of model 401 with its own channel settings, and one open project.
    void SetUp() override {
        DocFixture::SetUp();
        models.answer = [](ModelSelection&) { return choose("KVD-401-H", 0); };
        ASSERT_TRUE(ops().newProject());
        state.channels[1] = {4, "DC Voltage", "400.0", "0.0"};
        files.saveAnswers = {path("first.qf7")};
        ASSERT_TRUE(ops().saveAs());
        prompter.clear();
        host = FakeHost();
        files = ScriptedFiles();
        models = ScriptedModels();
    }

    // The project values of the state that an open project owns.
    std::tuple<QString, QString, int, int, std::vector<ChannelSetting>> projectValues() const {
        return {state.modelName,
                state.projectPath,
                state.driveModelCode,
                state.frequencyRegion,
                {std::begin(state.channels), std::end(state.channels)}};
    }
};

} // namespace

TEST_F(Ops, NewAppliesTheChosenModelAndFrequency) {
    state.groupSelection = 3;
    models.answer = [](ModelSelection& s) {
        s.select(7);
        s.setFrequency(1);
        return std::optional(s.choice());
    };
    ASSERT_TRUE(ops().newProject());
    EXPECT_EQ(models.calls, 1);
    EXPECT_EQ(models.namesShown.size(), static_cast<qsizetype>(ModelTable.size()));
    EXPECT_EQ(state.modelName, "KVD230S-13F");
    EXPECT_EQ(state.frequencyRegion, 1);
    EXPECT_EQ(state.driveModelCode, 203);
    EXPECT_TRUE(state.projectPath.isEmpty());
    EXPECT_EQ(state.groupSelection, -1);
    CQ770Doc* doc = ops().document();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->item(0, 10)->editValue, "60.00"); // 00-11 for 60 Hz
    EXPECT_EQ(doc->item(13, 0)->editValue, "203");
    EXPECT_EQ(host.shownDocs, std::vector<CQ770Doc*>{doc});
    EXPECT_EQ(host.titles, QStringList{"New Project"});
    EXPECT_EQ(host.treeRebuilds, 1);
    EXPECT_EQ(host.panes[PaneFileName], "New Project");
    EXPECT_EQ(host.panes[PaneModel], "KVD230S-13F");
}

TEST_F(Ops, CancelledOrRefusedCommandsLeaveTheOpenProject) {
    CQ770Doc* const open = ops().document();
    open->item(0, 0)->editValue = "1";
    const auto before = projectValues();
    struct Case {
        const char* name;
        bool autoUpdate;
        bool modified;
        std::optional<Answer> answer;
        std::function<bool(ProjectOps&)> command;
        int expectDialogs; // dialog 131 or file dialogs shown
    };
    const auto newCmd = [](ProjectOps& o) { return o.newProject(); };
    const auto openCmd = [](ProjectOps& o) { return o.openProject(); };
    const QString first = path("first.qf7");
    const auto recentCmd = [first](ProjectOps& o) { return o.openRecent(first); };
    const Case cases[] = {
        {"new, dialog 131 cancelled", false, false, std::nullopt, newCmd, 1},
        {"open, dialog cancelled", false, false, std::nullopt, openCmd, 1},
        {"new, save question cancelled", false, true, Answer::Cancel, newCmd, 0},
        {"open, save question cancelled", false, true, Answer::Cancel, openCmd, 0},
        {"recent, save question cancelled", false, true, Answer::Cancel, recentCmd, 0},
        {"new during the automatic update", true, true, std::nullopt, newCmd, 0},
        {"open during the automatic update", true, true, std::nullopt, openCmd, 0},
        {"recent during the automatic update", true, true, std::nullopt, recentCmd, 0},
        {"empty recent entry", false, true, std::nullopt,
         [](ProjectOps& o) { return o.openRecent({}); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        host = FakeHost();
        files = ScriptedFiles();
        models = ScriptedModels();
        state.autoUpdateOn = c.autoUpdate;
        open->setModified(c.modified);
        if (c.answer)
            prompter.plan({*c.answer});

        EXPECT_FALSE(c.command(ops()));
        EXPECT_EQ(ops().document(), open);
        EXPECT_EQ(open->item(0, 0)->editValue, "1");
        EXPECT_EQ(projectValues(), before);
        EXPECT_EQ(models.calls + files.opens, c.expectDialogs);
        EXPECT_EQ(prompter.messageIds(), c.autoUpdate
                                             ? std::vector<int>{ids::AutoUpdateBlocksProject}
                                             : std::vector<int>{});
        EXPECT_EQ(prompter.unplanned, 0);
        EXPECT_TRUE(host.shownDocs.empty());
        EXPECT_TRUE(host.recentRemoved.isEmpty());
        if (c.answer) {
            EXPECT_EQ(prompter.questions.at(0).icon, Icon::Information);
        }
    }
    state.autoUpdateOn = false;
}

TEST_F(Ops, ModifiedProjectIsSavedOrDiscardedBeforeAnother) {
    struct Case {
        Answer answer;
        bool expectSaved;
    };
    for (const Case c : {Case{Answer::Yes, true}, Case{Answer::No, false}}) {
        SCOPED_TRACE(c.expectSaved);
        ops().document()->item(0, 0)->editValue = c.expectSaved ? "1" : "0";
        ops().document()->setModified();
        const QByteArray onDisk = readFile(path("first.qf7"));
        prompter.plan({c.answer});
        models.answer = [](ModelSelection&) { return choose("KVD-402-H", 0); };
        ASSERT_TRUE(ops().newProject());
        EXPECT_EQ(readFile(path("first.qf7")) != onDisk, c.expectSaved);
        EXPECT_EQ(state.modelName, "KVD-402-H");
        // Back to the saved project for the next case.
        ASSERT_TRUE(ops().openFile(path("first.qf7")));
    }
}

TEST_F(Ops, OpenReplacesTheProjectAndAFailedOpenKeepsIt) {
    models.answer = [](ModelSelection&) { return choose("KVD-1P2-H", 1); };
    ASSERT_TRUE(ops().newProject());
    CQ770Doc* const open = ops().document();
    state.channels[2] = {2, "Output Frequency", "60.00", "0.00"};
    state.projectPath = path("current.qf7");
    const auto before = projectValues();

    // A damaged file: the project that is open stays, with its channels and path.
    writeFile("bad.qf7", std::string("\x05\0\0\0garbage", 11));
    files.openAnswers = {path("bad.qf7")};
    host = FakeHost();
    EXPECT_FALSE(ops().openProject());
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ProjectFileInvalid});
    EXPECT_EQ(ops().document(), open);
    EXPECT_EQ(projectValues(), before);
    EXPECT_TRUE(host.shownDocs.empty());

    files.openAnswers = {path("first.qf7")};
    ASSERT_TRUE(ops().openProject());
    ASSERT_NE(ops().document(), open);
    EXPECT_EQ(host.shownDocs, std::vector<CQ770Doc*>{ops().document()});
    EXPECT_EQ(host.titles, QStringList{"first.qf7"});
    EXPECT_EQ(state.projectPath, path("first.qf7"));
    EXPECT_EQ(state.modelName, "KVD-401-H");
    EXPECT_EQ(state.driveModelCode, 401);
    EXPECT_EQ(state.channels[1], (ChannelSetting{4, "DC Voltage", "400.0", "0.0"}));
    EXPECT_EQ(state.groupSelection, -1);
    EXPECT_EQ(files.filters.back().stringId, ids::ProjectFileFilter);
}

TEST_F(Ops, RecentEntryMovesUpWhenItOpensAndGoesWhenItFails) {
    ASSERT_TRUE(ops().openRecent(path("first.qf7")));
    EXPECT_EQ(host.recentAdded, QStringList{path("first.qf7")});
    EXPECT_TRUE(host.recentRemoved.isEmpty());

    CQ770Doc* const open = ops().document();
    host = FakeHost();
    EXPECT_FALSE(ops().openRecent(path("gone.qf7")));
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::OpenFileFailed});
    EXPECT_EQ(host.recentRemoved, QStringList{path("gone.qf7")});
    EXPECT_TRUE(host.recentAdded.isEmpty());
    EXPECT_EQ(ops().document(), open);
    EXPECT_EQ(state.projectPath, path("first.qf7"));
}

TEST_F(Ops, ClosingAModifiedProjectAsksFirst) {
    ops().document()->setModified();
    prompter.plan({Answer::Cancel});
    EXPECT_FALSE(ops().closeProject());
    EXPECT_NE(ops().document(), nullptr);
    EXPECT_EQ(host.closed, 0);

    prompter.plan({Answer::No});
    EXPECT_TRUE(ops().closeProject());
    EXPECT_EQ(ops().document(), nullptr);
    EXPECT_EQ(host.closed, 1);
    EXPECT_FALSE(ops().save());
    EXPECT_TRUE(ops().closeProject());
}

TEST_F(DocFixture, ModelSelectionListsTheModelsOfTheDescriptionFile) {
    ModelSelection s(state.programFolder);
    QStringList tableNames;
    for (const ModelRow& row : ModelTable)
        tableNames << QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size()));
    EXPECT_EQ(s.names(), tableNames);
    EXPECT_EQ(s.selected(), 0);
    EXPECT_TRUE(s.selectedDescription().startsWith("Input: 1-phase"));
    s.select(8);
    s.select(99); // ignored
    EXPECT_TRUE(s.selectedDescription().contains("3-phase"));
    EXPECT_EQ(s.frequency(), 0);
    s.setFrequency(1);
    s.setFrequency(2); // ignored
    EXPECT_EQ(s.choice(), (ModelChoice{"KVD-401-H", 1}));
    EXPECT_EQ(ModelSelection::frequencyItems(), (QStringList{"50.00", "60.00"}));
}

TEST_F(DocFixture, ModelChoiceWithoutAKnownModelKeepsTheModelCode) {
    ASSERT_TRUE(QFile::remove(path(kModelFile)));
    ModelSelection empty(state.programFolder);
    EXPECT_EQ(empty.count(), 0);
    EXPECT_EQ(empty.selected(), -1);
    EXPECT_TRUE(empty.selectedDescription().isEmpty());

    const std::pair<ModelChoice, int> cases[] = {
        {empty.choice(), 402},                 // no description file: empty name
        {ModelChoice{"KVD-999-X", 1}, 402},    // a name the table lacks
        {ModelChoice{"KVD230S-02F", 0}, 1202}, // a table name
    };
    for (const auto& [choice, code] : cases) {
        SCOPED_TRACE(text(choice.name));
        state.driveModelCode = 402;
        state.projectPath = "/somewhere/old.qf7";
        applyModelChoice(state, choice);
        EXPECT_EQ(state.modelName, choice.name);
        EXPECT_EQ(state.frequencyRegion, choice.frequency);
        EXPECT_EQ(state.driveModelCode, code);
        EXPECT_TRUE(state.projectPath.isEmpty());
    }
}

TEST(FileFilters, DialogFilterTextsBecomeQtNameFilters) {
    EXPECT_EQ(qtNameFilters("Project File(*.qf7)|*.qf7||"),
              QStringList{"Project File(*.qf7) (*.qf7)"});
    EXPECT_EQ(qtNameFilters("Import File(*.csv)|*.csv;*.xlsx|Import File(*.xls)|*.xls||"),
              (QStringList{"Import File(*.csv) (*.csv *.xlsx)", "Import File(*.xls) (*.xls)"}));
    EXPECT_TRUE(qtNameFilters("").isEmpty());
}
