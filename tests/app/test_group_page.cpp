// One group page as a widget: what it shows of the project, the input checks while typing,
// checkPage and storePage.
#include "PagesTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace kvd;
using namespace kvdtest;

namespace {

class GroupPageTest : public PagesFixture {
protected:
    QColor labelColor(const GroupPage& p, std::string_view code) {
        return p.rowLabel(rowOf(p, code))->palette().color(QPalette::WindowText);
    }
};

std::vector<int> digitsShown(const GroupPage& p, int row) {
    std::vector<int> d;
    for (const QComboBox* list : p.digitLists(row))
        d.push_back(list->currentIndex());
    return d;
}

} // namespace

TEST_F(GroupPageTest, LoadShowsTheProjectsValuesInEachKindOfControl) {
    item("13-02").editValue = "12";
    item("13-07").editValue = "00012";
    item("13-08").editValue = "1160";
    item("13-09").editValue = "1";
    item("03-00").editValue = "6";
    item("03-11").editValue = "13";
    item("03-09").editValue = "01101";
    item("12-00").editValue = "05077";
    item("08-00").editValue = "00110";
    item("00-11").editValue = "5";
    item("00-05").editValue = "9"; // no such option

    auto p278 = page(278);
    EXPECT_EQ(list(*p278, "13-02")->currentText(), "12: Inverter overload");
    EXPECT_EQ(list(*p278, "13-08")->currentIndex(), 2);
    EXPECT_EQ(list(*p278, "13-09")->currentIndex(), 0); // not taken from the project
    EXPECT_EQ(edit(*p278, "13-07")->text(), "00012");
    EXPECT_EQ(edit(*p278, "13-07")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit(*p278, "13-00")->text(), "2P5");
    for (const char* code : {"13-00", "13-01", "13-02", "13-07"})
        EXPECT_FALSE(p278->rowControl(rowOf(*p278, code))->isEnabled()) << code;
    EXPECT_TRUE(list(*p278, "13-08")->isEnabled());

    auto p174 = page(174);
    EXPECT_EQ(list(*p174, "03-00")->currentText(), "6: Jog Forward");
    EXPECT_EQ(list(*p174, "03-11")->currentText(), "13: output current reached ");
    EXPECT_EQ(digitsShown(*p174, rowOf(*p174, "03-09")), (std::vector<int>{0, 1, 1, 0, 1}));

    auto p277 = page(277);
    EXPECT_EQ(digitsShown(*p277, rowOf(*p277, "12-00")), (std::vector<int>{0, 5, 0, 7, 7}));
    EXPECT_EQ(p277->digitLists(rowOf(*p277, "12-00"))[0]->count(), 8);

    auto p270 = page(270);
    const int r0800 = rowOf(*p270, "08-00");
    EXPECT_EQ(digitsShown(*p270, r0800), (std::vector<int>{0, 0, 1, 1, 0}));
    EXPECT_EQ(p270->digitLists(r0800)[0]->count(), 1);
    EXPECT_EQ(p270->digitLists(r0800)[1]->count(), 2);

    auto p134 = page(134);
    EXPECT_EQ(list(*p134, "00-05")->currentIndex(), -1);
    EXPECT_EQ(p134->rowLabel(0)->text(), QString::fromStdString(item("00-01").label));
    EXPECT_FALSE(p134->rowButton(0)->icon().isNull());
    EXPECT_FALSE(edit(*p134, "00-08")->isEnabled());
    EXPECT_EQ(edit(*page(135), "00-11")->text(), "5.00");
}

