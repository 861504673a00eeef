// Frame building and reply decoding of the board protocol, as plain tables.

#include "boardreply.h"
#include "modbusmaster.h"

#include <gtest/gtest.h>

#include <QList>

#include <random>
#include <vector>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray echoOf(const QByteArray& request)
{
    return QByteArray(1, char(0x68)) + request + "<<";
}

const QByteArray kLightOff = hex("68 A0 F2 01 C1 FA");

TEST(PackFrame, BuildsTheBoardsRequestFrames)
{
    struct Case {
        const char* name;
        QByteArray frame;
        QByteArray expected;
    };
    const QList<Data_Bits> none;
    const Case cases[] = {
        {"handshake", ModbusMaster::packFrame(CmdHandShake, 0, Data_Bits(0)), hex("68 A0 A1 00 69")},
        {"light off", ModbusMaster::packFrame(CmdMainLight, 1, PowerOff), kLightOff},
        {"two data bytes", ModbusMaster::packFrame(CmdMainLight, 2, {PowerOn, SourceOn}), hex("68 A0 F2 02 01 02 3B")},
        {"empty list", ModbusMaster::packFrame(CmdMainLight, 0, none), hex("68 A0 F2 00 3A")},
        {"blue percent 50", ModbusMaster::packFrame(CmdBluePercent, 1, Data_Bits(50)), hex("68 A0 F4 01 32 0F")},
        {"length 0 drops the data byte", ModbusMaster::packFrame(CmdResend, 0, Data_Bits(0x55)), hex("68 A0 EE 00 26")},
        {"length 0 drops the list", ModbusMaster::packFrame(CmdMainLight, 0, {PowerOn}), hex("68 A0 F2 00 3A")},
        // The length byte always tells the truth about the data that follows.
        {"length above the list", ModbusMaster::packFrame(CmdMainLight, 5, {PowerOn}), hex("68 A0 F2 01 01 3A")},
        {"length below the list", ModbusMaster::packFrame(CmdMainLight, 1, {PowerOn, SourceOn}), hex("68 A0 F2 01 01 3A")},
        {"single form, length 2", ModbusMaster::packFrame(CmdMainLight, 2, PowerOff), kLightOff},
        {"lens position 1000", ModbusMaster::packFrame(CmdSetZoom, 2, {Data_Bits(0x03), Data_Bits(0xE8)}), hex("68 A0 B2 02 03 E8 93")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.frame.toHex(' ').toStdString(), c.expected.toHex(' ').toStdString()) << c.name;
}

TEST(PackFrame, LongListsAreCutAt255Bytes)
{
    QList<Data_Bits> many;
    for (int i = 0; i < 300; ++i)
        many.append(Data_Bits(i & 0xFF));
    const QByteArray frame = ModbusMaster::packFrame(CmdGelLight, char(255), many);
    ASSERT_EQ(frame.size(), 5 + 255);
    EXPECT_EQ(quint8(frame.at(3)), 255);
}

TEST(ParseReply, DecodesEveryStatus)
{
    struct Case {
        const char* name;
        QByteArray reply;
        QByteArray sent;
        ModBusStatus expected;
    };
    const QByteArray other = hex("68 A0 F1 01 11 49");
    const Case cases[] = {
        {"wrong start byte", hex("69 68 A0 F2 01 C1 FA 3C 3C"), kLightOff, ReceiveFail},
        {"ends with <>", hex("68 68 A0 F2 01 C1 FA 3C 3E"), kLightOff, ReceiveFail},
        {"ends with ><", hex("68 68 A0 F2 01 C1 FA 3E 3C"), kLightOff, ReceiveFail},
        {"checksum one bit off", hex("68 68 A0 F2 01 C1 FB 3C 3C"), kLightOff, ReceiveFail},
        {"repeat request", boardReply(0xEE, 0), kLightOff, ReSendCmd},
        {"door opened", boardReply(0xD0, 0), kLightOff, DoorOpened},
        {"door closed", boardReply(0xD1, 0), kLightOff, DoorClosed},
        {"timed shut-down set", boardReply(0xCC, 1, hex("05")), kLightOff, TimedShutDown},
        {"timed shut-down done", boardReply(0xFF, 0), kLightOff, TimeOutShutDown},
        {"echo of another command", echoOf(kLightOff), other, ReportInitStatus},
        {"handshake", hex("68 68 A0 A1 00 69 3C 3C"), hex("68 A0 A1 00 69"), HandShake},
        {"handshake whatever was sent", boardReply(0xA1, 0), other, HandShake},
        {"echo of the command sent", hex("68 68 A0 F2 01 C1 FA 3C 3C"), kLightOff, NormalCmd},
        {"lens set focus", boardReply(0xB0, 2, hex("01 00")), kLightOff, MSetFocus},
        {"lens read focus", boardReply(0xB1, 2, hex("01 00")), kLightOff, MReadFocus},
        {"lens set zoom", boardReply(0xB2, 2, hex("03 E8")), kLightOff, MSetZoom},
        {"lens read zoom", boardReply(0xB3, 2, hex("03 E8")), kLightOff, MReadZoom},
        {"focus times", boardReply(0xB4, 0), kLightOff, SetFocusTimes},
        {"zoom times", boardReply(0xB5, 0), kLightOff, SetZoomTimes},
        {"iris times", boardReply(0xB6, 0), kLightOff, SetIrisTimes},
        {"blue set", boardReply(0xCF, 1, hex("01")), kLightOff, BlueSetted},
        {"plate type", boardReply(0xF1, 1, hex("A3")), kLightOff, PlateType},
        {"cover placed", boardReply(0xC1, 0), kLightOff, CutCoverPlaced},
        {"cover removed", boardReply(0xC0, 0), kLightOff, CutCoverRemoved},
        {"temperature alarm", boardReply(0xE1, 0), kLightOff, TempWarning},
        {"blue percentage set", boardReply(0xF4, 1, hex("32")), kLightOff, BluePercentSetted},
        {"filter finished", boardReply(0xFA, 0), kLightOff, FilterFinished},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModbusMaster::parseReply(c.reply, c.sent), c.expected) << c.name;
}

TEST(ParseReply, OrderOfTheRulesDecides)
{
    struct Case {
        const char* name;
        QByteArray reply;
        QByteArray sent;
        ModBusStatus expected;
    };
    const QByteArray plateQueryEcho = ModbusMaster::packFrame(CmdGelLight, 1, Data_Bits(0xA1));
    const Case cases[] = {
        {"blue percentage with a plate byte", boardReply(0xF4, 1, hex("A2")), kLightOff, PlateType},
        {"one-byte echo with a plate byte", echoOf(plateQueryEcho), plateQueryEcho, PlateType},
        {"status 2 with a times code goes to the echo test", boardReply(0xB4, 2), kLightOff, ReportInitStatus},
        {"status 0 with an unlisted code goes to the echo test", boardReply(0xB3, 0), kLightOff, ReportInitStatus},
        {"status above 2", boardReply(0xAA, 10, hex("D0 A1 11 00 00 00 00 00 00 C1")), kLightOff, ReportInitStatus},
        {"nothing sent yet", boardReply(0xAA, 10, hex("D0")), QByteArray(), NormalCmd},
        {"echo of the handshake", echoOf(hex("68 A0 A1 00 69")), kLightOff, HandShake},
        // In an eight-byte reply byte 5 is the checksum, not a data byte (here it is 0xA3).
        {"status 1 without data byte", hex("68 68 A0 6A 01 A3 3C 3C"), kLightOff, ReportInitStatus},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModbusMaster::parseReply(c.reply, c.sent), c.expected) << c.name;
}

TEST(ParseReply, RefusesWhatIsNoWholeFrame)
{
    const QByteArray good = echoOf(kLightOff);
    struct Case {
        const char* name;
        QByteArray reply;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"one byte", hex("68")},
        {"start and end only", hex("68 3C 3C")},
        {"seven bytes with a good checksum", hex("68 68 A0 A1 69 3C 3C")},
        {"frame followed by junk", good + hex("00 17")},
        {"two frames back to back", good + good},
        {"junk before the frame", hex("00") + good},
        {"garbage", QByteArray("\x68garbage<<", 10)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModbusMaster::parseReply(c.reply, kLightOff), ReceiveFail) << c.name;
}

TEST(ParseReply, LeavesTheCallersBytesAlone)
{
    const QByteArray reply = echoOf(kLightOff);
    const QByteArray copy = reply;
    ModbusMaster::parseReply(reply, kLightOff);
    EXPECT_EQ(reply, copy);
}

// Every length from 0 to 64 in an exactly sized buffer, so that a read past the end is a
// finding under the sanitizers.
TEST(ParseReply, EveryLengthStaysInsideTheBuffer)
{
    std::mt19937 random(7);
    for (int length = 0; length <= 64; ++length) {
        for (int variant = 0; variant < 4; ++variant) {
            std::vector<char> bytes(static_cast<size_t>(length));
            for (char& b : bytes)
                b = char(random());
            if (variant >= 1 && length > 0)
                bytes.front() = char(0x68);
            if (variant >= 2 && length >= 2)
                bytes[size_t(length) - 1] = bytes[size_t(length) - 2] = '<';
            if (variant == 3 && length >= 4) {
                quint8 sum = 0;
                for (int i = 1; i < length - 3; ++i)
                    sum ^= quint8(bytes[size_t(i)]);
                bytes[size_t(length) - 3] = char(sum);
            }
            const QByteArray reply = QByteArray::fromRawData(bytes.data(), length);
            const ModBusStatus status = ModbusMaster::parseReply(reply, kLightOff);
            EXPECT_GE(int(status), 0);
            EXPECT_LE(int(status), 22);
            if (length < 8) {
                EXPECT_EQ(status, ReceiveFail) << length;
            }
            if (variant == 3 && length >= 8) {
                EXPECT_NE(status, ReceiveFail) << length;
            }
        }
    }
}

// Random frames, half of them well formed: well-formed ones never decode as a failure,
// malformed ones always do.
TEST(ParseReply, RandomFramesDecodeToAStatus)
{
    std::mt19937 random(20261210);
    for (int i = 0; i < 200000; ++i) {
        const int length = int(random() % 48);
        std::vector<char> bytes(static_cast<size_t>(length));
        for (char& b : bytes)
            b = char(random());
        const bool wellFormed = length >= 8 && (random() & 1);
        if (wellFormed) {
            bytes.front() = char(0x68);
            bytes[size_t(length) - 1] = bytes[size_t(length) - 2] = '<';
            quint8 sum = 0;
            for (int k = 1; k < length - 3; ++k)
                sum ^= quint8(bytes[size_t(k)]);
            bytes[size_t(length) - 3] = char(sum);
        }
        std::vector<char> sent(size_t(random() % 8));
        for (char& b : sent)
            b = char(random());
        const ModBusStatus status = ModbusMaster::parseReply(QByteArray::fromRawData(bytes.data(), length),
                                                             QByteArray::fromRawData(sent.data(), int(sent.size())));
        ASSERT_GE(int(status), 0);
        ASSERT_LE(int(status), 22);
        if (wellFormed) {
            ASSERT_NE(status, ReceiveFail);
        }
    }
}

TEST(ModBusStatusText, TextsAndTheirInverse)
{
    const char* texts[] = {"Receive Fail", "ReSendCmd", "DoorOpened", "DoorClosed", "Timed ShutDown",
                           "TimeOut ShutDown", "Report InitStatus", "HandShake", "Normal Cmd", "MSetFocus",
                           "MReadFocus", "MSetZoom", "MReadZoom", "SetFocusTimes", "SetZoomTimes",
                           "SetIrisTimes", "BlueSetted"};
    for (int i = 0; i <= 16; ++i) {
        EXPECT_EQ(modBusStatusToString(i), QLatin1String(texts[i]));
        EXPECT_EQ(modBusStatusFromString(QLatin1String(texts[i])), i);
    }
    for (int value : {-1, 17, 22, 23, 1000})
        EXPECT_EQ(modBusStatusToString(value), QStringLiteral("Unknow ModBusStatus")) << value;
    EXPECT_EQ(modBusStatusFromString(QStringLiteral("handshake")), 23);
    EXPECT_EQ(modBusStatusFromString(QStringLiteral("Unknow ModBusStatus")), 23);
}

TEST(DataBitsText, EchoTextsOfTheDataBytes)
{
    struct Case {
        quint8 byte;
        const char* text;
    };
    const Case cases[] = {
        {0x01, "电源打开。"}, {0xC1, "电源关闭。"}, {0x1B, "近红外660开。"}, {0xCB, "近红外660关。"},
        {0x16, "滤光片715nm/840nm."}, {0x1A, "门弹出。"}, {0x27, "光源关闭。"}, {0x2C, "白光开。"},
        {0xA4, "黑色板。"}, {0x00, "未知Data_Bits。"}, {0x19, "未知Data_Bits。"}, {0xFF, "未知Data_Bits。"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dataBitsEchoText(c.byte), QString::fromUtf8(c.text)) << int(c.byte);
}

} // namespace
