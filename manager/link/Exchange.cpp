#include "Exchange.h"

#include <thread>

namespace kvd {
namespace {

LinkError send(SerialLink& link, const std::vector<std::uint8_t>& request,
               std::vector<std::uint8_t>& reply, Pacing pacing) {
    const int r = pacing == Pacing::Paced
                      ? link.PacedCommandSend(request.data(), static_cast<int>(request.size()),
                                              reply.data(), static_cast<int>(reply.size()))
                      : link.CommandSend(request.data(), static_cast<int>(request.size()),
                                         reply.data(), static_cast<int>(reply.size()));
    return rtu::acceptReply(static_cast<LinkError>(r), reply, request[1]);
}

} // namespace

LinkError readRegisters(SerialLink& link, std::uint8_t station, std::uint16_t start, int count,
                        std::vector<std::uint16_t>& words, Pacing pacing) {
    if (count < 1 || count > rtu::kMaxReadCount)
        return LinkCommError;
    std::vector<std::uint8_t> reply(rtu::readReplyLength(count));
    const LinkError e = send(
        link, rtu::readRequest(station, start, static_cast<std::uint16_t>(count)), reply, pacing);
    if (e != LinkOk)
        return e;
    words.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        words[static_cast<std::size_t>(k)] = rtu::replyWord(reply, k);
    return LinkOk;
}

LinkError writeRegister(SerialLink& link, std::uint8_t station, std::uint16_t reg,
                        std::uint16_t value, Pacing pacing) {
    std::vector<std::uint8_t> reply(rtu::writeReplyLength());
    return send(link, rtu::writeSingleRequest(station, reg, value), reply, pacing);
}

LinkError writeRegisters(SerialLink& link, std::uint8_t station, std::uint16_t start,
                         std::span<const std::uint16_t> values, Pacing pacing) {
    if (values.empty() || values.size() > static_cast<std::size_t>(rtu::kMaxWriteCount))
        return LinkCommError;
    std::vector<std::uint8_t> reply(rtu::writeReplyLength());
    return send(link, rtu::writeMultipleRequest(station, start, values), reply, pacing);
}

void broadcastWrite(SerialLink& link, std::uint16_t reg, std::uint16_t value) {
    const auto frame = rtu::writeSingleRequest(rtu::kBroadcast, reg, value);
    link.Write(frame.data(), static_cast<int>(frame.size()), nullptr, nullptr, 800);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

} // namespace kvd
