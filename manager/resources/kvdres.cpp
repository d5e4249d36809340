// The C interface of the resource library: lookups by id over the tables of strings.cpp,
// menus.cpp, dialogs.cpp and the pictures (generated kvdres_images.cpp).
#include "kvdres.h"

#include "ResourceTables.h"
#include "kvdres_images.h"

#include <algorithm>

namespace {

using namespace kvd::res;

// Finds resource `id` in one of the small per-kind lists; stores its items in *out (when
// given) and returns their count, or -1 when the list has no such id.
template <class Resource, class Item, class Member>
int findResource(std::span<const Resource> list, unsigned id, Member member, const Item** out) {
    auto it =
        std::find_if(list.begin(), list.end(), [id](const Resource& r) { return r.id == id; });
    if (it == list.end())
        return -1;
    const auto& items = (*it).*member;
    if (out)
        *out = items.data();
    return static_cast<int>(items.size());
}

} // namespace

extern "C" {

int kvdres_interface_version(void) {
    return KVDRES_INTERFACE_VERSION;
}

const char* kvdres_string(unsigned id) {
    const auto table = stringTable();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const StringEntry& e, unsigned v) { return e.id < v; });
    return (it != table.end() && it->id == id) ? it->text : nullptr;
}

int kvdres_menu(unsigned id, const KvdMenuLine** lines) {
    return findResource(menuResources(), id, &MenuResource::lines, lines);
}

int kvdres_accelerators(unsigned id, const KvdAccel** accels) {
    return findResource(accelResources(), id, &AccelResource::accels, accels);
}

int kvdres_toolbar(unsigned id, const unsigned** commands) {
    return findResource(toolBarResources(), id, &ToolBarResource::commands, commands);
}

int kvdres_dialog(unsigned id, const KvdDialogText** texts) {
    return findResource(dialogResources(), id, &DialogResource::texts, texts);
}

const unsigned char* kvdres_image(unsigned id, size_t* size) {
    const auto table = imageTable();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const ImageEntry& e, unsigned v) { return e.id < v; });
    const bool found = it != table.end() && it->id == id;
    if (size)
        *size = found ? it->png.size() : 0;
    return found ? it->png.data() : nullptr;
}
}
