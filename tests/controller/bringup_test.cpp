// Device bring-up by instrument model against the virtual cabinet: which frames the board
// receives, in which order, and what the controller reports, for every model and every way the
// bring-up can fail.
#include "controllertest.h"

#include "hidsmbus_test.h"
#include "kestrix64_test.h"
#include "kestrixctrl.h"
#include "h695icecamctrl.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "useropts.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
enum Fault { None, NoPort, TwoAdapters, SilentBoard, WrongHandshake, CameraFails, LensFails };

const QString kHandshake = QStringLiteral("68a0a10069");
const QString kInitStatus = QStringLiteral("68a0aa0062");
const QString kShutDown2 = QStringLiteral("68a0cc010207");  // light auto-shut-down 2 minutes
const QString kReadZoom = QStringLiteral("68a0b3007b");
const QString kReadFocus = QStringLiteral("68a0b10079");
const QString kLightOffFilter0 = QStringLiteral("68a0f202c111e8");

const QStringList kTSFrames {kHandshake, kInitStatus, kShutDown2};
const QStringList kLensFrames {kHandshake, kInitStatus, kShutDown2, kReadZoom, kReadFocus};

tucamtest::Model cameraOf(const QString& model)
{
    if (model.contains(QLatin1String("FL9BW")))
        return tucamtest::Model::FL9BW;
    return model == QLatin1String("S20Mini") ? tucamtest::Model::S20Mini : tucamtest::Model::Cam695;
}
} // namespace

class BringUpTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    void framesAndErrorsByModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("camInit");   // camInitFinish emissions
        QTest::addColumn<QString>("line");  // success line, empty when none may be written

        const int ok = EnumOBJ::NoErr;
        QTest::newRow("S40Mini") << "S40Mini" << int(None) << kTSFrames << ok << 1 << "初始化S40成功。";
        QTest::newRow("S40Pro") << "S40Pro" << int(None) << kTSFrames << ok << 1 << "初始化S40成功。";
        QTest::newRow("S40Plus") << "S40Plus" << int(None)
                                 << QStringList {kHandshake, kInitStatus, kShutDown2, kLightOffFilter0} << ok << 1
                                 << "初始化S40Plus成功。";
        QTest::newRow("S50") << "S50" << int(None) << kTSFrames << ok << 1 << "初始化S50成功。";
        QTest::newRow("S60") << "S60" << int(None) << kTSFrames << ok << 1 << "初始化S60成功。";
        QTest::newRow("S20Mini") << "S20Mini" << int(None) << kTSFrames << ok << 1 << "初始化S20Mini成功。";
        for (const char* model : {"Ormivex_Manual695", "Ormivex_ManualFL9BW", "Ormivex_G_Manual695",
                                  "Ormivex_G_ManualFL9BW", "Ormivex_GF_Manual695", "Ormivex_GF_ManualFL9BW"})
            QTest::newRow(model) << model << int(None) << kTSFrames << ok << 1 << "初始化Ormivex成功。";
        // The "_Auto" models read the board-driven lens after the first commands.
        for (const char* model : {"Ormivex_Auto695", "Ormivex_AutoFL9BW", "Ormivex_G_Auto695",
                                  "Ormivex_G_AutoFL9BW", "Ormivex_GF_Auto695", "Ormivex_GF_AutoFL9BW"})
            QTest::newRow(model) << model << int(None) << kLensFrames << ok << 1 << "初始化Ormivex成功。";
        QTest::newRow("Ormivex_MiniFL9BW") << "Ormivex_MiniFL9BW" << int(None) << kTSFrames << ok << 1
                                           << "初始化Ormivex Mini成功。";
        QTest::newRow("Ormivex_Mini695") << "Ormivex_Mini695" << int(None) << kTSFrames << ok << 1
                                         << "初始化Ormivex Mini成功。";

        QTest::newRow("unknown model") << "S70" << int(None) << QStringList() << int(EnumOBJ::MachineErr) << 0
                                       << QString();
        // Without a port the camera still comes up.
        QTest::newRow("TS: no port") << "S60" << int(NoPort) << QStringList() << int(EnumOBJ::SerialPortErr) << 1
                                     << QString();
        QTest::newRow("QI: no port") << "S40Plus" << int(NoPort) << QStringList() << int(EnumOBJ::SerialPortErr)
                                     << 1 << QString();
        QTest::newRow("two adapters: the first") << "S60" << int(TwoAdapters) << kTSFrames << ok << 1
                                                 << "初始化S60成功。";
        QTest::newRow("silent board") << "S60" << int(SilentBoard) << QStringList {kHandshake}
                                      << int(EnumOBJ::CommunicateErr) << 1 << QString();
        QTest::newRow("wrong handshake") << "S60" << int(WrongHandshake) << QStringList {kHandshake}
                                         << int(EnumOBJ::HandShakeErr) << 1 << QString();
        QTest::newRow("QI: silent board") << "S40Plus" << int(SilentBoard) << QStringList {kHandshake}
                                          << int(EnumOBJ::CommunicateErr) << 1 << QString();
        // A Tucsen camera failure leaves the serial steps going on.
        QTest::newRow("TS: camera fails") << "S60" << int(CameraFails) << kTSFrames << int(EnumOBJ::CameraErr) << 1
                                          << "初始化S60成功。";
        // The kestrix64 camera opens first: without it nothing else happens, and the pages learn
        // of it through the error.
        QTest::newRow("QI: camera fails") << "S40Plus" << int(CameraFails) << QStringList()
                                          << int(EnumOBJ::CameraErr) << 0 << QString();
        QTest::newRow("lens fails") << "S20Mini" << int(LensFails) << kTSFrames << int(EnumOBJ::LensErr) << 1
                                    << "初始化S20Mini成功。";
        QTest::newRow("no lens thread without handshake") << "S20Mini" << int(SilentBoard) << QStringList {kHandshake}
                                                          << int(EnumOBJ::CommunicateErr) << 1 << QString();
    }

    void framesAndErrorsByModel()
    {
        QFETCH(QString, model);
        QFETCH(int, fault);
        QFETCH(QStringList, frames);
        QFETCH(int, error);
        QFETCH(int, camInit);
        QFETCH(QString, line);

        appDir.writeMachine(model);
        {
            QSettings user(appDir.filePath(QStringLiteral("Ini/userOption.ini")), QSettings::IniFormat);
            user.setValue(QStringLiteral("UserOption/lightAutoShutDownTime"), 2);
        }
        tucamtest::Config camera;
        camera.model = cameraOf(model);
        tucamtest::reset(camera);
        kxtest_reset();
        smbustest::reset();
        if (fault == CameraFails) {
            tucamtest::failAlways("TUCAM_Dev_Open", TUCAMRET_FAILURE);
            kxtest_set_camera_count(0);
        }
        if (fault == LensFails)
            smbustest::failAlways("HidSmbus_Open", 1);

        ControllerRig rig(fault == NoPort ? ControllerRig::Port::NotListed : ControllerRig::Port::Listed);
        vboard::VirtualBoard second;
        if (fault == TwoAdapters) {
            QVERIFY(second.start());
            SerialPortEntry entry = rig.locator.ports.first();
            entry.portName = QString::fromStdString(second.slavePath());
            rig.locator.ports << entry;
        }
        if (fault == SilentBoard)
            rig.control.setSilent(true);
        if (fault == WrongHandshake)
            rig.control.setHandshake(vboard::HandshakeMode::Wrong);

        IC_MainControl* ctrl = rig.ctrl.get();
        ctrl->initMachine();
        QSignalSpy camInitSpy(ctrl, &IC_MainControl::camInitFinish);
        QSignalSpy errorSpy(ctrl, &IC_MainControl::errorCodeChanged);
        connect(ctrl, &IC_MainControl::camInitFinish, this, [ctrl] {
            qDebug() << "camInitFinish; sum2BinIndex" << ctrl->sum2BinIndex();
        });
        ctrl->initDevice();

        QTRY_COMPARE_WITH_TIMEOUT(camInitSpy.count(), camInit, 10000);
        if (model == QLatin1String("S20Mini") && error == EnumOBJ::NoErr)
            QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("初始化S20Mini镜头成功。")), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(int(ctrl->errorCode()), error, 10000);
        QCOMPARE(rig.written(), frames);
        QCOMPARE(errorSpy.count(), error == EnumOBJ::NoErr ? 0 : 1);
        if (fault == TwoAdapters)
            QVERIFY(vboard::BoardTestControl(second).receivedFrames().empty());

        const QStringList log = logLines();
        if (line.isEmpty()) {
            for (const char* success : {"初始化S40成功。", "初始化S40Plus成功。", "初始化S50成功。", "初始化S60成功。",
                                        "初始化S20Mini成功。", "初始化Ormivex成功。", "初始化Ormivex Mini成功。"})
                QVERIFY2(!log.contains(QString::fromUtf8(success)), success);
        } else {
            QVERIFY2(log.contains(line), qPrintable(log.join(QLatin1Char('\n'))));
        }
        if (fault == NoPort || fault == SilentBoard || fault == WrongHandshake)
            QVERIFY(log.contains(QStringLiteral("初始化串口失败。")));
        // The summed-binning index is in place when the pages hear of the camera.
        if (camInit && model != QLatin1String("S40Plus")) {
            QVERIFY(log.contains(QStringLiteral("camInitFinish; sum2BinIndex 7")));
            QCOMPARE(H695ICECamCtrl::getInstance()->sum2BinIndex.load(), 7);
        }
        // The kestrix64 camera is up before the handshake.
        if (model == QLatin1String("S40Plus") && fault == None)
            QVERIFY(log.indexOf(QRegularExpression(QStringLiteral("^camInitFinish")))
                    < log.indexOf(QStringLiteral("握手成功。")));
        if (model == QLatin1String("S20Mini") && fault == SilentBoard)
            QVERIFY(!log.contains(QStringLiteral("numDevices: 1")));
        KestrixCtrl::getInstance()->closeCamera();
    }

    // The board's lens answers to the bring-up's read-outs come back through the dispatcher.
    void lensReadOutsReachTheOptions()
    {
        appDir.writeMachine(QStringLiteral("Ormivex_GF_Auto695"));
        tucamtest::reset();
        ControllerRig rig;
        rig.ctrl->initMachine();
        QSignalSpy zoom(rig.ctrl.get(), &IC_MainControl::readZoom);
        QSignalSpy camInit(rig.ctrl.get(), &IC_MainControl::camInitFinish);
        rig.ctrl->initDevice();
        // The board's position answer comes back through the dispatcher and is stored.
        QTRY_COMPARE_WITH_TIMEOUT(zoom.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(logged(QStringLiteral("读取聚焦成功: %1").arg(UserOpts::getInstance()->curFocusValue())),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(logLines().filter(QStringLiteral("读取光圈成功:")).size() == 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(camInit.count(), 1, 10000);
        QCOMPARE(rig.ctrl->errorCode(), EnumOBJ::NoErr);
    }
};

QTEST_MAIN(BringUpTest)
#include "bringup_test.moc"
