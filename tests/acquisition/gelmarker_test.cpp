// The colour marker's three frames through the green, red and near-infrared filters, run with
// the filter wheel's real settle times in proportion to the serial link (a longer time scale than
// the other tests): the blended picture's channels are the three tinted frames.

#include "gelfixture.h"

#include "geltscapturethread.h"
#include "testappdir.h"

#include <opencv2/imgcodecs.hpp>

class GelMarker : public GelCabinet {};

TEST_F(GelMarker, TheThreeFramesBecomeThePicturesChannels)
{
    setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
    insertExperiment("Gel-marker-colours");
    GelRecorder rec;
    GelTSCaptureThread thread(EnumOBJ::White);
    start(thread, rec);
    ASSERT_TRUE(runToEnd(thread, 120000));
    ASSERT_EQ(rec.events, (QStringList {"image 4 40 5", "color -1 -1 -1"}));
    const cv::Mat picture = cv::imread(rec.paths[1].toStdString(), cv::IMREAD_UNCHANGED);
    ASSERT_EQ(picture.type(), CV_8UC3);
    ASSERT_EQ(picture.cols, 680);

    // A faint band of the first dilution lane (the strong ones saturate the 8-bit picture)
    // against the gel on both sides of the lane, binning 4 of the whole sensor. Green, red and
    // blue tints leave each frame in a channel of its own.
    const cv::Rect band(168, 309, 5, 3), gelLeft(134, 309, 5, 3), gelRight(202, 309, 5, 3);
    const cv::Scalar b = cv::mean(picture(band));
    const cv::Scalar g = (cv::mean(picture(gelLeft)) + cv::mean(picture(gelRight))) * 0.5;
    const double green = b[1] / g[1], red = b[2] / g[2], blue = b[0] / g[0];
    EXPECT_GT(green, 1.4) << "535 nm frame";
    EXPECT_GT(red, 1.15) << "605 nm frame";
    EXPECT_LT(red, green - 0.1);
    EXPECT_LT(blue, red - 0.1) << "near-infrared frame";
    EXPECT_GT(blue, 0.95);
    // Evened to the first frame's brightness before the tints.
    const cv::Scalar mean = cv::mean(picture);
    EXPECT_NEAR(mean[2], mean[1], mean[1] * 0.05);
    EXPECT_NEAR(mean[0], mean[1], mean[1] * 0.05);
}
