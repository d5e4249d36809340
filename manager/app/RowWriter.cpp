#include "RowWriter.h"

#include "DriveChecks.h"
#include "GroupReader.h"
#include "ResourceLibrary.h"
#include "link/Exchange.h"
#include "link/ModbusRtu.h"
#include "params/ParamRules.h"
#include "params/ValueText.h"
#include "resources/StringIds.h"

namespace kvd {
namespace {

constexpr std::uint16_t kRunSourceRegister = 0x0002; // 00-02

// One word of the station, paced like the write that follows it.
LinkError readWord(AppState& state, int station, std::uint16_t reg, std::uint16_t& word) {
    std::vector<std::uint16_t> words;
    const LinkError e = readRegisters(*state.link, static_cast<std::uint8_t>(station), reg, 1,
                                      words, Pacing::Paced);
    if (e == LinkOk)
        word = words[0];
    return e;
}

// The station: dialog 192, the password state and, where asked, the running bit.
std::optional<int> stationReady(PageContext& c, bool checkRun, bool* running) {
    const auto station = c.stations.chooseStation(ids::DialogStationSelect, c.state.stations);
    if (!station)
        return std::nullopt;
    const auto password = checkPasswordState(c.state, c.prompter, *station);
    if (!password)
        return std::nullopt;
    if (*password) {
        c.prompter.message(ids::StationHasPassword, {QString::number(*station)});
        return std::nullopt;
    }
    if (checkRun) {
        const auto run = checkRunning(c.state, c.prompter, *station);
        if (!run)
            return std::nullopt;
        *running = *run;
    }
    return station;
}

// The rules between this parameter and the drive's current values.
RuleViolation driveRules(PageContext& c, const ParamSpec& entry, const std::string& text,
                         int station, bool* linkFailed) {
    const ParamSpec* distinct = distinctPartner(entry);
    const ParamSpec* order = motorCurrentPartner(entry);
    if (const ParamSpec* partner = distinct ? distinct : order) {
        std::uint16_t word = 0;
        if (const LinkError e = readWord(c.state, station, partner->reg, word); e != LinkOk) {
            c.prompter.message(rtu::linkErrorMessage(e));
            *linkFailed = true;
            return RuleViolation::None;
        }
        const RuleViolation v =
            distinct ? checkDistinct(entry, text, word) : checkMotorCurrents(entry, text, word);
        if (v != RuleViolation::None)
            return v;
    }
    return checkVersion(entry, c.doc.driveVersion());
}

} // namespace

RowWriteResult writeRow(PageContext& c, const PageSpec& page, int row, const RowInput& input,
                        RowCache& cache) {
    AppState& state = c.state;
    const PageRow& pageRow = page.rows[static_cast<std::size_t>(row)];
    const ParamSpec& entry = rowSpec(page, row);

    if (!state.connected || !state.link) {
        c.prompter.message(ids::NotConnected);
        return RowWriteResult::NotConnected;
    }
    bool running = false;
    const auto chosen = stationReady(c, page.checksRunning, &running);
    if (!chosen)
        return RowWriteResult::Stopped;
    const int station = *chosen;
    if (running && pageRow.refusedWhileRunning()) {
        c.prompter.message(ids::InverterRunning);
        return RowWriteResult::Refused;
    }

    if (page.readsRunSource) {
        std::uint16_t word = 0;
        if (readWord(state, station, kRunSourceRegister, word) != LinkOk) {
            c.prompter.message(ids::CommunicationError);
            return RowWriteResult::LinkFailed;
        }
        state.cachedRunSource = word;
    }
    if (page.readsVersion && !readDriveVersion(state, c.prompter, c.doc, station))
        return RowWriteResult::LinkFailed;

    // The value: a read-only row is refused below whatever it holds.
    std::optional<std::string> text = input.text;
    if (!pageRow.readOnly()) {
        if (text && inRange(entry, *text, state.driveModelCode))
            text = normalizedText(entry, *text);
        else
            text.reset();
        if (!text || !rowWord(page, entry, *text)) {
            if (input.markField)
                input.markField();
            c.prompter.message(ids::BeyondRange);
            return RowWriteResult::Refused;
        }
    }
    cache.text = text.value_or(std::string());

    if (pageRow.readOnly() || checkRunSource(entry, state.cachedRunSource) != RuleViolation::None) {
        c.prompter.message(ids::ParameterReadOnly);
        return RowWriteResult::Refused;
    }
    bool linkFailed = false;
    const RuleViolation v = driveRules(c, entry, cache.text, station, &linkFailed);
    if (linkFailed)
        return RowWriteResult::LinkFailed;
    if (v != RuleViolation::None) {
        c.prompter.message(static_cast<int>(v));
        return RowWriteResult::Refused;
    }

    const std::uint16_t word = *rowWord(page, entry, cache.text);
    if (station == rtu::kBroadcast) {
        broadcastWrite(*state.link, entry.reg, word);
    } else if (const LinkError e = writeRegister(*state.link, static_cast<std::uint8_t>(station),
                                                 entry.reg, word, Pacing::Paced);
               e != LinkOk) {
        c.prompter.messageText(
            ResourceLibrary::instance().format(ids::StationNumFormat, {QString::number(station)}) +
            resText(rtu::linkErrorMessage(e)));
        return RowWriteResult::LinkFailed;
    }

    if (const auto source = runSourceAfterWrite(entry, cache.text))
        state.cachedRunSource = *source;
    cache.written = true;
    c.doc.setModifiedMark(page.group, entry.index, false);
    if (c.groupChanged)
        c.groupChanged(page.group);
    c.prompter.message(ids::WriteSuccessful, {}, Icon::Information);
    return RowWriteResult::Written;
}

std::optional<int> prepareTransmit(PageContext& c) {
    bool running = false;
    const auto station = stationReady(c, true, &running);
    if (!station)
        return std::nullopt;
    if (running) {
        c.prompter.message(ids::InverterRunning);
        return std::nullopt;
    }
    if (!readDriveVersion(c.state, c.prompter, c.doc, *station))
        return std::nullopt;
    return station;
}

bool transmitGroup(PageContext& c, const GroupWrite& write, int group,
                   const std::vector<std::string>& values, int station) {
    c.state.lastErrorText.clear();
    if (!write(c.state, c.prompter, c.doc.driveVersion(), group, values, station)) {
        c.prompter.messageText(c.state.lastErrorText);
        return false;
    }
    c.prompter.message(ids::WriteSuccessful, {}, Icon::Information);
    for (int position = 0; position < kMarksPerGroup; ++position)
        c.doc.setModifiedMark(group, position, false);
    if (c.groupChanged)
        c.groupChanged(group);
    return true;
}

} // namespace kvd
