#include "ic_maincontrol.h"

#include "asyncserialportthread.h"
#include "boardechoes.h"
#include "flowcontext.h"
#include "lensflow.h"
#include "h695icecamctrl.h"
#include "machinemodel.h"
#include "modbusmaster.h"
#include "useropts.h"

#include <QDebug>

#include <algorithm>

namespace {
// A reply frame: start byte, 0x68, 0xA0, code, status, data bytes, checksum and two end bytes.
constexpr int kHeadBytes = 5;
constexpr int kTailBytes = 3;
// The gel-cutting cover's byte in the state report.
constexpr int kCoverByte = 14;
// Consecutive failures of one kind before the exchange is given up.
constexpr int kMaxRetries = 3;

QByteArray dataBytes(const QByteArray& frame)
{
    if (frame.size() <= kHeadBytes + kTailBytes)
        return QByteArray();
    return frame.mid(kHeadBytes, frame.size() - kHeadBytes - kTailBytes);
}

// Lens replies carry one big-endian number.
qint64 bigEndianValue(const QByteArray& data)
{
    qint64 value = 0;
    for (char byte : data)
        value = (value << 8) | static_cast<quint8>(byte);
    return value;
}
} // namespace

void IC_MainControl::readDataHandle(QByteArray data)
{
    qDebug() << "接收数据:" << data.toHex();
    const int status = ModbusMaster::parseReply(data, serialPortThread->curCmd());
    if (status != ReceiveFail && status != ReSendCmd) {
        receiveFailCount = 0;
        resendCount = 0;
    }

    switch (status) {
    case ReceiveFail:
        if (++receiveFailCount >= kMaxRetries) {
            reportError(EnumOBJ::ReceiveErr);
            receiveFailCount = 0;
        } else {
            // Asks the board to repeat its reply; the command it answers stays current.
            serialPortThread->writeData(ModbusMaster::packFrame(CmdResend, 0, QList<Data_Bits>()));
        }
        break;
    case ReSendCmd:
        if (++resendCount >= kMaxRetries) {
            reportError(EnumOBJ::SendErr);
            resendCount = 0;
        } else {
            serialPortThread->writeData(serialPortThread->curCmd());
        }
        break;
    case DoorOpened:
        qDebug() << "门已开。";
        emit doorStatusChange(true);
        break;
    case DoorClosed:
        qDebug() << "门已关。";
        emit doorStatusChange(false);
        break;
    case TimedShutDown:
        qDebug() << "设置定时关机成功。";
        break;
    case TimeOutShutDown:
        qDebug() << "定时关机成功。";
        m_context->lampsShutDown();
        emit lightStatusChange(false);
        break;
    case ReportInitStatus: {
        qDebug() << "反馈初始化状态。";
        // Whole data bytes: matching the hexadecimal text would also find "d0" across two
        // bytes such as 6D 0F.
        const QByteArray payload = dataBytes(data);
        if (payload.contains(char(0xD0)))
            emit doorStatusChange(true);
        if (payload.contains(char(0xD1)))
            emit doorStatusChange(false);
        if (data.size() > kCoverByte) {
            const quint8 cover = static_cast<quint8>(data.at(kCoverByte));
            if (cover == 0xC0) {
                qDebug() << "无切胶罩";
                emit cutStatusChange(false);
            } else if (cover == 0xC1) {
                qDebug() << "存在切胶罩";
                emit cutStatusChange(true);
            }
        }
        break;
    }
    case HandShake:
        qDebug() << "握手成功。";
        break;
    case NormalCmd:
        for (char byte : dataBytes(data))
            qDebug().noquote() << dataBitsEchoText(static_cast<quint8>(byte));
        break;
    case MSetFocus:
        qDebug() << "设置Focus成功。";
        break;
    case MReadFocus:
        if (MachineModel::hasSerialLens(authorityType()))
            qDebug() << "读取光圈成功:" << bigEndianValue(dataBytes(data));
        break;
    case MSetZoom:
        qDebug() << "设置Zoom成功。";
        break;
    case MReadZoom:
        if (MachineModel::hasSerialLens(authorityType())) {
            const qint64 value = bigEndianValue(dataBytes(data));
            const int position = static_cast<int>(std::min<qint64>(value, 0x7FFFFFFF));
            userOpt->setCurFocusValue(position);
            userOpt->saveUserOptsByName(UserOpts::OPT_CurFocusValue);
            m_context->echoes().lensReported(position);
            // The preview thread of the serial-lens autofocus measures once per step, on the
            // report of that step's own move: a late report of another move would have it rate a
            // frame taken before the lens arrived, one step out from then on.
            if (h695ICECamCtrl->isFocusMeasuring && m_lens->searchLensArrived(position))
                h695ICECamCtrl->sem2.release();
            qDebug() << "读取聚焦成功:" << value;
        }
        emit readZoom();
        break;
    case SetFocusTimes:
        qDebug() << "设置FocusTimes成功。";
        break;
    case SetZoomTimes:
        qDebug() << "设置ZoomTimes成功。";
        break;
    case SetIrisTimes:
        qDebug() << "设置IrisTimes成功。";
        break;
    case BlueSetted:
        qDebug() << "BlueSetted success.";
        break;
    case PlateType:
        for (char byte : dataBytes(data)) {
            switch (static_cast<quint8>(byte)) {
            case 0xA1:
                qDebug() << "白光灯板。";
                emit updateBoardType(1);
                break;
            case 0xA2:
                qDebug() << "紫外灯板。";
                emit updateBoardType(2);
                break;
            case 0xA3:
                qDebug() << "蓝光灯板。";
                emit updateBoardType(3);
                break;
            case 0xA4:
                qDebug() << "黑板";
                emit updateBoardType(4);
                break;
            case 0xA5:
                qDebug() << "无板。";
                emit updateBoardType(0);
                break;
            default:
                break;
            }
        }
        break;
    case CutCoverPlaced:
        qDebug() << "放置切胶罩";
        emit cutStatusChange(true);
        break;
    case CutCoverRemoved:
        qDebug() << "拿开切胶罩";
        emit cutStatusChange(false);
        break;
    case TempWarning:
        qDebug() << "温度报警";
        emit tempWarning();
        break;
    case BluePercentSetted:
        qDebug() << "蓝光百分比设置成功.";
        break;
    case FilterFinished:
        qDebug() << "滤光轮完成转动。";
        // The report names no turn: one of an earlier turn would close the dialog of the
        // turn under way.
        if (m_context->echoes().filterTurnFinished())
            emit filterFin();
        else
            qDebug() << "滤光轮报告不属于当前转动，忽略。";
        break;
    default:
        // A decoder of a newer board may know more; one unknown frame must not end the program.
        qWarning() << "未知ModBusStatus." << status;
        break;
    }
}

void IC_MainControl::lightAutoShutDown(int time)
{
    // One data byte: a larger time would wrap to another one.
    m_context->sendFrame(CmdTimedShutDown, {static_cast<Data_Bits>(std::clamp(time, 0, 0xFF))});
}
