// read, write, get and set: the commands that move parameters between drives and projects,
// each on the operation the windows use for it.
#include "Commands.h"
#include "Session.h"
#include "app/DriveChecks.h"
#include "app/GroupReader.h"
#include "app/GroupWriter.h"
#include "app/ModelSelection.h"
#include "app/ResourceLibrary.h"
#include "app/RowWriter.h"
#include "link/Exchange.h"
#include "params/Catalogue.h"
#include "params/ModelTable.h"
#include "params/PageTable.h"
#include "params/ParamRules.h"
#include "params/ValueText.h"
#include "resources/StringIds.h"

#include <optional>

namespace kvd::cli {

namespace {

constexpr std::uint16_t kRunSourceRegister = 0x0002; // 00-02

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A parameter code as typed: "01-02", "f_06".
const ParamSpec* specOfCode(const QString& code) {
    return findSpec(code.trimmed().toUpper().toStdString());
}

// The project's model for a new project: the one named, else the drive's own.
void chooseNewModel(AppState& state, const QString& model, int region, int driveCode) {
    if (!model.isEmpty()) {
        applyModelChoice(state, {model, region});
        return;
    }
    // As the read after connecting: the drive's model code, and its name when the model table
    // knows it.
    state.driveModelCode = driveCode;
    state.frequencyRegion = region;
    if (const std::string name = modelName(driveCode); !name.empty())
        state.modelName = QString::fromStdString(name);
    state.projectPath.clear();
}

// The station of a single-station command, once connected, with the document's drive version
// taken from the connection's probe of 13-01.
int connectedStation(Session& session, CQ770Doc& doc) {
    AppState& state = session.state();
    doc.setDriveVersion(driveVersion(static_cast<std::uint16_t>(state.versions.value(0))));
    return state.stations.value(0);
}

} // namespace

int runRead(Context& c) {
    if (!c.args.operands().isEmpty())
        return c.usage(QStringLiteral("no operands expected"));
    LineOptions line;
    QString stationText;
    if (const int rc = lineAndStations(c, "station", true, line, stationText); rc != ExitOk)
        return rc;
    const QString into = c.args.value(QStringLiteral("into"));
    const QString output = c.args.value(QStringLiteral("output"), into);
    if (output.isEmpty())
        return c.usage(QStringLiteral("-o FILE or --into FILE is required"));
    const bool hasModel = c.args.has(QStringLiteral("model"));
    const bool hasRegion = c.args.has(QStringLiteral("region"));
    if (!into.isEmpty() && (hasModel || hasRegion))
        return c.usage(QStringLiteral("--model and --region choose a new project; the project "
                                      "of --into keeps its own"));
    int region = 0;
    if (hasRegion) {
        const QString r = c.args.value(QStringLiteral("region"));
        if (r != QLatin1String("50") && r != QLatin1String("60"))
            return c.usage(QStringLiteral("--region %1: expected 50 or 60").arg(r));
        region = r == QLatin1String("60") ? 1 : 0;
    }
    const QString model = c.args.value(QStringLiteral("model"));
    if (hasModel) {
        const QStringList names = ModelSelection(c.programFolder).names();
        if (!names.contains(model))
            return c.usage(
                QStringLiteral("--model %1: expected one of %2").arg(model, names.join(u' ')));
    }

    Session session(c.programFolder, c.prompter);
    std::unique_ptr<CQ770Doc> doc;
    // The project first: a file that cannot be used must not cost a connection.
    if (!into.isEmpty() && !(doc = session.openDocument(into)))
        return ExitFailed;
    if (const int rc = session.connect(line, stationText); rc != ExitOk)
        return rc;
    AppState& state = session.state();
    if (!doc) {
        chooseNewModel(state, model, region, state.modelCodes.value(0));
        doc = session.newDocument();
    }
    FixedStation station(state.stations.value(0));
    TransferContext context = session.transferContext(station);
    if (!readCommand(context, *doc))
        return ExitFailed;
    return session.saveDocument(*doc, output) ? ExitOk : ExitFailed;
}

namespace {

// One line per block of a group write: group, start register, count, the parameters it
// carries and the words that go out. `version` 0 stands for a drive not asked: the blocks
// that depend on its software are shown with the version they need.
bool printWriteBlocks(Prompter& prompter, const CQ770Doc& doc, int runSource, double version) {
    bool ok = true;
    for (int g = 0; g < kGroupCount && static_cast<std::size_t>(g) < doc.groups().size(); ++g) {
        const ParamGroup& group = doc.groups()[static_cast<std::size_t>(g)];
        const auto textOf = [&](const ParamSpec& s) {
            const auto i = static_cast<std::size_t>(s.index);
            return i < group.items.size() ? group.items[i].editValue : std::string();
        };
        // The rules the group write checks on the project's own values.
        for (const char* code : {"00-05", "10-00"}) {
            const ParamSpec* s = findSpec(code);
            if (s->group != g)
                continue;
            const ParamSpec* partner = distinctPartner(*s);
            if (const RuleViolation v = checkDistinct(*s, textOf(*s), textOf(*partner));
                v != RuleViolation::None) {
                prompter.message(static_cast<int>(v));
                ok = false;
            }
        }
        for (const RegisterBlock& block : writeBlocks(g, runSource)) {
            const ParamSpec* first = specByRegister(block.start);
            const ParamSpec* last =
                specByRegister(static_cast<std::uint16_t>(block.start + block.count - 1));
            if (!first || !last)
                continue;
            QString note;
            if (first->minVersion > 0) {
                if (version > 0 && !existsOnDrive(*first, version))
                    continue; // not sent to this drive
                if (version <= 0)
                    note = QStringLiteral("  (from version %1)").arg(first->minVersion, 0, 'f', 1);
            }
            QStringList words;
            for (int k = 0; k < block.count; ++k) {
                const ParamSpec* s = specByRegister(static_cast<std::uint16_t>(block.start + k));
                // The catalogue's conversion, as the write makes it: digit strings by their
                // base, decimals exactly.
                const auto word = s ? parseText(*s, textOf(*s)) : std::nullopt;
                words << (word ? QString::number(*word) : QStringLiteral("?"));
                if (!word) {
                    prompter.messageText(qs(s ? s->code : std::string_view()) +
                                         QStringLiteral(": ") + resText(ids::BeyondRange));
                    ok = false;
                }
            }
            const QString codes = first == last
                                      ? qs(first->code)
                                      : qs(first->code) + QStringLiteral("..") + qs(last->code);
            printOut(QStringLiteral("%1  0x%2  %3  %4  %5%6\n")
                         .arg(qs(groupPrefix(g)))
                         .arg(block.start, 4, 16, QLatin1Char('0'))
                         .arg(block.count, 2)
                         .arg(codes, -12)
                         .arg(words.join(u' '), note));
        }
    }
    return ok;
}

// The checks of the Write command that only read (password, running bit, version) and the
// drive's run command source; the blocks for this drive. Writes nothing.
bool dryRunStation(Session& session, CQ770Doc& doc, int station) {
    AppState& state = session.state();
    ConsolePrompter& prompter = session.prompter();
    printOut(ResourceLibrary::instance().format(ids::StationNumFormat, {QString::number(station)}) +
             u'\n');
    const std::optional<bool> password = checkPasswordState(state, prompter, station);
    if (!password)
        return false;
    if (*password) {
        prompter.message(ids::StationHasPassword, {QString::number(station)});
        return false;
    }
    const std::optional<bool> running = checkRunning(state, prompter, station);
    if (!running)
        return false;
    if (*running) {
        prompter.message(ids::InverterRunning);
        return false;
    }
    if (!readDriveVersion(state, prompter, doc, station))
        return false;
    std::vector<std::uint16_t> words;
    if (const LinkError e = readRegisters(*state.link, static_cast<std::uint8_t>(station),
                                          kRunSourceRegister, 1, words);
        e != LinkOk) {
        prompter.message(rtu::linkErrorMessage(e));
        return false;
    }
    return printWriteBlocks(prompter, doc, words[0], doc.driveVersion());
}

} // namespace

int runWrite(Context& c) {
    if (c.args.operands().size() != 1)
        return c.usage(QStringLiteral("expected one project file"));
    const bool dryRun = c.args.has(QStringLiteral("dry-run"));
    const bool offline = dryRun && !c.args.has(QLatin1String(kPortOption.name)) &&
                         !c.args.has(QStringLiteral("stations"));
    LineOptions line;
    QString stationText;
    if (!offline) {
        if (const int rc = lineAndStations(c, "stations", false, line, stationText); rc != ExitOk)
            return rc;
    }

    Session session(c.programFolder, c.prompter);
    const auto doc = session.openDocument(c.args.operands().front());
    if (!doc)
        return ExitFailed;
    if (offline)
        return printWriteBlocks(c.prompter, *doc, 0, 0) ? ExitOk : ExitFailed;

    if (const int rc = session.connect(line, stationText); rc != ExitOk)
        return rc;
    const QList<int> stations = session.state().stations;
    QList<int> failed;
    for (int station : stations) {
        bool ok = false;
        if (dryRun) {
            ok = dryRunStation(session, *doc, station);
        } else {
            FixedStation chooser(station);
            TransferContext context = session.transferContext(chooser);
            ok = writeCommand(context, *doc);
        }
        if (!ok)
            failed.append(station);
    }
    if (!dryRun) {
        // One line per station, so a log of thirty writes ends with what happened to each.
        for (int station : stations)
            c.prompter.line(
                ResourceLibrary::instance().format(ids::StationNumFormat,
                                                   {QString::number(station)}) +
                QStringLiteral(": ") +
                resText(failed.contains(station) ? ids::WriteFailure : ids::WriteSuccessful));
    }
    return failed.isEmpty() ? ExitOk : ExitFailed;
}

int runGet(Context& c) {
    if (c.args.operands().size() != 1)
        return c.usage(QStringLiteral("expected one parameter code"));
    const QString code = c.args.operands().front();
    const ParamSpec* entry = specOfCode(code);
    if (!entry)
        return c.usage(QStringLiteral("%1: no such parameter").arg(code));
    if (!isGroupRead(*entry))
        return c.usage(QStringLiteral("%1 is not read from drives").arg(code));
    LineOptions line;
    QString stationText;
    if (const int rc = lineAndStations(c, "station", true, line, stationText); rc != ExitOk)
        return rc;

    Session session(c.programFolder, c.prompter);
    if (const int rc = session.connect(line, stationText); rc != ExitOk)
        return rc;
    AppState& state = session.state();
    chooseNewModel(state, {}, 0, state.modelCodes.value(0));
    const auto doc = session.newDocument();
    const int station = connectedStation(session, *doc);
    if (!existsOnDrive(*entry, doc->driveVersion())) {
        c.prompter.message(ids::VersionLacksParameter);
        return ExitFailed;
    }
    // The parameter's whole group, as the Read command reads it: the same requests and the
    // same formatting of the words.
    if (!readGroup(state, *doc, entry->group, station)) {
        c.prompter.messageText(state.lastErrorText);
        return ExitFailed;
    }
    printOut(QString::fromStdString(doc->item(entry->group, entry->index)->readValue) + u'\n');
    return ExitOk;
}

int runSet(Context& c) {
    if (c.args.operands().size() != 2)
        return c.usage(QStringLiteral("expected a parameter code and its value"));
    const QString code = c.args.operands().at(0);
    const ParamSpec* entry = specOfCode(code);
    if (!entry)
        return c.usage(QStringLiteral("%1: no such parameter").arg(code));
    LineOptions line;
    QString stationText;
    if (const int rc = lineAndStations(c, "station", true, line, stationText); rc != ExitOk)
        return rc;
    // The row of the group page that shows the parameter; one without a row (F_31) is kept
    // in the project only, and the program never writes it.
    const int pageIndex = pageIndexOfPosition(entry->group, entry->index);
    if (pageIndex < 0) {
        c.prompter.message(ids::ParameterReadOnly);
        return ExitFailed;
    }
    const PageSpec& page = groupPages(entry->group)[static_cast<std::size_t>(pageIndex)];

    Session session(c.programFolder, c.prompter);
    if (const int rc = session.connect(line, stationText); rc != ExitOk)
        return rc;
    AppState& state = session.state();
    chooseNewModel(state, {}, 0, state.modelCodes.value(0));
    const auto doc = session.newDocument();
    FixedStation station(connectedStation(session, *doc));
    PageContext context{state, *doc, c.prompter, station, {}};
    RowCache cache;
    const RowInput input{c.args.operands().at(1).trimmed().toStdString(), {}};
    return writeRow(context, page, entry->index - page.firstPosition, input, cache) ==
                   RowWriteResult::Written
               ? ExitOk
               : ExitFailed;
}

} // namespace kvd::cli
