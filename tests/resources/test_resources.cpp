// The resource library as the program sees it: through its C interface only (plus the
// header-only order check that guards the string table at compile time).
#include "ResourceTables.h"
#include "kvdres.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<KvdMenuLine> menu(unsigned id) {
    const KvdMenuLine* lines = nullptr;
    const int n = kvdres_menu(id, &lines);
    return n < 0 ? std::vector<KvdMenuLine>{} : std::vector<KvdMenuLine>(lines, lines + n);
}

std::set<unsigned> commandsOf(const std::vector<KvdMenuLine>& lines) {
    std::set<unsigned> ids;
    for (const auto& l : lines)
        if (l.id != 0)
            ids.insert(l.id);
    return ids;
}

std::map<std::string, unsigned> accelerators() {
    const KvdAccel* accels = nullptr;
    const int n = kvdres_accelerators(128, &accels);
    std::map<std::string, unsigned> byKeys;
    for (int i = 0; i < n; ++i)
        byKeys.emplace(accels[i].keys, accels[i].command);
    return byKeys;
}

// The printf conversions of a text in order ("%d(%s)" gives "ds"), "%%" skipped.
std::string conversions(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        while (*p && std::string_view("-+ #0123456789.").find(*p) != std::string_view::npos)
            ++p;
        if (!*p)
            break;
        if (*p != '%')
            out += *p;
    }
    return out;
}

// Commands of the main frame, the document and the list view that a project menu offers.
const unsigned kProjectCommands[] = {57600, 57601, 57603, 57604, 57607, 57609, 57606, 32796, 32799,
                                     32800, 57616, 57665, 32774, 32787, 32775, 32776, 32777, 32778,
                                     32779, 32780, 32781, 32782, 32783, 32784, 32785, 32786, 32807,
                                     32772, 32788, 32789, 32821, 32790, 32791, 32793, 32792, 32805,
                                     32794, 32795, 59392, 59393, 32773, 32806, 32771, 57664};

} // namespace

TEST(ResourceStrings, EveryMessageIdHasAText) {
    EXPECT_EQ(kvdres_interface_version(), KVDRES_INTERFACE_VERSION);
    for (unsigned id = 61440; id <= 61582; ++id) {
        const char* text = kvdres_string(id);
        ASSERT_NE(text, nullptr) << id;
        EXPECT_NE(text[0], '\0') << id;
    }
    for (unsigned id : {128u, 129u, 61705u})
        EXPECT_NE(kvdres_string(id), nullptr) << id;
    for (unsigned id : {0u, 61439u, 61583u, 65535u})
        EXPECT_EQ(kvdres_string(id), nullptr) << id;
}

TEST(ResourceStrings, KeepsTheExactMessageTexts) {
    const struct {
        unsigned id;
        const char* text;
    } cases[] = {
        {128, "Q770-Velmora V1.34"},
        {61458, "New Project"},
        {61464, "The station num is not empty!"},
        {61465, "The station num can't be more than 32!"},
        {61466, "The station num before'-' must be less than after '-'!"},
        {61467, "The station num can't be repeat!"},
        {61468, "Can't Open the Port!"},
        {61477, "CRC parity error!"},
        {61478, "TimeOut!"},
        {61479, "Communication error!"},
        {61533, "The value of parameter 10-00 and 10-01can't be same!"},
        {61540, "Online"},
        {61547, "     Status     "},
        {61548, "     Terminal    "},
        {61555, "Inverter's type may be not match you select type.Continue ?"},
    };
    for (const auto& c : cases) {
        const char* text = kvdres_string(c.id);
        ASSERT_NE(text, nullptr) << c.id;
        EXPECT_STREQ(text, c.text) << c.id;
    }
}

// Callers format these texts with fixed arguments; any other conversion (or a stray "%" in
// a plain message) would read arguments that are not there.
TEST(ResourceStrings, PrintfConversionsMatchTheirCallers) {
    const std::map<unsigned, std::string> expected = {
        {61462, "ss"},    {61480, "d"},  {61481, "d"},  {61482, "d"}, {61534, "d"},
        {61564, "sssss"}, {61565, "ss"}, {61569, "ds"}, {61572, "d"}, {61574, "ss"},
    };
    for (unsigned id = 61440; id <= 61800; ++id) {
        const char* text = kvdres_string(id);
        if (!text)
            continue;
        const auto it = expected.find(id);
        EXPECT_EQ(conversions(text), it == expected.end() ? "" : it->second) << id;
    }
}

