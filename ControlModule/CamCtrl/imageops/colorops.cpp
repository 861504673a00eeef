#include "colorops.h"

#include <array>

#include <QDebug>
#include <opencv2/imgproc.hpp>

#include "picturefiles.h"

cv::Mat readChannelPicture(const QString& path)
{
    const cv::Mat picture = readPicture(path, cv::IMREAD_UNCHANGED);
    if (picture.empty())
        return picture;
    if (picture.type() == CV_8UC3)
        return picture;
    // Colour pictures of another depth keep their colours; everything else is one grey channel.
    const cv::Mat again = readPicture(path, picture.channels() == 3 ? cv::IMREAD_COLOR : cv::IMREAD_GRAYSCALE);
    if (again.empty() || again.type() == CV_8UC3)
        return again;
    cv::Mat bgr;
    try {
        cv::cvtColor(again, bgr, cv::COLOR_GRAY2BGR);
    } catch (const cv::Exception& e) {
        qWarning() << "channel picture cannot be expanded" << path << e.what();
        return cv::Mat();
    }
    return bgr;
}

bool stainPicture(cv::Mat& bgr, const QColor& color)
{
    if (bgr.empty() || bgr.type() != CV_8UC3) {
        qWarning() << "staining needs an 8-bit colour picture; type" << bgr.type();
        return false;
    }
    // One entry per sum of the three bytes: the grey is that sum / 3.
    std::array<std::array<uint8_t, 766>, 3> table {};
    const int components[3] = {color.blue(), color.green(), color.red()};
    for (int c = 0; c < 3; ++c)
        for (int sum = 0; sum < 766; ++sum)
            table[size_t(c)][size_t(sum)] = uint8_t(sum / 3.0 * components[c] / 255);
    for (int y = 0; y < bgr.rows; ++y) {
        uint8_t* p = bgr.ptr<uint8_t>(y);
        for (int x = 0; x < bgr.cols; ++x, p += 3) {
            const int sum = p[0] + p[1] + p[2];
            p[0] = table[0][size_t(sum)];
            p[1] = table[1][size_t(sum)];
            p[2] = table[2][size_t(sum)];
        }
    }
    return true;
}

QString stainSuffix(Qt::GlobalColor color)
{
    switch (color) {
    case Qt::red: return QStringLiteral("_SRed");
    case Qt::green: return QStringLiteral("_SGreen");
    case Qt::blue: return QStringLiteral("_SBlue");
    default: return QString();
    }
}

cv::Mat dyeTable(const QColor& color)
{
    cv::Mat table(256, 1, CV_8UC3);
    const int components[3] = {color.blue(), color.green(), color.red()};
    for (int i = 0; i < 256; ++i) {
        cv::Vec3b& entry = table.at<cv::Vec3b>(i);
        for (int c = 0; c < 3; ++c)
            entry[c] = uint8_t(components[c] + (255 - components[c]) * i / 256);
    }
    return table;
}

bool dyePicture(cv::Mat& bgr, const QColor& color)
{
    if (bgr.empty() || bgr.type() != CV_8UC3) {
        qWarning() << "dye needs an 8-bit colour picture; type" << bgr.type();
        return false;
    }
    try {
        cv::Mat dyed;
        cv::applyColorMap(bgr, dyed, dyeTable(color));
        bgr = dyed;
    } catch (const cv::Exception& e) {
        qWarning() << "dye colour map failed" << e.what();
        return false;
    }
    return true;
}
