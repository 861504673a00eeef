#include "imageexport.h"

#include "atomicfile.h"
#include "imagesaver.h"
#include "picturefiles.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QtEndian>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstring>
#include <iterator>
#include <vector>

namespace {

void drawLines(QImage& canvas, const WatermarkLines& lines)
{
    QPainter painter(&canvas);
    if (!painter.isActive()) {
        qWarning() << "overlay not drawn: no painter on the picture" << canvas.format();
        return;
    }
    painter.setPen(QColor(Qt::blue));
    QFont font(QStringLiteral("微软雅黑"));
    font.setPointSize(20);
    painter.setFont(font);
    const int height = canvas.height();
    const QString* texts[] = {&lines.first, &lines.second, &lines.third};
    const int offsets[] = {120, 80, 40};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i]->isEmpty())
            painter.drawText(10, height - offsets[i], *texts[i]);
    }
}

bool isTiffName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("tif") || suffix == QLatin1String("tiff");
}

} // namespace

ExportFilter dialogFilter(int index)
{
    static const ExportFilter filters[] = {
        {ExportFormat::Tiff, 1200, true, false}, {ExportFormat::Tiff, 600, false, false},
        {ExportFormat::Tiff, 300, false, false}, {ExportFormat::Bmp, 0, false, false},
        {ExportFormat::Jpg, 0, false, false},    {ExportFormat::Png, 0, false, false},
        {ExportFormat::Tiff, 1200, true, true},  {ExportFormat::Tiff, 600, false, true},
        {ExportFormat::Tiff, 300, false, true},  {ExportFormat::Bmp, 0, false, true},
        {ExportFormat::Jpg, 0, false, true},     {ExportFormat::Png, 0, false, true},
    };
    if (index < 0 || index >= int(std::size(filters)))
        return {};
    return filters[index];
}

ExportFilter libraryFilter(int index)
{
    static const ExportFilter filters[] = {
        {ExportFormat::Tiff, 600, false, false}, {ExportFormat::Tiff, 300, false, false},
        {ExportFormat::Bmp, 0, false, false},    {ExportFormat::Jpg, 0, false, false},
        {ExportFormat::Png, 0, false, false},
    };
    if (index < 0 || index >= int(std::size(filters)))
        return {};
    return filters[index];
}

const char* imageFormatName(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Bmp:
        return "BMP";
    case ExportFormat::Jpg:
        return "JPG";
    default:
        return "PNG";
    }
}

void drawWatermarkGrey(cv::Mat& image, const WatermarkLines& lines)
{
    QImage::Format format = QImage::Format_Invalid;
    if (image.type() == CV_16UC1)
        format = QImage::Format_Grayscale16;
    else if (image.type() == CV_8UC1)
        format = QImage::Format_Grayscale8;
    if (format == QImage::Format_Invalid || image.empty()) {
        qWarning() << "grey overlay refused for picture type" << image.type();
        return;
    }
    // The painter writes straight into the picture's pixels.
    QImage canvas(image.data, image.cols, image.rows, int(image.step), format);
    drawLines(canvas, lines);
}

void drawWatermarkColour(cv::Mat& image, const WatermarkLines& lines)
{
    if (image.empty())
        return;
    try {
        if (image.channels() != 3) {
            cv::Mat eight;
            image.convertTo(eight, CV_8U, 0.00390625);
            cv::Mat bgr;
            cv::cvtColor(eight, bgr, eight.channels() == 4 ? cv::COLOR_BGRA2BGR : cv::COLOR_GRAY2BGR);
            image = bgr;
        } else if (image.depth() != CV_8U) {
            cv::Mat eight;
            image.convertTo(eight, CV_8U, 0.00390625);
            image = eight;
        }
    } catch (const cv::Exception& e) {
        qWarning() << "colour overlay refused" << e.what();
        return;
    }
    QImage canvas(image.data, image.cols, image.rows, int(image.step), QImage::Format_BGR888);
    drawLines(canvas, lines);
}

cv::Mat highByteBgr(const cv::Mat& grey)
{
    cv::Mat eight;
    if (grey.type() == CV_16UC1)
        grey.convertTo(eight, CV_8U, 1.0 / 256.0);
    else if (grey.type() == CV_8UC1)
        eight = grey;
    else if (grey.type() == CV_8UC3)
        return grey;
    else
        return cv::Mat();
    // convertTo rounds; the high byte is the value shifted, so truncate instead.
    if (grey.type() == CV_16UC1) {
        for (int y = 0; y < grey.rows; ++y) {
            const uint16_t* in = grey.ptr<uint16_t>(y);
            uint8_t* out = eight.ptr<uint8_t>(y);
            for (int x = 0; x < grey.cols; ++x)
                out[x] = uint8_t(in[x] >> 8);
        }
    }
    cv::Mat bgr;
    cv::cvtColor(eight, bgr, cv::COLOR_GRAY2BGR);
    return bgr;
}

