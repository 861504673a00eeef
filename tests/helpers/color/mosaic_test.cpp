// Debayering through the exports: constant-colour mosaics over every pattern, region parity,
// algorithm and format; frames computed by hand for borders, corners and odd sizes.
#include "colortestutil.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Where the channels of each format lie: offsets r, g, b, a (-1 none), step, planar, 16-bit.
struct Layout {
    int off[4];
    int step;
    bool planar;
    bool wide;
};
const Layout kLayouts[8] = {
    {{0, 1, 2, -1}, 3, false, true}, {{0, 1, 2, -1}, 1, true, true},  {{0, 1, 2, -1}, 3, false, false},
    {{2, 1, 0, -1}, 3, false, false}, {{0, 1, 2, -1}, 1, true, false}, {{1, 2, 3, 0}, 4, false, false},
    {{2, 1, 0, 3}, 4, false, false},  {{0, 1, 2, 3}, 4, false, false},
};

// A colour frame of any format, read by pixel and channel.
struct ColorFrame {
    int format;
    uint32_t w, h;
    std::vector<uint8_t> bytes;
    ColorFrame(int f, uint32_t width, uint32_t height) : format(f), w(width), h(height)
    {
        const Layout& l = kLayouts[f];
        bytes.assign(std::size_t(w) * h * (l.planar ? 3 : l.step) * (l.wide ? 2 : 1), 0xEE);
    }
    uint32_t at(uint32_t x, uint32_t y, int c) const
    {
        const Layout& l = kLayouts[format];
        const std::size_t p = std::size_t(y) * w + x;
        const std::size_t i = l.planar ? std::size_t(l.off[c]) * w * h + p : p * l.step + l.off[c];
        if (l.wide)
            return reinterpret_cast<const uint16_t*>(bytes.data())[i];
        return bytes[i];
    }
    std::array<uint32_t, 3> rgb(uint32_t x, uint32_t y) const { return {at(x, y, 0), at(x, y, 1), at(x, y, 2)}; }
};

// Sensor pattern 2..5: the channel (0 red, 1 green, 2 blue) of sensor pixel (x, y).
int sensorChannel(unsigned pattern, uint32_t x, uint32_t y)
{
    const unsigned rr = (pattern - 2) >> 1, rc = (pattern - 2) & 1;
    const bool rowHit = (y & 1) == rr, colHit = (x & 1) == rc;
    return rowHit && colHit ? 0 : (!rowHit && !colHit ? 2 : 1);
}

std::vector<uint8_t> rawBytes(const std::vector<uint32_t>& samples, bool wide)
{
    std::vector<uint8_t> out(samples.size() * (wide ? 2 : 1));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (wide)
            reinterpret_cast<uint16_t*>(out.data())[i] = uint16_t(samples[i]);
        else
            out[i] = uint8_t(samples[i]);
    }
    return out;
}

TEST(KhColorDebayer, ConstantColourMosaicEverywhere)
{
    const std::pair<uint32_t, uint32_t> sizes[] = {{6, 4}, {7, 5}, {2, 2}, {3, 3}, {2, 5}, {9, 2}, {70, 66}};
    for (int format = 0; format < 8; ++format) {
        const bool wide = kLayouts[format].wide;
        const uint16_t depth = wide ? 16 : 8;
        const uint32_t colour[3] = {wide ? 40000u : 200u, wide ? 1234u : 17u, wide ? 65535u : 255u};
        for (unsigned pattern = 2; pattern <= 5; ++pattern)
            for (uint32_t algorithm = 0; algorithm <= 1; ++algorithm) {
                ContextHolder ctx;
                ctx->algorithm = algorithm;
                ctx->pattern = pattern;
                ctx->rgbFormat = uint32_t(format);
                ctx->bitDepth = depth;
                ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
                for (uint16_t x0 : {0, 1})
                    for (uint16_t y0 : {0, 1})
                        for (auto [w, h] : sizes) {
                            std::vector<uint32_t> samples(std::size_t(w) * h);
                            for (uint32_t y = 0; y < h; ++y)
                                for (uint32_t x = 0; x < w; ++x)
                                    samples[y * w + x] = colour[sensorChannel(pattern, x0 + x, y0 + y)];
                            const auto raw = rawBytes(samples, wide);
                            const rgn_type r = region(x0, y0, uint16_t(w), uint16_t(h));
                            ColorFrame out(format, w, h);
                            ASSERT_EQ(kh_color_debayer(ctx, raw.data(), &r, out.bytes.data()), 0);
                            for (uint32_t y = 0; y < h; ++y)
                                for (uint32_t x = 0; x < w; ++x) {
                                    const auto v = out.rgb(x, y);
                                    ASSERT_TRUE(v[0] == colour[0] && v[1] == colour[1] && v[2] == colour[2])
                                        << "format " << format << " pattern " << pattern << " algorithm "
                                        << algorithm << " start " << x0 << "," << y0 << " size " << w << "x" << h
                                        << " pixel " << x << "," << y << " = " << v[0] << "," << v[1] << ","
                                        << v[2];
                                    if (kLayouts[format].off[3] >= 0) {
                                        ASSERT_EQ(out.at(x, y, 3), 255u);
                                    }
                                }
                        }
            }
    }
}

