#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <functional>
#include <tuple>

#include <opencv2/imgcodecs.hpp>

#include "imagesaver.h"
#include "paramimagefile.h"

// After OpenCV: libtiff re-declares int64/uint64 as deprecated.
#include <tiffio.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

struct TiffInfo {
    bool opened = false;
    uint32_t width = 0, height = 0, rowsPerStrip = 0, strips = 0;
    uint16_t bits = 0, samples = 0, compression = 0, unit = 0, photometric = 0, planar = 0, format = 0;
    float xres = 0, yres = 0;
};

TiffInfo readTiff(const QString& path)
{
    TiffInfo info;
    TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "r");
    if (!tif)
        return info;
    info.opened = true;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &info.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &info.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &info.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &info.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &info.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &info.unit);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &info.xres);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &info.yres);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &info.rowsPerStrip);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PHOTOMETRIC, &info.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &info.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &info.format);
    info.strips = TIFFNumberOfStrips(tif);
    TIFFClose(tif);
    return info;
}

void expectPicture(const QString& path, int width, int height, int bits, int samples)
{
    const TiffInfo t = readTiff(path);
    ASSERT_TRUE(t.opened) << path.toStdString();
    EXPECT_EQ(t.width, uint32_t(width)) << path.toStdString();
    EXPECT_EQ(t.height, uint32_t(height));
    EXPECT_EQ(t.bits, bits);
    EXPECT_EQ(t.samples, samples);
    EXPECT_EQ(t.compression, COMPRESSION_NONE);
    EXPECT_EQ(t.unit, RESUNIT_INCH);
    EXPECT_FLOAT_EQ(t.xres, 600);
    EXPECT_FLOAT_EQ(t.yres, 600);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

class Saver : public ::testing::Test {
protected:
    QTemporaryDir dir;
    cv::Mat frame = cv::Mat(40, 30, CV_16UC1);
    SaveContext ctx;

    void SetUp() override
    {
        cv::RNG(1).fill(frame, cv::RNG::UNIFORM, 1000, 50000);
        ctx.appDir = dir.filePath("app");
        ctx.expName = "A";
        ctx.imageSavePath = dir.filePath("D");
        ctx.when = QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9, 42));
    }
    QString a() const { return ctx.appDir + "/Images/2024-03-01/A/"; }
    QString b() const { return ctx.imageSavePath + "/2024-03-01/A/"; }
    FrameView view() { return FrameView::of(frame); }
    std::vector<uint8_t> mask(int marked) const
    {
        std::vector<uint8_t> m(frame.total(), 0);
        std::fill(m.begin(), m.begin() + marked, 1);
        return m;
    }
};

} // namespace

TEST_F(Saver, SampleWithOverExposureWritesTheWholeSet)
{
    const std::vector<uint8_t> marks = mask(301);
    WBSaveOptions opts;
    opts.autoLevel = true;
    opts.kind = 1;
    opts.isExposure = true;
    opts.isAutoStretch = true;
    opts.histLevelPercent = 0.001;
    opts.overExposureSum = &marks;
    const cv::Mat before = frame.clone();
    const WBSaveResult r = saveWBImages(view(), ctx, opts);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.path, a() + "14-05-09-042_OE.tif");
    EXPECT_EQ(filesIn(a()), (QStringList{"14-05-09-042.data", "14-05-09-042.tif", "14-05-09-042_OE.tif"}));
    EXPECT_EQ(filesIn(b()), QStringList{"14-05-09-042.tif"});
    EXPECT_EQ(cv::norm(frame, before, cv::NORM_INF), 0); // the caller's frame is untouched
    expectPicture(a() + "14-05-09-042.tif", 30, 40, 16, 1);
    expectPicture(b() + "14-05-09-042.tif", 30, 40, 16, 1);
    expectPicture(a() + "14-05-09-042_OE.tif", 30, 40, 8, 3);
    EXPECT_EQ(bytesOf(b() + "14-05-09-042.tif"), bytesOf(a() + "14-05-09-042.tif"));

    const ParamImage data = readParamFile(a() + "14-05-09-042.data");
    EXPECT_EQ(cv::norm(data.image, before, cv::NORM_INF), 0); // raw pixels, not the stretched ones
    EXPECT_EQ(data.stretchLow, r.histogram.low);
    EXPECT_EQ(data.stretchHigh, r.histogram.high);
    EXPECT_GT(r.histogram.low, 1000);

    const cv::Mat oe = cv::imread((a() + "14-05-09-042_OE.tif").toStdString(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(oe.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 0, 255));
    const cv::Mat stretched = cv::imread((a() + "14-05-09-042.tif").toStdString(), cv::IMREAD_UNCHANGED);
    const uint16_t last = stretched.at<uint16_t>(39, 29);
    const uint8_t g = uint8_t(last / 65535.0 * 255.0);
    EXPECT_EQ(oe.at<cv::Vec3b>(39, 29), cv::Vec3b(g, g, g));
}

