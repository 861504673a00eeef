// The picture files: URLs from QML, derived names in folders with dots, the user's copy folder,
// the two copies and their failures, and the file formats with their tags.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>

#include "picturefiles.h"

// After OpenCV: libtiff re-declares int64/uint64 as deprecated.
#include <tiffio.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

float xResolution(const QString& path)
{
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return -1;
    float x = 0;
    uint16_t unit = 0, compression = 0;
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFClose(tif);
    return unit == RESUNIT_INCH && compression == COMPRESSION_NONE ? x : -2;
}

} // namespace

TEST(PictureFiles, UrlsFromQmlBecomeLocalPaths)
{
    const struct {
        QString in, out;
    } cases[] = {
        {"file:///tmp/a b/x.tif", "/tmp/a b/x.tif"},
        {"file:///tmp/%E5%9B%BE/x.tif", QString::fromUtf8("/tmp/图/x.tif")},
        {"/plain/path.v1/x.tif", "/plain/path.v1/x.tif"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(localPath(c.in), c.out) << c.in.toStdString();
}

TEST(PictureFiles, DerivedNamesKeepDottedFolders)
{
    const struct {
        QString source, suffix, want;
    } cases[] = {
        {"/data/Images.v2/2024-01-02/WBS20240102-101010/10-10-10-123.tif", "_Gen",
         "/data/Images.v2/2024-01-02/WBS20240102-101010/08-09-10-011_Gen.tif"},
        {"/a.b/c.d/x.y.tif", "_Merge", "/a.b/c.d/08-09-10-011_Merge.tif"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(derivedPath(c.source, "08-09-10-011", c.suffix), c.want);
}

TEST(PictureFiles, UserCopyFollowsTheCaptureLayout)
{
    EXPECT_EQ(mirrorFolder("/home/u/pics", "2024-01-02", "Gel20240102-101010"), "/home/u/pics/2024-01-02/Gel20240102-101010/");
    EXPECT_EQ(mirrorFolder("file:///home/u/pics/", "2024-01-02", "G"), "/home/u/pics/2024-01-02/G/");
    EXPECT_EQ(mirrorFolder("", "2024-01-02", "G"), "");
    EXPECT_EQ(mirrorFolderOf("/app.1/Images/2024-01-02/WBS1/x.tif", "/copies"), "/copies/2024-01-02/WBS1/");
    // A picture outside an experiment folder has no user copy.
    EXPECT_EQ(mirrorFolderOf("/tmp/pictures/x.tif", "/copies"), "");
    EXPECT_EQ(mirrorFolderOf("x.tif", "/copies"), "");
}

TEST(PictureFiles, TwoCopiesAreWrittenAndTheFirstOneCounts)
{
    QTemporaryDir dir;
    const cv::Mat picture(4, 5, CV_16UC1, cv::Scalar(1234));
    const QString folder = dir.filePath("exp.1/");
    const QString mirror = dir.filePath("copies/2024-01-02/exp.1/");

    const QString path = saveTwoCopies(picture, folder, "t_Gen.tif", mirror, "t_Gen.tif");
    EXPECT_EQ(path, QDir(folder).filePath("t_Gen.tif"));
    EXPECT_EQ(xResolution(path), 600.0f);
    EXPECT_TRUE(QFileInfo::exists(mirror + "t_Gen.tif"));
    EXPECT_EQ(cv::imread((mirror + "t_Gen.tif").toStdString(), cv::IMREAD_UNCHANGED).at<uint16_t>(3, 4), 1234);

    // The second copy may fail (a file where its folder belongs); the first stands.
    QFile(dir.filePath("blocked")).open(QIODevice::WriteOnly);
    EXPECT_EQ(saveTwoCopies(picture, folder, "u.tif", dir.filePath("blocked/sub/"), "u.tif"), folder + "u.tif");
    EXPECT_TRUE(QFileInfo::exists(folder + "u.tif"));

    // An empty picture or an unwritable folder: nothing, and no exception.
    EXPECT_EQ(saveTwoCopies(cv::Mat(), folder, "e.tif", mirror, "e.tif"), "");
    EXPECT_FALSE(QFileInfo::exists(folder + "e.tif"));
    EXPECT_EQ(saveTwoCopies(picture, dir.filePath("blocked/x/"), "f.tif", mirror, "f.tif"), "");
    EXPECT_FALSE(QFileInfo::exists(mirror + "f.tif"));
}

TEST(PictureFiles, ExportFormatsCarryTheirTags)
{
    QTemporaryDir dir;
    const cv::Mat grey(3, 3, CV_16UC1, cv::Scalar(500));
    ASSERT_TRUE(writeTiffAt(dir.filePath("a.tif"), grey, 300));
    EXPECT_EQ(xResolution(dir.filePath("a.tif")), 300.0f);
    ASSERT_TRUE(writeTiffAt(dir.filePath("b.tif"), grey, 600));
    EXPECT_EQ(xResolution(dir.filePath("b.tif")), 600.0f);

    const cv::Mat bgr(2, 2, CV_8UC3, cv::Scalar(10, 20, 30));
    const char* formats[] = {"BMP", "JPG", "PNG"};
    for (const char* f : formats) {
        const QString path = dir.filePath(QString("c.") + f);
        ASSERT_TRUE(writePictureAs(path, bgr, f)) << f;
        const QImage back(path, f);
        ASSERT_FALSE(back.isNull()) << f;
        EXPECT_NEAR(qRed(back.pixel(0, 0)), 30, 2) << f;
        EXPECT_NEAR(qBlue(back.pixel(0, 0)), 10, 2) << f;
    }
    EXPECT_FALSE(writePictureAs(dir.filePath("d.png"), grey, "PNG"));
    EXPECT_FALSE(writeTiffAt(dir.filePath("e.tif"), cv::Mat(), 300));
    EXPECT_TRUE(readPicture(dir.filePath("none.tif")).empty());
    // No temporary file is left behind by the refused writes.
    EXPECT_TRUE(QDir(dir.path()).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
}
