#include "ConnectDialog.h"

#include "ModuleFile.h"
#include "PortList.h"
#include "ResourceLibrary.h"
#include "resources/StringIds.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kvd {
namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kPortList = 1057;
constexpr int kFirstBaud = 1058;
constexpr int kFirstDataBits = 1062;
constexpr int kFirstParity = 1064;
constexpr int kFirstStopBits = 1067;
constexpr int kDisconnect = 1069;
constexpr int kStationText = 1070;
constexpr int kModuleList = 1093;
constexpr int kIpSettings = 1094;
constexpr int kOtherModule = 1095;

QString text(int control) {
    return ResourceLibrary::instance().dialogText(ids::DialogConnect,
                                                  static_cast<unsigned>(control));
}

QString objectNameFor(int id) {
    return QStringLiteral("control%1").arg(id);
}

template <class W> W* named(W* w, int id) {
    w->setObjectName(objectNameFor(id));
    return w;
}

// A row of radios for one setting; the button ids are the setting's indexes.
QButtonGroup* radioRow(QWidget* parent, QGridLayout* grid, int row, int firstId, int count,
                       int checked) {
    auto* box = new QGroupBox(parent);
    auto* layout = new QHBoxLayout(box);
    auto* group = new QButtonGroup(parent);
    for (int i = 0; i < count; ++i) {
        auto* r = named(new QRadioButton(text(firstId + i), box), firstId + i);
        group->addButton(r, i);
        layout->addWidget(r);
        r->setChecked(i == checked);
    }
    grid->addWidget(box, row, 0, 1, 3);
    return group;
}

QString moduleButtonText(const ModuleEntry& m) {
    return QString::fromStdString(m.ip) + u'(' + QString::fromStdString(m.name) + u')';
}

} // namespace

ConnectDialog::ConnectDialog(Connector& connector, const QStringList& portEntries, QWidget* parent)
    : QDialog(parent), connector_(connector) {
    setObjectName(QStringLiteral("dialog138"));
    setWindowTitle(text(0));
    const ConnectionSettings& s = connector_.state().settings;

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(text(kPortList), this), 0, 0);
    port_ = named(new QComboBox(this), kPortList);
    port_->setEditable(true); // a device path (a pseudo-terminal, a by-id link) can be typed
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->addItems(portEntries);
    grid->addWidget(port_, 0, 1, 1, 2);

    baud_ = radioRow(this, grid, 1, kFirstBaud, 4, s.baudIndex);
    dataBits_ = radioRow(this, grid, 2, kFirstDataBits, 2, s.dataBitsIndex);
    parity_ = radioRow(this, grid, 3, kFirstParity, 3, s.parityIndex);
    stopBits_ = radioRow(this, grid, 4, kFirstStopBits, 2, s.stopBitsIndex);

    grid->addWidget(new QLabel(text(kStationText), this), 5, 0);
    stations_ = named(new QLineEdit(s.stationText, this), kStationText);
    grid->addWidget(stations_, 5, 1, 1, 2);
    grid->addWidget(named(new QLabel(text(ids::ConnectStationHint), this), ids::ConnectStationHint),
                    6, 1, 1, 2);

    grid->addWidget(new QLabel(text(kModuleList), this), 7, 0);
    moduleList_ = named(new QComboBox(this), kModuleList);
    grid->addWidget(moduleList_, 7, 1);
    // The address assignment of the module search hangs on these two buttons.
    ipSettings_ = named(new QPushButton(this), kIpSettings);
    grid->addWidget(ipSettings_, 7, 2);
    otherModule_ = named(new QPushButton(text(kOtherModule), this), kOtherModule);
    grid->addWidget(otherModule_, 8, 2);

    auto* buttons = new QHBoxLayout;
    connect_ = named(new QPushButton(text(kIdOk), this), kIdOk);
    connect_->setDefault(true);
    disconnect_ = named(new QPushButton(text(kDisconnect), this), kDisconnect);
    close_ = named(new QPushButton(text(kIdCancel), this), kIdCancel);
    buttons->addStretch();
    buttons->addWidget(connect_);
    buttons->addWidget(disconnect_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    const int selected = findPortEntry(portEntries, s);
    if (selected >= 0)
        port_->setCurrentIndex(selected);
    else if (!s.portDevice.isEmpty())
        port_->setEditText(s.portDevice); // a typed path is no entry of the list
    else
        port_->setCurrentIndex(0);

    updateControls();

    QObject::connect(connect_, &QPushButton::clicked, this, &ConnectDialog::onConnect);
    QObject::connect(disconnect_, &QPushButton::clicked, this, &ConnectDialog::onDisconnect);
    QObject::connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    QObject::connect(port_, &QComboBox::currentTextChanged, this,
                     &ConnectDialog::onPortTextChanged);
    QObject::connect(moduleList_, &QComboBox::currentIndexChanged, this,
                     &ConnectDialog::showModuleChoice);
}

