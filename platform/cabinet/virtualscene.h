#pragma once
// Synthetic 16-bit scene shared by both camera stand-ins: a gel/blot-like sample whose
// brightness follows the cabinet's lamps and filter, and whose sharpness follows the lens.

#include <cstdint>

#include "cabinetstate.h"

namespace vcab {

struct SceneRequest {
    int sensorWidth = 0;    // full sensor size in sensor pixels
    int sensorHeight = 0;
    int originX = 0;        // sensor pixel of the frame's top-left corner
    int originY = 0;
    int width = 0;          // output frame size in output pixels
    int height = 0;
    int binning = 1;        // sensor pixels per output pixel along each axis
    double exposureMs = 0;
    double gain = 1.0;      // linear gain factor
    int blackLevel = 0;     // offset added to every pixel
    int lensPosition = 0;   // position compared with CabinetSnapshot::bestFocus for blur
    uint64_t seed = 1;      // noise seed; the same request and seed give the same frame
};

// Renders one frame into out (width * height values, rows packed) for the given cabinet state.
// Returns false and writes nothing when the request's sizes are not positive.
bool renderScene(const SceneRequest& request, const CabinetSnapshot& cabinet, uint16_t* out);

} // namespace vcab
