#include "fluorchannels.h"

#include <cmath>

namespace vcab {

namespace {

constexpr double kCellFirst = 0.1;
constexpr double kCellSize = 0.1;
constexpr int kCells = 8;
constexpr double kSpotRadius = 0.03;   // in fractions of the sensor along each axis
constexpr double kSpotEdge = 0.002;

// The dye of a cell: neighbouring cells carry different dyes.
int cellChannel(int i, int j)
{
    return (i + 2 * j) % ChannelCount + 1;
}

// Spots of one dye differ in strength, as a dilution would.
double spotStrength(int i, int j)
{
    return 0.4 + 0.6 * ((i * 7 + j * 3) % 5) / 4.0;
}

} // namespace

uint32_t channelLamp(int channel)
{
    switch (channel) {
    case ChannelB470: return LampBlue;
    case ChannelG520: return LampGreen;
    case ChannelR625: return LampRed;
    case ChannelIR660: return LampNIR660;
    case ChannelIR740: return LampNIR740;
    default: return 0;
    }
}

bool channelPasses(int channel, int filterPos)
{
    switch (channel) {
    case ChannelB470: return filterPos == 1;
    case ChannelG520: return filterPos == 2 || filterPos == 3;
    case ChannelR625: return filterPos == 4;
    case ChannelIR660: return filterPos == 5;
    case ChannelIR740: return filterPos == 5 || filterPos == 6;
    default: return false;
    }
}

int visibleChannel(const CabinetSnapshot& cabinet)
{
    for (int channel = 1; channel <= ChannelCount; ++channel) {
        if ((cabinet.lamps & channelLamp(channel)) != 0 && channelPasses(channel, cabinet.filterPos))
            return channel;
    }
    return NoChannel;
}

double dyeDensity(int channel, double u, double v)
{
    const int i = static_cast<int>(std::floor((u - kCellFirst) / kCellSize));
    const int j = static_cast<int>(std::floor((v - kCellFirst) / kCellSize));
    if (i < 0 || j < 0 || i >= kCells || j >= kCells || cellChannel(i, j) != channel)
        return 0.0;
    const double cu = kCellFirst + (i + 0.5) * kCellSize;
    const double cv = kCellFirst + (j + 0.5) * kCellSize;
    const double d = std::hypot(u - cu, v - cv);
    if (d >= kSpotRadius + kSpotEdge)
        return 0.0;
    const double edge = d <= kSpotRadius ? 1.0 : 0.5 + 0.5 * std::cos(M_PI * (d - kSpotRadius) / kSpotEdge);
    return spotStrength(i, j) * edge;
}

bool spotCentre(int channel, int n, double& u, double& v)
{
    for (int j = 0; j < kCells; ++j) {
        for (int i = 0; i < kCells; ++i) {
            if (cellChannel(i, j) != channel)
                continue;
            if (n-- == 0) {
                u = kCellFirst + (i + 0.5) * kCellSize;
                v = kCellFirst + (j + 0.5) * kCellSize;
                return true;
            }
        }
    }
    return false;
}

} // namespace vcab
