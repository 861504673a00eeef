#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "imagefilters.h"

namespace {

cv::Mat frameOf(std::initializer_list<uint16_t> values, int width)
{
    std::vector<uint16_t> v(values);
    return cv::Mat(int(v.size()) / width, width, CV_16UC1, v.data()).clone();
}

cv::Mat noisy(int rows, int cols, unsigned seed)
{
    cv::Mat m(rows, cols, CV_16UC1);
    cv::RNG(seed).fill(m, cv::RNG::UNIFORM, 0, 65536);
    return m;
}

} // namespace

TEST(Gamma, FixedPoints)
{
    cv::Mat m = frameOf({0, 65535, 32768, 1}, 4);
    applyGamma(FrameView::of(m));
    EXPECT_EQ(m.at<uint16_t>(0, 0), 0);
    EXPECT_EQ(m.at<uint16_t>(0, 1), 65535);
    EXPECT_EQ(m.at<uint16_t>(0, 2), 28526);
    EXPECT_EQ(m.at<uint16_t>(0, 3), 0);
}

TEST(SubtractScalar, ByBinningFactor)
{
    struct Case { int value; uint16_t in, out; };
    const Case cases[] = {{1, 60, 60}, {2, 60, 0}, {2, 1000, 904}, {2, 96, 0}, {2, 97, 1},
                          {4, 1000, 520}, {4, 480, 0}, {100, 65535, 0}, {0, 1000, 1000}};
    for (const Case& c : cases) {
        cv::Mat m = frameOf({c.in}, 1);
        subtractScalar(FrameView::of(m), c.value);
        EXPECT_EQ(m.at<uint16_t>(0, 0), c.out) << c.value << " " << c.in;
    }
}

TEST(Sharpen, SwitchesAndLevels)
{
    cv::Mat impulse(7, 7, CV_16UC1, cv::Scalar(1000));
    impulse.at<uint16_t>(3, 3) = 60000;

    cv::Mat off = impulse.clone();
    sharpen16U(FrameView::of(off), false, 80);
    EXPECT_EQ(cv::norm(off, impulse, cv::NORM_INF), 0);

    cv::Mat medianOnly = impulse.clone();
    sharpen16U(FrameView::of(medianOnly), true, 0);
    EXPECT_EQ(cv::norm(medianOnly, cv::Mat(7, 7, CV_16UC1, cv::Scalar(1000)), cv::NORM_INF), 0);

    cv::Mat full = noisy(32, 32, 3);
    cv::Mat want = full.clone();
    cv::medianBlur(want, want, 3);
    cv::GaussianBlur(want, want, cv::Size(5, 5), 0.5, 0.5);
    cv::Mat s;
    const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
    cv::filter2D(want, s, -1, kernel);
    cv::addWeighted(want, 0.5, s, 0.5, 0, want, CV_16U);
    sharpen16U(FrameView::of(full), true, 50);
    EXPECT_EQ(cv::norm(full, want, cv::NORM_INF), 0);

    cv::Mat plain = impulse.clone();
    beautifyIfEnabled(FrameView::of(plain), false);
    EXPECT_EQ(cv::norm(plain, impulse, cv::NORM_INF), 0);
    beautifyIfEnabled(FrameView::of(plain), true);
    EXPECT_GT(plain.at<uint16_t>(3, 3), 60000); // no median: the impulse is sharpened, not removed
}

// The library's composition of the chain, in place, as the pictures were always made.
cv::Mat composedSharpen(const cv::Mat& frame, int level)
{
    cv::Mat want = frame.clone();
    cv::medianBlur(want, want, 3);
    if (level == 0)
        return want;
    cv::GaussianBlur(want, want, cv::Size(5, 5), 0.5, 0.5);
    cv::Mat s;
    const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
    cv::filter2D(want, s, -1, kernel);
    cv::addWeighted(want, 1.0 - level / 100.0, s, level / 100.0, 0, want, CV_16U);
    return want;
}

// Random frames over the whole 16-bit range (so the sharpening saturates at both ends), sizes
// down to single rows and columns, every kind of level; one scratch goes from size to size.
TEST(Sharpen, PixelForPixelTheLibraryComposition)
{
    const cv::Size sizes[] = {{1, 1}, {17, 1}, {1, 17}, {2, 2}, {5, 3}, {70, 37}, {33, 64}, {641, 29}};
    const int levels[] = {0, 1, 30, 50, 99, 100};
    FilterScratch scratch;
    unsigned seed = 20;
    for (const cv::Size& size : sizes) {
        for (int level : levels) {
            const cv::Mat frame = noisy(size.height, size.width, seed++);
            cv::Mat ours = frame.clone();
            sharpen16U(FrameView::of(ours), true, level, seed % 2 ? &scratch : nullptr);
            EXPECT_EQ(cv::norm(ours, composedSharpen(frame, level), cv::NORM_INF), 0) << size << " level " << level;
        }
        const cv::Mat frame = noisy(size.height, size.width, seed++);
        cv::Mat ours, theirs;
        sharpen3x3(frame, ours);
        cv::filter2D(frame, theirs, -1, cv::Mat((cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0)));
        EXPECT_EQ(cv::norm(ours, theirs, cv::NORM_INF), 0) << size;
    }
}

