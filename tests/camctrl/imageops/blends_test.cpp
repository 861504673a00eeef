// The byte blends: every table entry against its formula, the edge values of the screen blend,
// and pictures that cannot be blended.
#include <gtest/gtest.h>

#include "blends.h"

TEST(Blends, TablesHoldTheFormulasExactly)
{
    const uint8_t* screen = screenTable();
    const uint8_t* multiply = multiplyTable();
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const int s = a * b == 0 ? a + b : int((1 - (1 - b / 255.0) * (1 - a / 255.0)) * 255);
            ASSERT_EQ(screen[a * 256 + b], s) << a << " " << b;
            ASSERT_EQ(multiply[a * 256 + b], int((b / 255.0) * (a / 255.0) * 255)) << a << " " << b;
        }
    }
}

TEST(Blends, ScreenOfBlackIsTheOtherAndOfTwoMidGreysIsLighter)
{
    const struct {
        int a, b, want;
    } cases[] = {{0, 77, 77}, {200, 0, 200}, {128, 128, 191}, {255, 255, 255}};
    for (const auto& c : cases) {
        cv::Mat acc(1, 1, CV_8UC3, cv::Scalar::all(c.a));
        ASSERT_TRUE(screenBlend(acc, cv::Mat(1, 1, CV_8UC3, cv::Scalar::all(c.b))));
        EXPECT_EQ(acc.at<cv::Vec3b>(0)[1], c.want) << c.a << " " << c.b;
    }
}

TEST(Blends, PicturesOfOtherSizesOrTypesAreRefused)
{
    cv::Mat acc(2, 2, CV_8UC3, cv::Scalar(9, 9, 9));
    EXPECT_FALSE(screenBlend(acc, cv::Mat(2, 3, CV_8UC3, cv::Scalar::all(1))));
    EXPECT_FALSE(screenBlend(acc, cv::Mat(2, 2, CV_8UC1, cv::Scalar::all(1))));
    EXPECT_FALSE(multiplyBytes(acc, cv::Mat(2, 2, CV_16UC3)));
    EXPECT_FALSE(multiplyBytes(acc, cv::Mat()));
    EXPECT_EQ(acc.at<cv::Vec3b>(1, 1), cv::Vec3b(9, 9, 9));
}
