// The kvd commands: their options, help texts and what each does.
#pragma once

#include "Arguments.h"
#include "ConsolePrompter.h"

#include <QString>
#include <QStringList>

#include <span>

namespace kvd::cli {

struct Context {
    QString command;
    QString programFolder; // with trailing separator: data files and the resource library
    ConsolePrompter& prompter;
    const Arguments& args;

    // Reports a command-line mistake and returns ExitUsage.
    int usage(const QString& text) const;
};

struct Command {
    const char* name;
    const char* synopsis; // "kvd probe --port PORT --stations LIST [...]"
    const char* summary;  // one line for the list of commands
    const char* help;     // the options and what the command does
    std::span<const OptionSpec> options;
    int (*run)(Context&);
};

std::span<const Command> commands();
const Command* findCommand(const QString& name);

// The text of `kvd --help` and of `kvd COMMAND --help`.
QString overviewText();
QString commandHelpText(const Command& command);

struct LineOptions;

// The line options and the station text (option `stationOption`) of a drive command, checked.
// ExitOk, or the status of the command-line mistake, which has been reported.
int lineAndStations(Context& c, const char* stationOption, bool single, LineOptions& line,
                    QString& stationText);

// Standard output: tables and values, the part a script reads.
void printOut(const QString& text);

int runPorts(Context& c);
int runProbe(Context& c);
int runShow(Context& c);
int runRead(Context& c);
int runWrite(Context& c);
int runGet(Context& c);
int runSet(Context& c);

} // namespace kvd::cli