cv::Mat enlargedTwice(const cv::Mat& image)
{
    cv::Mat bigger;
    cv::resize(image, bigger, cv::Size(), 2.0, 2.0, cv::INTER_LINEAR);
    return bigger;
}

bool writeByExtension(const QString& path, const cv::Mat& image, int dpi)
{
    if (path.isEmpty() || image.empty())
        return false;
    if (isTiffName(path))
        return writeTiffAt(path, image, dpi);
    return encodePicture(path, image, {});
}

bool exportGreyFrame(cv::Mat frame, const QString& path, int index, const WatermarkLines& lines)
{
    const ExportFilter filter = dialogFilter(index);
    if (filter.format == ExportFormat::None || path.isEmpty() || frame.empty())
        return false;
    try {
        if (filter.format == ExportFormat::Tiff) {
            if (filter.overlay)
                drawWatermarkGrey(frame, lines);
            if (filter.enlarge)
                frame = enlargedTwice(frame);
            return writeByExtension(path, frame, filter.dpi);
        }
        cv::Mat bgr = highByteBgr(frame);
        if (filter.overlay)
            drawWatermarkColour(bgr, lines);
        return writePictureAs(path, bgr, imageFormatName(filter.format));
    } catch (const cv::Exception& e) {
        qWarning() << "export failed" << path << e.what();
        return false;
    }
}

bool exportColourPicture(cv::Mat picture, const QString& path, int index, const WatermarkLines& lines,
                         bool eightBitByCodec)
{
    const ExportFilter filter = dialogFilter(index);
    if (filter.format == ExportFormat::None || path.isEmpty() || picture.empty())
        return false;
    try {
        if (filter.overlay)
            drawWatermarkColour(picture, lines);
        if (filter.format == ExportFormat::Tiff) {
            if (filter.enlarge)
                picture = enlargedTwice(picture);
            return writeByExtension(path, picture, filter.dpi);
        }
        if (eightBitByCodec)
            return writeByExtension(path, picture, 0);
        return writePictureAs(path, picture, imageFormatName(filter.format));
    } catch (const cv::Exception& e) {
        qWarning() << "export failed" << path << e.what();
        return false;
    }
}

bool exportStoredPicture(const QString& source, const QString& path, int index)
{
    const ExportFilter filter = libraryFilter(index);
    if (filter.format == ExportFormat::None || path.isEmpty())
        return false;
    const cv::Mat picture = readPicture(source);
    if (picture.empty())
        return false;
    try {
        if (filter.format == ExportFormat::Tiff)
            return writeByExtension(path, picture, filter.dpi);
        const cv::Mat bgr = highByteBgr(picture);
        if (bgr.empty()) {
            qWarning() << "export refused for picture type" << picture.type() << source;
            return false;
        }
        return writePictureAs(path, bgr, imageFormatName(filter.format));
    } catch (const cv::Exception& e) {
        qWarning() << "export failed" << path << e.what();
        return false;
    }
}

bool isPlainTiffAt(const QString& file, int dpi)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    char head[8];
    if (in.read(head, 8) != 8)
        return false;
    const bool little = head[0] == 'I' && head[1] == 'I';
    if (!little && !(head[0] == 'M' && head[1] == 'M'))
        return false;
    auto u16 = [little](const char* p) {
        return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    };
    auto u32 = [little](const char* p) {
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    if (u16(head + 2) != 42)
        return false;
    if (!in.seek(u32(head + 4)))
        return false;
    char countBytes[2];
    if (in.read(countBytes, 2) != 2)
        return false;
    const int count = u16(countBytes);
    if (count <= 0 || count > 512)
        return false;
    const QByteArray entries = in.read(qint64(count) * 12);
    if (entries.size() != count * 12)
        return false;
    auto rationalAt = [&](quint32 offset, double& value) {
        char pair[8];
        if (!in.seek(offset) || in.read(pair, 8) != 8 || u32(pair + 4) == 0)
            return false;
        value = double(u32(pair)) / double(u32(pair + 4));
        return true;
    };
    int compression = 1; // the default when the tag is absent
    int unit = 2;
    double x = -1, y = -1;
    for (int i = 0; i < count; ++i) {
        const char* e = entries.constData() + i * 12;
        const quint16 tag = u16(e);
        const quint16 type = u16(e + 2);
        if ((tag == 259 || tag == 296) && type == 3) {
            (tag == 259 ? compression : unit) = u16(e + 8);
        } else if ((tag == 282 || tag == 283) && type == 5) {
            if (!rationalAt(u32(e + 8), tag == 282 ? x : y))
                return false;
        }
    }
    return compression == 1 && unit == 2 && x == dpi && y == dpi;
}
