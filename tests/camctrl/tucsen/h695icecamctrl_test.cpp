// The Tucsen camera controller over the virtual driver: what openCamera writes for each
// instrument configuration, the log line of every setting wrapper, the frame wait and its
// abort, the start-failure clean-up, and the bring-up threads.

#include <gtest/gtest.h>

#include "h695icecamctrl.h"
#include "inith695icecamerathread.h"
#include "seth695iceaethread.h"
#include "useropts.h"

#include "logcapture.h"
#include "testappdir.h"
#include "tucam_test.h"

#include <QSignalSpy>

#include <chrono>
#include <functional>
#include <future>

using tucamtest::Model;

namespace {

constexpr uint32_t kFail = 0x80000000;

void attach(Model model, const std::string& identity = "1234567890ABCDEFGHIJ", int cameras = 1)
{
    tucamtest::Config config;
    config.model = model;
    config.identity = identity;
    config.cameraCount = cameras;
    tucamtest::reset(config);
}

// The settings written since the log was cleared: "C<id>=<value>" for capabilities,
// "P<id>=<value>" for properties, "I<item>" for information reads.
std::vector<std::string> settingsWritten()
{
    std::vector<std::string> out;
    for (const auto& call : tucamtest::callLog()) {
        auto number = [](double v) { return std::to_string(int(v)); };
        if (call.function == "TUCAM_Capa_SetValue")
            out.push_back("C" + number(call.args[0]) + "=" + number(call.args[1]));
        else if (call.function == "TUCAM_Prop_SetValue")
            out.push_back("P" + number(call.args[0]) + "=" + number(call.args[1]));
        else if (call.function == "TUCAM_Dev_GetInfo")
            out.push_back("I" + number(call.args[0]));
    }
    return out;
}

void setAverageGrayThd(int value)
{
    UserOpts* opts = UserOpts::getInstance();
    opts->setAverageGrayThd(value);
    opts->saveUserOptsByName(UserOpts::OPT_AverageGrayThd);
}

struct OpenCase {
    std::vector<int> authorityTypes;
    Model model;
    std::string identity;
    std::vector<std::string> written;
};

} // namespace

TEST(H695ICECamCtrl, OpenCameraWritesTheSettingsOfEachConfigurationGroup)
{
    setAverageGrayThd(7);
    const std::string batch = "85042508161234567890";
    const std::vector<OpenCase> cases = {
        {{0, 2, 3, 5, 6, 9, 10, 13, 14, 18}, Model::Cam695, "1234567890ABCDEFGHIJ",
         {"C3=0", "P16=0", "P3=12", "C2=16", "P4=0"}},
        {{7, 8, 11, 12, 15, 16, 17}, Model::FL9BW, "1234567890ABCDEFGHIJ",
         {"C3=0", "P34=7", "P2=253", "P2=253", "P16=1", "P3=2", "C22=2", "C2=16", "P4=0"}},
        {{4}, Model::S20Mini, batch, {"C3=0", "I5", "P34=7", "P37=400", "P39=240", "C2=16", "P4=0"}},
        // Another batch skips the threshold but keeps both maxima.
        {{4}, Model::S20Mini, "1234567890ABCDEFGHIJ", {"C3=0", "I5", "P37=400", "P39=240", "C2=16", "P4=0"}},
        // Only a first half that matches counts: the batch followed by a shorter tail does not.
        {{4}, Model::S20Mini, "8504250816123", {"C3=0", "I5", "P37=400", "P39=240", "C2=16", "P4=0"}},
        {{1, 19, 20, -1}, Model::Cam695, "1234567890ABCDEFGHIJ", {"C3=0", "C2=16", "P4=0"}},
    };
    for (const OpenCase& c : cases) {
        for (int authorityType : c.authorityTypes) {
            attach(c.model, c.identity);
            H695ICECamCtrl ctrl;
            EXPECT_TRUE(ctrl.openCamera(authorityType)) << authorityType;
            EXPECT_EQ(settingsWritten(), c.written) << "authorityType " << authorityType << " identity " << c.identity;
            ctrl.closeCamera();
        }
    }
}

