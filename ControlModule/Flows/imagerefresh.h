#pragma once
// The image refresh the capture pages share: selecting a frame of the image list, drawing its
// histogram record into the page's chart and showing the frame. GUI thread only.

#include <QPointF>
#include <QVector>

#include <vector>

class FlowContext;
class TsFrameStore;
struct HistogramInfo;

namespace QtCharts {
class QLineSeries;
}

namespace imagerefresh {

// Chart points of a histogram record: x the grey value, y its value, every hundredth non-empty
// bin drawn at 0.
QVector<QPointF> histogramPoints(const std::vector<double>& histogram);

// Tells the page the record's axis maximum and slider range, then draws the record into series
// (logged and skipped when the page handed over no series).
void drawHistogram(FlowContext& ctx, QtCharts::QLineSeries* series, const HistogramInfo& info);

// Makes index the Tucsen camera's current image; false (logged with caller) when the list holds
// no frame there.
bool selectTucsenFrame(TsFrameStore* store, int index, const char* caller);

// A copy of the Tucsen histogram record at index; false (logged) when index addresses no frame
// with a record.
bool tucsenHistogramAt(TsFrameStore* store, int index, HistogramInfo& out);

// The Tucsen camera's current image stretched to minInten..maxInten and shown.
void showTucsenStretched(FlowContext& ctx, int minInten, int maxInten);

} // namespace imagerefresh