TEST_F(Saver, OverExposureCondition)
{
    struct Case { const char* what; int kind; bool isExposure; int marked; size_t maskLength; bool oe; };
    const Case cases[] = {
        {"300 marks", 1, true, 300, 1200, false},
        {"301 marks", 1, true, 301, 1200, true},
        {"merge", 2, true, 400, 1200, true},
        {"marker never", 0, true, 1200, 1200, false},
        {"switched off", 1, false, 1200, 1200, false},
        {"mask of another frame", 1, true, 400, 1199, false},
    };
    int ms = 0;
    for (const Case& c : cases) {
        ctx.when = ctx.when.addMSecs(++ms);
        std::vector<uint8_t> marks(c.maskLength, 0);
        std::fill(marks.begin(), marks.begin() + c.marked, 1);
        WBSaveOptions opts;
        opts.kind = c.kind;
        opts.isExposure = c.isExposure;
        opts.overExposureSum = &marks;
        const WBSaveResult r = saveWBImages(view(), ctx, opts);
        EXPECT_TRUE(r.ok) << c.what;
        EXPECT_EQ(r.path.endsWith("_OE.tif"), c.oe) << c.what;
        EXPECT_EQ(QFile::exists(r.path), true) << c.what;
    }
}

TEST_F(Saver, KindsAndTheirFiles)
{
    struct Case { int kind; QStringList files; };
    const Case cases[] = {
        {0, {"14-05-09-042_Marker.tif"}},
        {1, {"14-05-09-042.data", "14-05-09-042.tif"}},
        {2, {"14-05-09-042_Merge.tif"}},
        {3, {"14-05-09-042.tif"}},
    };
    for (const Case& c : cases) {
        QDir(ctx.appDir).removeRecursively();
        WBSaveOptions opts;
        opts.kind = c.kind;
        opts.autoLevel = c.kind == 0;
        const WBSaveResult r = saveWBImages(view(), ctx, opts);
        EXPECT_EQ(filesIn(a()), c.files) << c.kind;
        EXPECT_EQ(r.histogram.logHist.size(), 65536u);
    }
}

TEST_F(Saver, DetectedRectsFollowIntelligentAnalysis)
{
    frame.setTo(0);
    frame(cv::Rect(5, 5, 12, 12)).setTo(60000);
    WBSaveOptions opts;
    opts.kind = 1;
    opts.sampleImageBkColor = 1;
    opts.intelligentAnalysis = 1;
    opts.autoLevel = true;
    WBSaveResult r = saveWBImages(view(), ctx, opts);
    EXPECT_TRUE(r.rectsChanged);
    EXPECT_EQ(r.rects, (std::vector<cv::Rect>{{5, 5, 12, 12}}));
    opts.autoLevel = false;
    r = saveWBImages(view(), ctx, opts);
    EXPECT_TRUE(r.rectsChanged);
    EXPECT_TRUE(r.rects.empty());
    EXPECT_EQ(r.histogram.low, 0);
    EXPECT_EQ(r.histogram.high, 65535);
    opts.intelligentAnalysis = 0;
    EXPECT_FALSE(saveWBImages(view(), ctx, opts).rectsChanged);
}

