#pragma once

#include <QByteArray>
#include <QImage>
#include <QVector>

// A minimal animated GIF89a encoder: every frame shares one palette of at most 255 colours
// plus one transparent entry, loops for ever, and uses LZW codes of a fixed 9 bits (a clear
// code every 254 symbols), which every decoder reads.
class GifWriter {
public:
    // palette: the opaque colours; pixels whose alpha is below half become transparent, the
    // others take the nearest palette colour.
    explicit GifWriter(QVector<QRgb> palette);
    void addFrame(const QImage& frame, int delayCentiseconds);
    QByteArray finish() const;

private:
    QByteArray indexFrame(const QImage& frame) const;

    QVector<QRgb> m_palette;
    int m_width = 0;
    int m_height = 0;
    QVector<QByteArray> m_frames;
    QVector<int> m_delays;
};
