#include "Commands.h"

#include "Drive.h"
#include "link/StationList.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace kvd::sim {

namespace {

// Decimal, or hexadecimal with 0x; the whole text must be the number.
std::optional<long> number(std::string_view s) {
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

std::optional<std::uint16_t> word(std::string_view s) {
    const auto v = number(s);
    if (!v || *v < 0 || *v > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

std::optional<HostPort> hostPort(std::string_view s, int defaultPort) {
    HostPort hp;
    const std::size_t colon = s.rfind(':');
    hp.host = std::string(s.substr(0, colon));
    hp.port = defaultPort;
    if (colon != std::string_view::npos) {
        const auto p = number(s.substr(colon + 1));
        if (!p || *p < 0 || *p > 65535)
            return std::nullopt;
        hp.port = static_cast<int>(*p);
    }
    if (hp.host.empty())
        hp.host = "127.0.0.1";
    return hp;
}

bool loopbackHost(const std::string& host) {
    return host == "localhost" || host.rfind("127.", 0) == 0;
}

std::optional<std::array<std::uint8_t, 6>> macAddress(std::string_view s) {
    std::array<std::uint8_t, 6> mac{};
    if (s.size() != 17)
        return std::nullopt;
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0 && s[3 * i - 1] != '-' && s[3 * i - 1] != ':')
            return std::nullopt;
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(s.data() + 3 * i, s.data() + 3 * i + 2, v, 16);
        if (ec != std::errc() || end != s.data() + 3 * i + 2)
            return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(v);
    }
    return mac;
}

// "3=401" for the per-station options.
bool stationValue(std::string_view s, int& station, std::string& value) {
    const std::size_t eq = s.find('=');
    if (eq == std::string_view::npos)
        return false;
    const auto st = number(s.substr(0, eq));
    if (!st)
        return false;
    station = static_cast<int>(*st);
    value = std::string(s.substr(eq + 1));
    return true;
}

std::vector<std::string> words(std::string_view line) {
    std::vector<std::string> out;
    std::istringstream in{std::string(line)};
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// A station list as the program writes it, or "all"; every station must be on the bus.
std::optional<std::vector<int>> stationsOf(Simulator& sim, const std::string& text,
                                           std::string& error) {
    if (text == "all")
        return sim.stationAddresses();
    const StationListResult r = parseStationList(text);
    if (!r.ok()) {
        error = "bad station list: " + text;
        return std::nullopt;
    }
    for (int s : r.stations)
        if (!sim.hasStation(s)) {
            error = "station " + std::to_string(s) + " is not on the bus";
            return std::nullopt;
        }
    return r.stations;
}

const char* modeName(FaultMode m) {
    switch (m) {
    case FaultMode::None:
        return "none";
    case FaultMode::Silent:
        return "silent";
    case FaultMode::BadCrc:
        return "crc";
    case FaultMode::Exception:
        return "exception";
    case FaultMode::BadFunction:
        return "badfunc";
    }
    return "?";
}

std::string hex4(std::uint16_t v) {
    char b[8];
    std::snprintf(b, sizeof b, "0x%04X", v);
    return b;
}

std::string statusLine(StationControl s) {
    const auto rd = [&s](std::uint16_t r) { return s.readRegister(r).value_or(0); };
    const std::uint16_t st = rd(reg::Status);
    char b[200];
    std::snprintf(b, sizeof b,
                  "station %d: %s %s, output %.2f Hz, set %.2f Hz, command %s, fault %u, "
                  "13-07 %s",
                  s.address(), (st & status::Running) ? "running" : "stopped",
                  (st & status::Reverse) ? "rev" : "fwd", rd(reg::OutputFrequency) / 100.0,
                  rd(reg::SetFrequency) / 100.0, hex4(rd(reg::Command)).c_str(),
                  static_cast<unsigned>(rd(reg::FaultCode)),
                  rd(reg::Password) == 2 ? "locked" : "open");
    std::string line = b;
    const FaultSettings f = s.faults();
    line += std::string(", line fault ") + modeName(f.mode);
    if (f.silentAfter >= 0)
        line += ", silent after " + std::to_string(f.silentAfter);
    if (f.delayMs > 0)
        line += ", delay " + std::to_string(f.delayMs) + " ms";
    line += ", requests " + std::to_string(s.requestCount());
    return line;
}

CommandResult fail(std::string text) {
    return CommandResult{false, "error: " + text, false};
}

// A command that did what it was told and has nothing to show.
CommandResult done() {
    return CommandResult{true, "ok", false};
}

CommandResult faultCommand(Simulator& sim, const std::vector<int>& stations,
                           const std::vector<std::string>& w) {
    if (w.size() < 3)
        return fail("fault STATIONS MODE [ARG]");
    const std::string& mode = w[2];
    static const std::map<std::string, FaultMode> modes{
        {"silent", FaultMode::Silent},
        {"crc", FaultMode::BadCrc},
        {"exception", FaultMode::Exception},
        {"badfunc", FaultMode::BadFunction},
    };
    const bool needsArg = mode == "silent-after" || mode == "delay" || mode == "trip";
    if (needsArg != (w.size() == 4) || w.size() > 4)
        return fail("fault " + mode + (needsArg ? " needs one number" : " takes no argument"));
    const auto arg = needsArg ? word(w[3]) : std::optional<std::uint16_t>(0);
    if (!arg)
        return fail("not a number: " + w[3]);
    for (int address : stations) {
        StationControl s = sim.station(address);
        if (mode == "clear" || mode == "none")
            s.clearFaults();
        else if (const auto it = modes.find(mode); it != modes.end())
            s.setFault(it->second);
        else if (mode == "silent-after")
            s.setSilentAfter(*arg);
        else if (mode == "delay")
            s.setDelay(*arg);
        else if (mode == "trip")
            s.trip(*arg);
        else
            return fail("unknown fault mode " + mode);
    }
    return done();
}

} // namespace

std::string usageText() {
    return R"(Usage: kvd-drive-sim [OPTIONS]
A virtual line of drives answering Modbus RTU on a pseudo-terminal, on TCP (raw RTU frames,
as the Ethernet module carries them) and the module search on UDP. Runs until SIGINT or
SIGTERM, or "quit" on standard input.

  --link PATH              symbolic link PATH to the pseudo-terminal (which always opens)
  --tcp HOST:PORT          RTU over TCP (default port 502); loopback unless --allow-remote
  --allow-remote           let --tcp listen on a non-loopback address
  --udp HOST:PORT          answer the module search (default port 30718); loopback only
  --mac XX-XX-XX-XX-XX-XX  the module's MAC in the search answer
  --stations LIST          stations on the line, as in the program: "1,3,5-12" (default 1)
  --model CODE             model code in 13-00 (default 1205)
  --version WORD           software version in 13-01 (default 1100, shown as 1.100)
  --family WORD            drive-family word at 0x252F (default 0x0100)
  --password WORD          every station starts with this password, locked
  --station-model S=CODE, --station-version S=WORD, --station-family S=WORD,
  --station-password S=WORD
                           the same for one station
  --fault S=MODE[:ARG]     start with a line fault, e.g. 3=silent, 3=delay:200, 3=trip:7
  --region 50|60           factory values for 50 Hz or 60 Hz (default 50)
  --baud B                 pace bytes at B baud (11 bits a byte); default: answer at once
  --data DIR               data folder (default: beside the program, else the source tree)
  --verbose, -v            print every frame on standard error
  --help, -h               this text

Numbers may be decimal or 0x hexadecimal. On start the program prints "pty PATH",
"link PATH", "tcp HOST:PORT", "udp HOST:PORT", "stations LIST" and "ready", one per line.
)";
}

std::string commandHelpText() {
    return R"(Commands (STATIONS: a station list such as 3 or 1,3-5, or "all"):
  fault STATIONS silent|crc|exception|badfunc   answer wrongly or not at all
  fault STATIONS silent-after N                 answer N more requests, then fall silent
  fault STATIONS delay MS                       answer MS milliseconds late
  fault STATIONS trip CODE                      trip the drive with fault CODE
  fault STATIONS clear                          all of the above off
  get STATIONS REG [COUNT]                      show registers (REG decimal or 0x...)
  set STATIONS REG VALUE                        store a register word, no checks
  input STATIONS avi|aci|terminals VALUE        analog inputs (0.1 %) or S1..S5 bits
  password STATIONS WORD|none                   set (locked) or remove the password
  status [STATIONS]                             state of the drives
  count [STATIONS]                              requests and broadcasts received
  help, quit
)";
}

