#include "Drive.h"

#include "params/ModelTable.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace kvd::sim {

namespace {

constexpr std::uint16_t kRunBits = cmd::Run | cmd::JogForward | cmd::JogReverse;
constexpr std::uint16_t kRuntimeFirst = 0x2520;
constexpr std::uint16_t kRuntimeLast = 0x252F;

// The version word as the program reads it (1100 is 1.1, 110 is 1.1, 11 is 1.1), in
// thousandths so that it compares exactly.
int versionThousandths(std::uint16_t w) {
    if (w > 999)
        return w;
    if (w > 99)
        return w * 10;
    return w * 100;
}

std::uint16_t clampWord(double v) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L));
}

} // namespace

Drive::Drive(const StationConfig& config, std::shared_ptr<const ParameterSet> params, int region,
             Clock::time_point now)
    : config_(config), params_(std::move(params)), last_(now) {
    factoryReset(region);
    setPassword(config.password);
}

bool Drive::isParameter(std::uint16_t r) const {
    const auto it = params_->registers.find(r);
    return it != params_->registers.end() &&
           versionThousandths(config_.version) >= it->second.minVersion;
}

bool Drive::hasRegister(std::uint16_t r) const {
    return isParameter(r) || r == reg::Command || r == reg::FrequencyCommand ||
           (r >= kRuntimeFirst && r <= kRuntimeLast);
}

std::uint16_t Drive::param(std::uint16_t r) const {
    const auto it = values_.find(r);
    return it == values_.end() ? 0 : it->second;
}

void Drive::factoryReset(int region) {
    // The fault record is history, not a setting: it survives a reset.
    const std::uint16_t lastFault = param(reg::LastFault);
    const std::uint16_t basicLastFault = param(reg::BasicLastFault);
    values_.clear();
    for (const auto& [r, p] : params_->registers)
        values_[r] = region == 60 ? p.factory60 : p.factory50;

    // What the drive is cannot be reset: model, software and its address on the line.
    const auto identity = [this](std::uint16_t r, std::uint16_t v) {
        if (params_->registers.count(r))
            values_[r] = v;
    };
    identity(reg::ModelCode, static_cast<std::uint16_t>(config_.modelCode));
    identity(reg::Version, config_.version);
    identity(reg::BasicVersion, config_.version);
    identity(reg::StationAddress, static_cast<std::uint16_t>(config_.address));
    identity(reg::LastFault, lastFault);
    identity(reg::BasicLastFault, basicLastFault);
    identity(reg::Reset, 0);
    identity(reg::BasicReset, 0);
}

Exception Drive::read(std::uint16_t start, int count, std::vector<std::uint16_t>& out,
                      Clock::time_point now) {
    advance(now);
    out.clear();
    for (int k = 0; k < count; ++k) {
        const auto r = static_cast<std::uint16_t>(start + k);
        if (!hasRegister(r))
            return IllegalAddress;
    }
    for (int k = 0; k < count; ++k) {
        const auto r = static_cast<std::uint16_t>(start + k);
        out.push_back(*peek(r, now));
    }
    return NoException;
}

Exception Drive::checkWrite(std::uint16_t r, std::uint16_t value) const {
    if (!hasRegister(r))
        return IllegalAddress;
    if (r == reg::Command || r == reg::FrequencyCommand || r == reg::Password)
        return NoException;
    if (!isParameter(r))
        return IllegalAddress; // the rest of the run-time block is read-only
    if (locked_)
        return DeviceFailure;
    if (params_->registers.at(r).readOnly)
        return IllegalAddress;
    if ((r == reg::Reset || r == reg::BasicReset) && value != 0 && value != 1150 && value != 1160)
        return IllegalValue;
    return NoException;
}

Exception Drive::write(std::uint16_t start, std::span<const std::uint16_t> values,
                       Clock::time_point now) {
    advance(now);
    for (std::size_t k = 0; k < values.size(); ++k)
        if (const Exception e = checkWrite(static_cast<std::uint16_t>(start + k), values[k]))
            return e;
    for (std::size_t k = 0; k < values.size(); ++k)
        store(static_cast<std::uint16_t>(start + k), values[k], now);
    return NoException;
}

void Drive::store(std::uint16_t r, std::uint16_t value, Clock::time_point now) {
    if (r != reg::Password)
        pending_.reset(); // "twice in a row" means two password writes with nothing between
    switch (r) {
    case reg::Command:
        writeCommand(value, now);
        return;
    case reg::FrequencyCommand:
        frequencyCommand_ = value;
        return;
    case reg::Password:
        writePassword(value);
        return;
    case reg::Reset:
    case reg::BasicReset:
        if (value == 1150 || value == 1160)
            factoryReset(value == 1150 ? 50 : 60);
        else
            values_[r] = value;
        return;
    default:
        values_[r] = value;
    }
}

