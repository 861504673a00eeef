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
    int focusStepsPerPixel = 10;  // lens steps away from best focus per sensor pixel of blur radius
    uint64_t seed = 1;      // noise seed; the same request and seed give the same frame
};

// Renders one frame into out (width * height values, rows packed) for the given cabinet state.
// Returns false and writes nothing when the request's sizes are not positive.
// The sample: a gel of eight lanes (a ladder, then a dilution series) of flat-topped bands.
// White and UV/blue lamps light it (white light through the plate, bands absorbing: the white
// lamps, or the light source byte alone; UV and blue exciting bright bands on a dimly glowing
// gel; the Mini cabinets' red and green lights at half that strength; the main white lamp, power
// and source on, shining on coloured bands that send back most through the green filter and
// least in the near infrared), blue lamps follow bluePercent,
// the filter position scales what reaches the sensor, and with every lamp off the bands still
// glow faintly (chemiluminescence). The lamps of the multi-fluorescence board light no bands:
// each excites the spots of its own dye, seen only through that dye's filter (fluorchannels.h),
// on the membrane's fainter glow in that channel.
// Signal grows with
// exposure x gain x binning^2, dark current with exposure, shot and read noise are seeded, values
// saturate at 65535, and a blur grows in proportion to |lensPosition - bestFocus| (blended
// between whole box radii, so that sharpness falls smoothly with every lens step). The stain
// carries a faint grain a few sensor pixels fine: the detail an autofocus sees go soft first.
// bestFocus is the best position of the configuration's own lens (the board's or the SMBus one).
bool renderScene(const SceneRequest& request, const CabinetSnapshot& cabinet, uint16_t* out);

} // namespace vcab
