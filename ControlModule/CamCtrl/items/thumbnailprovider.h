#pragma once
// The image library's thumbnails ("image://thumbnail/<path>", the path percent-encoded as in a
// file URL): the size is read from the file's header first, a picture larger than any sensor
// or a file that is no picture gives no image, and the rest is decoded at the size shown.

#include <QQuickImageProvider>

class ThumbnailProvider : public QQuickImageProvider {
public:
    ThumbnailProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    // The picture at path scaled to fit requested (keeping its proportions; as stored when
    // requested is empty); null, logged, when it is refused or cannot be read.
    static QImage thumbnail(const QString& path, const QSize& requested);
};