bool parseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
    out = CommandLine{};
    std::string stationText = "1";
    StationConfig defaults;
    std::map<int, std::uint16_t> models, versions, families, passwords;
    std::set<int> mentioned; // stations named by the per-station options
    std::optional<std::uint16_t> password;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = name.find('=');
            name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const auto value = [&]() -> std::optional<std::string> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        const auto bad = [&](const std::string& why) {
            error = name + ": " + why;
            return false;
        };

        if (name == "--help" || name == "-h") {
            out.help = true;
            return true;
        }
        if (name == "--verbose" || name == "-v") {
            out.verbose = true;
            continue;
        }
        if (name == "--allow-remote") {
            out.allowRemote = true;
            continue;
        }
        static const std::set<std::string> valueOptions{"--link",
                                                        "--tcp",
                                                        "--udp",
                                                        "--mac",
                                                        "--stations",
                                                        "--model",
                                                        "--version",
                                                        "--family",
                                                        "--password",
                                                        "--station-model",
                                                        "--station-version",
                                                        "--station-family",
                                                        "--station-password",
                                                        "--fault",
                                                        "--region",
                                                        "--baud",
                                                        "--data"};
        if (!valueOptions.count(name)) {
            error = "unknown option " + name + " (see --help)";
            return false;
        }
        const auto v = value();
        if (!v)
            return bad("needs a value");

        if (name == "--link") {
            out.linkPath = *v;
        } else if (name == "--tcp" || name == "--udp") {
            const auto hp = hostPort(*v, name == "--tcp" ? kDefaultTcpPort : kDefaultUdpPort);
            if (!hp)
                return bad("expected HOST:PORT, got " + *v);
            (name == "--tcp" ? out.tcp : out.udp) = hp;
        } else if (name == "--mac") {
            const auto mac = macAddress(*v);
            if (!mac)
                return bad("expected six hex pairs such as 02-4b-56-44-00-01");
            out.options.mac = *mac;
        } else if (name == "--stations") {
            stationText = *v;
        } else if (name == "--model" || name == "--version" || name == "--family" ||
                   name == "--password") {
            const auto w = word(*v);
            if (!w)
                return bad("expected a number 0..65535, got " + *v);
            if (name == "--model")
                defaults.modelCode = *w;
            else if (name == "--version")
                defaults.version = *w;
            else if (name == "--family")
                defaults.family = *w;
            else
                password = *w;
        } else if (name == "--station-model" || name == "--station-version" ||
                   name == "--station-family" || name == "--station-password") {
            int station = 0;
            std::string text;
            std::optional<std::uint16_t> w;
            if (!stationValue(*v, station, text) || !(w = word(text)))
                return bad("expected STATION=NUMBER, got " + *v);
            mentioned.insert(station);
            if (name == "--station-model")
                models[station] = *w;
            else if (name == "--station-version")
                versions[station] = *w;
            else if (name == "--station-family")
                families[station] = *w;
            else
                passwords[station] = *w;
        } else if (name == "--fault") {
            int station = 0;
            std::string entry;
            if (!stationValue(*v, station, entry) || entry.empty())
                return bad("expected STATION=MODE[:ARG], got " + *v);
            std::replace(entry.begin(), entry.end(), ':', ' ');
            out.startCommands.push_back("fault " + std::to_string(station) + " " + entry);
        } else if (name == "--region") {
            const auto r = number(*v);
            if (!r || (*r != 50 && *r != 60))
                return bad("expected 50 or 60");
            out.options.region = static_cast<int>(*r);
        } else if (name == "--baud") {
            const auto b = number(*v);
            if (!b || *b <= 0 || *b > 1'000'000)
                return bad("expected a line speed such as 9600");
            out.options.baud = static_cast<int>(*b);
        } else if (name == "--data") {
            out.options.dataDir = *v;
        }
    }

    if (out.tcp && !out.allowRemote && !loopbackHost(out.tcp->host)) {
        error = "--tcp " + out.tcp->host + ": not a loopback address (add --allow-remote)";
        return false;
    }
    if (out.udp && !loopbackHost(out.udp->host)) {
        error = "--udp " + out.udp->host + ": the module search is answered on loopback only";
        return false;
    }

    const StationListResult list = parseStationList(stationText);
    if (!list.ok() || list.stations.empty()) {
        error = "--stations: bad station list " + stationText;
        return false;
    }
    for (int s : list.stations) {
        if (s < 1) {
            error = "--stations: stations are 1..32";
            return false;
        }
        StationConfig c = defaults;
        c.address = s;
        c.password = password;
        if (models.count(s))
            c.modelCode = models[s];
        if (versions.count(s))
            c.version = versions[s];
        if (families.count(s))
            c.family = families[s];
        if (passwords.count(s))
            c.password = passwords[s];
        out.options.stations.push_back(c);
    }
    for (int s : mentioned)
        if (std::find(list.stations.begin(), list.stations.end(), s) == list.stations.end()) {
            error = "station " + std::to_string(s) + " is not in --stations";
            return false;
        }
    return true;
}

