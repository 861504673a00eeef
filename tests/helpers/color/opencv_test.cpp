// Bilinear debayering agrees with OpenCV's on the interior, for every pattern and both depths.
#include "colortestutil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>

namespace {

// OpenCV names a mosaic by the second row's second and third pixels.
int cvCode(unsigned pattern)
{
    switch (pattern) {
    case 2: return cv::COLOR_BayerBG2RGB;
    case 3: return cv::COLOR_BayerGB2RGB;
    case 4: return cv::COLOR_BayerGR2RGB;
    default: return cv::COLOR_BayerRG2RGB;
    }
}

template <typename T>
void compareInterior(int cvType, int format, uint16_t depth, uint32_t w, uint32_t h)
{
    std::mt19937 rng(42);
    cv::Mat raw(int(h), int(w), cvType);
    const uint32_t top = (1u << depth) - 1;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            raw.at<T>(int(y), int(x)) = T(rng() & top);
    for (unsigned pattern = 2; pattern <= 5; ++pattern) {
        ContextHolder ctx;
        ctx->pattern = pattern;
        ctx->rgbFormat = uint32_t(format);
        ctx->bitDepth = depth;
        ASSERT_EQ(kh_color_context_apply_changes(ctx), 0);
        cv::Mat ours(int(h), int(w), CV_MAKETYPE(cv::DataType<T>::depth, 3));
        const rgn_type r = region(0, 0, uint16_t(w), uint16_t(h));
        ASSERT_EQ(kh_color_debayer(ctx, raw.data, &r, ours.data), 0);
        cv::Mat peer;
        cv::cvtColor(raw, peer, cvCode(pattern));
        const cv::Rect interior(1, 1, int(w) - 2, int(h) - 2);
        cv::Mat diff;
        cv::absdiff(ours(interior), peer(interior), diff);
        EXPECT_EQ(cv::countNonZero(diff.reshape(1)), 0) << "pattern " << pattern << " size " << w << "x" << h;
    }
}

TEST(KhColorOpenCv, BilinearInteriorEqualsOpenCv16)
{
    compareInterior<uint16_t>(CV_16UC1, 0, 16, 64, 48);
    compareInterior<uint16_t>(CV_16UC1, 0, 12, 333, 211);
}

TEST(KhColorOpenCv, BilinearInteriorEqualsOpenCv8)
{
    compareInterior<uint8_t>(CV_8UC1, 2, 8, 64, 48);
    compareInterior<uint8_t>(CV_8UC1, 2, 8, 301, 199);
}

} // namespace
