#include "Simulator.h"

#include "Bus.h"
#include "Framer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <list>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <set>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace kvd::sim {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kSearchAnswerSize = 30;
constexpr std::size_t kMacOffset = 24;

std::string hex(const std::uint8_t* data, std::size_t size) {
    std::string s;
    char b[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(b, sizeof b, i ? " %02x" : "%02x", data[i]);
        s += b;
    }
    return s;
}

std::string errnoText(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// A dotted IPv4 address or "localhost"; names are not looked up, so nothing asks the network.
bool parseHost(const std::string& host, in_addr& out, std::string* error) {
    const std::string h = host == "localhost" ? "127.0.0.1" : host;
    if (inet_pton(AF_INET, h.c_str(), &out) != 1) {
        if (error)
            *error = "not an IPv4 address: " + host;
        return false;
    }
    return true;
}

bool isLoopback(const in_addr& a) {
    return (ntohl(a.s_addr) >> 24) == 127;
}

int boundPort(int fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return 0;
    return ntohs(a.sin_port);
}

// A host that parses, is loopback unless remote is allowed, and a port in range.
bool checkEndpoint(const std::string& host, int port, bool allowRemote, const char* what,
                   in_addr& addr, std::string* error) {
    if (!parseHost(host, addr, error))
        return false;
    if (!isLoopback(addr) && !allowRemote) {
        if (error)
            *error = std::string(what) + " is served on loopback only: " + host;
        return false;
    }
    if (port < 0 || port > 65535) {
        if (error)
            *error = "port out of range";
        return false;
    }
    return true;
}

// A non-blocking socket bound to addr:port (listening for a stream); -1 with `error` set.
// Address reuse lets a searcher share the UDP port on the same machine.
int bindSocket(int type, in_addr addr, int port, const std::string& what, std::string* error) {
    int fd = ::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr = addr;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd < 0 || setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        (type == SOCK_STREAM && ::listen(fd, 8) != 0)) {
        if (error)
            *error = errnoText(what + ":" + std::to_string(port));
        closeFd(fd);
        return -1;
    }
    return fd;
}

struct Pending {
    Clock::time_point due;
    Frame bytes;
};

struct Endpoint {
    int fd = -1;
    bool pty = false;
    RtuFramer framer;
    std::deque<Pending> out;
    Clock::time_point lineFree{};
    bool closed = false;
};

} // namespace

struct Simulator::Impl {
    explicit Impl(const Options& o) : options(o) {}

    const Options& options;
    std::mutex mu;
    Bus bus;
    std::string invalid; // why the simulator cannot run; empty when it can

    std::thread thread;
    bool running = false;
    bool stopped = false;
    int wakeFd = -1;

    int ptyMaster = -1;
    int ptySlave = -1; // held open so the line stays up between clients
    std::string ptyPath;
    std::string link;
    int tcpListen = -1;
    int tcpPort = 0;
    int udpFd = -1;
    int udpPort = 0;
    std::list<Endpoint> endpoints;

    std::chrono::microseconds charTime() const {
        if (options.baud <= 0)
            return 0us;
        return std::chrono::microseconds(11'000'000LL / options.baud);
    }
    std::chrono::microseconds silence() const {
        // The line's 3.5 characters, but never so short that a writer's scheduling hiccup
        // splits one request into two.
        return std::max(std::chrono::microseconds(charTime() * 7 / 2),
                        std::chrono::microseconds(15ms));
    }

    void trace(const std::string& line) const {
        if (options.trace)
            options.trace(line);
    }

    void wake() const {
        const std::uint64_t one = 1;
        if (wakeFd >= 0)
            (void)!::write(wakeFd, &one, sizeof one);
    }

    bool ensureThread(std::string* error) {
        if (!invalid.empty()) {
            if (error)
                *error = invalid;
            return false;
        }
        if (stopped) {
            if (error)
                *error = "the simulator has been stopped";
            return false;
        }
        if (running)
            return true;
        wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (wakeFd < 0) {
            if (error)
                *error = errnoText("eventfd");
            return false;
        }
        running = true;
        thread = std::thread([this] { loop(); });
        return true;
    }

    Endpoint& addEndpoint(int fd, bool pty) {
        endpoints.push_back(Endpoint{fd, pty, RtuFramer(silence()), {}, {}, false});
        return endpoints.back();
    }

