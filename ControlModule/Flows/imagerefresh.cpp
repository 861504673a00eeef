#include "imagerefresh.h"

#include "flowcontext.h"
#include "tsframestore.h"
#include "histograminfo.h"

#include <QDebug>
#include <QPen>
#include <QtCharts/QLineSeries>

#include <memory>

namespace imagerefresh {

namespace {
// The pages' charts have always shown the curve dropping to 0 at every hundredth bin.
constexpr int kDropEvery = 100;
} // namespace

QVector<QPointF> histogramPoints(const std::vector<double>& histogram)
{
    QVector<QPointF> points;
    points.reserve(int(histogram.size()));
    int counter = 0;
    for (size_t i = 0; i < histogram.size(); ++i) {
        double y = histogram[i];
        if (y > 0 && ++counter == kDropEvery) {
            y = 0;
            counter = 0;
        }
        points.append(QPointF(double(i), y));
    }
    return points;
}

void drawHistogram(FlowContext& ctx, QtCharts::QLineSeries* series, const HistogramInfo& info)
{
    emit ctx.changeAxisYMaxAndSliderValue(true, info.maxLog, info.low, info.high);
    if (!series) {
        qWarning() << "histogram series not set";
        return;
    }
    series->setPen(QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    series->replace(histogramPoints(info.logHist));
}

bool selectTucsenFrame(TsFrameStore* store, int index, const char* caller)
{
    if (index < 0 || index >= store->frameCount()) {
        qWarning().nospace() << caller << ": no image " << index;
        return false;
    }
    store->currentImageIndex = index;
    return true;
}

bool tucsenHistogramAt(TsFrameStore* store, int index, HistogramInfo& out)
{
    // The capture thread appends frames and records while the pages click.
    const int frames = store->frameCount();
    const std::shared_ptr<const HistogramInfo> record = index < frames ? store->histogramAt(index) : nullptr;
    if (!record) {
        qWarning() << "no histogram for image index" << index << "of" << frames;
        return false;
    }
    out = *record;
    return true;
}

void showTucsenStretched(FlowContext& ctx, int minInten, int maxInten)
{
    if (ctx.tucsenFrames()->updateStretchFrame(minInten, maxInten))
        emit ctx.imageChanged();
}

} // namespace imagerefresh
