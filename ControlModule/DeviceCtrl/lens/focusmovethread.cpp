#include "focusmovethread.h"

#include "smbuslensctrl.h"

#include <QDebug>

FocusMoveThread::FocusMoveThread(int target, QObject* parent)
    : QThread(parent)
    , target(target)
{
}

FocusMoveThread::~FocusMoveThread() = default;

void FocusMoveThread::run()
{
    const int status = SmbusLensCtrl::isPosition(target) ? SmbusLensCtrl::moveFocus(uint16_t(target))
                                                          : SmbusLensCtrl::kInvalidParameter;
    if (status == 0)
        return;
    qDebug() << "AtFocusThread 3:" << SmbusLensCtrl::errorText(status);
    emit sig_LensErrorOccur();
    SmbusLensCtrl::close();
}
