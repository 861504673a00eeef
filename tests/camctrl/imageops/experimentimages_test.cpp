// Generated, merged and colour-merged frames of both cameras: the pixels written, the two copies,
// what joins the camera's lists, and the refusals (no record, indexes, sizes, failed writes).
#include "imagesfixture.h"

#include <QFile>

#include <atomic>
#include <thread>

TEST_F(ImagesFixture, GenerateWritesTheShownStretchInBothFolders)
{
    const struct {
        const char* name;
        ExperimentImages::TsMode mode;
        ExperimentRecord* record;
        int lowAfter, highAfter;
    } cases[] = {
        {"western blot keeps the range", ExperimentImages::TsMode::WB, &wb, 1000, 2000},
        {"gel resets the range", ExperimentImages::TsMode::Gel, &gel, 0, 65535},
        {"fluorescence resets the range", ExperimentImages::TsMode::Mult, &mult, 0, 65535},
    };
    for (const auto& c : cases) {
        tsFrames.clearFrameList();
        cv::Mat pixels(1, 4, CV_16UC1);
        pixels.at<uint16_t>(0) = 900;
        pixels.at<uint16_t>(1) = 1000;
        pixels.at<uint16_t>(2) = 1500;
        pixels.at<uint16_t>(3) = 2100;
        addTsFrame(pixels);
        tsFrames.currentImageIndex = 0;
        tsFrames.stretchLow = 1000;
        tsFrames.stretchHigh = 2000;

        const QString path = images.generateTS(c.record, c.mode);
        EXPECT_EQ(path, expPath(*c.record, "_Gen")) << c.name;
        const std::vector<int> want = {0, 0, 32768, 65535};
        const cv::Mat written = read(path), copy = read(copyPath(*c.record, "_Gen"));
        ASSERT_EQ(written.type(), CV_16UC1) << c.name;
        EXPECT_EQ(std::vector<int>(written.begin<uint16_t>(), written.end<uint16_t>()), want) << c.name;
        EXPECT_EQ(cv::norm(written, copy, cv::NORM_INF), 0) << c.name;
        ASSERT_EQ(tsFrames.frameCount(), 2) << c.name;
        EXPECT_EQ(pixelsOf(tsFrames.frameAt(1)), want) << c.name;
        ASSERT_EQ(tsFrames.histogramCount(), 2);
        EXPECT_EQ(tsFrames.histogramAt(1)->low, 0);
        EXPECT_EQ(tsFrames.histogramAt(1)->high, 65535);
        EXPECT_EQ(tsFrames.currentImageIndex, 0) << "the page selects the new entry itself";
        EXPECT_EQ(tsFrames.stretchLow, c.lowAfter) << c.name;
        EXPECT_EQ(tsFrames.stretchHigh, c.highAfter) << c.name;
        EXPECT_EQ(pixelsOf(tsFrames.frameAt(0)), (std::vector<int> {900, 1000, 1500, 2100})) << "source frame changed";
    }
}

// The beautify filter removes a lone bright pixel: a sharpened copy has lost it.
TEST_F(ImagesFixture, WesternBlotGenerateSharpensTheSignalFramesOnly)
{
    const struct {
        bool single, marker;
        int count, index;
        bool sharpened;
    } cases[] = {
        {true, false, 1, 1, true}, {true, false, 1, 0, false}, {true, true, 1, 0, true}, {true, true, 1, 1, false},
        {false, false, 2, 2, true}, {false, false, 2, 3, false},
    };
    opts->setIsBeautifyPictures(true);
    opts->setSharpenLevel(0);
    for (const auto& c : cases) {
        tsFrames.clearFrameList();
        cv::Mat pixels = grey16(5, 5, 10000);
        pixels.at<uint16_t>(2, 2) = 60000;
        for (int i = 0; i < 4; ++i)
            addTsFrame(pixels);
        ts.singleCaptureVisible = c.single;
        opts->setMarkerCapture(c.marker);
        opts->setMultiCapCount(c.count);
        tsFrames.currentImageIndex = c.index;
        tsFrames.stretchLow = 0;
        tsFrames.stretchHigh = 65535;
        ASSERT_FALSE(images.generateTS(&wb, ExperimentImages::TsMode::WB).isEmpty());
        const bool lost = pixelsOf(tsFrames.frameAt(4))[12] != 60000;
        EXPECT_EQ(lost, c.sharpened) << c.single << c.marker << c.count << c.index;
    }
    ts.singleCaptureVisible = true;
}

