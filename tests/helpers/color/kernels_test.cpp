// The wide kernels (AVX2, AVX-512, non-temporal stores) give byte for byte what the plain loops give, on
// frames sized and placed to reach every head, tail and alignment case.
#include "colorcore.h"
#include "parallel.h"
#include "simd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

// Restores the kernel choice at scope end, so one case cannot leak into the next.
struct KernelChoice {
    bool avx2 = khc::avx2Enabled();
    bool avx512 = khc::avx512Enabled();
    std::size_t stream = khc::streamThreshold();
    ~KernelChoice()
    {
        khc::setAvx2Enabled(avx2);
        khc::setAvx512Enabled(avx512);
        khc::setStreamThreshold(stream);
    }
};

struct Mode {
    const char* name;
    bool avx2;
    bool avx512;
    bool stream;
};
// The first mode is the reference: plain loops, ordinary stores. On a processor without a set
// its modes run the narrower kernels, which still must match.
const Mode kModes[] = {{"plain", false, false, false},
                       {"avx2", true, false, false},
                       {"avx2+stream", true, false, true},
                       {"avx512", true, true, false},
                       {"avx512+stream", true, true, true}};

void select(const Mode& m)
{
    khc::setAvx2Enabled(m.avx2);
    khc::setAvx512Enabled(m.avx512);
    khc::setStreamThreshold(m.stream ? 1 : ~std::size_t(0));
}

bool isWide(int format) { return format <= 1; }
std::size_t samplesPerPixel(int format) { return format == 1 || format == 4 ? 3 : format <= 3 ? 3 : 4; }

// Raw samples drawn from a few values at the ends of the range as well as anywhere: sums of top
// values are where 16-bit averages would wrap.
template <typename T>
std::vector<T> rawFrame(std::size_t n, uint32_t top, bool extremes, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<T> raw(n);
    const T ends[4] = {0, 1, T(top - 1), T(top)};
    for (auto& v : raw)
        v = extremes ? ends[rng() & 3] : T(rng() & top);
    return raw;
}

// Output of one debayer call into a buffer shifted by `shift` samples from its allocation.
template <typename T>
std::vector<T> debayered(int algorithm, const std::vector<T>& raw, uint32_t w, uint32_t h, unsigned pattern,
                         int format, std::size_t shift)
{
    const std::size_t n = std::size_t(w) * h * samplesPerPixel(format);
    std::vector<T> buffer(n + shift + 16, T(0xAB));
    T* out = buffer.data() + shift;
    if (algorithm == 0)
        khc::debayerFast(raw.data(), out, w, h, pattern, format, 0xC8);
    else
        khc::debayerBilinear(raw.data(), out, w, h, pattern, format, 0xC8);
    // Nothing may land past the frame.
    for (std::size_t i = shift + n; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], T(0xAB)) << "written past the frame at " << i - shift - n;
    return std::vector<T>(out, out + n);
}

template <typename T>
void compareDebayer(const std::vector<int>& formats)
{
    KernelChoice keep;
    struct Size {
        uint32_t w, h;
    };
    // Below, at and above one vector step (16 pixels), odd sizes, and one frame big enough for
    // the band workers.
    const Size sizes[] = {{2, 2}, {3, 3}, {16, 4}, {17, 5}, {18, 3}, {33, 6}, {35, 7}, {64, 9}, {131, 40}, {258, 131}};
    for (const Size& sz : sizes)
        for (bool extremes : {false, true})
            for (int format : formats) {
                const uint32_t top = isWide(format) ? 0xFFFF : 0xFF;
                const auto raw = rawFrame<T>(std::size_t(sz.w) * sz.h, top, extremes, sz.w * 31 + sz.h);
                for (int algorithm : {0, 1})
                    for (unsigned pattern = 2; pattern <= 5; ++pattern)
                        for (std::size_t shift : {0, 1}) {
                            select(kModes[0]);
                            const auto expected = debayered(algorithm, raw, sz.w, sz.h, pattern, format, shift);
                            for (const Mode& m : kModes) {
                                select(m);
                                ASSERT_EQ(debayered(algorithm, raw, sz.w, sz.h, pattern, format, shift), expected)
                                    << m.name << " algorithm " << algorithm << " format " << format << " pattern "
                                    << pattern << " size " << sz.w << "x" << sz.h << " shift " << shift
                                    << (extremes ? " extremes" : "");
                            }
                        }
            }
}

TEST(KhColorKernels, DebayerWideKernelsMatchThePlainLoops16)
{
    compareDebayer<uint16_t>({0, 1});
}

TEST(KhColorKernels, DebayerWideKernelsMatchThePlainLoops8)
{
    compareDebayer<uint8_t>({2, 3, 4, 5, 6, 7});
}

