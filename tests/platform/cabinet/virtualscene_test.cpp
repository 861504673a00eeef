#include "virtualscene.h"

#include "fluorchannels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int kSensorW = 2688;
constexpr int kSensorH = 2200;

vcab::SceneRequest fullFrame(int binning = 1)
{
    vcab::SceneRequest r;
    r.sensorWidth = kSensorW;
    r.sensorHeight = kSensorH;
    r.binning = binning;
    r.width = kSensorW / binning;
    r.height = kSensorH / binning;
    r.exposureMs = 50;
    r.seed = 7;
    return r;
}

vcab::CabinetSnapshot lit(uint32_t lamps, int filter = 0)
{
    vcab::CabinetSnapshot c;
    c.lamps = lamps;
    c.filterPos = filter;
    return c;
}

std::vector<uint16_t> render(const vcab::SceneRequest& r, const vcab::CabinetSnapshot& c)
{
    std::vector<uint16_t> out(static_cast<size_t>(r.width) * r.height);
    EXPECT_TRUE(vcab::renderScene(r, c, out.data()));
    return out;
}

double mean(const std::vector<uint16_t>& f)
{
    double s = 0;
    for (uint16_t v : f)
        s += v;
    return s / f.size();
}

// Sum of squared horizontal differences: falls as the image blurs.
double sharpness(const std::vector<uint16_t>& f, int w)
{
    double s = 0;
    for (size_t i = 1; i < f.size(); ++i)
        if (i % w)
            s += (double(f[i]) - f[i - 1]) * (double(f[i]) - f[i - 1]);
    return s;
}

} // namespace

TEST(VirtualScene, RefusesEmptyRequests)
{
    uint16_t pixel = 1234;
    struct Case { int w, h, bin; };
    for (const Case& k : {Case{0, 10, 1}, Case{10, 0, 1}, Case{-1, 10, 1}, Case{10, 10, 0}}) {
        vcab::SceneRequest r;
        r.width = k.w;
        r.height = k.h;
        r.binning = k.bin;
        EXPECT_FALSE(vcab::renderScene(r, {}, &pixel));
        EXPECT_EQ(pixel, 1234);
    }
    vcab::SceneRequest r = fullFrame();
    EXPECT_FALSE(vcab::renderScene(r, {}, nullptr));
}

TEST(VirtualScene, SameSeedSameFrameOtherSeedOtherNoise)
{
    auto r = fullFrame(4);
    const auto c = lit(vcab::LampUV302_1);
    const auto a = render(r, c);
    EXPECT_EQ(a, render(r, c));
    r.seed = 8;
    const auto b = render(r, c);
    EXPECT_NE(a, b);
    EXPECT_NEAR(mean(a), mean(b), mean(a) * 0.002);
}

TEST(VirtualScene, SignalScalesWithExposureGainAndBinningSquared)
{
    const auto c = lit(vcab::LampUV302_1);
    auto base = fullFrame(2);
    base.exposureMs = 5;
    const double m0 = mean(render(base, c));
    ASSERT_GT(m0, 100.0);
    struct Case { const char* name; double exposure; double gain; int binning; double factor; };
    for (const Case& k : {Case{"exposure x3", 15, 1.0, 2, 3.0}, Case{"gain x2", 5, 2.0, 2, 2.0},
                          Case{"binning 4 (x4)", 5, 1.0, 4, 4.0}, Case{"binning 1 (x1/4)", 5, 1.0, 1, 0.25}}) {
        auto r = fullFrame(k.binning);
        r.exposureMs = k.exposure;
        r.gain = k.gain;
        EXPECT_NEAR(mean(render(r, c)) / m0, k.factor, k.factor * 0.01) << k.name;
    }
}

TEST(VirtualScene, DarkCurrentGrowsWithExposureAndBlackLevelIsAdded)
{
    auto r = fullFrame(1);
    r.blackLevel = 100;
    r.exposureMs = 1000;
    const double dark10 = mean(render(r, {})) - 100;
    r.exposureMs = 2000;
    const double dark20 = mean(render(r, {})) - 100;
    // Lamps off leaves dark current plus the faint chemiluminescent bands, both linear.
    EXPECT_GT(dark10, 0);
    EXPECT_NEAR(dark20 / dark10, 2.0, 0.03);
    r.exposureMs = 0;
    EXPECT_NEAR(mean(render(r, {})), 100.0, 1.0);
}

