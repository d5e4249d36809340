// The project document: construction from the data files, initial values, the project file
// as the document reads and writes it, and saving.
#include "DocTestSupport.h"

#include "app/ProjectFile.h"
#include "params/Catalogue.h"
#include "params/DataFiles.h"
#include "params/ModelTable.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace kvd;
using namespace kvdtest;

namespace {

// Every field of every item, so that any change shows.
std::vector<std::string> snapshot(const std::vector<ParamGroup>& groups) {
    std::vector<std::string> lines;
    for (const ParamGroup& g : groups) {
        lines.push_back("# " + g.name);
        for (const ParamItem& it : g.items)
            lines.push_back(it.label + "|" + it.factoryValue + "|" + it.editValue + "|" +
                            it.readValue + "|" + it.extra + "|" + (it.modified ? "m" : ""));
    }
    return lines;
}

ParamItem& itemOf(CQ770Doc& doc, std::string_view code) {
    const ParamSpec* entry = findSpec(code);
    ParamItem* item = entry ? doc.item(entry->group, entry->index) : nullptr;
    if (!item)
        throw std::runtime_error("no item " + std::string(code));
    return *item;
}

// The shipped initial-parameter file's value of `code` for a model code.
std::string initialValue(std::string_view code, int modelCode) {
    const auto rows = loadInitialParams(text(kDataDir + "/" + kInitialFile));
    const auto row = std::find(InitialValueCodes.begin(), InitialValueCodes.end(), code);
    return rows->at(static_cast<std::size_t>(row - InitialValueCodes.begin()))
        .values.at(static_cast<std::size_t>(modelRow(modelCode)));
}

const ChannelSetting kDefaultChannel{0, "No display", "10.00", "0.00"};
const ChannelSetting kCustomChannels[4] = {{3, "Output Current", "5.00", "0.00"},
                                           {1, "Set Frequency", "60.00", "0.00"},
                                           {2, "Output Frequency", "60.00", "-60.00"},
                                           {0, "No display", "10.00", "0.00"}};

void setChannels(AppState& state, const ChannelSetting (&channels)[4]) {
    std::copy(std::begin(channels), std::end(channels), std::begin(state.channels));
}

std::vector<ChannelSetting> channelsOf(const AppState& state) {
    return {std::begin(state.channels), std::end(state.channels)};
}

std::vector<ChannelSetting> defaultChannels() {
    return std::vector<ChannelSetting>(4, kDefaultChannel);
}

// A version 4 or 5 file with a value for every catalogue position: "<group>:<item>".
std::string fullProjectFile(std::int32_t version, std::string_view model) {
    ArchiveWriter w;
    w.i32(version).str(model).i32(kGroupCount);
    for (int g = 0; g < kGroupCount; ++g) {
        const auto specs = groupSpecs(g);
        w.i32(static_cast<std::int32_t>(specs.size()));
        for (std::size_t i = 0; i < specs.size(); ++i)
            w.str(std::to_string(g) + ":" + std::to_string(i));
    }
    for (const ChannelSetting& c : kCustomChannels)
        w.channel(c.index, text(c.name), text(c.upper), text(c.lower));
    return w.bytes;
}

class Doc : public DocFixture {
protected:
    void SetUp() override {
        DocFixture::SetUp();
        state.driveModelCode = 203;
        state.modelName = "KVD230S-13F";
    }
};

} // namespace

TEST_F(Doc, ConstructionBuildsTheGroupsAppliesRegionDefaultsAndResetsTheChannels) {
    state.frequencyRegion = 1;
    setChannels(state, kCustomChannels);
    const auto doc = makeDoc();

    ASSERT_EQ(doc->groups().size(), static_cast<std::size_t>(kGroupCount));
    for (int g = 0; g < kGroupCount; ++g)
        EXPECT_EQ(doc->groups()[static_cast<std::size_t>(g)].items.size(), groupSpecs(g).size());
    const std::pair<const char*, const char*> regionValues[] = {
        {"00-11", "60.00"}, {"01-00", "4"}, {"12-03", "1800"}, {"13-00", "203"}};
    for (const auto& [code, value] : regionValues) {
        EXPECT_EQ(itemOf(*doc, code).factoryValue, value) << code;
        EXPECT_EQ(itemOf(*doc, code).editValue, value) << code;
    }
    EXPECT_EQ(channelsOf(state), defaultChannels());
    EXPECT_TRUE(doc->valuesFromFile());
    EXPECT_FALSE(doc->isModified());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Doc, ModifiedMarksAreTheItemsFlagsAndIgnorePositionsWithoutItems) {
    const auto doc = makeDoc();
    doc->setModifiedMark(8, 4, true);
    EXPECT_TRUE(itemOf(*doc, "08-04").modified);
    EXPECT_TRUE(doc->modifiedMark(8, 4));
    const auto before = snapshot(doc->groups());
    const std::pair<int, int> noItem[] = {{2, 5}, {0, 99}, {0, 100}, {15, 0}, {-1, 0}, {0, -1}};
    for (const auto& [g, i] : noItem) {
        doc->setModifiedMark(g, i, true);
        EXPECT_FALSE(doc->modifiedMark(g, i)) << g << "," << i;
    }
    EXPECT_EQ(snapshot(doc->groups()), before);
    doc->clearModifiedMarks();
    EXPECT_FALSE(doc->modifiedMark(8, 4));
}

