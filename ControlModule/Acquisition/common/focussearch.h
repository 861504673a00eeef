#pragma once
// The preview side of an autofocus search, shared by the Western-blot, gel and
// multi-fluorescence previews: the window of the latest sharpness values, the decision taken on
// each measured frame, and the turns taken with the lens side through the controller's sem1
// (the preview has rated a frame) and sem2 (the lens has reached its position).

#include <atomic>
#include <functional>
#include <vector>

#include "frameview.h"
#include "tucam.h"

class H695ICECamCtrl;

namespace acq {

enum class FocusStep { Continue, Done, Reverse };

// The decision on a window of sharpness values (oldest first) after `reversals` reversals:
// Done on five values that rise and then fall strictly and that isFocusPeak accepts, or once
// three reversals were made (whatever the window holds); Reverse on five values that never
// rise, none of the first four 0, while at most two reversals were made; Continue otherwise.
FocusStep focusDecision(const std::vector<double>& window, int reversals);

// The sharpness of a frame: the focus measure of its centre region; 0 without pixels.
double frameSharpness(const FrameView& frame);

// The latest five sharpness values, oldest first.
class FocusWindow {
public:
    // "valueList:" with the values is logged once the window slides (Western blot), or for
    // every value (gel and multi-fluorescence).
    enum class Log { WhenSliding, EveryValue };

    explicit FocusWindow(Log log) : m_log(log) {}
    void push(double value);
    void clear() { m_values.clear(); }
    const std::vector<double>& values() const { return m_values; }

private:
    Log m_log;
    std::vector<double> m_values;
};

class FocusSearch {
public:
    FocusSearch(H695ICECamCtrl* cam, FocusWindow::Log log);

    // From another thread when an autofocus run has ended: the window is emptied before the next
    // frame is rated.
    void clearValues() { m_stale = true; }

    // Before each frame wait of the preview: a lens position reported by now is shown by the
    // frame about to be awaited.
    void beforeFrameWait();

    // Each frame a preview receives: the views get it through publish(), and while a search
    // measures, the first frame awaited after the lens side reported its position is rated (a
    // frame on its way while the lens moved would show it between two positions). A frame that
    // arrives before the report is shown, and the preview waits for the report. The wait for the
    // lens ends without a rating when the preview or the search stops.
    void onFrame(const TUCAM_FRAME* frame, const std::function<void()>& publish);

    // A preview that ends takes its search with it: the lens side sees the stop (woken by one
    // permit on each semaphore) and empties both instead of waiting for a rating that will
    // never come.
    void endWithPreview();

    const std::vector<double>& values() const { return m_window.values(); }

private:
    bool waitForLens();
    void rate(const TUCAM_FRAME* frame);

    H695ICECamCtrl* m_cam;
    FocusWindow m_window;
    std::atomic<bool> m_stale {false};
    // The lens has reported its position and the next frame awaited shows it (preview thread only).
    bool m_lensArrived = false;
};

// The lens side of a search (the autofocus threads): its turns and its end.
class LensTurns {
public:
    // stepBoundMs: the longest wait for one turn (a lens that never reports its position, a
    // preview that stops rating); 0 takes stepBoundMs(cam).
    explicit LensTurns(H695ICECamCtrl* cam, int stepBoundMs = 0);

    // The bound of one step: the lens's travel and the board's reply (2 s, and 10 s of cabinet
    // time) and three preview frames (each its exposure and 1 s for read-out and rating).
    static int stepBoundMs(const H695ICECamCtrl* cam);

    enum class Turn { Go, Stopped, TimedOut };
    // Waits for the next turn (the first permit, or the preview's rating of the last step) in
    // slices: Stopped once the search or the preview stops (even when the stop left a permit to
    // wake the wait), TimedOut after the bound, which also stops the search.
    Turn awaitTurn();

    // Ends the search: the preview stops rating first (so that no lens report lands after the
    // semaphores were emptied), then both semaphores are emptied with their counts logged, and
    // direction and peak cleared.
    void finish();

private:
    H695ICECamCtrl* m_cam;
    int m_boundMs;
};

} // namespace acq
