#pragma once
// What the gel page hears from the controller, in order: the gel flow's signals by name.

#include "ic_maincontrol.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class GelPage : public QObject {
public:
    explicit GelPage(IC_MainControl* ctrl)
    {
        connect(ctrl, &IC_MainControl::previewStoped, this, [this] { events << "previewStoped"; });
        connect(ctrl, &IC_MainControl::captureStart, this, [this] { events << "captureStart"; });
        connect(ctrl, &IC_MainControl::singleImageCaped, this, [this](QString name, int bin, double exp, int gain) {
            events << "singleImageCaped";
            images << name;
            reports << QStringLiteral("%1 %2 %3").arg(bin).arg(exp).arg(gain);
        });
        connect(ctrl, &IC_MainControl::colorMarkerCaped, this, [this](QString name, int bin, double exp, int gain) {
            events << "colorMarkerCaped";
            images << name;
            reports << QStringLiteral("%1 %2 %3").arg(bin).arg(exp).arg(gain);
        });
        connect(ctrl, &IC_MainControl::captureFinished, this, [this](QString folder) {
            events << "captureFinished";
            finishedFolder = folder;
        });
        connect(ctrl, &IC_MainControl::setAEFinished, this, [this] { events << "setAEFinished"; });
        connect(ctrl, &IC_MainControl::setAFFinished, this, [this] { events << "setAFFinished"; });
    }
    QStringList events;
    QStringList images;
    QStringList reports;  // "<bin> <exposure> <gain>" per report
    QString finishedFolder;
};
