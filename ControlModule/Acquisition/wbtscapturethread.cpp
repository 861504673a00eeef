#include "wbtscapturethread.h"

#include "asyncserialportthread.h"
#include "cabinetlights.h"
#include "pacing.h"
#include "cameraregion.h"
#include "camerarun.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QDateTime>
#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

} // namespace

WBTSCaptureThread::WBTSCaptureThread(QObject* parent)
    : QThread(parent)
    , camCtrl(H695ICECamCtrl::getInstance())
    , frameStore(&camCtrl->frameStore())
    , experimentDB(WesternBlotExperimentDB::getInstance())
    , userOpts(UserOpts::getInstance())
{
}

WBTSCaptureThread::~WBTSCaptureThread()
{
    delete record;
}

ASyncSerialPortThread* WBTSCaptureThread::link()
{
    if (!serialPort)
        serialPort = ASyncSerialPortThread::getInstance();
    return serialPort;
}

void WBTSCaptureThread::cameraError()
{
    emit sig_CamErrorOccur();
}

void WBTSCaptureThread::loadWbRoi()
{
    const acq::Region r = acq::loadRegion(userOpts, acq::RegionSet::WesternBlot);
    wbX = r.x;
    wbY = r.y;
    wbW = r.width;
    wbH = r.height;
}

void WBTSCaptureThread::lightOn()
{
    if (lights)
        lights->lightOn();
}

void WBTSCaptureThread::lightOff()
{
    if (lights)
        lights->lightOff();
}

void WBTSCaptureThread::buildExpTimeList()
{
    wbplan::ExpListInput in;
    userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapExpTimesChanged);
    in.listChanged = userOpts->multiCapExpTimesChanged();
    if (in.listChanged) {
        userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapExpTimes);
        in.explicitList = userOpts->multiCapExpTimes();
    } else {
        userOpts->loadUserOptsByName(UserOpts::OPT_IntegralAccumulate);
        userOpts->loadMultiCapOpts();
        in.count = userOpts->multiCapCount();
        qDebug() << "multiCapCount: " << in.count;
        in.first = userOpts->multiCapFirstTime();
        in.firstUnit = int(userOpts->multiCapFirstTimeUnit());
        in.delta = userOpts->multiCapDeltaTime();
        in.deltaUnit = int(userOpts->multiCapDeltaTimeUnit());
        in.integralAccumulate = userOpts->integralAccumulate();
    }
    expTimeList = wbplan::buildExpTimeList(in);
    qDebug() << "expTimeList:" << QVector<int>(expTimeList.begin(), expTimeList.end());
}

int WBTSCaptureThread::gainEntry(bool sample) const
{
    if (isFL9BW)
        return sample ? 3 : camCtrl->gain + 1;
    return sample ? 60 : camCtrl->gain.load();
}

void WBTSCaptureThread::reportUnsaved(const QString& path)
{
    qWarning() << "capture ends: a picture could not be written" << path;
    emit sig_SaveFailed(path);
}

