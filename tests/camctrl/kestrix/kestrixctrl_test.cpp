// KestrixCtrl against the driver stand-in: library and camera lifecycle, error reports, the frame
// hand-over, and the processing and saving pipeline with real files read back by libtiff.
#include "kestrixctrl.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>

#include <opencv2/imgproc.hpp>
#include <tiffio.h>

#include <chrono>
#include <future>
#include <thread>

#include "apppaths.h"
#include "cabinetstate.h"
#include "kestrix64_test.h"
#include "testappdir.h"
#include "useropts.h"

namespace {

QMutex g_logMutex;
QStringList g_log;

void captureLog(QtMsgType, const QMessageLogContext&, const QString& message)
{
    QMutexLocker lock(&g_logMutex);
    g_log << message;
}

QStringList logLines()
{
    QMutexLocker lock(&g_logMutex);
    return g_log;
}

std::string callLog()
{
    std::string log(static_cast<size_t>(kxtest_call_log(nullptr, 0)) + 1, '\0');
    kxtest_call_log(&log[0], static_cast<int32_t>(log.size()));
    log.resize(log.size() - 1);
    return log;
}

class KestrixCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kxtest_reset();
        vcab::CabinetState::instance().reset();
        ctrl = KestrixCtrl::getInstance();
        spy = std::make_unique<QSignalSpy>(ctrl, &KestrixCtrl::sig_CamErrorOccur);
        {
            QMutexLocker lock(&g_logMutex);
            g_log.clear();
        }
        previous = qInstallMessageHandler(captureLog);
    }
    void TearDown() override
    {
        ctrl->closeCamera();
        ctrl->clearFrames();
        ctrl->setClock({});
        qInstallMessageHandler(previous);
        kxtest_reset();
    }
    bool logged(const QString& line) const { return logLines().contains(line); }
    void setBackground(UserOpts::BkColorType color)
    {
        UserOpts::getInstance()->setSampleImageBkColor(color);
        UserOpts::getInstance()->saveUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    }

    KestrixCtrl* ctrl = nullptr;
    std::unique_ptr<QSignalSpy> spy;
    QtMessageHandler previous = nullptr;
};

} // namespace

TEST_F(KestrixCtrlTest, InitCloseInitCycles)
{
    // Identifier 100 is parameter 1 of feature 1, behind a feature of its own; no parameter starts
    // at 1, so a write of 1 to the wrong one shows.
    kxtest_pp_clear();
    kxtest_pp_add_feature("Defect Repair", 11);
    kxtest_pp_add_param("Enabled", 110, 0, 1, 0);
    kxtest_pp_add_param("Threshold", 111, 0, 65535, 500);
    kxtest_pp_add_feature("Noise Reduction", 10);
    kxtest_pp_add_param("Strength", 101, 0, 100, 50);
    kxtest_pp_add_param("Enabled", 100, 0, 1, 0);
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_TRUE(ctrl->initCamera()) << cycle;
        KestrixCameraContext* ctx = ctrl->context();
        EXPECT_TRUE(ctrl->isLibraryInitialised());
        EXPECT_TRUE(ctx->isCamOpen);
        EXPECT_STREQ(ctx->camName, "KX-2688-00");
        EXPECT_EQ(ctx->region.s2, 2687);
        EXPECT_EQ(ctx->region.p2, 2199);
        EXPECT_EQ(ctx->region.sbin, 1);
        EXPECT_EQ(ctx->exposureTime, 200u);
        EXPECT_FALSE(ctx->previewAbort || ctx->captureAbort || ctx->estimateAbort);
        int16_t setpoint = 0;
        ASSERT_EQ(kx_get_param(ctx->hcam, PARAM_TEMP_SETPOINT, KX_ATTR_CURRENT, &setpoint), KX_SUCCESS);
        EXPECT_EQ(setpoint, -2000);
        int32_t clearMode = 0;
        ASSERT_EQ(kx_get_param(ctx->hcam, PARAM_CLEAR_MODE, KX_ATTR_CURRENT, &clearMode), KX_SUCCESS);
        EXPECT_EQ(clearMode, 1);
        // Each open starts from the table's defaults: only identifier 100 is set, to 1.
        EXPECT_EQ(kxtest_pp_value(1, 1), 1u);
        EXPECT_EQ(kxtest_pp_value(0, 0), 0u);
        EXPECT_EQ(kxtest_pp_value(0, 1), 500u);
        EXPECT_EQ(kxtest_pp_value(1, 0), 50u);

        ctrl->closeCamera();
        EXPECT_FALSE(ctrl->isLibraryInitialised());
        EXPECT_FALSE(ctx->isCamOpen);
        EXPECT_EQ(ctx->hcam, -1);
        EXPECT_TRUE(ctx->previewAbort && ctx->captureAbort && ctx->estimateAbort);
        EXPECT_EQ(ctrl->context(), ctx);  // the context outlives the close
    }
    EXPECT_EQ(spy->count(), 0);
    EXPECT_TRUE(logged("相机名称： \"KX-2688-00\""));
    EXPECT_TRUE(logged("关闭相机。"));
    EXPECT_TRUE(logged("反初始化相机。"));
}

