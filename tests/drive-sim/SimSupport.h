// Helpers for the simulator tests: a raw peer on the pseudo-terminal or a loopback socket,
// libmodbus as an independent master, and polling with a deadline instead of sleeps.
#pragma once

#include "Simulator.h"
#include "link/ModbusRtu.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <modbus.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace simtest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Frame = std::vector<std::uint8_t>;

// A station on the simulated line.
inline kvd::sim::StationConfig drive(int address, int model = kvd::sim::kDefaultModelCode,
                                     std::uint16_t version = kvd::sim::kDefaultVersion,
                                     std::uint16_t family = kvd::sim::kDefaultFamily) {
    kvd::sim::StationConfig c;
    c.address = address;
    c.modelCode = model;
    c.version = version;
    c.family = family;
    return c;
}

// Polls `pred` until it holds or the deadline passes. Generous: sanitizer builds are slow.
template <class Pred> bool eventually(Pred pred, std::chrono::milliseconds limit = 10s) {
    const auto end = Clock::now() + limit;
    while (!pred()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// A file descriptor that sends frames and collects bytes: the pty's device opened raw, or a
// TCP connection to the simulator.
class RawPeer {
public:
    static RawPeer serial(const std::string& device) {
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            throw std::runtime_error("cannot open " + device);
        termios t{};
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
        tcflush(fd, TCIOFLUSH);
        return RawPeer(fd);
    }
    static RawPeer tcp(int port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error("cannot connect to port " + std::to_string(port));
        return RawPeer(fd);
    }

    RawPeer(RawPeer&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    RawPeer& operator=(RawPeer&&) = delete;
    ~RawPeer() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    void send(const Frame& f) const {
        if (::write(fd_, f.data(), f.size()) != static_cast<ssize_t>(f.size()))
            throw std::runtime_error("short write");
    }

    // Reads until `count` bytes have come or the time is up; returns what came.
    Frame receive(std::size_t count, std::chrono::milliseconds limit = 5s) const {
        Frame got;
        const auto end = Clock::now() + limit;
        while (got.size() < count) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            std::uint8_t buf[256];
            const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - got.size()));
            if (n <= 0)
                break;
            got.insert(got.end(), buf, buf + n);
        }
        return got;
    }

    // One request and the reply of the expected length.
    Frame exchange(const Frame& request, std::size_t replyLength) const {
        send(request);
        return receive(replyLength);
    }

private:
    explicit RawPeer(int fd) : fd_(fd) {}
    int fd_;
};

// libmodbus as the master on the simulator's pseudo-terminal.
class Master {
public:
    explicit Master(const std::string& device) {
        ctx_ = modbus_new_rtu(device.c_str(), 9600, 'N', 8, 1);
        if (ctx_ == nullptr || modbus_connect(ctx_) != 0)
            throw std::runtime_error("libmodbus cannot open " + device);
        timeout(1000ms);
    }
    ~Master() {
        modbus_close(ctx_);
        modbus_free(ctx_);
    }
    Master(const Master&) = delete;
    Master& operator=(const Master&) = delete;

    void timeout(std::chrono::milliseconds t) {
        modbus_set_response_timeout(ctx_, static_cast<std::uint32_t>(t.count() / 1000),
                                    static_cast<std::uint32_t>(t.count() % 1000 * 1000));
    }
    modbus_t* ctx(int station) {
        modbus_set_slave(ctx_, station);
        return ctx_;
    }

    // The word, or -errno on failure (so a test can compare both in one table).
    long read(int station, std::uint16_t reg) {
        std::uint16_t w = 0;
        if (modbus_read_registers(ctx(station), reg, 1, &w) != 1)
            return -errno;
        return w;
    }
    // 0, or -errno.
    long write(int station, std::uint16_t reg, std::uint16_t value) {
        return modbus_write_register(ctx(station), reg, value) == 1 ? 0 : -errno;
    }
    long writeBlock(int station, std::uint16_t start, const std::vector<std::uint16_t>& v) {
        const int n =
            modbus_write_registers(ctx(station), start, static_cast<int>(v.size()), v.data());
        return n == static_cast<int>(v.size()) ? 0 : -errno;
    }
    long readBlock(int station, std::uint16_t start, int count, std::vector<std::uint16_t>& out) {
        out.assign(static_cast<std::size_t>(std::max(count, 1)), 0);
        const int n = modbus_read_registers(ctx(station), start, count, out.data());
        return n == count ? 0 : -errno;
    }

private:
    modbus_t* ctx_ = nullptr;
};

} // namespace simtest
