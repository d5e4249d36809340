#include "SerialLink.h"

#include "ModbusRtu.h"
#include "PortNames.h"

#include <thread>

namespace kvd {

SerialLink::SerialLink() = default;

SerialLink::~SerialLink() {
    Close();
}

int SerialLink::InitComm(const std::string& port, int baud, int dataBits, int parity,
                         float stopBits, int /*inQueue*/, int /*outQueue*/) {
    std::lock_guard lock(mutex_);
    transport_.reset();
    port_.clear();
    std::unique_ptr<Transport> t;
    if (port == "TCPIP") {
        t = openTcpTransport(tcpHost_, tcpPort_, std::chrono::milliseconds(kTcpConnectTimeoutMs),
                             &lastError_);
    } else {
        const std::string device = portDevice(port);
        if (device.empty()) {
            lastError_ = port + ": not a serial port";
            return 0;
        }
        // The program passes 0 none, 1 odd, 2 even.
        SerialParams p{baud, dataBits, parity, stopBits >= 1.5f ? 2 : 1};
        t = openSerialTransport(device, p, &lastError_);
    }
    if (!t)
        return 0;
    transport_ = std::move(t);
    port_ = port;
    lastError_.clear();
    return 1;
}

int SerialLink::exchange(const std::uint8_t* request, int requestLength, std::uint8_t* reply,
                         int replyLength) {
    received_ = 0;
    if (!transport_ || !transport_->isOpen() || request == nullptr || reply == nullptr ||
        requestLength <= 0 || replyLength <= 0)
        return LinkCommError;

    // The reply's own wire time counts on top of the time-out, so a 30-register read at
    // 4800 baud is not cut short.
    const auto wire =
        std::chrono::duration<double>(transport_->byteTime() * (requestLength + replyLength));
    const auto deadline =
        Clock::now() + replyTimeout_ + std::chrono::ceil<std::chrono::milliseconds>(wire);

    transport_->purge(); // a late answer to an earlier exchange must not pass for this one
    if (!transport_->send(request, static_cast<std::size_t>(requestLength), deadline))
        return LinkCommError;

    int got = 0;
    while (got < replyLength) {
        const long n =
            transport_->receive(reply + got, static_cast<std::size_t>(replyLength - got), deadline);
        if (n < 0) {
            received_ = got;
            return LinkCommError;
        }
        if (n == 0)
            break;
        got += static_cast<int>(n);
        // A drive's exception answer is shorter than any expected reply; hand it up at once
        // so the caller's function-byte check reports it instead of waiting for the time-out.
        if (got >= static_cast<int>(rtu::exceptionReplyLength()) && (reply[1] & 0x80) &&
            rtu::isExceptionReply(reply, rtu::exceptionReplyLength())) {
            received_ = static_cast<int>(rtu::exceptionReplyLength());
            return LinkOk;
        }
    }
    received_ = got;
    if (got < replyLength)
        return LinkTimeout;
    return rtu::checkReplyCrc(reply, static_cast<std::size_t>(replyLength)) ? LinkOk : LinkCrcError;
}

int SerialLink::CommandSend(const std::uint8_t* request, int requestLength, std::uint8_t* reply,
                            int replyLength) {
    std::lock_guard lock(mutex_);
    return exchange(request, requestLength, reply, replyLength);
}

int SerialLink::PacedCommandSend(const std::uint8_t* request, int requestLength,
                                 std::uint8_t* reply, int replyLength) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return CommandSend(request, requestLength, reply, replyLength);
}

void SerialLink::Write(const std::uint8_t* data, int size, unsigned long* written,
                       void* /*overlapped*/, int timeoutMs) {
    std::lock_guard lock(mutex_);
    if (written)
        *written = 0;
    if (!transport_ || data == nullptr || size <= 0)
        return;
    transport_->purge();
    if (transport_->send(data, static_cast<std::size_t>(size),
                         Clock::now() + std::chrono::milliseconds(timeoutMs)) &&
        written)
        *written = static_cast<unsigned long>(size);
}

int SerialLink::Read(std::uint8_t* data, int size) {
    std::lock_guard lock(mutex_);
    if (!transport_ || data == nullptr || size <= 0)
        return 0;
    if (size > 160) {
        transport_->purge();
        return 0;
    }
    const long n = transport_->receive(data, static_cast<std::size_t>(size), Clock::now());
    return n > 0 ? static_cast<int>(n) : 0;
}

int SerialLink::CheckReplyCrc(const std::uint8_t* data, int length) const {
    return length < 2 ? 0 : rtu::checkReplyCrc(data, static_cast<std::size_t>(length));
}

void SerialLink::Close() {
    std::lock_guard lock(mutex_);
    transport_.reset();
    port_.clear();
}

int SerialLink::setIPAddress(const std::string&, const std::string&) {
    return 0;
}

void SerialLink::setTcpPeer(const std::string& host, int port) {
    std::lock_guard lock(mutex_);
    tcpHost_ = host;
    tcpPort_ = port;
}

std::string SerialLink::tcpPeerHost() const {
    std::lock_guard lock(mutex_);
    return tcpHost_;
}

int SerialLink::tcpPeerPort() const {
    std::lock_guard lock(mutex_);
    return tcpPort_;
}

bool SerialLink::isOpen() const {
    std::lock_guard lock(mutex_);
    return transport_ && transport_->isOpen();
}

std::string SerialLink::portName() const {
    std::lock_guard lock(mutex_);
    return port_;
}

int SerialLink::receivedCount() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::string SerialLink::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

void SerialLink::setReplyTimeout(std::chrono::milliseconds t) {
    std::lock_guard lock(mutex_);
    replyTimeout_ = t;
}

std::chrono::milliseconds SerialLink::replyTimeout() const {
    std::lock_guard lock(mutex_);
    return replyTimeout_;
}

} // namespace kvd
