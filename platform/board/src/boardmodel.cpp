#include "boardmodel.h"

#include <algorithm>
#include <cstdlib>

namespace vboard {

namespace {

using vcab::CabinetSnapshot;
using vcab::CabinetState;

// Physical times of the cabinet at scale 1.
constexpr double kFilterBaseMs = 300.0;
constexpr double kFilterPerStepMs = 400.0;
constexpr double kLensBaseMs = 20.0;
constexpr double kLensPerUnitMs = 1.0;
constexpr int kLensStep = 10;  // one press of the focus or zoom step bytes

struct LampByte {
    quint8 on;
    quint8 off;
    uint32_t bit;
};

constexpr LampByte kLampBytes[] = {
    {0x01, 0xC1, vcab::LampPower},      {0x02, 0xC2, vcab::LampSource},
    {0x03, 0xC3, vcab::LampUV302_1},    {0x04, 0xC4, vcab::LampUV302_2},
    {0x05, 0xC5, vcab::LampUV254},      {0x06, 0xC6, vcab::LampUV365},
    {0x07, 0xC7, vcab::LampRed},        {0x08, 0xC8, vcab::LampGreen},
    {0x09, 0xC9, vcab::LampBlue},       {0x0A, 0xCA, vcab::LampNIR740},
    {0x1B, 0xCB, vcab::LampNIR660},     {0x20, 0x21, vcab::LampMiniWhite},
    {0x22, 0x23, vcab::LampMiniUV},     {0x24, 0x25, vcab::LampMiniBlue},
    {0x26, 0x27, vcab::LampRedLight},   {0x28, 0x29, vcab::LampGreenLight},
    {0x2A, 0x2B, vcab::LampBlueLight},  {0x2C, 0x2D, vcab::LampWhiteLight},
};

QByteArray bigEndian16(int value)
{
    QByteArray bytes;
    bytes.append(static_cast<char>((value >> 8) & 0xFF));
    bytes.append(static_cast<char>(value & 0xFF));
    return bytes;
}

int positionFrom(const QByteArray& data)
{
    int value = 0;
    for (int i = 0; i < data.size() && i < 2; ++i)
        value = (value << 8) | static_cast<quint8>(data.at(i));
    return std::clamp(value, 0, BoardModel::kLensMax);
}

} // namespace

BoardModel::BoardModel(BoardOutput& out)
    : m_out(out)
{
}

void BoardModel::execute(const Request& request)
{
    // Every request is echoed first; for some codes the echo itself is the answer (0xA1, 0xCC,
    // 0xF4, 0xB0, 0xB2), its length byte standing where a report keeps its status.
    m_out.send(echoFrame(request.frame));
    CabinetState& cabinet = CabinetState::instance();

    switch (request.code) {
    case 0xAA:
        m_out.send(stateReport());
        break;
    case 0xCC:
        m_shutDownMinutes = request.data.isEmpty() ? 0 : static_cast<quint8>(request.data.at(0));
        ++m_shutDownGeneration;
        if (m_shutDownMinutes > 0 && cabinet.snapshot().lamps != 0)
            armShutDown();
        break;
    case 0xF1:
    case 0xF2:
    case 0xF3:
        for (char byte : request.data)
            applyDataByte(static_cast<quint8>(byte), request.code);
        break;
    case 0xF4:
        if (!request.data.isEmpty()) {
            const int percent = std::min<int>(100, static_cast<quint8>(request.data.at(0)));
            cabinet.update([&](CabinetSnapshot& s) { s.bluePercent = percent; });
        }
        break;
    // The board calls its lens motors zoom (0xB2/0xB3) and focus (0xB0/0xB1); the zoom motor is
    // the one that focuses the image, so it drives serialFocus.
    case 0xB0:
        if (!request.data.isEmpty()) {
            const int position = positionFrom(request.data);
            cabinet.update([&](CabinetSnapshot& s) { s.serialZoom = position; });
        }
        break;
    case 0xB1:
        m_out.send(reportFrame(0xB1, 0x02, bigEndian16(cabinet.snapshot().serialZoom)));
        break;
    case 0xB2:
        if (!request.data.isEmpty())
            moveLens(positionFrom(request.data));
        break;
    case 0xB3:
        m_out.send(reportFrame(0xB3, 0x02, bigEndian16(cabinet.snapshot().serialFocus)));
        break;
    default:
        break;
    }
}

void BoardModel::applyDataByte(quint8 byte, quint8 code)
{
    CabinetState& cabinet = CabinetState::instance();
    for (const LampByte& lamp : kLampBytes) {
        if (byte == lamp.on) {
            cabinet.update([&](CabinetSnapshot& s) { s.lamps |= lamp.bit; });
            return;
        }
        if (byte == lamp.off) {
            // Cutting the power puts every lamp out.
            const uint32_t cleared = byte == 0xC1 ? ~0u : lamp.bit;
            cabinet.update([&](CabinetSnapshot& s) { s.lamps &= ~cleared; });
            return;
        }
    }
    if (byte >= 0x11 && byte <= 0x17) {
        turnFilter(byte - 0x11);
        return;
    }
    switch (byte) {
    case 0x00:
        m_out.send(reportFrame(code, 0x01, QByteArray(1, static_cast<char>(cabinet.snapshot().plateType))));
        break;
    case 0x18:
        turnFilter(0);
        break;
    case 0x1A:
        cabinet.update([](CabinetSnapshot& s) { s.doorOpen = true; });
        break;
    case 0x0D:
    case 0x0E: {
        const int step = byte == 0x0D ? kLensStep : -kLensStep;
        cabinet.update([&](CabinetSnapshot& s) { s.serialFocus = std::clamp(s.serialFocus + step, 0, kLensMax); });
        break;
    }
    case 0x0F:
    case 0x10: {
        const int step = byte == 0x0F ? kLensStep : -kLensStep;
        cabinet.update([&](CabinetSnapshot& s) { s.serialZoom = std::clamp(s.serialZoom + step, 0, kLensMax); });
        break;
    }
    default:
        break;  // iris steps and unknown bytes move nothing the cabinet models
    }
}

void BoardModel::turnFilter(int position)
{
    CabinetState& cabinet = CabinetState::instance();
    int from = 0;
    cabinet.update([&](CabinetSnapshot& s) {
        from = s.filterPos;
        s.filterTurning = true;
    });
    const unsigned generation = ++m_filterGeneration;
    const int travel = vcab::scaledMs(kFilterBaseMs + kFilterPerStepMs * std::abs(position - from));
    m_out.after(travel, [this, generation, position] {
        // A newer turn supersedes this one; only the last reports the end.
        if (generation != m_filterGeneration)
            return;
        CabinetState::instance().update([&](CabinetSnapshot& s) {
            s.filterPos = position;
            s.filterTurning = false;
        });
        m_out.send(reportFrame(ReportFilterDone, 0x00));
    });
}

void BoardModel::moveLens(int position)
{
    const int from = CabinetState::instance().snapshot().serialFocus;
    const unsigned generation = ++m_lensGeneration;
    const int travel = vcab::scaledMs(kLensBaseMs + kLensPerUnitMs * std::abs(position - from));
    m_out.after(travel, [this, generation, position] {
        if (generation != m_lensGeneration)
            return;
        CabinetState::instance().update([&](CabinetSnapshot& s) { s.serialFocus = position; });
        // The position report tells the program that the lens has arrived.
        m_out.send(reportFrame(0xB3, 0x02, bigEndian16(position)));
    });
}

void BoardModel::armShutDown()
{
    const unsigned generation = ++m_shutDownGeneration;
    m_out.after(vcab::scaledMs(m_shutDownMinutes * 60000.0), [this, generation] {
        if (generation != m_shutDownGeneration)
            return;
        CabinetState::instance().update([](CabinetSnapshot& s) { s.lamps = 0; });
        m_out.send(reportFrame(ReportShutDownDone, 0x00));
    });
}

void BoardModel::cabinetChanged(const CabinetSnapshot& before, const CabinetSnapshot& after)
{
    if (before.doorOpen != after.doorOpen)
        m_out.send(reportFrame(after.doorOpen ? ReportDoorOpened : ReportDoorClosed, 0x00));
    if (before.coverPlaced != after.coverPlaced)
        m_out.send(reportFrame(after.coverPlaced ? ReportCoverPlaced : ReportCoverRemoved, 0x00));
    if (!before.tempAlarm && after.tempAlarm)
        m_out.send(reportFrame(ReportTempAlarm, 0x00));
    if (before.lamps == 0 && after.lamps != 0 && m_shutDownMinutes > 0)
        armShutDown();
    else if (before.lamps != 0 && after.lamps == 0)
        ++m_shutDownGeneration;
}

QByteArray BoardModel::stateReport() const
{
    const CabinetSnapshot s = CabinetState::instance().snapshot();
    // Byte 14 of the whole frame (data byte 9) carries the cover; the program looks for the door
    // bytes D0/D1 anywhere in the frame's hexadecimal text, so no other byte may spell them.
    QByteArray data(10, char(0));
    data[0] = static_cast<char>(s.doorOpen ? ReportDoorOpened : ReportDoorClosed);
    data[1] = static_cast<char>(s.plateType);
    data[2] = static_cast<char>(0x11 + std::clamp(s.filterPos, 0, 6));
    data[9] = static_cast<char>(s.coverPlaced ? ReportCoverPlaced : ReportCoverRemoved);
    QByteArray frame = reportFrame(0xAA, static_cast<quint8>(data.size()), data);
    const quint8 checksum = static_cast<quint8>(frame.at(frame.size() - 3));
    if (checksum == ReportDoorOpened || checksum == ReportDoorClosed) {
        data[8] = char(0x02);
        frame = reportFrame(0xAA, static_cast<quint8>(data.size()), data);
    }
    return frame;
}

} // namespace vboard
