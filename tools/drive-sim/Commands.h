// The simulator's text interface: the command line of kvd-drive-sim and the commands it
// takes on standard input while it runs ("fault 3 silent"). Kept in the library so that
// tests drive it the same way a person does.
#pragma once

#include "Simulator.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvd::sim {

struct HostPort {
    std::string host;
    int port = 0;
};

constexpr int kDefaultTcpPort = 502;   // where the program's link looks for the module
constexpr int kDefaultUdpPort = 30718; // the module search

struct CommandLine {
    Options options;
    std::string linkPath;
    std::optional<HostPort> tcp;
    std::optional<HostPort> udp;
    bool allowRemote = false;
    bool verbose = false;
    bool help = false;
    std::vector<std::string> startCommands; // run-time commands from --fault
};

// Parses the arguments after the program name. False with `error` set on a bad argument.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error);
std::string usageText();

struct CommandResult {
    bool ok = true;
    std::string text; // what to print; may be several lines
    bool quit = false;
};

// One run-time command line. Blank lines and lines starting with "#" do nothing.
CommandResult runCommand(Simulator& sim, std::string_view line);
std::string commandHelpText();

} // namespace kvd::sim
