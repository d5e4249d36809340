#include "link/ModbusRtu.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

using namespace kvd;
using Bytes = std::vector<std::uint8_t>;

TEST(ModbusRtu, CrcOfKnownFrames) {
    Bytes f{0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
    rtu::appendCrc(f);
    EXPECT_EQ(f, (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));
    EXPECT_EQ(rtu::checkReplyCrc(f.data(), f.size()), 1);
    f[3] ^= 1;
    EXPECT_EQ(rtu::checkReplyCrc(f.data(), f.size()), 0);
    EXPECT_EQ(rtu::checkReplyCrc(f.data(), 1), 0);
    EXPECT_EQ(rtu::checkReplyCrc(f.data(), 0), 0);
    // CRC of nothing is the start value: two bytes FF FF are a "valid" empty frame.
    const Bytes empty{0xFF, 0xFF};
    EXPECT_EQ(rtu::checkReplyCrc(empty.data(), 2), 1);
}

TEST(ModbusRtu, FrameLayouts) {
    EXPECT_EQ(rtu::readRequest(1, 0x0D00, 2).size(), 8u);
    EXPECT_EQ(rtu::readReplyLength(20), 45u);
    EXPECT_EQ(rtu::readReplyLength(30), rtu::kMaxReply);

    const std::uint16_t values[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xBEEF};
    const Bytes w = rtu::writeMultipleRequest(7, 0x0301, values);
    ASSERT_EQ(w.size(), 33u);
    EXPECT_EQ((Bytes{w.begin(), w.begin() + 7}), (Bytes{7, 0x10, 0x03, 0x01, 0x00, 12, 24}));
    EXPECT_EQ(w[29], 0xBE);
    EXPECT_EQ(w[30], 0xEF);
    EXPECT_EQ(rtu::checkReplyCrc(w.data(), w.size()), 1);
    const std::uint16_t max[23] = {};
    EXPECT_EQ(rtu::writeMultipleRequest(1, 0, max).size(), rtu::kMaxRequest);

    EXPECT_EQ(rtu::writeSingleRequest(0, 0x2501, 0x0012),
              (Bytes{0x00, 0x06, 0x25, 0x01, 0x00, 0x12, 0x52, 0xDA}));
}

TEST(ModbusRtu, ReplyWordsAndAcceptance) {
    const Bytes reply{1, 3, 4, 0x04, 0xB5, 0x00, 0x02, 0, 0};
    EXPECT_EQ(rtu::replyWord(reply, 0), 1205);
    EXPECT_EQ(rtu::replyWord(reply, 1), 2);
    EXPECT_EQ(rtu::replyWord(reply, 3), 0); // past the end: no read beyond the buffer
    EXPECT_EQ(rtu::replyWord(reply, -1), 0);

    const struct {
        LinkError in;
        Bytes reply;
        std::uint8_t function;
        LinkError out;
        int message;
    } cases[] = {
        {LinkOk, {1, 0x03}, 0x03, LinkOk, 0},
        {LinkOk, {1, 0x83}, 0x03, LinkCommError, ids::CommunicationError},
        {LinkOk, {1, 0x06}, 0x10, LinkCommError, ids::CommunicationError},
        {LinkCrcError, {1, 0x03}, 0x03, LinkCrcError, ids::CrcParityError},
        {LinkTimeout, {}, 0x03, LinkTimeout, ids::TimeOut},
        {LinkCommError, {}, 0x06, LinkCommError, ids::CommunicationError},
    };
    for (const auto& c : cases) {
        const LinkError e = rtu::acceptReply(c.in, c.reply, c.function);
        EXPECT_EQ(e, c.out);
        if (e != LinkOk) {
            EXPECT_EQ(rtu::linkErrorMessage(e), c.message);
        }
    }
}
