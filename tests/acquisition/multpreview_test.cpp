// The multi-fluorescence preview thread on the virtual cabinet: the camera set-up of each camera
// and region, exposure and gain changes while it runs, and the ways it ends: stopped, refused, a
// camera that fails, an abort it did not ask for.

#include "multfixture.h"

#include "cabinetstate.h"
#include "logcapture.h"
#include "multtspreviewthread.h"
#include "testappdir.h"

#include <QCoreApplication>

class MultPreview : public MultCabinet {
protected:
    void startPreview(MultTSPreviewThread& t, MultRecorder& r)
    {
        QObject::connect(&t, &MultTSPreviewThread::sig_CamErrorOccur, &r, &MultRecorder::onError);
        QObject::connect(&t, &MultTSPreviewThread::updatePreviewImage, &r, &MultRecorder::onPreview);
        ctrl->isRunning = true;
        t.start();
    }
    // As the main controller stops a preview.
    bool stopPreview(MultTSPreviewThread& t)
    {
        ctrl->isRunning = false;
        ctrl->frameStore().clearCurrentFrame();
        ctrl->abortWait();
        return runToEnd(t, 5000);
    }
    // The set-up the driver received: "C<id>=<v>" capabilities, "R<x>,<y>,<w>,<h>" regions.
    static std::vector<std::string> setUpCalls()
    {
        std::vector<std::string> out;
        auto n = [](double v) { return std::to_string(int(v)); };
        for (const auto& call : tucamtest::callLog()) {
            if (call.function == "TUCAM_Capa_SetValue")
                out.push_back("C" + n(call.args[0]) + "=" + n(call.args[1]));
            else if (call.function == "TUCAM_Cap_SetROI")
                out.push_back("R" + n(call.args[1]) + "," + n(call.args[2]) + "," + n(call.args[3]) + "," + n(call.args[4]));
        }
        return out;
    }
};

TEST_F(MultPreview, SetsUpTheCameraOfEachConfigurationAndRegion)
{
    struct Case {
        const char* name;
        tucamtest::Model model;
        int authority;
        bool fl9bw;
        int binningIndex;
        int fluX, fluY;
        std::vector<std::string> expected;
        int width, height;   // the camera keeps the region within its sensor
    } cases[] = {
        // Factor 8 of the FL9BW table: the fixed region, whatever the settings.
        {"FL9BW index 5", tucamtest::Model::FL9BW, EnumOBJ::AllAuthorityTSFL9BW_Auto, true, 5, 100, 100,
         {"C37=5", "C4=1", "C5=0", "R0,36,372,336"}, 372, 336},
        // (100 + 3) / 2 = 51 raised to 52; (312 + 1) / 2 = 156.
        {"FL9BW index 1", tucamtest::Model::FL9BW, EnumOBJ::AllAuthorityTSFL9BW_Manual, true, 1, 103, 1,
         {"C37=1", "C4=1", "C5=0", "R52,156,1500,1344"}, 1448, 1344},
        {"695 index 1", tucamtest::Model::Cam695, EnumOBJ::AllAuthorityTS695_Auto, false, 1, 100, 0,
         {"C0=1", "C4=1", "C5=0", "R80,5,1329,1100"}, 1280, 1100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openCamera(c.model, c.authority);
        setFluRegion(c.fluX, c.fluY, 0, 0);
        ctrl->binningIndex = c.binningIndex;
        ctrl->gain = 1;
        ctrl->exposureTime = 10;
        tucamtest::clearCallLog();
        MultRecorder rec;
        MultTSPreviewThread thread;
        thread.isFL9BW = c.fl9bw;
        startPreview(thread, rec);
        ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
        EXPECT_EQ(setUpCalls(), c.expected);
        EXPECT_DOUBLE_EQ(tucamtest::state().exposureMs, 10);
        const TsFramePtr live = ctrl->frameStore().currentFrame();
        ASSERT_TRUE(live);
        EXPECT_EQ(live->width(), c.width);
        EXPECT_EQ(live->height(), c.height);
        ASSERT_TRUE(stopPreview(thread));
        EXPECT_TRUE(rec.events.isEmpty());
        EXPECT_FALSE(tucamtest::state().capturing);
        EXPECT_EQ(ctrl->frameStore().currentFrame(), nullptr);
    }
}

// A change of exposure or gain reaches the camera before the next frame, once per change.
TEST_F(MultPreview, AppliesExposureAndGainChangesBeforeTheNextFrame)
{
    MultRecorder rec;
    MultTSPreviewThread thread;
    startPreview(thread, rec);
    ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
    const size_t exposuresBefore = tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_EXPOSURETM).size();
    ctrl->exposureTime = 33;
    ctrl->isExposureChanged = true;
    ctrl->gain = 9;
    ctrl->isGainChanged = true;
    // Preview signals queued before the change would satisfy a bare frame count: wait for the
    // settings, then for frames after them, which must not set them again.
    ASSERT_TRUE(waitFor([&] { return tucamtest::state().exposureMs == 33 && !tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_GLOBALGAIN).empty() && tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_GLOBALGAIN).back().args[1] == 9; }, 10000));
    const int seen = rec.previews;
    ASSERT_TRUE(waitFor([&] { return rec.previews >= seen + 2; }, 10000));
    EXPECT_DOUBLE_EQ(tucamtest::state().exposureMs, 33);
    const auto gains = tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_GLOBALGAIN);
    ASSERT_FALSE(gains.empty());
    EXPECT_EQ(gains.back().args[1], 9);
    EXPECT_EQ(tucamtest::calls("TUCAM_Prop_SetValue", TUIDP_EXPOSURETM).size(), exposuresBefore + 1);
    EXPECT_FALSE(ctrl->isExposureChanged);
    EXPECT_FALSE(ctrl->isGainChanged);
    ASSERT_TRUE(stopPreview(thread));
}