CommandResult runCommand(Simulator& sim, std::string_view line) {
    const std::vector<std::string> w = words(line);
    if (w.empty() || w[0][0] == '#')
        return {};
    const std::string& verb = w[0];
    if (verb == "quit" || verb == "exit")
        return CommandResult{true, "", true};
    if (verb == "help")
        return CommandResult{true, commandHelpText(), false};

    static const std::set<std::string> verbs{"fault",    "get",    "set",  "input",
                                             "password", "status", "count"};
    if (!verbs.count(verb))
        return fail("unknown command " + verb + " (see help)");

    std::string error;
    std::optional<std::vector<int>> stations;
    if (w.size() >= 2) {
        stations = stationsOf(sim, w[1], error);
        if (!stations)
            return fail(error);
    } else if (verb == "status" || verb == "count") {
        stations = sim.stationAddresses();
    } else {
        return fail(verb + " needs stations (see help)");
    }

    if (verb == "fault")
        return faultCommand(sim, *stations, w);

    if (verb == "status" || verb == "count") {
        std::string text;
        for (int s : *stations) {
            StationControl c = sim.station(s);
            if (!text.empty())
                text += "\n";
            text += verb == "status"
                        ? statusLine(c)
                        : "station " + std::to_string(s) + ": " + std::to_string(c.requestCount()) +
                              " requests, " + std::to_string(c.broadcastCount()) + " broadcasts";
        }
        return CommandResult{true, text, false};
    }

    if (verb == "get") {
        const auto r = w.size() >= 3 ? word(w[2]) : std::nullopt;
        const auto n = w.size() == 4 ? word(w[3]) : std::optional<std::uint16_t>(1);
        if (!r || !n || w.size() > 4 || *n < 1 || *n > 64)
            return fail("get STATIONS REG [COUNT]");
        std::string text;
        for (int s : *stations)
            for (int k = 0; k < *n; ++k) {
                const auto reg = static_cast<std::uint16_t>(*r + k);
                const auto v = sim.station(s).readRegister(reg);
                if (!text.empty())
                    text += "\n";
                text += std::to_string(s) + " " + hex4(reg) + ": " +
                        (v ? hex4(*v) + " (" + std::to_string(*v) + ")" : "no such register");
            }
        return CommandResult{true, text, false};
    }

    if (verb == "set") {
        const auto r = w.size() == 4 ? word(w[2]) : std::nullopt;
        const auto v = w.size() == 4 ? word(w[3]) : std::nullopt;
        if (!r || !v)
            return fail("set STATIONS REG VALUE");
        for (int s : *stations)
            if (!sim.station(s).setRegister(*r, *v))
                return fail(hex4(*r) + " cannot be set on station " + std::to_string(s));
        return done();
    }

    if (verb == "input") {
        static const std::map<std::string, Input> inputs{
            {"avi", Input::Avi}, {"aci", Input::Aci}, {"terminals", Input::Terminals}};
        const auto it = w.size() == 4 ? inputs.find(w[2]) : inputs.end();
        const auto v = w.size() == 4 ? word(w[3]) : std::nullopt;
        if (it == inputs.end() || !v)
            return fail("input STATIONS avi|aci|terminals VALUE");
        for (int s : *stations)
            sim.station(s).setInput(it->second, *v);
        return done();
    }

    if (verb == "password") {
        if (w.size() != 3)
            return fail("password STATIONS WORD|none");
        std::optional<std::uint16_t> p;
        if (w[2] != "none") {
            p = word(w[2]);
            if (!p)
                return fail("not a password: " + w[2]);
        }
        for (int s : *stations)
            sim.station(s).setPassword(p);
        return done();
    }

    return fail("unknown command " + verb);
}

} // namespace kvd::sim