TEST_F(ImagesFixture, GenerateOfTheKestrixFrameJoinsItsLists)
{
    cv::Mat pixels(2, 2, CV_16UC1, cv::Scalar(3000));
    pixels.at<uint16_t>(0, 0) = 2000;
    addQiFrame(pixels);
    qi->curImageIndex = 0;
    qi->stretchLow = 2000;
    qi->stretchHigh = 4000;
    const QString path = images.generateQI(&wb);
    EXPECT_EQ(path, expPath(wb, "_Gen"));
    const cv::Mat written = read(path);
    EXPECT_EQ(written.at<uint16_t>(0, 0), 0);
    EXPECT_EQ(written.at<uint16_t>(1, 1), 32768);
    ASSERT_EQ(qi->frameCount(), 2);
    EXPECT_EQ(qi->frameAt(1).pixels[3], 32768);
    EXPECT_EQ(qi->histogramCount(), 2);
    EXPECT_TRUE(QFileInfo::exists(copyPath(wb, "_Gen")));
}

TEST_F(ImagesFixture, MergeMultipliesTwoFrames)
{
    const struct {
        const char* name;
        int a, b;
        UserOpts::BkColorType background;
        bool autoStretch;
        int lowA, highA;
        int want;
    } cases[] = {
        {"white on white", 65535, 65535, UserOpts::White, false, 0, 65535, 65535},
        {"mid grey squared", 32768, 32768, UserOpts::White, false, 0, 65535, 16384},
        {"black background inverts the second", 65535, 0, UserOpts::Black, false, 0, 65535, 65535},
        {"range applied with automatic stretch", 1500, 65535, UserOpts::White, true, 1000, 2000, 32768},
        {"range ignored without it", 1500, 65535, UserOpts::White, false, 1000, 2000, 1500},
    };
    for (const auto& c : cases) {
        tsFrames.clearFrameList();
        addTsFrame(grey16(2, 3, c.a), c.lowA, c.highA);
        addTsFrame(grey16(2, 3, c.b));
        setBackground(c.background);
        opts->setIsAutoStretch(c.autoStretch);
        const QString path = images.mergeTS(&wb, {0, 1});
        ASSERT_EQ(path, expPath(wb, "_Merge")) << c.name;
        EXPECT_EQ(read(path).at<uint16_t>(1, 2), c.want) << c.name;
        EXPECT_EQ(read(copyPath(wb, "_Merge")).at<uint16_t>(0, 0), c.want) << c.name;
        ASSERT_EQ(tsFrames.frameCount(), 3) << c.name;
        EXPECT_EQ(pixelsOf(tsFrames.frameAt(2))[0], c.want) << c.name;
        EXPECT_EQ(tsFrames.histogramCount(), 3);
        EXPECT_EQ(pixelsOf(tsFrames.frameAt(1))[0], c.b) << "second frame changed";
    }
}

TEST_F(ImagesFixture, KestrixMergeAppliesItsRangesAlways)
{
    addQiFrame(grey16(2, 2, 1500), 1000, 2000);
    addQiFrame(grey16(2, 2, 65535));
    const QString path = images.mergeQI(&wb, {0, 1});
    ASSERT_EQ(path, expPath(wb, "_Merge"));
    EXPECT_EQ(read(path).at<uint16_t>(1, 1), 32768);
    EXPECT_EQ(qi->frameCount(), 3);
    EXPECT_EQ(qi->histogramCount(), 3);
}

