// A small Modbus RTU peer for link tests: listens on a pseudo-terminal or a loopback TCP
// port, cuts requests by their function's length and answers through a handler.
#pragma once

#include "link/ModbusRtu.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kvdtest {

using Frame = std::vector<std::uint8_t>;

// Returns the bytes to send back, or nothing for silence.
using Handler = std::function<std::optional<Frame>(const Frame& request)>;

// Reply for a read: `count` words value base+k, correct CRC.
inline Frame readReply(std::uint8_t station, int count, std::uint16_t base = 0x100) {
    Frame f{station, 0x03, static_cast<std::uint8_t>(2 * count)};
    for (int k = 0; k < count; ++k) {
        const std::uint16_t v = static_cast<std::uint16_t>(base + k);
        f.push_back(static_cast<std::uint8_t>(v >> 8));
        f.push_back(static_cast<std::uint8_t>(v & 0xFF));
    }
    kvd::rtu::appendCrc(f);
    return f;
}

// The usual answer of a drive: reads give base+k, writes are echoed / acknowledged.
inline std::optional<Frame> driveAnswer(const Frame& req) {
    if (req[0] == 0)
        return std::nullopt; // broadcast
    if (req[1] == 0x03)
        return readReply(req[0], req[4] << 8 | req[5]);
    if (req[1] == 0x06)
        return req;
    Frame f(req.begin(), req.begin() + 6);
    kvd::rtu::appendCrc(f);
    return f;
}

class Responder {
public:
    enum class Kind { Pty, Tcp };

    explicit Responder(Kind kind, Handler handler = driveAnswer) : handler_(std::move(handler)) {
        if (kind == Kind::Pty)
            openPty();
        else
            openTcp();
        thread_ = std::thread([this] { run(); });
    }
    ~Responder() { stop(); }

    // "/dev/pts/N" or "TCPIP" (with port()).
    const std::string& port() const { return port_; }
    int tcpPort() const { return tcpPort_; }

    std::vector<Frame> requests() {
        std::lock_guard l(m_);
        return requests_;
    }
    // Waits until `n` requests have arrived (or 5 s).
    bool waitRequests(std::size_t n) {
        std::unique_lock l(m_);
        return cv_.wait_for(l, std::chrono::seconds(5), [&] { return requests_.size() >= n; });
    }
    void setHandler(Handler h) {
        std::lock_guard l(m_);
        handler_ = std::move(h);
    }
    // Pulls the device away: the pseudo-terminal master or the TCP connection closes.
    void vanish() {
        std::lock_guard l(m_);
        vanish_ = true;
    }
    void stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        closeAll();
    }

private:
    static std::size_t frameLength(const Frame& f) {
        if (f.size() < 2)
            return 8;
        if (f[1] == 0x10)
            return f.size() < 7 ? 9 : 9 + static_cast<std::size_t>(f[6]);
        return 8;
    }

    void openPty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            throw std::runtime_error("pty");
        port_ = ::ptsname(master_);
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
        // Keep one slave descriptor of our own so the master sees no hang-up while the
        // link reopens the device.
        holdSlave_ = ::open(port_.c_str(), O_RDWR | O_NOCTTY);
    }

    void openTcp() {
        listen_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int one = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
            ::listen(listen_, 4) != 0)
            throw std::runtime_error("listen");
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        tcpPort_ = ntohs(a.sin_port);
        port_ = "TCPIP";
        ::fcntl(listen_, F_SETFL, O_NONBLOCK);
    }

    void closeAll() {
        for (int* fd : {&master_, &listen_, &conn_, &holdSlave_})
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
    }

    void run() {
        Frame buf;
        while (!stop_) {
            {
                std::lock_guard l(m_);
                if (vanish_) {
                    closeAll();
                    return;
                }
            }
            if (listen_ >= 0 && conn_ < 0) {
                conn_ = ::accept(listen_, nullptr, nullptr);
                if (conn_ < 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    continue;
                }
                ::fcntl(conn_, F_SETFL, O_NONBLOCK);
                buf.clear();
            }
            const int fd = master_ >= 0 ? master_ : conn_;
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 5) <= 0)
                continue;
            std::uint8_t tmp[256];
            const ssize_t n = ::read(fd, tmp, sizeof tmp);
            if (n <= 0) {
                if (master_ < 0 && n == 0) { // TCP peer closed: wait for the next one
                    ::close(conn_);
                    conn_ = -1;
                }
                continue;
            }
            buf.insert(buf.end(), tmp, tmp + n);
            while (buf.size() >= 2 && buf.size() >= frameLength(buf)) {
                const std::size_t len = frameLength(buf);
                Frame req(buf.begin(), buf.begin() + static_cast<long>(len));
                buf.erase(buf.begin(), buf.begin() + static_cast<long>(len));
                Handler h;
                {
                    std::lock_guard l(m_);
                    requests_.push_back(req);
                    h = handler_;
                }
                cv_.notify_all();
                if (auto answer = h(req)) {
                    std::size_t done = 0;
                    while (done < answer->size()) {
                        const ssize_t w = ::write(fd, answer->data() + done, answer->size() - done);
                        if (w > 0)
                            done += static_cast<std::size_t>(w);
                        else if (errno != EAGAIN)
                            break;
                    }
                }
            }
        }
    }

    Handler handler_;
    std::string port_;
    int tcpPort_ = 0;
    int master_ = -1, holdSlave_ = -1, listen_ = -1, conn_ = -1;
    std::atomic<bool> stop_{false};
    bool vanish_ = false;
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<Frame> requests_;
    std::thread thread_;
};

} // namespace kvdtest
