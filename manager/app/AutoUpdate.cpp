#include "AutoUpdate.h"

#include "GroupReader.h"
#include "params/Catalogue.h"
#include "params/ParamRules.h"
#include "resources/StringIds.h"

#include <system_error>
#include <utility>

namespace kvd {

void AutoResetEvent::set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    cv_.notify_one();
}

bool AutoResetEvent::wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return signalled_ || cancelled_; });
    if (cancelled_)
        return false;
    signalled_ = false;
    return true;
}

void AutoResetEvent::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    cv_.notify_all();
}

void AutoResetEvent::reset(bool signalled) {
    std::lock_guard lock(mutex_);
    signalled_ = signalled;
    cancelled_ = false;
}

// One pass of the worker. The user-interface thread fills the inputs before the thread
// starts and reads the results once `done` is set; the worker writes nothing else.
struct AutoUpdate::Pass {
    int station = 0;
    double driveVersion = 0;
    std::vector<ParamGroup> groups; // a copy of the project's: the reads land here

    bool ok = false;
    bool aborted = false; // the mode ended while the pass ran
    QString error;
    std::optional<int> modelCode;
    std::atomic<bool> done{false};
};

AutoUpdate::AutoUpdate(AppState& state, Prompter& prompter, AutoUpdateHost& host)
    : state_(state), prompter_(prompter), host_(host) {}

AutoUpdate::~AutoUpdate() {
    stopping_ = true;
    event_.cancel();
    join();
}

void AutoUpdate::join() {
    if (worker_.joinable())
        worker_.join();
}

void AutoUpdate::toggle(StationChooser& stations, CQ770Doc& doc) {
    if (on_ && state_.autoUpdateOn) {
        stop();
        return;
    }
    // A mode whose mark the keep-alive cleared shows as off; the command turns it on anew.
    if (on_)
        stop();
    if (!state_.connected || !state_.link || state_.reading || state_.writing)
        return;
    const std::optional<int> station =
        stations.chooseStation(ids::DialogStationSelect, state_.stations);
    if (station)
        start(doc, *station);
}

bool AutoUpdate::start(CQ770Doc& doc, int station) {
    if (on_ || !state_.link)
        return false;
    stopping_ = false;
    event_.reset(true);
    on_ = true;
    target_ = &doc;
    station_ = station;
    state_.autoUpdateOn = true;
    state_.autoUpdateStation = station;
    host_.setUpdateTimer(true);
    host_.autoUpdateChanged(true);
    startPass();
    return true;
}

void AutoUpdate::stop() {
    stopping_ = true;
    event_.cancel();
    join();
    pass_.reset();
    stopping_ = false;
    const bool wasOn = on_;
    on_ = false;
    target_ = nullptr;
    if (!wasOn)
        return;
    state_.autoUpdateOn = false;
    host_.setUpdateTimer(false);
    host_.autoUpdateChanged(false);
}

void AutoUpdate::tick() {
    if (!on_)
        return;
    if (!state_.autoUpdateOn || !state_.connected || !state_.link) {
        stop();
        return;
    }
    if (worker_.joinable()) {
        if (!pass_->done.load(std::memory_order_acquire))
            return; // one pass at a time
        worker_.join();
        if (!takeOver(std::exchange(pass_, nullptr)))
            return;
    }
    startPass();
}

void AutoUpdate::finishPass() {
    if (!worker_.joinable())
        return;
    worker_.join();
    std::shared_ptr<Pass> pass = std::exchange(pass_, nullptr);
    if (on_)
        takeOver(pass);
}

void AutoUpdate::startPass() {
    if (!target_ || !state_.link)
        return;
    auto pass = std::make_shared<Pass>();
    pass->station = station_;
    pass->driveVersion = target_->driveVersion();
    pass->groups = target_->groups();
    SerialLink* link = state_.link.get();
    try {
        worker_ = std::thread([this, pass, link] { run(*pass, *link); });
    } catch (const std::system_error&) {
        return; // no thread now; the next tick tries again
    }
    pass_ = std::move(pass);
}

void AutoUpdate::run(Pass& pass, SerialLink& link) {
    if (!event_.wait()) {
        pass.aborted = true;
    } else {
        GroupReader reader(link, pass.groups, pass.driveVersion);
        pass.ok = true;
        for (int g = 0; g < kGroupCount; ++g) {
            if (stopping_) {
                pass.ok = false;
                pass.aborted = true;
                break;
            }
            if (!reader.readGroup(g, pass.station)) {
                pass.ok = false;
                pass.error = reader.error();
                break;
            }
        }
        pass.modelCode = reader.modelCode();
        if (pass.ok)
            event_.set();
    }
    pass.done.store(true, std::memory_order_release);
}

bool AutoUpdate::takeOver(std::shared_ptr<Pass> pass) {
    if (!pass || pass->aborted)
        return on_;
    if (!pass->ok) {
        // The timer stops before the box, so a dead link yields one message, not one a tick.
        stop();
        prompter_.messageText(pass->error);
        return false;
    }
    apply(*pass);
    return true;
}

void AutoUpdate::apply(const Pass& pass) {
    CQ770Doc& doc = *target_;
    auto& groups = doc.groups();
    for (std::size_t g = 0; g < groups.size() && g < pass.groups.size(); ++g) {
        const auto specs = groupSpecs(static_cast<int>(g));
        auto& items = groups[g].items;
        const auto& read = pass.groups[g].items;
        for (std::size_t i = 0; i < items.size() && i < read.size() && i < specs.size(); ++i) {
            if (!isGroupRead(specs[i]))
                continue;
            // A parameter the drive lacks shows the project's value as it is now, not as it
            // was when the pass began: an edit made meanwhile stays.
            items[i].readValue =
                existsOnDrive(specs[i], pass.driveVersion) ? read[i].readValue : items[i].editValue;
        }
    }
    doc.adoptReadValues();
    if (pass.modelCode)
        state_.driveModelCode = *pass.modelCode;
    doc.clearModifiedMarks();
    host_.refreshAfterUpdate();
}

} // namespace kvd
