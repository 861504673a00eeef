#include "gifwriter.h"

#include <QColor>

#include <climits>

namespace {
constexpr int kTransparent = 255;

void putWord(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// LZW data of 8-bit indexes with 9-bit codes only: the table never grows past 256 + 2 + 254
// entries, so a clear code every 254 literals keeps the width fixed.
QByteArray lzwFixedWidth(const QByteArray& indexes)
{
    const int clear = 256;
    const int end = 257;
    QByteArray bytes;
    quint32 buffer = 0;
    int bits = 0;
    auto put = [&](int code) {
        buffer |= quint32(code) << bits;
        bits += 9;
        while (bits >= 8) {
            bytes.append(char(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    };
    int sinceClear = 0;
    put(clear);
    for (char index : indexes) {
        if (sinceClear == 254) {
            put(clear);
            sinceClear = 0;
        }
        put(quint8(index));
        ++sinceClear;
    }
    put(end);
    if (bits > 0)
        bytes.append(char(buffer & 0xFF));

    QByteArray blocks;
    for (int at = 0; at < bytes.size(); at += 255) {
        const QByteArray chunk = bytes.mid(at, 255);
        blocks.append(char(chunk.size()));
        blocks.append(chunk);
    }
    blocks.append(char(0));
    return blocks;
}
} // namespace

GifWriter::GifWriter(QVector<QRgb> palette)
    : m_palette(std::move(palette))
{
    m_palette.resize(255);
}

QByteArray GifWriter::indexFrame(const QImage& frame) const
{
    const QImage image = frame.convertToFormat(QImage::Format_ARGB32);
    QByteArray indexes;
    indexes.reserve(image.width() * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) < 128) {
                indexes.append(char(kTransparent));
                continue;
            }
            int best = 0;
            int bestDistance = INT_MAX;
            for (int i = 0; i < m_palette.size(); ++i) {
                const QRgb c = m_palette[i];
                const int dr = qRed(c) - qRed(pixel);
                const int dg = qGreen(c) - qGreen(pixel);
                const int db = qBlue(c) - qBlue(pixel);
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            indexes.append(char(best));
        }
    }
    return indexes;
}

void GifWriter::addFrame(const QImage& frame, int delayCentiseconds)
{
    m_width = frame.width();
    m_height = frame.height();
    m_frames.append(indexFrame(frame));
    m_delays.append(delayCentiseconds);
}

QByteArray GifWriter::finish() const
{
    QByteArray out("GIF89a");
    putWord(out, m_width);
    putWord(out, m_height);
    out.append(char(0xF7)); // global colour table of 256 entries
    out.append(char(kTransparent));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < m_palette.size() ? m_palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    // Loop for ever.
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    putWord(out, 0);
    out.append(char(0));
    for (int f = 0; f < m_frames.size(); ++f) {
        out.append("\x21\xF9\x04", 3);
        out.append(char(0x09)); // restore to background, transparent index present
        putWord(out, m_delays[f]);
        out.append(char(kTransparent));
        out.append(char(0));
        out.append(char(0x2C));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, m_width);
        putWord(out, m_height);
        out.append(char(0));
        out.append(char(8)); // minimum code size
        out.append(lzwFixedWidth(m_frames[f]));
    }
    out.append(char(0x3B));
    return out;
}