TEST_F(ImagesFixture, MergesRefuseWhatTheyCannotPair)
{
    addTsFrame(grey16(2, 3, 100));
    addTsFrame(grey16(3, 2, 100));
    addQiFrame(grey16(2, 3, 100));
    addQiFrame(grey16(3, 2, 100));
    const struct {
        const char* name;
        QVariantList list;
    } cases[] = {
        {"index past the list", {0, 2}},
        {"negative index", {-1, 0}},
        {"one entry", {0}},
        {"no number", {QString("x"), 1}},
        {"frames of different sizes", {0, 1}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(images.mergeTS(&wb, c.list), "") << c.name;
        EXPECT_EQ(images.mergeQI(&wb, c.list), "") << c.name;
        EXPECT_EQ(images.colorMergeTS(&wb, root.filePath("none.tif"), c.list), "") << c.name;
    }
    EXPECT_EQ(tsFrames.frameCount(), 2);
    EXPECT_EQ(qi->frameCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(expPath(wb, "_Merge")));
    EXPECT_TRUE(log.contains("merge: images of different sizes"));
}

TEST_F(ImagesFixture, NothingIsMadeWithoutARecord)
{
    addTsFrame(grey16(2, 2, 100));
    addQiFrame(grey16(2, 2, 100));
    tsFrames.currentImageIndex = 0;
    qi->curImageIndex = 0;
    EXPECT_EQ(images.generateTS(nullptr, ExperimentImages::TsMode::Gel), "");
    EXPECT_EQ(images.generateQI(nullptr), "");
    EXPECT_EQ(images.mergeTS(nullptr, {0, 0}), "");
    EXPECT_EQ(images.mergeQI(nullptr, {0, 0}), "");
    EXPECT_EQ(images.colorMergeTS(nullptr, "x.tif", {0}), "");
    EXPECT_EQ(tsFrames.frameCount(), 1);
    EXPECT_EQ(qi->frameCount(), 1);
}

// A picture that cannot be written is not reported as made and leaves the lists as they were.
TEST_F(ImagesFixture, AFailedWriteAddsNothing)
{
    QFile blocker(root.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    wb.imageSavePath = root.filePath("blocked/exp/");
    addTsFrame(grey16(2, 2, 100));
    addQiFrame(grey16(2, 2, 100));
    tsFrames.currentImageIndex = 0;
    qi->curImageIndex = 0;
    EXPECT_EQ(images.generateTS(&wb, ExperimentImages::TsMode::WB), "");
    EXPECT_EQ(images.generateQI(&wb), "");
    EXPECT_EQ(images.mergeTS(&wb, {0, 0}), "");
    EXPECT_EQ(tsFrames.frameCount(), 1);
    EXPECT_EQ(tsFrames.histogramCount(), 1);
    EXPECT_EQ(qi->frameCount(), 1);
    EXPECT_TRUE(log.contains("picture not written:"));
    EXPECT_FALSE(QFileInfo::exists(copyPath(wb, "_Gen")));
}

TEST_F(ImagesFixture, ColourMergeTintsTheFrameWithTheMarker)
{
    addTsFrame(grey16(2, 3, 40000), 0, 65535);
    const QString colourFile = wb.imageSavePath + "07-00-00-000_Color.tif";
    cv::imwrite(colourFile.toStdString(), cv::Mat(2, 3, CV_8UC3, cv::Scalar(10, 200, 255)));
    const struct {
        UserOpts::BkColorType background;
        int grey;
    } cases[] = {{UserOpts::White, 156}, {UserOpts::Black, 100}}; // 40000 / 256 and 25535 / 256, rounded
    for (const auto& c : cases) {
        setBackground(c.background);
        const QString path = images.colorMergeTS(&wb, "file://" + colourFile, {0});
        ASSERT_EQ(path, expPath(wb, "_Merge"));
        const cv::Mat written = read(path);
        ASSERT_EQ(written.type(), CV_8UC3);
        const int channels[] = {10, 200, 255};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(written.at<cv::Vec3b>(1, 2)[k], int((channels[k] / 255.0) * (c.grey / 255.0) * 255.0));
    }
    EXPECT_EQ(tsFrames.frameCount(), 1) << "a colour merge is a file, not a frame";
    EXPECT_TRUE(log.contains("colorImageName: "));
    // A colour picture of another size, or a grey one, is refused.
    cv::imwrite(colourFile.toStdString(), cv::Mat(3, 3, CV_8UC3, cv::Scalar(1, 2, 3)));
    EXPECT_EQ(images.colorMergeTS(&wb, colourFile, {0}), "");
    cv::imwrite(colourFile.toStdString(), cv::Mat(2, 3, CV_8UC1, cv::Scalar(1)));
    EXPECT_EQ(images.colorMergeTS(&wb, colourFile, {0}), "");
}

// The capture thread appends while the page generates: the lists stay whole and in step.
TEST_F(ImagesFixture, GenerateWhileACaptureAppends)
{
    addTsFrame(grey16(64, 64, 1000));
    tsFrames.currentImageIndex = 0;
    std::atomic<bool> done {false};
    std::thread capture([&] {
        for (int i = 0; i < 200; ++i)
            addTsFrame(grey16(64, 64, i));
        done = true;
    });
    int generated = 0;
    while (!done || generated < 5) {
        if (!images.generateTS(&gel, ExperimentImages::TsMode::Gel).isEmpty())
            ++generated;
    }
    capture.join();
    EXPECT_EQ(tsFrames.frameCount(), 1 + 200 + generated);
    EXPECT_EQ(tsFrames.histogramCount(), tsFrames.frameCount());
}
