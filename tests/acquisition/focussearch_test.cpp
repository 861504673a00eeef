// The preview side of an autofocus search as every preview uses it: the decision on a window of
// sharpness values, the window's log, and the turns taken with the lens side through sem1 and
// sem2 with the flags each decision leaves.

#include <gtest/gtest.h>

#include "focussearch.h"
#include "h695icecamctrl.h"

#include "logcapture.h"

#include <QElapsedTimer>

using acq::FocusSearch;
using acq::FocusStep;
using acq::FocusWindow;

TEST(FocusDecision, TheWindowDecidesPeakReversalOrNothing)
{
    struct Case {
        const char* name;
        std::vector<double> window;
        int reversals;
        FocusStep step;
    };
    const std::vector<Case> cases = {
        {"strict rise and fall", {1, 2, 3, 2, 1}, 0, FocusStep::Done},
        {"rise and fall of 10 % steps", {1, 1.1, 1.2, 1.1, 1}, 0, FocusStep::Done},
        {"rise and fall well above the noise", {10, 20, 30, 20, 10}, 2, FocusStep::Done},
        // A pattern flat within 0.5 % of its mean is no peak, and it does not fall all the way.
        {"rise and fall within the noise", {1000, 1001, 1002, 1001, 1000}, 0, FocusStep::Continue},
        {"the fall must be strict", {1, 2, 3, 3, 1}, 0, FocusStep::Continue},
        {"the rise must be strict", {1, 2, 2, 1, 0.5}, 0, FocusStep::Continue},
        {"a non-strict fall reverses", {5, 4, 4, 3, 3}, 0, FocusStep::Reverse},
        {"five equal values reverse", {7, 7, 7, 7, 7}, 1, FocusStep::Reverse},
        {"the last value may be 0", {5, 4, 3, 2, 0}, 0, FocusStep::Reverse},
        {"a 0 among the first four", {5, 4, 0, 0, 0}, 0, FocusStep::Continue},
        {"a dark frame: all 0", {0, 0, 0, 0, 0}, 0, FocusStep::Continue},
        {"a rising window", {1, 2, 3, 4, 5}, 0, FocusStep::Continue},
        {"no third reversal from the window", {5, 4, 4, 3, 3}, 2, FocusStep::Reverse},
        {"after the third reversal", {5, 4, 4, 3, 3}, 3, FocusStep::Done},
        {"after the third reversal, one value", {2}, 3, FocusStep::Done},
        {"fewer than five values", {5, 4, 3, 2}, 0, FocusStep::Continue},
        {"an empty window", {}, 0, FocusStep::Continue},
        // Only the count 3 ends a search: a count beyond it (never reached) reverses no more.
        {"a count beyond three", {5, 4, 4, 3, 3}, 4, FocusStep::Continue},
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(acq::focusDecision(c.window, c.reversals)), int(c.step)) << c.name;
}

TEST(FocusWindow, KeepsTheLatestFiveAndLogsAsEachPreviewDoes)
{
    struct Case {
        FocusWindow::Log log;
        int values;
        int lines;   // "valueList:" lines
    } cases[] = {
        {FocusWindow::Log::WhenSliding, 5, 0},
        {FocusWindow::Log::WhenSliding, 6, 1},
        {FocusWindow::Log::WhenSliding, 8, 3},
        {FocusWindow::Log::EveryValue, 3, 3},
        {FocusWindow::Log::EveryValue, 7, 7},
    };
    for (const Case& c : cases) {
        LogCapture log;
        FocusWindow window(c.log);
        for (int v = 1; v <= c.values; ++v)
            window.push(v);
        EXPECT_EQ(log.lines().filter("valueList:").size(), c.lines) << c.values;
        std::vector<double> last;
        for (int v = std::max(1, c.values - 4); v <= c.values; ++v)
            last.push_back(v);
        EXPECT_EQ(window.values(), last);
    }
    LogCapture log;
    FocusWindow window(FocusWindow::Log::WhenSliding);
    for (double v : {1.5, 2.5, 3.5, 4.5, 5.5, 6.5})
        window.push(v);
    EXPECT_TRUE(log.contains("valueList: 2.5 3.5 4.5 5.5 6.5"));
}

namespace {

// A 32 x 32 frame of vertical stripes whose contrast sets its sharpness.
class StripedFrame {
public:
    explicit StripedFrame(int contrast)
    {
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                pixels[size_t(y) * 32 + size_t(x)] = uint16_t(1000 + ((x / 2) % 2) * contrast);
        record.usWidth = 32;
        record.usHeight = 32;
        record.uiImgSize = sizeof pixels;
        record.pBuffer = reinterpret_cast<uint8_t*>(pixels);
    }
    TUCAM_FRAME record {};

private:
    uint16_t pixels[32 * 32];
};

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        cam.isRunning = true;
        cam.isFocusStop = false;
        cam.isFocusMeasuring = true;
    }
    // One frame of the given contrast, awaited after the lens reported its position.
    void rate(FocusSearch& search, int contrast)
    {
        StripedFrame frame(contrast);
        cam.sem2.release(1);
        search.beforeFrameWait();
        search.onFrame(&frame.record, [&] { ++published; });
    }
    H695ICECamCtrl cam;
    int published = 0;
};

} // namespace