// RGGB 4x4 frame; every border rule and corner rule appears once.
TEST(KhColorDebayer, BilinearBordersAndCornersByHand)
{
    const uint16_t raw[16] = {12, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160};
    ContextHolder ctx;
    ASSERT_EQ(ctx->algorithm, 1u);
    const rgn_type r = region(0, 0, 4, 4);
    ColorFrame out(0, 4, 4);
    ASSERT_EQ(kh_color_debayer(ctx, raw, &r, out.bytes.data()), 0);
    const struct {
        uint32_t x, y;
        std::array<uint32_t, 3> rgb;
        const char* what;
    } cases[] = {
        {0, 0, {12, 35, 60}, "red corner"},
        {3, 0, {30, 40, 80}, "green corner, top right"},
        {0, 3, {90, 130, 140}, "green corner, bottom left"},
        {3, 3, {110, 135, 160}, "blue corner"},
        {1, 0, {21, 20, 60}, "green on the top row"},
        {2, 0, {30, 43, 70}, "red on the top row"},
        {0, 1, {51, 50, 60}, "green on the left column"},
        {0, 2, {90, 93, 100}, "red on the left column"},
        {3, 1, {70, 77, 80}, "blue on the right column"},
        {1, 1, {61, 60, 60}, "interior blue"},
        {2, 1, {70, 70, 70}, "interior green in a blue row"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(out.rgb(c.x, c.y), c.rgb) << c.what;
}

// RGGB 3x3 frame: the odd column and row borrow their neighbours' cells.
TEST(KhColorDebayer, FastOddSizesByHand)
{
    const uint16_t raw[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    ContextHolder ctx;
    ctx->algorithm = 0;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    const rgn_type r = region(0, 0, 3, 3);
    ColorFrame out(0, 3, 3);
    ASSERT_EQ(kh_color_debayer(ctx, raw, &r, out.bytes.data()), 0);
    const std::array<uint32_t, 3> cell{1, 3, 5}, column{3, 4, 5}, row{7, 6, 5}, corner{9, 7, 5};
    const std::array<uint32_t, 3> expected[9] = {cell, cell, column, cell, cell, column, row, row, corner};
    for (uint32_t i = 0; i < 9; ++i)
        EXPECT_EQ(out.rgb(i % 3, i / 3), expected[i]) << "pixel " << i;
}

TEST(KhColorDebayer, RegionStartingOneColumnInColoursLikeTheFullFrame)
{
    // An 8x4 sensor frame and the same frame cut one column in.
    std::vector<uint16_t> full(32);
    for (uint32_t i = 0; i < 32; ++i)
        full[i] = uint16_t(1000 + 37 * i + (i % 5) * 400);
    std::vector<uint16_t> cut;
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 1; x < 8; ++x)
            cut.push_back(full[y * 8 + x]);
    for (uint32_t algorithm : {0u, 1u}) {
        ContextHolder ctx;
        ctx->algorithm = algorithm;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        const rgn_type rf = region(0, 0, 8, 4), rc = region(1, 0, 7, 4);
        ColorFrame a(0, 8, 4), b(0, 7, 4);
        ASSERT_EQ(kh_color_debayer(ctx, full.data(), &rf, a.bytes.data()), 0);
        ASSERT_EQ(kh_color_debayer(ctx, cut.data(), &rc, b.bytes.data()), 0);
        // Pixels away from either frame's borders (and, for the fast rule, in cells the cut keeps whole).
        for (uint32_t y = 1; y < 3; ++y)
            for (uint32_t x = 2; x < 6; ++x) {
                if (algorithm == 0)
                    continue;
                EXPECT_EQ(a.rgb(x, y), b.rgb(x - 1, y)) << x << "," << y;
            }
        if (algorithm == 0) {
            // The cut frame's first cell is sensor columns 1-2: a GRBG cell.
            const auto v = b.rgb(0, 0);
            EXPECT_EQ(v[0], full[2]);
            EXPECT_EQ(v[2], full[8 + 1]);
            EXPECT_EQ(v[1], (uint32_t(full[1]) + full[8 + 2] + 1) / 2);
        }
    }
}

TEST(KhColorDebayer, TwoByTwoFastGivesFourEqualPixels)
{
    const uint16_t raw[4] = {10, 21, 40, 30}; // RGGB
    ContextHolder ctx;
    ctx->algorithm = 0;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    const rgn_type r = region(0, 0, 2, 2);
    ColorFrame out(0, 2, 2);
    ASSERT_EQ(kh_color_debayer(ctx, raw, &r, out.bytes.data()), 0);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(out.rgb(i % 2, i / 2), (std::array<uint32_t, 3>{10, 31, 30}));
}

TEST(KhColorDebayer, WhiteBalanceAfterDebayerSaturates)
{
    for (uint32_t algorithm : {0u, 1u}) {
        ContextHolder ctx;
        ctx->algorithm = algorithm;
        ctx->bitDepth = 12;
        ctx->redScale = ctx->greenScale = ctx->blueScale = 2.0f;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        std::vector<uint16_t> raw(6 * 5, 3000);
        const rgn_type r = region(0, 0, 6, 5);
        ColorFrame out(0, 6, 5);
        ASSERT_EQ(kh_color_debayer_and_white_balance(ctx, raw.data(), &r, out.bytes.data()), 0);
        for (uint32_t y = 0; y < 5; ++y)
            for (uint32_t x = 0; x < 6; ++x)
                ASSERT_EQ(out.rgb(x, y), (std::array<uint32_t, 3>{4095, 4095, 4095}));
        // Without the flag the samples pass unchanged.
        ASSERT_EQ(kh_color_debayer(ctx, raw.data(), &r, out.bytes.data()), 0);
        EXPECT_EQ(out.rgb(3, 2), (std::array<uint32_t, 3>{3000, 3000, 3000}));
    }
}

TEST(KhColorDebayer, AlphaIsAlphaValueCappedByTheDepth)
{
    const struct {
        uint16_t depth;
        uint16_t alphaValue;
        uint32_t expected;
    } cases[] = {{8, 100, 100}, {8, 0xFFFF, 255}, {4, 255, 15}, {4, 7, 7}, {1, 5, 1}};
    for (const auto& c : cases)
        for (uint32_t algorithm : {0u, 1u}) {
            ContextHolder ctx;
            ctx->algorithm = algorithm;
            ctx->rgbFormat = 6;
            ctx->bitDepth = c.depth;
            ctx->alphaValue = c.alphaValue;
            ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
            const uint8_t raw[9] = {1, 0, 1, 0, 1, 0, 1, 0, 1};
            const rgn_type r = region(0, 0, 3, 3);
            ColorFrame out(6, 3, 3);
            ASSERT_EQ(kh_color_debayer(ctx, raw, &r, out.bytes.data()), 0);
            for (uint32_t i = 0; i < 9; ++i)
                ASSERT_EQ(out.at(i % 3, i / 3, 3), c.expected) << c.depth << " " << c.alphaValue;
        }
}

// Bands of a large frame meet without seams: a frame of horizontal stripes keeps its stripes.
TEST(KhColorDebayer, LargeFramesSplitIntoBandsWithoutSeams)
{
    const uint32_t w = 515, h = 387;
    std::vector<uint16_t> raw(std::size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            raw[y * w + x] = uint16_t(((y / 2) % 7) * 1000 + 5);
    for (uint32_t algorithm : {0u, 1u}) {
        ContextHolder ctx;
        ctx->algorithm = algorithm;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        const rgn_type r = region(0, 0, uint16_t(w), uint16_t(h));
        ColorFrame out(0, w, h);
        ASSERT_EQ(kh_color_debayer(ctx, raw.data(), &r, out.bytes.data()), 0);
        // The stripes repeat every 14 rows and are flat along a row: so must the colours be,
        // wherever the bands were cut.
        for (uint32_t y = 1; y + 1 < h; ++y)
            for (uint32_t x = 1; x + 3 < w; ++x) {
                ASSERT_EQ(out.rgb(x, y), out.rgb(x + 2, y)) << "algorithm " << algorithm << " at " << x << "," << y;
                if (y + 15 < h) {
                    ASSERT_EQ(out.rgb(x, y), out.rgb(x, y + 14)) << "algorithm " << algorithm << " at " << x << "," << y;
                }
            }
    }
}

// Several clients at once, each with its own context: the band workers are shared, the results
// must not be.
TEST(KhColorDebayer, ConcurrentClientsGetTheirOwnResults)
{
    const uint32_t w = 640, h = 480;
    std::vector<uint16_t> raw(std::size_t(w) * h);
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = uint16_t((i * 2654435761u) >> 16);
    const rgn_type r = region(0, 0, uint16_t(w), uint16_t(h));
    ColorFrame expected[2] = {ColorFrame(0, w, h), ColorFrame(0, w, h)};
    for (uint32_t algorithm : {0u, 1u}) {
        ContextHolder ctx;
        ctx->algorithm = algorithm;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        ASSERT_EQ(kh_color_debayer(ctx, raw.data(), &r, expected[algorithm].bytes.data()), 0);
    }
    std::vector<std::thread> clients;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t)
        clients.emplace_back([&, t] {
            ContextHolder ctx;
            ctx->algorithm = uint32_t(t & 1);
            if (kh_color_context_apply_changes(ctx) != 0)
                ++mismatches;
            ColorFrame out(0, w, h);
            for (int round = 0; round < 20; ++round) {
                if (kh_color_debayer(ctx, raw.data(), &r, out.bytes.data()) != 0 ||
                    out.bytes != expected[t & 1].bytes)
                    ++mismatches;
            }
        });
    for (auto& c : clients)
        c.join();
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
