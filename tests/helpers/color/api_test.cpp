// Error convention, context and region checks, lookup tables and buffers, through the exports.
#include "colortestutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <thread>
#include <vector>

namespace {

TEST(KhColorErrors, MessageForEveryCode)
{
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {0, "No errors."},
        {1, "Unspecified error."},
        {2, "Invalid argument value."},
        {3, "Null argument value."},
        {4, "Argument value out of range."},
        {11, "Operation not supported."},
        {100, "Output buffer is too small."},
        {101, "Operation failed."},
        {102, "Another operation in progress."},
        {103, "Operation aborted."},
        {0x7F0000, "KESTRIX call failed."},
        {0x7F0123, "KESTRIX call failed."},
        {0x7FFFFF, "KESTRIX call failed."},
        {13, "Unknown error code."},
        {1000, "Unknown error code."},
        {0x800000, "Unknown error code."},
        {0xFFFFFFFFu, "Unknown error code."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(kh_color_get_error_message(c.code), c.text) << c.code;
}

TEST(KhColorErrors, LastErrorBufferProtocol)
{
    // A fresh thread has no error yet.
    std::thread([] { EXPECT_EQ(lastError(), "No error."); }).join();

    ASSERT_EQ(kh_color_context_create(nullptr), 3);
    const std::string text = "Must provide a valid pointer to a location for new context.";
    const uint32_t needed = uint32_t(text.size() + 1);

    char buffer[128];
    uint32_t length = 0;
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(kh_color_get_last_error_message(buffer, &length), 100);
    EXPECT_EQ(length, needed);
    EXPECT_EQ(buffer[0], 'x') << "nothing is copied for length 0";

    length = needed - 1;
    EXPECT_EQ(kh_color_get_last_error_message(buffer, &length), 100);
    EXPECT_EQ(std::string(buffer), text.substr(0, text.size() - 1));
    EXPECT_EQ(length, needed);

    length = needed;
    EXPECT_EQ(kh_color_get_last_error_message(buffer, &length), 0);
    EXPECT_EQ(std::string(buffer), text);

    length = sizeof buffer;
    EXPECT_EQ(kh_color_get_last_error_message(nullptr, &length), 3);
    EXPECT_EQ(kh_color_get_last_error_message(buffer, nullptr), 3);
    EXPECT_EQ(lastError(), text) << "a refused read leaves the text alone";

    // Success keeps the failed call's text.
    uint16_t major = 0, minor = 0, build = 0;
    ASSERT_EQ(kh_color_get_lib_version(&major, &minor, &build), 0);
    EXPECT_EQ(lastError(), text);
}

TEST(KhColorErrors, LastErrorIsPerThread)
{
    std::string a, b;
    std::thread ta([&] {
        kh_color_context_create(nullptr);
        a = lastError();
    });
    std::thread tb([&] {
        kh_color_buffer_alloc(nullptr, 4);
        b = lastError();
    });
    ta.join();
    tb.join();
    EXPECT_EQ(a, "Must provide a valid pointer to a location for new context.");
    EXPECT_EQ(b, "Must provide a valid pointer to a location for new buffer.");
}

TEST(KhColorErrors, Version)
{
    uint16_t major = 0, minor = 0, build = 0;
    ASSERT_EQ(kh_color_get_lib_version(&major, &minor, &build), 0);
    EXPECT_EQ(major, 2);
    EXPECT_EQ(minor, 1);
    EXPECT_EQ(build, 86);
    major = 7;
    EXPECT_EQ(kh_color_get_lib_version(&major, nullptr, &build), 3);
    EXPECT_EQ(major, 7) << "nothing written when a pointer is null";
    EXPECT_EQ(lastError(), "Must provide a valid pointer for major, minor and build version.");
}

// ---- context --------------------------------------------------------------------------------

TEST(KhColorContext, DefaultsAndLayout)
{
    static_assert(sizeof(kh_color_context) == 56, "client-visible layout");
    EXPECT_EQ(offsetof(kh_color_context, bitDepth), 8u);
    EXPECT_EQ(offsetof(kh_color_context, rgbFormat), 12u);
    EXPECT_EQ(offsetof(kh_color_context, privateData), 32u);
    EXPECT_EQ(offsetof(kh_color_context, autoExpAlgorithm), 40u);
    EXPECT_EQ(offsetof(kh_color_context, alphaValue), 50u);
    ContextHolder c;
    ASSERT_NE(c.ctx, nullptr);
    EXPECT_EQ(c->algorithm, 1u);
    EXPECT_EQ(c->pattern, 2u);
    EXPECT_EQ(c->bitDepth, 16);
    EXPECT_EQ(c->rgbFormat, 0u);
    EXPECT_EQ(c->redScale, 1.0f);
    EXPECT_EQ(c->autoExpAlgorithm, 0u);
    EXPECT_EQ(c->forceCpu, 0);
    EXPECT_EQ(c->sensorWidth, 0);
    EXPECT_EQ(c->alphaValue, 0xFFFF);
    EXPECT_NE(c->privateData, nullptr);
    kh_color_context_release(&c.ctx);
    EXPECT_EQ(c.ctx, nullptr);
    kh_color_context_release(&c.ctx); // null is ignored
    kh_color_context_release(nullptr);
}

// Every export that takes a context refuses a missing or damaged one the same way.
TEST(KhColorContext, ValidationRefusesDamagedContexts)
{
    const std::string text =
        "Must provide a valid pointer to a location for new context. pContext or some nested pointer is null.";
    uint16_t raw[16] = {};
    uint16_t color[48] = {};
    const rgn_type r = region(0, 0, 4, 4);
    uint32_t exposure = 0;
    float s[3];
    const std::vector<std::pair<const char*, std::function<int32_t(kh_color_context*)>>> exports = {
        {"apply", [&](kh_color_context* c) { return kh_color_context_apply_changes(c); }},
        {"white_balance", [&](kh_color_context* c) { return kh_color_white_balance(c, color, &r); }},
        {"debayer", [&](kh_color_context* c) { return kh_color_debayer(c, raw, &r, color); }},
        {"debayer_wb", [&](kh_color_context* c) { return kh_color_debayer_and_white_balance(c, raw, &r, color); }},
        {"auto_exposure", [&](kh_color_context* c) { return kh_color_auto_exposure(c, 0, &r, raw, color, &exposure); }},
        {"abort", [&](kh_color_context* c) { return kh_color_auto_exposure_abort(c); }},
        {"awb", [&](kh_color_context* c) { return kh_color_auto_white_balance(c, &r, color, s, s + 1, s + 2); }},
        {"ae_awb",
         [&](kh_color_context* c) { return kh_color_auto_exposure_and_white_balance(c, 0, &r, &exposure, s, s + 1, s + 2); }},
        {"convert", [&](kh_color_context* c) { return kh_color_convert_format(c, &r, color, 0, 16, color, 0, 16); }},
    };
    kh_color_context noPrivate{};
    uint64_t junk[16] = {};
    kh_color_context strayPrivate{};
    strayPrivate.privateData = junk;
    // A copy of a live context shares its private part but never came from the library.
    ContextHolder live;
    kh_color_context copyOfLive = *live.ctx;
    // A client's copy of a pointer it has released.
    kh_color_context* released = nullptr;
    ASSERT_EQ(kh_color_context_create(&released), 0);
    kh_color_context* handle = released;
    kh_color_context_release(&handle);
    ASSERT_EQ(handle, nullptr);
    // Live contexts whose private pointer a client overwrote: small and large stray values, and
    // the private part of another live context. Released damaged, they free their own part.
    ContextHolder smallStray, largeStray, borrowed;
    smallStray->privateData = reinterpret_cast<void*>(uintptr_t(0x1234));
    largeStray->privateData = reinterpret_cast<void*>(uintptr_t(0xdeadbeef0ull));
    borrowed->privateData = live->privateData;
    for (const auto& e : exports) {
        for (kh_color_context* c : {static_cast<kh_color_context*>(nullptr), &noPrivate, &strayPrivate, &copyOfLive,
                                    released, smallStray.ctx, largeStray.ctx, borrowed.ctx}) {
            EXPECT_EQ(e.second(c), 3) << e.first;
            EXPECT_EQ(lastError(), text) << e.first;
        }
    }
    EXPECT_EQ(kh_color_context_apply_changes(live), 0) << "the live context still works";
}

// Releasing a pointer that is not a live context frees nothing and leaves the pointer alone.
TEST(KhColorContext, ReleaseIgnoresReleasedAndForeignPointers)
{
    kh_color_context* ctx = nullptr;
    ASSERT_EQ(kh_color_context_create(&ctx), 0);
    kh_color_context* copy = ctx;
    kh_color_context_release(&ctx);
    EXPECT_EQ(ctx, nullptr);
    kh_color_context_release(&copy);
    EXPECT_NE(copy, nullptr) << "a second release must not free again";

    ContextHolder live;
    kh_color_context lookalike = *live.ctx;
    kh_color_context* foreign = &lookalike;
    kh_color_context_release(&foreign);
    EXPECT_EQ(foreign, &lookalike);
    EXPECT_EQ(kh_color_context_apply_changes(live), 0) << "its private part was not freed";
}

struct ApplyCase {
    const char* name;
    std::function<void(kh_color_context&)> change;
    int32_t code;
    const char* text;
};

TEST(KhColorContext, ApplyRefusesBadFieldsAndKeepsAppliedSettings)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // volatile: the doubling overflows at run time, not in the compiler
    volatile float big = std::numeric_limits<float>::max();
    const ApplyCase cases[] = {
        {"algorithm 2", [](kh_color_context& c) { c.algorithm = 2; }, 2, "The debayer algorithm 2 is unknown."},
        {"pattern 1", [](kh_color_context& c) { c.pattern = 1; }, 2, "The bayer pattern 1 is unknown."},
        {"pattern 6", [](kh_color_context& c) { c.pattern = 6; }, 2, "The bayer pattern 6 is unknown."},
        {"16-bit format at depth 8", [](kh_color_context& c) { c.bitDepth = 8; }, 4,
         "The bit depth 8 doesn't fit range from 9 to 16 for 16-bit image format."},
        {"16-bit format at depth 17", [](kh_color_context& c) { c.bitDepth = 17; }, 4,
         "The bit depth 17 doesn't fit range from 9 to 16 for 16-bit image format."},
        {"8-bit format at depth 9",
         [](kh_color_context& c) {
             c.rgbFormat = 2;
             c.bitDepth = 9;
         },
         4, "The bit depth 9 doesn't fit range from 1 to 8 for 8-bit image format."},
        {"8-bit format at depth 0",
         [](kh_color_context& c) {
             c.rgbFormat = 7;
             c.bitDepth = 0;
         },
         4, "The bit depth 0 doesn't fit range from 1 to 8 for 8-bit image format."},
        {"format 8", [](kh_color_context& c) { c.rgbFormat = 8; }, 2, "The image format 8 is unknown."},
        {"negative scale", [](kh_color_context& c) { c.blueScale = -0.5f; }, 2,
         "The RGB scales must be zero or positive values."},
        {"NaN scale", [nan](kh_color_context& c) { c.redScale = nan; }, 2,
         "The RGB scales must be zero or positive values."},
        {"infinite scale", [inf](kh_color_context& c) { c.greenScale = inf; }, 2,
         "The RGB scales must be zero or positive values."},
        {"scale past the float range", [big](kh_color_context& c) { c.blueScale = big * 2.0f; }, 2,
         "The RGB scales must be zero or positive values."},
        {"auto-exposure 2", [](kh_color_context& c) { c.autoExpAlgorithm = 2; }, 2,
         "The auto-exposure algorithm 2 is unknown."},
    };
    const rgn_type r = region(0, 0, 2, 2);
    const uint16_t raw[4] = {100, 200, 300, 400}; // RGGB: R 100, G 200/300, B 400
    for (const auto& c : cases) {
        ContextHolder ctx;
        ctx->algorithm = 0;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        kh_color_context changed = *ctx.ctx;
        c.change(changed);
        *ctx.ctx = changed;
        EXPECT_EQ(kh_color_context_apply_changes(ctx), c.code) << c.name;
        EXPECT_EQ(lastError(), c.text) << c.name;
        // The previous settings still rule the processing calls.
        uint16_t color[12] = {};
        ASSERT_EQ(kh_color_debayer(ctx, raw, &r, color), 0) << c.name;
        EXPECT_EQ(color[0], 100) << c.name;
        EXPECT_EQ(color[1], 250) << c.name;
        EXPECT_EQ(color[2], 400) << c.name;
    }
}

TEST(KhColorContext, RegionChecks)
{
    ContextHolder ctx;
    uint16_t raw[64] = {};
    uint16_t color[192] = {};
    const struct {
        const char* name;
        rgn_type r;
        const char* text;
    } cases[] = {
        {"serial binning 2", {0, 3, 2, 0, 3, 1}, "The region binning must be 1 in both directions."},
        {"parallel binning 0", {0, 3, 1, 0, 3, 0}, "The region binning must be 1 in both directions."},
        {"serial end before start", {4, 3, 1, 0, 3, 1}, "The region is invalid."},
        {"parallel end before start", {0, 3, 1, 5, 3, 1}, "The region is invalid."},
        {"one pixel wide", {3, 3, 1, 0, 3, 1}, "The region is smaller than 2x2."},
        {"one pixel high", {0, 3, 1, 7, 7, 1}, "The region is smaller than 2x2."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kh_color_debayer(ctx, raw, &c.r, color), 2) << c.name;
        EXPECT_EQ(lastError(), c.text) << c.name;
        EXPECT_EQ(kh_color_white_balance(ctx, color, &c.r), 2) << c.name;
        EXPECT_EQ(kh_color_convert_format(ctx, &c.r, color, 0, 16, color, 0, 16), 2) << c.name;
    }
    EXPECT_EQ(kh_color_debayer(ctx, raw, nullptr, color), 3);
    const rgn_type r = region(0, 0, 4, 4);
    EXPECT_EQ(kh_color_debayer(ctx, nullptr, &r, color), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to input raw buffer.");
    EXPECT_EQ(kh_color_debayer_and_white_balance(ctx, raw, &r, nullptr), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to output color buffer.");
    EXPECT_EQ(kh_color_white_balance(ctx, nullptr, &r), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to color buffer.");
    // Without a GPU the sensor size does not bound the region.
    EXPECT_EQ(ctx->sensorWidth, 0);
    EXPECT_EQ(kh_color_debayer(ctx, raw, &r, color), 0);
}

// ---- lookup tables (observed through white balance of a frame holding every value) --------

struct RampFrame {
    std::vector<uint16_t> color = std::vector<uint16_t>(65536 * 3);
    rgn_type r = region(0, 0, 256, 256);
    RampFrame()
    {
        for (uint32_t i = 0; i < 65536; ++i)
            color[3 * i] = color[3 * i + 1] = color[3 * i + 2] = uint16_t(i);
    }
    uint16_t at(uint32_t i, int channel) const { return color[3 * i + channel]; }
};

TEST(KhColorTables, FreshContextIsIdentity)
{
    ContextHolder ctx;
    RampFrame f;
    ASSERT_EQ(kh_color_white_balance(ctx, f.color.data(), &f.r), 0);
    for (uint32_t i = 0; i < 65536; ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(f.at(i, c), i) << i;
}

TEST(KhColorTables, EdgeCases)
{
    const float largest = std::numeric_limits<float>::max();
    const struct {
        const char* name;
        uint16_t bitDepth;
        float scale;
        std::function<uint32_t(uint32_t)> expected;
    } cases[] = {
        {"scale 0", 16, 0.0f, [](uint32_t) { return 0u; }},
        {"scale 2 at depth 12 saturates from 2048", 12, 2.0f, [](uint32_t i) { return std::min(2 * i, 4095u); }},
        {"scale 0.5 truncates", 16, 0.5f, [](uint32_t i) { return i / 2; }},
        {"depth 16 tops at 65535", 16, 3.0f, [](uint32_t i) { return std::min(3 * i, 65535u); }},
        // infinity is refused at apply; the largest finite scale saturates everything but 0
        {"largest float: 0 stays 0, all else the top", 10, largest, [](uint32_t i) { return i ? 1023u : 0u; }},
    };
    for (const auto& c : cases) {
        ContextHolder ctx;
        ctx->bitDepth = c.bitDepth;
        ctx->redScale = ctx->greenScale = ctx->blueScale = c.scale;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0) << c.name;
        RampFrame f;
        ASSERT_EQ(kh_color_white_balance(ctx, f.color.data(), &f.r), 0);
        for (uint32_t i = 0; i < 65536; ++i)
            ASSERT_EQ(f.at(i, 1), c.expected(i)) << c.name << " at " << i;
    }
}

TEST(KhColorTables, ChannelsAndPlanarFrames)
{
    ContextHolder ctx;
    ctx->rgbFormat = 1;
    ctx->bitDepth = 12;
    ctx->redScale = 2.0f;
    ctx->greenScale = 1.0f;
    ctx->blueScale = 0.25f;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    const rgn_type r = region(0, 0, 2, 2);
    uint16_t planar[12] = {1000, 2000, 3000, 4000, 1000, 2000, 3000, 4000, 1000, 2000, 3000, 4000};
    ASSERT_EQ(kh_color_white_balance(ctx, planar, &r), 0);
    const uint16_t expected[12] = {2000, 4000, 4095, 4095, 1000, 2000, 3000, 4000, 250, 500, 750, 1000};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(planar[i], expected[i]) << i;
}

TEST(KhColorTables, EightBitFormatsLeaveAlphaAlone)
{
    ContextHolder ctx;
    ctx->rgbFormat = 5; // ARGB
    ctx->bitDepth = 8;
    ctx->redScale = 2.0f;
    ctx->greenScale = 0.5f;
    ctx->blueScale = 1.0f;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    const rgn_type r = region(0, 0, 2, 2);
    uint8_t argb[16];
    for (int p = 0; p < 4; ++p) {
        argb[4 * p] = 77;
        argb[4 * p + 1] = uint8_t(100 + p * 10);
        argb[4 * p + 2] = 200;
        argb[4 * p + 3] = 9;
    }
    ASSERT_EQ(kh_color_white_balance(ctx, argb, &r), 0);
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(argb[4 * p], 77);
        EXPECT_EQ(argb[4 * p + 1], std::min(255, 2 * (100 + p * 10)));
        EXPECT_EQ(argb[4 * p + 2], 100);
        EXPECT_EQ(argb[4 * p + 3], 9);
    }
}

TEST(KhColorTables, OnlyChangedTablesAreRebuilt)
{
    auto logLines = [] {
        std::ifstream in(KH_COLOR_TEST_LOG);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    };
    auto rebuiltSince = [&](std::size_t from) {
        std::string channels;
        const auto lines = logLines();
        for (std::size_t i = from; i < lines.size(); ++i)
            for (const char* c : {"red", "green", "blue"})
                if (lines[i] == std::string("kh_color_context_apply_changes: Updated lookup table for ") + c + " channel")
                    channels += std::string(channels.empty() ? "" : ",") + c;
        return channels;
    };
    // The library appends, so cutting the file here keeps it small across runs.
    std::ofstream(KH_COLOR_TEST_LOG, std::ios::trunc).close();
    ContextHolder ctx;
    std::size_t mark = logLines().size();
    ctx->greenScale = 1.5f;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    EXPECT_EQ(rebuiltSince(mark), "green");
    mark = logLines().size();
    ctx->bitDepth = 12;
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    EXPECT_EQ(rebuiltSince(mark), "red,green,blue");
    mark = logLines().size();
    ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
    EXPECT_EQ(rebuiltSince(mark), "");
    const auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    bool found = false;
    for (const auto& l : lines)
        found = found || l.rfind("kh_color_context_apply_changes: Passed valid context (0x", 0) == 0;
    EXPECT_TRUE(found);
}

// ---- buffers ----------------------------------------------------------------------------------

TEST(KhColorBuffers, AllocAndFree)
{
    void* p = nullptr;
    ASSERT_EQ(kh_color_buffer_alloc(&p, 4096), 0);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0xAB, 4096);
    kh_color_buffer_free(&p);
    EXPECT_EQ(p, nullptr);
    kh_color_buffer_free(&p);
    kh_color_buffer_free(nullptr);

    EXPECT_EQ(kh_color_buffer_alloc(nullptr, 16), 3);
    EXPECT_EQ(lastError(), "Must provide a valid pointer to a location for new buffer.");
    EXPECT_EQ(kh_color_buffer_alloc(&p, 0), 2);
    EXPECT_EQ(lastError(), "Must provide a non-zero size of buffer.");
    EXPECT_EQ(p, nullptr);
}

} // namespace
