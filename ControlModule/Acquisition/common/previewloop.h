#pragma once
// The frame loop of the Western-blot, gel and multi-fluorescence previews on the Tucsen camera.

#include <functional>

#include "tucam.h"

class H695ICECamCtrl;

namespace acq {

// Aborted: the loop was left on an aborted wait while isRunning was still set (StrayAbort::Leave).
enum class PreviewEnd { Stopped, StartFailed, WaitFailed, Aborted };

// What an aborted wait does while the preview is still wanted: start the run again (an abort
// meant for another thread), or leave the loop (PreviewEnd::Aborted).
enum class StrayAbort { Restart, Leave };

// Starts a frame run on the caller's record and, while the controller's isRunning is set,
// applies a changed exposure and then a changed gain, runs beforeWait (when given), waits for
// the next frame and hands it to onFrame. An aborted wait (logged with abortText) stops the
// run; while the preview is still wanted, strayAbort decides. A refused start or a failed wait
// calls cameraError and ends the loop. Whatever the way out, nothing started is left running.
PreviewEnd runPreviewLoop(H695ICECamCtrl* cam, TUCAM_FRAME* frame, const char* abortText,
                          const std::function<void()>& onFrame, const std::function<void()>& cameraError,
                          StrayAbort strayAbort = StrayAbort::Restart, const std::function<void()>& beforeWait = {});

} // namespace acq
