// The automatic update (command 32805): all groups of one station read again and again on a
// worker thread while the user-interface thread stays free. The window's 100 ms timer calls
// tick(), which hands a finished pass to the project and starts the next one; one pass runs
// at a time. A failed pass shows its message once and ends the mode.
//
// The worker never touches the document or the program-wide state: it reads into a copy of
// the groups taken when the pass starts, and the user-interface thread copies the result into
// the project. Its exchanges share the one link with those of the user-interface thread; the
// link lets one exchange through at a time.
#pragma once

#include "AppState.h"
#include "CQ770Doc.h"
#include "Prompter.h"
#include "TransferHost.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace kvd {

// What the mode needs of the windows.
class AutoUpdateHost {
public:
    virtual ~AutoUpdateHost() = default;
    // Starts (every 100 ms) or stops the timer that calls AutoUpdate::tick().
    virtual void setUpdateTimer(bool running) = 0;
    // A pass has been copied into the project: the list shows the new values.
    virtual void refreshAfterUpdate() = 0;
    // The mode went on or off (the command's check mark).
    virtual void autoUpdateChanged(bool on) { (void)on; }
};

// An event that lets one waiter through each time it is set, then resets itself.
class AutoResetEvent {
public:
    explicit AutoResetEvent(bool signalled) : signalled_(signalled) {}
    void set();
    // Waits until set (and resets it) or cancelled; false when cancelled.
    bool wait();
    void cancel();
    // Signalled or not, and no longer cancelled.
    void reset(bool signalled);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_;
    bool cancelled_ = false;
};

class AutoUpdate {
public:
    AutoUpdate(AppState& state, Prompter& prompter, AutoUpdateHost& host);
    // Waits for a pass in flight; tells the host nothing.
    ~AutoUpdate();
    AutoUpdate(const AutoUpdate&) = delete;
    AutoUpdate& operator=(const AutoUpdate&) = delete;

    // The command: turns the mode off when it is on; otherwise asks the station (dialog 192)
    // and starts it for `doc`. Only while connected and no read or write runs.
    void toggle(StationChooser& stations, CQ770Doc& doc);
    // Starts the mode: the first pass at once, the timer for the next ones.
    bool start(CQ770Doc& doc, int station);
    // Ends the mode: waits for the pass in flight (it stops at its next group and its result
    // is dropped), stops the timer, clears the mark.
    void stop();

    // One timer tick. Ends the mode when its mark was cleared from outside (the keep-alive
    // lost the station) or the link went. Otherwise, once the pass in flight has ended, hands
    // its result to the project and starts the next pass.
    void tick();
    // Waits for the pass in flight and hands its result over now, as the next tick would.
    void finishPass();

    bool isOn() const { return on_; }
    bool passInFlight() const { return worker_.joinable(); }
    int station() const { return station_; }
    CQ770Doc* target() const { return target_; }

private:
    struct Pass;
    void startPass();
    void run(Pass& pass, SerialLink& link);
    // False when the pass failed (the mode is off then).
    bool takeOver(std::shared_ptr<Pass> pass);
    void apply(const Pass& pass);
    void join();

    AppState& state_;
    Prompter& prompter_;
    AutoUpdateHost& host_;
    CQ770Doc* target_ = nullptr;
    int station_ = -1;
    bool on_ = false;
    AutoResetEvent event_{true};
    std::atomic<bool> stopping_{false};
    std::thread worker_;
    std::shared_ptr<Pass> pass_;
};

} // namespace kvd