TEST(H695ICECamCtrl, OnlyARefusedDefectPixelCorrectionFailsTheOpening)
{
    struct Case {
        int authorityType;
        Model model;
        std::string script;
        bool opened;
        QString line;
    } cases[] = {
        {0, Model::Cam695, "TUCAM_Prop_SetValue#16", false, "设置DPC失败。"},
        {7, Model::FL9BW, "TUCAM_Prop_SetValue#16", false, "设置DPC失败。"},
        {0, Model::Cam695, "TUCAM_Prop_SetValue#3", true, "设置黑电平失败。"},
        {7, Model::FL9BW, "TUCAM_Prop_SetValue#3", true, "设置黑电平失败。"},
        {7, Model::FL9BW, "TUCAM_Capa_SetValue#22", true, "设置图像模式失败。"},
        {4, Model::S20Mini, "TUCAM_Prop_SetValue#37", true, "设置TUIDP_EXPOSUREMAX失败。"},
        {4, Model::S20Mini, "TUCAM_Prop_SetValue#39", true, "设置TUIDP_GAINMAX失败。"},
        {1, Model::Cam695, "TUCAM_Capa_SetValue#2", true, "设置位深失败。"},
        {1, Model::Cam695, "TUCAM_Prop_SetValue#4", true, "设置温度失败。"},
    };
    for (const Case& c : cases) {
        attach(c.model);
        tucamtest::failAlways(c.script, kFail);
        LogCapture log;
        H695ICECamCtrl ctrl;
        EXPECT_EQ(ctrl.openCamera(c.authorityType), c.opened) << c.script;
        EXPECT_TRUE(log.contains(c.line)) << c.script;
        EXPECT_TRUE(tucamtest::state().open) << "the device stays open: " << c.script;
        ctrl.closeCamera();
    }
}

TEST(H695ICECamCtrl, WithoutACameraTheOpeningFailsWithItsTextsAndLeavesTheDriverClosed)
{
    attach(Model::Cam695, "x", 0);
    LogCapture log;
    H695ICECamCtrl ctrl;
    EXPECT_FALSE(ctrl.openCamera(0));
    const int count = log.indexOf("相机数量为0。");
    ASSERT_GE(count, 0);
    EXPECT_GT(log.indexOf("初始化Api失败。"), count);
    EXPECT_FALSE(log.contains("打开相机"));
    EXPECT_FALSE(tucamtest::state().apiInitialised);
    EXPECT_EQ(ctrl.initApi(), uint32_t(0x80000105));
}

TEST(H695ICECamCtrl, ARefusedDeviceOpenReleasesTheDriver)
{
    attach(Model::Cam695);
    tucamtest::scriptResults("TUCAM_Dev_Open", {kFail});
    LogCapture log;
    H695ICECamCtrl ctrl;
    EXPECT_FALSE(ctrl.openCamera(0));
    EXPECT_TRUE(log.contains("初始化Api成功。"));
    EXPECT_TRUE(log.contains("打开相机失败。"));
    EXPECT_EQ(tucamtest::calls("TUCAM_Api_Uninit").size(), 1u);
    EXPECT_FALSE(tucamtest::state().apiInitialised);
    EXPECT_EQ(ctrl.handle(), nullptr);
}

TEST(H695ICECamCtrl, OpenDeviceRefusesAnIndexBeyondTheCameraCount)
{
    attach(Model::Cam695);
    H695ICECamCtrl ctrl;
    ASSERT_EQ(ctrl.initApi(), TUCAMRET_SUCCESS);
    EXPECT_EQ(ctrl.openDevice(1), uint32_t(0x80000311));
    EXPECT_TRUE(tucamtest::calls("TUCAM_Dev_Open").empty());
    EXPECT_EQ(ctrl.openDevice(0), TUCAMRET_SUCCESS);
    ctrl.closeDevice();
    ctrl.closeDevice();
    EXPECT_EQ(tucamtest::calls("TUCAM_Dev_Close").size(), 1u) << "a closed handle is not closed again";
    ctrl.uninitApi();
}

