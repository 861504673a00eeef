#include "virtualscene.h"

#include "fluorchannels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace vcab {

namespace {

// Sample layout in fractions of the sensor: a gel slab with a ladder lane and a dilution
// series, bands a few times wider than high so that band finders see blot-like shapes.
constexpr int kLanes = 8;
constexpr int kBandsPerLane = 6;
constexpr double kGelLeft = 0.08, kGelRight = 0.92, kGelTop = 0.10, kGelBottom = 0.92;
constexpr double kLaneFirst = 0.15, kLaneStep = 0.10, kLaneHalfWidth = 0.035, kLaneEdge = 0.004;
constexpr double kBandHalfHeight = 0.008;
constexpr double kGelLevel = 0.05;     // faint stain of the whole slab

// Rates in grey values per millisecond per sensor pixel at gain 1.
constexpr double kFluorRate = 400.0;     // a fully lit fluorescent band
constexpr double kFluorBackground = 0.3;  // the gel and plate glow too: the field is never black
constexpr double kDyeGlow = 0.35;          // the membrane's glow in a dye's channel
constexpr double kWhiteRate = 300.0;     // plate seen through an unstained gel
constexpr double kWhiteAbsorb = 0.75;    // share of white light a full band absorbs
constexpr double kDyeRate = 20.0;        // a full spot of a multi-fluorescence dye, its lamp lit
constexpr double kChemiRate = 1.0;       // chemiluminescent band, lamps off
// The cabinet's main white lamp from above, off the bands: bright enough that a Western-blot
// marker frame at the preview exposures the program starts from (tens of milliseconds) shows the
// membrane well above the noise without the bands saturating.
constexpr double kEpiRate = 150.0;
constexpr double kEpiBackground = 0.25;  // share of it the unstained gel and plate send back
constexpr double kDarkRate = 0.01;
constexpr double kReadNoise = 3.0;
constexpr double kVignette = 0.25;       // brightness lost at the frame corners, per axis

// Large enough that sharpness still changes at the far ends of every lens's range.
constexpr int kMaxBlurRadius = 256;

// The stain's grain: a faint texture a few sensor pixels fine, the detail an autofocus rates.
constexpr double kGrain = 0.2;        // relative strength
constexpr double kGrainPitch = 3.0;   // sensor pixels between two independent grain values
constexpr double kSlabGrain = 0.06;   // the gel slab's own texture, in shares of a full band:
                                      // detail between the bands, above the noise of their glow

double bandStrength(int lane, int band)
{
    if (lane == 0)
        return 0.6;                                  // ladder: even bands
    static const double profile[kBandsPerLane] = {1.0, 0.35, 0.7, 0.15, 0.5, 0.25};
    return profile[band] * std::pow(0.7, lane - 1);  // dilution series across lanes
}

double bandCentre(int lane, int band)
{
    const double first = lane == 0 ? 0.18 : 0.22 + 0.01 * (lane % 3);
    return first + band * (lane == 0 ? 0.12 : 0.11);
}

// 1 inside [lo, hi], a cosine roll-off of width edge outside.
double softBox(double t, double lo, double hi, double edge)
{
    double d = 0.0;
    if (t < lo)
        d = lo - t;
    else if (t > hi)
        d = t - hi;
    if (d >= edge)
        return 0.0;
    return 0.5 + 0.5 * std::cos(M_PI * d / edge);
}

struct Geometry {
    int sensorWidth, sensorHeight, originX, originY, width, height, binning;
    int layer;  // 0 the gel's stain, 1 to 5 the dye of a multi-fluorescence channel
    bool operator==(const Geometry& o) const
    {
        return sensorWidth == o.sensorWidth && sensorHeight == o.sensorHeight && originX == o.originX
            && originY == o.originY && width == o.width && height == o.height && binning == o.binning
            && layer == o.layer;
    }
};

// Noiseless sample of one geometry: stain density and the separable illumination fall-off.
// Rendering a frame is then one pass.
struct SampleMaps {
    Geometry geometry;
    std::vector<float> stain;
    std::vector<float> fallX, fallY;
};

// The sharp stain blurred for one lens distance.
struct BlurredStain {
    std::shared_ptr<const SampleMaps> sample;
    int radius = 0;
    std::vector<float> stain;
};

// A grain value in [-1, 1] at a lattice point, the same for every frame.
double grainAt(int64_t i, int64_t j)
{
    uint64_t h = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(j) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<double>(h >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

// The grain at a sensor position, interpolated between its lattice points.
double grain(double sx, double sy)
{
    const double gx = sx / kGrainPitch, gy = sy / kGrainPitch;
    const double fx = std::floor(gx), fy = std::floor(gy);
    const double tx = gx - fx, ty = gy - fy;
    const auto i = static_cast<int64_t>(fx), j = static_cast<int64_t>(fy);
    const double top = grainAt(i, j) + tx * (grainAt(i + 1, j) - grainAt(i, j));
    const double bottom = grainAt(i, j + 1) + tx * (grainAt(i + 1, j + 1) - grainAt(i, j + 1));
    return top + ty * (bottom - top);
}

// Box blur of src into dst (both w x h) by running sums, edges replicated.
void boxBlur(const float* src, float* dst, int w, int h, int r)
{
    static thread_local std::vector<float> tmp;
    tmp.resize(static_cast<size_t>(w) * h);
    const double inv = 1.0 / (2 * r + 1);
    for (int y = 0; y < h; ++y) {
        const float* row = src + static_cast<size_t>(y) * w;
        float* line = tmp.data() + static_cast<size_t>(y) * w;
        double sum = 0.0;
        for (int k = -r; k <= r; ++k)
            sum += row[std::clamp(k, 0, w - 1)];
        for (int x = 0; x < w; ++x) {
            line[x] = static_cast<float>(sum * inv);
            sum += row[std::min(x + r + 1, w - 1)] - row[std::max(x - r, 0)];
        }
    }
    // Vertical pass: float column sums (vectorised), restarted every block of rows so that
    // rounding cannot drift.
    std::vector<float> acc(static_cast<size_t>(w));
    auto tmpRow = [&](int y) { return tmp.data() + static_cast<size_t>(std::clamp(y, 0, h - 1)) * w; };
    const float invf = static_cast<float>(inv);
    for (int y = 0; y < h; ++y) {
        if (y % 128 == 0) {
            std::fill(acc.begin(), acc.end(), 0.f);
            for (int k = y - r; k <= y + r; ++k) {
                const float* t = tmpRow(k);
                for (int x = 0; x < w; ++x)
                    acc[x] += t[x];
            }
        }
        float* line = dst + static_cast<size_t>(y) * w;
        const float* in = tmpRow(y + r + 1);
        const float* out = tmpRow(y - r);
        for (int x = 0; x < w; ++x) {
            line[x] = acc[x] * invf;
            acc[x] += in[x] - out[x];
        }
    }
}

// The dye of one multi-fluorescence channel, with the same grain and illumination fall-off.
std::shared_ptr<const SampleMaps> buildDye(const Geometry& g)
{
    auto maps = std::make_shared<SampleMaps>();
    maps->geometry = g;
    const int w = g.width, h = g.height;
    maps->fallX.resize(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        const double du = 2.0 * (g.originX + (x + 0.5) * g.binning) / g.sensorWidth - 1.0;
        maps->fallX[x] = static_cast<float>(1.0 - kVignette * du * du);
    }
    maps->fallY.resize(static_cast<size_t>(h));
    maps->stain.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const double v = (g.originY + (y + 0.5) * g.binning) / g.sensorHeight;
        maps->fallY[y] = static_cast<float>(1.0 - kVignette * (2.0 * v - 1.0) * (2.0 * v - 1.0));
        float* line = maps->stain.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const double u = (g.originX + (x + 0.5) * g.binning) / g.sensorWidth;
            const double sx = g.originX + (x + 0.5) * g.binning, sy = g.originY + (y + 0.5) * g.binning;
            line[x] = static_cast<float>(dyeDensity(g.layer, u, v) * (1.0 + kGrain * grain(sx, sy)));
        }
    }
    return maps;
}

std::shared_ptr<const SampleMaps> buildSample(const Geometry& g)
{
    if (g.layer != 0)
        return buildDye(g);
    auto maps = std::make_shared<SampleMaps>();
    maps->geometry = g;
    const int w = g.width, h = g.height;
    std::vector<int> laneOf(static_cast<size_t>(w), 0);
    std::vector<float> laneWeight(static_cast<size_t>(w), 0.f), gelX(static_cast<size_t>(w), 0.f);
    maps->fallX.resize(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        const double u = (g.originX + (x + 0.5) * g.binning) / g.sensorWidth;
        gelX[x] = static_cast<float>(kGelLevel * softBox(u, kGelLeft, kGelRight, 0.01));
        const int lane = static_cast<int>(std::lround((u - kLaneFirst) / kLaneStep));
        if (lane >= 0 && lane < kLanes) {
            const double c = kLaneFirst + lane * kLaneStep;
            laneOf[x] = lane;
            laneWeight[x] = static_cast<float>(softBox(u, c - kLaneHalfWidth, c + kLaneHalfWidth, kLaneEdge));
        }
        const double du = 2.0 * u - 1.0;
        maps->fallX[x] = static_cast<float>(1.0 - kVignette * du * du);
    }
    maps->fallY.resize(static_cast<size_t>(h));
    maps->stain.resize(static_cast<size_t>(w) * h);
    std::array<float, kLanes> laneRow{};
    for (int y = 0; y < h; ++y) {
        const double v = (g.originY + (y + 0.5) * g.binning) / g.sensorHeight;
        for (int lane = 0; lane < kLanes; ++lane) {
            double sum = 0.0;
            for (int b = 0; b < kBandsPerLane; ++b) {
                const double d = (v - bandCentre(lane, b)) / kBandHalfHeight;
                sum += bandStrength(lane, b) * std::exp(-d * d * d * d);  // flat-topped band
            }
            laneRow[lane] = static_cast<float>(std::min(sum, 1.0));
        }
        const float gelY = static_cast<float>(softBox(v, kGelTop, kGelBottom, 0.01));
        const double dv = 2.0 * v - 1.0;
        maps->fallY[y] = static_cast<float>(1.0 - kVignette * dv * dv);
        float* line = maps->stain.data() + static_cast<size_t>(y) * w;
        const double sy = g.originY + (y + 0.5) * g.binning;
        for (int x = 0; x < w; ++x) {
            const double sx = g.originX + (x + 0.5) * g.binning;
            const double g = grain(sx, sy);
            const double slab = gelX[x] * gelY;
            line[x] = static_cast<float>((laneWeight[x] * laneRow[laneOf[x]] * gelY + slab) * (1.0 + kGrain * g)
                                         + slab / kGelLevel * kSlabGrain * g);
        }
    }
    return maps;
}

// A few geometries and lens distances stay cached: preview and capture of one or two cameras
// alternate, a frame between two whole radii needs both, and an autofocus sweep revisits
// positions.
constexpr size_t kCacheEntries = 4;

std::shared_ptr<const BlurredStain> stainFor(const Geometry& g, int radius)
{
    // Never destroyed: a camera thread may still render while the process runs its exit handlers.
    static std::mutex& mutex = *new std::mutex;
    static auto& samples = *new std::vector<std::shared_ptr<const SampleMaps>>;
    static auto& blurred = *new std::vector<std::shared_ptr<const BlurredStain>>;
    std::shared_ptr<const SampleMaps> sample;
    std::vector<float> recycled;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (size_t i = 0; i < blurred.size(); ++i) {
            if (blurred[i]->sample->geometry == g && blurred[i]->radius == radius) {
                auto hit = blurred[i];
                blurred.erase(blurred.begin() + static_cast<long>(i));
                blurred.push_back(hit);
                return hit;
            }
        }
        for (size_t i = 0; i < samples.size(); ++i) {
            if (samples[i]->geometry == g) {
                sample = samples[i];
                samples.erase(samples.begin() + static_cast<long>(i));
                samples.push_back(sample);
                break;
            }
        }
    }
    if (!sample) {
        sample = buildSample(g);
        std::lock_guard<std::mutex> lock(mutex);
        if (samples.size() >= kCacheEntries)
            samples.erase(samples.begin());
        samples.push_back(sample);
    }
    auto entry = std::make_shared<BlurredStain>();
    entry->sample = sample;
    entry->radius = radius;
    if (radius == 0)
        return entry;  // the sharp stain is the sample's own
    {
        // Reuse the memory of the entry about to be dropped: fresh pages cost more than the blur.
        std::lock_guard<std::mutex> lock(mutex);
        if (blurred.size() >= kCacheEntries && blurred.front().use_count() == 1) {
            recycled = std::move(const_cast<BlurredStain&>(*blurred.front()).stain);
            blurred.erase(blurred.begin());
        }
    }
    recycled.resize(sample->stain.size());
    entry->stain = std::move(recycled);
    boxBlur(sample->stain.data(), entry->stain.data(), g.width, g.height, radius);
    std::lock_guard<std::mutex> lock(mutex);
    while (blurred.size() >= kCacheEntries)
        blurred.erase(blurred.begin());
    blurred.push_back(entry);
    return entry;
}

