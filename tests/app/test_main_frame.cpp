#include "app/MainFrame.h"
#include "app/ProgressWindow.h"
#include "app/ResourceLibrary.h"
#include "reports/CQ770View.h"
#include "resources/StringIds.h"
#include "support/GuiTestApp.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTreeWidget>

using namespace kvd;

namespace {

class MainFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(kvdtest::startGuiTestApp()); }
    void SetUp() override {
        state.programFolder = QStringLiteral(KVD_BIN_DIR) + u'/';
        state.tempFolder = temp.path();
    }
    QTemporaryDir temp;
    AppState state;
    RecentFileList recent;
    kvdtest::ScriptedPrompter prompter;
};

} // namespace

TEST_F(MainFrameTest, StatusPanesShareTheWidthAsSevenFourteenths) {
    CMainFrame frame(state, recent, &prompter);
    frame.resize(1400, 800);
    frame.show();
    QApplication::processEvents();
    const int expected[5] = {300, 200, 400, 200, 100};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(frame.paneWidth(i), expected[i]) << "pane " << i;
    EXPECT_EQ(frame.statusText(0), "File name:");
    EXPECT_EQ(frame.statusText(4), "Unlink");
    frame.ShowStatus(2, "3");
    EXPECT_EQ(frame.statusText(2), "Station Num:3");
}

TEST_F(MainFrameTest, NewOnlineProjectOpensTheProjectWindowAndTree) {
    CMainFrame frame(state, recent, &prompter);
    frame.show();
    EXPECT_FALSE(frame.hasProject());
    EXPECT_EQ(frame.projectTree()->topLevelItemCount(), 0);

    frame.newOnlineProject();
    ASSERT_TRUE(frame.hasProject());
    EXPECT_EQ(frame.projectWindow()->windowTitle(), "New Project");
    EXPECT_TRUE(frame.projectWindow()->isMaximized());
    QTreeWidgetItem* root = frame.projectTree()->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), "Project");
    ASSERT_EQ(root->childCount(), 1);
    QTreeWidgetItem* params = root->child(0);
    ASSERT_EQ(params->childCount(), 14);
    EXPECT_EQ(params->child(0)->text(0), "00-XX");
    EXPECT_EQ(params->child(13)->data(0, Qt::UserRole).toInt(), 2028);
    // With a project open the full menu is shown, including the group commands.
    EXPECT_NE(frame.action(ids::CmdGroup13), nullptr);

    state.fullParameterSet = false;
    frame.RebuildProjectTree();
    params = frame.projectTree()->topLevelItem(0)->child(0);
    ASSERT_EQ(params->childCount(), 1);
    EXPECT_EQ(params->child(0)->text(0), "F-XX");
    EXPECT_EQ(params->child(0)->data(0, Qt::UserRole).toInt(), 2030);

    frame.projectWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frame.hasProject());
    EXPECT_EQ(frame.projectTree()->topLevelItemCount(), 0); // closing empties the tree
}

TEST_F(MainFrameTest, ToolBarFollowsTheResource) {
    CMainFrame frame(state, recent, &prompter);
    QToolBar* bar = frame.findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    const QList<QAction*> actions = bar->actions();
    ASSERT_EQ(actions.size(), 18);
    EXPECT_EQ(actions[0], frame.action(ids::CmdNew));
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions.last(), frame.action(ids::CmdAbout));
    EXPECT_EQ(frame.action(ids::CmdSave)->shortcuts().value(0), QKeySequence("Ctrl+S"));
}

// The program without its resource library ends at once, silently, with a failure status.
TEST(Startup, WithoutResourceLibraryEndsSilently) {
    QTemporaryDir dir;
    const QString exe = dir.filePath("KVD-Manager");
    ASSERT_TRUE(QFile::copy(KVD_MANAGER_EXE, exe));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("XDG_CONFIG_HOME", dir.path());
    p.setProcessEnvironment(env);
    p.start(exe, {});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), "");
    // Sanitizer builds may print to stderr at exit; a normal build prints nothing at all.
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.isEmpty() || err.contains("Sanitizer")) << err.constData();
}