void WBTSCaptureThread::run()
{
    // Whatever way run() is left: captureEnded set, semCap emptied.
    acq::CaptureEnding ending(captureEnded, camCtrl->semCap);
    loadWbRoi();
    if (!lightCtrl && !ownLightCtrl)
        ownLightCtrl = std::make_unique<LightCtrl>(link(), nullptr);
    lights = std::make_unique<acq::CabinetLights>(lightCtrl ? lightCtrl : ownLightCtrl.get(), link(), isMini,
                                                  [this](bool on) { emit lightStatusChange(on); });

    if (!record)
        record = experimentDB->selectExperimentByName(camCtrl->expName());
    if (!record) {
        qWarning() << "capture refused: no experiment record named" << camCtrl->expName();
        lights.reset();
        ownLightCtrl.reset();
        return;
    }
    m_imageSavePath = record->imageSavePath;

    const int index = camCtrl->binningIndex;
    if (isFL9BW) {
        camCtrl->setBinning(index);
    } else {
        camCtrl->setBlackLevel(0);
        camCtrl->setResolution(index);
    }
    camCtrl->setGain(double(camCtrl->gain.load()));
    camCtrl->setROI(acq::roiOf(acq::cameraRegion(isFL9BW, isMini, index, {wbX, wbY, wbW, wbH})));

    wbplan::PlanInput plan;
    userOpts->loadUserOptsByName(UserOpts::OPT_MarkerCapture);
    plan.markerCapture = userOpts->markerCapture();
    plan.single = camCtrl->singleCaptureVisible;
    plan.previewExposure = camCtrl->exposureTime;
    if (plan.single) {
        userOpts->loadUserOptsByName(UserOpts::OPT_SingleCapExpTime);
        singleExposure = double(userOpts->singleCapExpTime());
        plan.singleExposure = singleExposure;
        qDebug() << "获取capExpTime: " << singleExposure;
    } else {
        userOpts->loadUserOptsByName(UserOpts::OPT_MultiCapCount);
        plan.multiCapCount = userOpts->multiCapCount();
        qDebug() << "multi framesToAcquire: " << plan.multiCapCount;
        buildExpTimeList();
        plan.expTimeList = expTimeList;
    }
    bool bounded = false;
    const int frames = wbplan::framesToAcquire(plan, &bounded);
    if (bounded)
        qWarning() << "frame plan bounded by its exposure list:" << frames << "frames," << expTimeList.size()
                   << "exposures for" << plan.multiCapCount;
    qDebug() << "采集帧数：" << frames;

    userOpts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    const int bk = int(userOpts->sampleImageBkColor());
    frame = acq::freshFrameRecord();

    int completed = 0;
    bool stopped = frames < 1 && camCtrl->isAbort;
    for (int i = 0; i < frames && !stopped; ++i) {
        frameStore->captureIndex = i;
        if (captureFrame(i, plan, bk) == FrameResult::Stored)
            ++completed;
        else
            stopped = true;
    }
    finish(stopped, completed, plan, bk);
    frameStore->captureIndex = -1;
}

WBTSCaptureThread::FrameResult WBTSCaptureThread::captureFrame(int i, const wbplan::PlanInput& plan, int bk)
{
    qDebug() << "开始采集图像：" << now();
    const wbplan::FramePlan p = wbplan::planFrame(plan, i);
    isSampleFrame = p.sample;
    if (p.light == wbplan::Light::On)
        lightOn();
    else if (p.light == wbplan::Light::Off)
        lightOff();
    double exposure = p.exposure;
    qDebug() << "当前采集时间：" << exposure;
    camCtrl->setExposureTime(exposure);

    // Stopped on every way out of this frame.
    acq::CameraRun run(camCtrl, &frame);
    if (!run.start(captureMutex, true)) {
        cameraError();
        return FrameResult::Failed;
    }
    if (isSampleFrame) {
        camCtrl->setGain(0);
        camCtrl->setGain(isFL9BW ? 3 : 60);
    }
    if (camCtrl->isAbort) {
        qDebug() << "Abort before m_WaitForFrame";
        run.stopLogged();
        return FrameResult::Aborted;
    }
    qDebug() << "m_StartWaitFrame success";
    switch (run.waitForFrame("采集线程abort。", [this] { cameraError(); },
                             wbplan::frameWaitMs(exposure, pacing::scale()))) {
    case acq::CameraRun::Wait::Aborted:
        return FrameResult::Aborted;
    case acq::CameraRun::Wait::Failed:
        // Whatever the record holds now is no frame of this exposure: it is never stored.
        return camCtrl->isAbort ? FrameResult::Aborted : FrameResult::Failed;
    case acq::CameraRun::Wait::Frame:
        break;
    }
    if (camCtrl->isAbort)
        return FrameResult::Aborted;

    const bool accumulate = !plan.single && userOpts->integralAccumulate();
    bool written = false;
    const QString path = processFrame(&frame, p, i, accumulate, bk, &written);
    if (path.isEmpty())
        return FrameResult::Failed;
    if (!written) {
        reportUnsaved(path);
        return FrameResult::Failed;
    }
    if (accumulate)
        exposure = p.accumulated + exposure;

    qDebug() << "停止等待帧。";
    run.stop();

    exposure = std::round(exposure * 1000.0) / 1000.0;
    const QString exposureEntry = QString::number(exposure, 'g', 6);
    record->exposureTime += exposureEntry + QLatin1Char(',');
    const int gain = gainEntry(isSampleFrame);
    record->gain += QString::number(gain) + QLatin1Char(',');
    const int bin = record->binning.mid(record->binning.lastIndexOf(QLatin1Char('*')) + 1).toInt();
    emit singleImageCaped(path, bin, exposure, gain);

    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.contains(QLatin1String("_OE"))) {
        record->imageNames += QString(name).remove(QLatin1String("_OE")) + QLatin1Char(',');
        record->gain += QString::number(gain) + QLatin1Char(',');
        record->exposureTime += exposureEntry + QLatin1Char(',');
    }
    record->imageNames += name + QLatin1Char(',');
    experimentDB->updateExperimentParams(record);
    qDebug() << "停止采集图像：" << now();
    return FrameResult::Stored;
}

