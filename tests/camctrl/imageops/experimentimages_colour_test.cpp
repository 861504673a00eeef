// Pseudo-colour images of both cameras, the pseudo merge, the fluorescence merge of two to five
// channels, staining and the gel dye: exact pixels, names and folders, and the refusals.
#include "imagesfixture.h"

#include <opencv2/imgproc.hpp>

namespace {

cv::Vec3b bgr(int b, int g, int r)
{
    return cv::Vec3b(uint8_t(b), uint8_t(g), uint8_t(r));
}

int screen(int a, int b)
{
    return a * b == 0 ? a + b : int((1 - (1 - b / 255.0) * (1 - a / 255.0)) * 255);
}

// 1500 x 100 (colour bar from x 1425, labels from x 1357): the left half dark, the right half at
// 240 of 255.
cv::Mat halves(int left, int right)
{
    cv::Mat m(100, 1500, CV_16UC1, cv::Scalar(right));
    m.colRange(0, 750).setTo(left);
    return m;
}

} // namespace

TEST_F(ImagesFixture, TucsenPseudoColourFollowsTheBackground)
{
    const struct {
        const char* name;
        UserOpts::BkColorType background;
        cv::Vec3b left, right;
        cv::Vec3b tick;
        const char* splitLine;
    } cases[] = {
        // Decision 0 | 240, mean 120: s 20, k 12; 0 is red, 240 stays grey.
        {"white background", UserOpts::White, bgr(0, 0, 255), bgr(240, 240, 240), bgr(0, 0, 0), "splitValue: 20 ratio: 12"},
        // Inverted: 255 | 16, mean 135.5: s 22, k 11; 255 grey (of the plain copy: 0), 16 red to orange.
        {"black background", UserOpts::Black, bgr(0, 0, 0), bgr(0, 176, 255), bgr(255, 255, 255), "splitValue: 22 ratio: 11"},
    };
    for (const auto& c : cases) {
        tsFrames.clearFrameList();
        addTsFrame(halves(0, 240 * 256));
        setBackground(c.background);
        log.clear();
        const QString path = images.pseudoColorTS(&wb, 0);
        ASSERT_EQ(path, expPath(wb, "_Pseudo")) << c.name;
        const cv::Mat out = read(path);
        ASSERT_EQ(out.type(), CV_8UC3);
        EXPECT_EQ(out.at<cv::Vec3b>(50, 100), c.left) << c.name;
        EXPECT_EQ(out.at<cv::Vec3b>(50, 1000), c.right) << c.name;
        EXPECT_EQ(out.at<cv::Vec3b>(10, 1425), bgr(0, 0, 255)) << "bar top";
        EXPECT_EQ(out.at<cv::Vec3b>(10 + 13, 1460), c.tick) << c.name;
        EXPECT_TRUE(log.contains(c.splitLine)) << c.name;
        EXPECT_EQ(cv::norm(out, read(copyPath(wb, "_Pseudo")), cv::NORM_INF), 0);
    }
    EXPECT_EQ(tsFrames.frameCount(), 1) << "pseudo colour is a file, not a frame";
}

TEST_F(ImagesFixture, TucsenPseudoColourStretchesToTheFramesRange)
{
    // 0 | 1000 with the range 0..1000 becomes 0 | 65535: decision 0 | 255, mean 127.5, s 21.
    addTsFrame(halves(0, 1000), 0, 1000);
    const cv::Mat out = read(images.pseudoColorTS(&wb, 0));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.at<cv::Vec3b>(50, 100), bgr(0, 0, 255));
    EXPECT_EQ(out.at<cv::Vec3b>(50, 1000), bgr(255, 255, 255));
}

TEST_F(ImagesFixture, KestrixPseudoColourLiesOverTheMarker)
{
    addQiFrame(grey16(100, 1500, 100 * 256));
    addQiFrame(halves(0, 240 * 256));
    const QString path = images.pseudoColorQI(&wb, 1);
    ASSERT_EQ(path, expPath(wb, "_Pseudo"));
    const cv::Mat out = read(path);
    EXPECT_EQ(out.at<cv::Vec3b>(50, 100), bgr(100, 100, 255));
    const int right = screen(100, 240);
    EXPECT_EQ(out.at<cv::Vec3b>(50, 1000), bgr(right, right, right));
    EXPECT_EQ(out.at<cv::Vec3b>(10, 1460), bgr(right, right, right)) << "no ticks";
    // A marker frame of another size cannot carry the picture.
    qi->clearFrames();
    addQiFrame(grey16(10, 10, 100));
    addQiFrame(halves(0, 240 * 256));
    EXPECT_EQ(images.pseudoColorQI(&wb, 1), "");
    EXPECT_EQ(images.pseudoColorQI(&wb, 5), "");
    EXPECT_EQ(images.pseudoColorQI(nullptr, 1), "");
    EXPECT_EQ(images.pseudoColorTS(nullptr, 0), "");
}

