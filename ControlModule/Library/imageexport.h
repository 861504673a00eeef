#pragma once
// Single-image exports: the filters of the export dialog and of the image-library pages, the
// three-line parameter overlay, and the writers. Plain functions over pictures; the caller picks
// the picture (a camera frame, a stored file) and hands the target as a path.

#include <QString>
#include <opencv2/core.hpp>

// The three overlay lines (binning, exposure, gain texts), drawn near the bottom-left corner.
struct WatermarkLines {
    QString first;
    QString second;
    QString third;
};

enum class ExportFormat { None, Tiff, Bmp, Jpg, Png };

struct ExportFilter {
    ExportFormat format = ExportFormat::None;
    int dpi = 0;          // TIFF resolution tag
    bool enlarge = false; // bilinear x2 after the overlay
    bool overlay = false;
};

// The twelve filters of the export dialog (0..11); None for any other index.
ExportFilter dialogFilter(int index);
// The five filters of the image-library pages (0..4); None for any other index.
ExportFilter libraryFilter(int index);
// "BMP", "JPG" or "PNG"; "PNG" for anything else.
const char* imageFormatName(ExportFormat format);

// Grey form: draws into a one-channel 8- or 16-bit picture in place. Colour form: a picture
// without exactly three channels is first replaced by its 8-bit blue-green-red version (16-bit
// values / 256). Blue pen, "微软雅黑" 20 pt, baselines at height - 120, - 80, - 40, x = 10; an
// empty line draws nothing. Pictures of other types are left as they are (logged).
void drawWatermarkGrey(cv::Mat& image, const WatermarkLines& lines);
void drawWatermarkColour(cv::Mat& image, const WatermarkLines& lines);

// Blue-green-red 8-bit picture from the high byte of each 16-bit grey pixel (an 8-bit grey
// picture is taken as it is). Empty for other types.
cv::Mat highByteBgr(const cv::Mat& grey);
// Bilinear resize by 2 in both directions.
cv::Mat enlargedTwice(const cv::Mat& image);

// Writes through a temporary file; the target's extension picks the encoder. TIFF targets get
// inch, dpi in both directions (0 allowed) and no compression; other encoders ignore dpi.
bool writeByExtension(const QString& path, const cv::Mat& image, int dpi);

// A 16-bit grey frame through a dialog filter: TIFF filters write the 16-bit pixels (overlay,
// enlargement, dpi), the 8-bit ones the high bytes as blue-green-red with the colour overlay.
bool exportGreyFrame(cv::Mat frame, const QString& path, int index, const WatermarkLines& lines);
// A colour picture through a dialog filter. eightBitByCodec: BMP, JPEG and PNG filters are
// written by the codec after the target's extension (TIFF tags 0) instead of as the filter's
// 8-bit format.
bool exportColourPicture(cv::Mat picture, const QString& path, int index, const WatermarkLines& lines,
                         bool eightBitByCodec);
// A stored picture file to path by the library pages' filters: 0 and 1 TIFF at 600 and 300
// dpi as read; 2 to 4 the high bytes as BMP, JPG, PNG.
bool exportStoredPicture(const QString& source, const QString& path, int index);

// True when file is an uncompressed TIFF whose resolution is given in inches at dpi in both
// directions (read from its first directory only).
bool isPlainTiffAt(const QString& file, int dpi);
