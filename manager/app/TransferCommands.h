// The main window's side of the parameter transfers: Read (32788), Write (32789), the
// automatic update (32805) with its 100 ms timer, the read offered after connecting, and the
// station dialogs 172 and 192.
#pragma once

#include "AutoUpdate.h"
#include "TransferHost.h"

#include <QDialog>
#include <QList>
#include <QTimer>

class QComboBox;
class QWidget;

namespace kvd {

class CMainFrame;

// Dialog 172 ("Read") or 192 ("Station Select"): one drop-down list of the online stations.
class StationSelectDialog : public QDialog {
    Q_OBJECT
public:
    StationSelectDialog(int dialogId, const QList<int>& stations, QWidget* parent = nullptr);
    QComboBox* stationList() const { return list_; }
    // The selected station; 0 when the list is empty.
    int station() const;

private:
    QComboBox* list_;
};

class DialogStationChooser : public StationChooser {
public:
    explicit DialogStationChooser(QWidget* parent) : parent_(parent) {}
    std::optional<int> chooseStation(int dialogId, const QList<int>& stations) override;

private:
    QWidget* parent_;
};

class TransferCommands : public TransferHost, public AutoUpdateHost {
public:
    explicit TransferCommands(CMainFrame& frame);
    ~TransferCommands() override;
    TransferCommands(const TransferCommands&) = delete;
    TransferCommands& operator=(const TransferCommands&) = delete;

    void read();             // 32788
    void write();            // 32789
    void toggleAutoUpdate(); // 32805
    // Connect (32772), then the read offer once a connection has been made.
    void connect();
    void readAfterConnect();
    // Disconnecting, closing the project or the main window end the automatic update.
    void stopAutoUpdate();

    AutoUpdate& autoUpdate() { return autoUpdate_; }
    bool updateTimerActive() const { return timer_.isActive(); }
    // The station dialogs; tests put a scripted chooser here. Null restores the dialogs.
    void setStationChooser(StationChooser* chooser);

    // TransferHost
    void refreshList() override;
    // AutoUpdateHost
    void setUpdateTimer(bool running) override;
    void refreshAfterUpdate() override;
    void autoUpdateChanged(bool on) override;

    static constexpr int kAutoUpdateMs = 100;

private:
    TransferContext context();

    CMainFrame& frame_;
    DialogStationChooser dialogs_;
    StationChooser* stations_;
    QTimer timer_;
    AutoUpdate autoUpdate_; // last: its worker ends before the timer and the chooser go
};

} // namespace kvd