TEST_F(ImagesFixture, PseudoMergePastesTheColouredPixels)
{
    cv::Mat pseudo(100, 1500, CV_8UC3, cv::Scalar(90, 90, 90));
    pseudo.at<cv::Vec3b>(20, 30) = bgr(0, 0, 255);
    const QString pseudoFile = wb.imageSavePath + "07-00-00-000_Pseudo.tif";
    const QString baseFile = wb.imageSavePath + "07-00-00-001.tif";
    cv::imwrite(pseudoFile.toStdString(), pseudo);
    cv::imwrite(baseFile.toStdString(), cv::Mat(100, 1500, CV_16UC1, cv::Scalar(50 * 256)));

    const QString path = images.pseudoMerge(&wb, {"file://" + baseFile, pseudoFile});
    EXPECT_EQ(path, expPath(wb, "_Pseudo"));
    const cv::Mat out = read(path);
    EXPECT_EQ(out.at<cv::Vec3b>(20, 30), bgr(0, 0, 255));
    EXPECT_EQ(out.at<cv::Vec3b>(20, 31), bgr(50, 50, 50));
    // Last row of the bar (12/13 of the way from blue): magenta end.
    EXPECT_EQ(out.at<cv::Vec3b>(10 + 6 * 13, 1425), bgr(255, 0, 235));
    EXPECT_EQ(out.at<cv::Vec3b>(10, 1460), bgr(255, 255, 255)) << "white ticks on a dark picture";
    // The user's copy is named as a merge.
    EXPECT_TRUE(QFileInfo::exists(copyPath(wb, "_Merge")));
    EXPECT_FALSE(QFileInfo::exists(copyPath(wb, "_Pseudo")));
    EXPECT_TRUE(log.contains("imageName: "));
}

TEST_F(ImagesFixture, PseudoMergeNeedsOnePseudoAndOneOtherPictureOfItsSize)
{
    const QString a = wb.imageSavePath + "a.tif", b = wb.imageSavePath + "b.tif";
    const QString small = wb.imageSavePath + "c_Pseudo.tif";
    cv::imwrite(a.toStdString(), cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(1)));
    cv::imwrite(b.toStdString(), cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(1)));
    cv::imwrite(small.toStdString(), cv::Mat(3, 4, CV_8UC3, cv::Scalar::all(1)));
    const struct {
        const char* name;
        QVariantList list;
    } cases[] = {
        {"two plain pictures", {a, b}},
        {"sizes differ", {a, small}},
        {"a missing file", {a, wb.imageSavePath + "none_Pseudo.tif"}},
        {"three entries", {a, b, small}},
    };
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(images.pseudoMerge(&wb, c.list), "") << c.name;
    }
    EXPECT_TRUE(log.contains("大小不一致") || log.contains("pseudo merge needs two images"));
    log.clear();
    images.pseudoMerge(&wb, {a, b});
    EXPECT_TRUE(log.contains("大小不一致"));
    EXPECT_FALSE(QFileInfo::exists(expPath(wb, "_Pseudo")));
}

