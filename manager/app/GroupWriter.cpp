#include "GroupWriter.h"

#include "DriveChecks.h"
#include "ResourceLibrary.h"
#include "link/Exchange.h"
#include "link/ModbusRtu.h"
#include "params/Catalogue.h"
#include "params/ParamRules.h"
#include "params/ValueText.h"
#include "resources/StringIds.h"

#include <array>
#include <optional>

namespace kvd {
namespace {

using Blocks = std::span<const RegisterBlock>;

constexpr RegisterBlock k00[] = {{0x0001, 7}, {0x0009, 12}}; // 00-08 is read-only
constexpr RegisterBlock k00RunSource[] = {{0x0002, 6}, {0x0009, 12}};
constexpr RegisterBlock k01[] = {{0x0100, 12}};
constexpr RegisterBlock k02[] = {{0x0200, 1}, {0x0201, 3}, {0x0204, 1}};
constexpr RegisterBlock k03[] = {{0x0300, 5}, {0x0306, 4}, {0x030B, 1}, {0x030D, 7}};
constexpr RegisterBlock k04[] = {{0x0400, 16}};
constexpr RegisterBlock k05[] = {{0x0500, 9}, {0x0511, 16}};
constexpr RegisterBlock k06[] = {{0x0600, 8}, {0x0610, 8}, {0x0620, 8}};
constexpr RegisterBlock k07[] = {{0x0700, 9}, {0x0709, 1}};
constexpr RegisterBlock k08[] = {{0x0800, 10}};
constexpr RegisterBlock k09[] = {{0x0906, 4}}; // 09-00 to 09-05 are the drive's own
constexpr RegisterBlock k10[] = {{0x0A00, 23}};
constexpr RegisterBlock k11[] = {{0x0B00, 12}};
constexpr RegisterBlock k12[] = {{0x0C00, 5}};
constexpr RegisterBlock k13[] = {{0x0D03, 4}, {0x0D08, 1}};
constexpr RegisterBlock kF[] = {{0x0E01, 17}, {0x0E13, 10}}; // F_18 only from its page

constexpr std::array<Blocks, kGroupCount> kBlocks{k00, k01, k02, k03, k04, k05, k06, k07,
                                                  k08, k09, k10, k11, k12, k13, kF};

constexpr std::uint16_t kRunSourceRegister = 0x0002;
constexpr std::uint16_t kNoLoadCurrentRegister = 0x0200;
constexpr std::uint16_t kRatedCurrentRegister = 0x0201;

const ParamSpec& entry(std::string_view code) {
    return *findSpec(code);
}

std::string_view valueOf(const std::vector<std::string>& values, const ParamSpec& s) {
    const auto i = static_cast<std::size_t>(s.index);
    return i < values.size() ? std::string_view(values[i]) : std::string_view();
}

// The word a list text stands for. The digit-string formats arrive as decimal integers.
std::optional<std::uint16_t> listWord(const ParamSpec& s, std::string_view text) {
    switch (s.format) {
    case ValueFormat::Tenths:
    case ValueFormat::Hundredths:
        return parseText(s.format, text);
    default:
        return parseText(ValueFormat::Integer, text);
    }
}

bool onDrive(const RegisterBlock& block, double version) {
    const ParamSpec* first = specByRegister(block.start);
    return !first || existsOnDrive(*first, version);
}

// One word of the drive, for the rules that compare against the drive's current value.
std::optional<std::uint16_t> driveWord(SerialLink& link, int station, std::uint16_t reg) {
    std::vector<std::uint16_t> words;
    if (readRegisters(link, static_cast<std::uint8_t>(station), reg, 1, words) != LinkOk)
        return std::nullopt;
    return words[0];
}

} // namespace

std::span<const RegisterBlock> writeBlocks(int group, int cachedRunSource) {
    if (group < 0 || group >= kGroupCount)
        return {};
    if (group == 0 && cachedRunSource != 0)
        return k00RunSource;
    return kBlocks[static_cast<std::size_t>(group)];
}

std::vector<std::string> writeValueList(const ParamGroup& group, int groupIndex) {
    const auto specs = groupSpecs(groupIndex);
    std::vector<std::string> values;
    values.reserve(group.items.size());
    for (std::size_t i = 0; i < group.items.size(); ++i) {
        const std::string& text = group.items[i].editValue;
        const bool digits = i < specs.size() && (specs[i].format == ValueFormat::Binary5 ||
                                                 specs[i].format == ValueFormat::Octal5);
        const auto word = digits ? parseText(specs[i], text) : std::nullopt;
        // A digit string that does not parse stays as it is; the group write refuses it.
        values.push_back(word ? std::to_string(*word) : text);
    }
    return values;
}

QString writeProgressText(int group, int station) {
    const std::string_view prefix = groupPrefix(group);
    QString text = QString::fromLatin1(prefix.data(), static_cast<qsizetype>(prefix.size()));
    text += group == kBasicGroup ? QStringLiteral("XX -- ") : QStringLiteral("-XX -- ");
    return text + resText(ids::PaneStation) + QString::number(station);
}

QString writeFailureText(int station, int group, const QString& reason) {
    QString groupText = resText(ids::WriteGroupFormat);
    if (group == kBasicGroup)
        groupText.replace(QStringLiteral("%d"), QStringLiteral("F"));
    else
        groupText = formatPrintf(groupText, {QString::number(group)});
    return formatPrintf(resText(ids::StationNumFormat), {QString::number(station)}) + groupText +
           u' ' + reason;
}

bool writeGroup(AppState& state, Prompter& prompter, double driveVersion, int group,
                const std::vector<std::string>& values, int station) {
    const auto fail = [&state](const QString& text) {
        state.lastErrorText = text;
        return false;
    };
    if (group < 0 || group >= kGroupCount)
        return false;
    if (!state.link)
        return fail(writeFailureText(station, group, resText(ids::CommunicationError)));
    SerialLink& link = *state.link;

    if (group == 0) {
        const ParamSpec& s0005 = entry("00-05");
        if (checkDistinct(s0005, valueOf(values, s0005), valueOf(values, entry("00-06"))) !=
            RuleViolation::None)
            return fail(resText(ids::Params0005And0006Same));
        const auto runSource = driveWord(link, station, kRunSourceRegister);
        if (!runSource) {
            prompter.message(ids::CommunicationError);
            return fail(resText(ids::CommunicationError));
        }
        state.cachedRunSource = *runSource;
    }
    if (group == 10) {
        const ParamSpec& s1000 = entry("10-00");
        if (checkDistinct(s1000, valueOf(values, s1000), valueOf(values, entry("10-01"))) !=
            RuleViolation::None)
            return fail(resText(ids::Params1000And1001Same));
    }

    // Every word of the group first: a value that fits no register word must not leave the
    // group half written, nor be sent cut to 16 bits.
    const auto blocks = writeBlocks(group, state.cachedRunSource);
    std::vector<std::vector<std::uint16_t>> words;
    for (const RegisterBlock& block : blocks) {
        std::vector<std::uint16_t>& w = words.emplace_back();
        for (int k = 0; k < block.count; ++k) {
            const ParamSpec* s = specByRegister(static_cast<std::uint16_t>(block.start + k));
            const auto word = s ? listWord(*s, valueOf(values, *s)) : std::nullopt;
            if (!word && onDrive(block, driveVersion))
                return fail(writeFailureText(station, group, resText(ids::BeyondRange)));
            w.push_back(word.value_or(0));
        }
    }

    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const RegisterBlock& block = blocks[b];
        if (!onDrive(block, driveVersion))
            continue;
        // 02-00 must stay below the drive's 02-01, and 02-01 not below the drive's 02-00
        // (which by then holds the value just written).
        if (group == 2 &&
            (block.start == kNoLoadCurrentRegister || block.start == kRatedCurrentRegister)) {
            const bool noLoad = block.start == kNoLoadCurrentRegister;
            const ParamSpec& s = entry(noLoad ? "02-00" : "02-01");
            const auto partner =
                driveWord(link, station, noLoad ? kRatedCurrentRegister : kNoLoadCurrentRegister);
            if (!partner)
                return fail(resText(ids::CommunicationError));
            if (checkMotorCurrents(s, valueOf(values, s), *partner) != RuleViolation::None)
                return fail(resText(ids::Param0200Above0201));
        }
        const LinkError e =
            writeRegisters(link, static_cast<std::uint8_t>(station), block.start, words[b]);
        if (e != LinkOk)
            return fail(writeFailureText(station, group, resText(rtu::linkErrorMessage(e))));
        if (group == 0 && b == 0) {
            const ParamSpec& s0002 = entry("00-02");
            if (const auto source = runSourceAfterWrite(s0002, valueOf(values, s0002)))
                state.cachedRunSource = *source;
        }
    }
    return true;
}

