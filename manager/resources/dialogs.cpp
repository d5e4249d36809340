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

// Model selection for a new project.
constexpr KvdDialogText kModelSelect[] = {
    {0, "Model Select"},
    {1, "OK"},     // IDOK
    {2, "Cancel"}, // IDCANCEL
    {1001, "Frequency:"},
    {1002, "Model:"},
    {1003, ""}, // description of the selected model
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

// Title, department and name of the parameter printout; each edit holds its label.
constexpr KvdDialogText kPrintTitle[] = {
    {0, "Print Title Set"},
    {1, "OK"},     // IDOK
    {2, "Cancel"}, // IDCANCEL
    {1142, "Title:"},
    {1143, "Name:"},
    {1144, "Department:"},
};

// Progress of the group transfers; the program fills the texts.
constexpr KvdDialogText kProgress[] = {
    {0, "Progress"},
    {1076, ""}, // caption line
    {1381, ""}, // progress bar
    {1382, ""}, // status line
};

// The station a transfer talks to: Read (172) and every other transfer (192).
constexpr KvdDialogText kRead[] = {
    {0, "Read"},
    {1, "OK"},     // IDOK
    {2, "Cancel"}, // IDCANCEL
    {1025, "Station Num:"},
};

constexpr KvdDialogText kStationSelect[] = {
    {0, "Station Select"},
    {1, "OK"},     // IDOK
    {2, "Cancel"}, // IDCANCEL
    {1074, "Station Num:"},
};

// Basic or advanced parameter set of the list and the project tree.
constexpr KvdDialogText kParameterSelect[] = {
    {0, "Parameter Select"},
    {1, "OK"},     // IDOK
    {2, "Cancel"}, // IDCANCEL
    {1059, "Advanced Parameters"},
    {1072, "Basic Parameters"},
};

constexpr DialogResource kDialogs[] = {
    {100, kAbout},
    {131, kModelSelect},
    {138, kConnect},
    {161, kPrintTitle},
    {167, kProgress},
    {172, kRead},
    {192, kStationSelect},
    {199, kParameterSelect},
};

} // namespace

std::span<const DialogResource> dialogResources() {
    return kDialogs;
}

} // namespace kvd::res
