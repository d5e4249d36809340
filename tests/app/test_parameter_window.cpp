// The tabbed parameter window: its tabs, OK and Cancel, "Transmit Group" against the drive
// simulator, the small keyboard, and how the main window opens it.
#include "PagesTestSupport.h"
#include "app/MainFrame.h"
#include "app/RecentFiles.h"
#include "reports/CQ770View.h"

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace kvd;
using namespace kvdtest;
using Frames = std::vector<std::string>;

namespace {

class ParameterWindowTest : public PagesFixture {
protected:
    static std::vector<int> redRows(const GroupPage& p) {
        std::vector<int> rows;
        for (int r = 0; r < p.rowCount(); ++r)
            if (p.rowLabel(r)->palette().color(QPalette::WindowText) == QColor(255, 0, 0))
                rows.push_back(r);
        return rows;
    }
    QString groupName(int g) { return QString::fromStdString(project().groups()[g].name); }
    std::vector<std::string> editValues(int g) {
        std::vector<std::string> v;
        for (const ParamItem& it : project().groups()[g].items)
            v.push_back(it.editValue);
        return v;
    }
    bool anyMarked(int g) {
        for (int p = 0; p < kMarksPerGroup; ++p)
            if (project().modifiedMark(g, p))
                return true;
        return false;
    }
};

} // namespace

TEST_F(ParameterWindowTest, OpensOnTheTabOfTheHighlightedItem) {
    auto w = window(5, 11); // 05-19, from the list view
    EXPECT_EQ(w->windowTitle(), "Q770 Parameter");
    ASSERT_EQ(w->pageCount(), 3);
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    EXPECT_EQ(w->page(1)->entry().dialogId, 264);
    EXPECT_EQ(redRows(*w->page(1)), std::vector<int>{1});
    EXPECT_TRUE(redRows(*w->page(0)).empty());
    EXPECT_TRUE(redRows(*w->page(2)).empty());
    EXPECT_EQ(w->tabs()->tabText(0), groupName(5) + "-> 05-00 - 05-17 ");
    EXPECT_EQ(w->tabs()->tabText(1), "    05-18 - 05-27    ");
    EXPECT_EQ(w->tabs()->tabText(2), "    05-28 - 05-32    ");
    EXPECT_FALSE(w->transmitButton()->isEnabled()); // not connected
}

TEST_F(ParameterWindowTest, FromTheMenuTheFirstTabWithoutHighlight) {
    auto w = window(13);
    ASSERT_EQ(w->pageCount(), 1);
    EXPECT_EQ(w->tabs()->tabText(0), groupName(13) + "-> 13-00 - 13-08 ");
    EXPECT_TRUE(redRows(*w->page(0)).empty());

    auto basic = window(14, 25); // F_26
    EXPECT_EQ(basic->tabs()->currentIndex(), 2);
    EXPECT_EQ(redRows(*basic->page(2)), std::vector<int>{5});
}

TEST_F(ParameterWindowTest, OkStoresEveryPageAndRefreshesTheGroup) {
    auto w = window(0);
    w->show();
    edit(*w->page(0), "00-08")->setText("1.00"); // read-only: not taken
    list(*w->page(0), "00-04")->setCurrentIndex(2);
    edit(*w->page(1), "00-18")->setText("3");
    const std::string readOnly = item("00-08").editValue;

    w->okButton()->click();

    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(item("00-04").editValue, "2");
    EXPECT_EQ(item("00-18").editValue, "3.00");
    EXPECT_EQ(item("00-08").editValue, readOnly);
    EXPECT_TRUE(marked("00-04"));
    EXPECT_TRUE(marked("00-18"));
    EXPECT_FALSE(marked("00-05"));
    EXPECT_TRUE(project().isModified());
    EXPECT_EQ(changedGroups, std::vector<int>{0});
}

TEST_F(ParameterWindowTest, OkWithAFailingPageStaysOpenOnItsTab) {
    auto w = window(0);
    w->show();
    list(*w->page(0), "00-04")->setCurrentIndex(2);
    edit(*w->page(1), "00-19")->setText("30.0"); // above 25.5

    w->okButton()->click();

    EXPECT_TRUE(w->isVisible());
    EXPECT_NE(w->result(), QDialog::Accepted);
    EXPECT_EQ(w->tabs()->currentIndex(), 1);
    EXPECT_EQ(w->page(1)->focusWidget(), edit(*w->page(1), "00-19"));
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::BeyondRange});
    EXPECT_NE(item("00-04").editValue, "2"); // nothing stored
    EXPECT_TRUE(changedGroups.empty());
}

