// The only code that touches a file descriptor of the drive link. A transport moves bytes;
// framing lives above it, so the serial line and the TCP link to the Ethernet module carry
// exactly the same frames.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kvd {

using Clock = std::chrono::steady_clock;

class Transport {
public:
    virtual ~Transport() = default;

    // Sends all bytes before the deadline; false on error, hang-up or time-out.
    virtual bool send(const std::uint8_t* data, std::size_t size, Clock::time_point deadline) = 0;
    // Waits for at least one byte until the deadline, then reads what is there (at most
    // `size`). Returns the count, 0 on time-out, -1 when the peer or device is gone.
    virtual long receive(std::uint8_t* data, std::size_t size, Clock::time_point deadline) = 0;
    // Drops whatever has arrived and not been read (a late reply of an earlier exchange).
    virtual void purge() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Seconds one byte takes on the wire; 0 where the line speed means nothing (TCP).
    virtual double byteTime() const { return 0.0; }
};

struct SerialParams {
    int baud = 19200;
    int dataBits = 8;
    int parity = 0; // 0 none, 1 odd, 2 even
    int stopBits = 2;
};

// A tty (on-board port, USB adapter, pseudo-terminal). Returns null when it cannot be opened
// or configured; nothing is left open then. `error` receives the reason.
std::unique_ptr<Transport> openSerialTransport(const std::string& device, const SerialParams& p,
                                               std::string* error = nullptr);

// A TCP connection (IPv4) carrying raw RTU frames, as the Ethernet module does.
std::unique_ptr<Transport> openTcpTransport(const std::string& host, int port,
                                            std::chrono::milliseconds connectTimeout,
                                            std::string* error = nullptr);

} // namespace kvd
