#pragma once
// The gel flow's road tests start and end alike: the cabinet brought up as the program brings
// it up (model from machine.ini, devices, the board's handshake), the gel page's side of the
// controller with its chart, the preview under UV302C; at the end the experiment left and the
// camera closed so that the next case finds it free.
#include "controllertest.h"
#include "gelpage.h"

#include "gelflow.h"
#include "h695icecamctrl.h"

#include <QSignalSpy>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <memory>

class GelRig {
public:
    ControllerRig rig;
    IC_MainControl* const ctrl = rig.ctrl.get();
    QtCharts::QLineSeries series;
    std::unique_ptr<GelPage> page;
    QSignalSpy frames {ctrl, &IC_MainControl::imageChanged};
    // What went wrong when a step below returns false.
    QString failure;

    bool bringUp()
    {
        ctrl->initMachine();
        QSignalSpy camInit(ctrl, &IC_MainControl::camInitFinish);
        ctrl->initDevice();
        if (!camInit.wait(20000))
            return fail(QStringLiteral("the camera did not come up"));
        if (!QTest::qWaitFor([] { return logged(QStringLiteral("握手成功。")); }, 20000))
            return fail(QStringLiteral("no handshake with the board"));
        if (ctrl->errorCode() != EnumOBJ::NoErr)
            return fail(QStringLiteral("error code %1 after bring-up").arg(int(ctrl->errorCode())));
        return true;
    }

    // Gel mode, the page's listener and chart, UV302C, and the first preview frame.
    bool startPreview()
    {
        ctrl->setExpMode(EnumOBJ::Gel);
        ctrl->setGelLineSeries(&series);
        page = std::make_unique<GelPage>(ctrl);
        ctrl->_GelTSLightChanged(EnumOBJ::UV302C, false, 0);
        frames.clear();
        ctrl->_GelTSPreviewStart();
        return frames.wait(20000) || fail(QStringLiteral("no preview frame"));
    }

    // Light off, experiment left, both threads gone, camera closed.
    bool finish()
    {
        ctrl->lightCmd(EnumOBJ::UV302C, false);
        ctrl->_GelTSExitExperiment();
        const bool ended = QTest::qWaitFor(
            [this] { return !ctrl->gel()->preview.thread() && !ctrl->gel()->captureThread; }, 20000);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        H695ICECamCtrl::getInstance()->closeCamera();
        return ended || fail(QStringLiteral("the preview or capture thread did not end"));
    }

private:
    bool fail(const QString& what)
    {
        failure = what;
        return false;
    }
};
