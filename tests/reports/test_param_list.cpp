#include "ReportsTestSupport.h"
#include "reports/CQ770View.h"
#include "reports/ParamTableModel.h"
#include "reports/ReportDialogs.h"
#include "resources/StringIds.h"

#include <QSignalSpy>

#include <optional>

using namespace kvd;
using kvdtest::q;

namespace {

using Ref = ParamTableModel::ItemRef;

std::vector<int> range(int from, int to) {
    std::vector<int> v;
    for (int g = from; g <= to; ++g)
        v.push_back(g);
    return v;
}

TEST(ListedGroups, FollowSetSelectionAndTheGroupsTheDocumentHas) {
    struct Case {
        bool full;
        int selection;
        int groupCount;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {false, -1, 15, {14}},        // basic: the basic group alone
        {false, 3, 15, {14}},         // ... whatever group the tree selects
        {true, -1, 15, range(0, 13)}, // advanced: every group but the basic one
        {true, 5, 15, {5}},           {true, 14, 15, {14}},
        {true, 15, 15, {}}, // a selection beyond the document lists nothing
        {false, -1, 3, {}}, // a document without the basic group
        {true, -1, 3, {0, 1}},        {true, -1, 0, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listedGroups(c.full, c.selection, c.groupCount), c.expected)
            << c.full << " " << c.selection << " " << c.groupCount;
}

TEST(TreeChoice, ItemDataSelectsAllGroupsOrOneGroup) {
    const std::pair<int, std::optional<int>> cases[] = {
        {0, std::nullopt},
        {2000, -1},
        {2002, 0},
        {2004, 1},
        {2028, 13},
        {2030, 14},
        {2003, std::nullopt},
        {2032, std::nullopt},
        {1999, std::nullopt},
    };
    for (const auto& [data, selection] : cases)
        EXPECT_EQ(groupSelectionOfTreeData(data), selection) << data;
}

class ParamListTest : public kvdtest::ReportsTest {
protected:
    void SetUp() override {
        ReportsTest::SetUp();
        if (HasFatalFailure())
            return;
        view = std::make_unique<CQ770View>(*doc, state, host, prompter);
    }
    ParamTableModel& model() { return view->listModel(); }
    QString cell(int row, int column) {
        return model().data(model().index(row, column)).toString();
    }
    QVariant colour(int row, int column) {
        return model().data(model().index(row, column), Qt::ForegroundRole);
    }

    std::unique_ptr<CQ770View> view;
};

TEST_F(ParamListTest, ColumnsHaveTheirTitlesAndWidths) {
    const std::pair<int, QString> titles[] = {{0, QString()},
                                              {1, QStringLiteral("Parameter Description")},
                                              {2, QStringLiteral("Factory Setting")},
                                              {3, QStringLiteral("Current Value")}};
    ASSERT_EQ(model().columnCount(), 4);
    for (const auto& [column, title] : titles)
        EXPECT_EQ(model().headerData(column, Qt::Horizontal).toString(), title) << column;
    EXPECT_TRUE(view->isColumnHidden(0));
    EXPECT_EQ(view->columnWidth(1), 660);
    EXPECT_EQ(view->columnWidth(2), 80);
    EXPECT_EQ(view->columnWidth(3), 80);
}

TEST_F(ParamListTest, AllGroupsListEveryGroupButTheBasicOneWithIndentedTexts) {
    view->initialUpdate();
    ASSERT_EQ(model().groups(), range(0, 13));
    ASSERT_EQ(model().rowCount(), rowsOf(range(0, 13)));

    const ParamItem& first = groups()[0].items[0];
    EXPECT_EQ(cell(0, 1), "  " + q(groups()[0].name));
    EXPECT_EQ(cell(0, 2), QString());
    EXPECT_EQ(cell(0, 3), QString());
    EXPECT_EQ(cell(1, 0), QString());
    EXPECT_EQ(cell(1, 1), "    " + q(first.label));
    EXPECT_EQ(cell(1, 2), "  " + q(first.factoryValue));
    EXPECT_EQ(cell(1, 3), "  " + q(first.editValue));

    const int header13 = rowsOf(range(0, 12));
    EXPECT_EQ(cell(header13, 1), "  " + q(groups()[13].name));
    const int last = model().rowCount() - 1;
    EXPECT_EQ(cell(last, 1), "    " + q(groups()[13].items.back().label));

    // Initial update selects row 0.
    ASSERT_EQ(view->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view->selectionModel()->selectedRows().front().row(), 0);
}

TEST_F(ParamListTest, OneGroupListsItsHeaderAndItsParameters) {
    state.groupSelection = 5;
    view->fill();
    EXPECT_EQ(model().groups(), std::vector<int>{5});
    EXPECT_EQ(model().rowCount(), itemCount(5) + 1);
    EXPECT_EQ(cell(0, 1), "  " + q(groups()[5].name));
    EXPECT_EQ(cell(itemCount(5), 1), "    " + q(groups()[5].items.back().label));
}

TEST_F(ParamListTest, BasicSetListsGroupFWhateverTheTreeSelects) {
    state.fullParameterSet = false;
    for (int selection : {-1, 3, 14}) {
        state.groupSelection = selection;
        view->fill();
        EXPECT_EQ(model().groups(), std::vector<int>{14}) << selection;
        EXPECT_EQ(model().rowCount(), itemCount(14) + 1) << selection;
        EXPECT_EQ(cell(0, 1), "  " + q(groups()[14].name)) << selection;
    }
}

TEST_F(ParamListTest, ChangingTheSetRebuildsTheTreeAndListsAllGroupsOfTheNewSet) {
    state.fullParameterSet = false;
    view->initialUpdate();

    state.groupSelection = 14; // chosen in the tree while basic
    EXPECT_TRUE(view->applyParameterSet(true));
    EXPECT_TRUE(state.fullParameterSet);
    EXPECT_EQ(state.groupSelection, -1);
    EXPECT_EQ(host.treeRebuilds, 1);
    EXPECT_EQ(model().groups(), range(0, 13)); // 00 to 13, not F_
    ASSERT_EQ(view->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view->selectionModel()->selectedRows().front().row(), 0);

    // The same choice again changes nothing.
    QSignalSpy resets(&model(), &QAbstractItemModel::modelReset);
    state.groupSelection = 4;
    EXPECT_FALSE(view->applyParameterSet(true));
    EXPECT_EQ(state.groupSelection, 4);
    EXPECT_EQ(host.treeRebuilds, 1);
    EXPECT_EQ(resets.count(), 0);

    EXPECT_TRUE(view->applyParameterSet(false));
    EXPECT_EQ(model().groups(), std::vector<int>{14});
    EXPECT_EQ(host.treeRebuilds, 2);
}

TEST_F(ParamListTest, ParameterSelectDialogShowsTheCurrentSet) {
    for (bool full : {true, false}) {
        ParameterSelectDialog dialog(full);
        EXPECT_EQ(dialog.fullParameterSet(), full);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Parameter Select"));
    }
}

TEST_F(ParamListTest, TreeChoiceRefillsOnlyWhenTheSelectionChanges) {
    view->initialUpdate();
    QSignalSpy resets(&model(), &QAbstractItemModel::modelReset);

    EXPECT_TRUE(view->showGroupSelection(3));
    EXPECT_EQ(state.groupSelection, 3);
    EXPECT_EQ(model().groups(), std::vector<int>{3});
    EXPECT_FALSE(view->showGroupSelection(3)); // the same item twice: no second fill
    EXPECT_EQ(resets.count(), 1);
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());

    view->selectRow(2);
    EXPECT_TRUE(view->showGroupSelection(-1));
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(model().groups(), range(0, 13));
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());
}