void Drive::writeCommand(std::uint16_t value, Clock::time_point now) {
    // Abnormal and fault reset are commands, not states: they act once and read back clear.
    command_ = value & ~(cmd::Abnormal | cmd::FaultReset);
    if ((value & cmd::FaultReset) && fault_ != 0) {
        fault_ = 0;
        command_ &= ~kRunBits; // a reset never starts the motor by itself
    }
    if (value & cmd::Abnormal)
        trip(kExternalFault, now);
}

void Drive::writePassword(std::uint16_t value) {
    if (locked_) {
        // A wrong password is taken without complaint; the drive just stays locked.
        if (value == *password_)
            locked_ = false;
        return;
    }
    if (pending_ && *pending_ == value) {
        password_ = value;
        locked_ = true;
        pending_.reset();
    } else {
        pending_ = value;
    }
}

void Drive::setPassword(std::optional<std::uint16_t> password) {
    password_ = password;
    locked_ = password.has_value();
    pending_.reset();
}

void Drive::setInput(Input input, std::uint16_t value) {
    switch (input) {
    case Input::Avi:
        avi_ = value;
        break;
    case Input::Aci:
        aci_ = value;
        break;
    case Input::Terminals:
        terminals_ = value & 0x1F;
        break;
    }
}

void Drive::trip(std::uint16_t code, Clock::time_point now) {
    advance(now);
    if (code == 0) {
        clearTrip(now);
        return;
    }
    fault_ = code;
    out_ = 0; // the output is cut: the motor coasts
    ramp_ = Ramp::Steady;
    command_ &= ~kRunBits;
    if (values_.count(reg::LastFault))
        values_[reg::LastFault] = code;
    if (values_.count(reg::BasicLastFault))
        values_[reg::BasicLastFault] = code;
}

void Drive::clearTrip(Clock::time_point now) {
    advance(now);
    if (fault_ != 0)
        command_ &= ~kRunBits;
    fault_ = 0;
}

std::optional<std::uint16_t> Drive::peek(std::uint16_t r, Clock::time_point now) {
    advance(now);
    if (!hasRegister(r))
        return std::nullopt;
    if (r == reg::Password)
        return static_cast<std::uint16_t>(locked_ ? 2 : 0);
    if (isParameter(r))
        return param(r);
    return runtimeWord(r);
}

bool Drive::poke(std::uint16_t r, std::uint16_t value) {
    if (isParameter(r) && r != reg::Password) {
        values_[r] = value;
        return true;
    }
    switch (r) {
    case reg::Command:
        command_ = value;
        return true;
    case reg::FrequencyCommand:
        frequencyCommand_ = value;
        return true;
    case reg::Family:
        config_.family = value;
        return true;
    default:
        return false;
    }
}

double Drive::outputHz(Clock::time_point now) {
    advance(now);
    return out_;
}

double Drive::baseHz() const {
    const double f = param(reg::BaseFrequency) / 100.0;
    return f > 0 ? f : 50.0;
}

double Drive::outputVoltage() const {
    const double f = std::abs(out_);
    if (f == 0)
        return 0;
    double vmax = param(reg::MaxVoltage);
    if (vmax <= 0)
        vmax = voltageClass(config_.modelCode) == VoltageClass::High ? 3800 : 2200;
    // The V/f curve through its four points (frequency, % of 01-01), flat outside them.
    struct Point {
        double hz, percent;
    };
    Point points[] = {
        {param(reg::MinFrequency) / 100.0, param(reg::MinVoltage) / 10.0},
        {param(reg::MiddleFrequency2) / 100.0, param(reg::MiddleVoltage2) / 10.0},
        {param(reg::MiddleFrequency1) / 100.0, param(reg::MiddleVoltage1) / 10.0},
        {baseHz(), param(reg::BaseVoltage) / 10.0},
    };
    std::sort(std::begin(points), std::end(points),
              [](const Point& a, const Point& b) { return a.hz < b.hz; });
    double percent = points[3].percent;
    if (f <= points[0].hz) {
        percent = points[0].percent;
    } else {
        for (int k = 1; k < 4; ++k)
            if (f <= points[k].hz) {
                const Point& a = points[k - 1];
                const Point& b = points[k];
                percent = b.hz > a.hz
                              ? a.percent + (b.percent - a.percent) * (f - a.hz) / (b.hz - a.hz)
                              : b.percent;
                break;
            }
    }
    // Torque boost lifts the low end and fades out at the base frequency.
    percent += param(reg::TorqueBoost) / 10.0 * std::max(0.0, 1 - f / baseHz());
    return vmax * std::min(percent, 100.0) / 100.0;
}

double Drive::setFrequencyHz() const {
    const double lower = param(reg::LowerLimit) / 100.0;
    const double upper = param(reg::UpperLimit) / 100.0;
    return std::min(std::max(frequencyCommand_ / 100.0, lower), upper);
}

double Drive::ratedCurrent() const {
    const std::uint16_t rated = param(reg::RatedCurrent);
    return rated > 0 ? rated : 25.0;
}

