#include "colormarker.h"

#include "cabinetlights.h"
#include "camerarun.h"
#include "h695icecamctrl.h"

#include <QDebug>

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace acq {

namespace {
constexpr int kSettleRounds = 20;
constexpr double kSettledMs = 0.05;
constexpr int kFirstPauseMs = 1000;
constexpr int kLaterPauseMs = 500;
constexpr int kFilterSettleMs = 300;
} // namespace

void settleAutoExposure(H695ICECamCtrl* cam, TUCAM_FRAME* frame, bool isFL9BW)
{
    cam->setAutoExposure(1);
    // The first two comparisons are against -1: at least three frames are read.
    double e1 = -1, e2 = -1, g0 = -1;
    double e = 0, gain = 0;
    int rounds = 0;
    while (!cam->isAbort) {
        cam->m_WaitForFrame(frame);
        e = cam->getExposureTime();
        bool settled = std::abs(e - e1) < kSettledMs && std::abs(e - e2) < kSettledMs;
        if (!isFL9BW) {
            gain = cam->getGain();
            settled = settled && std::abs(gain - g0) < 1;
            g0 = gain;
        }
        e2 = e1;
        e1 = e;
        if (settled)
            break;
        if (rounds == 0) {
            rounds = 1;
            pauseMs(kFirstPauseMs);
        } else {
            pauseMs(kLaterPauseMs);
            if (++rounds >= kSettleRounds)
                break;
        }
    }
    cam->setAutoExposure(0);
    qDebug() << "自动曝光结束 曝光时间: " << e;
    if (!isFL9BW)
        qDebug() << "自动曝光结束 增益: " << gain;
}

bool grabColourFrame(H695ICECamCtrl* cam, CameraRun& run, bool isFL9BW, std::shared_ptr<TsFrame>& record,
                     cv::Mat& plane, const std::function<void(TsFrame&)>& correct,
                     const std::function<void()>& cameraError)
{
    settleAutoExposure(cam, run.frame(), isFL9BW);
    if (run.waitForFrame("采集线程abort。", cameraError) != CameraRun::Wait::Frame)
        return false;
    record = TsFrame::copyOf(run.frame());
    if (!record)
        return false;
    if (correct)
        correct(*record);
    cam->beautifyIfEnabled(record->record());
    plane = record->view().mat().clone();
    return !plane.empty();
}

void stainImage(cv::Mat& image, const QColor& colour)
{
    qDebug() << "开始染色";
    cv::Mat grey8;
    image.convertTo(grey8, CV_8U, 1.0 / 257.0);
    cv::Mat bgr;
    cv::cvtColor(grey8, bgr, cv::COLOR_GRAY2BGR);
    cv::Mat out(bgr.size(), CV_8UC3);
    const double blue = colour.blue(), green = colour.green(), red = colour.red();
    for (int y = 0; y < bgr.rows; ++y) {
        const uint8_t* in = bgr.ptr<uint8_t>(y);
        uint8_t* o = out.ptr<uint8_t>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            const double g = (double(in[3 * x]) + in[3 * x + 1] + in[3 * x + 2]) / 3.0;
            o[3 * x] = uint8_t(g * blue / 255.0);
            o[3 * x + 1] = uint8_t(g * green / 255.0);
            o[3 * x + 2] = uint8_t(g * red / 255.0);
        }
    }
    image = out;
    qDebug() << "染色结束：" << colour;
}

bool composeColorMarker(std::array<cv::Mat, 3>& planes)
{
    const bool complete = !planes[0].empty() && planes[0].type() == CV_16UC1
                          && planes[1].size() == planes[0].size() && planes[2].size() == planes[0].size()
                          && planes[1].type() == CV_16UC1 && planes[2].type() == CV_16UC1;
    if (!complete) {
        qWarning() << "colour marker incomplete: a colour frame is missing or of another size";
        for (cv::Mat& plane : planes)
            plane.release();
        return false;
    }
    const double m = cv::mean(planes[0])[0];
    if (m != 0) {
        for (cv::Mat& plane : planes)
            plane = H695ICECamCtrl::adjust16UToTargetMean(plane, m);
    }
    stainImage(planes[0], QColor(Qt::green));
    stainImage(planes[1], QColor(Qt::red));
    stainImage(planes[2], QColor(Qt::blue));
    const int bytes = int(planes[0].total()) * 3;
    H695ICECamCtrl::mergeImages(bytes, 1, planes[0].ptr<uint8_t>(), planes[1].ptr<uint8_t>());
    H695ICECamCtrl::mergeImages(bytes, 1, planes[0].ptr<uint8_t>(), planes[2].ptr<uint8_t>());
    return true;
}

void endCancelledMarker(H695ICECamCtrl* cam, CameraRun& run, CabinetLights& lights, quint8 backFilter)
{
    run.stop();
    lights.send(backFilter);
    pauseMs(kFilterSettleMs);
    lights.lightOff();
    cam->setGain(double(cam->gain.load()));
    cam->setExposureTime(cam->exposureTime);
}

} // namespace acq