TEST(H695ICECamCtrl, CloseCameraClosesOnceAndEndsTheDriverEachTime)
{
    attach(Model::Cam695);
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(1));
    LogCapture log;
    ctrl.closeCamera();
    EXPECT_TRUE(log.contains("关闭相机成功。"));
    EXPECT_TRUE(log.contains("反初始化Api成功。"));
    log.clear();
    tucamtest::scriptResults("TUCAM_Api_Uninit", {kFail});
    ctrl.closeCamera();
    EXPECT_FALSE(log.contains("关闭相机成功。"));
    EXPECT_TRUE(log.contains("反初始化Api失败。"));
    EXPECT_EQ(tucamtest::calls("TUCAM_Dev_Close").size(), 1u);
}

namespace {

struct WrapperCase {
    const char* name;
    std::function<double(H695ICECamCtrl&)> call;
    std::string script;       // the driver call the wrapper makes
    const char* success;      // nullptr: the wrapper logs nothing on success
    const char* failure;      // nullptr: nothing on failure
};

const std::vector<WrapperCase>& wrapperCases()
{
    using C = H695ICECamCtrl;
    static const std::vector<WrapperCase> cases = {
        {"setResolution", [](C& c) { c.setResolution(0); return 0.0; }, "TUCAM_Capa_SetValue#0", "设置分辨率成功。分辨率： 0", "设置分辨率失败。"},
        {"getResolution", [](C& c) { return double(c.getResolution()); }, "TUCAM_Capa_GetValue#0", "获取分辨率成功。分辨率：", "获取分辨率失败。"},
        {"setBitDepth", [](C& c) { c.setBitDepth(16); return 0.0; }, "TUCAM_Capa_SetValue#2", "设置位深成功。位深： 16", "设置位深失败。"},
        {"setAutoExposureOn", [](C& c) { c.setAutoExposure(1); return 0.0; }, "TUCAM_Capa_SetValue#3", "自动曝光打开成功。", "自动曝光设置失败。"},
        {"setAutoExposureOff", [](C& c) { c.setAutoExposure(0); return 0.0; }, "TUCAM_Capa_SetValue#3", "自动曝光关闭成功。", "自动曝光设置失败。"},
        {"setAutoExposureOnce", [](C& c) { c.setAutoExposure(2); return 0.0; }, "TUCAM_Capa_SetValue#3", nullptr, "自动曝光设置失败。"},
        {"getAutoExposure", [](C& c) { return double(c.getAutoExposure()); }, "TUCAM_Capa_GetValue#3", "获取自动曝光成功。自动曝光：", "获取自动曝光失败。"},
        {"setHorizontalMirror", [](C& c) { c.setHorizontalMirror(1); return 0.0; }, "TUCAM_Capa_SetValue#4", "设置水平镜像成功。", "设置水平镜像失败。"},
        {"setVerticalMirror", [](C& c) { c.setVerticalMirror(0); return 0.0; }, "TUCAM_Capa_SetValue#5", "设置垂直镜像成功。", "设置垂直镜像失败。"},
        {"setAutoLevels", [](C& c) { c.setAutoLevels(3); return 0.0; }, "TUCAM_Capa_SetValue#8", nullptr, nullptr},
        {"getAutoLevels", [](C& c) { return double(c.getAutoLevels()); }, "TUCAM_Capa_GetValue#8", "获取自动色阶状态成功。", "获取自动色阶状态失败。"},
        {"getAutoLevelsAttr", [](C& c) { c.getAutoLevelsAttr(); return 0.0; }, "TUCAM_Capa_GetAttr#8", "获取自动色阶成功。", "获取自动色阶失败。"},
        {"setHistogramEnabled", [](C& c) { c.setHistogramEnabled(1); return 0.0; }, "TUCAM_Capa_SetValue#10", "设置直方图使能/失能成功。", "设置直方图使能/失能失败。"},
        {"getExposureMode", [](C& c) { return double(c.getExposureMode()); }, "TUCAM_Capa_GetValue#36", "获取模式曝光成功。模式：", "获取曝光模式失败。"},
        {"setExposureMode", [](C& c) { c.setExposureMode(1); return 0.0; }, "TUCAM_Capa_SetValue#36", "设置模式曝光成功。模式： 1", "设置曝光模式失败。"},
        {"setBinning", [](C& c) { c.setBinning(2); return 0.0; }, "TUCAM_Capa_SetValue#37", "设置Binning成功。Binning： 2", "设置Binning失败。"},
        {"getBinning", [](C& c) { return double(c.getBinning()) + 1.0; }, "TUCAM_Capa_GetValue#37", "获取Binning成功。Binning：", "获取Binning失败。"},
        {"setGain", [](C& c) { c.setGain(3.0); return 0.0; }, "TUCAM_Prop_SetValue#0", "设置增益成功。增益： 3", "设置增益失败。"},
        {"getGain", [](C& c) { return c.getGain(); }, "TUCAM_Prop_GetValue#0", "获取增益成功。增益：", "获取增益失败。"},
        {"getGainAttr", [](C& c) { return c.getGainAttr().dbValMax; }, "TUCAM_Prop_GetAttr#0", nullptr, "获取增益属性失败。"},
        {"setExposureTime", [](C& c) { c.setExposureTime(20.0); return 0.0; }, "TUCAM_Prop_SetValue#1", "设置曝光时间成功。曝光时间： 20", "设置曝光时间失败。"},
        {"getExposureTime", [](C& c) { return c.getExposureTime(); }, "TUCAM_Prop_GetValue#1", "获取曝光时间成功。曝光时间：", "获取曝光时间失败。"},
        {"getExposureAttr", [](C& c) { return c.getExposureAttr().dbValMax; }, "TUCAM_Prop_GetAttr#1", "最大曝光时间：", "获取曝光时间属性失败。"},
        {"setAutoExposureTarget", [](C& c) { c.setAutoExposureTarget(200); return 0.0; }, "TUCAM_Prop_SetValue#2", "设置目标曝光成功。模式： 200", "设置目标曝光失败。"},
        {"setBlackLevel", [](C& c) { c.setBlackLevel(5); return 0.0; }, "TUCAM_Prop_SetValue#3", "设置黑电平成功。", "设置黑电平失败。"},
        {"setTemperature", [](C& c) { c.setTemperature(0); return 0.0; }, "TUCAM_Prop_SetValue#4", "设置温度成功。", "设置温度失败。"},
        {"getTemperature", [](C& c) { return c.getTemperature(); }, "TUCAM_Prop_GetValue#4", nullptr, "获取温度失败。"},
        {"setGamma", [](C& c) { c.setGamma(90.0); return 0.0; }, "TUCAM_Prop_SetValue#8", "设置Gamma成功。Gamma： 90", "设置Gamma失败。"},
        {"getGamma", [](C& c) { return c.getGamma(); }, "TUCAM_Prop_GetValue#8", "获取Gamma成功。Gamma：", "获取Gamma失败。"},
        {"getGammaAttr", [](C& c) { return c.getGammaAttr().dbValMax; }, "TUCAM_Prop_GetAttr#8", "最大Gamma：", "获取Gamma属性失败。"},
        {"setContrast", [](C& c) { c.setContrast(100.0); return 0.0; }, "TUCAM_Prop_SetValue#9", "设置对比度成功。对比度： 100", "设置对比度失败。"},
        {"getContrast", [](C& c) { return c.getContrast(); }, "TUCAM_Prop_GetValue#9", "获取对比度成功。对比度：", "获取对比度失败。"},
        {"getContrastAttr", [](C& c) { return c.getContrastAttr().dbValMax; }, "TUCAM_Prop_GetAttr#9", "最小对比度：", "获取对比度属性失败。"},
        {"setLeftLevel", [](C& c) { c.setLeftLevel(10.0); return 0.0; }, "TUCAM_Prop_SetValue#10", "设置左色阶值成功。 左色阶值： 10", "设置左色阶值失败。"},
        {"getLeftLevel", [](C& c) { return c.getLeftLevel() + 1.0; }, "TUCAM_Prop_GetValue#10", "获取左色阶值成功。 左色阶值:", "获取左色阶值失败。"},
        {"getLeftLevelAttr", [](C& c) { return c.getLeftLevelAttr().dbValMax; }, "TUCAM_Prop_GetAttr#10", "获取左色阶属性成功。", "获取左色阶属性失败。"},
        {"setRightLevel", [](C& c) { c.setRightLevel(60000.0); return 0.0; }, "TUCAM_Prop_SetValue#11", "设置右色阶值成功。 右色阶值： 60000", "设置右色阶值失败。"},
        {"getRightLevel", [](C& c) { return c.getRightLevel(); }, "TUCAM_Prop_GetValue#11", "获取右色阶值成功。 右色阶值:", "获取右色阶值失败。"},
        {"getRightLevelAttr", [](C& c) { return c.getRightLevelAttr().dbValMax; }, "TUCAM_Prop_GetAttr#11", "最大值：", "获取右色阶属性失败。"},
        {"setExposureThreshold", [](C& c) { c.setExposureThreshold(5.0); return 0.0; }, "TUCAM_Prop_SetValue#34", "设置曝光阈值成功。 曝光阈值: 5", "设置曝光阈值失败。"},
        {"getExposureThreshold", [](C& c) { return c.getExposureThreshold(); }, "TUCAM_Prop_GetValue#34", "获取曝光阈值成功。 曝光阈值:", "获取曝光阈值失败。"},
        {"setROI", [](C& c) { c.setROI(TUCAM_ROI_ATTR {1, 0, 36, 372, 336}); return 0.0; }, "TUCAM_Cap_SetROI", "设置ROI成功。", "设置ROI失败。"},
        {"getInfo", [](C& c) { char t[64] = {}; TUCAM_VALUE_INFO i {0, 0, t, 64}; return double(c.getInfo(i).size()); }, "TUCAM_Dev_GetInfo#5", "获取Info成功。 \"1234567890ABCDEFGHIJ\"", "获取Info失败。"},
        {"abortWait", [](C& c) { c.abortWait(); return 0.0; }, "TUCAM_Buf_AbortWait", "中断等待成功。", "中断等待失败。"},
        {"stopCapture", [](C& c) { c.stopCapture(); return 0.0; }, "TUCAM_Cap_Stop", "采集停止成功。", "采集停止失败。"},
        {"releaseBuffer", [](C& c) { c.releaseBuffer(); return 0.0; }, "TUCAM_Buf_Release", "释放缓存成功。", "释放缓存失败。"},
        {"allocBuffer", [](C& c) { TUCAM_FRAME f {}; c.allocBuffer(&f); c.releaseBuffer(); return 0.0; }, "TUCAM_Buf_Alloc", "申请内存空间成功。", "申请内存空间失败。"},
        {"getTrigger", [](C& c) { c.getTrigger(); return 0.0; }, "TUCAM_Cap_GetTrigger", "获取触发方式成功。", "获取触发方式失败。"},
        {"setTrigger", [](C& c) { c.setTrigger(TUCAM_TRIGGER_ATTR {0, 0, 0, 0, 1, 1}); return 0.0; }, "TUCAM_Cap_SetTrigger", "设置触发方式成功。", "设置触发方式失败。"},
    };
    return cases;
}

} // namespace

