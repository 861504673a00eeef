// iconraster png <in.svg> <out.png>
//   renders the drawing at the size its width and height give.
// iconraster gif <in.svg> <out.gif> <size> <frames>
//   renders the drawing at size x size once per frame, turned by 360/frames degrees each time,
//   and writes the frames as an endless animated GIF (one frame every 80 ms).
#include "gifwriter.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QHash>

#include <algorithm>

#include <cstdio>

namespace {
int fail(const char* what, const QString& path)
{
    std::fprintf(stderr, "iconraster: %s: %s\n", what, qPrintable(path));
    return 1;
}

QImage render(QSvgRenderer& svg, QSize size, qreal turn)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (turn != 0) {
        painter.translate(size.width() / 2.0, size.height() / 2.0);
        painter.rotate(turn);
        painter.translate(-size.width() / 2.0, -size.height() / 2.0);
    }
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

// The colours a drawing uses, most frequent first, for the GIF's shared palette.
QVector<QRgb> paletteOf(const QVector<QImage>& frames)
{
    QHash<QRgb, int> counts;
    for (const QImage& frame : frames) {
        const QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x)
                if (qAlpha(line[x]) >= 128)
                    ++counts[line[x] | 0xFF000000u];
        }
    }
    QVector<QPair<int, QRgb>> order;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        order.append({it.value(), it.key()});
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QVector<QRgb> palette;
    for (const auto& entry : order) {
        if (palette.size() == 255)
            break;
        palette.append(entry.second);
    }
    return palette;
}
} // namespace

// Only real failures reach the build log; the platform's start-up notes do not.
static void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "iconraster: %s\n", qPrintable(message));
}

int main(int argc, char** argv)
{
    qInstallMessageHandler(quietMessages);
    // Text in the drawings needs the font database; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("png")) {
        QSvgRenderer svg(args[2]);
        if (!svg.isValid())
            return fail("not a drawing", args[2]);
        const QImage image = render(svg, svg.defaultSize(), 0);
        if (!image.save(args[3], "PNG"))
            return fail("cannot write", args[3]);
        return 0;
    }
    if (args.size() == 6 && args[1] == QLatin1String("gif")) {
        QSvgRenderer svg(args[2]);
        if (!svg.isValid())
            return fail("not a drawing", args[2]);
        const int size = args[4].toInt();
        const int count = args[5].toInt();
        if (size <= 0 || count <= 0)
            return fail("bad size or frame count", args[4] + QLatin1Char(' ') + args[5]);
        QVector<QImage> frames;
        for (int i = 0; i < count; ++i)
            frames.append(render(svg, QSize(size, size), 360.0 * i / count));
        GifWriter gif(paletteOf(frames));
        for (const QImage& frame : frames)
            gif.addFrame(frame, 8);
        QFile out(args[3]);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(gif.finish()) < 0)
            return fail("cannot write", args[3]);
        return 0;
    }
    std::fprintf(stderr, "usage: iconraster png <in.svg> <out.png> | gif <in.svg> <out.gif> <size> <frames>\n");
    return 2;
}