TEST_F(ImagesFixture, FluorescenceMergeScreensTwoToFiveChannels)
{
    const QString files[] = {mult.imageSavePath + "c1.tif", mult.imageSavePath + "c2.tif", mult.imageSavePath + "c3.tif",
                             mult.imageSavePath + "c4.tif", mult.imageSavePath + "c5.tif"};
    // A 16-bit grey channel at 128 (read again as 8 bits), a colour one, and three 8-bit greys.
    cv::imwrite(files[0].toStdString(), cv::Mat(3, 4, CV_16UC1, cv::Scalar(128 * 256)));
    cv::imwrite(files[1].toStdString(), cv::Mat(3, 4, CV_8UC3, cv::Scalar(0, 0, 200)));
    cv::imwrite(files[2].toStdString(), cv::Mat(3, 4, CV_8UC1, cv::Scalar(10)));
    cv::imwrite(files[3].toStdString(), cv::Mat(3, 4, CV_8UC1, cv::Scalar(0)));
    cv::imwrite(files[4].toStdString(), cv::Mat(3, 4, CV_8UC1, cv::Scalar(20)));
    const int two[3] = {screen(128, 0), screen(128, 0), screen(128, 200)};
    const struct {
        int count;
        cv::Vec3b want;
    } cases[] = {
        {2, bgr(two[0], two[1], two[2])},
        {5, bgr(screen(screen(two[0], 10), 20), screen(screen(two[1], 10), 20), screen(screen(two[2], 10), 20))},
    };
    for (const auto& c : cases) {
        QVariantList list;
        for (int i = 0; i < c.count; ++i)
            list << files[i];
        const QString path = images.multMerge(&mult, list);
        ASSERT_EQ(path, expPath(mult, "_Merge")) << c.count;
        EXPECT_EQ(read(path).at<cv::Vec3b>(2, 3), c.want) << c.count;
        EXPECT_TRUE(QFileInfo::exists(copyPath(mult, "_Merge")));
    }
    const QString other = mult.imageSavePath + "other.tif";
    cv::imwrite(other.toStdString(), cv::Mat(4, 4, CV_8UC1, cv::Scalar(1)));
    EXPECT_EQ(images.multMerge(&mult, {files[0], other}), "") << "sizes differ";
    EXPECT_EQ(images.multMerge(&mult, {files[0]}), "") << "one channel";
    EXPECT_EQ(images.multMerge(&mult, {files[0], files[1], files[2], files[3], files[4], files[0]}), "");
    EXPECT_EQ(images.multMerge(&mult, {files[0], mult.imageSavePath + "none.tif"}), "");
    EXPECT_EQ(images.multMerge(nullptr, {files[0], files[1]}), "");
}

TEST_F(ImagesFixture, StainingNamesTheFileByTheColour)
{
    const QString file = mult.imageSavePath + "grey.tif";
    cv::imwrite(file.toStdString(), cv::Mat(2, 2, CV_16UC1, cv::Scalar(200 * 256)));
    const struct {
        Qt::GlobalColor color;
        const char* suffix;
        cv::Vec3b want;
    } cases[] = {
        {Qt::red, "_SRed", bgr(0, 0, 200)},
        {Qt::green, "_SGreen", bgr(0, 200, 0)},
        {Qt::blue, "_SBlue", bgr(200, 0, 0)},
        {Qt::yellow, "", bgr(0, 200, 200)},
    };
    for (const auto& c : cases) {
        const QString path = images.staining(&mult, c.color, file);
        ASSERT_EQ(path, expPath(mult, c.suffix)) << c.suffix;
        EXPECT_EQ(read(path).at<cv::Vec3b>(1, 1), c.want) << c.suffix;
        EXPECT_TRUE(QFileInfo::exists(copyPath(mult, c.suffix)));
    }
    EXPECT_EQ(images.staining(nullptr, Qt::red, file), "");
    EXPECT_EQ(images.staining(&mult, Qt::red, mult.imageSavePath + "none.tif"), "");
}

TEST_F(ImagesFixture, DyeUsesTheChosenColourAndACancelWritesNothing)
{
    const QString file = gel.imageSavePath + "gel.tif";
    cv::Mat picture(2, 2, CV_8UC3, cv::Scalar(0, 0, 0));
    picture.at<cv::Vec3b>(1, 1) = bgr(128, 128, 128);
    cv::imwrite(file.toStdString(), picture);
    QColor offered;
    QString title;
    images.setColorChooser([&](const QColor& initial, const QString& t) {
        offered = initial;
        title = t;
        return QColor(255, 118, 0);
    });
    const QString path = images.dyeBlue(&gel, "file://" + file);
    ASSERT_EQ(path, expPath(gel, "_color"));
    EXPECT_EQ(offered, QColor(0, 118, 255));
    EXPECT_EQ(title, "Select Color");
    const cv::Mat out = read(path);
    EXPECT_EQ(out.at<cv::Vec3b>(0, 0), bgr(0, 118, 255));
    EXPECT_EQ(out.at<cv::Vec3b>(1, 1), bgr(127, 186, 255));
    EXPECT_TRUE(QFileInfo::exists(copyPath(gel, "_color")));
    EXPECT_TRUE(log.contains("imagePath: "));

    QFile::remove(path);
    images.setColorChooser([](const QColor&, const QString&) { return QColor(); });
    EXPECT_EQ(images.dyeBlue(&gel, file), "");
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(images.dyeBlue(&gel, gel.imageSavePath + "none.tif"), "");
    EXPECT_TRUE(log.contains("染蓝图片类型不为CV_8UC3"));
}
