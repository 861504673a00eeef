#include "displayimage.h"

#include <algorithm>
#include <array>

#include <QDebug>
#include <opencv2/imgproc.hpp>

namespace {

const std::array<uint8_t, 65536>& levelTable()
{
    static const std::array<uint8_t, 65536> table = [] {
        std::array<uint8_t, 65536> t {};
        for (int v = 0; v < 65536; ++v)
            t[size_t(v)] = displayLevel(uint16_t(v));
        return t;
    }();
    return table;
}

void toLevels(const cv::Mat& grey16, uint8_t* out, int outStride)
{
    const uint8_t* t = levelTable().data();
    for (int y = 0; y < grey16.rows; ++y) {
        const uint16_t* src = grey16.ptr<uint16_t>(y);
        uint8_t* dst = out + size_t(y) * size_t(outStride);
        for (int x = 0; x < grey16.cols; ++x)
            dst[x] = t[src[x]];
    }
}

} // namespace

bool isDisplayable(const cv::Mat& picture)
{
    if (picture.empty())
        return false;
    switch (picture.type()) {
    case CV_16UC1:
    case CV_8UC1:
    case CV_8UC3:
    case CV_8UC4:
        return true;
    default:
        return false;
    }
}

cv::Mat scalePicture(const cv::Mat& picture, cv::Size target)
{
    if (!isDisplayable(picture) || target.width <= 0 || target.height <= 0)
        return cv::Mat();
    if (target == picture.size())
        return picture;
    const bool shrinks = target.width <= picture.cols && target.height <= picture.rows;
    cv::Mat out;
    try {
        cv::resize(picture, out, target, 0, 0, shrinks ? cv::INTER_AREA : cv::INTER_LINEAR);
    } catch (const cv::Exception& e) {
        qWarning() << "picture cannot be scaled" << picture.cols << picture.rows << target.width << target.height
                   << e.what();
        return cv::Mat();
    }
    return out;
}

QImage displayImage(const cv::Mat& picture)
{
    if (!isDisplayable(picture)) {
        qWarning() << "Error: Unsupport image format" << picture.type();
        return QImage();
    }
    const int type = picture.type();
    const bool grey = type == CV_16UC1 || type == CV_8UC1;
    QImage image(picture.cols, picture.rows, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (image.isNull()) {
        qWarning() << "no memory for a picture of" << picture.cols << picture.rows;
        return image;
    }
    cv::Mat target(picture.rows, picture.cols, grey ? CV_8UC1 : CV_8UC4, image.bits(), size_t(image.bytesPerLine()));
    switch (type) {
    case CV_16UC1:
        toLevels(picture, image.bits(), image.bytesPerLine());
        break;
    case CV_8UC1:
        picture.copyTo(target);
        break;
    case CV_8UC3:
        // RGB32 is B, G, R, 0xff in memory: the BGR bytes with an opaque fourth.
        cv::cvtColor(picture, target, cv::COLOR_BGR2BGRA);
        break;
    case CV_8UC4:
        picture.copyTo(target);
        target.reshape(1, target.rows * target.cols).col(3).setTo(255);
        break;
    }
    return image;
}

QImage renderPicture(const cv::Mat& picture, QSize target)
{
    if (!isDisplayable(picture) || target.isEmpty()) {
        if (!picture.empty() && !isDisplayable(picture))
            qWarning() << "Error: Unsupport image format" << picture.type();
        return QImage();
    }
    return displayImage(scalePicture(picture, cv::Size(target.width(), target.height())));
}

cv::Mat overlayCanvas(const cv::Mat& picture)
{
    cv::Mat canvas;
    if (!isDisplayable(picture))
        return canvas;
    const QImage shown = displayImage(picture);
    if (shown.isNull())
        return canvas;
    canvas.create(picture.rows, picture.cols, CV_8UC4);
    if (shown.format() == QImage::Format_Grayscale8) {
        const cv::Mat grey(shown.height(), shown.width(), CV_8UC1, const_cast<uchar*>(shown.constBits()),
                           size_t(shown.bytesPerLine()));
        cv::cvtColor(grey, canvas, cv::COLOR_GRAY2BGRA);
    } else {
        const cv::Mat bgra(shown.height(), shown.width(), CV_8UC4, const_cast<uchar*>(shown.constBits()),
                           size_t(shown.bytesPerLine()));
        bgra.copyTo(canvas);
    }
    return canvas;
}

QImage canvasImage(cv::Mat& canvas)
{
    if (canvas.empty() || canvas.type() != CV_8UC4)
        return QImage();
    return QImage(canvas.data, canvas.cols, canvas.rows, int(canvas.step), QImage::Format_RGB32);
}

PictureFit fitPicture(QSize picture, QSize box, double scale, bool adapt, bool origin)
{
    PictureFit fit;
    fit.scale = scale;
    if (picture.isEmpty())
        return fit;
    const double w = picture.width(), h = picture.height();
    const double fitted = std::min(box.height() / h, box.width() / w);
    if (adapt)
        fit.scale = fitted;
    if (origin)
        fit.scale = (box.width() > picture.width() && box.height() > picture.height()) ? 1.0 : fitted;
    const QSize target(int(w * fit.scale), int(h * fit.scale));
    fit.shown = picture.scaled(target, Qt::KeepAspectRatio);
    if (box.width() >= fit.shown.width() && box.height() >= fit.shown.height()) {
        fit.itemSize = box;
        fit.topLeft = QPoint((box.width() - fit.shown.width()) / 2, (box.height() - fit.shown.height()) / 2);
    } else {
        fit.itemSize = fit.shown;
    }
    return fit;
}

PictureFit fitIntoBox(QSize picture, QSize box)
{
    PictureFit fit;
    if (picture.isEmpty())
        return fit;
    const bool fits = box.height() > picture.height() && box.width() > picture.width();
    fit.shown = fits ? picture : picture.scaled(box, Qt::KeepAspectRatio);
    fit.scale = double(fit.shown.width()) / picture.width();
    fit.itemSize = fit.shown;
    return fit;
}