TEST(DetailSharpen, KeepsOnly256LevelsAtLevelZero)
{
    cv::Mat m = noisy(40, 40, 9);
    cv::Mat before = m.clone();
    detailSharpen(m, false, 0);
    EXPECT_EQ(cv::norm(m, before, cv::NORM_INF), 0);
    detailSharpen(m, true, 0);
    for (int r = 0; r < m.rows; ++r)
        for (int c = 0; c < m.cols; ++c)
            ASSERT_EQ(m.at<uint16_t>(r, c) % 257, 0);
}

TEST(TargetMean, ScalesAndRefuses)
{
    cv::Mat m = frameOf({100, 300}, 2);
    cv::Mat out = adjust16UToTargetMean(m, 400);
    EXPECT_EQ(out.at<uint16_t>(0, 0), 200);
    EXPECT_EQ(out.at<uint16_t>(0, 1), 600);
    EXPECT_EQ(m.at<uint16_t>(0, 0), 100); // a new image

    cv::Mat zero = cv::Mat::zeros(3, 3, CV_16UC1);
    ::testing::internal::CaptureStderr();
    cv::Mat same = adjust16UToTargetMean(zero, 1000);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("警告：原图平均灰度值为 0，无法调整！返回原图。"), std::string::npos);
    EXPECT_EQ(cv::countNonZero(same), 0);
    EXPECT_NE(same.data, zero.data);

    try {
        adjust16UToTargetMean(cv::Mat(2, 2, CV_8UC1), 10);
        FAIL() << "no error raised";
    } catch (const cv::Exception& e) {
        EXPECT_EQ(e.err, "img.type() == CV_16UC1");
        EXPECT_EQ(e.func, "adjust16UToTargetMean");
    }
}

TEST(ColorImage, TintBlend)
{
    cv::Mat grey = frameOf({0, 0x8000, 0xFFFF, 0x1234}, 2);
    cv::Mat white(2, 2, CV_8UC3, cv::Scalar(255, 255, 255));
    cv::Mat out;
    cv::Mat g1 = grey.clone();
    ASSERT_TRUE(toColorImage(FrameView::of(g1), white, out, 0));
    ASSERT_EQ(out.type(), CV_8UC3);
    EXPECT_EQ(out.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 0, 0));
    EXPECT_EQ(out.at<cv::Vec3b>(0, 1), cv::Vec3b(128, 128, 128));
    EXPECT_EQ(out.at<cv::Vec3b>(1, 0), cv::Vec3b(255, 255, 255));
    EXPECT_EQ(out.at<cv::Vec3b>(1, 1), cv::Vec3b(0x12, 0x12, 0x12));

    cv::Mat g2 = grey.clone();
    ASSERT_TRUE(toColorImage(FrameView::of(g2), white, out, 1));
    EXPECT_EQ(g2.at<uint16_t>(0, 0), 0xFFFF); // inverted in place
    EXPECT_EQ(out.at<cv::Vec3b>(0, 0), cv::Vec3b(255, 255, 255));

    cv::Mat red(2, 2, CV_8UC3, cv::Scalar(0, 0, 255));
    cv::Mat g3 = grey.clone();
    ASSERT_TRUE(toColorImage(FrameView::of(g3), red, out, 0));
    EXPECT_EQ(out.at<cv::Vec3b>(1, 0), cv::Vec3b(0, 0, 255));

    cv::Mat kept(1, 1, CV_8UC1, cv::Scalar(7));
    cv::Mat g4 = grey.clone();
    EXPECT_FALSE(toColorImage(FrameView::of(g4), cv::Mat(3, 2, CV_8UC3), kept, 0));
    EXPECT_FALSE(toColorImage(FrameView::of(g4), cv::Mat(2, 2, CV_8UC1), kept, 0));
    EXPECT_FALSE(toColorImage(FrameView::of(g4), cv::Mat(2, 2, CV_8UC4), kept, 0));
    EXPECT_EQ(kept.at<uint8_t>(0, 0), 7);
    EXPECT_EQ(g4.at<uint16_t>(0, 1), 0x8000);
}

TEST(MedianAndGaussian, InPlaceOnTheFrame)
{
    cv::Mat m = noisy(16, 16, 4);
    cv::Mat want;
    cv::medianBlur(m, want, 3);
    uint16_t* before = m.ptr<uint16_t>();
    medianFrame(FrameView::of(m));
    EXPECT_EQ(m.ptr<uint16_t>(), before);
    EXPECT_EQ(cv::norm(m, want, cv::NORM_INF), 0);
    cv::GaussianBlur(m, want, cv::Size(5, 5), 1.5, 1.5);
    gaussianFrame(FrameView::of(m), 1.5);
    EXPECT_EQ(cv::norm(m, want, cv::NORM_INF), 0);
}