TEST(H695ICECamCtrl, EachWrapperLogsItsSuccessAndFailureAndAFailedGetterGivesZero)
{
    for (const WrapperCase& c : wrapperCases()) {
        for (bool fails : {false, true}) {
            attach(Model::FL9BW);
            H695ICECamCtrl ctrl;
            ASSERT_TRUE(ctrl.openCamera(1));
            if (fails)
                tucamtest::failAlways(c.script, kFail);
            LogCapture log;
            const double value = c.call(ctrl);
            const char* expected = fails ? c.failure : c.success;
            const char* other = fails ? c.success : c.failure;
            const std::string lines = log.lines().join(" | ").toStdString();
            if (expected) {
                EXPECT_TRUE(log.contains(QString::fromUtf8(expected))) << c.name << (fails ? " failing: " : ": ") << lines;
            } else {
                EXPECT_TRUE(log.lines().isEmpty()) << c.name << ": " << lines;
            }
            if (other) {
                EXPECT_FALSE(log.contains(QString::fromUtf8(other))) << c.name;
            }
            if (fails && QString(c.name).startsWith("get") && QString(c.name) != "getTrigger") {
                const bool offset = QString(c.name) == "getBinning" || QString(c.name) == "getLeftLevel";
                EXPECT_EQ(value, offset ? 1.0 : 0.0) << c.name << " gives 0 when the driver fails";
            }
            ctrl.closeCamera();
        }
    }
}

