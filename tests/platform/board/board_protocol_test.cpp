// The virtual board's own side of the protocol: splitting the program's byte stream into
// requests, and the state report the program scans as text.

#include "boardmodel.h"
#include "boardprotocol.h"
#include "cabinetstate.h"

#include <gtest/gtest.h>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

TEST(RequestParser, SplitsTheStreamIntoRequests)
{
    struct Case {
        const char* name;
        std::vector<QByteArray> pieces;
        std::vector<QByteArray> expected;
        int badFrames;
    };
    const QByteArray lightOff = hex("68 A0 F2 01 C1 FA");
    const QByteArray handshake = hex("68 A0 A1 00 69");
    const Case cases[] = {
        {"one frame", {lightOff}, {lightOff}, 0},
        {"two frames in one read", {lightOff + handshake}, {lightOff, handshake}, 0},
        {"frame split over three reads", {lightOff.left(1), lightOff.mid(1, 3), lightOff.mid(4)}, {lightOff}, 0},
        {"noise before the start pair", {hex("00 68 17 A0") + handshake}, {handshake}, 0},
        {"bad checksum, then a good frame", {hex("68 A0 F2 01 C1 FB") + handshake}, {handshake}, 1},
        {"incomplete frame waits", {lightOff.left(5)}, {}, 0},
    };
    for (const Case& c : cases) {
        vboard::RequestParser parser;
        std::vector<QByteArray> frames;
        int bad = 0;
        for (const QByteArray& piece : c.pieces) {
            const auto result = parser.feed(piece);
            for (const auto& request : result.requests)
                frames.push_back(request.frame);
            bad += result.badFrames;
        }
        EXPECT_EQ(frames, c.expected) << c.name;
        EXPECT_EQ(bad, c.badFrames) << c.name;
    }
}

TEST(RequestParser, KeepsCodeAndData)
{
    vboard::RequestParser parser;
    const auto result = parser.feed(hex("68 A0 B2 02 03 E8 93"));
    ASSERT_EQ(result.requests.size(), 1u);
    EXPECT_EQ(result.requests[0].code, 0xB2);
    EXPECT_EQ(result.requests[0].data, hex("03 E8"));
}

class NullOutput : public vboard::BoardOutput {
public:
    void send(const QByteArray&) override {}
    void after(int, std::function<void()>) override {}
};

// The program finds the door by searching the report's hexadecimal text for "d0" and "d1" and
// reads the cover at text position 28: no other byte, the checksum included, may spell a door.
TEST(StateReport, SpellsTheDoorOnlyOnceAndTheCoverAtByte14)
{
    NullOutput out;
    vboard::BoardModel model(out);
    auto& cabinet = vcab::CabinetState::instance();
    for (int door = 0; door < 2; ++door) {
        for (int cover = 0; cover < 2; ++cover) {
            for (int plate = 0xA1; plate <= 0xA5; ++plate) {
                for (int filter = 0; filter <= 6; ++filter) {
                    vcab::CabinetSnapshot s;
                    s.doorOpen = door;
                    s.coverPlaced = cover;
                    s.plateType = plate;
                    s.filterPos = filter;
                    cabinet.reset(s);
                    const QByteArray text = model.stateReport().toHex();
                    const QByteArray state = QByteArray::number(door) + "/" + QByteArray::number(cover) + "/"
                        + QByteArray::number(plate, 16) + "/" + QByteArray::number(filter);
                    EXPECT_EQ(text.contains("d0"), bool(door)) << state.constData() << " " << text.constData();
                    EXPECT_EQ(text.contains("d1"), !door) << state.constData() << " " << text.constData();
                    EXPECT_EQ(text.mid(28, 2), QByteArray(cover ? "c1" : "c0")) << state.constData();
                }
            }
        }
    }
    cabinet.reset();
}

} // namespace
