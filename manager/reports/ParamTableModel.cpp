#include "ParamTableModel.h"

#include "app/AppState.h"
#include "app/CQ770Doc.h"
#include "app/ResourceLibrary.h"
#include "params/Catalogue.h"
#include "resources/StringIds.h"

namespace kvd {

namespace {

const QString kGroupIndent = QStringLiteral("  ");
const QString kItemIndent = QStringLiteral("    ");
const QString kValueIndent = QStringLiteral("  ");

} // namespace

std::vector<int> listedGroups(bool fullParameterSet, int groupSelection, int groupCount) {
    std::vector<int> groups;
    if (!fullParameterSet) {
        if (kBasicGroup < groupCount)
            groups.push_back(kBasicGroup);
    } else if (groupSelection < 0) {
        for (int g = 0; g + 1 < groupCount; ++g)
            groups.push_back(g);
    } else if (groupSelection < groupCount) {
        groups.push_back(groupSelection);
    }
    return groups;
}

bool applyParameterSet(AppState& state, bool fullParameterSet) {
    if (state.fullParameterSet == fullParameterSet)
        return false;
    state.fullParameterSet = fullParameterSet;
    state.groupSelection = -1;
    return true;
}

std::optional<int> groupSelectionOfTreeData(int itemData) {
    if (itemData == kTreeParameters)
        return -1;
    const int offset = itemData - kTreeFirstGroup;
    if (offset < 0 || offset % 2 != 0 || offset / 2 >= kGroupCount)
        return std::nullopt;
    return offset / 2;
}

int ParamTableModel::columnWidth(int column) {
    switch (column) {
    case ColumnDescription:
        return 660;
    case ColumnFactory:
    case ColumnCurrent:
        return 80;
    default:
        return 0;
    }
}

ParamTableModel::ParamTableModel(const CQ770Doc& doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {}

void ParamTableModel::fill(bool fullParameterSet, int groupSelection) {
    beginResetModel();
    const auto& all = doc_.groups();
    groups_ = listedGroups(fullParameterSet, groupSelection, static_cast<int>(all.size()));
    rows_.clear();
    for (int g : groups_) {
        rows_.push_back({g, -1});
        const int count = static_cast<int>(all[static_cast<std::size_t>(g)].items.size());
        for (int i = 0; i < count; ++i)
            rows_.push_back({g, i});
    }
    endResetModel();
}

std::optional<ParamTableModel::ItemRef> ParamTableModel::itemAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size() || rows_[row].item < 0)
        return std::nullopt;
    return rows_[static_cast<std::size_t>(row)];
}

int ParamTableModel::rowOf(int group, int item) const {
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (rows_[r].group == group && rows_[r].item == item)
            return static_cast<int>(r);
    return -1;
}

void ParamTableModel::refreshGroup(int group) {
    const int header = rowOf(group, -1);
    if (header < 0)
        return;
    int last = header;
    while (static_cast<std::size_t>(last + 1) < rows_.size() && rows_[last + 1].group == group)
        ++last;
    if (last == header)
        return; // a group without parameters has nothing to refresh
    emit dataChanged(index(header + 1, ColumnFactory), index(last, ColumnCurrent),
                     {Qt::DisplayRole, Qt::ToolTipRole, Qt::ForegroundRole});
}

void ParamTableModel::refreshListed() {
    for (int g : groups_)
        refreshGroup(g);
}

int ParamTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ParamTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ParamTableModel::cellText(int row, int column) const {
    const ItemRef ref = rows_[static_cast<std::size_t>(row)];
    if (ref.item < 0) {
        if (column != ColumnDescription)
            return {};
        return kGroupIndent +
               QString::fromStdString(doc_.groups()[static_cast<std::size_t>(ref.group)].name);
    }
    const ParamItem* item = doc_.item(ref.group, ref.item);
    if (!item)
        return {};
    switch (column) {
    case ColumnDescription:
        return kItemIndent + QString::fromStdString(item->label);
    case ColumnFactory:
        return kValueIndent + QString::fromStdString(item->factoryValue);
    case ColumnCurrent:
        return kValueIndent + QString::fromStdString(item->editValue);
    default:
        return {};
    }
}

QVariant ParamTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    // The document may have lost groups since the last fill; show such rows empty.
    const ItemRef ref = rows_[static_cast<std::size_t>(index.row())];
    if (static_cast<std::size_t>(ref.group) >= doc_.groups().size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return cellText(index.row(), index.column());
    case Qt::ForegroundRole:
        if (index.column() == ColumnCurrent && ref.item >= 0) {
            const ParamItem* item = doc_.item(ref.group, ref.item);
            if (item && item->modified)
                return modifiedColour();
        }
        return {}; // the view's normal text colour
    default:
        return {};
    }
}

QVariant ParamTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ColumnDescription:
        return resText(ids::ColumnDescription);
    case ColumnFactory:
        return resText(ids::ColumnFactory);
    case ColumnCurrent:
        return resText(ids::ColumnCurrent);
    default:
        return QString();
    }
}

Qt::ItemFlags ParamTableModel::flags(const QModelIndex& index) const {
    // Values change on the group pages and the tabbed set only, never in the list.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace kvd
