// One drive: its parameter registers, the password in 13-07, the run-time block at 0x25xx
// and a small motor model behind it. No I/O and no locking; the bus serialises access.
#pragma once

#include "ParameterSet.h"
#include "Simulator.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kvd::sim {

using Clock = std::chrono::steady_clock;

// Modbus exception codes the drive answers with.
enum Exception : std::uint8_t {
    NoException = 0,
    IllegalFunction = 0x01,
    IllegalAddress = 0x02, // no such register, or a read-only one written
    IllegalValue = 0x03,   // bad count, byte count or value
    DeviceFailure = 0x04,  // refused in the present state (parameters locked)
};

namespace reg {
constexpr std::uint16_t UpperLimit = 0x000C;    // 00-12
constexpr std::uint16_t LowerLimit = 0x000D;    // 00-13
constexpr std::uint16_t AccelTime = 0x000E;     // 00-14, 0.1 s
constexpr std::uint16_t DecelTime = 0x000F;     // 00-15, 0.1 s
constexpr std::uint16_t JogFrequency = 0x0012;  // 00-18, 0.01 Hz
constexpr std::uint16_t JogAccelTime = 0x0013;  // 00-19, 0.1 s
constexpr std::uint16_t JogDecelTime = 0x0014;  // 00-20, 0.1 s
constexpr std::uint16_t MaxVoltage = 0x0101;    // 01-01, 0.1 V
constexpr std::uint16_t BaseFrequency = 0x0102; // 01-02, 0.01 Hz
constexpr std::uint16_t BaseVoltage = 0x0103;   // 01-03, 0.1 % of 01-01
constexpr std::uint16_t MiddleFrequency1 = 0x0104;
constexpr std::uint16_t MiddleVoltage1 = 0x0105;
constexpr std::uint16_t MiddleFrequency2 = 0x0106;
constexpr std::uint16_t MiddleVoltage2 = 0x0107;
constexpr std::uint16_t MinFrequency = 0x0108;
constexpr std::uint16_t MinVoltage = 0x0109;
constexpr std::uint16_t TorqueBoost = 0x010A;    // 01-10, 0.1 %
constexpr std::uint16_t NoLoadCurrent = 0x0200;  // 02-00, 0.1 A
constexpr std::uint16_t RatedCurrent = 0x0201;   // 02-01, 0.1 A
constexpr std::uint16_t StationAddress = 0x0900; // 09-00
constexpr std::uint16_t ModelCode = 0x0D00;      // 13-00
constexpr std::uint16_t Version = 0x0D01;        // 13-01
constexpr std::uint16_t LastFault = 0x0D02;      // 13-02
constexpr std::uint16_t Password = 0x0D07;       // 13-07
constexpr std::uint16_t Reset = 0x0D08;          // 13-08
constexpr std::uint16_t BasicReset = 0x0E19;     // F_25
constexpr std::uint16_t BasicVersion = 0x0E1D;   // F_29
constexpr std::uint16_t BasicLastFault = 0x0E1E; // F_30

constexpr std::uint16_t Command = 0x2501;
constexpr std::uint16_t FrequencyCommand = 0x2502;
constexpr std::uint16_t Status = 0x2520;
constexpr std::uint16_t FaultCode = 0x2521;
constexpr std::uint16_t Terminals = 0x2522;
constexpr std::uint16_t SetFrequency = 0x2523;
constexpr std::uint16_t OutputFrequency = 0x2524;
constexpr std::uint16_t OutputVoltage = 0x2525;
constexpr std::uint16_t DcBus = 0x2526;
constexpr std::uint16_t OutputCurrent = 0x2527;
constexpr std::uint16_t Torque = 0x2529;
constexpr std::uint16_t PidFeedback = 0x252A;
constexpr std::uint16_t PidInput = 0x252B;
constexpr std::uint16_t Avi = 0x252C;
constexpr std::uint16_t Aci = 0x252D;
constexpr std::uint16_t Family = 0x252F;
} // namespace reg

// Command word bits (0x2501).
namespace cmd {
constexpr std::uint16_t Run = 0x01;
constexpr std::uint16_t Reverse = 0x02;
constexpr std::uint16_t Abnormal = 0x04;   // trips the drive with the external fault
constexpr std::uint16_t FaultReset = 0x08; // clears a trip
constexpr std::uint16_t JogForward = 0x10;
constexpr std::uint16_t JogReverse = 0x20;
} // namespace cmd

// Status word bits (0x2520).
namespace status {
constexpr std::uint16_t Running = 0x01;
constexpr std::uint16_t Reverse = 0x02;
constexpr std::uint16_t Ready = 0x04;
constexpr std::uint16_t Fault = 0x08;
} // namespace status

constexpr std::uint16_t kExternalFault = 14; // what "Abnormal" trips with
constexpr std::uint16_t kRelayBit = 0x40;    // R1 in the terminal word

class Drive {
public:
    Drive(const StationConfig& config, std::shared_ptr<const ParameterSet> params, int region,
          Clock::time_point now);

    int address() const { return config_.address; }

    // A 0x03 request: every register must exist.
    Exception read(std::uint16_t start, int count, std::vector<std::uint16_t>& out,
                   Clock::time_point now);
    // A 0x06 or 0x10 request: checked as a whole first, then carried out register by
    // register, so a factory reset in a block happens at its place in the block.
    Exception write(std::uint16_t start, std::span<const std::uint16_t> values,
                    Clock::time_point now);

    std::optional<std::uint16_t> peek(std::uint16_t r, Clock::time_point now);
    bool poke(std::uint16_t r, std::uint16_t value);

    void trip(std::uint16_t code, Clock::time_point now);
    void clearTrip(Clock::time_point now);
    void setPassword(std::optional<std::uint16_t> password);
    void setInput(Input input, std::uint16_t value);

    // Motor state after advancing the model to `now` (signed: reverse is negative).
    double outputHz(Clock::time_point now);

private:
    bool hasRegister(std::uint16_t r) const;
    bool isParameter(std::uint16_t r) const;
    Exception checkWrite(std::uint16_t r, std::uint16_t value) const;
    void store(std::uint16_t r, std::uint16_t value, Clock::time_point now);
    void writeCommand(std::uint16_t value, Clock::time_point now);
    void writePassword(std::uint16_t value);
    void factoryReset(int region);
    std::uint16_t runtimeWord(std::uint16_t r);
    std::uint16_t param(std::uint16_t r) const;

    void advance(Clock::time_point now);
    double targetHz() const; // signed
    double setFrequencyHz() const;
    double baseHz() const;
    double outputVoltage() const; // 0.1 V
    double ratedCurrent() const;  // 0.1 A

    StationConfig config_;
    std::shared_ptr<const ParameterSet> params_;
    std::map<std::uint16_t, std::uint16_t> values_;

    // Password: reads give 2 while locked. `pending` is the first of two equal writes that
    // set a new password.
    std::optional<std::uint16_t> password_;
    bool locked_ = false;
    std::optional<std::uint16_t> pending_;

    std::uint16_t command_ = 0;
    std::uint16_t frequencyCommand_ = 0;
    std::uint16_t fault_ = 0;
    std::uint16_t avi_ = 0;
    std::uint16_t aci_ = 0;
    std::uint16_t terminals_ = 0;

    double out_ = 0; // Hz, signed
    enum class Ramp { Steady, Accelerating, Decelerating } ramp_ = Ramp::Steady;
    bool jogRamp_ = false; // the output comes from a jog
    Clock::time_point last_;
};

} // namespace kvd::sim
