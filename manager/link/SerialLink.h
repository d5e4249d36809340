// The one drive link of the program: a serial port or "TCPIP" to the Ethernet module.
// One exchange at a time goes through, from any thread; an exchange returns the moment
// the expected reply length has arrived.
#pragma once

#include "Transport.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kvd {

class SerialLink {
public:
    SerialLink();
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens the port ("COM3", "\\.\COM12", a device path, or "TCPIP" to the TCP peer).
    // Nonzero when open. An open link is closed first.
    int InitComm(const std::string& port, int baud, int dataBits, int parity, float stopBits,
                 int inQueue, int outQueue);

    // One request and its reply of exactly replyLength bytes: 0 OK, 1 CRC error,
    // 2 time-out, 3 communication error.
    int CommandSend(const std::uint8_t* request, int requestLength, std::uint8_t* reply,
                    int replyLength);
    // Waits 10 ms, then CommandSend: keeps polling windows from crowding a slow drive.
    int PacedCommandSend(const std::uint8_t* request, int requestLength, std::uint8_t* reply,
                         int replyLength);

    // Sends a frame without waiting for a reply (broadcast). Arguments mirror the serial
    // library's; `written` receives the count sent when given.
    void Write(const std::uint8_t* data, int size, unsigned long* written, void* overlapped,
               int timeoutMs);

    // More than 160 bytes asked: purge and return 0; else what has arrived, up to `size`.
    int Read(std::uint8_t* data, int size);
    int CheckReplyCrc(const std::uint8_t* data, int length) const;
    void Close();

    // Module address assignment; the module search lands with the Ethernet module support.
    int setIPAddress(const std::string& ip, const std::string& mac);

    // Where "TCPIP" connects: the Ethernet module's address.
    void setTcpPeer(const std::string& host, int port);
    std::string tcpPeerHost() const;
    int tcpPeerPort() const;

    bool isOpen() const;
    std::string portName() const;
    int receivedCount() const; // bytes received by the last exchange
    std::string lastError() const;

    // Time the link waits for a reply beyond the reply's own wire time.
    void setReplyTimeout(std::chrono::milliseconds t);
    std::chrono::milliseconds replyTimeout() const;

    static constexpr int kTcpConnectTimeoutMs = 3000;
    static constexpr int kDefaultReplyTimeoutMs = 500;
    static constexpr int kDefaultModulePort = 502;

private:
    int exchange(const std::uint8_t* request, int requestLength, std::uint8_t* reply,
                 int replyLength);

    mutable std::mutex mutex_; // one exchange at a time, whichever thread asks
    std::unique_ptr<Transport> transport_;
    std::string port_;
    std::string tcpHost_;
    int tcpPort_ = kDefaultModulePort;
    int received_ = 0;
    std::string lastError_;
    std::chrono::milliseconds replyTimeout_{kDefaultReplyTimeoutMs};
};

} // namespace kvd