TEST_F(Saver, EmptySavePathSkipsTheSecondFolder)
{
    ctx.imageSavePath.clear();
    WBSaveOptions opts;
    opts.kind = 2;
    EXPECT_TRUE(saveWBImages(view(), ctx, opts).ok);
    EXPECT_EQ(filesIn(a()), QStringList{"14-05-09-042_Merge.tif"});
    const CaptureSaveResult c = saveCaptureImage(view(), false, 0, {}, ctx);
    EXPECT_TRUE(c.ok);
    EXPECT_FALSE(QDir("/2024-03-01").exists());
}

// The operator's folder may be stored as a URL: the copy goes into that folder, not into a
// "file:" folder below the working directory.
TEST_F(Saver, AFolderStoredAsAUrlGetsItsCopy)
{
    ctx.imageSavePath = "file://" + dir.filePath("D") + "/";
    EXPECT_TRUE(saveCaptureImage(view(), false, 0, {}, ctx).ok);
    EXPECT_EQ(filesIn(dir.filePath("D/2024-03-01/A")), QStringList{"14-05-09-042_White.tif"});
    EXPECT_FALSE(QDir("file:").exists());
}

// An experiment name that is no single folder puts no picture anywhere: not above the day's
// folder, not below the working directory.
TEST_F(Saver, ANameThatIsNoFolderWritesNothing)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir().mkpath(dir.filePath("cwd")));
    QDir::setCurrent(dir.filePath("cwd"));
    const std::vector<uint8_t> marks = mask(400);
    for (const char* name : {"..", ".", "", "x/y"}) {
        ctx.expName = name;
        WBSaveOptions opts;
        opts.kind = 1;
        opts.isExposure = true;
        opts.overExposureSum = &marks;
        EXPECT_FALSE(saveWBImages(view(), ctx, opts).ok) << name;
        EXPECT_FALSE(saveCaptureImage(view(), false, 0, {}, ctx).ok) << name;
        cv::Mat colour(20, 10, CV_8UC3, cv::Scalar(1, 2, 3));
        bool ok = true;
        saveImages(colour, 3, {}, ctx, &ok);
        EXPECT_FALSE(ok) << name;
    }
    QDir::setCurrent(before);
    QStringList written;
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        written << it.next();
    EXPECT_EQ(written, QStringList{});
}

TEST_F(Saver, FailuresAreReportedNotHidden)
{
    QDir().mkpath(ctx.appDir);
    QFile blocker(ctx.appDir + "/Images"); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    WBSaveOptions opts;
    opts.kind = 1;
    const WBSaveResult r = saveWBImages(view(), ctx, opts);
    EXPECT_FALSE(r.ok);
    // A picture missing from one folder is no picture: the other folder keeps no copy either.
    EXPECT_EQ(filesIn(b()), QStringList{});
    EXPECT_FALSE(saveCaptureImage(view(), true, 1, {}, ctx).ok);
    EXPECT_FALSE(writeTiff(dir.filePath("no/such/folder/x.tif"), frame));
    EXPECT_FALSE(saveWBImages(FrameView{}, ctx, opts).ok);
}

// The second folder failing (a full disk or a file where its folder belongs) leaves nothing of
// the picture under a final name in the first: the library would list it as a sound picture.
TEST_F(Saver, FailedSecondCopyTakesTheFirstAway)
{
    QDir().mkpath(ctx.imageSavePath);
    QFile blocker(ctx.imageSavePath + "/2024-03-01"); // a file where folder B's day belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::vector<uint8_t> marks = mask(400);
    struct Case {
        const char* name;
        std::function<bool()> save;
    };
    const std::vector<Case> cases = {
        {"capture picture", [&] { return saveCaptureImage(view(), true, 1, {}, ctx).ok; }},
        {"sample with over-exposure and data",
         [&] {
             WBSaveOptions opts;
             opts.kind = 1;
             opts.isExposure = true;
             opts.overExposureSum = &marks;
             return saveWBImages(view(), ctx, opts).ok;
         }},
        {"processed picture",
         [&] {
             cv::Mat colour(20, 10, CV_8UC3, cv::Scalar(1, 2, 3));
             bool ok = true;
             saveImages(colour, 3, {}, ctx, &ok);
             return ok;
         }},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.save()) << c.name;
        EXPECT_EQ(filesIn(a()), QStringList{}) << c.name;
    }
    // Once folder B can be made again, both folders get their copies.
    QFile::remove(blocker.fileName());
    EXPECT_TRUE(saveCaptureImage(view(), true, 1, {}, ctx).ok);
    EXPECT_EQ(filesIn(a()), QStringList{"14-05-09-042_UV302.tif"});
    EXPECT_EQ(filesIn(b()), QStringList{"14-05-09-042_UV302.tif"});
}