TEST(VirtualScene, LampsLightTheSampleAndFilterScalesIt)
{
    auto r = fullFrame(4);
    r.exposureMs = 2;
    const double off = mean(render(r, {}));
    const double uv = mean(render(r, lit(vcab::LampUV302_1)));
    const double white = mean(render(r, lit(vcab::LampWhiteLight)));
    const double blue = mean(render(r, lit(vcab::LampBlueLight)));
    const double filtered = mean(render(r, lit(vcab::LampUV302_1, 4)));
    EXPECT_GT(uv, 20 * off);
    EXPECT_GT(white, 20 * off);
    EXPECT_GT(blue, 20 * off);
    EXPECT_LT(filtered, 0.8 * uv);
    EXPECT_GT(filtered, 0.2 * uv);
    vcab::CabinetSnapshot dim = lit(vcab::LampBlueLight);
    dim.bluePercent = 50;
    EXPECT_NEAR(mean(render(r, dim)) / blue, 0.5, 0.02);
}

TEST(VirtualScene, BandsStayVisibleWithLampsOffOnLongExposures)
{
    auto r = fullFrame(4);
    r.exposureMs = 300;
    const auto f = render(r, {});
    const uint16_t top = *std::max_element(f.begin(), f.end());
    std::vector<uint16_t> sorted(f);
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    EXPECT_GT(top, 5 * sorted[sorted.size() / 2] + 1000);
}

TEST(VirtualScene, SaturatesAtTheTopOfTheRange)
{
    auto r = fullFrame(2);
    r.exposureMs = 1e6;
    const auto f = render(r, lit(vcab::LampWhiteLight));
    EXPECT_EQ(*std::max_element(f.begin(), f.end()), 65535);
    const size_t saturated = std::count(f.begin(), f.end(), uint16_t(65535));
    EXPECT_GT(saturated, f.size() / 2);
}

TEST(VirtualScene, BlurGrowsWithDistanceFromBestFocus)
{
    auto r = fullFrame(2);
    r.exposureMs = 100;
    r.seed = 3;
    vcab::CabinetSnapshot c = lit(vcab::LampUV302_1);
    c.bestFocus = 2000;
    double previous = 0;
    for (int distance : {200, 60, 0}) {
        r.lensPosition = 2000 + distance;
        const double s = sharpness(render(r, c), r.width);
        EXPECT_GT(s, previous) << "distance " << distance;
        previous = s;
    }
    r.lensPosition = 1800;
    const double below = sharpness(render(r, c), r.width);
    r.lensPosition = 2200;
    EXPECT_NEAR(below / sharpness(render(r, c), r.width), 1.0, 0.02);
}

// What an autofocus rates: with the noise seeded alike, every step of either lens away from best
// focus (15 units of the board's lens, 50 of the SMBus lens) leaves a softer frame, on both
// sides and at every binning.
TEST(VirtualScene, SharpnessFallsWithEveryLensStepFromBestFocus)
{
    struct Case { const char* name; int binning; int step; };
    for (const Case& k : {Case{"board lens, binning 4", 4, 15}, Case{"board lens, binning 2", 2, 15},
                          Case{"SMBus lens, binning 1", 1, 50}}) {
        auto r = fullFrame(k.binning);
        r.exposureMs = 80.0 / (k.binning * k.binning);  // one signal level, unsaturated, at every binning
        vcab::CabinetSnapshot c = lit(vcab::LampUV302_1);
        c.bestFocus = 2000;
        for (int side : {-1, 1}) {
            double previous = 0;
            for (int n = 0; n <= 10; ++n) {
                r.lensPosition = 2000 + side * n * k.step;
                const double s = sharpness(render(r, c), r.width);
                if (n > 0) {
                    EXPECT_LT(s, previous * 0.999) << k.name << ", " << n << " steps, side " << side;
                }
                previous = s;
            }
        }
    }
}

// Mean of a 9 x 9 patch of a binning-4 frame around a point given in fractions of the sensor.
double patchAt(const std::vector<uint16_t>& f, const vcab::SceneRequest& r, double u, double v)
{
    const int cx = int(u * kSensorW / r.binning), cy = int(v * kSensorH / r.binning);
    double s = 0;
    for (int y = cy - 4; y <= cy + 4; ++y)
        for (int x = cx - 4; x <= cx + 4; ++x)
            s += f[size_t(y) * r.width + x];
    return s / 81;
}

