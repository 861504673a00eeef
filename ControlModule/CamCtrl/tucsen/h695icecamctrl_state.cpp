// The experiment name and the regions the controller shares between threads: read and written
// under m_state, for value copies only.

#include "h695icecamctrl.h"

using Lock = std::lock_guard<std::mutex>;

QString H695ICECamCtrl::expName() const
{
    Lock lock(m_state);
    return m_expName;
}

void H695ICECamCtrl::setExpName(const QString& name)
{
    Lock lock(m_state);
    m_expName = name;
}

void H695ICECamCtrl::setEstimateRoi(double x, double y, double width, double height)
{
    Lock lock(m_state);
    m_estimateRoi = EstimateRoi {true, x, y, width, height};
}

void H695ICECamCtrl::removeEstimateRoi()
{
    Lock lock(m_state);
    m_estimateRoi = EstimateRoi {};
}

EstimateRoi H695ICECamCtrl::estimateRoi() const
{
    Lock lock(m_state);
    return m_estimateRoi;
}

void H695ICECamCtrl::setRoiEnabled(bool enabled)
{
    Lock lock(m_state);
    m_roi.enabled = enabled;
}

void H695ICECamCtrl::setCropRect(int x, int y, int width, int height)
{
    Lock lock(m_state);
    m_roi.setCropRect(x, y, width, height);
}

RegionOfInterest H695ICECamCtrl::roi() const
{
    Lock lock(m_state);
    return m_roi;
}

QList<QRect> H695ICECamCtrl::detectedRects() const
{
    Lock lock(m_state);
    return m_detectedRects;
}

void H695ICECamCtrl::setDetectedRects(const std::vector<cv::Rect>& rects)
{
    QList<QRect> list;
    for (const cv::Rect& r : rects)
        list.append(QRect(r.x, r.y, r.width, r.height));
    Lock lock(m_state);
    m_detectedRects.swap(list);
}
