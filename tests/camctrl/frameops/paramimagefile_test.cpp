#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "paramimagefile.h"

namespace {

// Builds a file field by field so that each case shows exactly what it holds.
struct DataFile {
    QByteArray bytes;
    template <typename T>
    DataFile& put(T v)
    {
        bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
        return *this;
    }
    DataFile& header(int32_t rows, int32_t cols, int32_t type = CV_16UC1) { return put(rows).put(cols).put(type); }
    DataFile& pixels(int count, uint16_t first = 1)
    {
        for (int i = 0; i < count; ++i)
            put<uint16_t>(uint16_t(first + i));
        return *this;
    }
    DataFile& params(int32_t sharp, uint8_t sharpen, uint8_t stretch, int32_t low, int32_t high)
    {
        return put(sharp).put(sharpen).put(stretch).put(low).put(high);
    }
    DataFile& cut(int count)
    {
        bytes.chop(count);
        return *this;
    }
    QString save(const QTemporaryDir& dir, const char* name = "x.data") const
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }
};

struct Params { int sharp; bool sharpen; bool stretch; int low; int high; };

void expectParams(const ParamImage& got, const Params& want, const std::string& what)
{
    EXPECT_EQ(got.sharpLevel, want.sharp) << what;
    EXPECT_EQ(got.sharpen, want.sharpen) << what;
    EXPECT_EQ(got.stretch, want.stretch) << what;
    EXPECT_EQ(got.stretchLow, want.low) << what;
    EXPECT_EQ(got.stretchHigh, want.high) << what;
}

} // namespace

TEST(ParamImageFile, RoundTrip)
{
    QTemporaryDir dir;
    cv::Mat image(3, 5, CV_16UC1);
    cv::randu(image, 0, 65535);
    const QString path = dir.filePath("a.data");
    ASSERT_TRUE(writeDataFile(path, image, 40, true, false, 1200, 30000));
    EXPECT_EQ(QFile(path).size(), 26 + 30);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    const ParamImage got = readParamFile(path);
    ASSERT_FALSE(got.image.empty());
    EXPECT_EQ(cv::norm(got.image, image, cv::NORM_INF), 0);
    expectParams(got, {40, true, false, 1200, 30000}, "round trip");

    cv::Mat big(10, 10, CV_16UC1, cv::Scalar(5));
    const cv::Mat view = big(cv::Rect(2, 2, 4, 3)); // not continuous: written as its own rows
    ASSERT_TRUE(writeDataFile(path, view, 0, false, true, 0, 0));
    EXPECT_EQ(readParamFile(path).image.size(), cv::Size(4, 3));

    EXPECT_FALSE(writeDataFile(dir.filePath("missing/folder/b.data"), image, 0, false, true, 0, 0));
}

TEST(ParamImageFile, TrailingParameters)
{
    QTemporaryDir dir;
    struct Case { const char* what; DataFile file; Params want; };
    const Case cases[] = {
        {"pixels only", DataFile().header(2, 2).pixels(4), {0, false, true, 0, 0}},
        {"sharp 101 read as 0", DataFile().header(2, 2).pixels(4).params(101, 1, 1, 0, 3000), {0, true, true, 0, 3000}},
        {"sharp 100 kept", DataFile().header(2, 2).pixels(4).params(100, 0, 0, 10, 3000), {100, false, false, 10, 3000}},
        {"negative sharp kept", DataFile().header(2, 2).pixels(4).params(-5, 0, 1, 10, 3000), {-5, false, true, 10, 3000}},
        {"low 60000 high 65535", DataFile().header(2, 2).pixels(4).params(1, 0, 0, 60000, 65535), {1, false, false, 60000, 65535}},
        {"low 60001", DataFile().header(2, 2).pixels(4).params(1, 0, 0, 60001, 65535), {1, false, true, 0, 0}},
        {"high 2534", DataFile().header(2, 2).pixels(4).params(1, 0, 0, 0, 2534), {1, false, true, 0, 0}},
        {"high 65536", DataFile().header(2, 2).pixels(4).params(1, 0, 0, 0, 65536), {1, false, true, 0, 0}},
        {"high equal low", DataFile().header(2, 2).pixels(4).params(1, 0, 0, 3000, 3000), {1, false, true, 0, 0}},
        {"negative low", DataFile().header(2, 2).pixels(4).params(1, 0, 0, -1, 3000), {1, false, true, 0, 0}},
        {"cut inside high", DataFile().header(2, 2).pixels(4).params(7, 1, 0, 500, 3000).cut(2), {7, true, false, 500, 0}},
        {"cut inside low", DataFile().header(2, 2).pixels(4).params(7, 1, 0, 500, 3000).cut(6), {7, true, false, 0, 0}},
        {"cut after sharp level", DataFile().header(2, 2).pixels(4).params(7, 1, 0, 500, 3000).cut(10), {7, false, true, 0, 0}},
    };
    for (const Case& c : cases) {
        const ParamImage got = readParamFile(c.file.save(dir));
        ASSERT_EQ(got.image.size(), cv::Size(2, 2)) << c.what;
        EXPECT_EQ(got.image.at<uint16_t>(1, 1), 4) << c.what;
        expectParams(got, c.want, c.what);
    }
}