TEST_F(MainFrameTest, ProjectSavedAndOpenedAgainThroughTheCommands) {
    CMainFrame frame(state, recent, &prompter);
    frame.show();
    frame.newOnlineProject();
    ASSERT_NE(frame.document(), nullptr);
    ASSERT_NE(frame.view(), nullptr);
    EXPECT_GT(frame.view()->model()->rowCount(), 200); // every group, headers included
    EXPECT_TRUE(prompter.messageIds().empty());

    // Save As goes through the file chooser, which the test cannot click: save directly.
    const QString path = temp.filePath("pump.qf7");
    ASSERT_TRUE(frame.document()->OnSaveDocument(path));
    frame.projects().closeProject();
    EXPECT_FALSE(frame.hasProject());

    ASSERT_TRUE(frame.openProject(path));
    EXPECT_TRUE(frame.hasProject());
    EXPECT_EQ(frame.statusText(0), "File name:pump.qf7");
    EXPECT_EQ(frame.projectTree()->topLevelItem(0)->child(0)->childCount(), 14);
    EXPECT_FALSE(frame.openProject(temp.filePath("missing.qf7")));
    EXPECT_TRUE(frame.hasProject()); // a failed open keeps the open project
}

TEST_F(MainFrameTest, CommandsFollowProjectConnectionAndParameterSet) {
    CMainFrame frame(state, recent, &prompter);
    frame.show();
    auto enabled = [&](int command) {
        QAction* a = frame.action(command);
        return a && a->isEnabled();
    };
    EXPECT_FALSE(enabled(ids::CmdSave));
    EXPECT_TRUE(enabled(ids::CmdConnect));

    frame.newOnlineProject();
    frame.updateCommandStates();
    const int online[] = {ids::CmdRead,   ids::CmdWrite,      ids::CmdStatus,     ids::CmdControl,
                          ids::CmdKeyPad, ids::CmdAutoUpdate, ids::CmdPasswordSet};
    for (int c : online)
        EXPECT_FALSE(enabled(c)) << c; // a project alone does not make the program online
    EXPECT_TRUE(enabled(ids::CmdSave));
    EXPECT_TRUE(enabled(ids::CmdGraphWatch));
    EXPECT_TRUE(enabled(ids::CmdGroup13));
    EXPECT_FALSE(enabled(ids::CmdGroupF));

    state.connected = true;
    state.fullParameterSet = false;
    frame.updateCommandStates();
    for (int c : online)
        EXPECT_TRUE(enabled(c)) << c;
    EXPECT_FALSE(enabled(ids::CmdGroup00));
    EXPECT_FALSE(enabled(ids::CmdGroup13));
    EXPECT_TRUE(enabled(ids::CmdGroupF));

    state.reading = true; // no automatic update while a transfer runs
    frame.updateCommandStates();
    EXPECT_FALSE(enabled(ids::CmdAutoUpdate));
    state.connected = false;
}

TEST_F(MainFrameTest, HelpWithoutTheManualSaysSo) {
    QTemporaryDir empty;
    state.programFolder = empty.path() + u'/';
    CMainFrame frame(state, recent, &prompter);
    frame.runCommand(ids::CmdHelp);
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::HelpMissing});
}

TEST_F(MainFrameTest, ProgressWindowSitsInTheLowerThirdAndFollowsTheTransfer) {
    CMainFrame frame(state, recent);
    frame.setGeometry(0, 0, 900, 600);
    frame.show();
    Prompter& p = frame.prompter(); // the frame's own: message boxes and dialog 167
    p.progressStart(15);
    ProgressWindow* w = frame.progressWindow();
    ASSERT_TRUE(w->isVisible());
    EXPECT_EQ(w->pos().x(), frame.geometry().left() + frame.geometry().width() / 3);
    p.progressStep(3, "Read Inverter function parameter...,", "03-XX --Station Num:1");
    EXPECT_EQ(w->value(), 3);
    EXPECT_EQ(w->maximum(), 15);
    EXPECT_EQ(w->statusText(), "03-XX --Station Num:1");
    p.progressEnd();
    EXPECT_FALSE(w->isVisible());
}
