// Format conversion across every pair of formats and bit depths.
#include "colortestutil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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

struct Frame {
    int format;
    uint32_t pixels;
    std::vector<uint16_t> wide;
    std::vector<uint8_t> narrow;
    Frame(int f, uint32_t n) : format(f), pixels(n)
    {
        const Layout& l = kLayouts[f];
        const std::size_t samples = std::size_t(n) * (l.planar ? 3 : l.step);
        if (l.wide)
            wide.assign(samples, 0xEEEE);
        else
            narrow.assign(samples, 0xEE);
    }
    void* data() { return kLayouts[format].wide ? static_cast<void*>(wide.data()) : narrow.data(); }
    std::size_t index(uint32_t p, int c) const
    {
        const Layout& l = kLayouts[format];
        return l.planar ? std::size_t(l.off[c]) * pixels + p : std::size_t(p) * l.step + l.off[c];
    }
    uint32_t get(uint32_t p, int c) const
    {
        return kLayouts[format].wide ? wide[index(p, c)] : narrow[index(p, c)];
    }
    void set(uint32_t p, int c, uint32_t v)
    {
        if (kLayouts[format].wide)
            wide[index(p, c)] = uint16_t(v);
        else
            narrow[index(p, c)] = uint8_t(v);
    }
};

uint32_t shifted(uint32_t v, int s) { return s >= 0 ? v << s : v >> -s; }

TEST(KhColorConvert, EveryFormatPair)
{
    const uint32_t w = 5, h = 3, n = w * h;
    const rgn_type r = region(0, 0, w, h);
    ContextHolder ctx;
    ctx->alphaValue = 200;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    for (int sf = 0; sf < 8; ++sf)
        for (int df = 0; df < 8; ++df) {
            const uint16_t sd = kLayouts[sf].wide ? 12 : 8;
            for (uint16_t dd : {uint16_t(kLayouts[df].wide ? 16 : 8), uint16_t(kLayouts[df].wide ? 10 : 5)}) {
                Frame src(sf, n), dst(df, n);
                const uint32_t top = (1u << sd) - 1;
                for (uint32_t p = 0; p < n; ++p)
                    for (int c = 0; c < 4; ++c)
                        if (kLayouts[sf].off[c] >= 0 || c < 3)
                            src.set(p, c, (p * 37 + c * 91 + 5) & top);
                ASSERT_EQ(kh_color_convert_format(ctx, &r, src.data(), sf, sd, dst.data(), df, dd), 0)
                    << sf << "->" << df;
                const int s = int(dd) - int(sd);
                const uint32_t keep = kLayouts[df].wide ? 0xFFFF : 0xFF;
                for (uint32_t p = 0; p < n; ++p) {
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(dst.get(p, c), shifted(src.get(p, c), s) & keep)
                            << sf << "->" << df << " depth " << sd << "->" << dd << " pixel " << p << " channel " << c;
                    if (kLayouts[df].off[3] < 0)
                        continue;
                    const uint32_t a = std::min<uint32_t>((1u << dd) - 1, 200);
                    const uint32_t expected = kLayouts[sf].off[3] >= 0 ? shifted(src.get(p, 3), s) & keep
                                                                       : (s > 0 ? (a >> s) << s : a);
                    ASSERT_EQ(dst.get(p, 3), expected) << sf << "->" << df << " alpha, depth " << dd;
                }
            }
        }
}

TEST(KhColorConvert, NamedCases)
{
    const rgn_type r = region(0, 0, 2, 2);
    ContextHolder ctx;
    {
        // 16-bit interleaved at 12 bits to RGBA at 8: right by 4, alpha min(255, alphaValue).
        const uint16_t src[12] = {4095, 16, 0, 256, 512, 1024, 2048, 4000, 15, 1, 2, 3};
        uint8_t dst[16];
        ASSERT_EQ(kh_color_convert_format(ctx, &r, src, 0, 12, dst, 7, 8), 0);
        const uint8_t expected[16] = {255, 1, 0, 255, 16, 32, 64, 255, 128, 250, 0, 255, 0, 0, 0, 255};
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(dst[i], expected[i]) << i;
    }
    {
        // 8-bit RGB to 16-bit planar at 16: left by 8.
        const uint8_t src[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 255};
        uint16_t dst[12];
        ASSERT_EQ(kh_color_convert_format(ctx, &r, src, 2, 8, dst, 1, 16), 0);
        const uint16_t expected[12] = {256, 1024, 1792, 2560, 512, 1280, 2048, 2816, 768, 1536, 2304, 65280};
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(dst[i], expected[i]) << i;
    }
    {
        // RGB to BGRA at the same depth: red and blue swap.
        const uint8_t src[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        uint8_t dst[16];
        ctx->alphaValue = 77;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        ASSERT_EQ(kh_color_convert_format(ctx, &r, src, 2, 8, dst, 6, 8), 0);
        const uint8_t expected[16] = {3, 2, 1, 77, 6, 5, 4, 77, 9, 8, 7, 77, 12, 11, 10, 77};
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(dst[i], expected[i]) << i;
    }
}

TEST(KhColorConvert, Refusals)
{
    const rgn_type r = region(0, 0, 2, 2);
    ContextHolder ctx;
    uint16_t buffer[16] = {};
    const struct {
        const char* name;
        int32_t sf;
        uint16_t sd;
        int32_t df;
        uint16_t dd;
        int32_t code;
        const char* text;
    } cases[] = {
        {"depth 8 to format 0", 2, 8, 0, 8, 4, "The bit depth 8 doesn't fit range from 9 to 16 for 16-bit image format."},
        {"source depth 9 in format 3", 3, 9, 2, 8, 4, "The bit depth 9 doesn't fit range from 1 to 8 for 8-bit image format."},
        {"format 8", 0, 16, 8, 8, 2, "The image format 8 is unknown."},
        {"format -1", -1, 8, 2, 8, 2, "The image format -1 is unknown."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kh_color_convert_format(ctx, &r, buffer, c.sf, c.sd, buffer, c.df, c.dd), c.code) << c.name;
        EXPECT_EQ(lastError(), c.text) << c.name;
    }
    EXPECT_EQ(kh_color_convert_format(ctx, &r, nullptr, 0, 16, buffer, 0, 16), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer for input buffer.");
    EXPECT_EQ(kh_color_convert_format(ctx, &r, buffer, 0, 16, nullptr, 0, 16), 3);
}

} // namespace