TEST(ParamImageFile, RefusedFiles)
{
    QTemporaryDir dir;
    struct Case { const char* what; DataFile file; };
    const Case cases[] = {
        {"rows 0", DataFile().header(0, 2).pixels(4)},
        {"cols negative", DataFile().header(2, -2).pixels(4)},
        {"type negative", DataFile().header(2, 2, -1).pixels(4)},
        {"type beyond 12 bits", DataFile().header(2, 2, 4096).pixels(4)},
        {"header cut", DataFile().header(2, 2).cut(3)},
        {"pixels cut", DataFile().header(2, 2).pixels(3)},
        {"absurd size", DataFile().header(1 << 30, 1 << 30).pixels(4)},
        {"more than 2 GiB claimed", DataFile().header(65536, 65536, CV_64FC4).pixels(4)},
        {"empty file", DataFile()},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(readParamFile(c.file.save(dir)).image.empty()) << c.what;
    EXPECT_TRUE(readParamFile(dir.filePath("absent.data")).image.empty());
}

TEST(ParamImageFile, OtherTypesKeepTheirElementSize)
{
    QTemporaryDir dir;
    DataFile f;
    f.header(1, 2, CV_8UC3).put<uint8_t>(1).put<uint8_t>(2).put<uint8_t>(3).put<uint8_t>(4).put<uint8_t>(5).put<uint8_t>(6);
    const ParamImage got = readParamFile(f.save(dir));
    ASSERT_EQ(got.image.type(), CV_8UC3);
    EXPECT_EQ(got.image.at<cv::Vec3b>(0, 1), cv::Vec3b(4, 5, 6));
}

TEST(ParamImageFile, RewriteReplacesTheFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("r.data");
    ASSERT_TRUE(writeDataFile(path, cv::Mat(40, 40, CV_16UC1, cv::Scalar(1)), 0, false, true, 0, 0));
    ASSERT_TRUE(writeDataFile(path, cv::Mat(2, 3, CV_16UC1, cv::Scalar(7)), 5, false, true, 0, 0));
    EXPECT_EQ(QFile(path).size(), 26 + 12); // no tail of the longer file survives
    EXPECT_EQ(readParamFile(path).sharpLevel, 5);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// A file whose length backs its header (sparse here) is still refused when the picture is larger
// than the largest sensor or than the writer would write; a full-sensor frame either way round reads.
TEST(ParamImageFile, SelfConsistentFilesPastTheLargestPictureAreRefused)
{
    QTemporaryDir dir;
    struct Case { const char* what; int32_t rows, cols, type; bool read; };
    const Case cases[] = {
        {"40000 x 40000", 40000, 40000, CV_16UC1, false},
        {"one column past the sensor", 3136, 4657, CV_16UC1, false},
        {"one row past the sensor, portrait", 4657, 3136, CV_16UC1, false},
        {"five channels", 2, 2, CV_16UC(5), false},
        {"full sensor", 3136, 4656, CV_16UC1, true},
        {"full sensor, portrait", 4656, 3136, CV_16UC1, true},
    };
    for (const Case& c : cases) {
        const QString path = DataFile().header(c.rows, c.cols, c.type).save(dir);
        QFile file(path);
        ASSERT_TRUE(file.resize(12 + qint64(c.rows) * c.cols * CV_ELEM_SIZE(c.type))) << c.what;
        const ParamImage got = readParamFile(path);
        EXPECT_EQ(got.image.empty(), !c.read) << c.what;
        QFile::remove(path);
    }
}
