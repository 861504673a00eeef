#include "thumbnailprovider.h"

#include <QDebug>
#include <QFile>
#include <QImageReader>
#include <QUrl>

#include <new>

#include "picturelimits.h"
#include "regularfile.h"

ThumbnailProvider::ThumbnailProvider()
    : QQuickImageProvider(QQuickImageProvider::Image, QQuickImageProvider::ForceAsynchronousImageLoading)
{
}

QImage ThumbnailProvider::requestImage(const QString& id, QSize* size, const QSize& requestedSize)
{
    const QString path = QUrl::fromPercentEncoding((QLatin1Char('/') + id).toUtf8());
    QImage image = thumbnail(path, requestedSize);
    if (image.isNull()) {
        // A picture removed or renamed while its tile was on its way is logged above; an empty
        // tile says the rest, and QML is not given a failure to report as an error of the page.
        image = QImage(1, 1, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
    }
    if (size)
        *size = image.size();
    return image;
}

QImage ThumbnailProvider::thumbnail(const QString& path, const QSize& requested)
{
    QFile file;
    if (!openRegularFile(file, path)) {
        qWarning() << "thumbnail: no such picture" << path;
        return QImage();
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.isEmpty()) {
        qWarning() << "thumbnail: picture cannot be read" << path << reader.errorString();
        return QImage();
    }
    if (!picturelimits::fitsSensor(stored.width(), stored.height())) {
        qWarning() << "thumbnail: picture too large, not read" << path << stored;
        return QImage();
    }
    if (requested.width() > 0 || requested.height() > 0) {
        const QSize box(requested.width() > 0 ? requested.width() : stored.width(),
                        requested.height() > 0 ? requested.height() : stored.height());
        if (stored.width() > box.width() || stored.height() > box.height())
            reader.setScaledSize(stored.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
    QImage image;
    try {
        image = reader.read();
    } catch (const std::bad_alloc&) {
        qWarning() << "thumbnail: picture too large for memory" << path;
        return QImage();
    }
    if (image.isNull())
        qWarning() << "thumbnail: picture cannot be read" << path << reader.errorString();
    return image;
}