TEST_F(KestrixCtrlTest, SecondInitMakesNoLibraryCall)
{
    ASSERT_TRUE(ctrl->initCamera());
    kxtest_clear_call_log();
    EXPECT_TRUE(ctrl->initCamera());
    EXPECT_EQ(kxtest_call_count(), 0);
    EXPECT_EQ(spy->count(), 0);
}

TEST_F(KestrixCtrlTest, NoCameraReportsShutsDownAndStartsAgainLater)
{
    kxtest_set_camera_count(0);
    EXPECT_FALSE(ctrl->initCamera());
    EXPECT_EQ(spy->count(), 1);
    EXPECT_TRUE(logged(QString("相机错误代码： %1 no cameras found").arg(kx_error_code())));
    EXPECT_FALSE(ctrl->isLibraryInitialised());
    EXPECT_NE(callLog().find("kx_kestrix_uninit\n"), std::string::npos);

    kxtest_set_camera_count(1);
    kxtest_clear_call_log();
    EXPECT_TRUE(ctrl->initCamera());
    EXPECT_EQ(callLog().rfind("kx_kestrix_init\n", 0), 0u);
}

TEST_F(KestrixCtrlTest, EveryFailingCallReportsItsTextAndTheLibraryCode)
{
    struct Case {
        const char* call;
        uint32_t param;
        int16_t attribute;
        int32_t skip;
        const char* text;
        bool libraryLeftOpen;
    };
    const Case cases[] = {
        {"kx_kestrix_init", 0, -1, 0, "kx_kestrix_init() error", false},
        {"kx_cam_get_total", 0, -1, 0, "kx_cam_get_total() error", false},
        {"kx_cam_get_name", 0, -1, 0, "kx_cam_get_name() error", false},
        {"kx_cam_open", 0, -1, 0, "kx_cam_open() error", false},
        {"kx_set_param", PARAM_CLEAR_MODE, -1, 0, "kx_set_param(PARAM_CLEAR_MODE) error", true},
        {"kx_set_param", PARAM_TEMP_SETPOINT, -1, 0, "kx_set_param(PARAM_TEMP_SETPOINT) error", true},
        {"kx_get_param", PARAM_PP_INDEX, KX_ATTR_COUNT, 0, "kx_get_param(PARAM_PP_INDEX, ATTR_COUNT,) error", true},
        {"kx_set_param", PARAM_PP_INDEX, -1, 0, "kx_set_param(PARAM_PP_INDEX) error", true},
        {"kx_get_param", PARAM_PP_FEAT_NAME, -1, 1, "kx_get_param(PARAM_PP_FEAT_NAME, ATTR_CURRENT) error", true},
        {"kx_get_param", PARAM_PP_FEAT_ID, -1, 0, "kx_get_param(PARAM_PP_FEAT_ID, ATTR_CURRENT) error", true},
        {"kx_get_param", PARAM_PP_PARAM_INDEX, KX_ATTR_COUNT, 0, "kx_get_param(PARAM_PP_PARAM_INDEX, ATTR_COUNT) error", true},
        {"kx_set_param", PARAM_PP_PARAM_INDEX, -1, 2, "kx_set_param(PARAM_PP_PARAM_INDEX) error", true},
        {"kx_get_param", PARAM_PP_PARAM_NAME, -1, 0, "kx_get_param(PARAM_PP_PARAM_NAME, ATTR_CURRENT) error", true},
        {"kx_get_param", PARAM_PP_PARAM_ID, -1, 0, "kx_get_param(PARAM_PP_PARAM_ID, ATTR_CURRENT) error", true},
        {"kx_get_param", PARAM_PP_PARAM, KX_ATTR_MIN, 0, "kx_get_param(PARAM_PP_PARAM, ATTR_MIN) error", true},
        {"kx_get_param", PARAM_PP_PARAM, KX_ATTR_MAX, 3, "kx_get_param(PARAM_PP_PARAM, ATTR_MAX) error", true},
        {"kx_get_param", PARAM_PP_PARAM, KX_ATTR_DEFAULT, 0, "kx_get_param(PARAM_PP_PARAM, ATTR_DEFAULT) error", true},
        // Two features are walked (two selections), the third selection is SetPpParamValue's.
        {"kx_set_param", PARAM_PP_INDEX, -1, 2, "kx_set_param(PARAM_PP_INDEX) error", true},
        {"kx_set_param", PARAM_PP_PARAM_INDEX, -1, 4, "kx_set_param(PARAM_PP_PARAM_INDEX) error", true},
        {"kx_set_param", PARAM_PP_PARAM, -1, 0, "kx_set_param(PARAM_PP_PARAM) error", true},
    };
    int16_t code = 4000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        kxtest_reset();
        spy->clear();
        {
            QMutexLocker lock(&g_logMutex);
            g_log.clear();
        }
        ++code;
        kxtest_inject_fault(c.call, c.param, c.attribute, code, c.skip, 1);
        EXPECT_FALSE(ctrl->initCamera());
        EXPECT_GE(spy->count(), 1);
        EXPECT_TRUE(logged(QString("相机错误代码： %1 %2").arg(code).arg(c.text))) << logLines().join("\n").toStdString();
        EXPECT_EQ(ctrl->isLibraryInitialised(), c.libraryLeftOpen);
        ctrl->closeCamera();
        EXPECT_FALSE(ctrl->isLibraryInitialised());
    }
    // The post-processing step reports its caller's text after the failing call's.
    EXPECT_TRUE(logged(QString("相机错误代码： %1 SetPpParamValue() error").arg(code)));
}

