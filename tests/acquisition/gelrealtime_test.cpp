// The gel capture's fixed pauses at their real length (no time scale): a colour marker cancelled
// once its lamp is on still lets the lamp settle, puts the wheel back and lets the lamp go out,
// 300 ms each.

#include "gelfixture.h"

#include "cabinetstate.h"
#include "geltscapturethread.h"
#include "testappdir.h"

#include <QElapsedTimer>

class GelRealTime : public GelCabinet {};

TEST_F(GelRealTime, ACancelledMarkerKeepsTheLampPauses)
{
    ASSERT_EQ(vcab::timeScale(), 1.0);
    setOption(UserOpts::OPT_ColorMarker, [](UserOpts* o) { o->setColorMarker(true); });
    insertExperiment("Gel-real-time");
    GelRecorder rec;
    GelTSCaptureThread thread(EnumOBJ::White);
    start(thread, rec);
    ASSERT_TRUE(waitForCommands(1, 0xF2, 20000));
    QElapsedTimer sinceLampOn;
    sinceLampOn.start();
    EXPECT_EQ(cancelCapture(thread), Cancel::Aborted);
    ASSERT_TRUE(runToEnd(thread, 20000));
    // The lamp's 300 ms, the wheel's 300 ms and the lamp's 300 ms after the cancel; the lamp
    // command reached the board on the way through the serial link, some time into the first.
    EXPECT_GE(sinceLampOn.elapsed(), 700);
    ASSERT_TRUE(waitForCommands(3));
    EXPECT_EQ(commands(), (QStringList {"01 02", "11", "c1"}));
    EXPECT_EQ(rec.events, QStringList {"image 4 40 5"});
    EXPECT_TRUE(cameraIdle());
}
