#include "TransferCommands.h"

#include "ConnectDialog.h"
#include "GroupReader.h"
#include "GroupWriter.h"
#include "MainFrame.h"
#include "ResourceLibrary.h"
#include "reports/CQ770View.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvd {

StationSelectDialog::StationSelectDialog(int dialogId, const QList<int>& stations, QWidget* parent)
    : QDialog(parent) {
    const ResourceLibrary& r = ResourceLibrary::instance();
    const int listId = dialogId == ids::DialogRead ? ids::ReadStationList : ids::SelectStationList;
    setObjectName(QStringLiteral("dialog%1").arg(dialogId));
    setWindowTitle(r.dialogText(dialogId, 0));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(r.dialogText(dialogId, static_cast<unsigned>(listId)), this));
    list_ = new QComboBox(this);
    list_->setObjectName(QString::number(listId));
    for (int station : stations)
        list_->addItem(QString::asprintf("%d", station), station);
    list_->setCurrentIndex(stations.isEmpty() ? -1 : 0);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(r.dialogText(dialogId, 1));
    buttons->button(QDialogButtonBox::Cancel)->setText(r.dialogText(dialogId, 2));
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int StationSelectDialog::station() const {
    return list_->currentIndex() < 0 ? 0 : list_->currentData().toInt();
}

std::optional<int> DialogStationChooser::chooseStation(int dialogId, const QList<int>& stations) {
    StationSelectDialog dialog(dialogId, stations, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.station();
}

TransferCommands::TransferCommands(CMainFrame& frame)
    : frame_(frame), dialogs_(&frame), stations_(&dialogs_),
      autoUpdate_(frame.state(), frame.prompter(), *this) {
    timer_.setInterval(kAutoUpdateMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { autoUpdate_.tick(); });
}

TransferCommands::~TransferCommands() {
    // The automatic update's worker is waited for by its own destructor; the window that
    // would show the mode's end is going away, so nothing is reported.
    timer_.stop();
}

TransferContext TransferCommands::context() {
    return {frame_.state(), frame_.prompter(), *stations_, *this};
}

void TransferCommands::setStationChooser(StationChooser* chooser) {
    stations_ = chooser ? chooser : &dialogs_;
}

void TransferCommands::read() {
    CQ770View* view = frame_.view();
    if (!view)
        return;
    TransferContext c = context();
    readCommand(c, view->document());
}

void TransferCommands::write() {
    CQ770View* view = frame_.view();
    if (!view)
        return;
    TransferContext c = context();
    writeCommand(c, view->document());
}

void TransferCommands::toggleAutoUpdate() {
    CQ770View* view = frame_.view();
    if (!view && !autoUpdate_.isOn())
        return;
    if (view)
        autoUpdate_.toggle(*stations_, view->document());
    else
        autoUpdate_.stop();
}

void TransferCommands::connect() {
    // A mode that the keep-alive ended may still have a pass winding down on the link that
    // the dialog is about to close or replace.
    if (autoUpdate_.isOn() && !frame_.state().autoUpdateOn)
        autoUpdate_.stop();
    if (connectCommand(frame_.connector(), &frame_))
        readAfterConnect();
}

void TransferCommands::readAfterConnect() {
    TransferContext c = context();
    kvd::readAfterConnect(c, frame_.projects());
}

void TransferCommands::stopAutoUpdate() {
    autoUpdate_.stop();
}

void TransferCommands::refreshList() {
    if (CQ770View* view = frame_.view()) {
        view->refreshListed();
        view->viewport()->update();
    }
}

void TransferCommands::setUpdateTimer(bool running) {
    if (running)
        timer_.start();
    else
        timer_.stop();
}

void TransferCommands::refreshAfterUpdate() {
    if (CQ770View* view = frame_.view())
        view->refreshAfterUpdate();
}

void TransferCommands::autoUpdateChanged(bool) {
    frame_.updateCommandStates();
}

} // namespace kvd