TEST_F(ParamListTest, RowsMapToTheirItemsAndBack) {
    view->fill();
    const int n0 = itemCount(0);
    EXPECT_EQ(model().itemAt(0), std::nullopt);
    EXPECT_EQ(model().itemAt(1), (Ref{0, 0}));
    EXPECT_EQ(model().itemAt(n0), (Ref{0, n0 - 1}));
    EXPECT_EQ(model().itemAt(n0 + 1), std::nullopt); // header of group 01
    EXPECT_EQ(model().itemAt(n0 + 2), (Ref{1, 0}));
    EXPECT_EQ(model().itemAt(model().rowCount() - 1), (Ref{13, itemCount(13) - 1}));
    EXPECT_EQ(model().itemAt(model().rowCount()), std::nullopt);
    EXPECT_EQ(model().itemAt(-1), std::nullopt);
    EXPECT_EQ(model().rowOf(1, -1), n0 + 1);
    EXPECT_EQ(model().rowOf(14, 0), -1); // not listed
    for (int r = 0; r < model().rowCount(); ++r) {
        if (const auto ref = model().itemAt(r)) {
            EXPECT_EQ(model().rowOf(ref->group, ref->item), r);
        }
    }

    state.groupSelection = 7;
    view->fill();
    EXPECT_EQ(model().itemAt(0), std::nullopt);
    EXPECT_EQ(model().itemAt(3), (Ref{7, 2}));
}