// One layer of the sample as a frame sees it: blurred to a whole radius, or blended between
// two neighbouring radii (the exact radius lies between them).
class BlurredLayer {
public:
    BlurredLayer(const Geometry& g, int radius, float blend)
        : m_inner(stainFor(g, radius))
        , m_width(g.width)
        , m_blend(blend)
    {
        if (blend > 0.f && radius < kMaxBlurRadius)
            m_outer = stainFor(g, radius + 1);
    }
    const SampleMaps* maps() const { return m_inner->sample.get(); }
    // Row y; a blended row is made in the scratch row `slot` of the calling thread.
    const float* row(int y, int slot) const
    {
        const size_t offset = static_cast<size_t>(y) * m_width;
        const float* inner = (m_inner->radius > 0 ? m_inner->stain.data() : maps()->stain.data()) + offset;
        if (!m_outer)
            return inner;
        static thread_local std::vector<float> scratch[2];
        std::vector<float>& mixed = scratch[slot];
        mixed.resize(static_cast<size_t>(m_width));
        const float* outer = m_outer->stain.data() + offset;
        for (int x = 0; x < m_width; ++x)
            mixed[x] = inner[x] + m_blend * (outer[x] - inner[x]);
        return mixed.data();
    }

private:
    std::shared_ptr<const BlurredStain> m_inner, m_outer;
    int m_width;
    float m_blend;
};

