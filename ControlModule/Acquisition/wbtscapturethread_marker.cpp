// Frame work of the capture thread: integral accumulation and the colour marker.

#include "wbtscapturethread.h"

#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "lightctrl.h"
#include "useropts.h"

#include <QDebug>
#include <QMutexLocker>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kAutoExposureRounds = 20;
constexpr double kSettledMs = 0.05;
}

void WBTSCaptureThread::addOverExposureInfo(int index, TsFrame& frame)
{
    if (index < (userOpts->markerCapture() ? 1 : 2))
        return;
    // The frame before it already holds the sum of all earlier ones.
    const int count = camCtrl->frameCount();
    const TsFramePtr previous = camCtrl->frameAt(count - 1);
    const FrameView a = previous ? previous->view() : FrameView {};
    const FrameView b = frame.view();
    if (a.count() != b.count() || a.empty()) {
        qWarning() << "accumulation skipped: frames of different sizes" << a.width << a.height << b.width << b.height;
        return;
    }
    const int d = isFL9BW ? 400 : 30;
    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    const int bk = int(userOpts->sampleImageBkColor());
    const size_t n = a.count();
    const uint16_t* pp = a.pixels;
    uint16_t* qq = b.pixels;
    if (bk == UserOpts::Black) {
        for (size_t i = 0; i < n; ++i) {
            const int s = int(pp[i]) + int(qq[i]);
            qq[i] = s <= d ? 0 : uint16_t(std::min(s - d, 65535));
        }
    } else if (bk == UserOpts::White) {
        // Stored inverted: the sum of the signals is the sum of the complements' excess.
        for (size_t i = 0; i < n; ++i) {
            const int s = int(pp[i]) + int(qq[i]) + d;
            qq[i] = s <= 65535 ? 0 : uint16_t(std::min(s - 65535, 65535));
        }
    }
}

void WBTSCaptureThread::autoExposureWait()
{
    camCtrl->setAutoExposure(1);
    double e1 = -1, e2 = -1, g0 = -1;
    double e = 0, gain = 0;
    int k = 0;
    for (;;) {
        if (camCtrl->isAbort)
            break;
        camCtrl->m_WaitForFrame(&frame);
        e = camCtrl->getExposureTime();
        bool settled = std::abs(e - e1) < kSettledMs && std::abs(e - e2) < kSettledMs;
        if (!isFL9BW) {
            gain = camCtrl->getGain();
            settled = settled && std::abs(gain - g0) < 1;
            g0 = gain;
        }
        e2 = e1;
        e1 = e;
        if (settled)
            break;
        if (k == 0) {
            sleepMs(1000);
            k = 1;
            if (camCtrl->isAbort)
                break;
        } else {
            ++k;
            sleepMs(500);
            if (k >= kAutoExposureRounds)
                break;
        }
    }
    camCtrl->setAutoExposure(0);
    qDebug() << "自动曝光结束 曝光时间: " << e;
    if (!isFL9BW)
        qDebug() << "自动曝光结束 增益: " << gain;
}

bool WBTSCaptureThread::grabFrame(int slot)
{
    autoExposureWait();
    const TUCAMRET r = camCtrl->m_WaitForFrame(&frame);
    if (r == TUCAMRET_SUCCESS) {
        H695ICECamCtrl::freeFrame(&colorFrameRecords[size_t(slot)]);
        TUCAM_FRAME* copy = H695ICECamCtrl::copyFrame(&frame);
        if (!copy)
            return false;
        colorFrameRecords[size_t(slot)] = copy;
        camCtrl->beautifyIfEnabled(copy);
        colorPlanes[size_t(slot)] = H695ICECamCtrl::viewOf(copy).mat().clone();
        return !colorPlanes[size_t(slot)].empty();
    }
    if (r == TUCAMRET_ABORT) {
        qDebug() << "采集线程abort。";
        camCtrl->stopCapture();
        camCtrl->releaseBuffer();
        return false;
    }
    qDebug() << "m_WaitForFrame failed.";
    emit sig_CamErrorOccur();
    return false;
}

void WBTSCaptureThread::staining(cv::Mat& image, const cv::Scalar& colour)
{
    qDebug() << "开始染色";
    cv::Mat grey8;
    image.convertTo(grey8, CV_8U, 1.0 / 257.0);
    cv::Mat bgr;
    cv::cvtColor(grey8, bgr, cv::COLOR_GRAY2BGR);
    cv::Mat out(bgr.size(), CV_8UC3);
    // Three equal channels: the mean is the grey itself.
    for (int y = 0; y < bgr.rows; ++y) {
        const uint8_t* in = bgr.ptr<uint8_t>(y);
        uint8_t* o = out.ptr<uint8_t>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            const double g = (double(in[3 * x]) + in[3 * x + 1] + in[3 * x + 2]) / 3.0;
            o[3 * x] = uint8_t(g * colour[0] / 255.0);
            o[3 * x + 1] = uint8_t(g * colour[1] / 255.0);
            o[3 * x + 2] = uint8_t(g * colour[2] / 255.0);
        }
    }
    image = out;
    qDebug() << "染色结束：" << colour[0] << colour[1] << colour[2];
}

