#include "exporttestutil.h"

#include <QFile>
#include <opencv2/imgcodecs.hpp>
#include <tiffio.h>

TiffTags readTiffTags(const QString& path)
{
    TiffTags tags;
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return tags;
    uint32_t w = 0, h = 0;
    uint16_t samples = 0, bits = 0, unit = 0, compression = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &tags.xdpi);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &tags.ydpi);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFClose(tif);
    tags.ok = true;
    tags.width = int(w);
    tags.height = int(h);
    tags.samples = samples;
    tags.bits = bits;
    tags.unit = unit;
    tags.compression = compression;
    return tags;
}

cv::Mat readBack(const QString& path)
{
    return cv::imread(QFile::encodeName(path).toStdString(), cv::IMREAD_UNCHANGED);
}

int changedPixels(const cv::Mat& a, const cv::Mat& b, const cv::Rect& rect)
{
    if (a.size() != b.size() || a.type() != b.type())
        return -1;
    cv::Mat diff;
    cv::absdiff(a(rect), b(rect), diff);
    if (diff.channels() > 1)
        diff = diff.reshape(1);
    return cv::countNonZero(diff);
}

cv::Rect overlayBand(int width, int height)
{
    const int top = std::max(0, height - 150);
    return cv::Rect(0, top, std::min(width, 400), height - top);
}
