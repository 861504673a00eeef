#include "gelfixture.h"

#include "apppaths.h"
#include "cabinetstate.h"
#include "geltscapturethread.h"
#include "geltspreviewthread.h"
#include "testappdir.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QMutexLocker>
#include <QSerialPort>

#include <algorithm>

void GelCabinet::SetUp()
{
    vcab::CabinetState::instance().reset();
    ctrl = H695ICECamCtrl::getInstance();
    useCamera(tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS);

    opts = UserOpts::getInstance();
    auto set = [this](UserOpts::UserOptType t, const std::function<void(UserOpts*)>& f) { setOption(t, f); };
    set(UserOpts::OPT_ImageSavePath, [](UserOpts* o) { o->setImageSavePath(AppPaths::appDir() + "/B"); });
    set(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(false); });
    set(UserOpts::OPT_IsBeautifyPictures, [](UserOpts* o) { o->setIsBeautifyPictures(false); });
    set(UserOpts::OPT_GelX, [](UserOpts* o) { o->setGelX(0); });
    set(UserOpts::OPT_GelY, [](UserOpts* o) { o->setGelY(0); });
    set(UserOpts::OPT_GelW, [](UserOpts* o) { o->setGelW(0); });
    set(UserOpts::OPT_GelH, [](UserOpts* o) { o->setGelH(0); });

    board = std::make_unique<vboard::VirtualBoard>();
    ASSERT_TRUE(board->start());
    control = std::make_unique<vboard::BoardTestControl>(*board);
    link = std::make_unique<ASyncSerialPortThread>();
    link->openPort(QString::fromStdString(board->slavePath()), QSerialPort::Baud1200);
    light = std::make_unique<LightCtrl>(link.get(), nullptr);
    db = GelExperimentDB::getInstance();
    tucamtest::clearCallLog();
}

void GelCabinet::useCamera(tucamtest::Model model, EnumOBJ::AuthorityType authority)
{
    ctrl->closeCamera();
    tucamtest::Config config;
    config.model = model;
    tucamtest::reset(config);
    ASSERT_TRUE(ctrl->openCamera(authority));
    ctrl->frameStore().clearFrameCaches();
    ctrl->frameStore().clearRoiList();
    ctrl->resetFFC();
    ctrl->isFFC = false;
    ctrl->isAbort = false;
    ctrl->isRunning = false;
    ctrl->isFocusStop = true;
    ctrl->isFocusMeasuring = false;
    ctrl->isFocusDone = false;
    ctrl->setRoiEnabled(false);
    for (QSemaphore* s : {&ctrl->semCap, &ctrl->sem1, &ctrl->sem2})
        while (s->tryAcquire(1)) {
        }
    ctrl->sum2BinIndex = 7;
    // Binning 4 (index 2 of the 695 table), a short exposure on the camera and in the record.
    ctrl->binningIndex = 2;
    if (model == tucamtest::Model::FL9BW)
        ctrl->setBinning(2);
    else
        ctrl->setResolution(model == tucamtest::Model::S20Mini ? 7 : 2);
    ctrl->exposureTime = 40;
    ctrl->setExposureTime(40);
    ctrl->gain = 5;
    tucamtest::clearCallLog();
}

void GelCabinet::nextCase()
{
    tucamtest::clearScripts();
    ctrl->frameStore().clearFrameCaches();
    ctrl->frameStore().clearRoiList();
    ctrl->resetFFC();
    ctrl->isFFC = false;
    ctrl->isAbort = false;
    while (ctrl->semCap.tryAcquire(1)) {
    }
    ctrl->exposureTime = 40;
    ctrl->setExposureTime(40);
    ctrl->gain = 5;
    setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(false); });
    flushBoard();
    vcab::CabinetState::instance().reset();
    control->clearLogs();
    tucamtest::clearCallLog();
}

bool GelCabinet::flushBoard()
{
    const QByteArray sentinel = QByteArray::fromHex("68a0b6007e");
    link->writeData(sentinel);
    return waitFor(
        [&] {
            const std::vector<QByteArray> frames = control->receivedFrames();
            return std::find(frames.begin(), frames.end(), sentinel) != frames.end();
        },
        10000);
}

void GelCabinet::TearDown()
{
    tucamtest::clearScripts();
    ctrl->isRunning = false;
    ctrl->isFocusStop = true;
    ctrl->isFFC = false;
    light.reset();
    link.reset();
    control.reset();
    board.reset();
    ctrl->closeCamera();
}

void GelCabinet::setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set)
{
    set(opts);
    opts->saveUserOptsByName(type);
}

