// ports, probe and show: the commands that change nothing on a drive or in a file.
#include "Commands.h"
#include "Session.h"
#include "Table.h"
#include "app/PortList.h"
#include "app/ResourceLibrary.h"
#include "link/Exchange.h"
#include "params/Catalogue.h"
#include "params/ModelTable.h"
#include "params/ValueText.h"
#include "resources/StringIds.h"

#include <optional>

namespace kvd::cli {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A group named on the command line: its code prefix (00 .. 13, F_ or F) or its number
// (0 .. 14, 14 being F_).
std::optional<int> groupOf(const QString& text) {
    const QString t = text.trimmed().toUpper();
    if (t == QLatin1String("F"))
        return kBasicGroup;
    for (int g = 0; g < kGroupCount; ++g)
        if (t == qs(groupPrefix(g)))
            return g;
    bool ok = false;
    const int number = t.toInt(&ok);
    if (ok && number >= 0 && number < kGroupCount)
        return number;
    return std::nullopt;
}

} // namespace

int runPorts(Context& c) {
    if (!c.args.operands().isEmpty())
        return c.usage(QStringLiteral("no operands expected"));
    printOut(availablePortEntries().join(u'\n') + u'\n');
    return ExitOk;
}

int runProbe(Context& c) {
    if (!c.args.operands().isEmpty())
        return c.usage(QStringLiteral("no operands expected"));
    LineOptions line;
    QString stations;
    if (const int rc = lineAndStations(c, "stations", false, line, stations); rc != ExitOk)
        return rc;

    Session session(c.programFolder, c.prompter);
    if (const int rc = session.connect(line, stations); rc != ExitOk)
        return rc;

    // The connection has probed every station; the family word it only compared, so it is
    // read once more for the table.
    AppState& state = session.state();
    int rc = ExitOk;
    Table table;
    table.addRow({QStringLiteral("station"), QStringLiteral("family"), QStringLiteral("model"),
                  QStringLiteral("name"), QStringLiteral("version")});
    for (qsizetype i = 0; i < state.stations.size(); ++i) {
        const int station = state.stations[i];
        std::vector<std::uint16_t> words;
        QString family = QStringLiteral("-");
        const LinkError e = readRegisters(*state.link, static_cast<std::uint8_t>(station),
                                          Connector::kFamilyRegister, 1, words);
        if (e == LinkOk) {
            family = QStringLiteral("0x%1").arg(words[0], 4, 16, QLatin1Char('0'));
        } else {
            c.prompter.messageText(ResourceLibrary::instance().format(ids::StationNumFormat,
                                                                      {QString::number(station)}) +
                                   u' ' + resText(rtu::linkErrorMessage(e)));
            rc = ExitFailed;
        }
        const int model = state.modelCodes.value(i);
        const auto version = static_cast<std::uint16_t>(state.versions.value(i));
        table.addRow({QString::number(station), family, QString::number(model),
                      QString::fromStdString(modelName(model)),
                      QString::fromStdString(formatWord(ValueFormat::Thousandths, version))});
    }
    printOut(table.text());
    return rc;
}

int runShow(Context& c) {
    if (c.args.operands().size() != 1)
        return c.usage(QStringLiteral("expected one project file"));
    const QString format = c.args.value(QStringLiteral("format"), QStringLiteral("text"));
    if (format != QLatin1String("text") && format != QLatin1String("csv"))
        return c.usage(QStringLiteral("--format %1: expected text or csv").arg(format));
    std::optional<int> onlyGroup;
    if (c.args.has(QStringLiteral("group"))) {
        onlyGroup = groupOf(c.args.value(QStringLiteral("group")));
        if (!onlyGroup)
            return c.usage(QStringLiteral("--group %1: expected 00 to 13 or F_")
                               .arg(c.args.value(QStringLiteral("group"))));
    }

    Session session(c.programFolder, c.prompter);
    const auto doc = session.openDocument(c.args.operands().front());
    if (!doc)
        return ExitFailed;

    Table table;
    table.addRow({resText(ids::ColumnCode), resText(ids::ColumnFactory), resText(ids::ColumnEdit),
                  resText(ids::ColumnRead), resText(ids::ColumnDescription)});
    const auto& groups = doc->groups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (onlyGroup && *onlyGroup != static_cast<int>(g))
            continue;
        table.addTitle(QString::fromStdString(groups[g].name));
        for (const ParamItem& item : groups[g].items) {
            const std::string_view code = itemCode(item);
            const QString label = QString::fromStdString(item.label);
            table.addRow({qs(code), QString::fromStdString(item.factoryValue),
                          QString::fromStdString(item.editValue),
                          QString::fromStdString(item.readValue),
                          label.mid(static_cast<qsizetype>(code.size())).trimmed()});
        }
    }
    if (format == QLatin1String("csv")) {
        printOut(table.csv());
    } else {
        printOut(resText(ids::PaneModel) + u' ' + session.state().modelName + u'\n');
        printOut(table.text());
    }
    return ExitOk;
}

} // namespace kvd::cli
