// kvd-drive-sim: a virtual line of drives for working on the program without hardware.
#include "Commands.h"
#include "Simulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

using namespace kvd::sim;

namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string stationText(const std::vector<int>& stations) {
    std::string s;
    for (int a : stations)
        s += (s.empty() ? "" : ",") + std::to_string(a);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    CommandLine cl;
    std::string error;
    if (!parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), cl, error)) {
        std::fprintf(stderr, "kvd-drive-sim: %s\n", error.c_str());
        return 2;
    }
    if (cl.help) {
        std::fputs(usageText().c_str(), stdout);
        std::fputs(("\n" + commandHelpText()).c_str(), stdout);
        return 0;
    }

    // Signals arrive as readable data, so the simulator thread never sees them and the
    // symbolic link is always removed on the way out.
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGINT);
    sigaddset(&mask, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &mask, nullptr);
    const int sigFd = signalfd(-1, &mask, SFD_CLOEXEC);
    std::signal(SIGPIPE, SIG_IGN);

    if (cl.verbose) {
        static std::mutex traceMutex;
        cl.options.trace = [](std::string_view line) {
            std::lock_guard lock(traceMutex);
            std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
        };
    }

    Simulator sim(cl.options);
    if (!sim.valid(&error)) {
        std::fprintf(stderr, "kvd-drive-sim: %s\n", error.c_str());
        return 1;
    }
    const auto fatal = [&sim](const std::string& what) {
        std::fprintf(stderr, "kvd-drive-sim: %s\n", what.c_str());
        sim.stop();
        return 1;
    };

    if (!sim.startPty(cl.linkPath, &error))
        return fatal(error);
    say("pty " + sim.devicePath());
    if (!cl.linkPath.empty())
        say("link " + cl.linkPath);
    if (cl.tcp) {
        if (!sim.startTcp(cl.tcp->host, cl.tcp->port, cl.allowRemote, &error))
            return fatal(error);
        say("tcp " + cl.tcp->host + ":" + std::to_string(sim.tcpPort()));
    }
    if (cl.udp) {
        if (!sim.startUdp(cl.udp->host, cl.udp->port, &error))
            return fatal(error);
        say("udp " + cl.udp->host + ":" + std::to_string(sim.udpPort()));
    }
    say("stations " + stationText(sim.stationAddresses()));
    for (const std::string& c : cl.startCommands) {
        const CommandResult r = runCommand(sim, c);
        if (!r.ok)
            return fatal("--fault: " + r.text);
    }
    say("ready");

    // Commands on standard input until "quit" or a signal. Without input (started in the
    // background) it simply waits for the signal.
    bool inputOpen = true;
    std::string pending;
    for (;;) {
        pollfd fds[2] = {{sigFd, POLLIN, 0}, {inputOpen ? 0 : -1, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN)
            break;
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[1024];
            const ssize_t n = ::read(0, buf, sizeof buf);
            if (n <= 0) {
                inputOpen = false;
                continue;
            }
            pending.append(buf, static_cast<std::size_t>(n));
            bool quit = false;
            for (std::size_t nl; !quit && (nl = pending.find('\n')) != std::string::npos;) {
                const std::string line = pending.substr(0, nl);
                pending.erase(0, nl + 1);
                const CommandResult r = runCommand(sim, line);
                if (!r.text.empty())
                    say(r.text);
                quit = r.quit;
            }
            if (quit)
                break;
        }
    }
    sim.stop();
    return 0;
}