    void schedule(Endpoint& ep, const Answer& a, std::size_t requestSize, Clock::time_point now) {
        const auto ct = charTime();
        // On a real line the drive hears the request's last byte only after its wire time,
        // and keeps the line quiet for 3.5 characters before it answers.
        Clock::time_point start = now + std::chrono::milliseconds(a.delayMs) +
                                  ct * static_cast<long>(requestSize) + ct * 7 / 2;
        start = std::max(start, ep.lineFree);
        if (ct == 0us) {
            ep.out.push_back(Pending{start, a.reply});
            ep.lineFree = start;
            return;
        }
        if (!ep.pty) {
            // The module passes the reply on once it has come off the drive's line.
            const auto done = start + ct * static_cast<long>(a.reply.size());
            ep.out.push_back(Pending{done, a.reply});
            ep.lineFree = done;
            return;
        }
        for (std::size_t k = 0; k < a.reply.size(); ++k)
            ep.out.push_back(Pending{start + ct * static_cast<long>(k + 1), Frame{a.reply[k]}});
        ep.lineFree = start + ct * static_cast<long>(a.reply.size());
    }

    void handleFrames(Endpoint& ep, Clock::time_point now) {
        while (auto frame = ep.framer.next(now)) {
            trace("rx " + hex(frame->data(), frame->size()));
            const auto answer = bus.handle(*frame, now);
            if (!answer) {
                trace("   (no answer)");
                continue;
            }
            trace("tx " + hex(answer->reply.data(), answer->reply.size()) +
                  (answer->delayMs ? " (after " + std::to_string(answer->delayMs) + " ms)" : ""));
            schedule(ep, *answer, frame->size(), now);
        }
    }

    void readEndpoint(Endpoint& ep, Clock::time_point now) {
        std::uint8_t buf[512];
        for (;;) {
            const ssize_t n = ::read(ep.fd, buf, sizeof buf);
            if (n > 0) {
                ep.framer.feed(buf, static_cast<std::size_t>(n), now);
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                if (!ep.pty)
                    ep.closed = true; // the client went away
                return;
            }
            if (errno != EINTR)
                return;
        }
    }

    void flush(Endpoint& ep, Clock::time_point now) {
        while (!ep.out.empty() && ep.out.front().due <= now) {
            Frame& bytes = ep.out.front().bytes;
            const ssize_t n = ep.pty ? ::write(ep.fd, bytes.data(), bytes.size())
                                     : ::send(ep.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                    return;
                if (!ep.pty)
                    ep.closed = true;
                ep.out.clear();
                return;
            }
            bytes.erase(bytes.begin(), bytes.begin() + n);
            if (!bytes.empty())
                return;
            ep.out.pop_front();
        }
    }

