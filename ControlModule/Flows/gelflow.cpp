#include "gelflow.h"

#include "experimentrecord.h"
#include "flowcontext.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "imagerefresh.h"

#include <QDebug>

#include <algorithm>

namespace {
// The blue light's brightness is a percentage.
constexpr int kMaxBluePercent = 100;
} // namespace

GelFlow::GelFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

GelFlow::~GelFlow() = default;

void GelFlow::previewStart()
{
    FlowContext::notAvailable("_GelTSPreviewStart");
}

void GelFlow::previewReStart()
{
    FlowContext::notAvailable("_GelTSPreviewReStart");
}

void GelFlow::binChanged(int, int, int)
{
    FlowContext::notAvailable("_GelTSBinChanged");
}

void GelFlow::preExpChanged(double, bool)
{
    FlowContext::notAvailable("_GelTSPreExpChanged");
}

void GelFlow::preExpAndGainChanged(double, int)
{
    FlowContext::notAvailable("_GelTSPreExpAndGainChanged");
}

void GelFlow::gainChanged(int)
{
    FlowContext::notAvailable("_GelTSGainChanged");
}

void GelFlow::atExposure(int)
{
    FlowContext::notAvailable("_GelTSAtExposure");
}

double GelFlow::getExposure()
{
    FlowContext::notAvailable("_GelTSGetExposure");
    return 0.0;
}

double GelFlow::getGain()
{
    FlowContext::notAvailable("_GelTSGetGain");
    return 0.0;
}

void GelFlow::captureStart(int)
{
    FlowContext::notAvailable("_GelTSCaptureStart");
}

void GelFlow::updateExpInfo()
{
    FlowContext::notAvailable("_GelTSUpdateExpInfo");
}

void GelFlow::updateExpName(const QString&, const QString&)
{
    FlowContext::notAvailable("_GelTSUpdateExpName");
}

void GelFlow::cancelCapture()
{
    FlowContext::notAvailable("_GelTSCancelCapture");
}

void GelFlow::updateCurImageName(const QString&)
{
    FlowContext::notAvailable("_GelUpdateCurImageName");
}

void GelFlow::roiChanged()
{
    FlowContext::notAvailable("_GelTSROIChanged");
}

void GelFlow::exitExperiment()
{
    FlowContext::notAvailable("_GelTSExitExperiment");
}

void GelFlow::exitExperiment20BW()
{
    FlowContext::notAvailable("_GelTS20BWExitExperiment");
}

void GelFlow::updateImageShow()
{
    H695ICECamCtrl* cam = m_ctx.tucsen();
    const int index = cam->currentImageIndex;
    if (index == -1)
        return;
    if (!cam->showFrameAsCaptured()) {
        qWarning() << "_GelTSUpdateImageShow: no image" << index;
        return;
    }
    emit m_ctx.imageChanged();
}

void GelFlow::imageListClicked(int index)
{
    if (!imagerefresh::selectTucsenFrame(m_ctx.tucsen(), index, "_GelTSImageListClicked"))
        return;
    updateHisShowAndImageShow();
    updateImageShow();
}

void GelFlow::updateHisShowAndImageShow()
{
    HistogramInfo info;
    if (imagerefresh::tucsenHistogramAt(m_ctx.tucsen(), m_ctx.tucsen()->currentImageIndex, info))
        imagerefresh::drawHistogram(m_ctx, m_ctx.gelLineSeries, info);
}

void GelFlow::openBlueLight20BW(int percent)
{
    m_ctx.sendLightCmd(CmdBluePercent, {static_cast<Data_Bits>(std::clamp(percent, 0, kMaxBluePercent))});
}

void GelFlow::requestBoardType()
{
    m_ctx.sendFrame(CmdGelLight, {BoardTypeQuery});
}

void GelFlow::releaseDoor20BW()
{
    m_ctx.sendFrame(CmdGelLight, {DoorEject});
}

void GelFlow::setAverageGrayThd20BW(int value)
{
    m_ctx.tucsen()->setExposureThreshold(value);
}

void GelFlow::clearCache()
{
    // Frames, their histograms and the shown frame go together: a histogram left behind would
    // describe a frame that no longer exists.
    m_ctx.tucsen()->clearFrameList(false);
    if (experiment) {
        qDebug() << "删除实验信息.";
        experiment.reset();
    }
}