TEST_F(KestrixCtrlTest, ErrorSlotThatClosesTheCameraDoesNotRecurse)
{
    // The main controller closes the camera on every error report, from inside the report.
    QObject::connect(ctrl, &KestrixCtrl::sig_CamErrorOccur, ctrl, [this] { ctrl->closeCamera(); });
    ASSERT_TRUE(ctrl->initCamera());
    kxtest_inject_fault("kx_cam_close", 0, -1, 77, 0, -1);
    kxtest_inject_fault("kx_kestrix_uninit", 0, -1, 78, 0, -1);
    ctrl->closeCamera();
    EXPECT_EQ(spy->count(), 2);
    EXPECT_TRUE(logged("相机错误代码： 77 kx_cam_close() error"));
    EXPECT_TRUE(logged("相机错误代码： 78 kx_kestrix_uninit() error"));
    EXPECT_FALSE(ctrl->isLibraryInitialised());
    QObject::disconnect(ctrl, &KestrixCtrl::sig_CamErrorOccur, ctrl, nullptr);
    kxtest_clear_faults();
}

TEST_F(KestrixCtrlTest, CameraWithoutNoiseReductionParameterSkipsTheStep)
{
    kxtest_pp_clear();
    kxtest_pp_add_feature("Only", 5);
    kxtest_pp_add_param("Level", 50, 0, 9, 4);
    ASSERT_TRUE(ctrl->initCamera());
    EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(kxtest_pp_value(0, 0), 4u);
    EXPECT_EQ(callLog().find("kx_set_param 0x07020223"), std::string::npos);
    EXPECT_TRUE(logged("post-processing parameter 100 not found, left unset"));
}