TEST_F(Search, EachRatedFrameGivesTheLensOneTurnAndTheViewsTheFrame)
{
    const StripedFrame sharper(200), softer(100);
    EXPECT_GT(acq::frameSharpness(H695ICECamCtrl::viewOf(&sharper.record)),
              acq::frameSharpness(H695ICECamCtrl::viewOf(&softer.record)));
    FocusSearch search(&cam, FocusWindow::Log::WhenSliding);
    for (int contrast : {100, 200, 300})
        rate(search, contrast);
    EXPECT_EQ(published, 3);
    EXPECT_EQ(cam.sem1.available(), 3);
    EXPECT_EQ(cam.sem2.available(), 0);
    EXPECT_EQ(search.values().size(), 3u);
    EXPECT_TRUE(cam.isFocusMeasuring);
}

TEST_F(Search, DecisionsLeaveTheirFlags)
{
    struct Case {
        const char* name;
        std::vector<int> contrasts;
        int reversals;
        bool done;
        bool reversed;
    } cases[] = {
        {"peak", {100, 200, 300, 200, 100}, 0, true, false},
        {"fall", {500, 400, 300, 200, 100}, 0, false, true},
        {"third reversal", {100}, 3, true, false},
        {"nothing yet", {100, 200, 300, 400}, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        cam.isFocusDone = false;
        cam.focusDirection = false;
        cam.reversalCount = c.reversals;
        while (cam.sem1.tryAcquire(1)) {
        }
        LogCapture log;
        FocusSearch search(&cam, FocusWindow::Log::WhenSliding);
        for (int contrast : c.contrasts)
            rate(search, contrast);
        EXPECT_EQ(cam.isFocusDone.load(), c.done);
        EXPECT_EQ(cam.isFocusMeasuring.load(), !c.done);
        EXPECT_EQ(cam.focusDirection.load(), c.reversed);
        EXPECT_EQ(cam.reversalCount.load(), c.reversals + (c.reversed ? 1 : 0));
        EXPECT_EQ(log.contains("反转对焦"), c.reversed);
        EXPECT_EQ(search.values().empty(), c.done || c.reversed) << "a decision starts a new window";
        EXPECT_EQ(cam.sem1.available(), int(c.contrasts.size())) << "one turn per rated frame";
    }
}

TEST_F(Search, AnEndedSearchEmptiesTheWindowAndAStoppedOneTakesNoTurn)
{
    FocusSearch search(&cam, FocusWindow::Log::WhenSliding);
    for (int contrast : {100, 200, 300})
        rate(search, contrast);
    search.clearValues();
    rate(search, 400);
    EXPECT_EQ(search.values().size(), 1u);

    cam.isFocusStop = true;
    const int turns = cam.sem1.available();
    rate(search, 500);
    EXPECT_EQ(cam.sem1.available(), turns) << "no turn is left for the next search";
}

TEST_F(Search, AWaitForTheLensEndsWhenThePreviewOrTheSearchStops)
{
    struct Case {
        const char* name;
        std::function<void(H695ICECamCtrl&)> stop;
    } cases[] = {
        {"preview stopped", [](H695ICECamCtrl& c) { c.isRunning = false; }},
        {"search stopped", [](H695ICECamCtrl& c) { c.isFocusStop = true; }},
        {"measuring ended", [](H695ICECamCtrl& c) { c.isFocusMeasuring = false; }},
    };
    for (const Case& c : cases) {
        SetUp();
        published = 0;
        FocusSearch search(&cam, FocusWindow::Log::WhenSliding);
        StripedFrame frame(100);
        c.stop(cam);
        QElapsedTimer waited;
        waited.start();
        search.onFrame(&frame.record, [&] { ++published; });
        EXPECT_LT(waited.elapsed(), 5000) << c.name;
        EXPECT_EQ(published, 1) << c.name << ": the frame is shown before any wait";
        EXPECT_TRUE(search.values().empty()) << c.name;
        EXPECT_EQ(cam.sem1.available(), 0) << c.name;
    }
    // A preview that ends takes its search with it.
    SetUp();
    FocusSearch search(&cam, FocusWindow::Log::WhenSliding);
    search.endWithPreview();
    EXPECT_TRUE(cam.isFocusStop);
    EXPECT_FALSE(cam.isFocusMeasuring);
}
