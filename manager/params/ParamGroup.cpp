#include "ParamGroup.h"

#include "Catalogue.h"
#include "ModelTable.h"

namespace kvd {
namespace {

// Items are addressed by their catalogue position, as every reader and writer does.
ParamItem* itemOf(std::vector<ParamGroup>& groups, std::string_view code) {
    const ParamSpec* entry = findSpec(code);
    if (!entry || static_cast<std::size_t>(entry->group) >= groups.size())
        return nullptr;
    auto& items = groups[static_cast<std::size_t>(entry->group)].items;
    if (static_cast<std::size_t>(entry->index) >= items.size())
        return nullptr;
    return &items[static_cast<std::size_t>(entry->index)];
}

} // namespace

std::string_view itemCode(const ParamItem& item) {
    const std::string_view label = item.label;
    return label.substr(0, label.find(' '));
}

void applyInitialValues(std::vector<ParamGroup>& groups, const std::vector<InitialValueRow>& rows,
                        int modelCode, bool setEditValues) {
    const int column = modelRow(modelCode);
    for (std::size_t r = 0; r < InitialValueCodes.size() && r < rows.size(); ++r) {
        ParamItem* item = itemOf(groups, InitialValueCodes[r]);
        if (!item)
            continue;
        std::string value;
        if (column >= 0) {
            if (static_cast<std::size_t>(column) >= rows[r].values.size())
                continue;
            value = rows[r].values[static_cast<std::size_t>(column)];
        }
        item->factoryValue = value;
        if (setEditValues)
            item->editValue = value;
    }
}

void applyRegionDefaults(std::vector<ParamGroup>& groups, int frequencyRegion, int modelCode) {
    for (const RegionDefault& d : RegionDefaults) {
        if (ParamItem* item = itemOf(groups, d.code)) {
            item->factoryValue = std::string(frequencyRegion == 1 ? d.hz60 : d.hz50);
            item->editValue = item->factoryValue;
        }
    }
    if (ParamItem* item = itemOf(groups, "13-00")) {
        item->factoryValue = modelText(modelCode);
        item->editValue = item->factoryValue;
    }
}

} // namespace kvd