TEST_F(KestrixCtrlTest, TemperatureReadsTheSensorAndReportsFailures)
{
    EXPECT_EQ(ctrl->getTemperature(), 0);  // closed: no call, no report
    EXPECT_EQ(kxtest_call_count(), 0);
    ASSERT_TRUE(ctrl->initCamera());
    const int16_t script[] = {-1234, 250};
    kxtest_script_temperatures(script, 2);
    EXPECT_EQ(ctrl->getTemperature(), -1234);
    EXPECT_EQ(ctrl->getTemperature(), 250);
    // Cooling from the ambient 25 degrees towards -20.
    EXPECT_TRUE(waitFor([&] { return ctrl->getTemperature() < 2400; }));
    EXPECT_GE(ctrl->getTemperature(), -2000);
    EXPECT_EQ(spy->count(), 0);
    kxtest_inject_fault("kx_get_param", PARAM_TEMP, KX_ATTR_CURRENT, 55, 0, 1);
    EXPECT_EQ(ctrl->getTemperature(), 0);
    EXPECT_EQ(spy->count(), 1);
    EXPECT_TRUE(logged("相机错误代码： 55 kx_get_param(PARAM_TEMP, ATTR_CURRENT) error"));
}

TEST_F(KestrixCtrlTest, SequenceHandOverDeliversTheFrame)
{
    vcab::CabinetState::instance().update([](vcab::CabinetSnapshot& s) { s.lamps = vcab::LampWhiteLight; });
    ASSERT_TRUE(ctrl->initCamera());
    KestrixCameraContext* ctx = ctrl->context();
    ctx->captureAbort = false;
    ASSERT_EQ(kx_cam_register_callback_ex3(ctx->hcam, KX_EVENT_EOF, kestrixSequenceFrameReady, ctx), KX_SUCCESS);
    const rgn_type region{0, 2687, 4, 0, 2199, 4};
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_seq(ctx->hcam, 1, 1, &region, KX_EXP_MODE_TIMED_OUT, 10, &bytes), KX_SUCCESS);
    std::vector<uint16_t> buffer(bytes / 2);
    ASSERT_EQ(kx_exp_start_seq(ctx->hcam, buffer.data()), KX_SUCCESS);
    ASSERT_EQ(ctx->sequence.wait(ctx->captureAbort, 10000), KestrixFrameSet::Frame);
    {
        std::lock_guard<std::mutex> lock(ctx->sequence.mutex);
        EXPECT_EQ(ctx->sequence.latestFrame, buffer.data());
        EXPECT_EQ(ctx->sequence.frameInfo.frame_nr, 1u);
        EXPECT_FALSE(ctx->sequence.frameReady);  // consumed by the wait
    }
    ASSERT_EQ(kx_exp_finish_seq(ctx->hcam, buffer.data(), 0), KX_SUCCESS);

    const KestrixFrame frame = KestrixFrame::fromBuffer(buffer.data(), region);
    EXPECT_EQ(frame.width(), 672);
    EXPECT_EQ(frame.height(), 550);
    EXPECT_EQ(frame.bytes(), bytes);
}