// Same-depth conversions take the shuffle kernels; shifted ones the plain loop in every mode.
TEST(KhColorKernels, ConversionKernelsMatchThePlainLoops)
{
    KernelChoice keep;
    struct Case {
        int src, dst;
        unsigned srcDepth, dstDepth;
    };
    const Case cases[] = {
        {0, 1, 16, 16}, {0, 1, 12, 12}, {2, 6, 8, 8}, {2, 5, 8, 8}, {2, 7, 8, 8}, {3, 6, 8, 8},
        {7, 6, 8, 8},   {5, 7, 8, 8},   {6, 6, 8, 8}, {2, 3, 8, 8}, {0, 1, 12, 16}, {2, 6, 6, 8},
    };
    // Around the 4-, 8-, 16- and 32-pixel steps, and one frame large enough to be split into
    // bands that start mid-vector.
    const std::pair<uint32_t, uint32_t> sizes[] = {{2, 2},  {7, 3},  {8, 2},   {15, 3},   {16, 2},
                                                   {33, 5}, {64, 4}, {61, 67}, {1031, 515}};
    for (const Case& c : cases)
        for (auto [w, h] : sizes)
            for (std::size_t shift : {0, 1, 3}) {
                const std::size_t pixels = std::size_t(w) * h;
                const std::size_t srcBytes = pixels * samplesPerPixel(c.src) * (isWide(c.src) ? 2 : 1);
                const std::size_t dstBytes = pixels * samplesPerPixel(c.dst) * (isWide(c.dst) ? 2 : 1);
                std::mt19937 rng(w * 7 + h);
                // Word-aligned source and destination, moved off 32-byte alignment by `shift` samples.
                const std::size_t unit = isWide(c.src) ? 2 : 1;
                std::vector<uint16_t> srcBuf(srcBytes / 2 + 8);
                auto* src = reinterpret_cast<uint8_t*>(srcBuf.data()) + shift * unit;
                const uint32_t top = (1u << c.srcDepth) - 1;
                for (std::size_t i = 0; i < srcBytes / unit; ++i) {
                    if (unit == 2) {
                        const uint16_t v = uint16_t(rng() & top);
                        std::memcpy(src + 2 * i, &v, 2);
                    } else {
                        src[i] = uint8_t(rng() & top);
                    }
                }
                std::vector<uint8_t> expected;
                for (const Mode& m : kModes) {
                    select(m);
                    std::vector<uint16_t> dstBuf(dstBytes / 2 + 24, 0xABAB);
                    auto* dst = reinterpret_cast<uint8_t*>(dstBuf.data()) + shift * (isWide(c.dst) ? 2 : 1);
                    khc::convertFormat(src, c.src, c.srcDepth, dst, c.dst, c.dstDepth, w, h, 0xC8);
                    const auto* end = reinterpret_cast<const uint8_t*>(dstBuf.data() + dstBuf.size());
                    for (const uint8_t* p = dst + dstBytes; p < end; ++p)
                        ASSERT_EQ(*p, 0xAB) << m.name << " wrote past the frame, " << c.src << "->" << c.dst;
                    std::vector<uint8_t> got(dst, dst + dstBytes);
                    if (expected.empty())
                        expected = got;
                    else
                        ASSERT_EQ(got, expected) << m.name << " " << c.src << "->" << c.dst << " depth " << c.srcDepth
                                                 << "->" << c.dstDepth << " size " << w << "x" << h << " shift "
                                                 << shift;
                }
            }
}

// On one worker a large frame is one band: the 16-bit split then walks it in several spans of
// two interleaved input streams, with an uneven span and single steps at the end.
TEST(KhColorKernels, SplitOfOneLargeBandMatchesThePlainLoop)
{
    KernelChoice keep;
    struct OneWorker {
        OneWorker() { khc::setWorkerLimit(1); }
        ~OneWorker() { khc::setWorkerLimit(0); }
    } one;
    // Planes of whole lines (streamed) and not, each over two full spans.
    for (auto [w, h] : {std::pair<uint32_t, uint32_t>{1024, 600}, {1031, 601}}) {
        const std::size_t pixels = std::size_t(w) * h;
        std::mt19937 rng(w);
        std::vector<uint16_t> src(3 * pixels);
        for (auto& v : src)
            v = uint16_t(rng());
        std::vector<uint16_t> expected;
        for (const Mode& m : kModes) {
            select(m);
            std::vector<uint16_t> dst(3 * pixels + 32, 0xABAB);
            khc::convertFormat(src.data(), 0, 16, dst.data(), 1, 16, w, h, 0xFFFF);
            for (std::size_t i = 3 * pixels; i < dst.size(); ++i)
                ASSERT_EQ(dst[i], 0xABAB) << m.name << " wrote past the frame, " << w << "x" << h;
            dst.resize(3 * pixels);
            if (expected.empty())
                expected = dst;
            else
                ASSERT_TRUE(dst == expected) << m.name << " " << w << "x" << h;
        }
    }
}

// Switching the wide kernels on must never enable them where the processor lacks them.
TEST(KhColorKernels, WideKernelsFollowTheProcessor)
{
    KernelChoice keep;
#if defined(__x86_64__) || defined(__i386__)
    const bool hasAvx2 = __builtin_cpu_supports("avx2");
    const bool hasAvx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                           __builtin_cpu_supports("avx512vbmi");
#else
    const bool hasAvx2 = false, hasAvx512 = false;
#endif
    const struct {
        const char* name;
        void (*set)(bool);
        bool (*get)();
        bool has;
    } sets[] = {{"avx2", khc::setAvx2Enabled, khc::avx2Enabled, hasAvx2},
                {"avx512", khc::setAvx512Enabled, khc::avx512Enabled, hasAvx512}};
    for (const auto& k : sets) {
        k.set(false);
        EXPECT_FALSE(k.get()) << k.name;
        k.set(true);
        EXPECT_EQ(k.get(), k.has) << k.name;
    }
}

} // namespace
