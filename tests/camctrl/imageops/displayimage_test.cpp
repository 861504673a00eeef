// Pictures on screen: display levels, the types that can be shown, scaling that never reads past
// a row, and the fitting rule of the views.
#include <gtest/gtest.h>

#include <QPainter>

#include "displayimage.h"
#include "overlays.h"

namespace {

QSize sz(int w, int h)
{
    return QSize(w, h);
}

} // namespace

TEST(DisplayImage, LevelsRoundSixteenBitsToEight)
{
    const struct {
        uint16_t in;
        uint8_t out;
    } cases[] = {{0, 0}, {128, 0}, {129, 1}, {257, 1}, {32896, 128}, {65406, 254}, {65407, 255}, {65535, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(displayLevel(c.in), c.out) << c.in;
}

TEST(DisplayImage, EachPictureTypeBecomesItsImage)
{
    cv::Mat grey16(2, 3, CV_16UC1, cv::Scalar(32896));
    cv::Mat grey8(2, 3, CV_8UC1, cv::Scalar(77));
    cv::Mat bgr(2, 3, CV_8UC3, cv::Scalar(10, 20, 30));
    cv::Mat bgra(2, 3, CV_8UC4, cv::Scalar(10, 20, 30, 0));

    QImage a = displayImage(grey16);
    ASSERT_EQ(a.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(qGray(a.pixel(2, 1)), 128);
    QImage b = displayImage(grey8);
    EXPECT_EQ(qGray(b.pixel(0, 0)), 77);
    QImage c = displayImage(bgr);
    ASSERT_EQ(c.format(), QImage::Format_RGB32);
    EXPECT_EQ(c.pixel(1, 1), qRgb(30, 20, 10));
    // A transparent fourth byte still shows the colour.
    EXPECT_EQ(displayImage(bgra).pixel(2, 0), qRgb(30, 20, 10));
}

TEST(DisplayImage, OtherTypesAreRefusedWithoutAnImage)
{
    const cv::Mat refused[] = {cv::Mat(), cv::Mat(4, 4, CV_32FC1, cv::Scalar(1)), cv::Mat(4, 4, CV_16UC3),
                               cv::Mat(4, 4, CV_8SC1)};
    for (const cv::Mat& m : refused) {
        EXPECT_TRUE(displayImage(m).isNull()) << m.type();
        EXPECT_TRUE(renderPicture(m, sz(2, 2)).isNull()) << m.type();
        EXPECT_TRUE(overlayCanvas(m).empty()) << m.type();
    }
    EXPECT_TRUE(renderPicture(cv::Mat(4, 4, CV_16UC1, cv::Scalar(1)), sz(0, 3)).isNull());
}

// A picture that is a region of a larger one: rows are not packed, and nothing outside the
// region may leak into the result.
TEST(DisplayImage, RegionsOfLargerPicturesKeepToTheirRows)
{
    cv::Mat big(10, 10, CV_16UC1, cv::Scalar(65535));
    cv::Mat region = big(cv::Rect(2, 2, 5, 4));
    region.setTo(0);
    ASSERT_FALSE(region.isContinuous());
    const QImage shown = renderPicture(region, sz(5, 4));
    ASSERT_EQ(shown.size(), sz(5, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(qGray(shown.pixel(x, y)), 0) << x << "," << y;
    const QImage smaller = renderPicture(region, sz(2, 2));
    EXPECT_EQ(qGray(smaller.pixel(1, 1)), 0);
}

TEST(DisplayImage, ScalingAveragesWhenShrinkingAndKeepsUniformPictures)
{
    cv::Mat stripes(4, 4, CV_16UC1);
    for (int x = 0; x < 4; ++x)
        stripes.col(x).setTo(x % 2 ? 65535 : 0);
    const cv::Mat half = scalePicture(stripes, cv::Size(2, 2));
    ASSERT_EQ(half.size(), cv::Size(2, 2));
    EXPECT_NEAR(half.at<uint16_t>(0, 0), 32768, 1);
    const cv::Mat twice = scalePicture(cv::Mat(3, 3, CV_8UC3, cv::Scalar(1, 2, 3)), cv::Size(7, 5));
    EXPECT_EQ(twice.at<cv::Vec3b>(4, 6), cv::Vec3b(1, 2, 3));
}

TEST(PictureFit, FollowsTheViewsRule)
{
    const struct {
        const char* name;
        QSize picture, box;
        double scale;
        bool adapt, origin;
        double wantScale;
        QSize shown;
        QPoint topLeft;
        QSize item;
    } cases[] = {
        {"origin, fits: 1:1 centred", sz(640, 480), sz(1000, 800), 0.5, false, true, 1.0, sz(640, 480), QPoint(180, 160), sz(1000, 800)},
        {"origin, too wide: fitted", sz(640, 480), sz(600, 800), 1.0, false, true, 0.9375, sz(600, 450), QPoint(0, 175), sz(600, 800)},
        {"adapt: fitted by height", sz(200, 100), sz(400, 100), 3.0, true, false, 1.0, sz(200, 100), QPoint(100, 0), sz(400, 100)},
        {"kept scale larger than the box", sz(200, 100), sz(100, 100), 2.0, false, false, 2.0, sz(400, 200), QPoint(0, 0), sz(400, 200)},
        {"kept scale, truncated size", sz(3, 3), sz(10, 10), 1.5, false, false, 1.5, sz(4, 4), QPoint(3, 3), sz(10, 10)},
    };
    for (const auto& c : cases) {
        const PictureFit fit = fitPicture(c.picture, c.box, c.scale, c.adapt, c.origin);
        EXPECT_DOUBLE_EQ(fit.scale, c.wantScale) << c.name;
        EXPECT_EQ(fit.shown, c.shown) << c.name;
        EXPECT_EQ(fit.topLeft, c.topLeft) << c.name;
        EXPECT_EQ(fit.itemSize, c.item) << c.name;
    }
    // An empty picture keeps the scale.
    EXPECT_DOUBLE_EQ(fitPicture(QSize(), sz(10, 10), 0.7, true, false).scale, 0.7);
}

TEST(PictureFit, KestrixViewShowsSmallPicturesUnscaled)
{
    PictureFit fit = fitIntoBox(sz(100, 50), sz(101, 51));
    EXPECT_EQ(fit.shown, sz(100, 50));
    EXPECT_EQ(fit.itemSize, sz(100, 50));
    fit = fitIntoBox(sz(100, 50), sz(100, 100));
    EXPECT_EQ(fit.shown, sz(100, 50)); // equal width is not "larger": fitted, which is the same size
    fit = fitIntoBox(sz(400, 200), sz(100, 100));
    EXPECT_EQ(fit.shown, sz(100, 50));
    EXPECT_EQ(fit.topLeft, QPoint(0, 0));
}

TEST(Overlays, FocusMarksSitOnTheCornersOfTheCentralArea)
{
    cv::Mat canvas = overlayCanvas(cv::Mat(100, 200, CV_16UC1, cv::Scalar(65535)));
    QImage image = canvasImage(canvas);
    {
        QPainter painter(&image);
        drawFocusMarks(painter, image.size(), 3); // pen 15 / 4 = 3
    }
    // X = 40, Y = 20, arm 20: (40, 20) to (60, 20) and down to (40, 40); (160, 80) back to (140, 80).
    const QPoint black[] = {{40, 20}, {59, 20}, {40, 39}, {160, 21}, {141, 80}, {160, 61}, {40, 79}, {59, 80}};
    for (const QPoint& p : black)
        EXPECT_EQ(image.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    const QPoint white[] = {{100, 50}, {70, 20}, {40, 50}, {5, 5}};
    for (const QPoint& p : white)
        EXPECT_EQ(image.pixel(p), qRgb(255, 255, 255)) << p.x() << "," << p.y();
}

TEST(Overlays, OverExposureColoursOnlyAboveTheThreshold)
{
    const struct {
        int marked;
        bool red;
    } cases[] = {{300, false}, {301, true}};
    for (const auto& c : cases) {
        cv::Mat canvas = overlayCanvas(cv::Mat(20, 20, CV_16UC1, cv::Scalar(0)));
        std::vector<uint8_t> mask(400, 0);
        std::fill(mask.begin(), mask.begin() + c.marked, uint8_t(1));
        EXPECT_EQ(markOverExposure(canvas, mask, 300), c.marked);
        EXPECT_EQ(canvas.at<cv::Vec4b>(0, 0)[2], c.red ? 255 : 0) << c.marked;
        EXPECT_EQ(canvas.at<cv::Vec4b>(19, 19)[2], 0);
    }
    // A mask of another frame size is not read past its end.
    cv::Mat canvas = overlayCanvas(cv::Mat(20, 20, CV_16UC1, cv::Scalar(0)));
    EXPECT_EQ(markOverExposure(canvas, std::vector<uint8_t>(399, 1), 0), -1);
    EXPECT_EQ(canvas.at<cv::Vec4b>(0, 0)[2], 0);
}