TEST_F(Doc, MissingParameterDataFileLeavesAnEmptyProject) {
    ASSERT_TRUE(QFile::remove(path(kParamFile)));
    const auto doc = makeDoc();
    EXPECT_TRUE(doc->groups().empty());
    EXPECT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(doc->item(0, 0), nullptr);
    // A project file still loads: there is nowhere to put its values.
    EXPECT_TRUE(doc->SerializeLoad(fullProjectFile(5, "KVD-401-H")));
    EXPECT_EQ(state.driveModelCode, 401);
}

TEST_F(Doc, NewProjectTakesTheModelsColumnAsFactoryAndEditValue) {
    ASSERT_EQ(modelRow(203), 7);
    const auto doc = makeDoc();
    ASSERT_TRUE(doc->OnNewDocument());
    for (std::string_view code : InitialValueCodes) {
        const std::string expected = initialValue(code, 203);
        EXPECT_EQ(itemOf(*doc, code).factoryValue, expected) << code;
        EXPECT_EQ(itemOf(*doc, code).editValue, expected) << code;
    }
    EXPECT_EQ(doc->initialRows().size(), InitialValueCodes.size());
    EXPECT_EQ(host.panes[PaneFileName], "New Project");
    EXPECT_EQ(host.panes[PaneModel], "KVD230S-13F");
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Doc, InitialValuesWithoutTheirFileChangeNothing) {
    // Missing from the start: the project opens anyway with the data file's values.
    ASSERT_TRUE(QFile::remove(path(kInitialFile)));
    auto doc = makeDoc();
    auto before = snapshot(doc->groups());
    EXPECT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::InitialParamFileMissing});
    EXPECT_EQ(snapshot(doc->groups()), before);
    EXPECT_TRUE(doc->initialRows().empty());

    // Gone after it was read once: the rows and values read before stay.
    ASSERT_TRUE(QFile::copy(kDataDir + "/" + kInitialFile, path(kInitialFile)));
    doc = makeDoc();
    ASSERT_TRUE(doc->ApplyInitialValues());
    itemOf(*doc, "F_18").editValue = "9.9";
    ASSERT_TRUE(QFile::remove(path(kInitialFile)));
    state.driveModelCode = 401;
    before = snapshot(doc->groups());
    prompter.clear();
    EXPECT_FALSE(doc->ApplyInitialValues());
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::InitialParamFileMissing});
    EXPECT_EQ(snapshot(doc->groups()), before);
    EXPECT_EQ(doc->initialRows().size(), InitialValueCodes.size());
}