TEST(H695ICECamCtrl, AnAbortFromAnotherThreadEndsAFrameWaitWithinMilliseconds)
{
    attach(Model::Cam695);
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(0));
    ctrl.setResolution(7);
    ctrl.setExposureTime(3600000.0);
    TUCAM_FRAME frame {};
    frame.ucFormatGet = TUFRM_FMT_RAW;
    frame.uiRsdSize = 1;
    ASSERT_TRUE(ctrl.m_StartWaitFrame(&frame));
    auto waiter = std::async(std::launch::async, [&] { return ctrl.m_WaitForFrame(&frame); });
    ASSERT_TRUE(waitFor([] { return tucamtest::state().pendingWaits == 1; }, 5000));
    LogCapture log;
    const auto aborted = std::chrono::steady_clock::now();
    ctrl.abortWait();
    ASSERT_EQ(waiter.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(waiter.get(), 0x80000207u);
    EXPECT_LT(std::chrono::steady_clock::now() - aborted, std::chrono::milliseconds(500));
    EXPECT_TRUE(log.contains("中断等待成功。"));
    const auto waits = tucamtest::calls("TUCAM_Buf_WaitForFrame");
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0].args[0], 3600000.0);

    // Every exit path may stop and release twice (stopAll, then the loop's own clean-up).
    ctrl.stopAll();
    ctrl.stopCapture();
    ctrl.releaseBuffer();
    EXPECT_TRUE(log.contains("采集停止成功。"));
    EXPECT_TRUE(log.contains("释放缓存成功。"));
    EXPECT_FALSE(tucamtest::state().capturing);
    EXPECT_FALSE(tucamtest::state().bufferAllocated);
    ctrl.closeCamera();
}