// The ways a preview ends on its own: a binning index outside the camera's table is refused
// before the camera starts; a camera that will not start or whose frame wait fails is the
// camera error; an abort it did not ask for (the preview still wanted) ends it too, since the
// run it aborted is gone. Each leaves the camera stopped and no live frame behind.
TEST_F(MultPreview, EndsOnARefusalAFailureOrAnAbortItDidNotAskFor)
{
    struct Case {
        const char* name;
        bool fl9bw;
        int binningIndex;
        std::function<void()> fault;   // before the start
        std::function<void(H695ICECamCtrl*)> during;
        QStringList events;
        int cameraStarts;
    } cases[] = {
        {"FL9BW index 6", true, 6, [] {}, nullptr, {"error"}, 0},
        {"index 8", false, 8, [] {}, nullptr, {"error"}, 0},
        {"camera start refused", false, 1, [] { tucamtest::failAlways("TUCAM_Cap_Start", 0x80000000); }, nullptr,
         {"error"}, 1},
        {"frame wait failed", false, 1,
         [] { tucamtest::scriptResults("TUCAM_Buf_WaitForFrame", {TUCAMRET_SUCCESS, 0x80000000}); }, nullptr,
         {"error"}, 1},
        {"abort while wanted", false, 1, [] {}, [](H695ICECamCtrl* c) { c->abortWait(); }, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tucamtest::clearScripts();
        c.fault();
        ctrl->binningIndex = c.binningIndex;
        tucamtest::clearCallLog();
        MultRecorder rec;
        MultTSPreviewThread thread;
        thread.isFL9BW = c.fl9bw;
        startPreview(thread, rec);
        if (c.during) {
            ASSERT_TRUE(waitFor([&] { return rec.previews >= 1; }, 10000));
            c.during(ctrl);
        }
        ASSERT_TRUE(runToEnd(thread, 10000)) << "the preview ends by itself";
        EXPECT_TRUE(ctrl->isRunning) << "nobody stopped it";
        EXPECT_EQ(rec.events, c.events);
        EXPECT_EQ(int(tucamtest::calls("TUCAM_Cap_Start").size()), c.cameraStarts);
        EXPECT_FALSE(tucamtest::state().capturing);
        EXPECT_FALSE(tucamtest::state().bufferAllocated);
        EXPECT_EQ(ctrl->frameStore().currentFrame(), nullptr);
        ctrl->isRunning = false;
    }
}
