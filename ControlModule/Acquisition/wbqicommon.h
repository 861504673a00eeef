#pragma once
// What the three Western-blot threads of the Kestrix camera share: the report of a failed library
// call and the end-of-frame wait with the log lines each thread writes.

#include <QString>

#include <atomic>
#include <cstdint>

#include "kestrixframeset.h"

namespace wbqi {

// Logs prefix, the library's error code of this thread and text.
void logError(const char* prefix, const char* text);

// The current time as the threads log it.
QString now();

struct WaitTexts {
    const char* aborted;    // followed by the camera handle
    const char* timedOut;   // followed by the camera handle
};
// Waits for a frame of set. A frame gives its address in frame; the abort flag and the time-out
// are logged with their texts; a frame whose address could not be fetched was logged by the
// callback.
KestrixFrameSet::WaitResult waitForEofEvent(KestrixFrameSet& set, const std::atomic<bool>& abort, int timeoutMs,
                                            int16_t hcam, const WaitTexts& texts, void** frame);

// Stops whatever the camera acquires, so that the buffer it writes into may be released: the
// abort, and when the abort fails a sequence finish. False (logged) when the abort failed on an
// open camera; the caller reports that. stopped tells whether the camera no longer acquires.
bool stopAcquisition(int16_t hcam, bool* stopped);

} // namespace wbqi
