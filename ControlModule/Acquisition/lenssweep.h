#pragma once
// The lens side of an autofocus search as plain arithmetic: where a sweep starts, where each
// step goes (down first, turning up at the lower end), and where the final approach puts the
// lens once the preview has found the peak. The board-driven lens steps 15 of its units, the
// SMBus lens 50; both stop short of the ends of their travel by their own margins.

namespace acq {

struct LensSweep {
    int step = 0;      // one sweep step
    int approach = 0;  // the final approach goes this far back past the last step, plus afOffset
    int lowEdge = 0;   // the sweep and the final position stay at or above focusMin + lowEdge
    int highEdge = 0;  // ... and at or below focusMax - highEdge
    int startOffset = 0;  // the sweep starts this far above the position it was given

    static LensSweep serialLens() { return {15, 45, 0, 0, 75}; }
    static LensSweep smbusLens() { return {50, 200, 300, 200, 250}; }
};

// Where the sweep stands between two steps. direction false: positions decrease.
struct SweepState {
    int position = 0;
    bool direction = false;
    int reversals = 0;
    bool atUpperEnd = false;  // the upward sweep reached the upper end: the search is over
};

// The start of an SMBus-lens search from the stored autofocus position: 250 above it, kept
// 205 below the top and 295 above the bottom; a start in the outer eighth of the travel (and
// the margins) becomes the middle of the travel.
int smbusStartPosition(int autoFocusPosition, int focusMin, int focusMax);

// The step after the lens was moved to state.position: down by one step, or at the lower end
// up from focusMin + lowEdge with one reversal more; up by one step, or at the upper end the
// search is over (position unchanged).
SweepState nextStep(const LensSweep& sweep, SweepState state, int focusMin, int focusMax);

// The final position once the peak was found, with position the step after the last one
// measured: back past the sharpest frame by `approach` plus afOffset against the direction of
// the sweep, kept within the edges.
int finalPosition(const LensSweep& sweep, int position, bool direction, int afOffset, int focusMin, int focusMax);

} // namespace acq
