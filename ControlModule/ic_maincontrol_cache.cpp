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

// Frames, their histograms and the display frame of the Tucsen camera go together
// (clearFrameList): a histogram left behind would describe a frame that no longer exists.
void IC_MainControl::clearGelCache()
{
    h695ICECamCtrl->clearFrameList(false);
    if (gelExp) {
        qDebug() << "删除实验信息.";
        delete gelExp;
        gelExp = nullptr;
    }
}

void IC_MainControl::clearMultCache()
{
    h695ICECamCtrl->clearFrameList(true);
    if (multExp) {
        qDebug() << "删除实验信息.";
        delete multExp;
        multExp = nullptr;
    }
}

void IC_MainControl::clearWBTSCache()
{
    h695ICECamCtrl->clearFrameList(true);
    delete wbExp;
    wbExp = nullptr;
    wbTSMarkerList.clear();
    wbTSColorMarkerList.clear();
    h695ICECamCtrl->clearOverExposure();
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
