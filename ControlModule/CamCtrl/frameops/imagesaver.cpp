#include "imagesaver.h"

#include <algorithm>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <opencv2/imgcodecs.hpp>

#include "atomicfile.h"
#include "imagefilters.h"
#include "paramimagefile.h"

namespace {

const std::vector<int>& tiffParams()
{
    static const std::vector<int> params = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600,
                                            cv::IMWRITE_TIFF_YDPI, 600, cv::IMWRITE_TIFF_COMPRESSION, 1};
    return params;
}

bool makeFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    if (QDir(folder).exists() || QDir().mkpath(folder))
        return true;
    qWarning() << "image folder cannot be created" << folder;
    return false;
}

// Writes the same picture into both folders: encoded once into folder A and copied into folder B
// (skipped when there is none); a failure in one folder does not cost the other its copy.
bool writeBoth(const cv::Mat& image, const QString& a, const QString& b, const QString& name)
{
    const bool okA = writeTiff(a + name, image);
    if (b.isEmpty())
        return okA;
    const bool okB = okA ? copyFileAtomically(a + name, b + name) : writeTiff(b + name, image);
    return okA && okB;
}

QString timeName(const SaveContext& ctx)
{
    return ctx.when.toString(QStringLiteral("hh-mm-ss-zzz"));
}

bool makeFolders(const QString& a, const QString& b)
{
    bool ok = makeFolder(a);
    if (!b.isEmpty())
        ok = makeFolder(b) && ok;
    return ok;
}

// Over-exposed pixels pure red, the others grey at the high byte's scale.
cv::Mat overExposurePicture(const cv::Mat& picture, const std::vector<uint8_t>& mask)
{
    static const std::vector<uint8_t> grey = [] {
        std::vector<uint8_t> t(65536);
        for (int v = 0; v < 65536; ++v)
            t[v] = uint8_t(v / 65535.0 * 255.0);
        return t;
    }();
    cv::Mat out(picture.rows, picture.cols, CV_8UC3);
    const uint16_t* p = picture.ptr<uint16_t>();
    uint8_t* o = out.ptr<uint8_t>();
    const size_t n = picture.total();
    for (size_t i = 0; i < n; ++i) {
        const bool over = mask[i] == 1;
        const uint8_t g = grey[p[i]];
        o[3 * i] = over ? 0 : g;
        o[3 * i + 1] = over ? 0 : g;
        o[3 * i + 2] = over ? 255 : g;
    }
    return out;
}

} // namespace

QString kindSuffix(int kind)
{
    switch (kind) {
    case 0: return QStringLiteral("_Marker");
    case 2: return QStringLiteral("_Merge");
    default: return QString();
    }
}

QString lightSuffix(int lightType)
{
    static const char* const names[] = {"_White", "_UV302", "_UV254", "_UV365", "_Red", "_Green",
                                        "_Blue", "_NIR660", "_NIR740", "_UV", "_Blue"};
    if (lightType < 0 || lightType > 10)
        return QString();
    return QString::fromLatin1(names[lightType]);
}

QString processedSuffix(int kind)
{
    switch (kind) {
    case 2: return QStringLiteral("_Merge");
    case 3: return QStringLiteral("_Color");
    default: return QString();
    }
}

QString folderA(const SaveContext& ctx)
{
    return ctx.appDir + QStringLiteral("/Images/") + ctx.when.toString(QStringLiteral("yyyy-MM-dd"))
           + QLatin1Char('/') + ctx.expName + QLatin1Char('/');
}

QString folderB(const SaveContext& ctx)
{
    if (ctx.imageSavePath.isEmpty())
        return QString();
    return ctx.imageSavePath + QLatin1Char('/') + ctx.when.toString(QStringLiteral("yyyy-MM-dd"))
           + QLatin1Char('/') + ctx.expName + QLatin1Char('/');
}

bool writeTiff(const QString& path, const cv::Mat& image)
{
    // Encoding straight into a file is about three times faster than into memory; the encoder
    // picks the format by the temporary name's suffix.
    return writeFileAtomically(path, [&](const QString& temp) {
        try {
            if (cv::imwrite(QFile::encodeName(temp).toStdString(), image, tiffParams()))
                return true;
        } catch (const cv::Exception& e) {
            qWarning() << "tiff encoding failed" << path << e.what();
            return false;
        }
        qWarning() << "tiff encoding failed" << path << image.cols << image.rows << image.type();
        return false;
    });
}

