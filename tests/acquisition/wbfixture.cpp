#include "wbfixture.h"

#include "cabinetstate.h"
#include "testappdir.h"
#include "tucam_test.h"
#include "apppaths.h"
#include "wbtscapturethread.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QSerialPort>
#include <QUuid>

void WbCabinet::SetUp()
{
    vcab::CabinetState::instance().reset();
    tucamtest::Config config;
    config.model = tucamtest::Model::Cam695;
    tucamtest::reset(config);
    ctrl = H695ICECamCtrl::getInstance();
    ASSERT_TRUE(ctrl->openCamera(0));
    ctrl->frameStore().clearFrameCaches();
    ctrl->isAbort = false;
    ctrl->isRunning = false;
    ctrl->isFocusStop = true;
    ctrl->isFocusMeasuring = false;
    ctrl->isFocusDone = false;
    ctrl->removeEstimateRoi();
    while (ctrl->semCap.tryAcquire(1)) {
    }
    while (ctrl->sem1.tryAcquire(1)) {
    }
    while (ctrl->sem2.tryAcquire(1)) {
    }
    ctrl->binningIndex = 2;
    ctrl->exposureTime = 40;
    ctrl->gain = 5;
    ctrl->singleCaptureVisible = true;

    opts = UserOpts::getInstance();
    auto set = [this](UserOpts::UserOptType t, const std::function<void(UserOpts*)>& f) { setOption(t, f); };
    set(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
    set(UserOpts::OPT_IsExposure, [](UserOpts* o) { o->setIsExposure(false); });
    set(UserOpts::OPT_IsAutoStretch, [](UserOpts* o) { o->setIsAutoStretch(false); });
    set(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(false); });
    set(UserOpts::OPT_StrengthMarker, [](UserOpts* o) { o->setStrengthMarker(false); });
    set(UserOpts::OPT_IntelligentAnalysis, [](UserOpts* o) { o->setIntelligentAnalysis(UserOpts::CloseSensitivity); });
    set(UserOpts::OPT_SampleImageBkColor, [](UserOpts* o) { o->setSampleImageBkColor(UserOpts::Black); });
    set(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(false); });
    set(UserOpts::OPT_IntegralAccumulate, [](UserOpts* o) { o->setIntegralAccumulate(false); });
    set(UserOpts::OPT_MultiCapExpTimesChanged, [](UserOpts* o) { o->setMultiCapExpTimesChanged(false); });
    set(UserOpts::OPT_IsBeautifyPictures, [](UserOpts* o) { o->setIsBeautifyPictures(false); });
    for (auto t : {UserOpts::OPT_WBX, UserOpts::OPT_WBY, UserOpts::OPT_WBW, UserOpts::OPT_WBH})
        set(t, [t](UserOpts* o) {
            if (t == UserOpts::OPT_WBX) o->setWbX(0);
            if (t == UserOpts::OPT_WBY) o->setWbY(0);
            if (t == UserOpts::OPT_WBW) o->setWbW(0);
            if (t == UserOpts::OPT_WBH) o->setWbH(0);
        });

    board = std::make_unique<vboard::VirtualBoard>();
    ASSERT_TRUE(board->start());
    control = std::make_unique<vboard::BoardTestControl>(*board);
    link = std::make_unique<ASyncSerialPortThread>();
    link->openPort(QString::fromStdString(board->slavePath()), QSerialPort::Baud1200);
    light = std::make_unique<LightCtrl>(link.get(), nullptr);
    db = WesternBlotExperimentDB::getInstance();
    tucamtest::clearCallLog();
}

void WbCabinet::TearDown()
{
    tucamtest::clearScripts();
    ctrl->isRunning = false;
    ctrl->isFocusStop = true;
    light.reset();
    link.reset();
    control.reset();
    board.reset();
    ctrl->closeCamera();
}

void WbCabinet::setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set)
{
    set(opts);
    opts->saveUserOptsByName(type);
}

void WbCabinet::insertExperiment(const QString& name)
{
    expName = name;
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    folder = AppPaths::appDir() + "/Images/" + date + "/" + name + "/";
    WesternBlotExperimentRecord record;
    record.userName = QStringLiteral("tester");
    record.expType = 1;
    record.name = name;
    record.date = date;
    record.dateTime = QDateTime::currentDateTime();
    record.imageSavePath = folder;
    record.binning = QStringLiteral("4*4");
    ASSERT_TRUE(db->insertExperiment(&record));
    ctrl->setExpName(name);
}

QStringList WbCabinet::lightCommands() const
{
    QStringList out;
    for (const QByteArray& f : control->receivedFrames()) {
        if (f.size() < 5 || quint8(f[2]) != 0xF2)
            continue;
        const int length = quint8(f[3]);
        out << f.mid(4, length).toHex(' ');
    }
    return out;
}

bool WbCabinet::waitForLightCommands(int count, int timeoutMs) const
{
    return waitFor([&] { return lightCommands().size() >= count; }, timeoutMs);
}

WbCabinet::Cancel WbCabinet::cancelCapture(WBTSCaptureThread& thread, int timeoutMs)
{
    Cancel outcome = Cancel::TimedOut;
    waitFor(
        [&] {
            if (ctrl->semCap.tryAcquire(ctrl->frameStore().frameCount() + 1)) {
                ctrl->isAbort = true;
                ctrl->abortWait();
                outcome = Cancel::Aborted;
                return true;
            }
            if (thread.captureEnded) {
                outcome = Cancel::CaptureEnded;
                return true;
            }
            return false;
        },
        timeoutMs);
    return outcome;
}

bool WbCabinet::runToEnd(QThread& thread, int timeoutMs)
{
    const bool ended = waitFor([&] { return thread.isFinished(); }, timeoutMs);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return ended;
}

QStringList WbCabinet::filesIn(const QString& dir, const QString& pattern) const
{
    return QDir(dir).entryList({pattern}, QDir::Files, QDir::Name);
}

std::vector<double> WbCabinet::exposuresSet() const
{
    std::vector<double> out;
    for (const auto& c : tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_EXPOSURETM))
        if (c.status == TUCAMRET_SUCCESS)
            out.push_back(c.args[1]);
    return out;
}