// Standard normal deviates at evenly spaced quantiles: a table lookup per pixel instead of
// a transcendental call keeps a full frame well below the frame time.
constexpr int kNormalBits = 12;
const std::vector<float>& normalTable()
{
    static const std::vector<float>& table = *[] {
        auto* t = new std::vector<float>(1u << kNormalBits);
        for (size_t i = 0; i < t->size(); ++i) {
            const double p = (i + 0.5) / t->size();
            // Inverse normal CDF by bisection on erfc; built once.
            double lo = -8.0, hi = 8.0;
            for (int k = 0; k < 60; ++k) {
                const double mid = 0.5 * (lo + hi);
                if (0.5 * std::erfc(-mid / M_SQRT2) < p)
                    lo = mid;
                else
                    hi = mid;
            }
            (*t)[i] = static_cast<float>(0.5 * (lo + hi));
        }
        return t;
    }();
    return table;
}

uint64_t splitMix(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

struct Lighting {
    double fluor = 0.0;   // excitation reaching fluorescent stain, 1 = one full lamp
    double white = 0.0;   // white light through the sample
    double epi = 0.0;     // the main white lamp (power and source on) shining on the sample
};

// The board's light source byte lights the white trans-illuminator by itself (the gel and
// multi-fluorescence white commands send only it); together with the power byte (the Western-blot
// light) it is the main lamp above the sample instead.

Lighting lightingOf(const CabinetSnapshot& c)
{
    Lighting l;
    const double blue = std::clamp(c.bluePercent, 0, 100) / 100.0;
    auto on = [&](uint32_t bit) { return (c.lamps & bit) != 0; };
    for (uint32_t bit : {LampUV302_1, LampUV302_2, LampUV254, LampUV365, LampMiniUV})
        l.fluor += on(bit) ? 1.0 : 0.0;
    for (uint32_t bit : {LampMiniBlue, LampBlueLight})
        l.fluor += on(bit) ? blue : 0.0;
    // The lamps of the multi-fluorescence board excite only their channels' dyes (fluorchannels).
    for (uint32_t bit : {LampRedLight, LampGreenLight})
        l.fluor += on(bit) ? 0.5 : 0.0;
    for (uint32_t bit : {LampWhiteLight, LampMiniWhite})
        l.white += on(bit) ? 1.0 : 0.0;
    if (on(LampSource))
        (on(LampPower) ? l.epi : l.white) += 1.0;
    return l;
}

// The stained bands are coloured: seen in the main white light they send back most through the
// green filter and least in the near infrared, so the three frames of a colour marker differ.
double bandColour(int position)
{
    static const double reflect[8] = {1.0, 1.0, 0.7, 0.5, 0.3, 0.1, 0.1, 0.1};
    return reflect[std::clamp(position, 0, 7)];
}

double filterTransmission(int position)
{
    static const double transmission[8] = {1.0, 0.8, 0.7, 0.6, 0.5, 0.45, 0.4, 0.35};
    return transmission[std::clamp(position, 0, 7)];
}

} // namespace

