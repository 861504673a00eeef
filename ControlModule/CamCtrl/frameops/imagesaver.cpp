#include "imagesaver.h"

#include <algorithm>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "atomicfile.h"
#include "experimentfolder.h"
#include "imagefilters.h"
#include "paramimagefile.h"
#include "tiffencoder.h"

namespace {

const std::vector<int>& tiffParams()
{
    static const std::vector<int> params = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600,
                                            cv::IMWRITE_TIFF_YDPI, 600, cv::IMWRITE_TIFF_COMPRESSION, 1};
    return params;
}

// Largest picture the direct writer takes: its offsets are 32-bit.
constexpr size_t kMaxDirectBytes = size_t(1) << 31;

// A picture ready to be written, once or to several folders: the head and tail of its TIFF
// around pixels that stay where they are in memory.
class TiffPicture {
public:
    // image as the program holds it (grey, or colour in OpenCV's BGR order). False for a depth
    // or channel count the direct writer does not take.
    bool prepare(const cv::Mat& image)
    {
        if (image.empty() || image.total() * image.elemSize() > kMaxDirectBytes)
            return false;
        switch (image.type()) {
        case CV_8UC3:
            // The file keeps red first.
            cv::cvtColor(image, m_own, cv::COLOR_BGR2RGB);
            return prepareInFileOrder(m_own);
        case CV_8UC1:
        case CV_16UC1:
            if (image.isContinuous())
                return prepareInFileOrder(image);
            m_own = image.clone();
            return prepareInFileOrder(m_own);
        default:
            return false;
        }
    }
    // pixels already as the file holds them: continuous grey, or RGB.
    bool prepareInFileOrder(const cv::Mat& pixels)
    {
        m_pixels = pixels;
        m_frame = tiffFrame(pixels.cols, pixels.rows, pixels.channels(), pixels.depth() == CV_16U ? 16 : 8);
        return true;
    }
    bool writeTo(const QString& path) const
    {
        return writeFileAtomically(path, {{m_frame.head.data(), m_frame.head.size()},
                                          {m_pixels.data, m_pixels.total() * m_pixels.elemSize()},
                                          {m_frame.tail.data(), m_frame.tail.size()}});
    }

private:
    cv::Mat m_pixels;
    cv::Mat m_own;
    TiffFrame m_frame;
};

// Through the library's encoder, for images the direct writer does not take.
bool encodeTiff(const QString& path, const cv::Mat& image)
{
    return encodePicture(path, image, tiffParams());
}

bool makeFolder(const QString& folder)
{
    if (folder.isEmpty()) {
        // No day, or an experiment name that is no single folder: nothing is written elsewhere.
        qWarning() << "no experiment folder for the picture";
        return false;
    }
    if (QDir(folder).exists() || QDir().mkpath(folder))
        return true;
    qWarning() << "image folder cannot be created" << folder;
    return false;
}

// Removes pictures a failed save had already put in place: the library would list them as
// pictures of the capture that failed.
void removeWritten(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (QFile::exists(path) && !QFile::remove(path))
            qWarning() << "picture of a failed save could not be removed" << path;
    }
}