TEST_F(GroupPageTest, RangeTextsFollowTheModelsVoltageClass) {
    state.driveModelCode = 203;
    auto low = page(141);
    EXPECT_EQ(low->rangeLabel(rowOf(*low, "01-01"))->text(), "198.0~256.0");
    EXPECT_EQ(low->rangeLabel(rowOf(*low, "01-02"))->text(), "0.20~650.00");
    EXPECT_EQ(low->rangeLabel(rowOf(*low, "01-00"))->text(), "1~7");
    state.driveModelCode = 402;
    auto high = page(141);
    EXPECT_EQ(high->rangeLabel(rowOf(*high, "01-01"))->text(), "323.0~528.0");
    auto p270 = page(270);
    EXPECT_EQ(p270->rangeLabel(rowOf(*p270, "08-04"))->text(), "700.0~780.0");

    auto p278 = page(278);
    EXPECT_EQ(p278->rangeLabel(rowOf(*p278, "13-07"))->text(), "00000~65535");
    EXPECT_EQ(p278->rangeLabel(rowOf(*p278, "13-01")), nullptr);
    EXPECT_EQ(p278->rangeLabel(rowOf(*p278, "13-00")), nullptr);
}

TEST_F(GroupPageTest, Row0001IsDisabledWhileTheRunSourceIsNotTheKeypad) {
    state.cachedRunSource = 2;
    EXPECT_FALSE(list(*page(134), "00-01")->isEnabled());
    state.cachedRunSource = 0;
    EXPECT_TRUE(list(*page(134), "00-01")->isEnabled());
}

TEST_F(GroupPageTest, HighlightedRowIsDrawnInRed) {
    auto p = page(264);
    EXPECT_EQ(labelColor(*p, "05-19"), QColor(0, 0, 0));
    p->setHighlight(11); // 05-19
    EXPECT_EQ(labelColor(*p, "05-19"), QColor(255, 0, 0));
    EXPECT_EQ(labelColor(*p, "05-18"), QColor(0, 0, 0));
    EXPECT_EQ(labelColor(*p, "05-20"), QColor(0, 0, 0));
}

TEST_F(GroupPageTest, TypingGoesThroughTheFieldsInputCheck) {
    auto p = page(135);
    p->show();
    QLineEdit* field = edit(*p, "00-11"); // 0.00 .. 650.00
    field->clear();
    QTest::keyClicks(field, "1a2");
    EXPECT_EQ(field->text(), "12"); // the letter is undone
    QTest::keyClicks(field, ".345");
    EXPECT_EQ(field->text(), "12.34"); // the third decimal is dropped again
    field->clear();
    QTest::keyClicks(field, ".6");
    EXPECT_EQ(field->text(), "6"); // no leading point
    QTest::keyClicks(field, "51");
    EXPECT_EQ(field->text(), "65"); // 651 is above the upper bound

    auto p270 = page(270);
    p270->show();
    QLineEdit* integer = edit(*p270, "08-01"); // 50 .. 200
    integer->clear();
    QTest::keyClicks(integer, "1.5x0");
    EXPECT_EQ(integer->text(), "150");
    QTest::keyClicks(integer, "0");
    EXPECT_EQ(integer->text(), "150");
}

TEST_F(GroupPageTest, CheckPageMarksTheFirstFailingRow) {
    const struct Case {
        const char* what;
        int dialog;
        std::function<void(GroupPage&)> set;
        const char* failing;
    } cases[] = {
        {"decimal below its range", 135,
         [](GroupPage& p) {
             edit(p, "00-12")->setText("0.00");
             edit(p, "00-14")->setText("0");
         },
         "00-12"},
        {"decimal above its range", 135, [](GroupPage& p) { edit(p, "00-13")->setText("650.00"); },
         "00-13"},
        {"empty field", 135, [](GroupPage& p) { edit(p, "00-20")->clear(); }, "00-20"},
        {"integer below its range", 270, [](GroupPage& p) { edit(p, "08-02")->setText("5"); },
         "08-02"},
        {"class range", 141, [](GroupPage& p) { edit(p, "01-01")->setText("300.0"); }, "01-01"},
        {"empty option", 268, [](GroupPage& p) { list(p, "06-36")->setCurrentIndex(3); }, "06-36"},
        {"unknown value shown as no option", 134,
         [](GroupPage& p) { list(p, "00-10")->setCurrentIndex(-1); }, "00-10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        auto p = page(c.dialog);
        p->show();
        c.set(*p);
        EXPECT_FALSE(p->checkPage());
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::BeyondRange});
        QWidget* control = p->rowControl(rowOf(*p, c.failing));
        EXPECT_EQ(p->focusWidget(), control);
        if (auto* field = qobject_cast<QLineEdit*>(control)) {
            EXPECT_EQ(field->selectedText(), field->text());
        }
    }
}

