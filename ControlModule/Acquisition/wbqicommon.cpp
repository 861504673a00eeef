#include "wbqicommon.h"

#include <QDateTime>
#include <QDebug>

#include "kestrix64.h"

namespace wbqi {

void logError(const char* prefix, const char* text)
{
    qDebug() << prefix << kx_error_code() << text;
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

KestrixFrameSet::WaitResult waitForEofEvent(KestrixFrameSet& set, const std::atomic<bool>& abort, int timeoutMs,
                                            int16_t hcam, const WaitTexts& texts, void** frame)
{
    const KestrixFrameSet::WaitResult result = set.wait(abort, timeoutMs, frame);
    if (result == KestrixFrameSet::Aborted)
        qDebug() << texts.aborted << hcam;
    else if (result == KestrixFrameSet::TimedOut)
        qDebug() << texts.timedOut << hcam;
    return result;
}

bool stopAcquisition(int16_t hcam, bool* stopped)
{
    if (kx_exp_abort(hcam, KX_ABORT_HALT) == KX_SUCCESS) {
        *stopped = true;
        return true;
    }
    const int16_t code = kx_error_code();
    // A camera that was closed meanwhile (an error report closes it) acquires nothing any more:
    // there is nothing to stop, and nothing to report again.
    if (code == KX_ERR_BAD_HANDLE || code == KX_ERR_NOT_INIT) {
        qDebug() << "kx_exp_abort: the camera is closed" << code;
        *stopped = true;
        return true;
    }
    *stopped = kx_exp_finish_seq(hcam, nullptr, 0) == KX_SUCCESS;
    qDebug() << "kx_exp_abort failed" << code << (*stopped ? "sequence finished instead" : "camera not stopped");
    return false;
}

} // namespace wbqi
