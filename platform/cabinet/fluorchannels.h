#pragma once
// The multi-fluorescence sample of the virtual cabinet: five dyes, each excited only by one lamp
// of the multi-fluorescence board and seen only through its own emission filter. Each dye marks
// its own spots on a grid across the plate, so a frame tells at once which channel it shows.

#include <cstdint>

#include "cabinetstate.h"

namespace vcab {

// Channels 1 to 5; 0 is none.
enum FluorChannel : int {
    NoChannel = 0,
    ChannelB470 = 1,   // lamp 0x09, 535 nm filter (wheel position 1)
    ChannelG520 = 2,   // lamp 0x08, 590 or 605 nm filter (positions 2, 3)
    ChannelR625 = 3,   // lamp 0x07, 700 nm filter (position 4)
    ChannelIR660 = 4,  // lamp 0x1B, 715/840 nm filter (position 5)
    ChannelIR740 = 5,  // lamp 0x0A, 715/840 or 810 nm filter (positions 5, 6)
    ChannelCount = 5,
};

// The lamp that excites a channel's dye (a LampBit), 0 for none.
uint32_t channelLamp(int channel);
// Whether the filter at a wheel position passes a channel's emission.
bool channelPasses(int channel, int filterPos);
// The channel the cabinet shows: its lamp lit and its filter in place (the first such one).
int visibleChannel(const CabinetSnapshot& cabinet);

// The dye density of a channel (0 to 1) at a sensor position given in fractions of the sensor:
// sharp-edged spots on a grid of cells 0.1 wide from 0.1 to 0.9, each cell the spot of one dye.
double dyeDensity(int channel, double u, double v);
// The centre of a spot of a channel: the n-th (from 0) cell of that dye, row after row; false
// when the dye has fewer spots.
bool spotCentre(int channel, int n, double& u, double& v);

} // namespace vcab