void WBTSCaptureThread::composeColorMarker()
{
    const double m = cv::mean(colorPlanes[0])[0];
    if (m != 0) {
        for (cv::Mat& plane : colorPlanes)
            plane = H695ICECamCtrl::adjust16UToTargetMean(plane, m);
    }
    // BGR order: green, red, blue tints.
    staining(colorPlanes[0], cv::Scalar(0, 255, 0));
    staining(colorPlanes[1], cv::Scalar(0, 0, 255));
    staining(colorPlanes[2], cv::Scalar(255, 0, 0));
    const int pixels = colorPlanes[0].rows * colorPlanes[0].cols;
    H695ICECamCtrl::mergeImages(pixels * 3, 1, colorPlanes[0].ptr<uint8_t>(), colorPlanes[1].ptr<uint8_t>());
    H695ICECamCtrl::mergeImages(pixels * 3, 1, colorPlanes[0].ptr<uint8_t>(), colorPlanes[2].ptr<uint8_t>());
}

namespace {
bool sameSizes(const std::array<cv::Mat, 3>& planes)
{
    return !planes[0].empty() && planes[0].type() == CV_16UC1 && planes[1].size() == planes[0].size()
           && planes[2].size() == planes[0].size() && planes[1].type() == CV_16UC1 && planes[2].type() == CV_16UC1;
}
} // namespace

bool WBTSCaptureThread::captureColorMarker()
{
    qDebug() << "开始彩色Marker，设置前景曝光时间: " << camCtrl->exposureTime.load();
    camCtrl->setExposureTime(camCtrl->exposureTime);
    sleepMs(300);
    const int index = camCtrl->binningIndex;
    if (isFL9BW) {
        camCtrl->setGain(index <= 0 ? 2 : index == 1 ? 1 : 0);
        camCtrl->setExposureThreshold(15);
    }
    for (cv::Mat& plane : colorPlanes)
        plane.release();
    if (!startCamera()) {
        emit sig_CamErrorOccur();
        return false;
    }
    camCtrl->semCap.release(1);

    struct Step {
        quint8 on;
        quint8 off;
    };
    const Step steps[3] = {{GreenLightOn, GreenLightOff}, {RedLightOn, RedLightOff}, {BlueLightOn, BlueLightOff}};
    bool allGrabbed = true;
    for (int slot = 0; slot < 3; ++slot) {
        sendLight(steps[slot].on);
        sleepMs(300);
        if (camCtrl->isAbort) {
            camCtrl->stopAll();
            sendLight(steps[slot].off);
            camCtrl->setGain(double(camCtrl->gain.load()));
            return false;
        }
        allGrabbed = grabFrame(slot) && allGrabbed;
        // Each colour alone: the light of this step goes off before the next one comes on.
        if (slot < 2)
            sendLight(steps[slot].off);
    }
    camCtrl->stopAll();
    sendLight(BlueLightOff);
    sleepMs(300);
    if (!allGrabbed || !sameSizes(colorPlanes)) {
        qWarning() << "colour marker incomplete: a colour frame is missing or of another size";
        for (cv::Mat& plane : colorPlanes)
            plane.release();
        return false;
    }
    composeColorMarker();
    qDebug() << "结束拍摄彩色marker";
    return true;
}

bool WBTSCaptureThread::checkAbort()
{
    if (!camCtrl->isAbort)
        return false;
    camCtrl->stopAll();
    sendLight(Filter0);
    sleepMs(300);
    lightOff();
    camCtrl->setGain(double(camCtrl->gain.load()));
    camCtrl->setExposureTime(camCtrl->exposureTime);
    return true;
}

bool WBTSCaptureThread::captureColorMarkerWithLight()
{
    qDebug() << "开始彩色Marker，设置前景曝光时间: " << camCtrl->exposureTime.load();
    camCtrl->setExposureTime(camCtrl->exposureTime);
    const int index = camCtrl->binningIndex;
    if (isFL9BW)
        camCtrl->setGain(index <= 0 ? 2 : index == 1 ? 1 : 0);
    for (cv::Mat& plane : colorPlanes)
        plane.release();
    if (!startCamera()) {
        emit sig_CamErrorOccur();
        return false;
    }
    camCtrl->semCap.release(1);
    lightOn();
    if (checkAbort())
        return false;
    bool allGrabbed = true;
    sendLight(Filter535);
    sleepMs(1000);
    allGrabbed = grabFrame(0) && allGrabbed;
    if (checkAbort())
        return false;
    sendLight(Filter605);
    sleepMs(1000);
    allGrabbed = grabFrame(1) && allGrabbed;
    if (checkAbort())
        return false;
    sendLight(Filter715_840);
    sleepMs(2000);
    allGrabbed = grabFrame(2) && allGrabbed;
    camCtrl->stopAll();
    sendLight(Filter0);
    if (!allGrabbed || !sameSizes(colorPlanes)) {
        qWarning() << "colour marker incomplete: a colour frame is missing or of another size";
        for (cv::Mat& plane : colorPlanes)
            plane.release();
        return false;
    }
    composeColorMarker();
    qDebug() << "结束拍摄彩色marker";
    return true;
}