TEST_F(ParamListTest, DoubleClickOnAParameterAsksToEditItHeadersDoNothing) {
    view->fill();
    QSignalSpy edits(view.get(), &CQ770View::editRequested);
    const int n0 = itemCount(0);
    for (int row : {0, n0 + 1}) // row 0 and the header of group 01
        emit view->doubleClicked(model().index(row, 1));
    EXPECT_EQ(edits.count(), 0);

    emit view->doubleClicked(model().index(n0 + 3, 2));
    ASSERT_EQ(edits.count(), 1);
    EXPECT_EQ(edits.front(), (QVariantList{1, 1}));

    // Basic set after a change of set (selection -1): the rows are group F_'s.
    view->applyParameterSet(false);
    emit view->doubleClicked(model().index(3, 1));
    ASSERT_EQ(edits.count(), 2);
    EXPECT_EQ(edits.back(), (QVariantList{14, 2}));
}

TEST_F(ParamListTest, CurrentValueOfAModifiedItemIsGreen) {
    view->fill();
    const int n0 = itemCount(0);
    doc->setModifiedMark(1, 2, true);
    const int row = n0 + 1 + 3;
    EXPECT_EQ(colour(row, 3).value<QColor>(), QColor(0, 240, 0));
    EXPECT_FALSE(colour(row, 2).isValid());
    EXPECT_FALSE(colour(row, 1).isValid());
    EXPECT_FALSE(colour(row - 1, 3).isValid());
    EXPECT_FALSE(colour(n0 + 1, 3).isValid()); // header row
    EXPECT_FALSE(colour(3, 3).isValid());      // the same position in group 00

    // In the basic set with all groups selected the rows are F_'s, not group 00's.
    state.fullParameterSet = false;
    state.groupSelection = -1;
    view->fill();
    doc->setModifiedMark(0, 1, true);
    EXPECT_FALSE(colour(2, 3).isValid());
    doc->setModifiedMark(14, 1, true);
    EXPECT_EQ(colour(2, 3).value<QColor>(), QColor(0, 240, 0));
}

TEST_F(ParamListTest, RefreshOfAGroupReportsItsParameterRowsOnly) {
    view->fill();
    QSignalSpy changes(&model(), &QAbstractItemModel::dataChanged);
    groups()[2].items[0].editValue = "7";
    view->refreshGroup(2);
    ASSERT_EQ(changes.count(), 1);
    const int first = rowsOf({0, 1}) + 1;
    const auto topLeft = changes.front()[0].value<QModelIndex>();
    const auto bottomRight = changes.front()[1].value<QModelIndex>();
    EXPECT_EQ(topLeft.row(), first);
    EXPECT_EQ(bottomRight.row(), first + itemCount(2) - 1);
    EXPECT_EQ(topLeft.column(), 2);
    EXPECT_EQ(bottomRight.column(), 3);
    EXPECT_TRUE(changes.front()[2].value<QList<int>>().contains(Qt::ForegroundRole));
    EXPECT_EQ(cell(first, 3), QStringLiteral("  7"));

    // One group listed: its rows start at 1; other groups are not in the list.
    state.groupSelection = 2;
    view->fill();
    changes.clear();
    view->refreshGroup(5);
    EXPECT_EQ(changes.count(), 0);
    view->refreshGroup(2);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.front()[0].value<QModelIndex>().row(), 1);
    EXPECT_EQ(changes.front()[1].value<QModelIndex>().row(), itemCount(2));
}

TEST_F(ParamListTest, AutomaticUpdateRefreshClearsTheMarksOfEveryListedGroup) {
    view->fill();
    doc->setModifiedMark(0, 0, true);
    doc->setModifiedMark(14, 0, true);
    QSignalSpy changes(&model(), &QAbstractItemModel::dataChanged);
    view->refreshAfterUpdate();
    EXPECT_EQ(changes.count(), 14);
    EXPECT_FALSE(doc->modifiedMark(0, 0));
    EXPECT_FALSE(doc->modifiedMark(14, 0));
    EXPECT_FALSE(colour(1, 3).isValid());
}

TEST_F(ParamListTest, DocumentWithoutGroupsListsNothing) {
    groups().clear();
    view->initialUpdate();
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_TRUE(view->selectionModel()->selectedRows().isEmpty());
    view->refreshGroup(0);
    EXPECT_EQ(model().itemAt(0), std::nullopt);
}

} // namespace