// Writes the same picture into both folders (folder B skipped when there is none), encoded once
// and written from memory each time. Both copies or none: when folder B fails, folder A's copy
// goes again.
bool writeBoth(const cv::Mat& image, const QString& a, const QString& b, const QString& name)
{
    TiffPicture picture;
    const bool direct = picture.prepare(image);
    auto write = [&](const QString& path) { return direct ? picture.writeTo(path) : encodeTiff(path, image); };
    if (!write(a + name))
        return false;
    if (b.isEmpty() || write(b + name))
        return true;
    removeWritten({a + name});
    return false;
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

// Over-exposed pixels pure red, the others grey at the high byte's scale, in the file's RGB
// order, in memory (a fresh matrix when it cannot be had).
cv::Mat overExposurePicture(const cv::Mat& picture, const std::vector<uint8_t>& mask, LargeBuffer& memory)
{
    static const std::vector<uint8_t> grey = [] {
        std::vector<uint8_t> t(65536);
        for (int v = 0; v < 65536; ++v)
            t[v] = uint8_t(v / 65535.0 * 255.0);
        return t;
    }();
    cv::Mat out = memory.mat(picture.rows, picture.cols, CV_8UC3);
    if (out.empty())
        out.create(picture.rows, picture.cols, CV_8UC3);
    const uint16_t* p = picture.ptr<uint16_t>();
    uint8_t* o = out.ptr<uint8_t>();
    const size_t n = picture.total();
    for (size_t i = 0; i < n; ++i) {
        const bool over = mask[i] == 1;
        const uint8_t g = grey[p[i]];
        o[3 * i] = over ? 255 : g;
        o[3 * i + 1] = over ? 0 : g;
        o[3 * i + 2] = over ? 0 : g;
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
    return experimentFolder(imagesRoot(ctx.appDir), ctx.when.date(), ctx.expName);
}

QString folderB(const SaveContext& ctx)
{
    return experimentFolder(ctx.imageSavePath, ctx.when.date(), ctx.expName);
}

bool writeTiff(const QString& path, const cv::Mat& image)
{
    TiffPicture picture;
    return picture.prepare(image) ? picture.writeTo(path) : encodeTiff(path, image);
}

WBSaveResult saveWBImages(const FrameView& frame, const SaveContext& ctx, const WBSaveOptions& opts, SaveScratch* scratch)
{
    WBSaveResult result;
    if (frame.empty()) {
        qWarning() << "saveWBImages: no frame";
        return result;
    }
    SaveScratch local;
    SaveScratch& s = scratch ? *scratch : local;
    const cv::Mat original = frame.mat();

    if (opts.autoLevel) {
        if (opts.intelligentAnalysis == 1) {
            result.rects = autoCrop(frame, opts.sampleImageBkColor, opts.binningIndex);
            result.rectsChanged = true;
        }
        if (opts.kind == 1)
            computeDisplayLevels(frame, opts.histLevelPercent, result.histogram);
        else
            computeDisplayLevelsPlain(frame, opts.histLevelPercent, result.histogram);
    } else {
        if (opts.intelligentAnalysis == 1)
            result.rectsChanged = true;
        computeLogHistogram(frame, result.histogram);
    }

    // With auto stretch the picture is a processed copy: levels applied (when computed) and a
    // sample sharpened. The frame itself is never changed.
    cv::Mat picture = original;
    if (opts.isAutoStretch) {
        cv::Mat work = s.picture.mat(original.rows, original.cols, CV_16UC1);
        if (work.empty()) {
            qWarning() << "saveWBImages: no memory for the picture" << original.cols << original.rows;
            return result;
        }
        const FrameView w = FrameView::of(work);
        if (opts.autoLevel)
            stretchLevels(frame, w, result.histogram.low, result.histogram.high);
        else
            original.copyTo(work);
        if (opts.kind == 1)
            sharpen16U(w, opts.isBeautifyPictures, opts.sharpenLevel, &s.filters);
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
    if (ok && opts.isExposure && marked > 0 && opts.kind != 0 && marked > opts.overExposureThreshold) {
        if (mask.size() != picture.total()) {
            qWarning() << "over-exposure mask skipped: length" << mask.size() << "for" << picture.total() << "pixels";
        } else {
            TiffPicture redMarks;
            redMarks.prepareInFileOrder(overExposurePicture(picture, mask, s.marked));
            overExposed = redMarks.writeTo(a + base + QStringLiteral("_OE.tif"));
            ok = overExposed && ok;
        }
    }

    ok = ok && writeBoth(picture, a, b, base + QStringLiteral(".tif"));

    if (ok && opts.kind == 1) {
        ok = writeDataFile(a + base + QStringLiteral(".data"), original, opts.sharpenLevel, opts.isBeautifyPictures,
                           opts.isAutoStretch, result.histogram.low, result.histogram.high);
    }
    if (!ok) {
        // A picture whose files are not all in place is no picture: none of them stays.
        removeWritten({a + base + QStringLiteral("_OE.tif"), a + base + QStringLiteral(".tif"),
                       b.isEmpty() ? QString() : b + base + QStringLiteral(".tif"), a + base + QStringLiteral(".data")});
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
    ok = ok && writeBoth(picture, a, b, name);
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
        written = written && writeBoth(image, a, b, name);
    } else {
        qWarning() << "saveImages: nothing written" << a + name;
        written = false;
    }
    if (ok)
        *ok = written;
    return a + name;
}

bool encodePicture(const QString& path, const cv::Mat& image, const std::vector<int>& params)
{
    // The encoder picks the format by the temporary name's suffix.
    return writeFileAtomically(path, [&](const QString& temp) {
        try {
            if (cv::imwrite(QFile::encodeName(temp).toStdString(), image, params))
                return true;
        } catch (const cv::Exception& e) {
            qWarning() << "picture encoding failed" << path << e.what();
            return false;
        }
        qWarning() << "picture encoding failed" << path << image.cols << image.rows << image.type();
        return false;
    });
}
