// Single exports: every filter of the export dialog and of the library pages, read back (format,
// size, resolution, the overlay), and the targets handed over as file URLs.
#include <gtest/gtest.h>

#include "exporttestutil.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "imageexport.h"
#include "imagesaver.h"
#include "libraryflow.h"
#include "tsframe.h"
#include "useropts.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <opencv2/imgproc.hpp>

namespace {

cv::Mat sourceFrame()
{
    cv::Mat frame(300, 420, CV_16UC1);
    for (int y = 0; y < frame.rows; ++y)
        for (int x = 0; x < frame.cols; ++x)
            frame.at<uint16_t>(y, x) = uint16_t(20000 + x * 80 + y * 20);
    return frame;
}

const WatermarkLines kLines{QStringLiteral("Resolution/Sensitivity: 2*2"), QStringLiteral("Exposure: 1500"),
                            QStringLiteral("Gain: 3")};

cv::Mat highBytes(const cv::Mat& frame)
{
    cv::Mat eight(frame.size(), CV_8UC1);
    for (int y = 0; y < frame.rows; ++y)
        for (int x = 0; x < frame.cols; ++x)
            eight.at<uint8_t>(y, x) = uint8_t(frame.at<uint16_t>(y, x) >> 8);
    cv::Mat bgr;
    cv::cvtColor(eight, bgr, cv::COLOR_GRAY2BGR);
    return bgr;
}

} // namespace

TEST(ExportFilters, DialogAndLibraryTables)
{
    EXPECT_EQ(dialogFilter(0).dpi, 1200);
    EXPECT_TRUE(dialogFilter(0).enlarge);
    EXPECT_FALSE(dialogFilter(5).overlay);
    EXPECT_TRUE(dialogFilter(11).overlay);
    EXPECT_EQ(dialogFilter(10).format, ExportFormat::Jpg);
    EXPECT_EQ(dialogFilter(12).format, ExportFormat::None);
    EXPECT_EQ(dialogFilter(-1).format, ExportFormat::None);
    EXPECT_EQ(libraryFilter(1).dpi, 300);
    EXPECT_EQ(libraryFilter(4).format, ExportFormat::Png);
    EXPECT_EQ(libraryFilter(5).format, ExportFormat::None);
}

