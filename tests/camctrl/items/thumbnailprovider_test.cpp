// The picture readers of the image library (the thumbnails and the pictures the views and
// exports open): sizes from the header first, nothing larger than a sensor decoded, thumbnails
// at their shown size; then seeded random and mutated TIFF files, none crashing, hanging or
// allocating past the largest picture.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <opencv2/imgcodecs.hpp>

#include <sys/stat.h>

#include "mutatedinputs.h"
#include "picturefiles.h"
#include "picturelimits.h"
#include "thumbnailprovider.h"


TEST(Thumbnails, DecodedAtTheShownSizeFromWhatTheHeaderAllows)
{
    QTemporaryDir dir;
    cv::Mat grey(300, 420, CV_16UC1, cv::Scalar(40000));
    const QString plain = dir.filePath("plain.tif");
    ASSERT_TRUE(cv::imwrite(plain.toStdString(), grey));
    // As QML asks: the path as in a file URL after the provider's name.
    const QString odd = dir.filePath("a b#1%.tif");
    ASSERT_TRUE(QFile::copy(plain, odd));
    ThumbnailProvider provider;
    QSize size;
    const QImage shown = provider.requestImage(QUrl::fromLocalFile(odd).toString(QUrl::FullyEncoded).mid(8), &size,
                                               QSize(120, 90));
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(120, 85)); // 420 x 300 fitted
    EXPECT_EQ(size, shown.size());
    EXPECT_NEAR(qGray(shown.pixel(60, 40)), 40000 / 257, 1);
    EXPECT_EQ(ThumbnailProvider::thumbnail(plain, QSize()).size(), QSize(420, 300));

    struct Case { const char* what; QByteArray bytes; const char* kind; };
    ASSERT_EQ(tiffHeaderClaiming(60000, 60000).size(), 122);
    const Case refused[] = {
        {"60000 x 60000 in 122 bytes", tiffHeaderClaiming(60000, 60000), "file"},
        {"one row past the sensor", tiffHeaderClaiming(10, 4657), "file"},
        {"garbage", QByteArray("no picture here"), "file"},
        {"empty file", QByteArray(), "file"},
        {"missing", QByteArray(), "missing"},
        {"FIFO", QByteArray(), "fifo"},
    };
    for (const Case& c : refused) {
        const QString path = dir.filePath(QString("r%1.tif").arg(&c - refused));
        if (QByteArray(c.kind) == "file") {
            saveBytes(path, c.bytes);
        } else if (QByteArray(c.kind) == "fifo") {
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        EXPECT_TRUE(ThumbnailProvider::thumbnail(path, QSize(120, 90)).isNull()) << c.what;
        EXPECT_TRUE(readPicture(path).empty()) << c.what;
        EXPECT_FALSE(pictureFileSize(path).isValid() && picturelimits::fitsSensor(pictureFileSize(path).width(),
                                                                                  pictureFileSize(path).height()))
            << c.what;
    }
    // A full-sensor frame either way round is read.
    for (const cv::Size sensor : {cv::Size(4656, 3136), cv::Size(3136, 4656)}) {
        const QString path = dir.filePath("sensor.tif");
        ASSERT_TRUE(cv::imwrite(path.toStdString(), cv::Mat(sensor, CV_16UC1, cv::Scalar(7))));
        EXPECT_EQ(readPicture(path).size(), sensor);
        EXPECT_EQ(ThumbnailProvider::thumbnail(path, QSize(120, 120)).size().expandedTo(QSize(120, 120)), QSize(120, 120));
    }
}

TEST(PictureReadersFuzz, RandomAndMutatedTiffFilesAreReadOrRefused)
{
    QTemporaryDir dir;
    cv::Mat grey(24, 32, CV_16UC1);
    cv::randu(grey, 0, 65535);
    cv::Mat colour(20, 30, CV_8UC3);
    cv::randu(colour, 0, 255);
    const QString a = dir.filePath("grey.tif"), b = dir.filePath("colour.tif");
    ASSERT_TRUE(cv::imwrite(a.toStdString(), grey));
    ASSERT_TRUE(cv::imwrite(b.toStdString(), colour));
    const QByteArray seeds[] = {loadBytes(a), loadBytes(b), tiffHeaderClaiming(32, 24)};
    const QString path = dir.filePath("fuzz.tif");
    QuietLog quiet;
    PeakMemory peak;
    int read = 0;
    for (uint32_t seed = 1; seed <= 3000; ++seed) {
        MutatedInputs inputs(seed);
        saveBytes(path, seed % 8 == 0 ? inputs.random(512) : inputs.mutate(seeds[seed % 3]));
        const cv::Mat picture = readPicture(path);
        if (!picture.empty()) {
            ++read;
            EXPECT_TRUE(picturelimits::fitsSensor(picture.cols, picture.rows)) << "seed " << seed;
        }
        const QImage thumb = ThumbnailProvider::thumbnail(path, QSize(16, 12));
        if (!thumb.isNull()) {
            EXPECT_LE(thumb.width(), 16) << "seed " << seed;
            EXPECT_LE(thumb.height(), 12) << "seed " << seed;
        }
    }
    EXPECT_GT(read, 0);
    EXPECT_LT(peak.grownMiB(), 200);
}

// A tile asked for a picture that is gone (renamed or deleted meanwhile) gets an empty,
// transparent picture rather than a failure QML would log as a page error.
TEST(Thumbnails, AMissingPictureGivesAnEmptyTile)
{
    QTemporaryDir dir;
    ThumbnailProvider provider;
    QSize size;
    const QImage shown = provider.requestImage(dir.filePath("gone.tif").mid(1), &size, QSize(120, 90));
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(size, shown.size());
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_TRUE(ThumbnailProvider::thumbnail(dir.filePath("gone.tif"), QSize(120, 90)).isNull());
}