TEST_F(Doc, SaveThenOpenRestoresEveryValueTheModelAndTheChannels) {
    auto doc = makeDoc();
    ASSERT_TRUE(doc->OnNewDocument());
    for (std::size_t g = 0; g < doc->groups().size(); ++g)
        for (std::size_t i = 0; i < doc->groups()[g].items.size(); ++i)
            doc->groups()[g].items[i].editValue = std::to_string(g * 100 + i + 1);
    setChannels(state, kCustomChannels);
    files.saveAnswers = {path("round")};
    ASSERT_TRUE(doc->OnFileSaveAs());
    const QString saved = path("round.qf7");
    EXPECT_EQ(state.projectPath, saved);
    const auto edits = snapshot(doc->groups());

    state.modelName = "something else";
    state.driveModelCode = 1205;
    state.projectPath.clear();
    host = FakeHost();
    const auto opened = makeDoc();
    ASSERT_TRUE(opened->OnOpenDocument(saved));
    for (std::size_t g = 0; g < doc->groups().size(); ++g)
        for (std::size_t i = 0; i < doc->groups()[g].items.size(); ++i)
            EXPECT_EQ(opened->groups()[g].items[i].editValue, doc->groups()[g].items[i].editValue)
                << g << "/" << i;
    EXPECT_EQ(state.modelName, "KVD230S-13F");
    EXPECT_EQ(state.driveModelCode, 203);
    EXPECT_EQ(channelsOf(state),
              std::vector<ChannelSetting>(std::begin(kCustomChannels), std::end(kCustomChannels)));
    EXPECT_EQ(state.projectPath, saved);
    EXPECT_EQ(host.panes[PaneFileName], "round.qf7");
    EXPECT_EQ(host.panes[PaneModel], "KVD230S-13F");
    EXPECT_EQ(host.treeRebuilds, 1);
    EXPECT_FALSE(opened->isModified());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(Doc, OpeningAProjectChangesOnlyTheFactoryValuesOfTheInitialParameters) {
    auto doc = makeDoc();
    ASSERT_TRUE(doc->OnNewDocument());
    for (std::string_view code : InitialValueCodes)
        itemOf(*doc, code).editValue = "1.0";
    files.saveAnswers = {path("same-model.qf7")};
    ASSERT_TRUE(doc->OnFileSaveAs());

    const auto opened = makeDoc();
    ASSERT_TRUE(opened->OnOpenDocument(path("same-model.qf7")));
    for (std::string_view code : InitialValueCodes) {
        EXPECT_EQ(itemOf(*opened, code).factoryValue, initialValue(code, 203)) << code;
        EXPECT_EQ(itemOf(*opened, code).editValue, "1.0") << code;
    }
    // Values the drive supplies later are not replaced by the model's either.
    EXPECT_FALSE(opened->valuesFromFile());
    itemOf(*opened, "02-01").editValue = "3.3";
    ASSERT_TRUE(opened->ApplyInitialValues());
    EXPECT_EQ(itemOf(*opened, "02-01").editValue, "3.3");
}

TEST_F(Doc, AdoptedReadValuesKeep1309AndF31AndAreNotReplacedByInitialValues) {
    const auto doc = makeDoc();
    ASSERT_TRUE(doc->OnNewDocument());
    ASSERT_TRUE(doc->valuesFromFile());
    for (ParamGroup& g : doc->groups())
        for (ParamItem& it : g.items)
            it.readValue = "7";
    const std::string kept1309 = itemOf(*doc, "13-09").editValue;
    const std::string keptF31 = itemOf(*doc, "F_31").editValue;
    doc->adoptReadValues();
    EXPECT_EQ(itemOf(*doc, "13-09").editValue, kept1309);
    EXPECT_EQ(itemOf(*doc, "F_31").editValue, keptF31);
    for (const ParamSpec& entry : allSpecs())
        if (isGroupRead(entry)) {
            EXPECT_EQ(itemOf(*doc, entry.code).editValue, "7") << entry.code;
        }

    state.driveModelCode = 401;
    ASSERT_TRUE(doc->ApplyInitialValues());
    for (std::string_view code : InitialValueCodes) {
        EXPECT_EQ(itemOf(*doc, code).editValue, "7") << code;
        EXPECT_EQ(itemOf(*doc, code).factoryValue, initialValue(code, 401)) << code;
    }
}

TEST_F(Doc, Version2FileLeavesTheChannelsAtTheirDefaults) {
    ArchiveWriter w;
    w.i32(2).str("KVD-402-H").i32(1).i32(2).str("1").str("2");
    writeFile("old.qf7", w.bytes);
    setChannels(state, kCustomChannels);
    const auto doc = makeDoc();
    ASSERT_TRUE(doc->OnOpenDocument(path("old.qf7")));
    EXPECT_EQ(channelsOf(state), defaultChannels());
    EXPECT_EQ(state.modelName, "KVD-402-H");
    EXPECT_EQ(state.driveModelCode, 402);
    EXPECT_EQ(itemOf(*doc, "00-01").editValue, "1");
    EXPECT_EQ(itemOf(*doc, "00-02").editValue, "2");
    EXPECT_NE(itemOf(*doc, "00-03").editValue, "0:2"); // not listed: as constructed
}

TEST_F(Doc, Version4FileKeeps1309AndF31AtTheirConstructedValues) {
    const auto constructed = makeDoc();
    const std::string item1309 = itemOf(*constructed, "13-09").editValue;
    const std::string itemF31 = itemOf(*constructed, "F_31").editValue;
    struct Case {
        std::int32_t version;
        std::string expect1309;
        std::string expectF31;
    };
    for (const Case& c : {Case{4, item1309, itemF31}, Case{5, "13:9", "14:30"}}) {
        SCOPED_TRACE(c.version);
        writeFile("v.qf7", fullProjectFile(c.version, "KVD-401-H"));
        const auto doc = makeDoc();
        ASSERT_TRUE(doc->OnOpenDocument(path("v.qf7")));
        EXPECT_EQ(itemOf(*doc, "13-08").editValue, "13:8");
        EXPECT_EQ(itemOf(*doc, "13-09").editValue, c.expect1309);
        EXPECT_EQ(itemOf(*doc, "F_30").editValue, "14:29");
        EXPECT_EQ(itemOf(*doc, "F_31").editValue, c.expectF31);
        EXPECT_EQ(channelsOf(state), std::vector<ChannelSetting>(std::begin(kCustomChannels),
                                                                 std::end(kCustomChannels)));
    }
}

TEST_F(Doc, StoredFileMatchesAHandBuiltVersion5File) {
    // A small parameter file keeps the whole expected file readable below.
    QString params;
    params += "00-01 Keypad direction@0$1*\n00-02 Run source@0$2*\n";
    for (int g = 0; g <= 12; ++g)
        params += QStringLiteral("#Group %1\n").arg(g, 2, 10, QLatin1Char('0'));
    params += "13-00 Model@$*\n#Group 13\n#Group F_\n";
    writeFile(kParamFile, text(params));
    state.modelName = "KVD-401-H";
    state.driveModelCode = 401;
    const auto doc = makeDoc();
    state.channels[0] = kCustomChannels[0];

    static const char kExpected[] = "\x05\x00\x00\x00" // version
                                    "\x09\x00\x00\x00"
                                    "KVD-401-H"        // model
                                    "\x0f\x00\x00\x00" // groups
                                    "\x02\x00\x00\x00"
                                    "\x01\x00\x00\x00"
                                    "1"
                                    "\x01\x00\x00\x00"
                                    "2"                                                // 00
                                    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00" // 01 to 03
                                    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00" // 04 to 06
                                    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00" // 07 to 09
                                    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00" // 10 to 12
                                    "\x01\x00\x00\x00"
                                    "\x03\x00\x00\x00"
                                    "401"              // 13: 13-00 model text
                                    "\x00\x00\x00\x00" // F_
                                    "\x03\x00\x00\x00"
                                    "\x0e\x00\x00\x00"
                                    "Output Current" // channel 1
                                    "\x04\x00\x00\x00"
                                    "5.00"
                                    "\x04\x00\x00\x00"
                                    "0.00"
                                    "\x00\x00\x00\x00"
                                    "\x0a\x00\x00\x00"
                                    "No display" // channel 2
                                    "\x05\x00\x00\x00"
                                    "10.00"
                                    "\x04\x00\x00\x00"
                                    "0.00"
                                    "\x00\x00\x00\x00"
                                    "\x0a\x00\x00\x00"
                                    "No display" // channel 3
                                    "\x05\x00\x00\x00"
                                    "10.00"
                                    "\x04\x00\x00\x00"
                                    "0.00"
                                    "\x00\x00\x00\x00"
                                    "\x0a\x00\x00\x00"
                                    "No display" // channel 4
                                    "\x05\x00\x00\x00"
                                    "10.00"
                                    "\x04\x00\x00\x00"
                                    "0.00";
    const QByteArray expected(kExpected, sizeof kExpected - 1);

    const auto stored = doc->SerializeStore();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->toHex(' '), expected.toHex(' '));

    // And the saved file is exactly these bytes.
    files.saveAnswers = {path("fixture.qf7")};
    ASSERT_TRUE(doc->OnFileSaveAs());
    EXPECT_EQ(readFile(path("fixture.qf7")), expected);
}

