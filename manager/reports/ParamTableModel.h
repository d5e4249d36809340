// The parameter list of a project window as a table model: a header row per listed group
// followed by one row per parameter, with the factory setting and the current (edit) value.
// The model reads the document on every request, so a refresh only has to say which rows
// changed.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <optional>
#include <vector>

namespace kvd {

class CQ770Doc;
struct AppState;

// The groups the list shows, in order. The basic set lists the basic group alone, whatever
// group is selected; the advanced set lists every group but the last (the basic group) when
// `groupSelection` is -1, else the selected one. Groups the document does not have are left
// out, so a short or empty document lists what it has and nothing more.
std::vector<int> listedGroups(bool fullParameterSet, int groupSelection, int groupCount);

// The outcome of dialog 199: stores the chosen set and lists all groups again. False, with the
// state unchanged, when the choice is the set already shown.
bool applyParameterSet(AppState& state, bool fullParameterSet);

// What the project tree's item data selects: -1 for "Parameter" (all groups), the group for a
// group item, nothing for the root and for data that names no group.
// Item data of the project tree: the root, "Parameter", the first group item (each further
// group two on) and the basic group's item.
constexpr int kTreeRoot = 0;
constexpr int kTreeParameters = 2000;
constexpr int kTreeFirstGroup = 2002;
constexpr int kTreeBasicGroup = 2030;

std::optional<int> groupSelectionOfTreeData(int itemData);

class ParamTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Column 0 has no title and no width; it keeps the texts in the same columns as the
    // printout and the compare list.
    enum Column {
        ColumnHidden = 0,
        ColumnDescription = 1,
        ColumnFactory = 2,
        ColumnCurrent = 3,
        ColumnCount = 4
    };
    // Current value of an item changed on a page and not yet written to a drive.
    static QColor modifiedColour() { return QColor(0, 240, 0); }
    // Initial width of a column in pixels.
    static int columnWidth(int column);

    struct ItemRef {
        int group = -1;
        int item = -1;
        bool operator==(const ItemRef&) const = default;
    };

    explicit ParamTableModel(const CQ770Doc& doc, QObject* parent = nullptr);

    // Lists the groups listedGroups() gives for the set and selection (a model reset).
    void fill(bool fullParameterSet, int groupSelection);
    const std::vector<int>& groups() const { return groups_; }

    // The item a row shows; nothing for a header row or a row outside the list.
    std::optional<ItemRef> itemAt(int row) const;
    // The row of an item (item -1: the group's header row); -1 when it is not listed.
    int rowOf(int group, int item) const;

    // The factory and current values of `group` changed: tells the view about its parameter
    // rows only. Nothing happens for a group that is not listed.
    void refreshGroup(int group);
    // Every listed group, as after a read of all groups.
    void refreshListed();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString cellText(int row, int column) const;

    const CQ770Doc& doc_;
    std::vector<int> groups_;
    // One entry per row: the group and the item position, -1 for the group's header row.
    std::vector<ItemRef> rows_;
};

} // namespace kvd
