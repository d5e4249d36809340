// Menus, accelerators and tool bars.
#include "ResourceTables.h"

namespace kvd::res {
namespace {

constexpr const char* kSeparator = nullptr;

// Without a project only what can start one, the connection, the bars and help make sense.
constexpr KvdMenuLine kMenuNoProject[] = {
    {0, 0, "文件(&F)"},
    {1, 57600, "新建(&N)\tCtrl+N"},
    {1, 57601, "打开(&O)...\tCtrl+O"},
    {1, 0, kSeparator},
    {1, 57616, "最近文件"}, // replaced by the recent-project list at run time
    {1, 0, kSeparator},
    {1, 57665, "退出(&X)"},
    {0, 0, "运行(&I)"},
    {1, 32772, "连接(&C)"},
    {0, 0, "查看(&V)"},
    {1, 59392, "工具栏(&T)"},
    {1, 59393, "状态栏(&S)"},
    {1, 32773, "工程窗口(&P)"},
    {0, 0, "帮助(&H)"},
    {1, 32771, "内容(&C)"},
    {1, 0, kSeparator},
    {1, 57664, "关于(&A)..."},
};

// While a project is open. The group commands sit in the edit menu, the drive commands in
// the run menu (with the password commands as a submenu), the live windows in the monitor menu.
constexpr KvdMenuLine kMenuProject[] = {
    {0, 0, "文件(&F)"},
    {1, 57600, "新建(&N)\tCtrl+N"},
    {1, 57601, "打开(&O)...\tCtrl+O"},
    {1, 57602, "关闭(&C)"},
    {1, 57603, "保存(&S)\tCtrl+S"},
    {1, 57604, "另存为(&A)..."},
    {1, 0, kSeparator},
    {1, 32799, "导入参数"},
    {1, 32800, "导出参数"},
    {1, 0, kSeparator},
    {1, 32796, "打印标题(&T)..."},
    {1, 57607, "打印(&P)...\tCtrl+P"},
    {1, 57609, "打印预览(&V)"},
    {1, 57606, "打印设置(&R)..."},
    {1, 0, kSeparator},
    {1, 57616, "最近文件"}, // replaced by the recent-project list at run time
    {1, 0, kSeparator},
    {1, 57665, "退出(&X)"},
    {0, 0, "编辑(&E)"},
    {1, 32806, "参数选择..."},
    {1, 0, kSeparator},
    {1, 32774, "群组 00: 基本功能"},
    {1, 32787, "群组 01: V/F 控制功能"},
    {1, 32775, "群组 02: 电机参数"},
    {1, 32776, "群组 03: 外部端子数字输入输出功能"},
    {1, 32777, "群组 04: 外部端子模拟量输入输出功能"},
    {1, 32778, "群组 05: 多段速功能"},
    {1, 32779, "群组 06: 自动程序运转功能"},
    {1, 32780, "群组 07: 启动停止控制功能"},
    {1, 32781, "群组 08: 保护功能"},
    {1, 32782, "群组 09: 通讯功能"},
    {1, 32783, "群组 10: PID功能"},
    {1, 32784, "群组 11: 辅助功能"},
    {1, 32785, "群组 12: 监视功能"},
    {1, 32786, "群组 13: 维护功能"},
    {1, 0, kSeparator},
    {1, 32807, "Group F_:Basic parameter"},
    {0, 0, "查看(&V)"},
    {1, 59392, "工具栏(&T)"},
    {1, 59393, "状态栏(&S)"},
    {1, 32773, "工程窗口(&P)"},
    {0, 0, "运行(&I)"},
    {1, 32772, "连接(&C)"},
    {1, 0, kSeparator},
    {1, 32788, "读出(&R)"},
    {1, 32789, "写入(&W)"},
    {1, 32805, "自动更新"},
    {1, 0, kSeparator},
    {1, 32821, "比较...(&O)"},
    {1, 0, kSeparator},
    {1, 0, "参数密码"},
    {2, 32794, "设置...(&R)"},
    {2, 32795, "解除...(&D)"},
    {0, 0, "监控(&M)"},
    {1, 32790, "状态...(&S)"},
    {1, 32791, "控制...(&N)"},
    {1, 32793, "KeyPad...(&K)"},
    {1, 32792, "图形监控...(&G)"},
    {0, 0, "帮助(&H)"},
    {1, 32771, "内容(&C)"},
    {1, 0, kSeparator},
    {1, 57664, "关于(&A)..."},
};

// Right-click menu of the graph window.
constexpr KvdMenuLine kMenuGraphPopup[] = {
    {0, 0, "Graph"},           {1, 32822, "Set"},       {1, 32820, "Start"},     {1, 32800, "Stop"},
    {1, 32801, "Dim Time..."}, {1, 32802, "Export..."}, {1, 32803, "Import..."},
};

// Menu bar of the graph window.
constexpr KvdMenuLine kMenuGraph[] = {
    {0, 0, "Save Graph"},
    {1, 32815, "Save(*.BMP)"},
    {1, 32819, "Pause\tPause"},
};

constexpr MenuResource kMenus[] = {
    {128, kMenuNoProject},
    {129, kMenuProject},
    {143, kMenuGraphPopup},
    {174, kMenuGraph},
};

constexpr KvdAccel kMainAccels[] = {
    {"Ctrl+N", 57600}, {"Ctrl+O", 57601},        {"Ctrl+S", 57603}, {"Ctrl+P", 57607},
    {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643}, {"Ctrl+X", 57635}, {"Shift+Delete", 57635},
    {"Ctrl+C", 57634}, {"Ctrl+Insert", 57634},   {"Ctrl+V", 57637}, {"Shift+Insert", 57637},
    {"F6", 57680},     {"Shift+F6", 57681},
};

constexpr AccelResource kAccels[] = {
    {128, kMainAccels},
};

// 0 is a separator.
constexpr unsigned kMainToolBar[] = {
    57600, 57601, 57603, 0,        // New, Open, Save
    57607, 57609, 0,               // Print, Print Preview
    32772, 32788, 32789, 32821, 0, // Connect, Read, Write, Compare
    32792, 32793, 32791, 32790, 0, // Graph Watch, KeyPad, Control, Status
    57664,                         // About
};

constexpr unsigned kGraphToolBar[] = {
    32820, 32819, 0,                   // Start, Pause
    32815, 32822, 32801, 32802, 32803, // Save, Set, Dim Time, Export, Import
};

constexpr ToolBarResource kToolBars[] = {
    {128, kMainToolBar},
    {129, kGraphToolBar},
};

} // namespace

std::span<const MenuResource> menuResources() {
    return kMenus;
}
std::span<const AccelResource> accelResources() {
    return kAccels;
}
std::span<const ToolBarResource> toolBarResources() {
    return kToolBars;
}

} // namespace kvd::res
