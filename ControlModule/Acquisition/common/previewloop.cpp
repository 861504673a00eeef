#include "previewloop.h"

#include "camerarun.h"
#include "h695icecamctrl.h"

namespace acq {

PreviewEnd runPreviewLoop(H695ICECamCtrl* cam, TUCAM_FRAME* frame, const char* abortText,
                          const std::function<void()>& onFrame, const std::function<void()>& cameraError,
                          StrayAbort strayAbort, const std::function<void()>& beforeWait)
{
    CameraRun run(cam, frame);
    if (!run.start()) {
        cameraError();
        return PreviewEnd::StartFailed;
    }
    while (cam->isRunning) {
        if (cam->isExposureChanged.exchange(false))
            cam->setExposureTime(cam->exposureTime);
        if (cam->isGainChanged.exchange(false))
            cam->setGain(double(cam->gain.load()));
        // A wait aborted while the preview is still wanted (an abort meant for another thread)
        // stopped the run: it starts again.
        if (!run.running() && !run.start()) {
            cameraError();
            return PreviewEnd::StartFailed;
        }
        if (beforeWait)
            beforeWait();
        switch (run.waitForFrame(abortText, cameraError)) {
        case CameraRun::Wait::Frame:
            onFrame();
            break;
        case CameraRun::Wait::Aborted:
            if (strayAbort == StrayAbort::Leave && cam->isRunning)
                return PreviewEnd::Aborted;
            break;
        case CameraRun::Wait::Failed:
            return PreviewEnd::WaitFailed;
        }
    }
    if (run.running())
        run.stopLogged();
    return PreviewEnd::Stopped;
}

} // namespace acq