QWidget* ConnectDialog::control(int id) const {
    return findChild<QWidget*>(objectNameFor(id));
}

bool ConnectDialog::tcpChosen() const {
    return portOfEntry(port_->currentText()) == QLatin1String(kTcpPortName);
}

void ConnectDialog::updateControls() {
    const AppState& state = connector_.state();
    connect_->setEnabled(!state.connected);
    disconnect_->setEnabled(state.connected);
    if (!state.connected) {
        port_->setEnabled(true);
        tcpShown_ = false;
        showPortChoice();
        return;
    }
    port_->setEnabled(false);
    moduleList_->setEnabled(false);
    ipSettings_->setEnabled(false);
    otherModule_->setEnabled(false);
    moduleList_->clear();
    if (state.viaModule && state.link) {
        QString mac = connector_.lastModuleMac();
        if (const auto file = readModuleFile(state.programFolder, state.tempFolder))
            mac = file->lastMac;
        moduleList_->addItem(mac);
        ipSettings_->setText(QString::fromStdString(state.link->tcpPeerHost()));
    } else {
        ipSettings_->setText(resText(ids::NoModuleChosen));
    }
}

void ConnectDialog::showPortChoice() {
    if (tcpChosen()) {
        if (tcpShown_)
            return;
        tcpShown_ = true;
        // No module search yet: the list stays empty and "TCPIP" reaches the module address
        // of the settings.
        showModules({});
        return;
    }
    tcpShown_ = false;
    ipSettings_->setText(resText(ids::NoModuleChosen));
    ipSettings_->setEnabled(false);
    moduleList_->setEnabled(false);
    otherModule_->setEnabled(true);
}

void ConnectDialog::showModules(std::vector<ModuleEntry> modules) {
    const AppState& state = connector_.state();
    modules_ = std::move(modules);
    moduleList_->blockSignals(true);
    moduleList_->clear();
    for (const ModuleEntry& m : modules_)
        moduleList_->addItem(QString::fromStdString(m.mac));
    QString last;
    if (const auto file = readModuleFile(state.programFolder, state.tempFolder)) {
        nameModules(modules_, *file);
        last = file->lastMac;
    }
    const int remembered = moduleList_->findText(last);
    moduleList_->setCurrentIndex(modules_.empty() ? -1 : std::max(remembered, 0));
    moduleList_->blockSignals(false);
    const bool any = !modules_.empty();
    moduleList_->setEnabled(any);
    ipSettings_->setEnabled(any);
    otherModule_->setEnabled(true);
    showModuleChoice();
}

void ConnectDialog::showModuleChoice() {
    const int i = moduleList_->currentIndex();
    if (i < 0 || static_cast<std::size_t>(i) >= modules_.size()) {
        ipSettings_->setText(resText(ids::NoModuleChosen));
        ipSettings_->setToolTip(QString());
        return;
    }
    const QString t = moduleButtonText(modules_[static_cast<std::size_t>(i)]);
    ipSettings_->setText(t);
    ipSettings_->setToolTip(t);
}

void ConnectDialog::onPortTextChanged() {
    if (!connector_.state().connected)
        showPortChoice();
}

ConnectRequest ConnectDialog::request() const {
    ConnectRequest r;
    r.portEntry = port_->currentText();
    r.baudIndex = baud_->checkedId();
    r.dataBitsIndex = dataBits_->checkedId();
    r.parityIndex = parity_->checkedId();
    r.stopBitsIndex = stopBits_->checkedId();
    r.stationText = stations_->text();
    if (tcpChosen()) {
        r.modules = modules_;
        r.moduleIndex = moduleList_->currentIndex();
    }
    return r;
}

void ConnectDialog::onConnect() {
    // After a failure the dialog stays open so the settings can be corrected.
    if (connector_.connect(request()) == ConnectResult::Connected)
        accept();
}

void ConnectDialog::onDisconnect() {
    connector_.disconnect();
    updateControls();
}

bool connectCommand(Connector& connector, QWidget* parent) {
    ConnectDialog dialog(connector, availablePortEntries(), parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace kvd