TEST(ResourceStrings, OrderCheckRejectsMisplacedAndRepeatedIds) {
    using kvd::res::StringEntry;
    EXPECT_TRUE(kvd::res::strictlyAscendingIds(std::array<StringEntry, 0>{}));
    EXPECT_TRUE(kvd::res::strictlyAscendingIds(std::array{StringEntry{1, ""}, StringEntry{5, ""}}));
    EXPECT_FALSE(kvd::res::strictlyAscendingIds(
        std::array{StringEntry{1, ""}, StringEntry{7, ""}, StringEntry{5, ""}}));
    EXPECT_FALSE(
        kvd::res::strictlyAscendingIds(std::array{StringEntry{5, "a"}, StringEntry{5, "b"}}));
}

TEST(ResourceMenus, AreWellFormed) {
    for (unsigned id : {128u, 129u, 143u, 174u}) {
        const auto lines = menu(id);
        ASSERT_FALSE(lines.empty()) << id;
        EXPECT_EQ(lines.front().depth, 0) << id;
        for (size_t i = 0; i < lines.size(); ++i) {
            const auto& l = lines[i];
            if (l.depth == 0) {
                EXPECT_EQ(l.id, 0u) << id << " line " << i;
                EXPECT_NE(l.text, nullptr) << id << " line " << i;
            } else {
                // Deeper only by one level, and only below a line that opens a popup.
                const auto& prev = lines[i - 1];
                const bool opensPopup = prev.id == 0 && prev.text != nullptr;
                EXPECT_TRUE(l.depth <= prev.depth || (l.depth == prev.depth + 1 && opensPopup))
                    << id << " line " << i;
            }
            if (l.id != 0) {
                EXPECT_NE(l.text, nullptr) << id << " line " << i;
            }
        }
        std::set<unsigned> seen;
        for (const auto& l : lines)
            if (l.id != 0) {
                EXPECT_TRUE(seen.insert(l.id).second) << id << " repeats " << l.id;
            }
    }
    EXPECT_TRUE(menu(130).empty());
}

TEST(ResourceMenus, ProjectMenuOffersEveryCommand) {
    const auto offered = commandsOf(menu(129));
    for (unsigned cmd : kProjectCommands)
        EXPECT_TRUE(offered.count(cmd)) << cmd;
}

TEST(ResourceMenus, ReducedMenuOffersOnlyWhatWorksWithoutAProject) {
    const std::set<unsigned> expected = {57600, 57601, 57616, 57665, 32772,
                                         59392, 59393, 32773, 32771, 57664};
    EXPECT_EQ(commandsOf(menu(128)), expected);
}

TEST(ResourceMenus, GroupCommandsCarryTheGroupTitles) {
    const std::map<unsigned, std::string> expected = {
        {32774, "群组 00: 基本功能"},
        {32787, "群组 01: V/F 控制功能"},
        {32775, "群组 02: 电机参数"},
        {32776, "群组 03: 外部端子数字输入输出功能"},
        {32777, "群组 04: 外部端子模拟量输入输出功能"},
        {32778, "群组 05: 多段速功能"},
        {32779, "群组 06: 自动程序运转功能"},
        {32780, "群组 07: 启动停止控制功能"},
        {32781, "群组 08: 保护功能"},
        {32782, "群组 09: 通讯功能"},
        {32783, "群组 10: PID功能"},
        {32784, "群组 11: 辅助功能"},
        {32785, "群组 12: 监视功能"},
        {32786, "群组 13: 维护功能"},
        {32807, "Group F_:Basic parameter"},
    };
    std::map<unsigned, std::string> found;
    for (const auto& l : menu(129))
        if (expected.count(l.id))
            found[l.id] = l.text;
    EXPECT_EQ(found, expected);
}

// The shortcut shown after "\t" must be the key that really sends the command.
TEST(ResourceMenus, ShownShortcutsMatchTheAccelerators) {
    const auto keys = accelerators();
    for (unsigned id : {128u, 129u}) {
        for (const auto& l : menu(id)) {
            if (!l.text || l.id == 0)
                continue;
            const std::string text = l.text;
            const auto tab = text.find('\t');
            if (tab == std::string::npos)
                continue;
            const auto it = keys.find(text.substr(tab + 1));
            ASSERT_NE(it, keys.end()) << text;
            EXPECT_EQ(it->second, l.id) << text;
        }
    }
}

