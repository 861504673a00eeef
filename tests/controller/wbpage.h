#pragma once
// What the Western-blot page hears from the controller, in order: the flow's signals by name;
// and the main light commands the board received. Both camera paths' flow tests use it.

#include "boardtestcontrol.h"
#include "ic_maincontrol.h"
#include "useropts.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class WbPage : public QObject {
public:
    explicit WbPage(IC_MainControl* ctrl)
    {
        connect(ctrl, &IC_MainControl::previewStoped, this, [this] { events << "previewStoped"; });
        connect(ctrl, &IC_MainControl::estimateStart, this, [this] { events << "estimateStart"; });
        connect(ctrl, &IC_MainControl::updateEstimateTime, this, [this](int t) {
            events << "updateEstimateTime";
            // The page keeps the estimate as the exposure of the single capture.
            UserOpts::getInstance()->setSingleCapExpTime(t);
            UserOpts::getInstance()->saveUserOptsByName(UserOpts::OPT_SingleCapExpTime);
            estimate = t;
        });
        connect(ctrl, &IC_MainControl::captureStart, this, [this] { events << "captureStart"; });
        connect(ctrl, &IC_MainControl::singleImageCaped, this, [this](QString name, int bin, double exp, int) {
            events << "singleImageCaped";
            images << name;
            bins << bin;
            exposures << exp;
        });
        connect(ctrl, &IC_MainControl::captureFinished, this, [this](QString folder) {
            events << "captureFinished";
            finishedFolder = folder;
        });
        connect(ctrl, &IC_MainControl::lightStatusChange, this, [this](bool on) { lights << on; });
    }
    QStringList events;
    QStringList images;
    QList<int> bins;
    QList<double> exposures;
    QList<bool> lights;
    QString finishedFolder;
    int estimate = -1;
};

// Data bytes of every 0xF2 command the board received, in order ("01 02", "c1").
inline QStringList mainLightCommands(vboard::BoardTestControl& control)
{
    QStringList out;
    for (const QByteArray& f : control.receivedFrames()) {
        if (f.size() < 5 || quint8(f[2]) != 0xF2)
            continue;
        out << QString::fromLatin1(f.mid(4, quint8(f[3])).toHex(' '));
    }
    return out;
}
