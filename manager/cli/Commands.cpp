#include "Commands.h"

#include "Session.h"

#include <cstdio>

namespace kvd::cli {

namespace {

constexpr OptionSpec kPortsOptions[] = {kHelpOption};
constexpr OptionSpec kProbeOptions[] = {
    kPortOption, kBaudOption,  kFormatOption, {"stations", 's', "LIST"},
    kYesOption,  kQuietOption, kHelpOption};
constexpr OptionSpec kShowOptions[] = {
    {"group", 'g', "GROUP"}, {"format", 0, "text|csv"}, kHelpOption};
constexpr OptionSpec kReadOptions[] = {kPortOption,
                                       kBaudOption,
                                       kFormatOption,
                                       {"station", 's', "N"},
                                       {"output", 'o', "FILE"},
                                       {"into", 0, "FILE"},
                                       {"model", 'm', "MODEL"},
                                       {"region", 0, "50|60"},
                                       kYesOption,
                                       kQuietOption,
                                       kHelpOption};
constexpr OptionSpec kWriteOptions[] = {
    kPortOption, kBaudOption,  kFormatOption, {"stations", 's', "LIST"}, {"dry-run", 'n', nullptr},
    kYesOption,  kQuietOption, kHelpOption};
constexpr OptionSpec kParamOptions[] = {
    kPortOption, kBaudOption,  kFormatOption, {"station", 's', "N"},
    kYesOption,  kQuietOption, kHelpOption};

// The line options as every drive command explains them.
#define KVD_LINE_HELP                                                                              \
    "  -p, --port PORT     the line: a COM port (COM3), a device (/dev/ttyUSB0, a\n"               \
    "                      pseudo-terminal), or the Ethernet module as tcp:HOST[:PORT]\n"          \
    "                      (port 502 unless given); TCPIP takes the module's address from\n"       \
    "                      KVD_MODULE_ADDRESS\n"                                                   \
    "  -b, --baud BAUD     4800, 9600, 19200 (default) or 38400\n"                                 \
    "      --format 8N2    data bits 7 or 8, parity E, O or N, stop bits 1 or 2 (default 8N2)\n"   \
    "  -y, --yes           answer yes to the program's questions (a drive of another family)\n"    \
    "  -q, --quiet         leave out the messages that only report success\n"

constexpr Command kCommands[] = {
    {"ports", "kvd ports", "list the serial ports as the connection dialog lists them",
     "Prints one line per serial port, \"PORT : DESCRIPTION\", COM ports first by number,\n"
     "then the other devices, then TCPIP (the Ethernet module).\n",
     kPortsOptions, runPorts},
    {"probe", "kvd probe --port PORT --stations LIST [OPTIONS]",
     "connect to stations and list their family, model and software version",
     "Connects to the stations as the connection dialog does (drive family at 0x252F, then\n"
     "00-02, 13-00 and 13-01 of each station) and prints a table of station, family word,\n"
     "model code, model name and software version. All stations must answer.\n\n"
     "  -s, --stations LIST station numbers 1 to 32: 1,3,5-12\n" KVD_LINE_HELP,
     kProbeOptions, runProbe},
    {"read", "kvd read --port PORT --station N (-o FILE.qf7 | --into FILE.qf7) [OPTIONS]",
     "read all parameter groups of a station into a project file",
     "Reads the fifteen parameter groups of the station as the Read command does and saves\n"
     "them as a project. Without --into the project is new, for the drive's own model (13-00)\n"
     "unless --model names one; with --into the read values go into that project, which is\n"
     "saved to -o FILE or, without -o, back to itself. Progress is shown while standard error\n"
     "is a terminal.\n\n"
     "  -s, --station N     the station to read\n"
     "  -o, --output FILE   the project file to write\n"
     "      --into FILE     an existing project to read into\n"
     "  -m, --model MODEL   model name of a new project (as in KVD.SPE, e.g. KVD230S-03F)\n"
     "      --region 50|60  supply frequency of a new project (default 50)\n" KVD_LINE_HELP,
     kReadOptions, runRead},
    {"write", "kvd write FILE.qf7 --port PORT --stations LIST [--dry-run] [OPTIONS]",
     "write a project's parameters to stations, one after the other",
     "Writes all parameter groups of the project to each station in turn, as the Write\n"
     "command does: the password and running checks and the rules between parameters first,\n"
     "then the groups in blocks. All stations must answer before anything is written. A\n"
     "station that fails does not stop the others; a summary line per station follows.\n\n"
     "  -s, --stations LIST the stations to write: 1,3,5-12\n"
     "  -n, --dry-run       write nothing; print the blocks that would be sent, one line per\n"
     "                      block (group, start register, count, parameters, words). With\n"
     "                      --port and --stations each station is checked first (password,\n"
     "                      running, version, 00-02) and gets its own blocks; without them\n"
     "                      the blocks are those of a drive with 00-02 = 0, and the blocks\n"
     "                      that need a newer software say which version\n" KVD_LINE_HELP,
     kWriteOptions, runWrite},
    {"show", "kvd show FILE.qf7 [--group GROUP] [--format text|csv]",
     "print a project's parameters with factory, edit and read values",
     "Prints the parameters of the project file: code, factory setting, edit value, read value\n"
     "and description. The factory settings are those of the project's model; a project file\n"
     "keeps no read values, so that column is empty.\n\n"
     "  -g, --group GROUP   one group only: 00 to 13 or F_\n"
     "      --format FORMAT text (default), or csv with a header line\n",
     kShowOptions, runShow},
    {"get", "kvd get --port PORT --station N [OPTIONS] CODE", "read one parameter of a station",
     "Reads the parameter CODE (01-02, F_06) with its group, as the Read command reads it, and\n"
     "prints its value in the parameter's display format.\n\n"
     "  -s, --station N     the station to read\n" KVD_LINE_HELP,
     kParamOptions, runGet},
    {"set", "kvd set --port PORT --station N [OPTIONS] CODE VALUE",
     "write one parameter of a station",
     "Writes the parameter CODE as the row button of its group page does: the password and\n"
     "running checks, the range, read-only parameters and the rules between parameters, then\n"
     "one register. VALUE is written as the project keeps it: 12.5, 3 (a list's value), 01101\n"
     "(digits), 1150.\n\n"
     "  -s, --station N     the station to write\n" KVD_LINE_HELP,
     kParamOptions, runSet},
};

#undef KVD_LINE_HELP

} // namespace

int Context::usage(const QString& text) const {
    prompter.line(QStringLiteral("kvd %1: %2\nTry 'kvd %1 --help'.").arg(command, text));
    return ExitUsage;
}

int lineAndStations(Context& c, const char* stationOption, bool single, LineOptions& line,
                    QString& stationText) {
    QString error;
    if (!lineOptionsFrom(c.args, line, error))
        return c.usage(error);
    const QString option = QLatin1String(stationOption);
    if (!c.args.has(option))
        return c.usage(QStringLiteral("--%1 is required").arg(option));
    stationText = c.args.value(option);
    if (!checkStationText(stationText, single, c.prompter, c.command))
        return ExitUsage;
    c.prompter.setAnswerYes(c.args.has(QLatin1String(kYesOption.name)));
    c.prompter.setQuiet(c.args.has(QLatin1String(kQuietOption.name)));
    return ExitOk;
}

std::span<const Command> commands() {
    return kCommands;
}

const Command* findCommand(const QString& name) {
    for (const Command& c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString overviewText() {
    QString text = QStringLiteral(
        "Usage: kvd COMMAND [OPTIONS]\n"
        "Scripted work on the drives of a line, with the program's own checks and messages.\n\n"
        "Commands:\n");
    for (const Command& c : kCommands)
        text += QStringLiteral("  %1%2\n").arg(QLatin1String(c.name), -8).arg(c.summary);
    text += QStringLiteral(
        "\n'kvd COMMAND --help' describes a command. Tables and values go to standard output,\n"
        "the program's messages to standard error. Exit status: 0 when everything asked was\n"
        "done, 1 when a drive, the line or a file failed, 2 for a wrong command line.\n");
    return text;
}

QString commandHelpText(const Command& command) {
    return QStringLiteral("Usage: %1\n%2").arg(command.synopsis, command.help) +
           QStringLiteral("  -h, --help          this text\n");
}

void printOut(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace kvd::cli
