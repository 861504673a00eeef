#include "wbtsestimatethread.h"

#include "cabinetstate.h"
#include "h695icecamctrl.h"
#include "useropts.h"
#include "wbplan.h"

#include <QDateTime>
#include <QDebug>
#include <QRandomGenerator>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinArea = 8.0;
constexpr double kMaxArea = 75.0;
constexpr int kAttempts = 12;
constexpr int kThresholdPasses = 10;

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

bool wholeImage(const cv::Rect& r, const cv::Mat& image)
{
    return r.width == image.cols && r.height == image.rows;
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
    frame = TUCAM_FRAME {};
    frame.ucFormatGet = TUFRM_FMT_RAW;
    frame.uiRsdSize = 1;
    frameValid = false;
    if (!camCtrl->m_StartWaitFrame(&frame)) {
        emit sig_CamErrorOccur();
    } else {
        const TUCAMRET status = camCtrl->m_WaitForFrame(&frame);
        if (status == TUCAMRET_SUCCESS) {
            frameValid = true;
        } else if (status == TUCAMRET_ABORT) {
            qDebug() << "采集线程abort。";
        } else {
            qDebug() << "m_WaitForFrame failed.";
            emit sig_CamErrorOccur();
        }
    }
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
    camCtrl->stopAll();
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
    msleep(unsigned(vcab::scaledMs(500)));

    const int index = camCtrl->binningIndex;
    int b0 = wbplan::binningFactor(isFL9BW, index);
    if (b0 <= 2)
        b0 = 1;
    const int maxExp = int((300000.0 - randomOffset()) / b0);
    if (isFL9BW) {
        camCtrl->setBinning(5);
        camCtrl->setGain(3.0);
        camCtrl->setROI(TUCAM_ROI_ATTR {1, 0, 36, 372, 336});
    } else {
        camCtrl->setBlackLevel(0);
        camCtrl->setResolution(4);
        camCtrl->setGain(30.0);
    }

    int estimate = maxExp;
    double threshold = 8.0;
    int attempt = 0;
    cv::Mat image;
    int imageExpTime = curExpTime;
    std::vector<std::vector<cv::Point>> contours;
    bool haveRegions = false;

    for (;;) {
        captureReferenceImage();
        // The exposure this image was taken with; curExpTime may move on below.
        imageExpTime = curExpTime;
        image = frameTo8Bit();
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
        if (image.empty()) {
            // No frame: nothing to analyse; try again with the same exposure.
            if (++attempt >= kAttempts)
                break;
            continue;
        }

        int findCount = 0;
        int result = 2;
        bool classified = false;
        cv::Mat binary;
        for (;;) {
            qDebug() << "CurStep:ToThreshold:" << threshold;
            cv::threshold(image, binary, threshold, 255, cv::THRESH_BINARY);
            qDebug() << "CurStep:ToFindContour.";
            contours.clear();
            cv::findContours(binary, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
            result = 2;
            for (const auto& c : contours) {
                const double area = cv::contourArea(c);
                const cv::Rect r = cv::boundingRect(c);
                if (area > kMaxArea && !wholeImage(r, binary)) {
                    qDebug() << "1----" << "areaSize:" << area << "rectSize:" << r.x << r.y << r.width << r.height;
                    result = 0;
                    break;
                }
                if (area >= kMinArea && area <= kMaxArea) {
                    qDebug() << "2----" << "areaSize:" << area << "rectSize:" << r.x << r.y << r.width << r.height;
                    result = 1;
                }
            }
            if (result != 0) {
                classified = result == 1;
                break;
            }
            double s = 0;
            double n = 0;
            for (const auto& c : contours) {
                const cv::Rect r = cv::boundingRect(c);
                if (cv::contourArea(c) <= kMaxArea || wholeImage(r, binary))
                    continue;
                cv::Mat box;
                cv::max(image(r), threshold, box);
                s += cv::sum(box)[0];
                n += double(r.area());
            }
            const double avgIntensity = n > 0 ? s / n : threshold;
            qDebug() << "avgIntensity:" << avgIntensity;
            if (std::abs(avgIntensity - threshold) <= 1.0 || ++findCount == kThresholdPasses) {
                qDebug() << "(qAbs(avgIntensity - curThreshold) <= 1) || (++findCount == 10)";
                result = 1;
                break;
            }
            threshold = avgIntensity;
        }
        if (result == 1) {
            if (classified)
                qDebug() << "contourStep:AreaSizeBetweenMinToMax.";
            haveRegions = true;
            break;
        }
        qDebug() << "contourStep:AreaSizeLessThan2.";
        const double m = cv::mean(binary)[0];
        if (m > 128) {
            if (curExpTime > 20) {
                curExpTime -= 20;
                threshold = cv::mean(image)[0];
            }
        } else {
            curExpTime += 100;
        }
        if (++attempt >= kAttempts)
            break;
    }

    bool done = false;
    if (haveRegions) {
        qDebug() << "CurStep:ToCaclExpTime.";
        double s = 0;
        double n = 0;
        double p = 0;
        for (const auto& c : contours) {
            const cv::Rect r = cv::boundingRect(c);
            if (cv::contourArea(c) < kMinArea || wholeImage(r, image))
                continue;
            const double sb = cv::sum(image(r))[0];
            const double nb = double(r.area());
            s += sb;
            n += nb;
            p = std::max(p, sb / nb);
        }
        if (s != 0 && n != 0) {
            qDebug() << "curExpTime:" << imageExpTime << "avgIntensity:" << p;
            estimate = std::min(maxExp, calcExposureTime(imageExpTime, p));
            done = true;
        }
    }
    if (!done) {
        qDebug() << "执行再预估 曝光时间" << imageExpTime;
        bool found = false;
        if (!image.empty()) {
            const cv::Mat m = image(cv::Rect(image.cols / 4, image.rows / 4, image.cols / 2, image.rows / 2));
            double best = -1;
            int bx = 0;
            int by = 0;
            for (int y = 0; y + 4 <= m.rows; y += 4) {
                for (int x = 0; x + 12 <= m.cols; x += 12) {
                    const double mean = cv::mean(m(cv::Rect(x, y, 12, 4)))[0];
                    if (mean > best) {
                        best = mean;
                        bx = x;
                        by = y;
                        found = true;
                    }
                }
            }
            if (found) {
                const int t = calcExposureTime(imageExpTime, best);
                qDebug() << "找到符合条件的矩形区域: " << bx << by << " 平均灰度: " << best << " 曝光时间: " << t;
                estimate = std::min(maxExp, t);
            }
        }
        if (!found)
            qDebug() << "未找到符合条件的矩形区域";
    }
    estimate = wbplan::clampEstimate(estimate, maxExp);
    qDebug() << "预估时间：" << estimate;
    emit updateEstimateTime(estimate);
}
