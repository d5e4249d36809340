#include "GroupReader.h"

#include "ResourceLibrary.h"
#include "link/Exchange.h"
#include "link/ModbusRtu.h"
#include "params/Catalogue.h"
#include "params/ModelTable.h"
#include "params/ParamRules.h"
#include "params/ValueText.h"
#include "resources/StringIds.h"

#include <array>

namespace kvd {
namespace {

using Requests = std::span<const RegisterBlock>;

constexpr RegisterBlock k00[] = {{0x0001, 20}};
constexpr RegisterBlock k01[] = {{0x0100, 12}};
constexpr RegisterBlock k02[] = {{0x0200, 4}, {0x0204, 1}};
constexpr RegisterBlock k03[] = {{0x0300, 5}, {0x0306, 4}, {0x030B, 1}, {0x030D, 7}};
constexpr RegisterBlock k04[] = {{0x0400, 16}};
constexpr RegisterBlock k05[] = {{0x0500, 9}, {0x0511, 16}};
constexpr RegisterBlock k06[] = {{0x0600, 8}, {0x0610, 8}, {0x0620, 8}};
constexpr RegisterBlock k07[] = {{0x0700, 9}, {0x0709, 1}};
constexpr RegisterBlock k08[] = {{0x0800, 10}};
constexpr RegisterBlock k09[] = {{0x0900, 10}};
constexpr RegisterBlock k10[] = {{0x0A00, 23}};
constexpr RegisterBlock k11[] = {{0x0B00, 12}};
constexpr RegisterBlock k12[] = {{0x0C00, 6}};
constexpr RegisterBlock k13[] = {{0x0D00, 9}}; // 13-09 stays the project's own
constexpr RegisterBlock kF[] = {{0x0E01, 30}}; // F_31 stays the project's own

constexpr std::array<Requests, kGroupCount> kRequests{k00, k01, k02, k03, k04, k05, k06, k07,
                                                      k08, k09, k10, k11, k12, k13, kF};

constexpr std::uint16_t kModelRegister = 0x0D00;
constexpr std::uint16_t kVersionRegister = 0x0D01;

// The item a register fills, when the group has it.
ParamItem* itemOf(std::vector<ParamGroup>& groups, int group, std::uint16_t reg) {
    const ParamSpec* entry = specByRegister(reg);
    if (!entry || entry->group != group || static_cast<std::size_t>(group) >= groups.size())
        return nullptr;
    auto& items = groups[static_cast<std::size_t>(group)].items;
    return static_cast<std::size_t>(entry->index) < items.size()
               ? &items[static_cast<std::size_t>(entry->index)]
               : nullptr;
}

// Whether the drive's software has the parameters of a request.
bool onDrive(const RegisterBlock& request, double version) {
    const ParamSpec* first = specByRegister(request.start);
    return !first || existsOnDrive(*first, version);
}

QString linkMessage(LinkError e) {
    return resText(rtu::linkErrorMessage(e));
}

} // namespace

std::span<const RegisterBlock> readRequests(int group) {
    if (group < 0 || group >= kGroupCount)
        return {};
    return kRequests[static_cast<std::size_t>(group)];
}

QString readProgressText(int group, int station) {
    const std::string_view prefix = groupPrefix(group);
    QString text = QString::fromLatin1(prefix.data(), static_cast<qsizetype>(prefix.size()));
    text += group == kBasicGroup ? QStringLiteral("XX --") : QStringLiteral("-XX --");
    return text + resText(ids::PaneStation) + QString::number(station);
}

GroupReader::GroupReader(SerialLink& link, std::vector<ParamGroup>& groups, double driveVersion)
    : link_(link), groups_(groups), driveVersion_(driveVersion) {}

bool GroupReader::readGroup(int group, int station) {
    for (const RegisterBlock& request : readRequests(group)) {
        if (!onDrive(request, driveVersion_)) {
            for (int k = 0; k < request.count; ++k)
                if (ParamItem* item =
                        itemOf(groups_, group, static_cast<std::uint16_t>(request.start + k)))
                    item->readValue = item->editValue;
            continue;
        }
        std::vector<std::uint16_t> words;
        const LinkError e = readRegisters(link_, static_cast<std::uint8_t>(station), request.start,
                                          request.count, words);
        if (e != LinkOk) {
            error_ = linkMessage(e);
            return false;
        }
        for (int k = 0; k < request.count; ++k) {
            const auto reg = static_cast<std::uint16_t>(request.start + k);
            const std::uint16_t word = words[static_cast<std::size_t>(k)];
            if (reg == kModelRegister)
                modelCode_ = word;
            if (ParamItem* item = itemOf(groups_, group, reg))
                item->readValue = formatWord(*specByRegister(reg), word);
        }
    }
    return true;
}

bool readGroup(AppState& state, CQ770Doc& doc, int group, int station) {
    if (!state.link) {
        state.lastErrorText = resText(ids::CommunicationError);
        return false;
    }
    GroupReader reader(*state.link, doc.groups(), doc.driveVersion());
    const bool ok = reader.readGroup(group, station);
    if (reader.modelCode())
        state.driveModelCode = *reader.modelCode();
    if (!ok)
        state.lastErrorText = reader.error();
    return ok;
}

bool readAllGroups(AppState& state, CQ770Doc& doc, Prompter& prompter, int station) {
    const QString caption = resText(ids::ReadingParameters);
    prompter.progressStart(kGroupCount);
    for (int g = 0; g < kGroupCount; ++g) {
        prompter.progressStep(g, caption, readProgressText(g, station));
        if (!readGroup(state, doc, g, station)) {
            prompter.progressEnd();
            return false;
        }
    }
    prompter.progressStep(kGroupCount, caption, QString());
    return true;
}

bool readDriveVersion(AppState& state, Prompter& prompter, CQ770Doc& doc, int station) {
    std::vector<std::uint16_t> words;
    const LinkError e = state.link ? readRegisters(*state.link, static_cast<std::uint8_t>(station),
                                                   kVersionRegister, 1, words)
                                   : LinkCommError;
    if (e != LinkOk) {
        prompter.message(rtu::linkErrorMessage(e));
        return false;
    }
    doc.setDriveVersion(driveVersion(words[0]));
    return true;
}

namespace {

bool mayTransfer(TransferContext& c) {
    if (c.state.reading || c.state.writing)
        return false; // a transfer is already running (its progress window lets timers in)
    if (!c.state.connected || !c.state.link) {
        c.prompter.message(ids::NotConnected);
        return false;
    }
    return true;
}

// Steps shared by both read commands once the station is known: the drive's version, all
// groups, and the read values taken over by the project.
bool readStation(TransferContext& c, CQ770Doc& doc, int station, bool reloadInitialValues,
                 bool discardModified) {
    AppState& s = c.state;
    s.readStation = station;
    if (!readDriveVersion(s, c.prompter, doc, station)) {
        s.reading = false;
        return false;
    }
    s.reading = true;
    if (!readAllGroups(s, doc, c.prompter, station)) {
        // Nothing is copied, so the project's edits stay, and with them its modified flag.
        s.reading = false;
        c.prompter.messageText(s.lastErrorText);
        return false;
    }
    doc.adoptReadValues();
    c.prompter.progressEnd();
    s.reading = false;
    if (discardModified)
        doc.setModified(false);
    if (reloadInitialValues)
        doc.ApplyInitialValues();
    doc.clearModifiedMarks();
    c.host.refreshList();
    c.prompter.message(ids::ReadCompleted, {}, Icon::Information);
    return true;
}

} // namespace

bool readCommand(TransferContext& c, CQ770Doc& doc) {
    if (!mayTransfer(c))
        return false;
    const std::optional<int> station = c.stations.chooseStation(ids::DialogRead, c.state.stations);
    if (!station)
        return false;
    c.state.readStation = *station;
    c.state.reading = true;
    bool discardModified = false;
    if (doc.isModified()) {
        if (c.prompter.ask(ids::SaveModifiedQuestion, Buttons::YesNoCancel) == Answer::Yes) {
            if (!doc.OnFileSave()) {
                c.state.reading = false;
                return false;
            }
        } else {
            // Cancel counts as No: the read replaces the edits, so they are not asked about
            // again. The flag goes only once the read has replaced them.
            discardModified = true;
        }
    }
    return readStation(c, doc, *station, true, discardModified);
}

bool readAfterConnect(TransferContext& c, ProjectOps& projects) {
    if (c.prompter.ask(ids::OfferReadAfterConnect, Buttons::YesNo) != Answer::Yes)
        return false;
    if (!mayTransfer(c))
        return false;
    const std::optional<int> station =
        c.stations.chooseStation(ids::DialogStationSelect, c.state.stations);
    if (!station)
        return false;
    if (!projects.document()) {
        std::vector<std::uint16_t> words;
        const LinkError e = readRegisters(*c.state.link, static_cast<std::uint8_t>(*station),
                                          kModelRegister, 1, words);
        if (e == LinkOk) {
            c.state.driveModelCode = words[0];
            const std::string name = modelName(words[0]);
            if (!name.empty())
                c.state.modelName = QString::fromStdString(name);
        } else {
            c.prompter.message(rtu::linkErrorMessage(e));
        }
        // A new project: a later Save must ask for its file instead of overwriting the last
        // project's.
        c.state.projectPath.clear();
        if (!projects.newDocument())
            return false;
    }
    CQ770Doc* doc = projects.document();
    return doc && readStation(c, *doc, *station, false, false);
}

} // namespace kvd
