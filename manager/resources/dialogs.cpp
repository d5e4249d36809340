// Dialog texts: the caption (control 0) and the text of each control. An input control that
// carries no text of its own (list, edit) holds the label shown beside it.
#include "ResourceTables.h"

namespace kvd::res {
namespace {

constexpr KvdDialogText kAbout[] = {
    {0, "About Q770-Velmora"},
    {1, "OK"}, // IDOK
    {1001, "Q770-Velmora Version V1.34"},
    {1002, "Service software for the KVD drive series"},
};

// Connection: port, line settings, stations and the Ethernet module.
constexpr KvdDialogText kConnect[] = {
    {0, "通讯设置"},
    {1, "连接"}, // IDOK
    {2, "关闭"}, // IDCANCEL
    {1057, "端口:"},
    {1058, "4800"},
    {1059, "9600"},
    {1060, "19200"},
    {1061, "38400"},
    {1062, "7位"},
    {1063, "8位"},
    {1064, "偶"},
    {1065, "奇"},
    {1066, "无"},
    {1067, "1位"},
    {1068, "2位"},
    {1069, "断开"},
    {1070, "站号:"},
    {1071, "(单台或指定范围, 例如: 1,3,5-12)"}, // hint line under the station text
    {1093, "TCPIP:"},
    {1094, ""}, // IP settings: shows the chosen module, filled at run time
    {1095, "其他NX40"},
};

// Progress of the group transfers; the program fills the texts.
constexpr KvdDialogText kProgress[] = {
    {0, "Progress"},
    {1076, ""}, // caption line
    {1381, ""}, // progress bar
    {1382, ""}, // status line
};

constexpr DialogResource kDialogs[] = {
    {100, kAbout},
    {138, kConnect},
    {167, kProgress},
};

} // namespace

std::span<const DialogResource> dialogResources() {
    return kDialogs;
}

} // namespace kvd::res