TEST_F(KestrixCtrlTest, PreviewHandOverFollowsTheRing)
{
    ASSERT_TRUE(ctrl->initCamera());
    KestrixCameraContext* ctx = ctrl->context();
    ctx->previewAbort = false;
    ASSERT_EQ(kx_cam_register_callback_ex3(ctx->hcam, KX_EVENT_EOF, kestrixPreviewFrameReady, ctx), KX_SUCCESS);
    const rgn_type region{0, 2687, 8, 0, 2199, 8};
    uint32_t bytes = 0;
    ASSERT_EQ(kx_exp_setup_cont(ctx->hcam, 1, &region, KX_EXP_MODE_TIMED_OUT, 1, &bytes, KX_BUFFER_CIRCULAR),
              KX_SUCCESS);
    std::vector<uint8_t> ring(bytes * 10);
    ASSERT_EQ(kx_exp_start_cont(ctx->hcam, ring.data(), static_cast<uint32_t>(ring.size())), KX_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ctx->preview.wait(ctx->previewAbort, 6000), KestrixFrameSet::Frame);
        std::lock_guard<std::mutex> lock(ctx->preview.mutex);
        const auto* p = static_cast<uint8_t*>(ctx->preview.latestFrame);
        EXPECT_TRUE(p >= ring.data() && p < ring.data() + ring.size());
        EXPECT_EQ((p - ring.data()) % bytes, 0);
    }
    ASSERT_EQ(kx_exp_abort(ctx->hcam, KX_ABORT_HALT), KX_SUCCESS);
    // A stop from the GUI: abort flag, then a wake without a frame.
    ctrl->abortPreview();
    EXPECT_EQ(ctx->preview.wait(ctx->previewAbort, 6000), KestrixFrameSet::Aborted);
}

TEST_F(KestrixCtrlTest, HandOverTimesOutAndReportsAMissingFrame)
{
    ASSERT_TRUE(ctrl->initCamera());
    KestrixCameraContext* ctx = ctrl->context();
    ctx->captureAbort = false;
    ASSERT_EQ(kx_cam_register_callback_ex3(ctx->hcam, KX_EVENT_EOF, kestrixSequenceFrameReady, ctx), KX_SUCCESS);
    const rgn_type region{0, 2687, 16, 0, 2199, 16};
    uint32_t bytes = 0;
    std::vector<uint8_t> buffer(168 * 137 * 2);

    kxtest_set_silent(1);
    ASSERT_EQ(kx_exp_setup_seq(ctx->hcam, 1, 1, &region, KX_EXP_MODE_TIMED_OUT, 0, &bytes), KX_SUCCESS);
    ASSERT_EQ(kx_exp_start_seq(ctx->hcam, buffer.data()), KX_SUCCESS);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ctx->sequence.wait(ctx->captureAbort, 50), KestrixFrameSet::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    ASSERT_EQ(kx_exp_finish_seq(ctx->hcam, buffer.data(), 0), KX_SUCCESS);

    kxtest_set_silent(0);
    kxtest_inject_fault("kx_exp_get_latest_frame", 0, -1, 91, 0, 1);
    ASSERT_EQ(kx_exp_setup_seq(ctx->hcam, 1, 1, &region, KX_EXP_MODE_TIMED_OUT, 0, &bytes), KX_SUCCESS);
    ASSERT_EQ(kx_exp_start_seq(ctx->hcam, buffer.data()), KX_SUCCESS);
    EXPECT_EQ(ctx->sequence.wait(ctx->captureAbort, 10000), KestrixFrameSet::FrameMissing);
    EXPECT_TRUE(logged("kx_exp_get_latest_frame() error."));
    ASSERT_EQ(kx_exp_finish_seq(ctx->hcam, buffer.data(), 0), KX_SUCCESS);
}