TEST_F(ParameterWindowTest, CancelAfterARowWriteKeepsTheProjectButNotTheMark) {
    startLine();
    project().setModifiedMark(0, 10, true);
    const auto before = editValues(0);
    auto w = window(0, 10);
    edit(*w->page(1), "00-11")->setText("33.00");
    ASSERT_EQ(writeRow(*w->page(1), "00-11"), RowWriteResult::Written);

    w->cancelButton()->click();

    EXPECT_EQ(w->result(), QDialog::Rejected);
    EXPECT_EQ(editValues(0), before);
    EXPECT_FALSE(marked("00-11"));
    EXPECT_EQ(driveWord("00-11"), 3300);
}

TEST_F(ParameterWindowTest, NotConnectedTheRowButtonsStillAnswer) {
    auto w = window(0);
    EXPECT_FALSE(w->transmitButton()->isEnabled());
    w->page(0)->rowButton(1)->click();
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::NotConnected});
}

TEST_F(ParameterWindowTest, TransmitSendsTheGroupAsShownAndKeepsTheProject) {
    startLine();
    for (int p = 0; p < 17; ++p)
        project().setModifiedMark(3, p, true);
    const auto before = editValues(3);
    auto w = window(3);
    ASSERT_TRUE(w->transmitButton()->isEnabled());
    list(*w->page(0), "03-11")->setCurrentIndex(12); // "13: output current reached "
    list(*w->page(0), "03-01")->setCurrentIndex(6);  // 7: Jog Reverse
    const int r0309 = rowOf(*w->page(0), "03-09");
    const int digits[] = {0, 1, 1, 0, 1};
    for (int k = 0; k < 5; ++k)
        w->page(0)->digitLists(r0309)[k]->setCurrentIndex(digits[k]);
    edit(*w->page(1), "03-13")->setText("12.5");

    w->transmitButton()->click();

    EXPECT_EQ(stations.dialogs, std::vector<int>{ids::DialogStationSelect});
    EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::WriteSuccessful});
    EXPECT_EQ(frames(), (Frames{"R 0D07 1", "R 2520 1", "R 0D01 1", "W 0300 5", "W 0306 4",
                                "W 030B 1", "W 030D 7"}));
    EXPECT_EQ(driveWord("03-11"), 13);
    EXPECT_EQ(driveWord("03-01"), 7);
    EXPECT_EQ(driveWord("03-09"), 13);
    EXPECT_EQ(driveWord("03-13"), 1250);
    EXPECT_FALSE(anyMarked(3));
    EXPECT_EQ(changedGroups, std::vector<int>{3});
    EXPECT_EQ(editValues(3), before); // only OK changes the project

    // What went to the drive is not marked again when the window is confirmed.
    w->okButton()->click();
    EXPECT_EQ(item("03-11").editValue, "13");
    EXPECT_EQ(item("03-09").editValue, "01101");
    EXPECT_FALSE(anyMarked(3));
}

TEST_F(ParameterWindowTest, AfterATransmitOkMarksWhatTheGroupWriteLeftOut) {
    startLine();
    auto w = window(14);
    edit(*w->page(0), "F_01")->setText("20.0");
    edit(*w->page(1), "F_18")->setText("3.3"); // written only from its own row
    const std::uint16_t f18 = driveWord("F_18");
    ASSERT_TRUE(w->transmit());
    EXPECT_EQ(driveWord("F_01"), 200);
    EXPECT_EQ(driveWord("F_18"), f18);

    w->okButton()->click();
    EXPECT_EQ(item("F_01").editValue, "20.0");
    EXPECT_FALSE(marked("F_01"));
    EXPECT_EQ(item("F_18").editValue, "3.3");
    EXPECT_TRUE(marked("F_18"));
}

TEST_F(ParameterWindowTest, CancelAfterATransmitLeavesTheGroupUnmarkedAndUnchanged) {
    startLine();
    project().setModifiedMark(10, 2, true);
    const auto before = editValues(10);
    auto w = window(10);
    edit(*w->page(0), "10-02")->setText("55.5");
    w->transmitButton()->click();
    EXPECT_EQ(driveWord("10-02"), 555);
    w->cancelButton()->click();
    EXPECT_EQ(editValues(10), before);
    EXPECT_FALSE(anyMarked(10));
}

