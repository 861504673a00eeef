#include "cameraregion.h"

#include "useropts.h"

namespace acq {

int binningFactor(bool isFL9BW, int binningIndex)
{
    static const int fl9bw[] = {1, 2, 3, 4, 6, 8};
    static const int other[] = {1, 2, 4, 6, 8, 12, 16, 24};
    if (binningIndex < 0)
        return 0;
    if (isFL9BW)
        return binningIndex < 6 ? fl9bw[binningIndex] : 0;
    return binningIndex < 8 ? other[binningIndex] : 0;
}

int alignTo4(int v)
{
    if (v < 0)
        return 0;
    return (v % 4 == 0) ? v : (v & ~3) + 4;
}

Region loadRegion(UserOpts* opts, RegionSet set)
{
    switch (set) {
    case RegionSet::WesternBlot:
        for (auto t : {UserOpts::OPT_WBX, UserOpts::OPT_WBY, UserOpts::OPT_WBW, UserOpts::OPT_WBH})
            opts->loadUserOptsByName(t);
        return {opts->wbX(), opts->wbY(), opts->wbW(), opts->wbH()};
    case RegionSet::Gel:
        for (auto t : {UserOpts::OPT_GelX, UserOpts::OPT_GelY, UserOpts::OPT_GelW, UserOpts::OPT_GelH})
            opts->loadUserOptsByName(t);
        return {opts->gelX(), opts->gelY(), opts->gelW(), opts->gelH()};
    case RegionSet::MultiFluorescence:
        for (auto t : {UserOpts::OPT_FluX, UserOpts::OPT_FluY, UserOpts::OPT_FluW, UserOpts::OPT_FluH})
            opts->loadUserOptsByName(t);
        return {opts->fluX(), opts->fluY(), opts->fluW(), opts->fluH()};
    }
    return {};
}

Region cameraRegion(bool isFL9BW, bool isMini, int binningIndex, const Region& s)
{
    int b = binningFactor(isFL9BW, binningIndex);
    if (b == 0)
        b = 1;
    if (isFL9BW) {
        if (b == 8)
            return {0, 36, 372, 336};
        Region r;
        r.x = alignTo4(s.x / b);
        r.width = alignTo4((s.width + 3000) / b);
        if (isMini) {
            r.y = alignTo4(s.y / b);
            r.height = alignTo4((s.height + 3000) / b);
        } else {
            r.y = alignTo4((s.y + 312) / b);
            r.height = alignTo4((s.height + 2688) / b);
        }
        return r;
    }
    return {(s.x + 60) / b, (s.y + 10) / b, (s.width + 2658) / b, (s.height + 2200) / b};
}

TUCAM_ROI_ATTR roiOf(const Region& r)
{
    return TUCAM_ROI_ATTR {1, r.x, r.y, r.width, r.height};
}

} // namespace acq
