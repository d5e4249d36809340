// kvd-bench-link: how long one 30-register read takes through kvd::SerialLink::CommandSend,
// on a pseudo-terminal and on TCP loopback, and how soon CommandSend returns once the last
// reply byte has left the peer. A link must return the moment the expected length is there,
// never wait for a silence, so that second figure should stay in the tens of microseconds.
//
// The first table uses a peer of this program (a thread on the pty master or on a loopback
// TCP connection) whose timing is known; the second runs the same reads against the drive
// simulator, the end-to-end figure. Only loopback and pseudo-terminals: nothing leaves the
// machine. Prints figures; it is not a test.

#include "Simulator.h"
#include "link/ModbusRtu.h"
#include "link/SerialLink.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <span>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kStation = 1;
constexpr std::uint16_t kStart = 0x0E01; // a block the simulated drive has 30 registers of
constexpr int kCount = 30;
constexpr std::size_t kRequestSize = 8;
constexpr std::size_t kReplySize = kvd::rtu::readReplyLength(kCount);
static_assert(kReplySize == 65);
constexpr int kDefaultIterations = 2000;
constexpr int kWarmup = 20;
// A reply in two writes: the link must neither return after the first part nor linger after
// the second.
constexpr std::size_t kSplitFirst = 40;
constexpr auto kSplitGap = 1ms;
// How long the caller waits for the peer to publish its time stamp after CommandSend returned.
constexpr auto kStampWait = 1s;

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// The reply to exchange `seq`: its words carry the exchange number, so a late reply of an
// earlier exchange cannot pass for the current one.
Bytes expectedReply(std::uint32_t seq) {
    Bytes r{kStation, kvd::rtu::kReadHolding, static_cast<std::uint8_t>(2 * kCount)};
    for (int k = 0; k < kCount; ++k) {
        const auto w = static_cast<std::uint16_t>((seq * 31u + static_cast<std::uint32_t>(k)));
        r.push_back(static_cast<std::uint8_t>(w >> 8));
        r.push_back(static_cast<std::uint8_t>(w & 0xFF));
    }
    kvd::rtu::appendCrc(r);
    return r;
}

bool writeAll(int fd, bool socket, const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = socket ? ::send(fd, data + done, size - done, MSG_NOSIGNAL)
                                 : ::write(fd, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        return false;
    }
    return true;
}

enum class ReplyShape { Whole, Split };

// When the peer called write() for the last reply bytes and when that call returned.
struct WriteTime {
    Clock::time_point called;
    Clock::time_point returned;
};

