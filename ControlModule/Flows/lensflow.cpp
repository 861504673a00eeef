#include "lensflow.h"

#include "atfocusthread.h"
#include "flowcontext.h"
#include "focusmovethread.h"
#include "h695icecamctrl.h"
#include "machinemodel.h"
#include "smbuslensctrl.h"
#include "spacecomatfocusthread.h"
#include "useropts.h"

#include <QDebug>
#include <QThread>

#include <algorithm>

namespace {
// Range of the board-driven lens in its own units.
constexpr int kSerialFocusMin = 1000;
constexpr int kSerialFocusMax = 3500;
// The least lens position kept after an SMBus-lens autofocus.
constexpr int kLeastFocusAddr = 10;

void drainTurns(H695ICECamCtrl* cam)
{
    cam->sem1.tryAcquire(cam->sem1.available());
    cam->sem2.tryAcquire(cam->sem2.available());
}
} // namespace

LensFlow::LensFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

LensFlow::~LensFlow() = default;

LensFlow::AtFocusPlan LensFlow::atFocusPlan(EnumOBJ::ExpMode mode, int authorityType, int focusPosition)
{
    AtFocusPlan plan;
    bool ranged = MachineModel::hasSerialLens(authorityType);
    switch (mode) {
    case EnumOBJ::WB:
        ranged = ranged && MachineModel::hasWBMode(authorityType);
        plan.startOption = focusPosition != 0 ? UserOpts::OPT_LastFocusUpWb : UserOpts::OPT_LastFocusDownWb;
        break;
    case EnumOBJ::Gel:
        ranged = ranged && MachineModel::hasGelMode(authorityType);
        plan.startOption = UserOpts::OPT_LastFocusGel;
        break;
    case EnumOBJ::Mult:
        ranged = ranged && MachineModel::hasMultMode(authorityType);
        plan.startOption = UserOpts::OPT_LastFocusFul;
        break;
    default:
        ranged = false;
        break;
    }
    if (ranged) {
        plan.focusMin = kSerialFocusMin;
        plan.focusMax = kSerialFocusMax;
    }
    return plan;
}

QList<Data_Bits> LensFlow::lensPositionBytes(int value)
{
    // The board reads exactly two bytes: a larger or negative value would leave a frame of
    // another length or a wrapped position.
    const int position = std::clamp(value, 0, 0xFFFF);
    return {static_cast<Data_Bits>(position >> 8), static_cast<Data_Bits>(position & 0xFF)};
}

void LensFlow::lensCtrl(int value)
{
    m_ctx.sendFrame(CmdSetZoom, lensPositionBytes(value));
}

void LensFlow::searchMove(int value)
{
    m_awaitedReport = std::clamp(value, 0, 0xFFFF);
    lensCtrl(value);
}

bool LensFlow::searchLensArrived(int position)
{
    if (m_awaitedReport < 0 || position != m_awaitedReport)
        return false;
    m_awaitedReport = -1;
    return true;
}

void LensFlow::focusChanged(int value)
{
    if (focusMoveThread) {
        qDebug() << "lens move already running, ignored:" << value;
        return;
    }
    auto* thread = new FocusMoveThread(value, nullptr);
    focusMoveThread = thread;
    connect(thread, &FocusMoveThread::sig_LensErrorOccur, this, [this] { m_ctx.reportError(EnumOBJ::LensErr); });
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        focusMoveThread = nullptr;
        emit m_ctx.focusMoved();
    });
    thread->start(QThread::InheritPriority);
}

