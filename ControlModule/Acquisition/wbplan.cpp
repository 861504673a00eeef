#include "wbplan.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace wbplan {

int toMilliseconds(int value, int unit)
{
    switch (unit) {
    case 0: return value;
    case 1: return value * 1000;
    case 2: return value * 60000;
    default: return 0;
    }
}

std::vector<int> buildExpTimeList(const ExpListInput& in)
{
    std::vector<int> list;
    if (in.listChanged) {
        for (const QString& piece : in.explicitList.split(QLatin1Char(',')))
            list.push_back(piece.trimmed().toInt());
        return list;
    }
    const int first = toMilliseconds(in.first, in.firstUnit);
    const int delta = toMilliseconds(in.delta, in.deltaUnit);
    if (in.integralAccumulate) {
        list.push_back(first);
        for (int k = 1; k < in.count; ++k)
            list.push_back(delta);
        return list;
    }
    for (int k = 0; k < in.count; ++k)
        list.push_back(first + k * delta);
    return list;
}

int framesToAcquire(const PlanInput& in, bool* bounded)
{
    if (bounded)
        *bounded = false;
    if (in.single)
        return (in.singleExposure == 0 || in.markerCapture) ? 1 : 2;
    int n = in.markerCapture ? in.multiCapCount : in.multiCapCount + 1;
    // Sample frames take their exposures from the list; never read past it.
    const int limit = int(in.expTimeList.size()) + (in.markerCapture ? 0 : 1);
    if (n > limit) {
        n = limit;
        if (bounded)
            *bounded = true;
    }
    return std::max(n, 0);
}

namespace {
int sumOf(const std::vector<int>& list, int count)
{
    long long s = 0;
    for (int k = 0; k < count && k < int(list.size()); ++k)
        s += list[size_t(k)];
    return int(std::min<long long>(s, INT32_MAX));
}
} // namespace

FramePlan planFrame(const PlanInput& in, int i)
{
    FramePlan p;
    auto marker = [&] {
        p.sample = false;
        p.light = Light::On;
        p.exposure = in.previewExposure;
    };
    if (in.single) {
        if (in.singleExposure == 0) {
            marker();
            p.savedAsMarker = true;
        } else if (in.markerCapture || i == 1) {
            p.sample = true;
            p.light = Light::Off;
            p.exposure = in.singleExposure;
        } else if (i == 0) {
            marker();
            p.savedAsMarker = true;
        }
        return p;
    }
    if (in.markerCapture) {
        p.sample = true;
        p.light = Light::Off;
        p.accumulated = sumOf(in.expTimeList, i);
        p.exposure = i < int(in.expTimeList.size()) ? in.expTimeList[size_t(i)] : 0;
    } else if (i == 0) {
        marker();
        p.savedAsMarker = true;
    } else if (i == 1) {
        p.sample = true;
        p.light = Light::Off;
        p.exposure = in.expTimeList.empty() ? 0 : in.expTimeList[0];
    } else {
        p.sample = true;
        p.accumulated = sumOf(in.expTimeList, i - 1);
        p.exposure = i - 1 < int(in.expTimeList.size()) ? in.expTimeList[size_t(i - 1)] : 0;
    }
    return p;
}

int32_t frameWaitMs(double exposureMs, double timeScale)
{
    // Readout and transfer of the largest frame take seconds; a minute is ample.
    constexpr double kMarginMs = 60000.0;
    constexpr double kFloorMs = 3600000.0;
    const double t = std::max(kFloorMs, exposureMs * timeScale + kMarginMs);
    return int32_t(std::min(t, double(INT32_MAX)));
}

int calcExposureTime(int curExp, double grey, double target, bool isFL9BW, int binningIndex)
{
    if (grey <= 0)
        return 300000;
    const int b = std::max(binningFactor(isFL9BW, binningIndex), 1);
    const double k = binningIndex == 1 ? 0.9 : (binningIndex >= 2 && binningIndex <= 7) ? 1.2 : 0.6;
    double t = 64.0 / (b * b) * curExp * (target / grey);
    if (!isFL9BW)
        t *= 0.5;
    t *= k;
    if (!std::isfinite(t) || t > double(INT32_MAX))
        return INT32_MAX;
    if (t < double(INT32_MIN))
        return INT32_MIN;
    return int(t);
}

int clampEstimate(int estimate, int maximum)
{
    return std::max(1, std::min(estimate, std::max(maximum, 1)));
}

cv::Rect estimationRect(cv::Size image, double x, double y, double width, double height)
{
    const cv::Rect wanted(int(image.width * x), int(image.height * y), int(image.width * width),
                          int(image.height * height));
    return wanted & cv::Rect(0, 0, image.width, image.height);
}

} // namespace wbplan