TEST(H695ICECamCtrl, AFrameRunDeliversFramesOfTheRequestedRegion)
{
    attach(Model::FL9BW);
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(7));
    ctrl.setBinning(5);
    ctrl.setExposureTime(5.0);
    ctrl.setROI(TUCAM_ROI_ATTR {1, 0, 36, 372, 336});
    TUCAM_FRAME frame {};
    frame.ucFormatGet = TUFRM_FMT_RAW;
    frame.uiRsdSize = 1;
    ASSERT_TRUE(ctrl.m_StartWaitFrame(&frame));
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(ctrl.m_WaitForFrame(&frame), 1u);
    EXPECT_EQ(frame.usWidth, 372);
    EXPECT_EQ(frame.usHeight, 336);
    EXPECT_NE(frame.pBuffer, nullptr);
    ctrl.stopAll();
    ctrl.closeCamera();
}

TEST(H695ICECamCtrl, AFailedStartReleasesTheBufferAndAFailedAllocationStartsNothing)
{
    attach(Model::Cam695);
    H695ICECamCtrl ctrl;
    ASSERT_TRUE(ctrl.openCamera(0));
    TUCAM_FRAME frame {};
    {
        tucamtest::clearCallLog();
        tucamtest::scriptResults("TUCAM_Cap_Start", {kFail});
        LogCapture log;
        EXPECT_FALSE(ctrl.m_StartWaitFrame(&frame));
        EXPECT_TRUE(log.contains("TUCAM_Cap_Start failed."));
        std::vector<std::string> order;
        for (const auto& call : tucamtest::callLog())
            order.push_back(call.function);
        EXPECT_EQ(order, (std::vector<std::string> {"TUCAM_Buf_Alloc", "TUCAM_Cap_Start", "TUCAM_Buf_Release"}));
        EXPECT_FALSE(tucamtest::state().bufferAllocated);
    }
    {
        tucamtest::clearCallLog();
        tucamtest::scriptResults("TUCAM_Buf_Alloc", {kFail});
        LogCapture log;
        EXPECT_FALSE(ctrl.m_StartWaitFrame(&frame));
        EXPECT_TRUE(log.contains("TUCAM_Buf_Alloc failed."));
        EXPECT_TRUE(tucamtest::calls("TUCAM_Cap_Start").empty());
    }
    EXPECT_TRUE(ctrl.m_StartWaitFrame(&frame)) << "a later run starts normally";
    EXPECT_EQ(tucamtest::calls("TUCAM_Cap_Start").back().args[0], 0.0) << "sequence mode";
    ctrl.stopAll();
    ctrl.closeCamera();
}

