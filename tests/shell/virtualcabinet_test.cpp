// The virtual cabinet as start-up hands it in: the time scale read from its text, the pace of
// the program's pauses, and the board's stand-in behind the port search.
#include <gtest/gtest.h>

#include "cabinetstate.h"
#include "pacing.h"
#include "serialportlocator.h"
#include "virtualcabinet.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

bool listsBoard(const QList<SerialPortEntry>& ports, const QString& name = QString())
{
    for (const SerialPortEntry& entry : ports) {
        if (entry.hasProductIdentifier && entry.productIdentifier == SerialPortLocator::kBoardProductId
            && (name.isEmpty() || entry.portName == name))
            return true;
    }
    return false;
}

// Puts back the cabinet the test process was given before main().
class HandedIn : public ::testing::Test {
protected:
    const double given = vcab::timeScale();
    void TearDown() override { useVirtualCabinet(given); }
};

} // namespace

TEST(VirtualCabinet, TheTimeScaleIsReadFromItsTextOrIsOne)
{
    struct Case {
        QByteArray text;
        double scale;
    };
    const Case cases[] = {
        {"", 1.0},       {"0.02", 0.02},  {"1", 1.0},     {" 0.25", 0.25}, {"0", 0.0},
        {"2.5x", 2.5},   {"abc", 1.0},    {"-1", 1.0},    {"inf", 1.0},    {"nan", 1.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(parseTimeScale(c.text), c.scale) << c.text.constData();
}

TEST_F(HandedIn, TheScaleReachesTheStandInsAndTheProgramsPauses)
{
    useVirtualCabinet(0.5);
    EXPECT_DOUBLE_EQ(vcab::timeScale(), 0.5);
    EXPECT_EQ(vcab::scaledMs(300), 150);
    EXPECT_EQ(pacing::scaledMs(300), 150);

    struct Case {
        double scale;
        double ms;
        int expected;
    };
    const Case cases[] = {
        {1.0, 300, 300},
        {0.02, 500, 10},
        {0.02, 20, 0}, // 0.4 ms rounds to no pause at all
        {0.02, -100, 0},
        {1.0, 3.0e9, 2000000000},
        {-1.0, 300, 300}, // a scale no clock can run at counts as 1
        {std::numeric_limits<double>::quiet_NaN(), 300, 300},
    };
    for (const Case& c : cases) {
        pacing::setScale(c.scale);
        EXPECT_EQ(pacing::scaledMs(c.ms), c.expected) << c.scale << " " << c.ms;
    }
}

TEST_F(HandedIn, ThePortSearchListsOnlyTheBoardItWasHandedIn)
{
    // No hardware on this machine: without a stand-in the search finds no board.
    SystemSerialPortLocator::setStandIn({});
    SystemSerialPortLocator locator;
    EXPECT_FALSE(listsBoard(locator.availablePorts()));
    SystemSerialPortLocator::setStandIn([] { return QString(); });
    EXPECT_FALSE(listsBoard(locator.availablePorts()));

    // Searches at once ask the stand-in one at a time: it may start a board on first need.
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> asked{0};
    SystemSerialPortLocator::setStandIn([&] {
        if (inside.fetch_add(1) != 0)
            overlaps.fetch_add(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        asked.fetch_add(1);
        inside.fetch_sub(1);
        return QStringLiteral("/dev/pts/stand-in");
    });
    std::vector<std::thread> searches;
    std::atomic<int> found{0};
    for (int i = 0; i < 4; ++i) {
        searches.emplace_back([&] {
            SystemSerialPortLocator own;
            if (listsBoard(own.availablePorts(), QStringLiteral("/dev/pts/stand-in")))
                found.fetch_add(1);
        });
    }
    for (std::thread& search : searches)
        search.join();
    EXPECT_EQ(found.load(), 4);
    EXPECT_EQ(asked.load(), 4);
    EXPECT_EQ(overlaps.load(), 0);

    // The cabinet handed in brings the virtual board: started on that need, listed last.
    useVirtualCabinet(given);
    const QList<SerialPortEntry> ports = locator.availablePorts();
    ASSERT_FALSE(ports.isEmpty());
    EXPECT_TRUE(ports.last().portName.startsWith(QStringLiteral("/dev/pts/"))) << ports.last().portName.toStdString();
    EXPECT_TRUE(listsBoard({ports.last()}));
}
