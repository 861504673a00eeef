// The lens bring-up and focus-move threads: what they log, store and signal.

#include <gtest/gtest.h>

#include "focusmovethread.h"
#include "initlensthread.h"
#include "smbuslensctrl.h"
#include "useropts.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "hidsmbus_test.h"
#include "logcapture.h"

#include <QSettings>
#include <QSignalSpy>

namespace {

QVariant stored(const char* key)
{
    QSettings file(AppPaths::appDir() + "/Ini/userOption.ini", QSettings::IniFormat);
    return file.value(QStringLiteral("UserOption/") + key);
}

void storeFocus(int current, int min, int max)
{
    UserOpts* opts = UserOpts::getInstance();
    opts->setFocusCurrentAddr(current);
    opts->setFocusMin(min);
    opts->setFocusMax(max);
    opts->saveFocusOpts();
}

int runBringUp(LogCapture& log)
{
    log.clear();
    InitLensThread thread;
    QSignalSpy errors(&thread, &InitLensThread::sig_LensErrorOccur);
    thread.start();
    EXPECT_TRUE(thread.wait(30000));
    return errors.count();
}

} // namespace

TEST(InitLensThread, WithoutABridgeItEndsSilently)
{
    smbustest::reset({});
    storeFocus(1500, 111, 222);
    LogCapture log;
    EXPECT_EQ(runBringUp(log), 0);
    EXPECT_EQ(log.lines(), QStringList {"numDevices: 0"});
    EXPECT_EQ(smbustest::callLog().size(), 1u);
    EXPECT_EQ(stored("focusMin").toInt(), 111);
}

TEST(InitLensThread, StoresTheTargetAndTheLimitsWithTheirMargin)
{
    smbustest::Lens lens;
    lens.focusMin = 100;
    lens.focusMax = 9000;
    smbustest::reset({smbustest::Bridge()}, lens);
    storeFocus(2500, 111, 222);
    LogCapture log;
    EXPECT_EQ(runBringUp(log), 0);
    EXPECT_TRUE(log.contains("focusParam: 100 9000 2500")) << log.lines().join(" | ").toStdString();
    EXPECT_TRUE(log.contains("初始化S20Mini镜头成功。"));
    EXPECT_EQ(stored("focusMin").toInt(), 300);
    EXPECT_EQ(stored("focusMax").toInt(), 8800);
    EXPECT_EQ(stored("focusCurrentAddr").toInt(), 2500);
    EXPECT_EQ(smbustest::lens().register2006, 0);
    EXPECT_EQ(smbustest::lens().focusInitCount, 1);
    EXPECT_EQ(vcab::CabinetState::instance().snapshot().smbusFocus, 2500);
    EXPECT_EQ(smbustest::lens().openedBridge, 0) << "the bridge stays open for the autofocus";
    SmbusLensCtrl::close();
}

TEST(InitLensThread, ListsEveryBridgeSkipsAFailingOneAndOpensTheFirst)
{
    smbustest::Bridge broken;
    broken.serial = "FIRST";
    broken.serialFails = true;
    smbustest::Bridge second;
    second.serial = "SECOND";
    smbustest::reset({broken, second});
    storeFocus(1500, 111, 222);
    LogCapture log;
    EXPECT_EQ(runBringUp(log), 0);
    const QStringList lines = log.lines();
    const int first = log.indexOf("retval: 16");
    ASSERT_GE(first, 0) << lines.join(" | ").toStdString();
    EXPECT_EQ(log.indexOf("retval: 0", first), first + 1);
    EXPECT_EQ(lines.value(first + 2), "1 \"SECOND\"");
    EXPECT_FALSE(log.contains("FIRST"));
    EXPECT_EQ(smbustest::calls("HidSmbus_Open")[0].args[0], 0);
    SmbusLensCtrl::close();
}

