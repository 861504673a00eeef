#include "ic_maincontrol.h"

#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "kestrixctrl.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

void IC_MainControl::removeDirFiles(const QString& dir)
{
    QDir folder(dir);
    if (!folder.exists())
        return;
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        if (!QFile::remove(file.absoluteFilePath())) {
            qDebug() << "Failed to remove file:" << file.absoluteFilePath();
            return;
        }
    }
}

// Frames, their histograms and the display frame of the Tucsen camera go together: a histogram
// left behind would describe a frame that no longer exists.
void IC_MainControl::clearTSFrames(bool logHistograms)
{
    H695ICECamCtrl* cam = h695ICECamCtrl;
    QMutexLocker lock(&cam->frameListMutex);
    if (!cam->frameList.empty()) {
        qDebug() << "删除上次采集图像缓存." << cam->frameList.size();
        for (TUCAM_FRAME*& frame : cam->frameList)
            H695ICECamCtrl::freeFrame(&frame);
        cam->frameList.clear();
    }
    if (!cam->histogramCache.empty()) {
        if (logHistograms)
            qDebug() << "删除上次直方图信息缓存.";
        for (HistogramInfo* info : cam->histogramCache)
            delete info;
        cam->histogramCache.clear();
    }
    cam->currentImageIndex = -1;
    if (cam->stretchFrame) {
        qDebug() << "删除上次直方图拉伸缓存.";
        H695ICECamCtrl::freeFrame(&cam->stretchFrame);
    }
}

void IC_MainControl::clearGelCache()
{
    clearTSFrames(false);
    if (gelExp) {
        qDebug() << "删除实验信息.";
        delete gelExp;
        gelExp = nullptr;
    }
}

void IC_MainControl::clearMultCache()
{
    clearTSFrames(true);
    if (multExp) {
        qDebug() << "删除实验信息.";
        delete multExp;
        multExp = nullptr;
    }
}

void IC_MainControl::clearWBTSCache()
{
    clearTSFrames(true);
    delete wbExp;
    wbExp = nullptr;
    wbTSMarkerList.clear();
    wbTSColorMarkerList.clear();
    QMutexLocker lock(&h695ICECamCtrl->frameListMutex);
    if (!h695ICECamCtrl->overExposureMarks.empty() || !h695ICECamCtrl->overExposureSum.empty()) {
        qDebug() << "删除过曝标记缓存";
        h695ICECamCtrl->overExposureMarks.clear();
        h695ICECamCtrl->overExposureMarks.shrink_to_fit();
        h695ICECamCtrl->overExposureSum.clear();
        h695ICECamCtrl->overExposureSum.shrink_to_fit();
    }
}

void IC_MainControl::clearWBQICache()
{
    const int frames = kestrixCtrl->frameCount();
    if (frames > 0)
        qDebug() << "删除上次采集图像缓存." << frames;
    if (kestrixCtrl->histogramCount() > 0)
        qDebug() << "删除上次直方图信息缓存.";
    if (!kestrixCtrl->displayFrame.empty())
        qDebug() << "删除上次直方图拉伸缓存.";
    kestrixCtrl->clearFrames();
    delete wbExp;
    wbExp = nullptr;
    wbQIMarkerList.clear();
}
