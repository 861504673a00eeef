// The reply decoder takes whatever bytes the board (or line noise) delivers: seeded random and
// mutated replies must decode to a known status and never crash or read past the bytes.

#include "boardreply.h"
#include "modbusmaster.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// A reply changed the way a noisy line changes one: bytes flipped, dropped, doubled, cut or
// joined with another.
QByteArray mutate(QByteArray bytes, std::mt19937& rng)
{
    std::uniform_int_distribution<int> kind(0, 4);
    std::uniform_int_distribution<int> byte(0, 255);
    const int steps = 1 + int(rng() % 4);
    for (int s = 0; s < steps; ++s) {
        const int at = bytes.isEmpty() ? 0 : int(rng() % uint32_t(bytes.size()));
        switch (kind(rng)) {
        case 0:
            if (!bytes.isEmpty())
                bytes[at] = char(byte(rng));
            break;
        case 1:
            bytes.remove(at, 1);
            break;
        case 2:
            bytes.insert(at, bytes.mid(at, 1 + int(rng() % 3)));
            break;
        case 3:
            bytes.truncate(at);
            break;
        default:
            bytes.append(boardReply(quint8(byte(rng)), quint8(byte(rng) % 3), QByteArray(int(rng() % 3), 'x')));
            break;
        }
    }
    return bytes;
}

void expectKnownStatus(const QByteArray& reply, const QByteArray& sent)
{
    const int status = int(ModbusMaster::parseReply(reply, sent));
    ASSERT_GE(status, int(ReceiveFail)) << reply.toHex().constData();
    ASSERT_LE(status, int(FilterFinished)) << reply.toHex().constData();
}

} // namespace

TEST(ModbusReplyFuzz, RandomBytesDecodeToAKnownStatus)
{
    std::mt19937 rng(20261211);
    const QByteArray sent = ModbusMaster::packFrame(CmdMainLight, 1, PowerOn);
    for (int round = 0; round < 4000; ++round) {
        QByteArray reply(int(rng() % 40), '\0');
        for (char& c : reply)
            c = char(rng());
        // Half of them look like the start of a reply, so the later checks are reached too.
        if (round % 2 == 0 && reply.size() >= 3) {
            reply[0] = char(0x68);
            reply[reply.size() - 1] = '<';
            reply[reply.size() - 2] = '<';
        }
        expectKnownStatus(reply, sent);
        expectKnownStatus(reply, QByteArray());
    }
}

TEST(ModbusReplyFuzz, MutatedRepliesDecodeToAKnownStatus)
{
    std::mt19937 rng(7);
    const std::vector<QByteArray> seeds = {
        boardReply(0xA1, 0, QByteArray()),      boardReply(0xD0, 0, QByteArray()),
        boardReply(0xEE, 0, QByteArray()),      boardReply(0xF4, 1, QByteArray("\xA2", 1)),
        boardReply(0xB2, 2, QByteArray("\x0B\xB8", 2)), boardReply(0xF2, 2, QByteArray("\x01\x02\x03", 3)),
    };
    const QByteArray sent = ModbusMaster::packFrame(CmdMainLight, 1, PowerOn);
    for (int round = 0; round < 4000; ++round) {
        const QByteArray& seed = seeds[size_t(round) % seeds.size()];
        expectKnownStatus(mutate(seed, rng), sent);
    }
    // The sound seeds themselves still decode as the board meant them.
    EXPECT_EQ(ModbusMaster::parseReply(seeds[0], sent), HandShake);
    EXPECT_EQ(ModbusMaster::parseReply(seeds[2], sent), ReSendCmd);
    EXPECT_EQ(ModbusMaster::parseReply(seeds[4], sent), MSetZoom);
}

// The splitter of what the line delivered: every piece it hands on is a sound reply taken from
// the bytes, and sound replies inside noise are all found, in order.
TEST(ModbusReplyFuzz, WholeRepliesAreFoundInNoise)
{
    std::mt19937 rng(4242);
    const std::vector<QByteArray> sound = {
        boardReply(0xD0, 0, QByteArray()), boardReply(0xAA, 0x0A, QByteArray("\xd1\xa1\x11\0\0\0\0\0\0\xc0", 10)),
        boardReply(0xB1, 2, QByteArray("<<", 2)), boardReply(0xFA, 0, QByteArray())};
    for (int round = 0; round < 3000; ++round) {
        QByteArray line;
        QList<QByteArray> planted;
        const int pieces = int(rng() % 6);
        for (int p = 0; p < pieces; ++p) {
            QByteArray noise(int(rng() % 80), '\0');
            // Heavy in start bytes, but never a whole head: noise that happens to hold a frame
            // head and a matching checksum is no noise.
            for (char& c : noise) {
                c = char(rng() % 4 == 0 ? 0x68 : rng());
                if (quint8(c) == 0xA0)
                    c = char(0xA1);
            }
            line += noise;
            if (rng() % 2) {
                planted.append(sound[rng() % sound.size()]);
                line += planted.last();
            }
        }
        if (round % 3 == 0)
            line = mutate(line, rng);
        const QList<QByteArray> found = ModbusMaster::wholeReplies(line);
        int at = 0;
        for (const QByteArray& reply : found) {
            ASSERT_LE(reply.size(), ModbusMaster::kLongestReply);
            ASSERT_NE(ModbusMaster::parseReply(reply, QByteArray()), ReceiveFail) << reply.toHex().constData();
            at = line.indexOf(reply, at);
            ASSERT_GE(at, 0);
            at += reply.size();
        }
        // Unmutated lines give back every planted reply (noise may add a chance one).
        if (round % 3 != 0) {
            int next = 0;
            for (const QByteArray& reply : found)
                if (next < planted.size() && reply == planted[next])
                    ++next;
            EXPECT_EQ(next, planted.size()) << line.toHex().constData();
        }
    }
}