TEST_F(KestrixCtrlTest, AbortAndCloseWakeAWaitingThread)
{
    ASSERT_TRUE(ctrl->initCamera());
    KestrixCameraContext* ctx = ctrl->context();
    kxtest_set_silent(1);
    for (bool byClose : {false, true}) {
        SCOPED_TRACE(byClose ? "closeCamera" : "abortCapture");
        ctx->captureAbort = false;
        std::vector<uint8_t> buffer(168 * 137 * 2);
        const rgn_type region{0, 2687, 16, 0, 2199, 16};
        uint32_t bytes = 0;
        ASSERT_EQ(kx_cam_register_callback_ex3(ctx->hcam, KX_EVENT_EOF, kestrixSequenceFrameReady, ctx), KX_SUCCESS);
        ASSERT_EQ(kx_exp_setup_seq(ctx->hcam, 1, 1, &region, KX_EXP_MODE_TIMED_OUT, 0, &bytes), KX_SUCCESS);
        ASSERT_EQ(kx_exp_start_seq(ctx->hcam, buffer.data()), KX_SUCCESS);
        auto waiter = std::async(std::launch::async, [ctx] { return ctx->sequence.wait(ctx->captureAbort, 60000); });
        EXPECT_EQ(waiter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
        if (byClose)
            ctrl->closeCamera();
        else
            ctrl->abortCapture();
        ASSERT_EQ(waiter.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(waiter.get(), KestrixFrameSet::Aborted);
        if (!byClose) {
            ASSERT_EQ(kx_exp_finish_seq(ctx->hcam, buffer.data(), 0), KX_SUCCESS);
        }
    }
    EXPECT_EQ(spy->count(), 0);
    // The same context serves the next session.
    kxtest_set_silent(0);
    ASSERT_TRUE(ctrl->initCamera());
    EXPECT_EQ(ctrl->context(), ctx);
}

TEST_F(KestrixCtrlTest, OperationsFollowTheBackgroundSetting)
{
    KestrixFrame a, b;
    a.region = b.region = rgn_type{0, 99, 1, 0, 9, 1};
    for (UserOpts::BkColorType color : {UserOpts::White, UserOpts::Black}) {
        setBackground(color);
        a.pixels.assign(1000, 65535);
        b.pixels.assign(1000, 65535);
        ASSERT_TRUE(ctrl->multiplyImage(a, b));
        EXPECT_EQ(a.pixels[0], color == UserOpts::White ? 65535 : 0);

        KestrixFrame uniform;
        uniform.region = a.region;
        uniform.pixels.assign(1000, 500);
        HistogramInfo levels;
        ctrl->percentileLevels(uniform, levels);
        EXPECT_EQ(levels.low, 500);
        EXPECT_EQ(levels.high, color == UserOpts::White ? 500 : 2535);
    }
    KestrixFrame other;
    other.region = rgn_type{0, 9, 1, 0, 9, 1};
    other.pixels.assign(100, 1);
    EXPECT_FALSE(ctrl->multiplyImage(a, other));
}

namespace {

struct TiffInfo {
    uint32_t width = 0, height = 0;
    uint16_t bits = 0, compression = 0, unit = 0;
    float xres = 0, yres = 0;
    std::vector<uint16_t> pixels;
};

bool readTiff(const QString& path, TiffInfo& info)
{
    TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "r");
    if (!tif)
        return false;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &info.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &info.height);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &info.bits);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &info.compression);
    TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &info.unit);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &info.xres);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &info.yres);
    info.pixels.resize(size_t(info.width) * info.height);
    for (uint32_t row = 0; row < info.height; ++row)
        TIFFReadScanline(tif, info.pixels.data() + size_t(row) * info.width, row);
    TIFFClose(tif);
    return true;
}

} // namespace

