#include "wbtsestimatethread.h"

#include "pacing.h"
#include "camerarun.h"
#include "exposureestimate.h"
#include "h695icecamctrl.h"
#include "useropts.h"
#include "wbplan.h"

#include <QDateTime>
#include <QDebug>
#include <QRandomGenerator>

namespace {

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace

WBTSEstimateThread::WBTSEstimateThread(QObject* parent)
    : QThread(parent)
    , camCtrl(H695ICECamCtrl::getInstance())
    , userOpts(UserOpts::getInstance())
{
}

WBTSEstimateThread::~WBTSEstimateThread() = default;

bool WBTSEstimateThread::captureReferenceImage()
{
    qDebug() << "开始采集参考图像：" << now();
    camCtrl->setExposureTime(double(curExpTime));
    frame = acq::freshFrameRecord();
    frameValid = false;
    // Stopped by frameTo8Bit once the frame has been read (the pixels are the driver's until then).
    referenceRun = std::make_unique<acq::CameraRun>(camCtrl, &frame);
    if (!referenceRun->start())
        emit sig_CamErrorOccur();
    else
        frameValid = referenceRun->waitForFrame("采集线程abort。", [this] { emit sig_CamErrorOccur(); })
                     == acq::CameraRun::Wait::Frame;
    qDebug() << "结束采集图像：" << now();
    return frameValid;
}

cv::Mat WBTSEstimateThread::frameTo8Bit()
{
    cv::Mat out;
    // Only a frame that arrived is read: after a failed wait the record's size is stale.
    if (frameValid) {
        const FrameView view = H695ICECamCtrl::viewOf(&frame);
        if (!view.empty()) {
            out.create(view.height, view.width, CV_8UC1);
            uint8_t* o = out.ptr<uint8_t>();
            const size_t n = view.count();
            for (size_t i = 0; i < n; ++i)
                o[i] = uint8_t(view.pixels[i] >> 8);
        }
    }
    // One stopAll, whichever way the reference ended.
    if (referenceRun && referenceRun->running())
        referenceRun->stop();
    else
        camCtrl->stopAll();
    referenceRun.reset();
    return out;
}

int WBTSEstimateThread::calcExposureTime(int curExp, double grey)
{
    if (grey <= 0) {
        qDebug() << "预估灰度值<=0，返回最大预估时间";
        return 300000;
    }
    return wbplan::calcExposureTime(curExp, grey, grayTarget, isFL9BW, camCtrl->binningIndex);
}

int WBTSEstimateThread::randomOffset()
{
    return int(QRandomGenerator::global()->bounded(10000));
}

void WBTSEstimateThread::run()
{
    qDebug() << "预估线程开始运行。";
    userOpts->loadUserOptsByName(UserOpts::OPT_GrayTarget);
    grayTarget = double(userOpts->grayTarget());
    qDebug() << "预估线程: " << grayTarget;
    msleep(unsigned(pacing::scaledMs(500)));

    const int index = camCtrl->binningIndex;
    int b0 = wbplan::binningFactor(isFL9BW, index);
    if (b0 <= 2)
        b0 = 1;
    wbestimate::EstimateInput in;
    in.startExposure = curExpTime;
    in.maximum = int((300000.0 - (offsetSource ? offsetSource() : randomOffset())) / b0);
    in.grayTarget = grayTarget;
    in.isFL9BW = isFL9BW;
    in.binningIndex = index;
    if (isFL9BW) {
        camCtrl->setBinning(5);
        camCtrl->setGain(3.0);
        camCtrl->setROI(TUCAM_ROI_ATTR {1, 0, 36, 372, 336});
    } else {
        camCtrl->setBlackLevel(0);
        camCtrl->setResolution(4);
        camCtrl->setGain(30.0);
    }

    const wbestimate::Estimate estimate = wbestimate::estimateExposure(in, [this](int exposure) {
        curExpTime = exposure;
        captureReferenceImage();
        cv::Mat image = frameTo8Bit();
        const EstimateRoi region = camCtrl->estimateRoi();
        if (!image.empty() && region.enabled) {
            const cv::Rect roi =
                wbplan::estimationRect(image.size(), region.x, region.y, region.width, region.height);
            if (roi.empty()) {
                qDebug() << "estimation region outside the image, ignored";
            } else {
                qDebug() << "裁切后预估roiRect: " << roi.x << roi.y << roi.width << roi.height;
                image = image(roi);
            }
        }
        return image;
    });
    curExpTime = estimate.referenceExposure;
    qDebug() << "预估时间：" << estimate.exposure;
    emit updateEstimateTime(estimate.exposure);
}
