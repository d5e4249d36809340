// The text interface: program arguments, run-time commands, and the program itself.
#include "Commands.h"
#include "SimSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>

using namespace kvd::sim;
using namespace simtest;
namespace fs = std::filesystem;

namespace {

int modelOf(const CommandLine& cl, int station) {
    for (const StationConfig& c : cl.options.stations)
        if (c.address == station)
            return c.modelCode;
    return -1;
}

} // namespace

TEST(CommandLine, ParsesOptionsOrSaysWhatIsWrong) {
    using Check = std::function<void(const CommandLine&)>;
    const struct {
        std::vector<std::string> args;
        const char* error; // part of the message; null when the arguments are fine
        Check check;
    } cases[] = {
        {{"--stations", "1,3,5-7", "--station-model", "3=401", "--model", "203"},
         nullptr,
         [](const CommandLine& cl) {
             ASSERT_EQ(cl.options.stations.size(), 5u);
             EXPECT_EQ(modelOf(cl, 3), 401);
             EXPECT_EQ(modelOf(cl, 7), 203);
         }},
        {{"--tcp=localhost", "--udp", ":0", "--version", "0x044C", "--region", "60"},
         nullptr,
         [](const CommandLine& cl) {
             EXPECT_EQ(cl.tcp->port, kDefaultTcpPort);
             EXPECT_EQ(cl.udp->host, "127.0.0.1");
             EXPECT_EQ(cl.udp->port, 0);
             EXPECT_EQ(cl.options.stations.at(0).version, 1100);
             EXPECT_EQ(cl.options.region, 60);
         }},
        {{"--stations", "3", "--fault", "3=silent-after:5", "--station-password", "3=77"},
         nullptr,
         [](const CommandLine& cl) {
             EXPECT_EQ(cl.startCommands, std::vector<std::string>{"fault 3 silent-after 5"});
             EXPECT_EQ(cl.options.stations.at(0).password, 77);
         }},
        {{"--tcp", "10.1.2.3:502", "--allow-remote"}, nullptr, {}},
        {{"--tcp", "10.1.2.3:502"}, "loopback", {}},
        {{"--udp", "10.1.2.3:30718", "--allow-remote"}, "loopback", {}},
        {{"--stations", "0"}, "1..32", {}},
        {{"--stations", "5-3"}, "station list", {}},
        {{"--station-model", "9=401"}, "not in --stations", {}},
        {{"--region", "55"}, "50 or 60", {}},
        {{"--baud"}, "needs a value", {}},
        {{"--mac", "00:11:22"}, "hex pairs", {}},
        {{"--frobnicate"}, "unknown option", {}},
        {{"stray"}, "unknown option", {}},
    };
    for (const auto& c : cases) {
        CommandLine cl;
        std::string error;
        const bool ok = parseCommandLine(c.args, cl, error);
        EXPECT_EQ(ok, c.error == nullptr) << c.args.front() << ": " << error;
        if (c.error) {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
        } else if (c.check) {
            c.check(cl);
        }
    }
}

TEST(RunCommands, SetFaultsPerStation) {
    Options o;
    o.stations = {drive(1), drive(3)};
    Simulator sim(o);
    using Check = std::function<bool(Simulator&)>;
    const struct {
        const char* line;
        bool ok;
        Check check;
    } cases[] = {
        {"fault 3 silent", true,
         [](Simulator& s) {
             return s.station(3).faults().mode == FaultMode::Silent &&
                    s.station(1).faults().mode == FaultMode::None;
         }},
        {"fault 3 silent-after 5", true,
         [](Simulator& s) { return s.station(3).faults().silentAfter == 5; }},
        {"fault 3 delay 200", true,
         [](Simulator& s) { return s.station(3).faults().delayMs == 200; }},
        {"fault all crc", true,
         [](Simulator& s) {
             return s.station(1).faults().mode == FaultMode::BadCrc &&
                    s.station(3).faults().mode == FaultMode::BadCrc;
         }},
        {"fault 1,3 badfunc", true,
         [](Simulator& s) { return s.station(1).faults().mode == FaultMode::BadFunction; }},
        {"fault 3 trip 7", true,
         [](Simulator& s) {
             return s.station(3).readRegister(0x2521) == 7 &&
                    (*s.station(3).readRegister(0x2520) & 0x08);
         }},
        {"fault 3 clear", true,
         [](Simulator& s) {
             return s.station(3).faults().mode == FaultMode::None &&
                    s.station(3).faults().delayMs == 0 && s.station(3).readRegister(0x2521) == 0;
         }},
        {"set 1 0x000E 250", true,
         [](Simulator& s) { return s.station(1).readRegister(0x000E) == 250; }},
        {"input 1 avi 455", true,
         [](Simulator& s) { return s.station(1).readRegister(0x252C) == 455; }},
        {"password 1 42", true,
         [](Simulator& s) { return s.station(1).readRegister(0x0D07) == 2; }},
        {"fault 9 silent", false, {}},
        {"fault 3 bogus", false, {}},
        {"fault 3 delay", false, {}},
        {"set 1 0x2520 1", false, {}},
        {"launch", false, {}},
    };
    for (const auto& c : cases) {
        const CommandResult r = runCommand(sim, c.line);
        EXPECT_EQ(r.ok, c.ok) << c.line << ": " << r.text;
        if (c.check) {
            EXPECT_TRUE(c.check(sim)) << c.line;
        }
    }
}

// The program as a script starts it: reads the device from standard output, takes commands
// on standard input and cleans up on SIGTERM.
TEST(Program, PrintsItsDeviceTakesCommandsAndCleansUpOnSigterm) {
    char pattern[] = "/tmp/kvd-sim-prog-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path link = fs::path(pattern) / "line";

    int toChild[2], fromChild[2];
    ASSERT_EQ(pipe2(toChild, O_CLOEXEC), 0);
    ASSERT_EQ(pipe2(fromChild, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    const std::string linkArg = link.string();
    const char* argv[] = {KVD_DRIVE_SIM_EXE, "--link",   linkArg.c_str(), "--stations", "2,6",
                          "--fault",         "6=silent", nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, KVD_DRIVE_SIM_EXE, &actions, nullptr,
                          const_cast<char* const*>(argv), environ),
              0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    FILE* out = fdopen(fromChild[0], "r");

    std::string device;
    char line[256];
    while (fgets(line, sizeof line, out)) {
        const std::string l(line);
        if (l.rfind("pty ", 0) == 0)
            device = l.substr(4, l.size() - 5);
        if (l == "ready\n")
            break;
    }
    ASSERT_FALSE(device.empty());
    EXPECT_EQ(fs::read_symlink(link), fs::path(device));

    {
        Master master(link.string());
        master.timeout(300ms);
        EXPECT_EQ(master.read(2, 0x0900), 2);
        EXPECT_EQ(master.read(6, 0x0900), -ETIMEDOUT) << "--fault 6=silent";
        const std::string command = "fault 2 trip 9\n";
        ASSERT_EQ(::write(toChild[1], command.data(), command.size()),
                  static_cast<ssize_t>(command.size()));
        ASSERT_TRUE(fgets(line, sizeof line, out));
        EXPECT_STREQ(line, "ok\n");
        EXPECT_EQ(master.read(2, 0x2521), 9);
    }

    ASSERT_EQ(kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    fclose(out);
    ::close(toChild[1]);
    fs::remove_all(pattern);
}