void GelCabinet::insertExperiment(const QString& name)
{
    nameExperimentWithoutRow(name);
    GelExperimentRecord record;
    record.userName = QStringLiteral("tester");
    record.expType = EnumOBJ::Gel;
    record.name = name;
    record.date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    record.dateTime = QDateTime::currentDateTime();
    record.imageSavePath = folder;
    ASSERT_TRUE(db->insertExperiment(&record));
}

void GelCabinet::nameExperimentWithoutRow(const QString& name)
{
    expName = name;
    folder = AppPaths::appDir() + "/Images/" + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + "/" + name
             + "/";
    ctrl->setExpName(name);
}

std::unique_ptr<GelExperimentRecord> GelCabinet::row() const
{
    return std::unique_ptr<GelExperimentRecord>(db->selectExperimentByName(expName));
}

QStringList GelCabinet::commands(quint8 code) const
{
    QStringList out;
    for (const QByteArray& f : control->receivedFrames()) {
        if (f.size() < 5 || quint8(f[2]) != code)
            continue;
        out << f.mid(4, quint8(f[3])).toHex(' ');
    }
    return out;
}

bool GelCabinet::waitForCommands(int count, quint8 code, int timeoutMs) const
{
    return waitFor([&] { return commands(code).size() >= count; }, timeoutMs);
}

void GelCabinet::start(GelTSCaptureThread& t, GelRecorder& r)
{
    t.lightCtrl = light.get();
    t.serialPortThread = link.get();
    t.captureMutex = &captureMutex;
    QObject::connect(&t, &GelTSCaptureThread::sig_CamErrorOccur, &r, &GelRecorder::onError);
    QObject::connect(&t, &GelTSCaptureThread::sig_SaveFailed, &r, [&r](const QString&) { r.events << "save failed"; });
    QObject::connect(&t, &GelTSCaptureThread::singleImageCaped, &r, &GelRecorder::onImage);
    QObject::connect(&t, &GelTSCaptureThread::colorMarkerCaped, &r, &GelRecorder::onColor);
    t.start();
}

void GelCabinet::start(GelTSPreviewThread& t, GelRecorder& r)
{
    QObject::connect(&t, &GelTSPreviewThread::sig_CamErrorOccur, &r, &GelRecorder::onError);
    QObject::connect(&t, &GelTSPreviewThread::updatePreviewImage, &r, &GelRecorder::onPreview);
    ctrl->isRunning = true;
    t.start();
}

bool GelCabinet::runToEnd(QThread& thread, int timeoutMs)
{
    const bool ended = waitFor([&] { return thread.isFinished(); }, timeoutMs);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return ended;
}

GelCabinet::Cancel GelCabinet::cancelCapture(GelTSCaptureThread& thread, int timeoutMs)
{
    Cancel outcome = Cancel::TimedOut;
    waitFor(
        [&] {
            if (ctrl->semCap.tryAcquire(thread.frameCopyCount() + 1)) {
                QMutexLocker lock(&captureMutex);
                ctrl->isAbort = true;
                ctrl->abortWait();
                outcome = Cancel::Aborted;
                return true;
            }
            if (thread.isCaptureFinished) {
                outcome = Cancel::CaptureEnded;
                return true;
            }
            return false;
        },
        timeoutMs);
    return outcome;
}

bool GelCabinet::stopPreview(GelTSPreviewThread& thread)
{
    ctrl->isRunning = false;
    ctrl->frameStore().clearCurrentFrame();
    ctrl->abortWait();
    return runToEnd(thread, 20000);
}

QStringList GelCabinet::filesIn(const QString& dir, const QString& pattern) const
{
    return QDir(dir).entryList({pattern}, QDir::Files, QDir::Name);
}

QString GelCabinet::folderB() const
{
    return opts->imageSavePath() + "/" + QDate::currentDate().toString("yyyy-MM-dd") + "/" + expName + "/";
}

std::vector<double> GelCabinet::propertySets(int property) const
{
    std::vector<double> out;
    for (const auto& c : tucamtest::calls("TUCAM_Prop_SetValue", property))
        if (c.status == TUCAMRET_SUCCESS)
            out.push_back(c.args[1]);
    return out;
}

std::vector<double> GelCabinet::capabilitySets(int capability) const
{
    std::vector<double> out;
    for (const auto& c : tucamtest::calls("TUCAM_Capa_SetValue", capability))
        if (c.status == TUCAMRET_SUCCESS)
            out.push_back(c.args[1]);
    return out;
}

bool GelCabinet::cameraIdle()
{
    const tucamtest::DeviceState s = tucamtest::state();
    return !s.capturing && !s.bufferAllocated;
}