TEST_F(KestrixCtrlTest, SavesIntoBothFoldersWithTheTiffTags)
{
    QTemporaryDir saveDir;
    ASSERT_TRUE(saveDir.isValid());
    UserOpts* opts = UserOpts::getInstance();
    opts->setImageSavePath(saveDir.path());
    opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    opts->setIntelligentAnalysis(UserOpts::CloseSensitivity);
    opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
    ctrl->setClock([] { return QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12, 345)); });
    ctrl->expName = "WBS20240506-101112";

    KestrixFrame frame;
    frame.region = rgn_type{0, 199, 2, 0, 99, 2};  // 100 x 50
    frame.pixels.resize(5000);
    for (size_t i = 0; i < frame.pixels.size(); ++i)
        frame.pixels[i] = static_cast<uint16_t>(i * 13);
    // A binning change after the capture must not change what is saved.
    ctrl->context()->region = rgn_type{0, 2687, 1, 0, 2199, 1};

    struct Case { int kind; const char* suffix; };
    for (const Case& c : {Case{KestrixCtrl::KindMerge, "_Merge"}, Case{KestrixCtrl::KindMarker, "_Marker"},
                          Case{KestrixCtrl::KindSignal, ""}}) {
        const QString relative = QString("2024-05-06/WBS20240506-101112/10-11-12-345%1.tif").arg(c.suffix);
        const QString path = ctrl->processAndSaveImage(frame, false, c.kind);
        EXPECT_EQ(path, AppPaths::appDir() + "/Images/" + relative);
        for (const QString& file : {path, saveDir.path() + "/" + relative}) {
            SCOPED_TRACE(file.toStdString());
            TiffInfo tiff;
            ASSERT_TRUE(readTiff(file, tiff));
            EXPECT_EQ(tiff.width, 100u);
            EXPECT_EQ(tiff.height, 50u);
            EXPECT_EQ(tiff.bits, 16);
            EXPECT_EQ(tiff.compression, COMPRESSION_NONE);
            EXPECT_EQ(tiff.unit, RESUNIT_INCH);
            EXPECT_FLOAT_EQ(tiff.xres, 600.f);
            EXPECT_FLOAT_EQ(tiff.yres, 600.f);
            EXPECT_EQ(tiff.pixels, frame.pixels);  // unprocessed: saved as taken
        }
    }
    // Nothing but the images: no temporary file left behind.
    const QStringList entries =
        QDir(saveDir.path() + "/2024-05-06/WBS20240506-101112").entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(entries.size(), 3) << entries.join(",").toStdString();
    // One display-level record per saved image, full range for unprocessed frames.
    ASSERT_EQ(ctrl->histogramCount(), 3);
    EXPECT_EQ(ctrl->histogramAt(2).low, 0);
    EXPECT_EQ(ctrl->histogramAt(2).high, 65535);
}

TEST_F(KestrixCtrlTest, ProcessedImagesAreStretchedAndBandsFound)
{
    QTemporaryDir saveDir;
    UserOpts* opts = UserOpts::getInstance();
    opts->setImageSavePath(saveDir.path());
    opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
    opts->setIntelligentAnalysis(UserOpts::OpenSensitivity);
    opts->saveUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
    setBackground(UserOpts::Black);
    ctrl->expName = "bands";

    KestrixFrame frame;
    frame.region = rgn_type{0, 399, 1, 0, 299, 1};
    frame.pixels.assign(400 * 300, 300);
    cv::Mat m(300, 400, CV_16UC1, frame.pixels.data());
    cv::rectangle(m, cv::Rect(40, 50, 80, 20), cv::Scalar(30000), cv::FILLED);
    cv::rectangle(m, cv::Rect(200, 60, 90, 25), cv::Scalar(20000), cv::FILLED);

    const QString path = ctrl->processAndSaveImage(frame, true, KestrixCtrl::KindSignal);
    const QVector<QRect> bands = ctrl->bandRects();
    EXPECT_EQ(bands.size(), 2);
    EXPECT_TRUE(bands.contains(QRect(40, 50, 80, 20)));
    EXPECT_TRUE(bands.contains(QRect(200, 60, 90, 25)));
    int low = -1, high = -1;
    ASSERT_TRUE(ctrl->lastLevels(&low, &high));
    EXPECT_EQ(low, 300);
    EXPECT_EQ(high, 30000);
    TiffInfo tiff;
    ASSERT_TRUE(readTiff(path, tiff));
    EXPECT_EQ(tiff.pixels[0], 0);
    EXPECT_EQ(tiff.pixels[50 * 400 + 40], 65535);
    EXPECT_EQ(frame.pixels[0], 300);  // the caller's frame is untouched

    // Unprocessed with analysis on: the bands are cleared.
    ctrl->processAndSaveImage(frame, false, KestrixCtrl::KindMarker);
    EXPECT_TRUE(ctrl->bandRects().isEmpty());
}

