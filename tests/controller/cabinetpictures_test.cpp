// Every road of the virtual cabinet gives a usable picture: each cabinet, brought up as the
// program brings it up, under each light its pages offer, previewed and exposed by the camera's
// automatic exposure until the pages' own rule (qml/js/GelCapture.js) calls it settled, or on the
// Kestrix cabinet by its automatic capture (the exposure estimate, then the marker and the
// chemiluminescent signal). The picture is then neither black nor saturated, and the gel shows
// dark bands on a bright field under white light and bright bands on a dark field under UV.
#include "controllertest.h"

#include "cabinetstate.h"
#include "camopts.h"
#include "gelflow.h"
#include "h695icecamctrl.h"
#include "multflow.h"
#include "wbtsflow.h"
#include "hidsmbus_test.h"
#include "kestrix64_test.h"
#include "kestrixctrl.h"
#include "smbuslensctrl.h"
#include "startup.h"
#include "useropts.h"
#include "testappdir.h"
#include "tsframe.h"
#include "tucam_test.h"
#include "wbqiflow.h"

#include <QFile>
#include <QJSEngine>
#include <QSignalSpy>
#include <QtCharts/QLineSeries>
#include <QtTest>

#include <algorithm>

namespace {

// QI: the Kestrix cabinet's automatic capture, one of its frames looked at.
enum class Mode { Gel, Mult, WB, QI };
enum QiFrame { QiMarker = 0, QiSignal = 1 };  // the frames of a single capture, in order

struct Light {
    Mode mode;
    int lightType;     // EnumOBJ::LightType; -1 for the Western-blot light; QiFrame on the Kestrix
    int filter;        // EnumOBJ::FilterType sent with it, -1 for none
    const char* name;
    int bands;         // 1: bright bands on a dark field, -1: dark bands on a bright field, 0: not looked at
};

// The light commands of the pages, as the controller sends them.
void switchOn(IC_MainControl* ctrl, bool singleGel, const Light& light)
{
    switch (light.mode) {
    case Mode::Gel:
        if (singleGel)
            ctrl->lightCmd(light.lightType, true);
        else
            ctrl->_GelTSLightChanged(light.lightType, light.filter >= 0, std::max(light.filter, 0));
        break;
    case Mode::Mult:
        ctrl->_MultTSLightChanged(light.lightType, light.filter >= 0, std::max(light.filter, 0));
        break;
    case Mode::WB:
        ctrl->lightChange(true);
        break;
    case Mode::QI:
        break;  // the capture switches its own light
    }
}

struct Stats {
    double mean = 0, saturated = 0;  // mean as a share of full scale, share of saturated pixels
    double low = 0, median = 0, high = 0;  // the 0.1 %, 50 % and 99.9 % points
};

Stats statsOf(const FrameView& v)
{
    std::vector<uint16_t> sorted(v.pixels, v.pixels + v.count());
    Stats s;
    double sum = 0;
    for (uint16_t p : sorted)
        sum += p;
    s.mean = sum / double(sorted.size()) / 65535.0;
    std::sort(sorted.begin(), sorted.end());
    s.saturated = double(sorted.end() - std::lower_bound(sorted.begin(), sorted.end(), uint16_t(65535)))
        / double(sorted.size());
    s.low = sorted[sorted.size() / 1000];
    s.median = sorted[sorted.size() / 2];
    s.high = sorted[sorted.size() - 1 - sorted.size() / 1000];
    return s;
}

// The wheel position the board turns to for a filter of the pages (its filter byte less 0x11).
int wheelPosition(int filter)
{
    static const int position[] = {0, 1, 2, 3, 4, 5, 5, 6};
    return filter >= 0 && filter < 8 ? position[filter] : 0;
}

} // namespace

Q_DECLARE_METATYPE(Light)

class CabinetPicturesTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;
    QJSEngine js;
    QJSValue aeSettled;

    std::unique_ptr<ControllerRig> rig;

    IC_MainControl* bringUp(const QString& model)
    {
        appDir.writeMachine(model);
        // The lamps stay lit for the whole test: scaled down, the timed shut-down comes in seconds.
        UserOpts::getInstance()->setLightAutoShutDownTime(0);
        UserOpts::getInstance()->saveUserOptsByName(UserOpts::OPT_LightAutoShutDownTime);
        // Each cabinet's first search, from where a new cabinet's lens has never been.
        CamOpts::getInstance()->setAutoFocusPosition(0);
        CamOpts::getInstance()->saveCamOptsByName(CamOpts::AutoFocusPosition);
        tucamtest::reset();
        kxtest_reset();
        SmbusLensCtrl::close();
        smbustest::reset();
        vcab::CabinetState::instance().reset();
        rig = std::make_unique<ControllerRig>();
        IC_MainControl* ctrl = rig->ctrl.get();
        ctrl->initMachine();
        applyVirtualCabinetModel(ctrl->authorityType());
        QSignalSpy camInit(ctrl, &IC_MainControl::camInitFinish);
        ctrl->initDevice();
        // The Kestrix camera is up before initDevice returns: its signal has come already.
        if ((camInit.isEmpty() && !camInit.wait(20000)) || !QTest::qWaitFor([] { return logged(QStringLiteral("握手成功。")); }, 20000))
            return nullptr;
        return ctrl;
    }

    // The page's automatic exposure: on, then a reading every poll until the pages' rule calls
    // it settled (or its twentieth poll), then off. Polls come faster than the page's, as the
    // cabinet's time is scaled.
    bool autoExpose(IC_MainControl* ctrl, Mode mode, const int& frames, double& exposure)
    {
        QSignalSpy aeFinished(ctrl, &IC_MainControl::setAEFinished);
        auto atExposure = [&](int on) {
            if (mode == Mode::Gel) ctrl->_GelTSAtExposure(on);
            else if (mode == Mode::Mult) ctrl->_MultTSAtExposure(on);
            else ctrl->_WBTSAtExposure(on);
        };
        atExposure(1);
        if (!aeFinished.wait(20000))
            return false;
        QJSValue history = js.newArray();
        bool settled = false;
        for (int polls = 1; !settled && polls <= 20; ++polls) {
            QTest::qWait(200);
            exposure = mode == Mode::Gel ? ctrl->_GelTSGetExposure()
                     : mode == Mode::Mult ? ctrl->_MultTSGetExposure() : ctrl->_WBTSGetExposure();
            const int gain = qRound(mode == Mode::Gel ? ctrl->_GelTSGetGain()
                                  : mode == Mode::Mult ? ctrl->_MultTSGetGain() : ctrl->_WBTSGetGain());
            settled = aeSettled.call({history, exposure, gain, polls, false, frames}).toBool();
            // As the page does while the exposure moves.
            if (!settled) {
                if (mode == Mode::Gel) ctrl->_GelTSPreExpAndGainChanged(exposure, gain);
                else if (mode == Mode::Mult) ctrl->_MultTSPreExpAndGainChanged(exposure, gain);
                else ctrl->_WBTSPreExpAndGainChanged(exposure, gain);
            }
            QJSValue entry = js.newObject();
            entry.setProperty("exposure", exposure);
            entry.setProperty("gain", gain);
            entry.setProperty("frame", frames);
            history.setProperty(history.property("length").toUInt(), entry);
        }
        aeFinished.clear();
        atExposure(0);
        return aeFinished.wait(20000) && settled;
    }

    // The Western-blot page's automatic capture on the Kestrix camera: the preview, then the
    // estimate, whose value the page keeps as the single capture's exposure, then the white-light
    // marker and the chemiluminescent signal. Gives the frame asked for, as the camera took it.
    bool autoCaptureQI(IC_MainControl* ctrl, int index, KestrixFrame& picture, int& exposure)
    {
        auto setOption = [](UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set) {
            set(UserOpts::getInstance());
            UserOpts::getInstance()->saveUserOptsByName(type);
        };
        setOption(UserOpts::OPT_ImageSavePath, [this](UserOpts* o) { o->setImageSavePath(appDir.path() + "/user"); });
        setOption(UserOpts::OPT_MarkerCapture, [](UserOpts* o) { o->setMarkerCapture(false); });
        setOption(UserOpts::OPT_SingleCapExpTime, [](UserOpts* o) { o->setSingleCapExpTime(0); });
        // On a white background the signal is stored inverted.
        setOption(UserOpts::OPT_SampleImageBkColor, [](UserOpts* o) { o->setSampleImageBkColor(UserOpts::Black); });
        exposure = 0;
        QObject keep;
        connect(ctrl, &IC_MainControl::updateEstimateTime, &keep, [&](int t) {
            exposure = t;
            setOption(UserOpts::OPT_SingleCapExpTime, [t](UserOpts* o) { o->setSingleCapExpTime(t); });
        });
        ctrl->setSingleCaptureVisible(true);
        QSignalSpy shown(ctrl, &IC_MainControl::imageChanged);
        QSignalSpy finished(ctrl, &IC_MainControl::captureFinished);
        ctrl->_WBQIPreviewStart();
        if (!shown.wait(20000))
            return false;
        ctrl->_WBQICaptureStart(true);
        if (!finished.wait(120000) || exposure <= 0)
            return false;
        KestrixCtrl* kx = KestrixCtrl::getInstance();
        // Marker, signal and their merge.
        if (kx->frameCount() != 3)
            return false;
        picture = kx->frameAt(index);
        return !picture.empty();
    }

    // One frame of the Kestrix cabinet's automatic capture, from a dark cabinet.
    void checkKestrixPicture(IC_MainControl* ctrl, const Light& light)
    {
        const QByteArray name(light.name);
        ctrl->setExpMode(EnumOBJ::WB);
        ctrl->lightChange(false);
        QVERIFY2(QTest::qWaitFor([] { return vcab::CabinetState::instance().snapshot().lamps == 0; }, 20000), name);
        KestrixFrame picture;
        int estimate = 0;
        const bool captured = autoCaptureQI(ctrl, light.lightType, picture, estimate);
        QVERIFY2(captured, name);
        const Stats s = statsOf(picture.view());
        const QByteArray what = name + ", estimate " + QByteArray::number(estimate) + " ms: mean "
            + QByteArray::number(s.mean) + ", saturated " + QByteArray::number(s.saturated) + ", 0.1/50/99.9 % "
            + QByteArray::number(s.low) + " " + QByteArray::number(s.median) + " " + QByteArray::number(s.high);
        qInfo("%s", what.constData());
        if (light.lightType == QiMarker) {
            // Taken at the page's preview exposure, not by an automatic exposure: with the
            // membrane well lit, the blot's strongest bands (a few per cent of the frame) may clip.
            QVERIFY2(s.mean >= 0.20 && s.mean <= 0.70, what);
            QVERIFY2(s.saturated < 0.03 && s.median < 0.5 * 65535, what);
        } else {
            QVERIFY2(s.saturated < 0.001, what);
            // The estimate aims the bands' boxes at about 150 x 0.2 of 255 (the estimation's own
            // rule, fitted to a chemiluminescent blot): the field stays near black and the mean
            // near 4 % by design. A usable signal is bright bands well clear of a field that is
            // itself above the camera's black.
            const double black = 100;  // the camera's offset
            QVERIFY2(s.median > black + 20, what);
            QVERIFY2(s.high - black > 8 * (s.median - black), what);
        }
        ctrl->_WBQIExitExperiment();
        QVERIFY2(QTest::qWaitFor([ctrl] {
            return !ctrl->wbQI()->preview.thread() && !ctrl->wbQI()->estimateThread && !ctrl->wbQI()->captureThread;
        }, 20000), name);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void tearDownCabinet()
    {
        SmbusLensCtrl::close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        H695ICECamCtrl::getInstance()->closeCamera();
        KestrixCtrl::getInstance()->closeCamera();
        rig.reset();
    }

private slots:
    // Whatever a failed check left running ends before the camera closes.
    void cleanup()
    {
        if (!rig)
            return;
        IC_MainControl* ctrl = rig->ctrl.get();
        disconnect(ctrl, &IC_MainControl::imageChanged, this, nullptr);
        ctrl->_GelTSExitExperiment();
        ctrl->_MultTSExitExperiment();
        ctrl->_WBTSExitExperiment();
        ctrl->_WBQIExitExperiment();
        QTRY_VERIFY_WITH_TIMEOUT(!ctrl->gel()->preview.thread() && !ctrl->mult()->preview.thread()
                                     && !ctrl->wbTS()->preview.thread() && !ctrl->wbQI()->preview.thread()
                                     && !ctrl->wbQI()->estimateThread && !ctrl->wbQI()->captureThread, 20000);
        tearDownCabinet();
    }

    void initTestCase()
    {
        // The pages' rule, read from their own script (its QML-only first line left out).
        QFile file(QStringLiteral(TAVRILL_QML_DIR "/js/GelCapture.js"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(file.readAll());
        text.remove(QStringLiteral(".pragma library"));
        const QJSValue result = js.evaluate(text);
        QVERIFY2(!result.isError(), qPrintable(result.toString()));
        aeSettled = js.globalObject().property(QStringLiteral("aeSettled"));
        QVERIFY(aeSettled.isCallable());
    }

    void picturesAfterAutomaticExposure_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QVector<Light>>("lights");
        const QVector<Light> gel = {
            {Mode::Gel, EnumOBJ::White, -1, "gel, white", -1},
            {Mode::Gel, EnumOBJ::UV302C, -1, "gel, UV 302", 1},
            {Mode::Gel, EnumOBJ::UV254, -1, "gel, UV 254", 1},
            {Mode::Gel, EnumOBJ::UV365, -1, "gel, UV 365", 1},
        };
        const QVector<Light> mult = {
            {Mode::Mult, EnumOBJ::White, -1, "multi-fluorescence, white", -1},
            {Mode::Mult, EnumOBJ::R625nm, EnumOBJ::F_700nm, "R625 through 700 nm", 0},
            {Mode::Mult, EnumOBJ::G520nm, EnumOBJ::F_590nm, "G520 through 590 nm", 0},
            {Mode::Mult, EnumOBJ::B470nm, EnumOBJ::F_535nm, "B470 through 535 nm", 0},
            {Mode::Mult, EnumOBJ::IR740nm, EnumOBJ::F_810nm, "IR740 through 810 nm", 0},
        };
        const QVector<Light> wb = {{Mode::WB, -1, -1, "Western blot, light on", 0}};
        QTest::newRow("S60") << "S60" << (gel + mult + wb);
        QTest::newRow("S20Mini") << "S20Mini"
                                 << QVector<Light> {{Mode::Gel, EnumOBJ::White, -1, "white", -1},
                                                    {Mode::Gel, EnumOBJ::UV302, -1, "UV", 1},
                                                    {Mode::Gel, EnumOBJ::Blue, -1, "blue", 1}};
        QTest::newRow("FL9BW, all modes") << "Ormivex_GF_AutoFL9BW" << (gel + mult + wb);
        QTest::newRow("Mini cabinet") << "Ormivex_Mini695" << wb;
        QTest::newRow("S40Plus, Kestrix camera")
            << "S40Plus" << QVector<Light> {{Mode::QI, QiMarker, -1, "Western blot marker, main white light", 0},
                                            {Mode::QI, QiSignal, -1, "chemiluminescence, no light", 1}};
    }
    void picturesAfterAutomaticExposure()
    {
        QFETCH(QString, model);
        QFETCH(QVector<Light>, lights);
        IC_MainControl* ctrl = bringUp(model);
        QVERIFY(ctrl);
        const bool singleGel = ctrl->authorityType() == EnumOBJ::GelTS20BW;
        // Exposure is looked at here, not focus: a motorised lens stands where the scene is sharp.
        const int best = vcab::CabinetState::instance().snapshot().bestFocus;
        if (singleGel) {
            QTRY_VERIFY_WITH_TIMEOUT(smbustest::lens().focusInitCount > 0 && !smbustest::lens().focusBusy, 20000);
            QSignalSpy moved(ctrl, &IC_MainControl::focusMoved);
            ctrl->_FocusChanged(best);
            QVERIFY(moved.wait(20000));
        } else {
            vcab::CabinetState::instance().update([best](vcab::CabinetSnapshot& c) { c.serialFocus = best; });
        }
        QtCharts::QLineSeries series;
        ctrl->setGelLineSeries(&series);
        ctrl->setMultLineSeries(&series);
        ctrl->setLineSeries(&series);
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        int frames = 0;
        connect(ctrl, &IC_MainControl::imageChanged, this, [&frames] { ++frames; });
        for (const Light& light : lights) {
            if (light.mode == Mode::QI) {
                checkKestrixPicture(ctrl, light);
                if (QTest::currentTestFailed())
                    return;
                continue;
            }
            const QByteArray name = QByteArray(light.name);
            const EnumOBJ::ExpMode mode = light.mode == Mode::Gel ? EnumOBJ::Gel
                                        : light.mode == Mode::Mult ? EnumOBJ::Mult : EnumOBJ::WB;
            ctrl->setExpMode(mode);
            // From a dark cabinet, so that the light is known to be on before the exposure starts.
            ctrl->lightChange(false);
            QVERIFY2(QTest::qWaitFor([] { return vcab::CabinetState::instance().snapshot().lamps == 0; }, 20000), name);
            switchOn(ctrl, singleGel, light);
            QVERIFY2(QTest::qWaitFor([&] {
                const vcab::CabinetSnapshot c = vcab::CabinetState::instance().snapshot();
                return c.lamps != 0 && !c.filterTurning && (light.filter < 0 || c.filterPos == wheelPosition(light.filter));
            }, 20000), name);
            if (light.mode == Mode::Gel) ctrl->_GelTSPreviewStart();
            else if (light.mode == Mode::Mult) ctrl->_MultTSPreviewStart();
            else ctrl->_WBTSPreviewStart();
            QVERIFY2(QTest::qWaitFor([&] { return frames > 0; }, 20000), name);
            double exposure = 0;
            const bool settled = autoExpose(ctrl, light.mode, frames, exposure);
            // A frame taken wholly after the exposure settled.
            const int seen = frames;
            QVERIFY2(QTest::qWaitFor([&] { return frames >= seen + 2; }, 20000), name);
            const TsFramePtr frame = cam->frameStore().currentFrame();
            QVERIFY2(frame && !frame->view().empty(), name);
            const Stats s = statsOf(frame->view());
            const QByteArray what = name + " at " + QByteArray::number(exposure) + " ms: mean "
                + QByteArray::number(s.mean) + ", saturated " + QByteArray::number(s.saturated) + ", 0.1/50/99.9 % "
                + QByteArray::number(s.low) + " " + QByteArray::number(s.median) + " " + QByteArray::number(s.high);
            qInfo("%s", what.constData());
            QVERIFY2(settled, what);
            QVERIFY2(s.mean >= 0.20 && s.mean <= 0.70, what);
            QVERIFY2(s.saturated < 0.001, what);
            // Dark bands absorb three quarters of the light; bright bands glow several times the field.
            if (light.bands < 0)
                QVERIFY2(s.low < 0.5 * s.median, what);
            if (light.bands > 0)
                QVERIFY2(s.high > 2.5 * s.median, what);

            if (light.mode == Mode::Gel) {
                if (singleGel) {
                    ctrl->lightCmd(light.lightType, false);
                    ctrl->_GelTS20BWExitExperiment();
                } else {
                    ctrl->_GelTSExitExperiment();
                }
            } else if (light.mode == Mode::Mult) {
                ctrl->_MultTSExitExperiment();
            } else {
                ctrl->lightChange(false);
                ctrl->_WBTSExitExperiment();
            }
            QVERIFY2(QTest::qWaitFor([ctrl] {
                return !ctrl->gel()->preview.thread() && !ctrl->mult()->preview.thread()
                    && !ctrl->wbTS()->preview.thread();
            }, 20000), name);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            frames = 0;
        }
    }

    // Autofocus from the page's first visit on each kind of motorised lens, where the bring-up
    // put the scene's best focus: the search ends within one step (and the offset) of it, and the
    // picture there is at least three times as sharp as at the ends of the lens's range.
    void autofocusFindsTheBestFocus_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("smbus");
        QTest::addColumn<bool>("exposeFirst");  // the page's automatic exposure before the search
        QTest::addColumn<bool>("westernBlot");  // on the Western-blot page, not the gel page
        QTest::newRow("board lens") << "Ormivex_G_Auto695" << false << false << false;
        QTest::newRow("board lens, after automatic exposure") << "Ormivex_G_Auto695" << false << true << false;
        QTest::newRow("board lens, Western blot, after automatic exposure")
            << "Ormivex_G_Auto695" << false << true << true;
        QTest::newRow("SMBus lens, after automatic exposure") << "S20Mini" << true << true << false;
    }
    void autofocusFindsTheBestFocus()
    {
        QFETCH(QString, model);
        QFETCH(bool, smbus);
        QFETCH(bool, exposeFirst);
        QFETCH(bool, westernBlot);
        IC_MainControl* ctrl = bringUp(model);
        QVERIFY(ctrl);
        if (smbus)
            QTRY_VERIFY_WITH_TIMEOUT(smbustest::lens().focusInitCount > 0 && !smbustest::lens().focusBusy, 20000);
        const int best = vcab::CabinetState::instance().snapshot().bestFocus;
        const int step = smbus ? 50 : 15;
        const int low = smbus ? SmbusLensCtrl::focusMin() : 1000;
        const int high = smbus ? SmbusLensCtrl::focusMax() : 3500;
        QVERIFY2(best > low + (high - low) / 5 && best < high - (high - low) / 5, qPrintable(QString::number(best)));
        UserOpts::getInstance()->loadUserOptsByName(UserOpts::OPT_AfOffset);
        const int offset = UserOpts::getInstance()->afOffset();

        QtCharts::QLineSeries series;
        ctrl->setGelLineSeries(&series);
        ctrl->setLineSeries(&series);
        ctrl->setExpMode(westernBlot ? EnumOBJ::WB : EnumOBJ::Gel);
        if (westernBlot)
            ctrl->lightChange(true);
        else if (smbus)
            ctrl->lightCmd(EnumOBJ::UV302, true);
        else
            ctrl->_GelTSLightChanged(EnumOBJ::UV302C, false, 0);
        // The light is on before the exposure starts: exposed in the dark, the exposure runs up
        // to its ceiling, and once the light is on every frame is flat white.
        QVERIFY(QTest::qWaitFor([] { return vcab::CabinetState::instance().snapshot().lamps != 0; }, 20000));
        int frames = 0;
        connect(ctrl, &IC_MainControl::imageChanged, this, [&frames] { ++frames; });
        if (westernBlot)
            ctrl->_WBTSPreviewStart();
        else
            ctrl->_GelTSPreviewStart();
        QVERIFY(QTest::qWaitFor([&] { return frames > 0; }, 20000));
        double exposure = 0;
        if (exposeFirst)
            QVERIFY(autoExpose(ctrl, westernBlot ? Mode::WB : Mode::Gel, frames, exposure));

        QSignalSpy ended(ctrl, smbus ? &IC_MainControl::aFFinished : &IC_MainControl::setAFFinished);
        if (smbus)
            ctrl->_GelTS20BWAtFocus();
        else if (westernBlot)
            ctrl->_WBTSSpacecomAtFocus();
        else
            ctrl->_GelTSSpacecomAtFocus();
        // A loaded machine stretches every step of the sweep: the deadline is for a search that hangs.
        QVERIFY(ended.wait(300000));
        int final = int(smbustest::lens().focusPosition);
        if (!smbus) {
            // The search has ended once it asked for its final move; the board turns the lens
            // there after that.
            CamOpts::getInstance()->loadCamOptsByName(CamOpts::AutoFocusPosition);
            const int kept = CamOpts::getInstance()->autoFocusPosition();
            const bool arrived = QTest::qWaitFor(
                [kept] { return vcab::CabinetState::instance().snapshot().serialFocus == kept; }, 20000);
            final = vcab::CabinetState::instance().snapshot().serialFocus;
            QVERIFY2(arrived, qPrintable(QStringLiteral("lens at %1, the search kept %2").arg(final).arg(kept)));
        }
        QVERIFY2(std::abs(final - best) <= step + offset,
                 qPrintable(QStringLiteral("lens at %1, best %2").arg(final).arg(best)));

        // The program's own focus measure, on a frame taken with the lens at rest at a position.
        H695ICECamCtrl* cam = H695ICECamCtrl::getInstance();
        QSignalSpy moved(ctrl, &IC_MainControl::focusMoved);
        auto sharpnessAt = [&](int position) {
            if (smbus) {
                moved.clear();
                ctrl->_FocusChanged(position);
                if (!moved.wait(20000))
                    return -1.0;
            } else {
                ctrl->lensCtrl(position);
                if (!QTest::qWaitFor([&] { return vcab::CabinetState::instance().snapshot().serialFocus == position; },
                                     20000))
                    return -1.0;
            }
            // Two frames of the camera taken with the lens at rest, then one more shown.
            const uint32_t taken = tucamtest::state().framesDelivered;
            if (!QTest::qWaitFor([&] { return tucamtest::state().framesDelivered >= taken + 2; }, 20000))
                return -1.0;
            const int seen = frames;
            if (!QTest::qWaitFor([&] { return frames > seen; }, 20000))
                return -1.0;
            const TsFramePtr frame = cam->frameStore().currentFrame();
            cv::Mat roi;
            H695ICECamCtrl::cropRoi(frame->view().mat(), roi);
            return H695ICECamCtrl::focusMeasure(roi);
        };
        const double atBest = sharpnessAt(best);
        const double atLow = sharpnessAt(low);
        const double atHigh = sharpnessAt(high);
        const QByteArray what = QStringLiteral("sharpness %1 at best, %2 at %3, %4 at %5")
                                    .arg(atBest).arg(atLow).arg(low).arg(atHigh).arg(high).toUtf8();
        qInfo("%s", what.constData());
        QVERIFY2(atBest > 0 && atLow > 0 && atHigh > 0, what);
        QVERIFY2(atBest >= 3 * atLow && atBest >= 3 * atHigh, what);

    }
};

QTEST_MAIN(CabinetPicturesTest)
#include "cabinetpictures_test.moc"