// Fly-by help and tool tips come from the string with the command's id.
TEST(ResourceMenus, EveryCommandHasAPromptAndToolBarButtonsATip) {
    for (unsigned id : {128u, 129u, 143u, 174u})
        for (unsigned cmd : commandsOf(menu(id)))
            EXPECT_NE(kvdres_string(cmd), nullptr) << "menu " << id << " command " << cmd;
    for (unsigned bar : {128u, 129u}) {
        const unsigned* commands = nullptr;
        const int n = kvdres_toolbar(bar, &commands);
        ASSERT_GT(n, 0) << bar;
        for (int i = 0; i < n; ++i) {
            if (commands[i] == 0)
                continue;
            const char* text = kvdres_string(commands[i]);
            ASSERT_NE(text, nullptr) << commands[i];
            const std::string s = text;
            const auto nl = s.find('\n');
            ASSERT_NE(nl, std::string::npos) << commands[i];
            EXPECT_GT(nl, 0u) << commands[i];
            EXPECT_LT(nl + 1, s.size()) << commands[i];
        }
    }
}

TEST(ResourceToolBar, MainButtonsInOrderWithSeparators) {
    const unsigned* commands = nullptr;
    const int n = kvdres_toolbar(128, &commands);
    ASSERT_EQ(n, 18);
    const std::vector<unsigned> expected = {57600, 57601, 57603, 0,     57607, 57609,
                                            0,     32772, 32788, 32789, 32821, 0,
                                            32792, 32793, 32791, 32790, 0,     57664};
    EXPECT_EQ(std::vector<unsigned>(commands, commands + n), expected);
    EXPECT_EQ(kvdres_toolbar(200, &commands), -1);
}

TEST(ResourceAccelerators, MainTable) {
    const KvdAccel* accels = nullptr;
    ASSERT_EQ(kvdres_accelerators(128, &accels), 14);
    const std::map<std::string, unsigned> expected = {
        {"Ctrl+N", 57600}, {"Ctrl+O", 57601},        {"Ctrl+S", 57603}, {"Ctrl+P", 57607},
        {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643}, {"Ctrl+X", 57635}, {"Shift+Delete", 57635},
        {"Ctrl+C", 57634}, {"Ctrl+Insert", 57634},   {"Ctrl+V", 57637}, {"Shift+Insert", 57637},
        {"F6", 57680},     {"Shift+F6", 57681},
    };
    EXPECT_EQ(accelerators(), expected); // also: no key sequence twice
    EXPECT_EQ(kvdres_accelerators(129, &accels), -1);
}

TEST(ResourceDialogs, CarryTheControlTexts) {
    const struct {
        unsigned dialog;
        unsigned control;
        const char* text;
    } cases[] = {
        {100, 0, "About Q770-Velmora"},
        {100, 1, "OK"},
        {100, 1001, "Q770-Velmora Version V1.34"},
        {138, 1, "连接"},
        {138, 2, "关闭"},
        {138, 1057, "端口:"},
        {138, 1060, "19200"},
        {138, 1064, "偶"},
        {138, 1066, "无"},
        {138, 1068, "2位"},
        {138, 1069, "断开"},
        {138, 1070, "站号:"},
        {138, 1071, "(单台或指定范围, 例如: 1,3,5-12)"},
        {138, 1093, "TCPIP:"},
        {138, 1095, "其他NX40"},
        {167, 1381, ""},
        {167, 1076, ""},
        {167, 1382, ""},
    };
    for (const auto& c : cases) {
        const KvdDialogText* texts = nullptr;
        const int n = kvdres_dialog(c.dialog, &texts);
        ASSERT_GT(n, 0) << c.dialog;
        const KvdDialogText* found = nullptr;
        for (int i = 0; i < n; ++i)
            if (texts[i].control == c.control)
                found = &texts[i];
        ASSERT_NE(found, nullptr) << c.dialog << "/" << c.control;
        EXPECT_STREQ(found->text, c.text) << c.dialog << "/" << c.control;
    }
    const KvdDialogText* texts = nullptr;
    EXPECT_EQ(kvdres_dialog(999, &texts), -1);
}