bool writeCommand(TransferContext& c, CQ770Doc& doc) {
    AppState& s = c.state;
    if (s.reading || s.writing)
        return false;
    if (!s.connected || !s.link) {
        c.prompter.message(ids::NotConnected);
        return false;
    }
    const std::optional<int> station =
        c.stations.chooseStation(ids::DialogStationSelect, s.stations);
    if (!station)
        return false;
    const std::optional<bool> password = checkPasswordState(s, c.prompter, *station);
    if (!password)
        return false;
    if (*password) {
        c.prompter.message(ids::StationHasPassword, {QString::number(*station)});
        return false;
    }
    const std::optional<bool> running = checkRunning(s, c.prompter, *station);
    if (!running)
        return false;
    if (*running) {
        c.prompter.message(ids::InverterRunning);
        return false;
    }
    if (!readDriveVersion(s, c.prompter, doc, *station))
        return false;

    std::vector<std::vector<std::string>> lists;
    for (int g = 0; g < kGroupCount; ++g) {
        const auto i = static_cast<std::size_t>(g);
        lists.push_back(i < doc.groups().size() ? writeValueList(doc.groups()[i], g)
                                                : std::vector<std::string>());
    }

    const QString caption = resText(ids::WritingParameters);
    c.prompter.progressStart(kGroupCount);
    s.writing = true;
    for (int g = 0; g < kGroupCount; ++g) {
        c.prompter.progressStep(g, caption, writeProgressText(g, *station));
        if (!writeGroup(s, c.prompter, doc.driveVersion(), g, lists[static_cast<std::size_t>(g)],
                        *station)) {
            s.writing = false;
            c.prompter.progressEnd();
            c.prompter.messageText(s.lastErrorText);
            return false;
        }
    }
    c.prompter.progressStep(kGroupCount, caption, QString());
    doc.clearModifiedMarks();
    c.host.refreshList();
    s.writing = false;
    c.prompter.progressEnd();
    c.prompter.message(ids::WriteSuccessful, {}, Icon::Information);
    return true;
}

} // namespace kvd
