// Tables behind the C interface of the resource library. Each kind of resource lives in its
// own source file; kvdres.cpp only looks them up. Not installed, not part of the interface.
#pragma once

#include "kvdres.h"

#include <algorithm>
#include <cstddef>
#include <span>

namespace kvd::res {

struct StringEntry {
    unsigned id;
    const char* text;
};

struct MenuResource {
    unsigned id;
    std::span<const KvdMenuLine> lines;
};

struct AccelResource {
    unsigned id;
    std::span<const KvdAccel> accels;
};

struct ToolBarResource {
    unsigned id;
    std::span<const unsigned> commands;
};

struct DialogResource {
    unsigned id;
    std::span<const KvdDialogText> texts;
};

// Sorted by id, each id once.
std::span<const StringEntry> stringTable();
std::span<const MenuResource> menuResources();
std::span<const AccelResource> accelResources();
std::span<const ToolBarResource> toolBarResources();
std::span<const DialogResource> dialogResources();

// The string lookup is a binary search, so the table must be in strictly ascending id
// order: an out-of-place entry would hide its neighbours and a repeated id one of its texts.
template <class Range> constexpr bool strictlyAscendingIds(const Range& entries) {
    return std::adjacent_find(std::begin(entries), std::end(entries),
                              [](const auto& a, const auto& b) { return a.id >= b.id; }) ==
           std::end(entries);
}

} // namespace kvd::res
