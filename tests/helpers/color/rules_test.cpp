// Rules the CPU and GPU paths share, and the histogram arithmetic of auto-exposure.
#include "autoexp.h"
#include "pixelrules.h"

#include "kh/exception.h"
#include "kh/lasterror.h"
#include "kh/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(KhColorRules, EffectivePatternFollowsTheRegionStart)
{
    const unsigned table[4][4] = {{2, 4, 3, 5}, {3, 5, 2, 4}, {4, 2, 5, 3}, {5, 3, 4, 2}};
    for (unsigned p = 2; p <= 5; ++p) {
        EXPECT_EQ(khc::effectivePattern(p, false, false), table[p - 2][0]);
        EXPECT_EQ(khc::effectivePattern(p, false, true), table[p - 2][1]);
        EXPECT_EQ(khc::effectivePattern(p, true, false), table[p - 2][2]);
        EXPECT_EQ(khc::effectivePattern(p, true, true), table[p - 2][3]);
    }
}

TEST(KhColorRules, GpuWhiteBalanceRoundsToNearestAndSaturates)
{
    const struct {
        uint32_t v;
        float scale;
        float top;
        uint32_t expected;
    } cases[] = {
        {3, 0.5f, 4095, 2},        // 1.5 rounds up (the CPU tables give 1)
        {5, 0.3f, 4095, 2},        // 1.5 (float) + 0.5
        {2047, 2.0f, 4095, 4094},  // 4094 + 0.5 truncates to 4094
        {2048, 2.0f, 4095, 4095},  // 4096.5 is capped at the top
        {3000, 2.0f, 4095, 4095},
        {100, 1.0f, 65535, 100},
        {1, 1e30f, 255, 255},
    };
    for (const auto& c : cases)
        EXPECT_EQ(khc::scaleRounded(c.v, c.scale, c.top), c.expected) << c.v << " x " << c.scale;
}

TEST(KhColorRules, FastCellPerPattern)
{
    // Samples of one cell read row by row: 10 20 / 30 40.
    const struct {
        unsigned pattern;
        khc::Rgb rgb;
    } cases[] = {{2, {10, 25, 40}}, {3, {20, 25, 30}}, {4, {30, 25, 20}}, {5, {40, 25, 10}}};
    for (const auto& c : cases) {
        const khc::Rgb v = khc::fastCell(c.pattern, 10, 20, 30, 40);
        EXPECT_EQ(v.r, c.rgb.r) << c.pattern;
        EXPECT_EQ(v.g, c.rgb.g) << c.pattern;
        EXPECT_EQ(v.b, c.rgb.b) << c.pattern;
    }
}

TEST(KhColorHistogram, SamplesAboveTheRangeLandInTheTopBin)
{
    const uint16_t samples[6] = {0, 4095, 4096, 65535, 7, 4095};
    std::vector<uint32_t> h;
    EXPECT_EQ(khc::fillHistogram(samples, 1, 6, 12, h), 4095u);
    ASSERT_EQ(h.size(), 4096u);
    EXPECT_EQ(h[4095], 4u);
    EXPECT_EQ(h[7], 1u);
    EXPECT_EQ(h[0], 1u);
}

TEST(KhColorHistogram, ExposureFromTheBrightestPercent)
{
    // 1000 pixels: 5 at 4000, 10 at 3000, the rest at 100. Counting down from the top, 15 > 10
    // first happens at bin 3000.
    std::vector<uint32_t> h(4096, 0);
    h[4000] = 5;
    h[3000] = 10;
    h[100] = 985;
    EXPECT_EQ(khc::exposureFromHistogram(h, 1000, 300, 12), 300u * 4096 / 3000);

    // Everything in bin 0: E = 0 would divide by zero.
    std::vector<uint32_t> dark(4096, 0);
    dark[0] = 1000;
    EXPECT_THROW(khc::exposureFromHistogram(dark, 1000, 300, 12), kh::ExceptionOpFailed);

    // A result beyond 32 bits is refused rather than wrapped.
    std::vector<uint32_t> low(65536, 0);
    low[1] = 1000;
    EXPECT_THROW(khc::exposureFromHistogram(low, 1000, 100000, 16), kh::ExceptionOpFailed);
    EXPECT_EQ(khc::exposureFromHistogram(low, 1000, 65535, 16), 65535u * 65536u);
}

TEST(KhColorLog, FileNamedByTheEnvironment)
{
    const std::string path = ::testing::TempDir() + "kh_color_log_test.txt";
    std::remove(path.c_str());
    setenv("KESTRIX_HELPER_COLOR_LOG_FILE", "", 1);
    {
        tq::Log log;
        EXPECT_FALSE(log.isOpen());
        log.PrintMessage("%s", "nothing");
    }
    unsetenv("KESTRIX_HELPER_COLOR_LOG_FILE");
    EXPECT_FALSE(tq::Log().isOpen());
    setenv("KESTRIX_HELPER_COLOR_LOG_FILE", path.c_str(), 1);
    {
        tq::Log log;
        ASSERT_TRUE(log.isOpen());
        log.PrintMessage("%s: %u and %s", "first", 7u, std::string(5000, 'x').c_str());
    }
    {
        tq::Log log; // appends
        log.PrintMessage("second");
    }
    unsetenv("KESTRIX_HELPER_COLOR_LOG_FILE");
    std::ifstream in(path);
    std::string a, b, c;
    std::getline(in, a);
    std::getline(in, b);
    EXPECT_EQ(a, "first: 7 and " + std::string(5000, 'x'));
    EXPECT_EQ(b, "second");
    EXPECT_FALSE(std::getline(in, c));
    std::remove(path.c_str());
}

TEST(KhCommon, LastErrorIsCutAt4095Characters)
{
    const std::string longText(5000, 'y');
    kh::setLastError(longText.c_str());
    EXPECT_EQ(std::string(kh::lastError("none")), longText.substr(0, 4095));
    EXPECT_EQ(kh::exportFrame([] { throw kh::ExceptionOpAborted("stop"); }), 103);
    EXPECT_STREQ(kh::lastError("none"), "stop");
    EXPECT_EQ(kh::exportFrame([] { throw 42; }), 1) << "nothing unwinds into a C caller";
    EXPECT_STREQ(kh::lastError("none"), "Unknown exception");
    EXPECT_STREQ(kh::Exception().what(), "Unknown exception");
    const kh::Exception suffixed = kh::withSuffix(kh::ExceptionArgumentOutOfRange("bad"), "\nmore");
    EXPECT_EQ(suffixed.code(), 4);
    EXPECT_STREQ(suffixed.what(), "bad\nmore");
    EXPECT_EQ(kh::ExceptionKestrix("KESTRIX call error.", 7, nullptr).code(), 0x7F0007);
    EXPECT_STREQ(kh::ExceptionKestrix("KESTRIX call error.", 7, nullptr).what(),
                 "KESTRIX call error. (Unable to get error message for error code 7)");
    EXPECT_STREQ(kh::trackErrorMessage(0x7F0000), "Unknown error code");
    EXPECT_STREQ(kh::trackErrorMessage(13), "Insufficient system resources");
}

} // namespace