WBSaveResult saveWBImages(const FrameView& frame, const SaveContext& ctx, const WBSaveOptions& opts)
{
    WBSaveResult result;
    if (frame.empty()) {
        qWarning() << "saveWBImages: no frame";
        return result;
    }
    const cv::Mat original = frame.mat();
    cv::Mat work = original.clone();
    const FrameView w = FrameView::of(work);

    if (opts.autoLevel) {
        if (opts.intelligentAnalysis == 1) {
            result.rects = autoCrop(w, opts.sampleImageBkColor, opts.binningIndex);
            result.rectsChanged = true;
        }
        if (opts.kind == 1)
            autoLevelFrame(w, opts.histLevelPercent, result.histogram);
        else
            autoLevelFramePlain(w, opts.histLevelPercent, result.histogram);
    } else {
        if (opts.intelligentAnalysis == 1)
            result.rectsChanged = true;
        computeLogHistogram(w, result.histogram);
    }

    cv::Mat picture = original;
    if (opts.isAutoStretch) {
        if (opts.kind == 1)
            sharpen16U(w, opts.isBeautifyPictures, opts.sharpenLevel);
        picture = work;
    }

    const QString a = folderA(ctx);
    const QString b = folderB(ctx);
    bool ok = makeFolders(a, b);
    const QString base = timeName(ctx) + kindSuffix(opts.kind);

    static const std::vector<uint8_t> noMask;
    const std::vector<uint8_t>& mask = opts.overExposureSum ? *opts.overExposureSum : noMask;
    const long marked = long(std::count(mask.begin(), mask.end(), uint8_t(1)));
    qDebug() << "vecMark.count: " << marked;
    bool overExposed = false;
    if (opts.isExposure && marked > 0 && opts.kind != 0 && marked > opts.overExposureThreshold) {
        if (mask.size() != picture.total()) {
            qWarning() << "over-exposure mask skipped: length" << mask.size() << "for" << picture.total() << "pixels";
        } else {
            overExposed = writeTiff(a + base + QStringLiteral("_OE.tif"), overExposurePicture(picture, mask));
            ok = overExposed && ok;
        }
    }

    ok = writeBoth(picture, a, b, base + QStringLiteral(".tif")) && ok;

    if (opts.kind == 1) {
        ok = writeDataFile(a + base + QStringLiteral(".data"), original, opts.sharpenLevel, opts.isBeautifyPictures,
                           opts.isAutoStretch, result.histogram.low, result.histogram.high)
             && ok;
    }
    result.path = a + base + (overExposed ? QStringLiteral("_OE.tif") : QStringLiteral(".tif"));
    result.ok = ok;
    return result;
}

CaptureSaveResult saveCaptureImage(const FrameView& frame, bool addHistogram, int lightType,
                                   const RegionOfInterest& roi, const SaveContext& ctx)
{
    CaptureSaveResult result;
    if (frame.empty()) {
        qWarning() << "saveCaptureImage: no frame";
        return result;
    }
    if (addHistogram) {
        computeLogHistogram(frame, result.histogram);
        result.hasHistogram = true;
    }
    cv::Mat picture = frame.mat();
    if (roi.enabled) {
        const cv::Rect cut = regionInFrame(roi, picture.size());
        if (cut.empty()) {
            qWarning() << "region of interest outside the frame, whole frame saved" << roi.left << roi.top
                       << roi.right << roi.bottom << picture.cols << picture.rows;
        } else {
            picture = picture(cut);
            result.roiEntry.left = cut.x;
            result.roiEntry.top = cut.y;
            result.roiEntry.right = cut.x + cut.width - 1;
            result.roiEntry.bottom = cut.y + cut.height - 1;
        }
    }
    const QString a = folderA(ctx);
    const QString b = folderB(ctx);
    bool ok = makeFolders(a, b);
    qDebug() << "lightType:" << lightType;
    const QString name = timeName(ctx) + lightSuffix(lightType) + QStringLiteral(".tif");
    ok = writeBoth(picture, a, b, name) && ok;
    result.path = a + name;
    result.ok = ok;
    return result;
}

QString saveImages(cv::Mat& image, int kind, const RegionOfInterest& roi, const SaveContext& ctx, bool* ok)
{
    const QString a = folderA(ctx);
    const QString b = folderB(ctx);
    bool written = makeFolders(a, b);
    if (roi.enabled && !image.empty()) {
        const cv::Rect cut = regionInFrame(roi, image.size());
        if (cut.empty())
            qWarning() << "region of interest outside the picture, whole picture saved" << roi.left << roi.top
                       << roi.right << roi.bottom << image.cols << image.rows;
        else
            image = image(cut);
    }
    const QString name = timeName(ctx) + processedSuffix(kind) + QStringLiteral(".tif");
    if (!image.empty()) {
        written = writeBoth(image, a, b, name) && written;
    } else {
        qWarning() << "saveImages: nothing written" << a + name;
        written = false;
    }
    if (ok)
        *ok = written;
    return a + name;
}