// Each dialog filter on a 16-bit frame: the file's format, size, resolution and pixels, and
// the overlay's presence against the same export without it.
TEST(ExportGreyFrame, EveryDialogFilterWithAndWithoutOverlay)
{
    QTemporaryDir dir;
    const cv::Mat frame = sourceFrame();
    struct Case {
        int index;
        const char* suffix;
        bool tiff;
        int dpi;
        int scale;
    };
    const Case cases[] = {
        {0, "tif", true, 1200, 2}, {1, "tif", true, 600, 1}, {2, "tif", true, 300, 1},
        {3, "bmp", false, 0, 1},   {4, "jpg", false, 0, 1},  {5, "png", false, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const QString plain = dir.filePath(QStringLiteral("plain%1.%2").arg(c.index).arg(c.suffix));
        const QString marked = dir.filePath(QStringLiteral("marked%1.%2").arg(c.index).arg(c.suffix));
        ASSERT_TRUE(exportGreyFrame(frame.clone(), plain, c.index, kLines));
        ASSERT_TRUE(exportGreyFrame(frame.clone(), marked, c.index + 6, kLines));
        const cv::Mat a = readBack(plain);
        const cv::Mat b = readBack(marked);
        ASSERT_FALSE(a.empty());
        EXPECT_EQ(a.cols, frame.cols * c.scale);
        EXPECT_EQ(a.rows, frame.rows * c.scale);
        EXPECT_EQ(b.size(), a.size());
        if (c.tiff) {
            for (const QString& path : {plain, marked}) {
                const TiffTags tags = readTiffTags(path);
                EXPECT_EQ(tags.bits, 16);
                EXPECT_EQ(tags.samples, 1);
                EXPECT_EQ(tags.xdpi, c.dpi);
                EXPECT_EQ(tags.ydpi, c.dpi);
                EXPECT_EQ(tags.unit, 2);
                EXPECT_EQ(tags.compression, 1);
            }
            if (c.scale == 1) {
                EXPECT_EQ(cv::norm(a, frame, cv::NORM_INF), 0);
            }
        } else {
            EXPECT_EQ(a.type(), CV_8UC3);
            if (c.index != 4) {
                EXPECT_EQ(cv::norm(a, highBytes(frame), cv::NORM_INF), 0);
            }
        }
        // The lines sit in the bottom-left corner (drawn before the enlargement); the top of the
        // picture is untouched.
        EXPECT_GT(changedPixels(a, b, cv::Rect(0, a.rows - 150 * c.scale, 400, 150 * c.scale)), 50);
        EXPECT_EQ(changedPixels(a, b, cv::Rect(0, 0, a.cols, a.rows / 3)), 0);
    }
}

TEST(Watermark, AnEmptyLineDrawsNothingAndTheOthersKeepTheirPlaces)
{
    const cv::Mat frame = sourceFrame();
    cv::Mat marked = frame.clone();
    drawWatermarkGrey(marked, {QString(), QStringLiteral("Exposure: 1500"), QString()});
    const int h = frame.rows;
    // Baselines at h - 120, h - 80, h - 40: only the middle line's band changes.
    EXPECT_EQ(changedPixels(frame, marked, cv::Rect(0, h - 160, 420, 44)), 0);
    EXPECT_GT(changedPixels(frame, marked, cv::Rect(0, h - 110, 420, 40)), 20);
    EXPECT_EQ(changedPixels(frame, marked, cv::Rect(0, h - 66, 420, 66)), 0);

    cv::Mat colour;
    cv::cvtColor(highBytes(frame), colour, cv::COLOR_BGR2BGRA);
    drawWatermarkColour(colour, kLines);
    ASSERT_EQ(colour.type(), CV_8UC3);
    // The pen is blue: blue-green-red pixels whose blue exceeds their red.
    cv::Mat channels[3];
    cv::split(colour(cv::Rect(0, h - 150, 420, 150)), channels);
    EXPECT_GT(cv::countNonZero(channels[0] > channels[2] + 40), 20);
}

TEST(ExportStoredPicture, LibraryFiltersFromAStoredTiff)
{
    QTemporaryDir dir;
    const cv::Mat frame = sourceFrame();
    const QString source = dir.filePath("stored.tif");
    ASSERT_TRUE(writeTiff(source, frame));
    struct Case {
        int index;
        const char* name;
        int dpi;
    };
    const Case cases[] = {{0, "a.tif", 600}, {1, "b.tif", 300}, {2, "c.bmp", 0}, {3, "d.jpg", 0}, {4, "e.png", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const QString target = dir.filePath(c.name);
        ASSERT_TRUE(exportStoredPicture(source, target, c.index));
        const cv::Mat back = readBack(target);
        ASSERT_EQ(back.size(), frame.size());
        if (c.dpi) {
            EXPECT_EQ(readTiffTags(target).xdpi, c.dpi);
            EXPECT_EQ(cv::countNonZero(back != frame), 0);
        } else {
            EXPECT_EQ(back.type(), CV_8UC3);
        }
    }
    EXPECT_FALSE(exportStoredPicture(source, dir.filePath("f.tif"), 5));
    EXPECT_FALSE(QFile::exists(dir.filePath("f.tif")));
    EXPECT_FALSE(exportStoredPicture(dir.filePath("missing.tif"), dir.filePath("g.tif"), 0));
    EXPECT_FALSE(QFile::exists(dir.filePath("g.tif")));
}

// The dialogs hand URLs: a folder with a space, a percent sign and a hash is a path again.
TEST(ExportTargets, FileUrlsBecomeLocalPaths)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("my exports 100%#1");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString source = dir.filePath("stored.tif");
    ASSERT_TRUE(writeTiff(source, sourceFrame()));
    FlowContext ctx(FlowContext::Devices{});
    LibraryFlow flow(ctx);
    const QString target = folder + "/out.png";
    EXPECT_TRUE(flow.exportStored(source, QUrl::fromLocalFile(target).toString(), 4));
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_FALSE(flow.exportStored(source, QString(), 0));
}

TEST(ExportMult, TargetNameChoosesTheEightBitOrTheTiffPath)
{
    QTemporaryDir dir;
    const QString source = dir.filePath("mult.tif");
    ASSERT_TRUE(writeTiff(source, sourceFrame()));
    FlowContext ctx(FlowContext::Devices{});
    LibraryFlow flow(ctx);
    flow.updateExportInfo("2*2", "100", "1");

    const QString png = dir.filePath("a.png");
    ASSERT_TRUE(flow.exportMult(source, QUrl::fromLocalFile(png).toString(), 1));
    EXPECT_EQ(readBack(png).type(), CV_8UC3);

    // No 8-bit suffix: TIFF whatever the filter, 16-bit as read.
    const QString tif = dir.filePath("b.tif");
    ASSERT_TRUE(flow.exportMult(source, QUrl::fromLocalFile(tif).toString(), 3));
    EXPECT_EQ(readTiffTags(tif).bits, 16);
    EXPECT_EQ(readTiffTags(tif).xdpi, 0.0f);

    const QString big = dir.filePath("c.tif");
    ASSERT_TRUE(flow.exportMult(source, QUrl::fromLocalFile(big).toString(), 6));
    EXPECT_EQ(readTiffTags(big).width, 840);
    EXPECT_EQ(readTiffTags(big).xdpi, 1200.0f);
}

TEST(ExportGel, ColourPictureByTheTargetsExtension)
{
    QTemporaryDir dir;
    cv::Mat colour(200, 300, CV_8UC3, cv::Scalar(10, 120, 230));
    const QString source = dir.filePath("gel_Color.tif");
    ASSERT_TRUE(writeTiff(source, colour));
    FlowContext ctx(FlowContext::Devices{});
    LibraryFlow flow(ctx);
    const QString bmp = dir.filePath("gel.bmp");
    ASSERT_TRUE(flow.exportGel(source, QUrl::fromLocalFile(bmp).toString(), 3));
    const cv::Mat back = readBack(bmp);
    ASSERT_EQ(back.type(), CV_8UC3);
    EXPECT_EQ(cv::norm(back, colour, cv::NORM_INF), 0);
    // A grey gel picture takes the camera's frame; without a camera nothing is written.
    const QString grey = dir.filePath("grey.tif");
    ASSERT_TRUE(writeTiff(grey, sourceFrame()));
    EXPECT_FALSE(flow.exportGel(grey, QUrl::fromLocalFile(dir.filePath("g.bmp")).toString(), 3));
}

TEST(PlainTiff, RecognisesUncompressedTiffsAtAResolution)
{
    QTemporaryDir dir;
    const cv::Mat frame = sourceFrame();
    ASSERT_TRUE(writeTiff(dir.filePath("a.tif"), frame));
    ASSERT_TRUE(writeByExtension(dir.filePath("b.tif"), frame, 300));
    ASSERT_TRUE(writeByExtension(dir.filePath("c.png"), frame, 0));
    EXPECT_TRUE(isPlainTiffAt(dir.filePath("a.tif"), 600));
    EXPECT_FALSE(isPlainTiffAt(dir.filePath("b.tif"), 600));
    EXPECT_TRUE(isPlainTiffAt(dir.filePath("b.tif"), 300));
    EXPECT_FALSE(isPlainTiffAt(dir.filePath("c.png"), 600));
    EXPECT_FALSE(isPlainTiffAt(dir.filePath("none.tif"), 600));
}

// The capture pages' export of the shown frame: as captured, or with the view's levels on a
// copy (the listed frame stays as it was); nothing without a frame.
TEST(ExportCurrentFrame, TucsenFrameAsCapturedAndAsShown)
{
    QTemporaryDir dir;
    H695ICECamCtrl* camera = H695ICECamCtrl::getInstance();
    camera->frameStore().clearFrameList(false);
    FlowContext::Devices devices;
    devices.tucsen = camera;
    devices.userOpts = UserOpts::getInstance();
    FlowContext ctx(devices);
    LibraryFlow flow(ctx);
    EXPECT_FALSE(flow.saveExportImage(dir.filePath("none.tif"), 1, false));

    cv::Mat frame = sourceFrame();
    camera->frameStore().appendFrame(TsFrame::fromPixels(frame.cols, frame.rows, frame.ptr<uint16_t>()));
    camera->frameStore().currentImageIndex = 0;
    camera->frameStore().stretchLow = 25000;
    camera->frameStore().stretchHigh = 40000;
    ASSERT_TRUE(flow.saveExportImage(QUrl::fromLocalFile(dir.filePath("raw.tif")).toString(), 1, false));
    EXPECT_EQ(cv::norm(readBack(dir.filePath("raw.tif")), frame, cv::NORM_INF), 0);
    ASSERT_TRUE(flow.saveExportImage(dir.filePath("shown.tif"), 2, true));
    const cv::Mat shown = readBack(dir.filePath("shown.tif"));
    EXPECT_EQ(readTiffTags(dir.filePath("shown.tif")).xdpi, 300);
    EXPECT_GT(cv::norm(shown, frame, cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(camera->frameStore().frameAt(0)->view().mat(), frame, cv::NORM_INF), 0);
    camera->frameStore().clearFrameList(false);
}