TEST_F(Saver, CaptureImageCutsToTheRegion)
{
    struct Case { int light; bool enabled; cv::Rect region; QString name; cv::Size size; RegionOfInterest entry; };
    const Case cases[] = {
        {0, false, {}, "14-05-09-042_White.tif", {30, 40}, {false, 0, 0, -1, -1}},
        {10, true, {2, 3, 10, 20}, "14-05-09-042_Blue.tif", {10, 20}, {false, 2, 3, 11, 22}},
        {6, true, {20, 30, 50, 50}, "14-05-09-042_Blue.tif", {10, 10}, {false, 20, 30, 29, 39}}, // clipped
        {11, true, {100, 100, 5, 5}, "14-05-09-042.tif", {30, 40}, {false, 0, 0, -1, -1}},       // stale: whole frame
        {9, true, {0, 0, 0, 0}, "14-05-09-042_UV.tif", {30, 40}, {false, 0, 0, -1, -1}},
    };
    for (const Case& c : cases) {
        RegionOfInterest roi;
        roi.enabled = c.enabled;
        roi.setCropRect(c.region.x, c.region.y, c.region.width, c.region.height);
        const CaptureSaveResult r = saveCaptureImage(view(), c.light == 0, c.light, roi, ctx);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.path, a() + c.name);
        EXPECT_EQ(r.hasHistogram, c.light == 0);
        EXPECT_EQ(r.roiEntry.left, c.entry.left) << c.light;
        EXPECT_EQ(r.roiEntry.top, c.entry.top);
        EXPECT_EQ(r.roiEntry.right, c.entry.right);
        EXPECT_EQ(r.roiEntry.bottom, c.entry.bottom);
        expectPicture(a() + c.name, c.size.width, c.size.height, 16, 1);
        expectPicture(b() + c.name, c.size.width, c.size.height, 16, 1);
        const cv::Mat back = cv::imread((a() + c.name).toStdString(), cv::IMREAD_UNCHANGED);
        const cv::Rect cut = c.entry.right < 0 ? cv::Rect(0, 0, 30, 40) : cv::Rect(c.entry.left, c.entry.top, c.size.width, c.size.height);
        EXPECT_EQ(cv::norm(back, frame(cut), cv::NORM_INF), 0);
    }
}

TEST_F(Saver, ProcessedPicturesToBothFolders)
{
    cv::Mat colour(40, 30, CV_8UC3, cv::Scalar(1, 2, 3));
    cv::Mat image = colour;
    EXPECT_EQ(saveImages(image, 3, {}, ctx), a() + "14-05-09-042_Color.tif");
    expectPicture(b() + "14-05-09-042_Color.tif", 30, 40, 8, 3);
    EXPECT_EQ(saveImages(image, 1, {}, ctx), a() + "14-05-09-042.tif");
    EXPECT_EQ(saveImages(image, 2, {}, ctx), a() + "14-05-09-042_Merge.tif");

    RegionOfInterest roi;
    roi.enabled = true;
    roi.setCropRect(10, 20, 100, 50);
    cv::Mat big(100, 150, CV_16UC1, cv::Scalar(9));
    cv::Mat shown = big;
    ctx.when = ctx.when.addMSecs(1);
    saveImages(shown, 2, roi, ctx);
    EXPECT_EQ(shown.size(), cv::Size(100, 50)); // the caller's image is the region's view afterwards
    EXPECT_EQ(shown.data, big.ptr(20, 10));
    expectPicture(a() + "14-05-09-043_Merge.tif", 100, 50, 16, 1);
    expectPicture(b() + "14-05-09-043_Merge.tif", 100, 50, 16, 1);
    for (const QString& folder : {a(), b()})
        for (const QString& name : filesIn(folder))
            EXPECT_TRUE(name.endsWith(".tif")) << name.toStdString(); // no temporaries left
}

