// Dialog 138: port, line settings, stations and the Ethernet module; Connect, Disconnect and
// Close hand over to the Connector.
#pragma once

#include "Connector.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kvd {

class ConnectDialog : public QDialog {
    Q_OBJECT
public:
    // `portEntries` as availablePortEntries() gives them ("TCPIP" last).
    ConnectDialog(Connector& connector, const QStringList& portEntries, QWidget* parent = nullptr);

    // The control with this dialog id (1 Connect, 2 Close, 1057 port list ...); null if none.
    QWidget* control(int id) const;

    // Fills the module list from a search; names and the last module come from
    // sg2comfile.ini. An empty list disables the module list and the IP settings button.
    void showModules(std::vector<ModuleEntry> modules);

private:
    void updateControls();
    void showPortChoice();
    void showModuleChoice();
    void onPortTextChanged();
    void onConnect();
    void onDisconnect();
    bool tcpChosen() const;
    ConnectRequest request() const;

    Connector& connector_;
    QComboBox* port_ = nullptr;
    QButtonGroup* baud_ = nullptr;
    QButtonGroup* dataBits_ = nullptr;
    QButtonGroup* parity_ = nullptr;
    QButtonGroup* stopBits_ = nullptr;
    QLineEdit* stations_ = nullptr;
    QComboBox* moduleList_ = nullptr;
    QPushButton* ipSettings_ = nullptr;
    QPushButton* otherModule_ = nullptr;
    QPushButton* connect_ = nullptr;
    QPushButton* disconnect_ = nullptr;
    QPushButton* close_ = nullptr;
    std::vector<ModuleEntry> modules_;
    bool tcpShown_ = false;
};

// Command 32772: shows dialog 138 modally. True when it ended with a successful connection
// (the caller then offers to read the parameters).
bool connectCommand(Connector& connector, QWidget* parent);

} // namespace kvd