// A channel shows its spots under its own lamp through its own filter, and nothing under any
// other pairing: the other lamps, another filter, no filter.
TEST(VirtualScene, EachFluorescenceChannelAnswersOnlyItsLampAndFilter)
{
    struct Pairing { int channel; uint32_t lamp; int filter; };
    const Pairing own[] = {{vcab::ChannelB470, vcab::LampBlue, 1}, {vcab::ChannelG520, vcab::LampGreen, 2},
                           {vcab::ChannelG520, vcab::LampGreen, 3}, {vcab::ChannelR625, vcab::LampRed, 4},
                           {vcab::ChannelIR660, vcab::LampNIR660, 5}, {vcab::ChannelIR740, vcab::LampNIR740, 6}};
    auto r = fullFrame(4);
    r.exposureMs = 5;
    const double off = patchAt(render(r, {}), r, 0.5, 0.05);
    for (const Pairing& p : own) {
        SCOPED_TRACE(p.channel);
        EXPECT_EQ(vcab::visibleChannel(lit(p.lamp, p.filter)), p.channel);
        const auto f = render(r, lit(p.lamp, p.filter));
        // The membrane between the spots glows faintly in the channel.
        const double membrane = patchAt(f, r, 0.2, 0.5);
        EXPECT_GT(membrane, 5 * (off + 10));
        for (int channel = 1; channel <= vcab::ChannelCount; ++channel) {
            double u = 0, v = 0;
            ASSERT_TRUE(vcab::spotCentre(channel, 2, u, v));
            const double spot = patchAt(f, r, u, v);
            if (channel == p.channel)
                EXPECT_GT(spot, 2 * membrane) << "its own spot, channel " << channel;
            else
                EXPECT_LT(spot, 1.2 * membrane) << "another dye's spot, channel " << channel;
        }
    }
    // Wrong pairings: a lamp through another channel's filter or none, every lamp unfiltered.
    for (const Pairing& p : own) {
        for (int filter : {0, (p.filter % 6) + 1}) {
            if (vcab::channelPasses(p.channel, filter))
                continue;
            SCOPED_TRACE(std::to_string(p.channel) + " through " + std::to_string(filter));
            EXPECT_EQ(vcab::visibleChannel(lit(p.lamp, filter)), vcab::NoChannel);
            const auto f = render(r, lit(p.lamp, filter));
            double u = 0, v = 0;
            ASSERT_TRUE(vcab::spotCentre(p.channel, 2, u, v));
            EXPECT_LT(patchAt(f, r, u, v), 2 * (off + 10));
        }
    }
}

TEST(VirtualScene, RegionShowsTheSameSampleAsTheFullFrame)
{
    auto full = fullFrame(2);
    full.seed = 11;
    const auto c = lit(vcab::LampUV302_1);
    const auto f = render(full, c);
    auto roi = full;
    roi.originX = 800;
    roi.originY = 600;
    roi.width = 300;
    roi.height = 200;
    const auto part = render(roi, c);
    double sFull = 0, sRoi = 0;
    for (int y = 0; y < roi.height; ++y)
        for (int x = 0; x < roi.width; ++x) {
            sFull += f[static_cast<size_t>(y + 300) * full.width + x + 400];
            sRoi += part[static_cast<size_t>(y) * roi.width + x];
        }
    EXPECT_NEAR(sRoi / sFull, 1.0, 0.01);
}

// The gel as the gel captures see it: the first band of the first dilution lane against the gel
// beside the lane, at the same height.
TEST(VirtualScene, GelBandsShowUnderUvWhiteAndTheMainLamp)
{
    auto r = fullFrame(4);
    r.exposureMs = 4;
    const int y = int(0.23 * r.height);
    const int band = int(0.25 * r.width), gel = int(0.20 * r.width);
    auto at = [&](const std::vector<uint16_t>& f, int x) {
        double s = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                s += f[size_t(y + dy) * r.width + x + dx];
        return s / 15;
    };
    struct Case { const char* name; uint32_t lamps; int filter; double minRatio, maxRatio; };
    const Case cases[] = {
        {"UV: bands glow on a dark gel", vcab::LampUV302_1, 0, 3.5, 1e9},
        {"white through the plate: bands absorb", vcab::LampWhiteLight, 0, 0.0, 0.5},
        {"light source alone: the white trans-illuminator", vcab::LampSource, 0, 0.0, 0.5},
        {"main lamp, green filter: bands bright", vcab::LampPower | vcab::LampSource, 1, 3.0, 1e9},
        {"main lamp, 840 nm filter: bands faint", vcab::LampPower | vcab::LampSource, 5, 1.0, 2.0},
        {"power alone lights nothing", vcab::LampPower, 1, 0.0, 1e9},
    };
    const double dark = at(render(r, {}), gel);
    for (const Case& c : cases) {
        const auto f = render(r, lit(c.lamps, c.filter));
        const double ratio = at(f, band) / at(f, gel);
        EXPECT_GE(ratio, c.minRatio) << c.name;
        EXPECT_LE(ratio, c.maxRatio) << c.name;
        if (c.lamps == vcab::LampPower)
            EXPECT_NEAR(at(f, gel), dark, 50) << c.name;
        else
            EXPECT_GT(at(f, gel), 3 * dark) << c.name;
    }
}
