#pragma once
// Where the Tucsen camera reads from, for the previews and captures of every mode: the binning
// tables, the sample region the user set for a mode, and the camera region made of both.

#include "tucam.h"

class UserOpts;

namespace acq {

// Binning factor of binningIndex: FL9BW 1, 2, 3, 4, 6, 8; other cameras 1, 2, 4, 6, 8, 12, 16, 24.
// 0 for an index outside the camera's table.
int binningFactor(bool isFL9BW, int binningIndex);

// 0 for a negative v, else v rounded up to a multiple of 4.
int alignTo4(int v);

struct Region {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The sample region of a mode, in unbinned sensor pixels, reloaded from the settings file:
// wbX..wbH (Western blot), gelX..gelH (gel), fluX..fluH (multi-fluorescence).
enum class RegionSet { WesternBlot, Gel, MultiFluorescence };
Region loadRegion(UserOpts* opts, RegionSet set);

// The camera region of a sample region at a binning. FL9BW: offsets divided by the factor and
// aligned to 4 (the fixed region 0, 36, 372, 336 at factor 8; isMini reads the full height);
// other cameras: the sensor margins added, divided, not aligned. An index outside the table is
// treated as the table's first entry.
Region cameraRegion(bool isFL9BW, bool isMini, int binningIndex, const Region& sample);

// The camera's region record, switched on.
TUCAM_ROI_ATTR roiOf(const Region& region);

} // namespace acq