double Drive::targetHz() const {
    if (fault_ != 0)
        return 0;
    if (command_ & cmd::Run)
        return (command_ & cmd::Reverse) ? -setFrequencyHz() : setFrequencyHz();
    const double jog = param(reg::JogFrequency) / 100.0;
    if (command_ & cmd::JogForward)
        return jog;
    if (command_ & cmd::JogReverse)
        return -jog;
    return 0;
}

void Drive::advance(Clock::time_point now) {
    double dt = std::chrono::duration<double>(now - last_).count();
    if (dt <= 0)
        return;
    last_ = now;
    if (fault_ != 0) {
        out_ = 0;
        ramp_ = Ramp::Steady;
        return;
    }
    // A jog runs on its own ramp times, also down to a stop once it is released.
    if (command_ & cmd::Run)
        jogRamp_ = false;
    else if (command_ & (cmd::JogForward | cmd::JogReverse))
        jogRamp_ = true;
    // Ramp times run from 0 to the base frequency; 0.1 s is the shortest a drive allows.
    const double accTime =
        std::max(0.1, param(jogRamp_ ? reg::JogAccelTime : reg::AccelTime) / 10.0);
    const double decTime =
        std::max(0.1, param(jogRamp_ ? reg::JogDecelTime : reg::DecelTime) / 10.0);
    const double accRate = baseHz() / accTime;
    const double decRate = baseHz() / decTime;
    const double target = targetHz();

    while (dt > 0 && out_ != target) {
        double goal = target;
        double rate = accRate;
        ramp_ = Ramp::Accelerating;
        // Turning round means slowing to a stop first; slowing down uses the deceleration.
        if (out_ != 0 && (target == 0 || (out_ > 0) != (target > 0))) {
            goal = 0;
            rate = decRate;
            ramp_ = Ramp::Decelerating;
        } else if (std::abs(target) < std::abs(out_)) {
            rate = decRate;
            ramp_ = Ramp::Decelerating;
        }
        const double need = std::abs(goal - out_) / rate;
        if (need <= dt) {
            out_ = goal;
            dt -= need;
        } else {
            out_ += (goal > out_ ? rate : -rate) * dt;
            dt = 0;
        }
    }
    if (out_ == target)
        ramp_ = Ramp::Steady;
}

std::uint16_t Drive::runtimeWord(std::uint16_t r) {
    const double f = std::abs(out_);
    const double ratio = std::min(1.0, f / baseHz());
    const bool commanded = fault_ == 0 && (command_ & kRunBits) != 0;
    const bool running = out_ != 0 || commanded;
    const double rated = ratedCurrent();
    const auto current = [&] {
        if (out_ == 0)
            return 0.0;
        double noLoad = param(reg::NoLoadCurrent);
        if (noLoad <= 0 || noLoad >= rated)
            noLoad = 0.4 * rated;
        double i = noLoad + (rated - noLoad) * (0.25 + 0.5 * ratio);
        if (ramp_ == Ramp::Accelerating)
            i += 0.3 * rated;
        return i;
    };

    switch (r) {
    case reg::Command:
        return command_;
    case reg::FrequencyCommand:
        return frequencyCommand_;
    case reg::Status: {
        bool reverse = out_ < 0;
        if (out_ == 0) {
            // Standing still, the lamp shows the direction the drive would turn.
            if (command_ & cmd::Run)
                reverse = command_ & cmd::Reverse;
            else if (command_ & cmd::JogForward)
                reverse = false;
            else if (command_ & cmd::JogReverse)
                reverse = true;
            else
                reverse = command_ & cmd::Reverse;
        }
        std::uint16_t w = 0;
        if (running)
            w |= status::Running;
        if (reverse)
            w |= status::Reverse;
        w |= fault_ != 0 ? status::Fault : status::Ready;
        return w;
    }
    case reg::FaultCode:
        return fault_;
    case reg::Terminals:
        return static_cast<std::uint16_t>(terminals_ | (running ? kRelayBit : 0));
    case reg::SetFrequency:
        return clampWord(setFrequencyHz() * 100);
    case reg::OutputFrequency:
        return clampWord(f * 100);
    case reg::OutputVoltage:
        return clampWord(outputVoltage());
    case reg::DcBus: {
        double v = voltageClass(config_.modelCode) == VoltageClass::High ? 540 : 311;
        if (ramp_ == Ramp::Decelerating)
            v += 30; // the motor feeds energy back while it is braked
        else
            v -= 4 * current() / rated;
        return clampWord(v);
    }
    case reg::OutputCurrent:
        return clampWord(current());
    case reg::Torque:
        return out_ == 0 ? 0 : clampWord(30 + 40 * ratio + (ramp_ == Ramp::Accelerating ? 40 : 0));
    case reg::PidFeedback:
        return aci_;
    case reg::PidInput:
        return avi_;
    case reg::Avi:
        return avi_;
    case reg::Aci:
        return aci_;
    case reg::Family:
        return config_.family;
    default:
        return 0;
    }
}

} // namespace kvd::sim