QString WBTSCaptureThread::processFrame(TUCAM_FRAME* camera, const wbplan::FramePlan& p, int i, bool accumulate,
                                        int bk, bool* written)
{
    if (written)
        *written = false;
    if (!p.sample) {
        if (userOpts->strengthMarker())
            H695ICECamCtrl::applyGamma(camera);
    } else {
        if (!isFL9BW)
            H695ICECamCtrl::subtractScalar(camera, acq::binningFactor(false, camCtrl->binningIndex));
        if (bk == UserOpts::White)
            H695ICECamCtrl::invertImage(camera);
    }

    std::shared_ptr<TsFrame> stored = frameStore->storedFrameOf(camera);
    if (!stored)
        return QString();
    // Summed before it is stored: a frame in the list is never written again.
    if (accumulate)
        addOverExposureInfo(i, *stored);
    const int index = frameStore->appendFrame(stored);
    frameStore->setCaptureFrame(stored);

    OverExposureMask mask;
    if (userOpts->isExposure()) {
        const FrameView view = stored->view();
        const size_t n = view.count();
        std::shared_ptr<std::vector<uint8_t>> marks = frameStore->maskBuffer(n);
        uint8_t* m = marks->data();
        const uint16_t* px = view.pixels;
        // Stored inverted on a white background: the saturated pixels are the darkest ones.
        if (bk == UserOpts::White) {
            for (size_t k = 0; k < n; ++k)
                m[k] = px[k] <= 534;
        } else if (bk == UserOpts::Black) {
            for (size_t k = 0; k < n; ++k)
                m[k] = px[k] > 65000;
        } else {
            std::fill(m, m + n, uint8_t(0));
        }
        // The saver reads the latest mask; the views keep one per frame. Both share the buffer.
        mask = std::move(marks);
        frameStore->setOverExposureSum(mask);
        qDebug() << "采集时添加过曝信息：" << frameStore->overExposureMarkCount();
    }

    const bool asMarker = p.savedAsMarker;
    bool saved = false;
    const QString path =
        camCtrl->saveWBImages(stored->record(), asMarker ? userOpts->strengthMarker() : true, asMarker ? 0 : 1, &saved);
    if (!saved) {
        // The list holds only frames whose pictures are on disk.
        frameStore->removeFrame(index);
        return path;
    }
    frameStore->setFrameFileName(index, path.section(QLatin1Char('/'), -1));
    if (mask)
        frameStore->appendOverExposureMark(mask);
    if (written)
        *written = true;
    return path;
}

