#include "ic_maincontrol.h"

#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "kestrixctrl.h"
#include "useropts.h"

#include <QDebug>
#include <QPen>

namespace {
// The pages' charts have always shown the curve dropping to 0 at every hundredth bin.
constexpr int kDropEvery = 100;
constexpr int kFullRangeHigh = 65535;
} // namespace

QVector<QPointF> IC_MainControl::histogramPoints(const std::vector<double>& histogram)
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

bool IC_MainControl::tsHistogramAt(int index, HistogramInfo& out)
{
    // The capture thread appends frames and records while the pages click.
    const int frames = h695ICECamCtrl->frameCount();
    const std::shared_ptr<const HistogramInfo> record =
        index < frames ? h695ICECamCtrl->histogramAt(index) : nullptr;
    if (!record) {
        qWarning() << "no histogram for image index" << index << "of" << frames;
        return false;
    }
    out = *record;
    return true;
}

void IC_MainControl::drawHistogram(QtCharts::QLineSeries* series, const HistogramInfo& info)
{
    emit changeAxisYMaxAndSliderValue(true, info.maxLog, info.low, info.high);
    if (!series) {
        qWarning() << "histogram series not set";
        return;
    }
    series->setPen(QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    series->replace(histogramPoints(info.logHist));
}

void IC_MainControl::_WBTSImageListClicked(int index)
{
    if (index < 0 || index >= h695ICECamCtrl->frameCount()) {
        qWarning() << "_WBTSImageListClicked: no image" << index;
        return;
    }
    h695ICECamCtrl->currentImageIndex = index;
    _WBTSUpdateHisShowAndImageShow();
}

void IC_MainControl::_WBTSUpdateHisShowAndImageShow()
{
    HistogramInfo info;
    if (!tsHistogramAt(h695ICECamCtrl->currentImageIndex, info))
        return;
    drawHistogram(wbLineSeries, info);
    // A capture without automatic stretch shows its frames as they came from the camera.
    if (!userOpt->isAutoStretch() && wbTSCaptureThread)
        _WBTSUpdateImageShow(0, kFullRangeHigh);
    else
        _WBTSUpdateImageShow(info.low, info.high);
}

void IC_MainControl::wbTSImageCaped(QString imageName, int bin, double expCap, int gain)
{
    h695ICECamCtrl->currentImageIndex = h695ICECamCtrl->frameCount() - 1;
    emit singleImageCaped(imageName, bin, expCap, gain);
    _WBTSUpdateHisShowAndImageShow();
}

void IC_MainControl::_GelTSImageListClicked(int index)
{
    if (index < 0 || index >= h695ICECamCtrl->frameCount()) {
        qWarning() << "_GelTSImageListClicked: no image" << index;
        return;
    }
    h695ICECamCtrl->currentImageIndex = index;
    _GelTSUpdateHisShowAndImageShow();
    _GelTSUpdateImageShow();
}

void IC_MainControl::_GelTSUpdateHisShowAndImageShow()
{
    HistogramInfo info;
    if (tsHistogramAt(h695ICECamCtrl->currentImageIndex, info))
        drawHistogram(gelLineSeries, info);
}

void IC_MainControl::_GelTSUpdateImageShow()
{
    const int index = h695ICECamCtrl->currentImageIndex;
    if (index == -1)
        return;
    if (!h695ICECamCtrl->showFrameAsCaptured()) {
        qWarning() << "_GelTSUpdateImageShow: no image" << index;
        return;
    }
    emit imageChanged();
}

void IC_MainControl::_MultTSImageListClicked(int index)
{
    if (index < 0 || index >= h695ICECamCtrl->frameCount()) {
        qWarning() << "_MultTSImageListClicked: no image" << index;
        return;
    }
    h695ICECamCtrl->currentImageIndex = index;
    _MultTSUpdateHisShowAndImageShow();
}

void IC_MainControl::_MultTSUpdateHisShowAndImageShow()
{
    HistogramInfo info;
    if (!tsHistogramAt(h695ICECamCtrl->currentImageIndex, info))
        return;
    drawHistogram(multLineSeries, info);
    _MultTSUpdateImageShow(info.low, info.high);
}

void IC_MainControl::_WBQIImageListClicked(int index)
{
    if (index < 0 || index >= kestrixCtrl->frameCount()) {
        qWarning() << "_WBQIImageListClicked: no image" << index;
        return;
    }
    kestrixCtrl->curImageIndex = index;
    _WBQIUpdateHisShowAndImageShow();
}

void IC_MainControl::_WBQIUpdateHisShowAndImageShow()
{
    const int index = kestrixCtrl->curImageIndex;
    if (index < 0 || index >= kestrixCtrl->histogramCount()) {
        qWarning() << "no histogram for image index" << index << "of" << kestrixCtrl->histogramCount();
        return;
    }
    const HistogramInfo info = kestrixCtrl->histogramAt(index);
    drawHistogram(wbLineSeries, info);
    _WBQIUpdateImageShow(info.low, info.high);
}

void IC_MainControl::_WBQIUpdateImageShow(int minInten, int maxInten)
{
    kestrixCtrl->stretchLow = minInten;
    kestrixCtrl->stretchHigh = maxInten;
    const int index = kestrixCtrl->curImageIndex;
    if (index < 0 || index >= kestrixCtrl->frameCount()) {
        qWarning() << "_WBQIUpdateImageShow: no image" << index;
        return;
    }
    kestrixCtrl->displayFrame = kestrixCtrl->frameAt(index);
    kestrixCtrl->stretchLevels(kestrixCtrl->displayFrame, minInten, maxInten);
    emit imageChanged();
}
