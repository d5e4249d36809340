#include "Transport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace kvd {
namespace {

int msUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1 << 30));
}

void setError(std::string* error, const std::string& what) {
    if (error)
        *error = what + ": " + std::strerror(errno);
}

// Shared by serial and TCP: both are non-blocking descriptors waited on with poll().
class FdTransport : public Transport {
public:
    explicit FdTransport(int fd, bool socket) : fd_(fd), socket_(socket) {}
    ~FdTransport() override { close(); }

    bool send(const std::uint8_t* data, std::size_t size, Clock::time_point deadline) override {
        std::size_t done = 0;
        while (done < size) {
            if (fd_ < 0)
                return false;
            const ssize_t n = socket_ ? ::send(fd_, data + done, size - done, MSG_NOSIGNAL)
                                      : ::write(fd_, data + done, size - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return false;
            pollfd p{fd_, POLLOUT, 0};
            const int r = ::poll(&p, 1, msUntil(deadline));
            if (r == 0)
                return false;
            if (r < 0 && errno != EINTR)
                return false;
            if (r > 0 && (p.revents & (POLLERR | POLLNVAL)))
                return false;
        }
        return true;
    }

    long receive(std::uint8_t* data, std::size_t size, Clock::time_point deadline) override {
        if (fd_ < 0)
            return -1;
        for (;;) {
            const ssize_t n = ::read(fd_, data, size);
            if (n > 0)
                return static_cast<long>(n);
            if (n == 0 && socket_)
                return -1; // the module closed the connection
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return -1; // EIO: a USB adapter pulled, a pseudo-terminal's master gone
            // Nothing there yet (a tty in non-blocking raw mode reads 0): wait for more.
            if (Clock::now() >= deadline)
                return 0;
            const long w = waitOrGone(deadline);
            if (w <= 0)
                return w;
        }
    }

    void purge() override {
        if (fd_ < 0)
            return;
        if (!socket_)
            ::tcflush(fd_, TCIFLUSH);
        std::uint8_t sink[256];
        while (::read(fd_, sink, sizeof sink) > 0) {
        }
    }

    void close() override {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    bool isOpen() const override { return fd_ >= 0; }
    double byteTime() const override { return byteTime_; }
    void setByteTime(double t) { byteTime_ = t; }

private:
    // 1: readable, 0: time-out, -1: hang-up or error.
    long waitOrGone(Clock::time_point deadline) {
        for (;;) {
            pollfd p{fd_, POLLIN, 0};
            const int r = ::poll(&p, 1, msUntil(deadline));
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0)
                return -1;
            if (r == 0)
                return 0;
            // A tty that hung up reads 0 forever while it still reports POLLIN: treat the
            // hang-up as final. A socket reports its last data first, then reads 0.
            if ((p.revents & (POLLERR | POLLNVAL)) || (!socket_ && (p.revents & POLLHUP)))
                return -1;
            if (p.revents & (POLLIN | POLLHUP))
                return 1;
            return -1;
        }
    }

    int fd_;
    bool socket_;
    double byteTime_ = 0.0;
};

speed_t speedFor(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

} // namespace

std::unique_ptr<Transport> openSerialTransport(const std::string& device, const SerialParams& p,
                                               std::string* error) {
    const speed_t speed = speedFor(p.baud);
    if (speed == B0 || (p.dataBits != 7 && p.dataBits != 8)) {
        errno = EINVAL;
        setError(error, device);
        return nullptr;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        setError(error, device);
        return nullptr;
    }
    termios tio{};
    if (::isatty(fd) == 0 || ::tcgetattr(fd, &tio) != 0) {
        setError(error, device);
        ::close(fd);
        return nullptr;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | (p.dataBits == 7 ? CS7 : CS8);
    if (p.parity == 1)
        tio.c_cflag |= PARENB | PARODD;
    else if (p.parity == 2)
        tio.c_cflag |= PARENB;
    if (p.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        setError(error, device);
        ::close(fd);
        return nullptr;
    }
    ::ioctl(fd, TIOCEXCL); // one program on a port at a time; pseudo-terminals may refuse
    ::tcflush(fd, TCIOFLUSH);
    auto t = std::make_unique<FdTransport>(fd, false);
    const int bits = 1 + p.dataBits + (p.parity ? 1 : 0) + (p.stopBits == 2 ? 2 : 1);
    t->setByteTime(static_cast<double>(bits) / p.baud);
    return t;
}

std::unique_ptr<Transport> openTcpTransport(const std::string& host, int port,
                                            std::chrono::milliseconds connectTimeout,
                                            std::string* error) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port <= 0 || port > 65535 || ::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1) {
        errno = EINVAL;
        setError(error, host);
        return nullptr;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, "socket");
        return nullptr;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno != EINPROGRESS) {
            setError(error, host);
            ::close(fd);
            return nullptr;
        }
        const auto deadline = Clock::now() + connectTimeout;
        pollfd p{fd, POLLOUT, 0};
        int r;
        do {
            r = ::poll(&p, 1, msUntil(deadline));
        } while (r < 0 && errno == EINTR);
        int soErr = 0;
        socklen_t len = sizeof soErr;
        if (r <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soErr, &len) != 0 || soErr != 0) {
            errno = r == 0 ? ETIMEDOUT : (soErr ? soErr : errno);
            setError(error, host);
            ::close(fd);
            return nullptr;
        }
    }
    return std::make_unique<FdTransport>(fd, true);
}

} // namespace kvd