    void acceptClients() {
        for (;;) {
            const int fd = accept4(tcpListen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                return;
            const int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            addEndpoint(fd, false);
            trace("tcp client connected");
        }
    }

    void answerSearch() {
        for (;;) {
            std::uint8_t buf[1024];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n =
                recvfrom(udpFd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0)
                return;
            if (n < 4 || buf[0] != 0 || buf[1] != 0 || buf[2] != 0 || buf[3] != 0xF6)
                continue;
            std::uint8_t answer[kSearchAnswerSize] = {};
            answer[3] = 0xF7;
            std::memcpy(answer + kMacOffset, options.mac.data(), options.mac.size());
            sendto(udpFd, answer, sizeof answer, MSG_NOSIGNAL, reinterpret_cast<sockaddr*>(&from),
                   len);
            char ip[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
            trace(std::string("udp search answered to ") + ip + ":" +
                  std::to_string(ntohs(from.sin_port)));
        }
    }

    void loop() {
        std::vector<pollfd> fds;
        std::vector<Endpoint*> eps;
        for (;;) {
            int timeoutMs = -1;
            {
                std::lock_guard lock(mu);
                if (!running)
                    return;
                fds.clear();
                eps.clear();
                fds.push_back({wakeFd, POLLIN, 0});
                if (tcpListen >= 0)
                    fds.push_back({tcpListen, POLLIN, 0});
                if (udpFd >= 0)
                    fds.push_back({udpFd, POLLIN, 0});
                const auto now = Clock::now();
                std::optional<Clock::time_point> next;
                const auto earliest = [&next](Clock::time_point t) {
                    if (!next || t < *next)
                        next = t;
                };
                for (Endpoint& ep : endpoints) {
                    short events = POLLIN;
                    if (!ep.out.empty()) {
                        if (ep.out.front().due <= now)
                            events |= POLLOUT;
                        else
                            earliest(ep.out.front().due);
                    }
                    if (auto d = ep.framer.silenceDeadline())
                        earliest(*d);
                    fds.push_back({ep.fd, events, 0});
                    eps.push_back(&ep);
                }
                if (next) {
                    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now);
                    timeoutMs = static_cast<int>(std::clamp<long long>(wait.count(), 0, INT_MAX));
                }
            }

            const int rc = ::poll(fds.data(), fds.size(), timeoutMs);
            if (rc < 0 && errno != EINTR)
                std::this_thread::sleep_for(10ms);

            std::lock_guard lock(mu);
            if (!running)
                return;
            const auto now = Clock::now();
            std::size_t i = 0;
            if (fds[i++].revents & POLLIN) {
                std::uint64_t v;
                (void)!::read(wakeFd, &v, sizeof v);
            }
            if (tcpListen >= 0 && i < fds.size() && fds[i].fd == tcpListen)
                if (fds[i++].revents & POLLIN)
                    acceptClients();
            if (udpFd >= 0 && i < fds.size() && fds[i].fd == udpFd)
                if (fds[i++].revents & POLLIN)
                    answerSearch();
            for (std::size_t k = 0; k < eps.size(); ++k) {
                Endpoint& ep = *eps[k];
                const short re = fds[i + k].revents;
                if (re & (POLLIN | POLLHUP | POLLERR))
                    readEndpoint(ep, now);
                if (!ep.closed)
                    handleFrames(ep, now);
                if (!ep.closed)
                    flush(ep, now);
            }
            for (auto it = endpoints.begin(); it != endpoints.end();) {
                if (it->closed) {
                    ::close(it->fd);
                    trace("tcp client disconnected");
                    it = endpoints.erase(it);
                } else {
                    ++it;
                }
            }
        }
    }

    void shutdown() {
        {
            std::lock_guard lock(mu);
            stopped = true;
            if (!running)
                return;
            running = false;
        }
        wake();
        if (thread.joinable())
            thread.join();
        for (Endpoint& ep : endpoints)
            if (!ep.pty)
                ::close(ep.fd);
        endpoints.clear();
        closeFd(ptyMaster);
        closeFd(ptySlave);
        closeFd(tcpListen);
        closeFd(udpFd);
        closeFd(wakeFd);
        if (!link.empty()) {
            struct stat st {};
            if (lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
                ::unlink(link.c_str());
        }
    }
};

Simulator::Simulator(Options options) : options_(std::move(options)), impl_(new Impl(options_)) {
    if (options_.stations.empty())
        options_.stations.push_back(StationConfig{});
    if (options_.region != 50 && options_.region != 60) {
        impl_->invalid = "the region must be 50 or 60";
        return;
    }
    const std::string dataDir = findDataFolder(options_.dataDir);
    std::map<int, std::shared_ptr<const ParameterSet>> sets;
    std::set<int> seen;
    const auto now = Clock::now();
    for (const StationConfig& c : options_.stations) {
        if (c.address < 1 || c.address > 32) {
            impl_->invalid = "station " + std::to_string(c.address) + " is not within 1..32";
            return;
        }
        if (!seen.insert(c.address).second) {
            impl_->invalid = "station " + std::to_string(c.address) + " is given twice";
            return;
        }
        auto& set = sets[c.modelCode];
        if (!set) {
            std::string error;
            set = loadParameterSet(dataDir, c.modelCode, &error);
            if (!set) {
                impl_->invalid = error;
                return;
            }
        }
        impl_->bus.add(c.address, Drive(c, set, options_.region, now));
    }
}

Simulator::~Simulator() {
    stop();
}

bool Simulator::valid(std::string* error) const {
    if (error)
        *error = impl_->invalid;
    return impl_->invalid.empty();
}

bool Simulator::startPty(const std::string& linkPath, std::string* error) {
    std::lock_guard lock(impl_->mu);
    if (impl_->ptyMaster >= 0) {
        if (error)
            *error = "the pseudo-terminal is already open";
        return false;
    }
    if (!impl_->ensureThread(error))
        return false;

    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128] = {};
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        if (error)
            *error = errnoText("pseudo-terminal");
        closeFd(master);
        return false;
    }
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (slave < 0 || tcgetattr(slave, &t) != 0) {
        if (error)
            *error = errnoText(name);
        closeFd(slave);
        closeFd(master);
        return false;
    }
    // Raw, so bytes pass unchanged even to a client that does not set the line up itself.
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    if (!linkPath.empty()) {
        struct stat st {};
        if (lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                if (error)
                    *error = linkPath + " exists and is not a symbolic link";
                closeFd(slave);
                closeFd(master);
                return false;
            }
            ::unlink(linkPath.c_str());
        }
        if (::symlink(name, linkPath.c_str()) != 0) {
            if (error)
                *error = errnoText("symbolic link " + linkPath);
            closeFd(slave);
            closeFd(master);
            return false;
        }
        impl_->link = linkPath;
    }
    impl_->ptyMaster = master;
    impl_->ptySlave = slave;
    impl_->ptyPath = name;
    impl_->addEndpoint(master, true);
    impl_->wake();
    return true;
}

std::string Simulator::devicePath() const {
    std::lock_guard lock(impl_->mu);
    return impl_->ptyPath;
}

std::string Simulator::linkPath() const {
    std::lock_guard lock(impl_->mu);
    return impl_->link;
}

