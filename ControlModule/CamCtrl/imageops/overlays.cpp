#include "overlays.h"

#include <algorithm>

#include <QDebug>
#include <QPainter>
#include <QPen>

namespace {

// Pens lose width with binning, so that marks keep their size on the shown picture.
int binnedWidth(int base, int binningIndex)
{
    return base / (std::max(0, binningIndex) + 1);
}

} // namespace

void drawFocusMarks(QPainter& painter, QSize picture, int binningIndex)
{
    const int x = picture.width() / 5;
    const int y = picture.height() / 5;
    const int a = picture.width() / 10;
    painter.save();
    painter.setPen(QPen(Qt::black, binnedWidth(15, binningIndex), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawLine(x, y, x + a, y);
    painter.drawLine(x, y, x, y + a);
    painter.drawLine(4 * x, y, 4 * x - a, y);
    painter.drawLine(4 * x, y, 4 * x, y + a);
    painter.drawLine(x, 4 * y, x + a, 4 * y);
    painter.drawLine(x, 4 * y, x, 4 * y - a);
    painter.drawLine(4 * x, 4 * y, 4 * x - a, 4 * y);
    painter.drawLine(4 * x, 4 * y, 4 * x, 4 * y - a);
    painter.restore();
}

void drawAnalysisRects(QPainter& painter, const QList<QRect>& rects)
{
    painter.save();
    painter.setPen(QPen(Qt::red, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    for (const QRect& r : rects)
        painter.drawRect(r);
    painter.restore();
}

void drawCutRect(QPainter& painter, const QRect& cut, int binningIndex)
{
    painter.save();
    painter.setPen(QPen(Qt::red, binnedWidth(6, binningIndex), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cut);
    painter.restore();
}

long markOverExposure(cv::Mat& canvas, const std::vector<uint8_t>& mask, int threshold)
{
    if (canvas.type() != CV_8UC4 || !canvas.isContinuous() || mask.size() != canvas.total()) {
        qWarning() << "over-exposure mask does not match the picture" << mask.size() << canvas.cols << canvas.rows;
        return -1;
    }
    const long marked = long(std::count(mask.begin(), mask.end(), uint8_t(1)));
    if (marked <= threshold)
        return marked;
    uint8_t* p = canvas.ptr<uint8_t>();
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == 1) {
            p[4 * i] = 0;
            p[4 * i + 1] = 0;
            p[4 * i + 2] = 255;
        }
    }
    return marked;
}
