#include "picturefiles.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QUrl>
#include <opencv2/imgproc.hpp>

#include <new>

#include "atomicfile.h"
#include "experimentfolder.h"
#include "imagesaver.h"
#include "picturelimits.h"
#include "regularfile.h"

namespace {

bool makeFolder(const QString& folder)
{
    if (QDir(folder).exists() || QDir().mkpath(folder))
        return true;
    qWarning() << "folder cannot be created" << folder;
    return false;
}

// A QImage over a copy of the picture's pixels in the toolkit's byte order.
QImage toQImage(const cv::Mat& image)
{
    cv::Mat rgb;
    QImage::Format format = QImage::Format_Invalid;
    try {
        switch (image.type()) {
        case CV_8UC1:
            rgb = image;
            format = QImage::Format_Grayscale8;
            break;
        case CV_8UC3:
            cv::cvtColor(image, rgb, cv::COLOR_BGR2RGB);
            format = QImage::Format_RGB888;
            break;
        case CV_8UC4:
            cv::cvtColor(image, rgb, cv::COLOR_BGRA2RGB);
            format = QImage::Format_RGB888;
            break;
        default:
            return QImage();
        }
    } catch (const cv::Exception& e) {
        qWarning() << "picture conversion failed" << e.what();
        return QImage();
    }
    return QImage(rgb.data, rgb.cols, rgb.rows, int(rgb.step), format).copy();
}

} // namespace

QString localPath(const QString& pathOrUrl)
{
    if (pathOrUrl.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(pathOrUrl).toLocalFile();
    return pathOrUrl;
}

QSize pictureFileSize(const QString& path)
{
    QFile file;
    if (!openRegularFile(file, path))
        return QSize();
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return size.width() > 0 && size.height() > 0 ? size : QSize();
}

cv::Mat readPicture(const QString& path, int flags)
{
    cv::Mat picture;
    if (path.isEmpty()) {
        qWarning() << "no picture path";
        return picture;
    }
    // The header first: a damaged file or one that claims a giant picture is never decoded.
    const QSize size = pictureFileSize(path);
    if (!size.isValid()) {
        qWarning() << "picture cannot be read" << path;
        return picture;
    }
    if (!picturelimits::fitsSensor(size.width(), size.height())) {
        qWarning() << "picture too large, not read" << path << size;
        return picture;
    }
    try {
        picture = cv::imread(QFile::encodeName(path).toStdString(), flags);
    } catch (const cv::Exception& e) {
        qWarning() << "picture cannot be read" << path << e.what();
        return cv::Mat();
    } catch (const std::bad_alloc&) {
        qWarning() << "picture too large for memory" << path;
        return cv::Mat();
    }
    if (picture.empty())
        qWarning() << "picture cannot be read" << path;
    else if (!picturelimits::fitsSensor(picture.cols, picture.rows) || picture.channels() > picturelimits::kMaxChannels) {
        qWarning() << "picture too large, not used" << path << picture.cols << picture.rows << picture.channels();
        return cv::Mat();
    }
    return picture;
}

bool writeTiffAt(const QString& path, const cv::Mat& image, int dpi)
{
    if (image.empty()) {
        qWarning() << "empty picture not written" << path;
        return false;
    }
    if (dpi == 600)
        return writeTiff(path, image);
    return encodePicture(path, image, {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, dpi, cv::IMWRITE_TIFF_YDPI, dpi,
                                       cv::IMWRITE_TIFF_COMPRESSION, 1});
}

bool writePictureAs(const QString& path, const cv::Mat& image, const char* format)
{
    const QImage picture = toQImage(image);
    if (picture.isNull()) {
        qWarning() << "picture not written" << path << format << "type" << image.type() << "empty" << image.empty();
        return false;
    }
    return writeFileAtomically(path, [&](const QString& temp) {
        if (picture.save(temp, format, 100))
            return true;
        qWarning() << "picture encoding failed" << path << format;
        return false;
    });
}

QString derivedPath(const QString& sourcePath, const QString& time, const QString& suffix)
{
    const QFileInfo source(sourcePath);
    QString name = time + suffix;
    if (!source.suffix().isEmpty())
        name += QLatin1Char('.') + source.suffix();
    return source.dir().filePath(name);
}

QString mirrorFolder(const QString& imageSavePath, const QString& date, const QString& name)
{
    return experimentFolder(imageSavePath, dayOfFolder(date), name);
}

QString mirrorFolderOf(const QString& picturePath, const QString& imageSavePath)
{
    // By name only: the folders need not exist here.
    const ExperimentPath experiment = parseExperimentPath(picturePath);
    return experiment.isValid() ? experimentFolder(imageSavePath, experiment.day, experiment.name) : QString();
}

QString saveTwoCopies(const cv::Mat& image, const QString& folder, const QString& fileName, const QString& mirror,
                      const QString& mirrorName)
{
    if (folder.isEmpty() || fileName.isEmpty()) {
        qWarning() << "no folder for the picture" << fileName;
        return QString();
    }
    const QString path = QDir(folder).filePath(fileName);
    if (!makeFolder(folder) || !writeTiffAt(path, image))
        return QString();
    if (mirror.isEmpty()) {
        qWarning() << "imageSavePath empty, second copy not written" << fileName;
        return path;
    }
    const QString copy = QDir(mirror).filePath(mirrorName);
    if (QFileInfo(copy).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
        return path;
    if (!makeFolder(mirror) || !copyFileAtomically(path, copy))
        qWarning() << "second copy not written" << copy;
    return path;
}
