#pragma once
// Exposure estimation of an automatic Western-blot capture on the Kestrix camera: reference
// frames of the whole sensor at 16 x 16 binning, bright regions found by threshold and contours,
// their grey scaled to the target and to the binning of the capture. The result leaves as
// updateEstimateTime (ms); an abort ends the thread without one.

#include <QThread>

#include <opencv2/core.hpp>

#include <cstdint>
#include <functional>

#include "kestrix64.h"

class KestrixCtrl;

class WBQIEstimateThread : public QThread {
    Q_OBJECT
public:
    explicit WBQIEstimateThread(QObject* parent = nullptr);
    ~WBQIEstimateThread() override;

    // Reference exposure (ms): 100 at first, 100 more after each attempt that decided nothing; a
    // second run of the same object goes on from there.
    int32_t curExpTime = 100;
    rgn_type referenceRegion {};
    // Longest wait for one reference frame (ms).
    int frameTimeoutMs = 3600000;
    // Where the offset that lowers the ceiling comes from (tests fix it); randomOffset by default.
    std::function<int()> offsetSource;

    // One reference exposure converted to 8 bits (the high byte of each pixel) into image.
    enum class Grab { Frame, NoFrame, Aborted, Failed };
    Grab captureReferenceImage(cv::Mat& image);
    static int randomOffset();

signals:
    void sig_CamErrorOccur();
    void updateEstimateTime(int estimateTime);

protected:
    void run() override;

private:
    // Logs "camera errorCode:", the library's code and text; emits sig_CamErrorOccur.
    void reportError(const char* text);

    KestrixCtrl* kx;
};
