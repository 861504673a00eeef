#include "multfixture.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "cameraregion.h"
#include "enumobj.h"
#include "experimentrecord.h"
#include "testappdir.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

void MultCabinet::SetUp()
{
    vcab::CabinetState::instance().reset();
    ctrl = H695ICECamCtrl::getInstance();
    openCamera(tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS);
    ctrl->frameStore().clearFrameCaches();
    ctrl->isAbort = false;
    ctrl->isRunning = false;
    ctrl->isFocusStop = true;
    ctrl->isFocusMeasuring = false;
    ctrl->isFocusDone = false;
    ctrl->focusDirection = false;
    for (QSemaphore* s : {&ctrl->semCap, &ctrl->sem1, &ctrl->sem2})
        s->tryAcquire(s->available());
    ctrl->binningIndex = 1;
    ctrl->exposureTime = 20;
    ctrl->gain = 45;

    opts = UserOpts::getInstance();
    camOpts = CamOpts::getInstance();
    setOption(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
    setOption(UserOpts::OPT_IsBeautifyPictures, [](UserOpts* o) { o->setIsBeautifyPictures(false); });
    setOption(UserOpts::OPT_AfOffset, [](UserOpts* o) { o->setAfOffset(0); });
    setFluRegion(0, 0, 0, 0);
    db = MultExperimentDB::getInstance();
    tucamtest::clearCallLog();
}

void MultCabinet::TearDown()
{
    tucamtest::clearScripts();
    ctrl->isRunning = false;
    ctrl->isFocusStop = true;
    ctrl->closeCamera();
}

void MultCabinet::openCamera(tucamtest::Model model, int authorityType)
{
    ctrl->closeCamera();
    tucamtest::Config config;
    config.model = model;
    tucamtest::reset(config);
    ASSERT_TRUE(ctrl->openCamera(authorityType));
}

void MultCabinet::prepareCamera(int binningIndex, bool isFL9BW)
{
    ctrl->binningIndex = binningIndex;
    if (isFL9BW)
        ctrl->setBinning(binningIndex);
    else
        ctrl->setResolution(binningIndex);
    ctrl->setGain(double(ctrl->gain.load()));
    ctrl->setHorizontalMirror(0);
    ctrl->setVerticalMirror(0);
    ctrl->setROI(acq::roiOf(acq::cameraRegion(isFL9BW, false, binningIndex, {})));
    tucamtest::clearCallLog();
}

void MultCabinet::setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set)
{
    set(opts);
    opts->saveUserOptsByName(type);
}

void MultCabinet::setFluRegion(int x, int y, int w, int h)
{
    setOption(UserOpts::OPT_FluX, [x](UserOpts* o) { o->setFluX(x); });
    setOption(UserOpts::OPT_FluY, [y](UserOpts* o) { o->setFluY(y); });
    setOption(UserOpts::OPT_FluW, [w](UserOpts* o) { o->setFluW(w); });
    setOption(UserOpts::OPT_FluH, [h](UserOpts* o) { o->setFluH(h); });
}

void MultCabinet::insertExperiment(const QString& name)
{
    expName = name;
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    folder = AppPaths::appDir() + "/Images/" + date + "/" + name + "/";
    MultExperimentRecord record;
    record.userName = QStringLiteral("tester");
    record.expType = 2;
    record.name = name;
    record.date = date;
    record.dateTime = QDateTime::currentDateTime();
    record.imageSavePath = folder;
    ASSERT_TRUE(db->insertExperiment(&record));
    ctrl->setExpName(name);
}

void MultCabinet::light(uint32_t lamps, int filterPos)
{
    vcab::CabinetState::instance().update([&](vcab::CabinetSnapshot& s) {
        s.lamps = lamps;
        s.filterPos = filterPos;
    });
}

bool MultCabinet::runToEnd(QThread& thread, int timeoutMs)
{
    const bool ended = waitFor([&] { return thread.isFinished(); }, timeoutMs);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return ended;
}

MultCabinet::Cancel MultCabinet::cancelCapture(const std::atomic<bool>& captureFinished, int timeoutMs)
{
    Cancel outcome = Cancel::TimedOut;
    waitFor(
        [&] {
            if (ctrl->semCap.tryAcquire(1)) {
                ctrl->isAbort = true;
                ctrl->abortWait();
                outcome = Cancel::Aborted;
                return true;
            }
            if (captureFinished) {
                outcome = Cancel::CaptureEnded;
                return true;
            }
            return false;
        },
        timeoutMs);
    return outcome;
}

QStringList MultCabinet::tifsIn(const QString& dir) const
{
    return QDir(dir).entryList({QStringLiteral("*.tif")}, QDir::Files, QDir::Name);
}
