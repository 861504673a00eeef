#include "lenssweep.h"

namespace acq {

int smbusStartPosition(int autoFocusPosition, int focusMin, int focusMax)
{
    const LensSweep sweep = LensSweep::smbusLens();
    int position = autoFocusPosition + sweep.startOffset;
    if (position >= focusMax - 204)
        position = focusMax - 205;
    if (position <= focusMin + 294)
        position = focusMin + 295;
    const int eighth = (focusMax - focusMin) / 8;
    if (position < focusMin + eighth + 300 || position > focusMax - eighth - 200)
        position = (focusMin + focusMax) / 2;
    return position;
}

SweepState nextStep(const LensSweep& sweep, SweepState state, int focusMin, int focusMax)
{
    if (!state.direction) {
        if (state.position <= focusMin + sweep.lowEdge + sweep.step - 1) {
            state.position = focusMin + sweep.lowEdge;
            ++state.reversals;
            state.direction = true;
        } else {
            state.position -= sweep.step;
        }
    } else if (state.position >= focusMax - sweep.highEdge - sweep.step + 1) {
        state.atUpperEnd = true;
    } else {
        state.position += sweep.step;
    }
    return state;
}

int finalPosition(const LensSweep& sweep, int position, bool direction, int afOffset, int focusMin, int focusMax)
{
    if (!direction) {
        const int target = position + sweep.approach + afOffset;
        return target > focusMax - sweep.highEdge ? focusMax - sweep.highEdge : target;
    }
    const int target = position - sweep.approach - afOffset;
    return target < focusMin + sweep.lowEdge ? focusMin + sweep.lowEdge : target;
}

} // namespace acq