TEST(H695ICECamCtrl, SharedStateStartsAsTheThreadsExpect)
{
    attach(Model::Cam695);
    H695ICECamCtrl ctrl;
    EXPECT_FALSE(ctrl.isRunning);
    EXPECT_TRUE(ctrl.isFocusStop);
    EXPECT_TRUE(ctrl.singleCaptureVisible);
    EXPECT_EQ(ctrl.frameStore().stretchHigh, 65535);
    EXPECT_EQ(ctrl.overExposureThreshold, 300);
    EXPECT_EQ(ctrl.ffcScale, 65535);
    EXPECT_EQ(ctrl.frameStore().currentFrame(), nullptr);
    EXPECT_EQ(ctrl.semCap.available(), 0);
    EXPECT_EQ(ctrl.sem1.available(), 0);
    EXPECT_EQ(ctrl.sem2.available(), 0);
    EXPECT_DOUBLE_EQ(ctrl.histLevelPercent, 0.001);
    EXPECT_EQ(H695ICECamCtrl::getInstance(), H695ICECamCtrl::getInstance());
}

TEST(BringUpThreads, TheCameraThreadReportsAFailedOpeningBySignal)
{
    struct Case {
        int cameras;
        int errorSignals;
    } cases[] = {{0, 1}, {1, 0}};
    for (const Case& c : cases) {
        attach(Model::Cam695, "1234567890ABCDEFGHIJ", c.cameras);
        LogCapture log;
        InitH695ICECameraThread thread(0);
        QSignalSpy errors(&thread, &InitH695ICECameraThread::sig_CamErrorOccur);
        thread.start();
        ASSERT_TRUE(thread.wait(10000));
        EXPECT_EQ(errors.count(), c.errorSignals);
        EXPECT_EQ(log.contains("初始化和打开H695ICE相机失败。"), c.errorSignals == 1);
        H695ICECamCtrl::getInstance()->closeCamera();
    }
}

TEST(BringUpThreads, TheAutoExposureThreadWritesItsValue)
{
    attach(Model::Cam695);
    H695ICECamCtrl* ctrl = H695ICECamCtrl::getInstance();
    ASSERT_TRUE(ctrl->openCamera(1));
    tucamtest::clearCallLog();
    SetH695ICEAEThread thread;
    thread.aeVal = 1;
    thread.start();
    ASSERT_TRUE(thread.wait(10000));
    const auto writes = tucamtest::calls("TUCAM_Capa_SetValue", TUIDC_ATEXPOSURE);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].args[1], 1.0);
    ctrl->closeCamera();
}
