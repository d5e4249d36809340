// Dialog 138 under the offscreen platform: texts, the settings it starts from and which
// controls it offers while offline, while connected and for "TCPIP".
#include "app/ConnectDialog.h"
#include "app/PortList.h"
#include "app/ResourceLibrary.h"
#include "drive-sim/Simulator.h"
#include "resources/StringIds.h"
#include "support/GuiTestApp.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace kvd;

namespace {

class NoHost : public ConnectionHost {
public:
    void showStatus(int, const QString&) override {}
};

class ConnectDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(kvdtest::startGuiTestApp()); }
    void SetUp() override {
        state.programFolder = program.path() + "/";
        state.tempFolder = program.path();
    }

    // Which of the dialog's controls can be used, in the order of `ids`.
    static std::vector<bool> enabled(const ConnectDialog& d, std::initializer_list<int> ids) {
        std::vector<bool> r;
        for (int id : ids) {
            QWidget* w = d.control(id);
            r.push_back(w && w->isEnabled());
        }
        return r;
    }
    static QString text(const ConnectDialog& d, int id) {
        auto* b = qobject_cast<QAbstractButton*>(d.control(id));
        return b ? b->text() : QString();
    }

    QTemporaryDir program;
    AppState state;
    NoHost host;
    kvdtest::ScriptedPrompter prompter;
    Connector connector{state, prompter, host};
};

// Connect, Disconnect, port list, module list, IP settings, other module.
constexpr std::initializer_list<int> kRuled = {1, 1069, 1057, 1093, 1094, 1095};

} // namespace

TEST_F(ConnectDialogTest, OffersConnectOfflineAndDisconnectOnline) {
    sim::Simulator line(sim::Options{});
    ASSERT_TRUE(line.startPty());
    state.settings.portDevice = QString::fromStdString(line.devicePath());
    state.settings.portSelection = -1;
    state.settings.baudIndex = 1;
    state.settings.parityIndex = 0;
    state.settings.stationText = "1";
    const QStringList entries = portEntries({{"/dev/ttyS0", "Built-in"}});
    const QString noModule = resText(ids::NoModuleChosen);

    {
        ConnectDialog d(connector, entries);
        EXPECT_EQ(d.windowTitle(), "通讯设置");
        EXPECT_EQ(text(d, 1), "连接");
        EXPECT_EQ(text(d, 2), "关闭");
        EXPECT_EQ(text(d, 1069), "断开");
        EXPECT_EQ(text(d, 1095), "其他NX40");
        EXPECT_EQ(text(d, 1066), "无");
        // The settings' choices: 9600 baud, even parity, the typed pseudo-terminal.
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(d.control(1059))->isChecked());
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(d.control(1064))->isChecked());
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(d.control(1063))->isChecked());
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(d.control(1068))->isChecked());
        auto* port = qobject_cast<QComboBox*>(d.control(1057));
        ASSERT_TRUE(port);
        EXPECT_TRUE(port->isEditable());
        EXPECT_EQ(port->currentText(), state.settings.portDevice);
        EXPECT_EQ(qobject_cast<QLineEdit*>(d.control(1070))->text(), "1");

        EXPECT_EQ(enabled(d, kRuled), (std::vector<bool>{true, false, true, false, false, true}));
        EXPECT_EQ(text(d, 1094), noModule);

        // "TCPIP" without any module found keeps the module controls shut.
        port->setCurrentIndex(port->findText("TCPIP"));
        EXPECT_EQ(enabled(d, kRuled), (std::vector<bool>{true, false, true, false, false, true}));
        d.showModules({{"00-20-4a-14-01-18", "10.0.0.5", "", "10.0.0.5", 502},
                       {"00-20-4a-14-01-19", "10.0.0.6", "", "10.0.0.6", 502}});
        EXPECT_EQ(enabled(d, kRuled), (std::vector<bool>{true, false, true, true, true, true}));
        EXPECT_EQ(text(d, 1094), "10.0.0.5()");
        qobject_cast<QComboBox*>(d.control(1093))->setCurrentIndex(1);
        EXPECT_EQ(text(d, 1094), "10.0.0.6()");
        port->setCurrentIndex(0); // back to a COM port
        EXPECT_EQ(enabled(d, kRuled), (std::vector<bool>{true, false, true, false, false, true}));
        EXPECT_EQ(text(d, 1094), noModule);

        port->setEditText(state.settings.portDevice);
        qobject_cast<QAbstractButton*>(d.control(1))->click();
        EXPECT_EQ(prompter.messageIds(), std::vector<int>{ids::LinkSuccessful});
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_TRUE(state.connected);
        EXPECT_EQ(state.settings.parityIndex, 0);
    }

    ConnectDialog d(connector, entries);
    EXPECT_EQ(enabled(d, kRuled), (std::vector<bool>{false, true, false, false, false, false}));
    EXPECT_EQ(text(d, 1094), noModule);
    qobject_cast<QAbstractButton*>(d.control(1069))->click();
    EXPECT_FALSE(state.connected);
    EXPECT_EQ(state.link, nullptr);
    EXPECT_EQ(enabled(d, kRuled), (std::vector<bool>{true, false, true, false, false, true}));
    EXPECT_NE(d.result(), QDialog::Accepted); // Disconnect leaves the dialog open
}