void WBTSCaptureThread::finish(bool stopped, int completed, const wbplan::PlanInput& plan, int bk)
{
    const bool skipExtras = stopped || camCtrl->isAbort;
    if (stopped && completed == 0) {
        experimentDB->deleteExperimentByUuid(record->uuid);
        lightOff();
    } else if (plan.single && singleExposure == 0) {
        lightOff();
    }

    bool colorOk = false;
    if (!skipExtras && userOpts->colorMarker()) {
        if (isMini) {
            colorOk = captureColorMarker();
            camCtrl->setExposureThreshold(userOpts->averageGrayThd());
        } else {
            colorOk = captureColorMarkerWithLight();
        }
        if (colorOk)
            saveColorMarker();
    }
    // Nothing leaves the lamp burning, whatever way the run ends.
    if (lights->isOn())
        lightOff();
    camCtrl->setGain(double(camCtrl->gain.load()));

    if (!skipExtras && !camCtrl->isAbort && plan.single && singleExposure != 0 && !plan.markerCapture
        && frameStore->frameCount() > 1) {
        // A colour marker that is not complete leaves the plain merge.
        if (!(userOpts->colorMarker() && colorOk))
            colorPlanes[0].release();
        mergeImages(bk);
    }

    delete record;
    record = nullptr;
    for (auto& r : colorFrameRecords)
        r.reset();
    lights.reset();
    ownLightCtrl.reset();
}

void WBTSCaptureThread::saveColorMarker()
{
    bool written = false;
    const QString path = camCtrl->saveImages(colorPlanes[0], 3, &written);
    qDebug() << "colorMarker: " << path;
    if (!written) {
        reportUnsaved(path);
        return;
    }
    emit colorMarkerCaped(path, -1, -1.0, -1);
}

void WBTSCaptureThread::mergeImages(int bk)
{
    qDebug() << "开始合成图像:" << now();
    const std::vector<TsFramePtr> frames = frameStore->frames();
    if (frames.empty())
        return;
    const std::shared_ptr<TsFrame> m = frameStore->storedFrameOf(frames.front()->record());
    const std::shared_ptr<TsFrame> s = frameStore->storedFrameOf(frames.back()->record());
    if (!m || !s)
        return;
    const std::shared_ptr<const HistogramInfo> first = frameStore->histogramAt(0);
    const std::shared_ptr<const HistogramInfo> last = frameStore->histogramAt(frameStore->histogramCount() - 1);
    if (userOpts->isAutoStretch()) {
        H695ICECamCtrl::stretchLevels(m->record(), first ? first->low : 0, first ? first->high : 65535);
        H695ICECamCtrl::stretchLevels(s->record(), last ? last->low : 0, last ? last->high : 65535);
        camCtrl->sharpen16U(s->record(), bk != UserOpts::White);
    }
    cv::Mat colourMerge;
    const bool coloured = !colorPlanes[0].empty() && camCtrl->toColorImage(s->record(), colorPlanes[0], colourMerge);
    int index = -1;
    if (!coloured) {
        camCtrl->multiplyImage(m->record(), s->record());
        index = frameStore->appendFrame(m);
    }
    OverExposureMask repeated;
    if (userOpts->isExposure() && frameStore->overExposureMarkCount() > 0) {
        const OverExposureMask lastMark = frameStore->overExposureMarkAt(frameStore->overExposureMarkCount() - 1);
        const long marked = long(std::count(lastMark->begin(), lastMark->end(), uint8_t(1)));
        if (marked > camCtrl->overExposureThreshold)
            repeated = lastMark;
    }
    bool written = false;
    if (coloured) {
        const QString path = camCtrl->saveImages(colourMerge, 2, &written);
        if (!written)
            reportUnsaved(path);
        else
            emit colorMarkerCaped(path, -1, -1.0, -1);
    } else {
        const QString path = camCtrl->saveWBImages(m->record(), false, 2, &written);
        if (!written) {
            frameStore->removeFrame(index);
            reportUnsaved(path);
        } else {
            frameStore->setFrameFileName(index, path.section(QLatin1Char('/'), -1));
            emit singleImageCaped(path, -1, -1.0, -1);
        }
    }
    // The merge's mask, beside its picture.
    if (written && repeated)
        frameStore->appendOverExposureMark(repeated);
    qDebug() << "结束合成图像:" << now();
}
