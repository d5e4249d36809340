// A virtual line of drives: one or more stations answering Modbus RTU on a pseudo-terminal,
// on TCP (raw RTU frames, as the Ethernet module carries them) and the module search on UDP.
// Every later feature is tested end to end against it, so it runs in-process for tests and
// as the command-line program kvd-drive-sim.
//
// All I/O runs on one thread of the simulator; every public call is thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvd::sim {

constexpr int kDefaultModelCode = 1205;
constexpr std::uint16_t kDefaultVersion = 1100; // 13-01, shown as 1.100
constexpr std::uint16_t kDefaultFamily = 0x0100;

struct StationConfig {
    int address = 1; // 1..32
    int modelCode = kDefaultModelCode;
    std::uint16_t version = kDefaultVersion;
    std::uint16_t family = kDefaultFamily; // register 0x252F
    std::optional<std::uint16_t> password; // set and locked from the start
};

struct Options {
    std::vector<StationConfig> stations; // empty: station 1 with the defaults
    int region = 50;                     // factory values for 50 or 60 Hz
    std::string dataDir;                 // empty: findDataFolder()
    int baud = 0;                        // 0: answer at once; else pace bytes at 11 bits each
    std::array<std::uint8_t, 6> mac{0x02, 0x4b, 0x56, 0x44, 0x00, 0x01}; // module search answer
    // Receives one line per frame in and out ("rx 01 03 ..."); called on the I/O thread.
    std::function<void(std::string_view)> trace;
};

// How a station misbehaves on the line. Mode and delay combine; silentAfter counts the
// requests still answered before the station falls silent (-1: never).
enum class FaultMode {
    None,
    Silent,      // no answer; the request is ignored
    BadCrc,      // the answer's CRC is corrupted (the request is carried out)
    Exception,   // exception 04 instead of the answer (the request is not carried out)
    BadFunction, // the answer's function byte is wrong, CRC valid (the request is carried out)
};

struct FaultSettings {
    FaultMode mode = FaultMode::None;
    int silentAfter = -1;
    int delayMs = 0;
};

// Inputs of the drive that no register write changes.
enum class Input {
    Avi,       // 0x252C, 0.1 %
    Aci,       // 0x252D, 0.1 %
    Terminals, // low five bits of 0x2522: S1..S5
};

class Simulator;

// One station of the bus. A small handle: cheap to copy, valid while its simulator lives.
class StationControl {
public:
    int address() const { return address_; }

    // The word a 0x03 request would read now (run-time values included); empty for an
    // address the drive does not have.
    std::optional<std::uint16_t> readRegister(std::uint16_t reg) const;
    // Stores a word without access checks or side effects (to stage a state in tests).
    // False for an address the drive does not have or one that is computed.
    bool setRegister(std::uint16_t reg, std::uint16_t value);

    void setFault(FaultMode mode);
    void setSilentAfter(int requests);
    void setDelay(int ms);
    FaultSettings faults() const;
    // A drive trip: fault code in 0x2521, fault bit, the motor coasts to a stop.
    void trip(std::uint16_t code);
    // Clears the line faults and a trip.
    void clearFaults();

    // Password in 13-07; empty removes it. A password set here is locked.
    void setPassword(std::optional<std::uint16_t> password);
    void setInput(Input input, std::uint16_t value);

    // Frames with a valid CRC addressed to this station (answered or not), and broadcasts.
    std::uint64_t requestCount() const;
    std::uint64_t broadcastCount() const;
    void resetCounters();

private:
    friend class Simulator;
    StationControl(Simulator* sim, int address) : sim_(sim), address_(address) {}
    template <class F> auto with(F&& f) const; // under the simulator's lock
    Simulator* sim_;
    int address_;
};

class Simulator {
public:
    explicit Simulator(Options options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // False (and `error` filled) when the stations or the data folder are unusable; the
    // simulator then answers nothing and every start fails.
    bool valid(std::string* error = nullptr) const;

    // Opens a pseudo-terminal; with a link path, also a symbolic link to its device (a stale
    // link there is replaced; anything else at that path is an error).
    bool startPty(const std::string& linkPath = {}, std::string* error = nullptr);
    std::string devicePath() const;
    std::string linkPath() const;

    // Listens for TCP clients carrying raw RTU frames. Host is a dotted IPv4 address or
    // "localhost"; only loopback unless allowRemote. Port 0 picks a free port.
    bool startTcp(const std::string& host, int port, bool allowRemote = false,
                  std::string* error = nullptr);
    int tcpPort() const;

    // Answers the module search on UDP. Loopback only.
    bool startUdp(const std::string& host, int port, std::string* error = nullptr);
    int udpPort() const;

    // Ends the I/O thread, closes everything and removes the symbolic link. Idempotent.
    void stop();

    bool hasStation(int address) const;
    std::vector<int> stationAddresses() const;
    // Throws std::out_of_range for a station that is not on the bus.
    StationControl station(int address);

    const Options& options() const { return options_; }

private:
    friend class StationControl;
    struct Impl;
    Options options_;
    std::unique_ptr<Impl> impl_;
};

// Where the data files are: `given` when not empty; else the folder of the running
// executable when it holds them; else the source data folder.
std::string findDataFolder(const std::string& given = {});

} // namespace kvd::sim