TEST_F(ParameterWindowTest, TransmitRefusedOrFailing) {
    const struct Case {
        const char* what;
        std::function<void(ParameterWindowTest&, ParameterSetDialog&)> stage;
        std::vector<int> messages;
        int tab;
    } cases[] = {
        {"running drive",
         [](ParameterWindowTest& t, ParameterSetDialog&) { t.station().setRegister(0x2501, 1); },
         {ids::InverterRunning},
         0},
        {"password set",
         [](ParameterWindowTest& t, ParameterSetDialog&) { t.station().setPassword(77); },
         {ids::StationHasPassword},
         0},
        {"page check fails",
         [](ParameterWindowTest&, ParameterSetDialog& w) {
             edit(*w.page(1), "00-12")->setText("700");
         },
         {ids::BeyondRange},
         1},
        {"equal frequency sources",
         [](ParameterWindowTest&, ParameterSetDialog& w) {
             list(*w.page(0), "00-05")->setCurrentIndex(3);
             list(*w.page(0), "00-06")->setCurrentIndex(3);
         },
         {0},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        startLine();
        prompter.clear();
        changedGroups.clear();
        project().setModifiedMark(0, 3, true);
        auto w = window(0);
        w->show();
        c.stage(*this, *w);

        EXPECT_FALSE(w->transmit());

        EXPECT_EQ(prompter.messageIds(), c.messages);
        EXPECT_EQ(writesOf(frames()), Frames{});
        EXPECT_EQ(w->tabs()->currentIndex(), c.tab);
        EXPECT_TRUE(marked("00-04"));
        EXPECT_TRUE(changedGroups.empty());
        TearDown();
    }
}

TEST_F(ParameterWindowTest, SmallKeyboardTypesIntoTheLastClickedField) {
    auto w = window(0);
    w->show();
    w->tabs()->setCurrentIndex(1);
    QLineEdit* field = edit(*w->page(1), "00-11"); // 0.00 .. 650.00
    field->setText("50.00");
    EXPECT_EQ(w->keyboardTarget(), nullptr);
    // A left button press in a field makes it the keyboard's target.
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(2, field->height() / 2));
    EXPECT_EQ(w->keyboardTarget(), field);
    w->setKeyboardTarget(field, 0, 5); // as if the whole text had been selected

    w->keyboardButton()->click();
    ASSERT_NE(w->keyboard(), nullptr);
    EXPECT_TRUE(w->keyboard()->isVisible());
    EXPECT_EQ(w->keyboard()->windowTitle(), "Small Keyboard'");
    const auto key = [&](char c) { w->keyboard()->key(QChar(c))->click(); };

    key('1'); // replaces the selection
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(field->cursorPosition(), 1);
    for (char c : std::string("2.345"))
        key(c);
    EXPECT_EQ(field->text(), "12.34"); // the third decimal is dropped again
    EXPECT_EQ(field->cursorPosition(), 5);
    key('.');
    EXPECT_EQ(field->text(), "12.34");

    // Typing in front: 912.34 is above the bound and refused, 129.34 is taken.
    w->setKeyboardTarget(field, 0, 0);
    key('9');
    EXPECT_EQ(field->text(), "12.34");
    w->setKeyboardTarget(field, 2, 0);
    key('9');
    EXPECT_EQ(field->text(), "129.34");
    EXPECT_EQ(field->cursorPosition(), 3);
}

TEST_F(ParameterWindowTest, KeyboardClosesWithTheWindow) {
    auto w = window(1);
    w->show();
    w->keyboardButton()->click();
    w->keyboardButton()->click(); // one keyboard only
    ASSERT_NE(w->keyboard(), nullptr);
    EXPECT_EQ(w->findChildren<SmallKeyboard*>().size(), 1);
    w->okButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->keyboard(), nullptr);
}

TEST_F(ParameterWindowTest, MainWindowOpensItFromTheMenuAndTheList) {
    state.programFolder = QStringLiteral(KVD_BIN_DIR) + u'/';
    RecentFileList recent;
    CMainFrame frame(state, recent, &prompter);
    frame.show();
    frame.newOnlineProject();
    ASSERT_NE(frame.view(), nullptr);

    struct Seen {
        QString dialog;
        int tab = -1;
        int tabs = 0;
        QString firstTab;
    } seen;
    const auto inspectAndClose = [&seen] {
        auto* w = qobject_cast<ParameterSetDialog*>(QApplication::activeModalWidget());
        if (!w)
            return;
        seen = {w->objectName(), w->tabs()->currentIndex(), w->pageCount(), w->tabs()->tabText(0)};
        w->reject();
    };

    QTimer::singleShot(0, &frame, inspectAndClose);
    frame.runCommand(ids::CmdGroup01);
    QApplication::processEvents();
    EXPECT_EQ(seen.dialog, "dialog133");
    EXPECT_EQ(seen.tabs, 2);
    EXPECT_EQ(seen.tab, 0);
    EXPECT_TRUE(seen.firstTab.endsWith("-> 01-01 - 01-09 ")) << seen.firstTab.toStdString();

    seen = {};
    QTimer::singleShot(0, &frame, inspectAndClose);
    emit frame.view()->editRequested(5, 11);
    QApplication::processEvents();
    EXPECT_EQ(seen.dialog, "dialog133");
    EXPECT_EQ(seen.tabs, 3);
    EXPECT_EQ(seen.tab, 1);
}
