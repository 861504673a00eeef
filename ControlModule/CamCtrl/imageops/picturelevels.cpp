#include "picturelevels.h"

#include <array>

#include <QDebug>

#include "displayimage.h"

FrameView greyView(const cv::Mat& picture, cv::Mat& holder)
{
    if (picture.empty())
        return {};
    if (picture.type() == CV_16UC1) {
        if (picture.isContinuous())
            return {const_cast<uint16_t*>(picture.ptr<uint16_t>()), picture.cols, picture.rows};
        holder = picture.clone();
        return FrameView::of(holder);
    }
    if (picture.type() == CV_8UC1) {
        picture.convertTo(holder, CV_16U, 257.0);
        return FrameView::of(holder);
    }
    return {};
}

bool stretchPicture(const cv::Mat& source, int low, int high, cv::Mat& out)
{
    if (source.empty()) {
        out = cv::Mat();
        return false;
    }
    if (source.type() == CV_16UC1) {
        out = source.clone();
        stretchLevels(FrameView::of(out), low, high);
        return true;
    }
    if (source.type() == CV_8UC1) {
        std::array<uint16_t, 256> levels {};
        for (int v = 0; v < 256; ++v)
            levels[size_t(v)] = uint16_t(v * 257);
        stretchLevels({levels.data(), 256, 1}, low, high);
        cv::Mat table(1, 256, CV_8UC1);
        for (int v = 0; v < 256; ++v)
            table.at<uint8_t>(v) = displayLevel(levels[size_t(v)]);
        cv::LUT(source, table, out);
        return true;
    }
    out = source.clone();
    if (!source.empty())
        qWarning() << "grey-level stretch needs a grey picture; type" << source.type();
    return false;
}

bool pictureHistogram(const cv::Mat& picture, HistogramInfo& info)
{
    cv::Mat holder;
    const FrameView view = greyView(picture, holder);
    if (view.empty()) {
        qWarning() << "histogram needs a grey picture; type" << picture.type() << "empty" << picture.empty();
        return false;
    }
    computeLogHistogram(view, info);
    return true;
}

bool pictureDisplayLevels(const cv::Mat& picture, double percent, HistogramInfo& info)
{
    cv::Mat holder;
    const FrameView view = greyView(picture, holder);
    if (view.empty()) {
        qWarning() << "histogram needs a grey picture; type" << picture.type() << "empty" << picture.empty();
        return false;
    }
    computeDisplayLevels(view, percent, info);
    return true;
}
