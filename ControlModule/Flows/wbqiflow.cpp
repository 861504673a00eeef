#include "wbqiflow.h"

#include "experimentrecord.h"
#include "flowcontext.h"
#include "histograminfo.h"
#include "imagerefresh.h"
#include "kestrixctrl.h"

#include <QDebug>

WBQIFlow::WBQIFlow(FlowContext& ctx, QObject* parent)
    : QObject(parent)
    , m_ctx(ctx)
{
}

WBQIFlow::~WBQIFlow() = default;

void WBQIFlow::previewStart()
{
    FlowContext::notAvailable("_WBQIPreviewStart");
}

void WBQIFlow::binChanged(int, int, int)
{
    FlowContext::notAvailable("_WBQIBinChanged");
}

void WBQIFlow::preExpChanged(int)
{
    FlowContext::notAvailable("_WBQIPreExpChanged");
}

void WBQIFlow::gainChanged(int)
{
    FlowContext::notAvailable("_WBQIGainChanged");
}

void WBQIFlow::captureStart(bool)
{
    FlowContext::notAvailable("_WBQICaptureStart");
}

void WBQIFlow::cancelCapture()
{
    FlowContext::notAvailable("_WBQICancelCapture");
}

void WBQIFlow::exitExperiment()
{
    FlowContext::notAvailable("_WBQIExitExperiment");
}

void WBQIFlow::finishHandle()
{
    FlowContext::notAvailable("finishHandle");
}

double WBQIFlow::getTem()
{
    FlowContext::notAvailable("_WBQIGetTem");
    return 0.0;
}

void WBQIFlow::closeCamAndUnInit()
{
    FlowContext::notAvailable("_QICloseCamAndUnInit");
}

void WBQIFlow::updateImageShow(int minInten, int maxInten)
{
    KestrixCtrl* kx = m_ctx.kestrix();
    kx->stretchLow = minInten;
    kx->stretchHigh = maxInten;
    const int index = kx->curImageIndex;
    if (index < 0 || index >= kx->frameCount()) {
        qWarning() << "_WBQIUpdateImageShow: no image" << index;
        return;
    }
    kx->displayFrame = kx->frameAt(index);
    kx->stretchLevels(kx->displayFrame, minInten, maxInten);
    emit m_ctx.imageChanged();
}

void WBQIFlow::imageListClicked(int index)
{
    KestrixCtrl* kx = m_ctx.kestrix();
    if (index < 0 || index >= kx->frameCount()) {
        qWarning() << "_WBQIImageListClicked: no image" << index;
        return;
    }
    kx->curImageIndex = index;
    updateHisShowAndImageShow();
}

void WBQIFlow::updateHisShowAndImageShow()
{
    KestrixCtrl* kx = m_ctx.kestrix();
    const int index = kx->curImageIndex;
    if (index < 0 || index >= kx->histogramCount()) {
        qWarning() << "no histogram for image index" << index << "of" << kx->histogramCount();
        return;
    }
    const HistogramInfo info = kx->histogramAt(index);
    imagerefresh::drawHistogram(m_ctx, m_ctx.wbLineSeries, info);
    updateImageShow(info.low, info.high);
}

void WBQIFlow::clearCache()
{
    KestrixCtrl* kx = m_ctx.kestrix();
    const int frames = kx->frameCount();
    if (frames > 0)
        qDebug() << "删除上次采集图像缓存." << frames;
    if (kx->histogramCount() > 0)
        qDebug() << "删除上次直方图信息缓存.";
    if (!kx->displayFrame.empty())
        qDebug() << "删除上次直方图拉伸缓存.";
    kx->clearFrames();
    experiment.reset();
    markerList.clear();
}