void LensFlow::spacecomAtFocus(EnumOBJ::ExpMode mode, FocusPreview& preview)
{
    if (!preview.hasPreview()) {
        qDebug() << "autofocus needs a running preview, ignored; mode:" << mode;
        return;
    }
    if (atFocusThread) {
        qDebug() << "autofocus already running, ignored; mode:" << mode;
        return;
    }
    UserOpts* opts = m_ctx.userOpts();
    H695ICECamCtrl* cam = m_ctx.tucsen();
    const AtFocusPlan plan = atFocusPlan(mode, m_ctx.authorityType(), opts->focusPosition());
    // The preview takes turns with the lens side: this first permit lets the lens move first.
    // A permit left by an earlier search (a late lens report, a stop) would skip a turn.
    drainTurns(cam);
    cam->sem1.release(1);
    cam->isFocusStop = false;
    m_awaitedReport = -1;
    opts->loadUserOptsByName(static_cast<UserOpts::UserOptType>(plan.startOption));
    int start = 0;
    switch (plan.startOption) {
    case UserOpts::OPT_LastFocusUpWb: start = opts->lastFocusUpWb(); break;
    case UserOpts::OPT_LastFocusDownWb: start = opts->lastFocusDownWb(); break;
    case UserOpts::OPT_LastFocusGel: start = opts->lastFocusGel(); break;
    case UserOpts::OPT_LastFocusFul: start = opts->lastFocusFul(); break;
    default: break;
    }
    qDebug() << "autofocus range:" << plan.focusMin << plan.focusMax << "start:" << start;
    auto* thread = new SpacecomAtFocusThread(plan.focusMin, plan.focusMax, nullptr);
    thread->setCurFocusValue(start);
    atFocusThread = thread;
    connect(thread, &SpacecomAtFocusThread::sig_FocusMove, this, &LensFlow::searchMove);
    FocusPreview* partner = &preview;
    connect(thread, &QThread::finished, this, [this, thread, partner] {
        emit m_ctx.setAFFinished();
        thread->deleteLater();
        atFocusThread = nullptr;
        m_awaitedReport = -1;
        // The next run starts with an empty window of focus values.
        partner->clearFocusValues();
    });
    thread->start(QThread::InheritPriority);
}

void LensFlow::stopAutoFocus(std::initializer_list<const FocusPreview*> previews)
{
    for (const FocusPreview* preview : previews) {
        if (preview->hasPreview()) {
            H695ICECamCtrl* cam = m_ctx.tucsen();
            cam->isFocusStop = true;
            // Wakes whichever side waits for its turn; the lens side empties both as it ends.
            cam->sem1.release(1);
            cam->sem2.release(1);
            return;
        }
    }
}

void LensFlow::startSmbusAtFocus(FlowContext& ctx, FocusPreview& preview, QObject* owner, QThread*& role)
{
    if (!preview.hasPreview()) {
        qDebug() << "autofocus needs a running preview, ignored; SMBus lens";
        return;
    }
    if (role) {
        qDebug() << "autofocus already running, ignored; SMBus lens";
        return;
    }
    H695ICECamCtrl* cam = ctx.tucsen();
    drainTurns(cam);
    cam->sem1.release(1);
    cam->isFocusStop = false;
    auto* thread = new AtFocusThread(SmbusLensCtrl::focusMin(), SmbusLensCtrl::focusMax(), nullptr);
    role = thread;
    QThread** slot = &role;
    FocusPreview* partner = &preview;
    QObject::connect(thread, &AtFocusThread::sig_LensErrorOccur, owner, [&ctx] { ctx.reportError(EnumOBJ::LensErr); });
    QObject::connect(thread, &AtFocusThread::sig_FocusMove, owner, [&ctx](int value) { emit ctx.sig_FocusMove(value); });
    QObject::connect(thread, &QThread::finished, owner, [&ctx, thread, slot, partner] {
        const int reached = thread->reachedPosition;
        if (thread->lensFailed || reached < 0) {
            qDebug() << "autofocus ended without a new lens position";
        } else {
            UserOpts* opts = ctx.userOpts();
            opts->setFocusCurrentAddr(std::max(kLeastFocusAddr, reached));
            opts->saveUserOptsByName(UserOpts::OPT_FocusCurrentAddr);
        }
        emit ctx.aFFinished();
        thread->deleteLater();
        *slot = nullptr;
        partner->clearFocusValues();
    });
    thread->start(QThread::InheritPriority);
}