// Pictures and data files are ordinary files of their folder: the mode a new file gets under the
// process's umask, not the private mode of the temporary file they are written through.
TEST_F(Saver, SavedFilesGetTheModeOfTheUmask)
{
    struct Case { mode_t umask; mode_t mode; } cases[] = {{022, 0644}, {027, 0640}, {002, 0664}};
    int ms = 0;
    for (const Case& c : cases) {
        const mode_t previous = ::umask(c.umask);
        ctx.when = ctx.when.addMSecs(++ms);
        WBSaveOptions opts;
        opts.kind = 1;
        const WBSaveResult r = saveWBImages(view(), ctx, opts);
        cv::Mat colour(4, 3, CV_8UC3, cv::Scalar(1, 2, 3));
        const QString processed = saveImages(colour, 3, {}, ctx);
        ::umask(previous);
        ASSERT_TRUE(r.ok);
        const QString stem = r.path.chopped(4);
        for (const QString& path : {r.path, stem + ".data", b() + QFileInfo(r.path).fileName(), processed}) {
            struct stat st {};
            ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
            EXPECT_EQ(st.st_mode & 0777, c.mode) << path.toStdString() << " under umask " << std::oct << c.umask;
        }
    }
}

// Pictures as OpenCV's encoder writes them: the same pixels (colour in BGR order in memory, RGB in
// the file) and the same tags and strips, for one strip and many, a short last strip, rows longer
// than a strip, odd byte counts and regions cut out of a larger picture.
TEST_F(Saver, PicturesMatchTheLibraryEncoder)
{
    const std::vector<int> params = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI,
                                     600, cv::IMWRITE_TIFF_COMPRESSION, 1};
    const cv::Size sizes[] = {{1, 1}, {7, 5}, {3, 1}, {2000, 3}, {4097, 2}, {333, 77}, {13, 17}};
    const int types[] = {CV_16UC1, CV_8UC1, CV_8UC3};
    unsigned seed = 60;
    for (const cv::Size& size : sizes) {
        for (int type : types) {
            cv::Mat whole(size.height + 2, size.width + 3, type);
            cv::RNG(seed++).fill(whole, cv::RNG::UNIFORM, 0, type == CV_16UC1 ? 65536 : 256);
            for (const cv::Mat& image : {cv::Mat(whole(cv::Rect(0, 0, size.width, size.height)).clone()),
                                         whole(cv::Rect(2, 1, size.width, size.height))}) {
                SCOPED_TRACE(testing::Message() << size << " type " << type << (image.isContinuous() ? "" : " region"));
                const QString ours = dir.filePath("ours.tif"), theirs = dir.filePath("theirs.tif");
                ASSERT_TRUE(writeTiff(ours, image));
                ASSERT_TRUE(cv::imwrite(theirs.toStdString(), image, params));
                const cv::Mat back = cv::imread(ours.toStdString(), cv::IMREAD_UNCHANGED);
                ASSERT_EQ(back.type(), type);
                EXPECT_EQ(cv::norm(back, image, cv::NORM_INF), 0);
                const TiffInfo o = readTiff(ours), t = readTiff(theirs);
                ASSERT_TRUE(o.opened);
                EXPECT_EQ(std::tie(o.width, o.height, o.bits, o.samples, o.compression, o.unit, o.photometric, o.planar,
                                   o.format, o.rowsPerStrip, o.strips),
                          std::tie(t.width, t.height, t.bits, t.samples, t.compression, t.unit, t.photometric, t.planar,
                                   t.format, t.rowsPerStrip, t.strips));
                EXPECT_EQ(std::tie(o.xres, o.yres), std::tie(t.xres, t.yres));
            }
        }
    }
}
