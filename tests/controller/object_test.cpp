// The controller object: its state after construction, its properties as QML writes them, the
// error slots, the link's frames reaching the dispatcher, the placeholders of flows still to
// come, and the continuation of a finished thread.
#include "controllertest.h"

#include "flowcontext.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "lensflow.h"
#include "multflow.h"
#include "tucsenautoexposure.h"
#include "wbqiflow.h"
#include "wbtsflow.h"
#include "kestrixctrl.h"
#include "lightctrl.h"
#include "modbusmaster.h"
#include "testappdir.h"
#include "tucam_test.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

class ObjectTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    std::unique_ptr<ControllerRig> rig;

private slots:
    void init() { rig = std::make_unique<ControllerRig>(); }
    void cleanup() { rig.reset(); }

    void valuesAfterConstruction()
    {
        const IC_MainControl& c = *rig->ctrl;
        QCOMPARE(c.machineName(), EnumOBJ::Unknow_MachineName);
        QCOMPARE(c.authorityType(), EnumOBJ::Unknow_AuthorityType);
        QCOMPARE(c.expMode(), EnumOBJ::Unknow_ExpMode);
        QCOMPARE(c.errorCode(), EnumOBJ::NoErr);
        QCOMPARE(c.singleCaptureVisible(), true);
        QCOMPARE(c.curExpName(), QString());
        QCOMPARE(c.sum2BinIndex(), 0);
        QCOMPARE(c.serialPortFound, false);
        QCOMPARE(int(c.receiveFailCount), 0);
        QCOMPARE(int(c.resendCount), 0);
        QCOMPARE(c.context()->curLightType(), 0);
        QVERIFY(!c.wbQI()->preview.thread() && !c.wbQI()->estimateThread && !c.wbQI()->captureThread);
        QVERIFY(!c.wbTS()->preview.thread() && !c.wbTS()->estimateThread && !c.wbTS()->captureThread);
        QVERIFY(!c.gel()->preview.thread() && !c.gel()->captureThread);
        QVERIFY(!c.mult()->preview.thread() && !c.mult()->captureThread);
        QVERIFY(!c.autoExposure()->thread() && !c.lens()->atFocusThread && !c.lens()->focusMoveThread);
        QVERIFY(!c.wbTS()->experiment && !c.wbQI()->experiment && !c.gel()->experiment && !c.mult()->experiment);
        const FlowContext& ctx = *c.context();
        QVERIFY(!ctx.wbLineSeries && !ctx.gelLineSeries && !ctx.multLineSeries);
        QCOMPARE(ctx.captureMutex(), c.captureMutex);
        QCOMPARE(ctx.link(), rig->link.get());
        QCOMPARE(ctx.lightCtrl(), c.lightCtrl);
        QCOMPARE(c.modbusMaster->parent(), rig->ctrl.get());
        QCOMPARE(c.lightCtrl->parent(), rig->ctrl.get());
        QCOMPARE(c.h695ICECamCtrl, H695ICECamCtrl::getInstance());
        QCOMPARE(c.kestrixCtrl, KestrixCtrl::getInstance());
        QVERIFY(c.captureMutex->tryLock());
        c.captureMutex->unlock();
        QVERIFY(QMetaType::type("rgn_type") != QMetaType::UnknownType);
    }

    void oneProcessWideInstance()
    {
        IC_MainControl* first = IC_MainControl::getInstance();
        QCOMPARE(IC_MainControl::getInstance(), first);
        QVERIFY(first != rig->ctrl.get());
    }

    // A page clearing the error shown raises nothing.
    void errorCodeWrittenFromQmlOnlyStores()
    {
        QSignalSpy changed(rig->ctrl.get(), &IC_MainControl::errorCodeChanged);
        QVERIFY(rig->ctrl->setProperty("errorCode", int(EnumOBJ::LensErr)));
        QCOMPARE(rig->ctrl->errorCode(), EnumOBJ::LensErr);
        QVERIFY(rig->ctrl->setProperty("errorCode", int(EnumOBJ::NoErr)));
        QCOMPARE(rig->ctrl->errorCode(), EnumOBJ::NoErr);
        QCOMPARE(changed.count(), 0);
    }

    void propertiesTellTheirChanges_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("notify");
        QTest::newRow("expMode") << "expMode" << int(EnumOBJ::Gel) << QByteArray(SIGNAL(expModeChanged()));
        QTest::newRow("sum2BinIndex") << "sum2BinIndex" << 7 << QByteArray(SIGNAL(sum2BinIndexChanged()));
        QTest::newRow("authorityType") << "authorityType" << int(EnumOBJ::GelTS20BW)
                                       << QByteArray(SIGNAL(authorityTypeChanged()));
    }

    void propertiesTellTheirChanges()
    {
        QFETCH(QString, property);
        QFETCH(int, value);
        QFETCH(QByteArray, notify);
        QSignalSpy changed(rig->ctrl.get(), notify.constData());
        const QByteArray name = property.toLatin1();
        QVERIFY(rig->ctrl->setProperty(name, value));
        QVERIFY(rig->ctrl->setProperty(name, value));
        QCOMPARE(rig->ctrl->property(name).toInt(), value);
        QCOMPARE(changed.count(), 1);
    }

    void readOnlyAndPlainProperties()
    {
        QVERIFY(!rig->ctrl->setProperty("machineName", int(EnumOBJ::M_S60)));
        QVERIFY(rig->ctrl->setProperty("curExpName", QStringLiteral("Gel20261210-101010")));
        QCOMPARE(rig->ctrl->curExpName(), QStringLiteral("Gel20261210-101010"));
    }

    void singleCaptureVisibleReachesTheCamera_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("tucsen");
        QTest::addColumn<bool>("kestrix");
        QTest::newRow("WBQI") << int(EnumOBJ::WBQI) << true << false;
        QTest::newRow("WBTS") << int(EnumOBJ::WBTS) << false << true;
        QTest::newRow("WBTS695Mini") << int(EnumOBJ::WBTS695Mini) << false << true;
        QTest::newRow("unknown configuration") << int(EnumOBJ::Unknow_AuthorityType) << true << true;
    }

    void singleCaptureVisibleReachesTheCamera()
    {
        QFETCH(int, authority);
        QFETCH(bool, tucsen);
        QFETCH(bool, kestrix);
        H695ICECamCtrl::getInstance()->singleCaptureVisible = true;
        KestrixCtrl::getInstance()->singleCaptureVisible = true;
        rig->ctrl->setAuthorityType(EnumOBJ::AuthorityType(authority));
        QVERIFY(rig->ctrl->setProperty("singleCaptureVisible", false));
        QCOMPARE(rig->ctrl->singleCaptureVisible(), false);
        QCOMPARE(H695ICECamCtrl::getInstance()->singleCaptureVisible.load(), tucsen);
        QCOMPARE(KestrixCtrl::getInstance()->singleCaptureVisible.load(), kestrix);
    }

    void errorSignalsBecomeErrorCodes()
    {
        IC_MainControl* c = rig->ctrl.get();
        QSignalSpy changed(c, &IC_MainControl::errorCodeChanged);
        emit rig->link->sig_SerialPortErrorOccur();
        QCOMPARE(c->errorCode(), EnumOBJ::SerialPortErr);
        emit KestrixCtrl::getInstance()->sig_CamErrorOccur();
        QCOMPARE(c->errorCode(), EnumOBJ::CameraErr);
        QCOMPARE(changed.count(), 2);
    }

    // A camera error of an acquisition thread closes the camera of the configuration.
    void cameraErrorClosesTheTucsenCamera()
    {
        tucamtest::reset();
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        QVERIFY(cam->openCamera(EnumOBJ::AllAuthorityTS));
        QVERIFY(tucamtest::state().open);
        rig->ctrl->setAuthorityType(EnumOBJ::AllAuthorityTS);
        QSignalSpy changed(rig->ctrl.get(), &IC_MainControl::errorCodeChanged);
        rig->ctrl->slot_CamErrorOccur();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(rig->ctrl->errorCode(), EnumOBJ::CameraErr);
        QVERIFY(!tucamtest::state().open);
    }

    void linkFramesReachTheDispatcher()
    {
        QSignalSpy door(rig->ctrl.get(), &IC_MainControl::doorStatusChange);
        emit rig->link->readData(hex("6868a0d000183c3c"));
        QCOMPARE(door.count(), 1);
        QCOMPARE(door.at(0).at(0).toBool(), true);
    }

    void flowsStillToComeAnswerNeutrally()
    {
        clearLog();
        IC_MainControl* c = rig->ctrl.get();
        QCOMPARE(c->_WBTSGetExposure(), 0.0);
        QCOMPARE(c->_WBTSGenerateImage(), QString());
        QCOMPARE(c->getDirFilesName(appDir.path()), QStringList {QString()});
        QCOMPARE(c->loadAllImageSavePath(), QVariantList());
        QCOMPARE(c->exportAuditTrail(QString(), {}, QString()), false);
        // An export without a target writes nothing and is no failure of its own.
        c->_GelTSExportImage(QString(), 0);
        QVERIFY(!logged(QStringLiteral("not available yet")));
    }

    void continuationOfAFinishedThreadRunsAtOnce()
    {
        QThread* done = QThread::create([] {});
        done->start();
        QVERIFY(done->wait(5000));
        int runs = 0;
        rig->ctrl->runWhenFinished(done, [&runs] { ++runs; });
        QCOMPARE(runs, 1);
        QCoreApplication::processEvents();
        QCOMPARE(runs, 1);
        delete done;

        QSemaphore go;
        QThread* running = QThread::create([&go] { go.tryAcquire(1, 5000); });
        running->start();
        rig->ctrl->runWhenFinished(running, [&runs] { ++runs; });
        QCOMPARE(runs, 1);
        go.release();
        QTRY_COMPARE(runs, 2);
        QVERIFY(running->wait(5000));
        QCoreApplication::processEvents();
        QCOMPARE(runs, 2);
        delete running;
    }
};

QTEST_MAIN(ObjectTest)
#include "object_test.moc"