TEST(InitLensThread, AFailingStepLogsItsTextSignalsClosesAndStoresNothing)
{
    struct Case {
        const char* name;
        const char* failingCall;   // empty: the busy bit never falls during the initialisation
        QString text;
    } cases[] = {
        {"open", "HidSmbus_Open", "Device access error."},
        {"configure", "HidSmbus_SetSmbusConfig", "Invalid parameter."},
        {"initialisation", "", "Status bit low error."},
    };
    for (const Case& c : cases) {
        // A short drive keeps the fall-phase limit at its minimum of 2000 reads.
        smbustest::Lens lens;
        lens.focusMin = 100;
        lens.focusMax = 200;
        lens.focusSpeed = 60000;
        smbustest::reset({smbustest::Bridge()}, lens);
        if (*c.failingCall)
            smbustest::failAlways(c.failingCall, QString(c.name) == "open" ? 21 : 4);
        else
            smbustest::setBusy(smbustest::Busy::NeverFalls);
        storeFocus(1500, 111, 222);
        LogCapture log;
        EXPECT_EQ(runBringUp(log), 1) << c.name;
        EXPECT_TRUE(log.contains(c.text)) << c.name << ": " << log.lines().join(" | ").toStdString();
        EXPECT_FALSE(log.contains("初始化S20Mini镜头成功。"));
        EXPECT_TRUE(smbustest::lens().focusTargets.empty()) << "no move after a failed step: " << c.name;
        EXPECT_EQ(smbustest::lens().openedBridge, -1) << c.name;
        EXPECT_EQ(stored("focusMin").toInt(), 111) << c.name;
        EXPECT_EQ(stored("focusMax").toInt(), 222) << c.name;
    }
}

TEST(FocusMoveThread, MovesTheLensOrReportsTheFailureAndClosesTheBridge)
{
    smbustest::reset();
    ASSERT_EQ(SmbusLensCtrl::open(0), 0);
    ASSERT_EQ(SmbusLensCtrl::configure(), 0);
    ASSERT_EQ(SmbusLensCtrl::readFocusLimits(), 0);
    ASSERT_EQ(SmbusLensCtrl::initFocus(), 0);
    {
        FocusMoveThread thread(4200);
        QSignalSpy errors(&thread, &FocusMoveThread::sig_LensErrorOccur);
        thread.start();
        ASSERT_TRUE(thread.wait(30000));
        EXPECT_EQ(errors.count(), 0);
        EXPECT_EQ(vcab::CabinetState::instance().snapshot().smbusFocus, 4200);
    }
    smbustest::setBusy(smbustest::Busy::NeverRises);
    LogCapture log;
    FocusMoveThread thread(5200);
    QSignalSpy errors(&thread, &FocusMoveThread::sig_LensErrorOccur);
    thread.start();
    ASSERT_TRUE(thread.wait(30000));
    EXPECT_EQ(errors.count(), 1);
    EXPECT_TRUE(log.contains("AtFocusThread 3: \"Status bit hi error.\\n\"")) << log.lines().join(" | ").toStdString();
    EXPECT_EQ(smbustest::lens().openedBridge, -1);
    EXPECT_EQ(SmbusLensCtrl::focusPosition(), 4200);
}

// A target the 16-bit register cannot hold would wrap to another position and drive the lens there.
TEST(FocusMoveThread, RefusesATargetOutsideTheRegisterRange)
{
    for (int target : {-1, 65536, 70000}) {
        smbustest::reset();
        ASSERT_EQ(SmbusLensCtrl::open(0), 0);
        ASSERT_EQ(SmbusLensCtrl::readFocusLimits(), 0);
        LogCapture log;
        FocusMoveThread thread(target);
        QSignalSpy errors(&thread, &FocusMoveThread::sig_LensErrorOccur);
        thread.start();
        ASSERT_TRUE(thread.wait(30000));
        EXPECT_EQ(errors.count(), 1) << target;
        EXPECT_TRUE(log.contains("Invalid parameter.")) << target;
        EXPECT_TRUE(smbustest::lens().focusTargets.empty()) << target;
    }
}

TEST(InitLensThread, RefusesAStoredTargetOutsideTheRegisterRange)
{
    smbustest::reset();
    storeFocus(-5, 111, 222);
    LogCapture log;
    EXPECT_EQ(runBringUp(log), 1);
    EXPECT_TRUE(log.contains("Invalid parameter."));
    EXPECT_TRUE(smbustest::lens().focusTargets.empty());
    EXPECT_EQ(stored("focusMin").toInt(), 111);
}
