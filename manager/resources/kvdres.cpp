#include "kvdres.h"

#include <algorithm>
#include <iterator>

namespace {

struct StringEntry {
    unsigned id;
    const char* text;
};

// Sorted by id.
constexpr StringEntry kStrings[] = {
    {128, "Q770-Velmora V1.34"},
    {61451, "File name:"},
    {61452, "Version:"},
    {61453, "Station Num:"},
    {61454, "Model:"},
    {61455, "Unlink"},
    {61458, "New Project"},
    {61468, "Can't Open the Port!"},
    {61477, "CRC parity error!"},
    {61478, "TimeOut!"},
    {61479, "Communication error!"},
    {61540, "Online"},
};

constexpr KvdDialogText kAbout[] = {
    {0, "About Q770-Velmora"},
    {1, "OK"}, // IDOK
    {1001, "Q770-Velmora Version V1.34"},
    {1002, "Service software for the KVD drive series"},
};

} // namespace

extern "C" {

int kvdres_interface_version(void) { return KVDRES_INTERFACE_VERSION; }

const char* kvdres_string(unsigned id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const StringEntry& e, unsigned v) { return e.id < v; });
    return (it != std::end(kStrings) && it->id == id) ? it->text : nullptr;
}

int kvdres_menu(unsigned, const KvdMenuLine**) { return -1; }
int kvdres_accelerators(unsigned, const KvdAccel**) { return -1; }
int kvdres_toolbar(unsigned, const unsigned**) { return -1; }

int kvdres_dialog(unsigned id, const KvdDialogText** texts) {
    if (id == 100) {
        *texts = kAbout;
        return static_cast<int>(std::size(kAbout));
    }
    return -1;
}

const unsigned char* kvdres_image(unsigned, size_t* size) {
    if (size)
        *size = 0;
    return nullptr;
}
}