bool renderScene(const SceneRequest& request, const CabinetSnapshot& cabinet, uint16_t* out)
{
    if (!out || request.width <= 0 || request.height <= 0 || request.binning < 1)
        return false;
    Geometry g{};
    g.binning = request.binning;
    g.width = request.width;
    g.height = request.height;
    g.originX = request.originX;
    g.originY = request.originY;
    g.sensorWidth = request.sensorWidth > 0 ? request.sensorWidth : request.originX + request.width * request.binning;
    g.sensorHeight = request.sensorHeight > 0 ? request.sensorHeight : request.originY + request.height * request.binning;
    // The blur radius grows in proportion to the distance from best focus and is blended
    // between the two nearest whole radii, so that sharpness falls smoothly and steadily with
    // every lens step instead of in stairs.
    const double defocus = std::fabs(static_cast<double>(request.lensPosition) - cabinet.bestFocus);
    const int steps = std::max(1, request.focusStepsPerPixel);
    const double exactRadius = std::min<double>(kMaxBlurRadius, defocus / steps / request.binning);
    const int radius = static_cast<int>(exactRadius);
    const float blend = static_cast<float>(exactRadius - radius);
    const BlurredLayer stainLayer(g, radius, blend);
    const SampleMaps* maps = stainLayer.maps();
    // A multi-fluorescence channel adds its dye where its lamp and its filter meet.
    const int channel = visibleChannel(cabinet);
    std::unique_ptr<BlurredLayer> dyeLayer;
    if (channel != NoChannel) {
        Geometry dye = g;
        dye.layer = channel;
        dyeLayer = std::make_unique<BlurredLayer>(dye, radius, blend);
    }

    const Lighting light = lightingOf(cabinet);
    const double exposure = std::max(0.0, request.exposureMs);
    const double scale = std::max(0.0, request.gain) * request.binning * request.binning * exposure;
    const double pass = filterTransmission(cabinet.filterPos);
    // mean = (a * fall + c) * stain + b * fall + dark, with fall the illumination fall-off.
    const double epi = light.epi * kEpiRate;
    const float a = static_cast<float>(scale * pass * (light.fluor * kFluorRate - light.white * kWhiteRate * kWhiteAbsorb
                                                       + epi * bandColour(cabinet.filterPos)));
    const float b = static_cast<float>(scale * pass * (light.fluor * kFluorRate * kFluorBackground + light.white * kWhiteRate
                                                       + epi * kEpiBackground));
    const float c = static_cast<float>(scale * pass * kChemiRate);
    const float dark = static_cast<float>(scale * kDarkRate);
    const float black = static_cast<float>(request.blackLevel);
    const float dyeRate = static_cast<float>(scale * pass * kDyeRate);
    const float glow = static_cast<float>(kDyeGlow);

    // Shot noise grows with the square root of the collected signal; the gain scales it.
    static thread_local std::vector<float> sigma;
    static thread_local double sigmaGain = -1.0;
    const double gain = std::max(0.0, request.gain);
    if (sigma.empty() || sigmaGain != gain) {
        sigma.resize(65537);
        for (size_t i = 0; i < sigma.size(); ++i)
            sigma[i] = static_cast<float>(std::sqrt(gain * i + kReadNoise * kReadNoise));
        sigmaGain = gain;
    }
    const float* normal = normalTable().data();
    const float* sig = sigma.data();
    const int w = g.width;
    constexpr uint64_t kMask = (1u << kNormalBits) - 1;

    for (int y = 0; y < g.height; ++y) {
        const float fy = maps->fallY[y];
        const float ay = a * fy, by = b * fy;
        const float* stain = stainLayer.row(y, 0);
        const float* dye = dyeLayer ? dyeLayer->row(y, 1) : nullptr;
        const float dy = dyeRate * fy;
        const float* fx = maps->fallX.data();
        uint16_t* line = out + static_cast<size_t>(y) * w;
        uint64_t state = splitMix(request.seed * 0x100000001B3ull + static_cast<uint64_t>(y));
        uint64_t bits = 0;
        int left = 0;
        for (int x = 0; x < w; ++x) {
            float mean = (ay * fx[x] + c) * stain[x] + by * fx[x] + dark;
            if (dye)
                mean += dy * fx[x] * (dye[x] + glow);
            mean = mean > 0.f ? mean : 0.f;
            if (left == 0) {
                state ^= state << 13;
                state ^= state >> 7;
                state ^= state << 17;
                bits = state;
                left = 64 / kNormalBits;
            }
            const float n = normal[bits & kMask];
            bits >>= kNormalBits;
            --left;
            const int index = mean < 65536.f ? static_cast<int>(mean) : 65536;
            float v = black + mean + sig[index] * n + 0.5f;
            v = v < 0.f ? 0.f : (v > 65535.f ? 65535.f : v);
            line[x] = static_cast<uint16_t>(v);
        }
    }
    return true;
}

} // namespace vcab