bool Simulator::startTcp(const std::string& host, int port, bool allowRemote, std::string* error) {
    in_addr addr{};
    if (!checkEndpoint(host, port, allowRemote, "TCP", addr, error))
        return false;
    std::lock_guard lock(impl_->mu);
    if (impl_->tcpListen >= 0) {
        if (error)
            *error = "TCP is already listening";
        return false;
    }
    if (!impl_->ensureThread(error))
        return false;
    const int fd = bindSocket(SOCK_STREAM, addr, port, "TCP " + host, error);
    if (fd < 0)
        return false;
    impl_->tcpListen = fd;
    impl_->tcpPort = boundPort(fd);
    impl_->wake();
    return true;
}

int Simulator::tcpPort() const {
    std::lock_guard lock(impl_->mu);
    return impl_->tcpPort;
}

bool Simulator::startUdp(const std::string& host, int port, std::string* error) {
    in_addr addr{};
    // The search is broadcast on a real network; answering it there would put a phantom
    // module on somebody's list.
    if (!checkEndpoint(host, port, false, "UDP", addr, error))
        return false;
    std::lock_guard lock(impl_->mu);
    if (impl_->udpFd >= 0) {
        if (error)
            *error = "UDP is already bound";
        return false;
    }
    if (!impl_->ensureThread(error))
        return false;
    const int fd = bindSocket(SOCK_DGRAM, addr, port, "UDP " + host, error);
    if (fd < 0)
        return false;
    impl_->udpFd = fd;
    impl_->udpPort = boundPort(fd);
    impl_->wake();
    return true;
}

int Simulator::udpPort() const {
    std::lock_guard lock(impl_->mu);
    return impl_->udpPort;
}

void Simulator::stop() {
    impl_->shutdown();
}

bool Simulator::hasStation(int address) const {
    std::lock_guard lock(impl_->mu);
    return impl_->bus.has(address);
}

std::vector<int> Simulator::stationAddresses() const {
    std::lock_guard lock(impl_->mu);
    return impl_->bus.addresses();
}

StationControl Simulator::station(int address) {
    if (!hasStation(address))
        throw std::out_of_range("station " + std::to_string(address) + " is not on the bus");
    return StationControl(this, address);
}

// StationControl: every call takes the simulator's lock, so tests can stage states while
// the I/O thread serves the line.
template <class F> auto StationControl::with(F&& f) const {
    std::lock_guard lock(sim_->impl_->mu);
    Station* s = sim_->impl_->bus.find(address_);
    if (s == nullptr)
        throw std::out_of_range("station " + std::to_string(address_) + " is not on the bus");
    return f(*s, sim_->impl_->bus);
}

std::optional<std::uint16_t> StationControl::readRegister(std::uint16_t r) const {
    return with([&](Station& s, Bus&) { return s.drive.peek(r, Clock::now()); });
}

bool StationControl::setRegister(std::uint16_t r, std::uint16_t value) {
    return with([&](Station& s, Bus&) { return s.drive.poke(r, value); });
}

void StationControl::setFault(FaultMode mode) {
    with([&](Station& s, Bus& bus) {
        FaultSettings f = s.faults;
        f.mode = mode;
        bus.setFaults(s, f);
    });
}

void StationControl::setSilentAfter(int requests) {
    with([&](Station& s, Bus& bus) {
        FaultSettings f = s.faults;
        f.silentAfter = requests;
        bus.setFaults(s, f);
    });
}

void StationControl::setDelay(int ms) {
    with([&](Station& s, Bus& bus) {
        FaultSettings f = s.faults;
        f.delayMs = std::max(0, ms);
        bus.setFaults(s, f);
    });
}

FaultSettings StationControl::faults() const {
    return with([](Station& s, Bus&) { return s.faults; });
}

void StationControl::trip(std::uint16_t code) {
    with([&](Station& s, Bus&) { s.drive.trip(code, Clock::now()); });
}

void StationControl::clearFaults() {
    with([](Station& s, Bus& bus) {
        bus.setFaults(s, FaultSettings{});
        s.drive.clearTrip(Clock::now());
    });
}

void StationControl::setPassword(std::optional<std::uint16_t> password) {
    with([&](Station& s, Bus&) { s.drive.setPassword(password); });
}

void StationControl::setInput(Input input, std::uint16_t value) {
    with([&](Station& s, Bus&) { s.drive.setInput(input, value); });
}

std::uint64_t StationControl::requestCount() const {
    return with([](Station& s, Bus&) { return s.requests; });
}

std::uint64_t StationControl::broadcastCount() const {
    return with([](Station& s, Bus&) { return s.broadcasts; });
}

void StationControl::resetCounters() {
    with([](Station& s, Bus&) {
        s.requests = 0;
        s.broadcasts = 0;
    });
}

} // namespace kvd::sim
