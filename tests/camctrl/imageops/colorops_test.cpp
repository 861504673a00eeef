// Staining, the dye colour map and the channel pictures of the fluorescence merge.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <opencv2/imgcodecs.hpp>

#include "colorops.h"
#include "picturefiles.h"

TEST(ColorOps, StainingScalesTheGreyByTheColour)
{
    const struct {
        const char* name;
        int grey;
        QColor color;
        cv::Vec3b want;
        QString suffix;
    } cases[] = {
        {"white with green", 255, QColor(Qt::green), {0, 255, 0}, "_SGreen"},
        {"mid grey with red", 128, QColor(Qt::red), {0, 0, 128}, "_SRed"},
        {"mid grey with blue", 100, QColor(Qt::blue), {100, 0, 0}, "_SBlue"},
        {"yellow: no suffix", 200, QColor(Qt::yellow), {0, 200, 200}, ""},
    };
    const Qt::GlobalColor colors[] = {Qt::green, Qt::red, Qt::blue, Qt::yellow};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        cv::Mat picture(2, 2, CV_8UC3, cv::Scalar::all(c.grey));
        ASSERT_TRUE(stainPicture(picture, c.color)) << c.name;
        EXPECT_EQ(picture.at<cv::Vec3b>(1, 1), c.want) << c.name;
        EXPECT_EQ(stainSuffix(colors[i]), c.suffix) << c.name;
    }
    // The grey is the mean of the three bytes: (30 + 60 + 90) / 3 = 60, by half red = 30.
    cv::Mat mixed(1, 1, CV_8UC3, cv::Scalar(30, 60, 90));
    stainPicture(mixed, QColor(128, 0, 0));
    EXPECT_EQ(mixed.at<cv::Vec3b>(0), cv::Vec3b(0, 0, 30));
    cv::Mat grey(1, 1, CV_8UC1);
    EXPECT_FALSE(stainPicture(grey, QColor(Qt::red)));
}

TEST(ColorOps, DyeLightensTheChosenColourTowardsWhite)
{
    const QColor chosen(255, 118, 0); // R, G, B
    const cv::Mat table = dyeTable(chosen);
    ASSERT_EQ(table.total(), 256u);
    EXPECT_EQ(table.at<cv::Vec3b>(0), cv::Vec3b(0, 118, 255));
    EXPECT_EQ(table.at<cv::Vec3b>(128), cv::Vec3b(127, 186, 255));
    EXPECT_EQ(table.at<cv::Vec3b>(255), cv::Vec3b(254, 254, 255));

    cv::Mat picture(1, 2, CV_8UC3);
    picture.at<cv::Vec3b>(0) = cv::Vec3b(0, 0, 0);
    picture.at<cv::Vec3b>(1) = cv::Vec3b(128, 128, 128);
    ASSERT_TRUE(dyePicture(picture, chosen));
    EXPECT_EQ(picture.at<cv::Vec3b>(0), cv::Vec3b(0, 118, 255));
    EXPECT_EQ(picture.at<cv::Vec3b>(1), cv::Vec3b(127, 186, 255));
    cv::Mat sixteen(1, 1, CV_16UC3);
    EXPECT_FALSE(dyePicture(sixteen, chosen));
}

TEST(ColorOps, ChannelPicturesBecomeEightBitColour)
{
    QTemporaryDir dir;
    const QString grey16 = dir.filePath("grey16.tif");
    const QString colour = dir.filePath("colour.tif");
    cv::imwrite(grey16.toStdString(), cv::Mat(3, 4, CV_16UC1, cv::Scalar(0x8040)));
    cv::imwrite(colour.toStdString(), cv::Mat(3, 4, CV_8UC3, cv::Scalar(1, 2, 3)));

    const cv::Mat a = readChannelPicture(grey16);
    ASSERT_EQ(a.type(), CV_8UC3);
    EXPECT_EQ(a.at<cv::Vec3b>(2, 3), cv::Vec3b(0x80, 0x80, 0x80));
    const cv::Mat b = readChannelPicture(colour);
    ASSERT_EQ(b.type(), CV_8UC3);
    EXPECT_EQ(b.at<cv::Vec3b>(0, 0), cv::Vec3b(1, 2, 3));
    EXPECT_TRUE(readChannelPicture(dir.filePath("missing.tif")).empty());
}
