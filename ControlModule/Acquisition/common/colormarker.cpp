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
    if (grey8.channels() != 1) {
        qWarning() << "stainImage: not a grey picture" << grey8.channels();
        return;
    }
    // The grey picture made BGR has B = G = R = v, so the mean of the three is v: each output byte
    // is trunc(v x component / 255), read from a table per component.
    const double components[3] = {double(colour.blue()), double(colour.green()), double(colour.red())};
    uint8_t table[3][256];
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            table[c][v] = uint8_t(double(v) * components[c] / 255.0);
    cv::Mat out(grey8.size(), CV_8UC3);
    for (int y = 0; y < grey8.rows; ++y) {
        const uint8_t* in = grey8.ptr<uint8_t>(y);
        uint8_t* o = out.ptr<uint8_t>(y);
        for (int x = 0; x < grey8.cols; ++x) {
            const uint8_t v = in[x];
            o[3 * x] = table[0][v];
            o[3 * x + 1] = table[1][v];
            o[3 * x + 2] = table[2][v];
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
    // Tinted pure green, red and blue, the three frames share no channel, so the screen blend of
    // their bytes only ever meets a zero and adds: the picture is the three 8-bit frames side by
    // side. Built so, a band of rows at a time (each step is per pixel, so a band gives the rows
    // the whole frame would), it is the same picture as tinting and blending whole BGR pictures
    // (tested against them) without their memory.
    const double m = cv::mean(planes[0])[0];
    const QColor tints[3] = {QColor(Qt::green), QColor(Qt::red), QColor(Qt::blue)};
    const int channelOf[3] = {1, 2, 0};
    // adjust16UToTargetMean's factor; a frame of mean 0, or any frame when the first one's mean
    // is 0, keeps its levels.
    double factor[3] = {1, 1, 1};
    bool scaled[3] = {false, false, false};
    for (int i = 0; i < 3; ++i) {
        qDebug() << "开始染色";
        const double own = m != 0 ? cv::mean(planes[size_t(i)])[0] : 0;
        if (own != 0) {
            factor[i] = m / own;
            scaled[i] = true;
        }
        qDebug() << "染色结束：" << tints[i];
    }
    constexpr int kBandRows = 32;
    cv::Mat picture(planes[0].size(), CV_8UC3);
    std::vector<cv::Mat> channels(3);
    cv::Mat evened;
    for (int y = 0; y < picture.rows; y += kBandRows) {
        const cv::Range rows(y, std::min(y + kBandRows, picture.rows));
        for (int i = 0; i < 3; ++i) {
            const cv::Mat band = planes[size_t(i)].rowRange(rows);
            const cv::Mat* source = &band;
            if (scaled[i]) {
                band.convertTo(evened, CV_16U, factor[i]);
                source = &evened;
            }
            source->convertTo(channels[size_t(channelOf[i])], CV_8U, 1.0 / 257.0);
        }
        cv::Mat out = picture.rowRange(rows);
        cv::merge(channels, out);
    }
    planes[0] = picture;
    planes[1].release();
    planes[2].release();
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
