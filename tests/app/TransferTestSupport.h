// A project and a line of simulated drives on a pseudo-terminal, already online, for the
// tests of reading, writing and the automatic update. The traffic is recorded as the
// simulator received it.
#pragma once

#include "DocTestSupport.h"
#include "app/ResourceLibrary.h"
#include "app/TransferHost.h"
#include "drive-sim/Simulator.h"
#include "link/ModbusRtu.h"
#include "params/Catalogue.h"
#include "support/GuiTestApp.h"

#include <QApplication>

#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace kvdtest {

// Requests as the line received them, each in short form: "R 0D01 1" for a read of one
// register at 0x0D01, "W 0001 7" for a write of seven registers from 0x0001.
class Traffic {
public:
    void add(std::string_view line) {
        if (!line.starts_with("rx "))
            return;
        std::istringstream in{std::string(line.substr(3))};
        std::vector<unsigned> b;
        unsigned x = 0;
        while (in >> std::hex >> x)
            b.push_back(x);
        if (b.size() < 6)
            return;
        char text[32];
        const char kind = b[1] == 0x03 ? 'R' : b[1] == 0x10 ? 'W' : b[1] == 0x06 ? 'S' : '?';
        std::snprintf(text, sizeof text, "%c %02X%02X %u", kind, b[2], b[3], b[4] * 256 + b[5]);
        std::lock_guard lock(mu_);
        frames_.emplace_back(text);
    }
    std::vector<std::string> take() {
        std::lock_guard lock(mu_);
        return std::exchange(frames_, {});
    }

private:
    std::mutex mu_;
    std::vector<std::string> frames_;
};

// Only the writes of a traffic record.
inline std::vector<std::string> writesOf(const std::vector<std::string>& frames) {
    std::vector<std::string> out;
    for (const std::string& f : frames)
        if (f.starts_with("W "))
            out.push_back(f);
    return out;
}

inline kvd::sim::StationConfig drive(int address, int model = 1205, std::uint16_t version = 1100) {
    kvd::sim::StationConfig c;
    c.address = address;
    c.modelCode = model;
    c.version = version;
    return c;
}

// The station dialogs: OK on the first station unless an answer was planned.
class ScriptedStations : public kvd::StationChooser {
public:
    std::optional<int> chooseStation(int dialogId, const QList<int>& stations) override {
        dialogs.push_back(dialogId);
        if (!answers.empty()) {
            const std::optional<int> a = answers.front();
            answers.pop_front();
            return a;
        }
        return stations.isEmpty() ? 0 : stations.first();
    }
    std::deque<std::optional<int>> answers; // nullopt: Cancel
    std::vector<int> dialogs;
};

class CountingListHost : public kvd::TransferHost {
public:
    void refreshList() override { ++refreshes; }
    int refreshes = 0;
};

class TransferFixture : public DocFixture {
public:
    static void SetUpTestSuite() { ASSERT_TRUE(kvdtest::startGuiTestApp()); }

    void TearDown() override {
        state.dropLink();
        if (line)
            line->stop();
    }

    // Drives on a pseudo-terminal, and the program online with all of them.
    void startLine(std::vector<kvd::sim::StationConfig> stations = {drive(1)}) {
        kvd::sim::Options o;
        o.stations = std::move(stations);
        o.trace = [t = traffic](std::string_view l) { t->add(l); };
        line = std::make_unique<kvd::sim::Simulator>(o);
        ASSERT_TRUE(line->startPty());
        kvd::SerialLink& link = state.ensureLink();
        // Silent drives cost one time-out each; keep it short.
        link.setReplyTimeout(std::chrono::milliseconds(150));
        ASSERT_NE(link.InitComm(line->devicePath(), 9600, 8, 0, 1.0f, 2048, 2048), 0);
        state.connected = true;
        state.stations.clear();
        for (int a : line->stationAddresses())
            state.stations.append(a);
    }

    kvd::sim::StationControl station(int address = 1) { return line->station(address); }

    // The project that the transfers work on.
    kvd::CQ770Doc& project() {
        if (!doc)
            doc = makeDoc();
        return *doc;
    }
    kvd::ParamItem& item(std::string_view code) {
        const kvd::ParamSpec* s = kvd::findSpec(code);
        return *project().item(s->group, s->index);
    }
    // The drive's word of a parameter.
    std::uint16_t driveWord(std::string_view code, int address = 1) {
        return *station(address).readRegister(kvd::findSpec(code)->reg);
    }

    kvd::TransferContext context() { return {state, prompter, stations, list}; }

    std::shared_ptr<Traffic> traffic = std::make_shared<Traffic>();
    std::unique_ptr<kvd::sim::Simulator> line;
    std::unique_ptr<kvd::CQ770Doc> doc;
    ScriptedStations stations;
    CountingListHost list;
};

} // namespace kvdtest
