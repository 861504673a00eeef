// The rules of the Western-blot acquisition as tables: binning, camera region, exposure lists,
// frame plans, the exposure formula with its bounds, the estimation region and focus decisions.

#include <gtest/gtest.h>

#include "wbplan.h"

using namespace wbplan;

namespace {
PlanInput planOf(bool single, double singleExposure, bool markerCapture, int count, std::vector<int> list,
                 double preview)
{
    PlanInput in;
    in.single = single;
    in.singleExposure = singleExposure;
    in.markerCapture = markerCapture;
    in.multiCapCount = count;
    in.expTimeList = std::move(list);
    in.previewExposure = preview;
    return in;
}
} // namespace

TEST(WbPlan, BinningTablesOfBothCamerasAndTheirEnds)
{
    struct Case { bool fl9bw; int index; int factor; } cases[] = {
        {true, 0, 1}, {true, 2, 3}, {true, 5, 8}, {true, 6, 0}, {true, -1, 0},
        {false, 0, 1}, {false, 2, 4}, {false, 7, 24}, {false, 8, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(binningFactor(c.fl9bw, c.index), c.factor) << c.fl9bw << " " << c.index;
}

TEST(WbPlan, CameraRegionFollowsTheOffsetsBinningAndVariant)
{
    struct Case {
        bool fl9bw, mini;
        int index, x, y, w, h;
        Region expected;
    } cases[] = {
        {true, false, 2, 0, 0, 0, 0, {0, 104, 1000, 896}},
        {true, true, 2, 0, 0, 0, 0, {0, 0, 1000, 1000}},
        {true, false, 3, 6, 0, 0, 0, {4, 80, 752, 672}},       // x 1 aligned up to 4
        {true, false, 3, -8, 0, 0, 0, {0, 80, 752, 672}},      // x -2 becomes 0
        {true, false, 5, 500, 500, 500, 500, {0, 36, 372, 336}},
        {false, false, 0, 0, 0, 0, 0, {60, 10, 2658, 2200}},
        {false, false, 2, 0, 0, 0, 0, {15, 2, 664, 550}},      // not aligned
    };
    for (const Case& c : cases) {
        const Region r = cameraRegion(c.fl9bw, c.mini, c.index, c.x, c.y, c.w, c.h);
        EXPECT_EQ(r.x, c.expected.x);
        EXPECT_EQ(r.y, c.expected.y);
        EXPECT_EQ(r.width, c.expected.width);
        EXPECT_EQ(r.height, c.expected.height);
    }
    EXPECT_EQ(alignTo4(4), 4);
    EXPECT_EQ(alignTo4(5), 8);
    EXPECT_EQ(alignTo4(-1), 0);
}

TEST(WbPlan, ExposureListsFromFirstAndDeltaOrFromTheExplicitText)
{
    struct Case {
        const char* name;
        ExpListInput in;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {"growing", {false, "", 3, 1, 1, 2, 1, false}, {1000, 3000, 5000}},
        {"integral", {false, "", 3, 1, 1, 2, 1, true}, {1000, 2000, 2000}},
        {"integral of one", {false, "", 1, 1, 1, 2, 1, true}, {1000}},
        {"none", {false, "", 0, 1, 1, 2, 1, false}, {}},
        {"minutes and ms", {false, "", 2, 1, 2, 500, 0, false}, {60000, 60500}},
        {"unknown unit", {false, "", 2, 1, 5, 1, 5, false}, {0, 0}},
        {"explicit", {true, "500, 1000,2000", 9, 1, 1, 1, 1, false}, {500, 1000, 2000}},
        {"trailing comma", {true, "500,", 0, 0, 0, 0, 0, false}, {500, 0}},
        {"not a number", {true, "x,7", 0, 0, 0, 0, 0, false}, {0, 7}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(buildExpTimeList(c.in), c.expected) << c.name;
}

TEST(WbPlan, FramePlansOfEveryCaptureKind)
{
    struct Frame { bool sample; Light light; int accumulated; double exposure; bool marker; };
    struct Case {
        const char* name;
        PlanInput in;
        std::vector<Frame> frames;
    };
    const std::vector<Case> cases = {
        {"marker only", planOf(true, 0, false, 0, {}, 40), {{false, Light::On, 0, 40, true}}},
        {"sample only", planOf(true, 700, true, 0, {}, 40), {{true, Light::Off, 0, 700, false}}},
        {"marker and sample", planOf(true, 700, false, 0, {}, 40),
         {{false, Light::On, 0, 40, true}, {true, Light::Off, 0, 700, false}}},
        {"multiple with marker", planOf(false, 0, false, 3, {1000, 3000, 5000}, 40),
         {{false, Light::On, 0, 40, true}, {true, Light::Off, 0, 1000, false},
          {true, Light::Keep, 1000, 3000, false}, {true, Light::Keep, 4000, 5000, false}}},
        {"multiple samples only", planOf(false, 0, true, 2, {1000, 2000}, 40),
         {{true, Light::Off, 0, 1000, false}, {true, Light::Off, 1000, 2000, false}}},
        // The page's count asks for five samples; the list holds two.
        {"bounded by the list", planOf(false, 0, false, 5, {300, 600}, 40),
         {{false, Light::On, 0, 40, true}, {true, Light::Off, 0, 300, false}, {true, Light::Keep, 300, 600, false}}},
    };
    for (const Case& c : cases) {
        bool bounded = false;
        ASSERT_EQ(framesToAcquire(c.in, &bounded), int(c.frames.size())) << c.name;
        EXPECT_EQ(bounded, std::string(c.name) == "bounded by the list") << c.name;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            const FramePlan p = planFrame(c.in, int(i));
            EXPECT_EQ(p.sample, c.frames[i].sample) << c.name << " frame " << i;
            EXPECT_EQ(int(p.light), int(c.frames[i].light)) << c.name << " frame " << i;
            EXPECT_EQ(p.accumulated, c.frames[i].accumulated) << c.name << " frame " << i;
            EXPECT_DOUBLE_EQ(p.exposure, c.frames[i].exposure) << c.name << " frame " << i;
            EXPECT_EQ(p.savedAsMarker, c.frames[i].marker) << c.name << " frame " << i;
        }
    }
}

TEST(WbPlan, ExposureFormulaAndItsBounds)
{
    struct Case { int curExp; double grey; bool fl9bw; int index; int expected; } cases[] = {
        {100, 150, false, 0, 1920},
        {100, 150, false, 2, 240},
        {300, 50, false, 1, 6480},
        {100, 75, true, 5, 240},
        {100, 0, false, 0, 300000},
        {0, 150, false, 0, 0},
        {-100, 150, false, 0, -1920},
    };
    for (const Case& c : cases)
        EXPECT_EQ(calcExposureTime(c.curExp, c.grey, 150, c.fl9bw, c.index), c.expected);
    // An estimate of 0 or below, or above the ceiling, never leaves the thread.
    EXPECT_EQ(clampEstimate(0, 290000), 1);
    EXPECT_EQ(clampEstimate(-1920, 290000), 1);
    EXPECT_EQ(clampEstimate(300000, 290000), 290000);
    EXPECT_EQ(clampEstimate(1920, 290000), 1920);
}

TEST(WbPlan, EstimationRegionIsClippedToTheImage)
{
    struct Case { double x, y, w, h; cv::Rect expected; } cases[] = {
        {0.1, 0.2, 0.5, 0.5, {10, 20, 50, 50}},
        {0.8, 0.8, 0.5, 0.5, {80, 80, 20, 20}},   // runs past the edge
        {1.2, 0.0, 0.5, 0.5, {}},                 // outside: empty
        {0.0, 0.0, 0.0, 0.0, {}},
    };
    for (const Case& c : cases) {
        const cv::Rect r = estimationRect(cv::Size(100, 100), c.x, c.y, c.w, c.h);
        if (c.expected.empty())
            EXPECT_TRUE(r.empty());
        else
            EXPECT_EQ(r, c.expected);
    }
}

TEST(WbPlan, FocusDecisionsOfTheWindow)
{
    struct Case { std::vector<double> window; int reversals; FocusStep step; };
    const std::vector<Case> cases = {
        {{1, 2, 3, 2, 1}, 0, FocusStep::Done},
        {{1, 2, 3, 3, 1}, 0, FocusStep::Continue},       // the fall must be strict
        {{5, 4, 4, 3, 3}, 0, FocusStep::Reverse},        // a non-strict fall reverses
        {{5, 4, 0, 0, 0}, 0, FocusStep::Continue},       // a zero among the first four
        {{5, 4, 3, 2, 0}, 0, FocusStep::Reverse},        // the last may be 0
        {{5, 4, 4, 3, 3}, 3, FocusStep::Done},
        {{2}, 3, FocusStep::Done},                       // after the third reversal
        {{1, 1, 1, 1}, 0, FocusStep::Continue},
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(focusDecision(c.window, c.reversals)), int(c.step));
}

TEST(WbPlan, TheFrameWaitOutlastsEveryExposure)
{
    struct Case { double exposure; double scale; int32_t atLeast; } cases[] = {
        {40, 1.0, 3600000},               // the camera's hour for short exposures
        {3600000, 1.0, 3660000},          // an hour's exposure still gets its readout
        {10 * 3600000.0, 1.0, 36060000},
        {3600000, 0.02, 3600000},
    };
    for (const Case& c : cases) {
        const int32_t t = frameWaitMs(c.exposure, c.scale);
        EXPECT_GE(t, c.atLeast) << c.exposure;
        EXPECT_GT(double(t), c.exposure * c.scale) << c.exposure;
    }
    EXPECT_EQ(frameWaitMs(1e12, 1.0), INT32_MAX);
}