TEST_F(GroupPageTest, CheckPageRewritesPassingValuesInTheirFormat) {
    state.driveModelCode = 400; // a class whose voltage ranges are not checked
    auto p = page(141);
    edit(*p, "01-01")->setText("300");
    edit(*p, "01-02")->setText("5");
    edit(*p, "01-03")->setText("7.");
    EXPECT_TRUE(p->checkPage());
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_EQ(edit(*p, "01-01")->text(), "300.0");
    EXPECT_EQ(edit(*p, "01-02")->text(), "5.00");
    EXPECT_EQ(edit(*p, "01-03")->text(), "7.0");
}

TEST_F(GroupPageTest, StorePageMarksWhatDiffersFromTheLastWriteOrTheProject) {
    startLine();
    item("00-11").editValue = "50.00";
    item("00-12").editValue = "50.00";
    item("00-13").editValue = "0.00";
    item("00-14").editValue = "10.0";
    auto p = page(135);
    // Written to the drive from this page and then left as written: not marked.
    edit(*p, "00-13")->setText("1.00");
    ASSERT_EQ(writeRow(*p, "00-13"), RowWriteResult::Written);
    // Written, then changed again: marked.
    edit(*p, "00-14")->setText("20.0");
    ASSERT_EQ(writeRow(*p, "00-14"), RowWriteResult::Written);
    edit(*p, "00-14")->setText("30.0");
    // Changed without a write: marked. Untouched: not marked.
    edit(*p, "00-11")->setText("12.5");
    project().setModified(false);

    p->storePage();

    EXPECT_EQ(item("00-11").editValue, "12.50");
    EXPECT_TRUE(marked("00-11"));
    EXPECT_EQ(item("00-12").editValue, "50.00");
    EXPECT_FALSE(marked("00-12"));
    EXPECT_EQ(item("00-13").editValue, "1.00");
    EXPECT_FALSE(marked("00-13"));
    EXPECT_EQ(item("00-14").editValue, "30.0");
    EXPECT_TRUE(marked("00-14"));
    EXPECT_TRUE(project().isModified());
}

TEST_F(GroupPageTest, StorePageKeepsReadOnlyRowsAndLeaves1309ToItsRow) {
    item("13-09").editValue = "1";
    item("13-01").editValue = "1.1"; // as an old project may spell it
    item("13-06").editValue = "0";
    auto p = page(278);
    list(*p, "13-06")->setCurrentIndex(3);
    p->storePage();
    EXPECT_EQ(item("13-06").editValue, "3");
    EXPECT_TRUE(marked("13-06"));
    EXPECT_EQ(item("13-09").editValue, "1");
    EXPECT_EQ(item("13-01").editValue, "1.1");
    EXPECT_FALSE(marked("13-01"));
    EXPECT_FALSE(marked("13-09"));
}

TEST_F(GroupPageTest, StorePageWritesDigitRowsAndGappedListsAsTheirValues) {
    auto p = page(174);
    const int r = rowOf(*p, "03-09");
    const int digits[] = {1, 0, 0, 1, 1};
    for (int k = 0; k < 5; ++k)
        p->digitLists(r)[k]->setCurrentIndex(digits[k]);
    list(*p, "03-02")->setCurrentIndex(17);
    list(*p, "03-11")->setCurrentIndex(13);
    p->storePage();
    EXPECT_EQ(item("03-09").editValue, "10011");
    EXPECT_EQ(item("03-02").editValue, "18");
    EXPECT_EQ(item("03-11").editValue, "14");
}
