#include "multflow.h"

#include "experimentrecord.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "imagerefresh.h"

#include <QDebug>

MultFlow::MultFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

MultFlow::~MultFlow() = default;

void MultFlow::previewStart()
{
    FlowContext::notAvailable("_MultTSPreviewStart");
}

void MultFlow::binChanged(int, int, int)
{
    FlowContext::notAvailable("_MultTSBinChanged");
}

void MultFlow::preExpChanged(double, bool)
{
    FlowContext::notAvailable("_MultTSPreExpChanged");
}

void MultFlow::preExpAndGainChanged(double, int)
{
    FlowContext::notAvailable("_MultTSPreExpAndGainChanged");
}

void MultFlow::gainChanged(int)
{
    FlowContext::notAvailable("_MultTSGainChanged");
}

void MultFlow::atExposure(int)
{
    FlowContext::notAvailable("_MultTSAtExposure");
}

double MultFlow::getExposure()
{
    FlowContext::notAvailable("_MultTSGetExposure");
    return 0.0;
}

double MultFlow::getGain()
{
    FlowContext::notAvailable("_MultTSGetGain");
    return 0.0;
}

void MultFlow::captureStart(double, int)
{
    FlowContext::notAvailable("_MultTSCaptureStart");
}

void MultFlow::updateExpInfo()
{
    FlowContext::notAvailable("_MultTSUpdateExpInfo");
}

void MultFlow::updateExpName(const QString&, const QString&)
{
    FlowContext::notAvailable("_MultTSUpdateExpName");
}

void MultFlow::cancelCapture()
{
    FlowContext::notAvailable("_MultTSCancelCapture");
}

void MultFlow::updateCurImageName(const QString&)
{
    FlowContext::notAvailable("_MultUpdateCurImageName");
}

void MultFlow::exitExperiment()
{
    FlowContext::notAvailable("_MultTSExitExperiment");
}

void MultFlow::updateImageShow(int minInten, int maxInten)
{
    // One body with the Western-blot refresh.
    imagerefresh::showTucsenStretched(m_ctx, minInten, maxInten);
}

void MultFlow::imageListClicked(int index)
{
    if (imagerefresh::selectTucsenFrame(m_ctx.tucsen(), index, "_MultTSImageListClicked"))
        updateHisShowAndImageShow();
}

void MultFlow::updateHisShowAndImageShow()
{
    HistogramInfo info;
    if (!imagerefresh::tucsenHistogramAt(m_ctx.tucsen(), m_ctx.tucsen()->currentImageIndex, info))
        return;
    imagerefresh::drawHistogram(m_ctx, m_ctx.multLineSeries, info);
    updateImageShow(info.low, info.high);
}

void MultFlow::clearCache()
{
    m_ctx.tucsen()->clearFrameList(true);
    if (experiment) {
        qDebug() << "删除实验信息.";
        experiment.reset();
    }
}
