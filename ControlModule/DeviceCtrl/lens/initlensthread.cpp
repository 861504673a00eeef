#include "initlensthread.h"

#include "smbuslensctrl.h"
#include "useropts.h"

#include <QDebug>

namespace {
// The stored limits keep this margin from the lens's own end stops.
constexpr int kFocusMargin = 200;
} // namespace

InitLensThread::InitLensThread(QObject* parent)
    : QThread(parent)
    , userOpts(UserOpts::getInstance())
{
}

InitLensThread::~InitLensThread() = default;

void InitLensThread::run()
{
    uint32_t numDevices = 0;
    SmbusLensCtrl::getNumDevices(numDevices);
    qDebug() << "numDevices:" << numDevices;
    if (numDevices == 0)
        return;

    for (uint32_t i = 0; i < numDevices; ++i) {
        std::string serial;
        const int retval = SmbusLensCtrl::getSerialString(i, serial);
        qDebug() << "retval:" << retval;
        if (retval == 0)
            qDebug() << i << QString::fromStdString(serial);
    }

    int status = SmbusLensCtrl::open(0);
    if (status == 0)
        status = SmbusLensCtrl::configure();
    if (status == 0)
        status = SmbusLensCtrl::readFocusLimits();
    if (status == 0)
        status = SmbusLensCtrl::setFocusParam(0);
    if (status == 0)
        status = SmbusLensCtrl::initFocus();
    int target = 0;
    if (status == 0) {
        userOpts->loadUserOptsByName(UserOpts::OPT_FocusCurrentAddr);
        target = userOpts->focusCurrentAddr();
        qDebug() << "focusParam:" << SmbusLensCtrl::focusMin() << SmbusLensCtrl::focusMax() << target;
        status = SmbusLensCtrl::isPosition(target) ? SmbusLensCtrl::moveFocus(uint16_t(target))
                                                   : SmbusLensCtrl::kInvalidParameter;
    }
    if (status != 0) {
        qDebug() << SmbusLensCtrl::errorText(status);
        emit sig_LensErrorOccur();
        SmbusLensCtrl::close();
        return;
    }
    userOpts->setFocusCurrentAddr(target);
    userOpts->setFocusMin(SmbusLensCtrl::focusMin() + kFocusMargin);
    userOpts->setFocusMax(SmbusLensCtrl::focusMax() - kFocusMargin);
    userOpts->saveFocusOpts();
    qDebug() << "初始化S20Mini镜头成功。";
}