// Answers every 8-byte request with expectedReply(n) for the n-th request and records, right
// after the write() of the last reply byte has returned, when that was.
class Peer {
public:
    ~Peer() {
        stop_.store(true);
        if (thread_.joinable())
            thread_.join();
        closeFd(fd_);
        closeFd(listenFd_);
        closeFd(slaveFd_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    static std::unique_ptr<Peer> onPty(ReplyShape shape, std::size_t exchanges,
                                       std::string* error) {
        std::unique_ptr<Peer> p(new Peer(shape, exchanges, false));
        p->fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (p->fd_ < 0 || ::grantpt(p->fd_) != 0 || ::unlockpt(p->fd_) != 0 ||
            ::ptsname_r(p->fd_, name, sizeof name) != 0) {
            *error = errnoText("pseudo-terminal");
            return nullptr;
        }
        // Held open so the master never sees a hang-up between the link's open and close;
        // raw so nothing is echoed before the link sets the line up itself.
        p->slaveFd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios t{};
        if (p->slaveFd_ < 0 || ::tcgetattr(p->slaveFd_, &t) != 0) {
            *error = errnoText(name);
            return nullptr;
        }
        ::cfmakeraw(&t);
        ::tcsetattr(p->slaveFd_, TCSANOW, &t);
        p->port_ = name;
        p->thread_ = std::thread([q = p.get()] { q->serve(); });
        return p;
    }

    static std::unique_ptr<Peer> onTcp(ReplyShape shape, std::size_t exchanges,
                                       std::string* error) {
        std::unique_ptr<Peer> p(new Peer(shape, exchanges, true));
        p->listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        socklen_t len = sizeof a;
        if (p->listenFd_ < 0 || ::bind(p->listenFd_, reinterpret_cast<sockaddr*>(&a), len) != 0 ||
            ::listen(p->listenFd_, 1) != 0 ||
            ::getsockname(p->listenFd_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
            *error = errnoText("TCP listener on 127.0.0.1");
            return nullptr;
        }
        p->tcpPort_ = ntohs(a.sin_port);
        p->port_ = "TCPIP";
        p->thread_ = std::thread([q = p.get()] { q->serve(); });
        return p;
    }

    const std::string& port() const { return port_; }
    int tcpPort() const { return tcpPort_; }
    std::size_t badRequests() const { return bad_.load(); }

    // The peer's write() of the last reply bytes of exchange `seq`; waits a little for the
    // peer to publish it, empty when it never answered that exchange.
    std::optional<WriteTime> writtenAt(std::size_t seq) const {
        const auto until = Clock::now() + kStampWait;
        while (published_.load(std::memory_order_acquire) <= seq) {
            if (Clock::now() >= until || seq >= stamps_.size())
                return std::nullopt;
            std::this_thread::yield();
        }
        return stamps_[seq];
    }

private:
    Peer(ReplyShape shape, std::size_t exchanges, bool socket)
        : shape_(shape), socket_(socket), stamps_(exchanges) {}

    // Waits for something to read on `fd`; false when the peer is to stop or the fd failed.
    bool waitReadable(int fd) const {
        while (!stop_.load()) {
            pollfd p{fd, POLLIN, 0};
            const int r = ::poll(&p, 1, 20);
            if (r < 0 && errno != EINTR)
                return false;
            if (r > 0 && (p.revents & (POLLERR | POLLNVAL)))
                return false;
            if (r > 0)
                return true;
        }
        return false;
    }

    void serve() {
        if (socket_) {
            if (!waitReadable(listenFd_))
                return;
            fd_ = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd_ < 0)
                return;
            const int one = 1;
            ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        }
        const Bytes request = kvd::rtu::readRequest(kStation, kStart, kCount);
        Bytes pending;
        std::size_t seq = 0;
        std::uint8_t buf[256];
        while (waitReadable(fd_)) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return; // the link closed the connection
            pending.insert(pending.end(), buf, buf + n);
            while (pending.size() >= kRequestSize) {
                if (!std::equal(request.begin(), request.end(), pending.begin()))
                    bad_.fetch_add(1);
                pending.erase(pending.begin(), pending.begin() + kRequestSize);
                const Bytes reply = expectedReply(static_cast<std::uint32_t>(seq));
                std::size_t first = 0;
                bool ok = true;
                if (shape_ == ReplyShape::Split) {
                    first = kSplitFirst;
                    ok = writeAll(fd_, socket_, reply.data(), first);
                    std::this_thread::sleep_for(kSplitGap);
                }
                const auto before = Clock::now();
                ok = ok && writeAll(fd_, socket_, reply.data() + first, reply.size() - first);
                const auto after = Clock::now();
                if (!ok)
                    return;
                if (seq < stamps_.size())
                    stamps_[seq] = WriteTime{before, after};
                ++seq;
                published_.store(seq, std::memory_order_release);
            }
        }
    }

    ReplyShape shape_;
    bool socket_;
    std::string port_;
    int tcpPort_ = 0;
    int fd_ = -1;       // pty master or the accepted connection
    int listenFd_ = -1; // TCP only
    int slaveFd_ = -1;  // pty only
    std::vector<WriteTime> stamps_;
    std::atomic<std::size_t> published_{0};
    std::atomic<std::size_t> bad_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Samples {
    std::vector<double> callUs;  // CommandSend, call to return
    std::vector<double> lagUs;   // last reply byte written by the peer to CommandSend's return
    std::vector<double> writeUs; // the peer's write() of the last reply bytes
    int failures = 0;
    std::string firstFailure;
};

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void fail(Samples& s, std::size_t seq, const std::string& what) {
    if (s.failures++ == 0)
        s.firstFailure = "exchange " + std::to_string(seq) + ": " + what;
}

// Runs warm-up plus `iterations` reads. With a peer of our own the reply content and the
// peer's write time are known; against the simulator only the frame head is checked.
Samples runReads(kvd::SerialLink& link, const Peer* peer, int iterations) {
    Samples s;
    s.callUs.reserve(static_cast<std::size_t>(iterations));
    if (peer) {
        s.lagUs.reserve(static_cast<std::size_t>(iterations));
        s.writeUs.reserve(static_cast<std::size_t>(iterations));
    }
    const Bytes request = kvd::rtu::readRequest(kStation, kStart, kCount);
    Bytes reply(kReplySize);
    const auto total = static_cast<std::size_t>(kWarmup + iterations);
    for (std::size_t seq = 0; seq < total; ++seq) {
        std::fill(reply.begin(), reply.end(), 0);
        const auto t0 = Clock::now();
        const int rc = link.CommandSend(request.data(), static_cast<int>(request.size()),
                                        reply.data(), static_cast<int>(reply.size()));
        const auto t1 = Clock::now();
        const bool measured = seq >= static_cast<std::size_t>(kWarmup);
        if (rc != kvd::LinkOk) {
            fail(s, seq, "CommandSend returned " + std::to_string(rc));
            continue;
        }
        if (link.receivedCount() != static_cast<int>(kReplySize)) {
            fail(s, seq, "received " + std::to_string(link.receivedCount()) + " bytes");
            continue;
        }
        if (peer) {
            if (reply != expectedReply(static_cast<std::uint32_t>(seq))) {
                fail(s, seq, "reply is not the one sent for this exchange");
                continue;
            }
            const auto written = peer->writtenAt(seq);
            if (!written) {
                fail(s, seq, "the peer published no write time");
                continue;
            }
            if (measured) {
                s.lagUs.push_back(micros(t1 - written->returned));
                s.writeUs.push_back(micros(written->returned - written->called));
            }
        } else if (reply[0] != kStation || reply[1] != kvd::rtu::kReadHolding ||
                   reply[2] != 2 * kCount) {
            fail(s, seq, "unexpected reply head");
            continue;
        }
        if (measured)
            s.callUs.push_back(micros(t1 - t0));
    }
    return s;
}

struct Stats {
    std::size_t n = 0;
    double min = 0, p10 = 0, median = 0, p90 = 0, max = 0;
};

// Nearest-rank percentiles.
Stats statsOf(std::vector<double> v) {
    Stats st;
    if (v.empty())
        return st;
    std::sort(v.begin(), v.end());
    const auto at = [&v](double p) {
        const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
        return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
    };
    st.n = v.size();
    st.min = v.front();
    st.p10 = at(0.10);
    st.median = at(0.50);
    st.p90 = at(0.90);
    st.max = v.back();
    return st;
}

void printHeader() {
    std::printf("  %-10s %-28s %-4s %6s %9s %9s %9s %9s %9s\n", "transport", "figure", "unit", "n",
                "min", "p10", "median", "p90", "max");
}

void printRow(const char* transport, const char* figure, const std::vector<double>& v) {
    const Stats st = statsOf(v);
    if (st.n == 0) {
        std::printf("  %-10s %-28s %-4s %6zu %9s %9s %9s %9s %9s\n", transport, figure, "us", st.n,
                    "-", "-", "-", "-", "-");
        return;
    }
    std::printf("  %-10s %-28s %-4s %6zu %9.1f %9.1f %9.1f %9.1f %9.1f\n", transport, figure, "us",
                st.n, st.min, st.p10, st.median, st.p90, st.max);
}

bool openLink(kvd::SerialLink& link, const std::string& port, int tcpPort) {
    if (port == "TCPIP")
        link.setTcpPeer("127.0.0.1", tcpPort);
    if (link.InitComm(port, 19200, 8, 0, 2.0f, 2048, 2048) == 0) {
        std::fprintf(stderr, "kvd-bench-link: cannot open %s: %s\n", port.c_str(),
                     link.lastError().c_str());
        return false;
    }
    return true;
}

void reportFailures(const char* what, const Samples& s, int& exitCode) {
    if (s.failures == 0)
        return;
    std::printf("  %s: %d failed exchange(s), first: %s\n", what, s.failures,
                s.firstFailure.c_str());
    exitCode = 1;
}

struct OwnCase {
    const char* label;
    bool tcp;
    ReplyShape shape;
};

int benchOwnPeer(int iterations) {
    const OwnCase cases[] = {
        {"pty", false, ReplyShape::Whole},
        {"pty/split", false, ReplyShape::Split},
        {"tcp", true, ReplyShape::Whole},
        {"tcp/split", true, ReplyShape::Split},
    };
    int exitCode = 0;
    std::printf("Peer of this program (reply written at once; /split: %zu bytes, %lld ms pause, "
                "then %zu)\n",
                kSplitFirst, static_cast<long long>(kSplitGap.count()), kReplySize - kSplitFirst);
    std::printf("  last byte -> return: from the peer's write() of the last reply byte "
                "returning to CommandSend returning;\n"
                "    below 0 when the peer thread was held up after its write() while the link "
                "had already returned\n");
    printHeader();
    for (const OwnCase& c : cases) {
        std::string error;
        const auto exchanges = static_cast<std::size_t>(kWarmup + iterations);
        std::unique_ptr<Peer> peer = c.tcp ? Peer::onTcp(c.shape, exchanges, &error)
                                           : Peer::onPty(c.shape, exchanges, &error);
        if (!peer) {
            std::fprintf(stderr, "kvd-bench-link: %s: %s\n", c.label, error.c_str());
            return 1;
        }
        kvd::SerialLink link;
        if (!openLink(link, peer->port(), peer->tcpPort()))
            return 1;
        const Samples s = runReads(link, peer.get(), iterations);
        link.Close();
        printRow(c.label, "CommandSend", s.callUs);
        printRow(c.label, "last byte -> return", s.lagUs);
        printRow(c.label, "peer write() of last bytes", s.writeUs);
        reportFailures(c.label, s, exitCode);
        if (peer->badRequests() != 0) {
            std::printf("  %s: %zu request(s) differed from the 30-register read\n", c.label,
                        peer->badRequests());
            exitCode = 1;
        }
    }
    return exitCode;
}

int benchSimulator(int iterations) {
    std::printf("\nDrive simulator (kvd::sim::Simulator, station 1, no line pacing)\n");
    kvd::sim::Simulator sim(kvd::sim::Options{});
    std::string error;
    if (!sim.valid(&error)) {
        std::printf("  skipped: %s\n", error.c_str());
        return 0;
    }
    if (!sim.startPty({}, &error) || !sim.startTcp("127.0.0.1", 0, false, &error)) {
        std::printf("  skipped: %s\n", error.c_str());
        return 0;
    }
    int exitCode = 0;
    printHeader();
    const struct {
        const char* label;
        std::string port;
    } cases[] = {{"pty", sim.devicePath()}, {"tcp", "TCPIP"}};
    for (const auto& c : cases) {
        kvd::SerialLink link;
        if (!openLink(link, c.port, sim.tcpPort()))
            return 1;
        const Samples s = runReads(link, nullptr, iterations);
        link.Close();
        printRow(c.label, "CommandSend", s.callUs);
        reportFailures(c.label, s, exitCode);
    }
    return exitCode;
}

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: kvd-bench-link [--iterations N]\n"
                 "  Times kvd::SerialLink::CommandSend of a 30-register read on a "
                 "pseudo-terminal and on TCP loopback.\n"
                 "  --iterations N   measured exchanges per row (default %d)\n",
                 kDefaultIterations);
}

bool parseCount(const char* text, int& out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 1 || v > 10'000'000)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int iterations = kDefaultIterations;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            usage(stdout);
            return 0;
        }
        const char* value = nullptr;
        if (a == "--iterations" && i + 1 < argc)
            value = argv[++i];
        else if (a.starts_with("--iterations="))
            value = argv[i] + std::strlen("--iterations=");
        if (!value || !parseCount(value, iterations)) {
            std::fprintf(stderr, "kvd-bench-link: bad argument: %s\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }

    std::printf("kvd-bench-link: kvd::SerialLink::CommandSend, %d-register read (request %zu "
                "bytes, reply %zu bytes)\n",
                kCount, kRequestSize, kReplySize);
    std::printf("%d measured exchanges per row after %d warm-up; a pseudo-terminal ignores the "
                "baud rate\n\n",
                iterations, kWarmup);
    std::fflush(stdout);

    const auto start = Clock::now();
    int rc = benchOwnPeer(iterations);
    std::fflush(stdout);
    rc = std::max(rc, benchSimulator(iterations));
    std::printf("\ntotal %.1f s\n", std::chrono::duration<double>(Clock::now() - start).count());
    return rc;
}