TEST_F(KestrixCtrlTest, AFailedCopyStillSavesTheMainImage)
{
    QTemporaryDir dir;
    // The save path names a file: the second folder cannot be created.
    const QString blocker = dir.filePath("not-a-folder");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    UserOpts* opts = UserOpts::getInstance();
    for (const QString& savePath : {blocker, QString()}) {
        opts->setImageSavePath(savePath);
        opts->saveUserOptsByName(UserOpts::OPT_ImageSavePath);
        ctrl->expName = "copyless";
        KestrixFrame frame;
        frame.region = rgn_type{0, 9, 1, 0, 9, 1};
        frame.pixels.assign(100, 7);
        const QString path = ctrl->processAndSaveImage(frame, false, KestrixCtrl::KindSignal);
        EXPECT_TRUE(QFileInfo::exists(path)) << savePath.toStdString();
    }
    EXPECT_TRUE(logLines().filter("cannot create folder").size() == 1);
    EXPECT_TRUE(logLines().filter("imageSavePath empty").size() == 1);
}

TEST_F(KestrixCtrlTest, FrameListKeepsFramesAndLevelsTogether)
{
    KestrixFrame frame;
    frame.region = rgn_type{0, 9, 1, 0, 9, 1};
    for (uint16_t v : {uint16_t(1), uint16_t(2), uint16_t(3)}) {
        frame.pixels.assign(100, v);
        EXPECT_EQ(ctrl->appendFrame(frame), v - 1);
    }
    EXPECT_EQ(ctrl->frameCount(), 3);
    EXPECT_TRUE(ctrl->removeFrame(1));
    EXPECT_FALSE(ctrl->removeFrame(5));
    EXPECT_EQ(ctrl->frameAt(1).pixels[0], 3);
    EXPECT_TRUE(ctrl->frameAt(7).empty());
    ctrl->clearFrames();
    EXPECT_EQ(ctrl->frameCount(), 0);
    EXPECT_EQ(ctrl->curImageIndex, -1);
}

TEST_F(KestrixCtrlTest, ShownFramesAndAddedLevelsAreHandedOverWhole)
{
    auto frame = std::make_shared<KestrixFrame>();
    frame->region = rgn_type{0, 3, 1, 0, 1, 1};
    frame->pixels.assign(8, 500);
    ctrl->setLiveFrame(frame);
    ctrl->setCaptureFrame(frame);
    frame.reset();
    ASSERT_TRUE(ctrl->liveFrame());
    EXPECT_EQ(ctrl->liveFrame()->width(), 4);
    EXPECT_EQ(ctrl->captureFrame()->pixels[7], 500);

    HistogramInfo levels;
    levels.low = 10;
    levels.high = 20;
    ctrl->appendHistogram(levels);
    EXPECT_EQ(ctrl->histogramCount(), 1);
    EXPECT_EQ(ctrl->histogramAt(0).high, 20);

    // A new experiment forgets the capture frame with the list; the live frame goes on.
    ctrl->clearFrames();
    EXPECT_FALSE(ctrl->captureFrame());
    EXPECT_TRUE(ctrl->liveFrame());
    EXPECT_EQ(ctrl->histogramCount(), 0);
    ctrl->setLiveFrame(nullptr);
}