TEST_F(Doc, DamagedFilesFailWithoutChangingTheDocumentOrTheState) {
    const std::string valid = fullProjectFile(5, "KVD-401-H");
    std::string garbage(300, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 251);
    ArchiveWriter longValue;
    longValue.i32(5).str("KVD-401-H").i32(1).i32(1).str("123456789012345");
    ArchiveWriter tooManyGroups;
    tooManyGroups.i32(5).str("KVD-401-H").i32(16);
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"truncated", valid.substr(0, valid.size() / 2)},
        {"one byte short", valid.substr(0, valid.size() - 1)},
        {"oversized", valid + std::string(project::kMaxFileBytes, 'x')},
        {"garbage", garbage},
        {"long value", longValue.bytes},
        {"16 groups", tooManyGroups.bytes},
    };

    const auto doc = makeDoc();
    ASSERT_TRUE(doc->OnNewDocument());
    setChannels(state, kCustomChannels);
    state.projectPath = path("current.qf7");
    const auto groupsBefore = snapshot(doc->groups());
    const auto channelsBefore = channelsOf(state);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("bad.qf7", c.bytes);
        prompter.clear();
        host = FakeHost();
        EXPECT_FALSE(doc->SerializeLoad(c.bytes));
        EXPECT_FALSE(doc->OnOpenDocument(path("bad.qf7")));
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::ProjectFileInvalid});
        EXPECT_EQ(snapshot(doc->groups()), groupsBefore);
        EXPECT_TRUE(doc->valuesFromFile());
        EXPECT_EQ(state.modelName, "KVD230S-13F");
        EXPECT_EQ(state.driveModelCode, 203);
        EXPECT_EQ(state.projectPath, path("current.qf7"));
        EXPECT_EQ(channelsOf(state), channelsBefore);
        EXPECT_EQ(host.treeRebuilds, 0);
        EXPECT_TRUE(host.panes.empty());
    }

    // Nothing readable at the path: the open fails the same way with its own message.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.qf7"));
    for (const QString& name : {QStringLiteral("missing.qf7"), QStringLiteral("folder.qf7")}) {
        prompter.clear();
        EXPECT_FALSE(doc->OnOpenDocument(path(name))) << text(name);
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::OpenFileFailed});
        EXPECT_EQ(state.projectPath, path("current.qf7"));
    }
}

TEST_F(Doc, OpenIsRefusedDuringTheAutomaticUpdate) {
    writeFile("p.qf7", fullProjectFile(5, "KVD-401-H"));
    state.autoUpdateOn = true;
    const auto doc = makeDoc();
    EXPECT_FALSE(doc->OnOpenDocument(path("p.qf7")));
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::AutoUpdateBlocksProject});
    EXPECT_EQ(state.modelName, "KVD230S-13F");
    EXPECT_TRUE(state.projectPath.isEmpty());
}

TEST_F(Doc, SaveModifiedAsksBeforeAModifiedProjectIsLeft) {
    struct Case {
        const char* name;
        bool modified;
        bool hasPath;
        std::optional<Answer> answer;
        QString dialogPath; // empty: the save dialog is cancelled
        bool expectLeave;
        bool expectSaved;
    };
    const Case cases[] = {
        {"unmodified: no question", false, true, std::nullopt, {}, true, false},
        {"yes with a path saves", true, true, Answer::Yes, {}, true, true},
        {"yes without a path asks for one", true, false, Answer::Yes, "asked", true, true},
        {"yes, dialog cancelled, stays", true, false, Answer::Yes, {}, false, false},
        {"no discards", true, true, Answer::No, {}, true, false},
        {"cancel stays", true, true, Answer::Cancel, {}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path("project.qf7"));
        QFile::remove(path("asked.qf7"));
        prompter.clear();
        files = ScriptedFiles();
        if (!c.dialogPath.isEmpty())
            files.saveAnswers = {path(c.dialogPath)};
        state.projectPath = c.hasPath ? path("project.qf7") : QString();
        const auto doc = makeDoc();
        doc->setModified(c.modified);
        if (c.answer)
            prompter.plan({*c.answer});

        EXPECT_EQ(doc->SaveModified(), c.expectLeave);
        EXPECT_EQ(prompter.questionIds(),
                  c.answer ? std::vector<int>{ids::SaveModifiedQuestion} : std::vector<int>{});
        if (c.answer) {
            EXPECT_EQ(prompter.questions[0].buttons, Buttons::YesNoCancel);
        }
        EXPECT_EQ(prompter.unplanned, 0);
        const QString target = c.hasPath ? path("project.qf7") : path("asked.qf7");
        EXPECT_EQ(QFile::exists(target), c.expectSaved);
        EXPECT_EQ(doc->isModified(), c.modified && !c.expectSaved);
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(Doc, SaveAsAppendsTheProjectExtensionToANameWithoutOne) {
    const std::pair<QString, QString> cases[] = {
        {"plain", "plain.qf7"},
        {"already.qf7", "already.qf7"},
        {"dot.", "dot.qf7"},
        {"other.prj", "other.prj"},
    };
    const auto doc = makeDoc();
    doc->setModified();
    for (const auto& [typed, saved] : cases) {
        SCOPED_TRACE(text(typed));
        files.saveAnswers = {path(typed)};
        host = FakeHost();
        ASSERT_TRUE(doc->OnFileSaveAs());
        EXPECT_TRUE(QFile::exists(path(saved)));
        EXPECT_EQ(state.projectPath, path(saved));
        EXPECT_EQ(host.recentAdded, QStringList{path(saved)});
        EXPECT_EQ(host.titles, QStringList{saved});
        EXPECT_EQ(host.panes[PaneFileName], saved);
        EXPECT_FALSE(doc->isModified());
    }
    ASSERT_FALSE(files.filters.empty());
    EXPECT_EQ(files.filters.back().stringId, ids::ProjectFileFilter);
    EXPECT_EQ(files.filters.back().args, (QStringList{"*.qf7", "*.qf7"}));
    EXPECT_EQ(files.filters.back().defaultSuffix, "qf7");

    // Save uses the project path without asking; a cancelled Save As changes nothing.
    const int asked = files.saves;
    EXPECT_TRUE(doc->OnFileSave());
    EXPECT_EQ(files.saves, asked);
    EXPECT_FALSE(doc->OnFileSaveAs());
    EXPECT_EQ(state.projectPath, path("other.prj"));
}

TEST_F(Doc, FailedSaveKeepsTheOldFileReportsAndAsksForAPathNextTime) {
    const bool root = ::geteuid() == 0;
    const QString longName = QString(250, QLatin1Char('n')) + ".qf7"; // no room for a temp name
    struct Case {
        const char* name;
        QString file;
        std::function<void(Doc&)> arrange;
        std::function<void(Doc&)> undo;
        bool needsNonRoot;
    };
    const Case cases[] = {
        {"model name too long for the file", "model.qf7",
         [](Doc& t) { t.state.modelName = "KVD230S-13F-LONG"; },
         [](Doc& t) { t.state.modelName = "KVD230S-13F"; }, false},
        {"no room for a temporary file name", longName, {}, {}, false},
        {"read-only folder", "ro-folder.qf7",
         [](Doc& t) { ::chmod(QFile::encodeName(t.dir.path()).constData(), 0555); },
         [](Doc& t) { ::chmod(QFile::encodeName(t.dir.path()).constData(), 0700); }, true},
        {"read-only project file", "ro-file.qf7",
         [](Doc& t) { ::chmod(QFile::encodeName(t.path("ro-file.qf7")).constData(), 0444); },
         [](Doc& t) { ::chmod(QFile::encodeName(t.path("ro-file.qf7")).constData(), 0644); }, true},
    };
    const std::string oldBytes = "the previous project";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsNonRoot && root)
            continue; // permissions do not stop root
        writeFile(c.file, oldBytes);
        const auto doc = makeDoc();
        doc->setModified();
        state.projectPath = path(c.file);
        prompter.clear();
        host = FakeHost();
        files = ScriptedFiles();
        if (c.arrange)
            c.arrange(*this);

        EXPECT_FALSE(doc->OnFileSave());
        if (c.undo)
            c.undo(*this);
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::SaveFailure});
        EXPECT_EQ(readFile(path(c.file)), QByteArray::fromStdString(oldBytes));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4) << "temporary file left";
        EXPECT_TRUE(doc->isModified());
        EXPECT_TRUE(state.projectPath.isEmpty());
        EXPECT_TRUE(host.recentAdded.isEmpty());

        // The next Save asks for a path; cancelling it saves nothing.
        EXPECT_FALSE(doc->OnFileSave());
        EXPECT_EQ(files.saves, 1);

        // And a failed save answering the leave question keeps the project open.
        if (c.arrange)
            c.arrange(*this);
        state.projectPath = path(c.file);
        prompter.plan({Answer::Yes});
        EXPECT_FALSE(doc->SaveModified());
        if (c.undo)
            c.undo(*this);
        QFile::remove(path(c.file));
    }
}
