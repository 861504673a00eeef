// The SMBus lens driver over the virtual bridge: register transactions, move time limits,
// the busy-bit wait and its error codes.

#include <gtest/gtest.h>

#include "smbuslensctrl.h"

#include "cabinetstate.h"
#include "hidsmbus_test.h"

#include <chrono>

namespace {

int bringUp(const smbustest::Lens& lens = smbustest::Lens())
{
    smbustest::reset({smbustest::Bridge()}, lens);
    int status = SmbusLensCtrl::open(0);
    if (status == 0)
        status = SmbusLensCtrl::configure();
    if (status == 0)
        status = SmbusLensCtrl::readFocusLimits();
    if (status == 0)
        status = SmbusLensCtrl::initFocus();
    return status;
}

// Status register reads since the call log was cleared.
int statusReads()
{
    int reads = 0;
    for (const auto& call : smbustest::calls("HidSmbus_WriteRequest")) {
        if (call.args.size() == 4 && call.args[2] == 0x00 && call.args[3] == 0x42)
            ++reads;
    }
    return reads;
}

struct LensTest : ::testing::Test {
    void TearDown() override { SmbusLensCtrl::close(); }
};

} // namespace

TEST(SmbusLensLimit, TheMoveLimitIsAtLeast2000AndGrowsWithDistanceOverSpeed)
{
    struct Case {
        int distance;
        uint16_t speed;
        int limit;
    } cases[] = {
        {10, 100, 2000}, {1000, 100, 11000}, {1819, 1000, 2000}, {2000, 1000, 2200},
        {65535, 1, 72088500}, {0, 5, 2000}, {100, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SmbusLensCtrl::moveLimit(c.distance, c.speed), c.limit) << c.distance << " at " << c.speed;
}

TEST_F(LensTest, BringUpConfiguresTheBridgeAndReadsTheLimitsInOrder)
{
    smbustest::Lens lens;
    lens.focusMin = 100;
    lens.focusMax = 9000;
    lens.focusSpeed = 1000;
    ASSERT_EQ(bringUp(lens), 0);
    EXPECT_EQ(SmbusLensCtrl::focusMin(), 100);
    EXPECT_EQ(SmbusLensCtrl::focusMax(), 9000);
    EXPECT_EQ(SmbusLensCtrl::focusSpeed(), 1000);
    EXPECT_EQ(SmbusLensCtrl::focusPosition(), 100) << "initialisation parks the drive at its minimum";
    EXPECT_EQ(smbustest::lens().focusInitCount, 1);

    const auto config = smbustest::calls("HidSmbus_SetSmbusConfig");
    ASSERT_EQ(config.size(), 1u);
    EXPECT_EQ(config[0].args, (std::vector<int64_t> {100000, 0x40, 0, 1000, 1000, 0, 0}));
    EXPECT_EQ(smbustest::calls("HidSmbus_SetGpioConfig")[0].args, (std::vector<int64_t> {0xFF, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(smbustest::calls("HidSmbus_SetTimeouts")[0].args, (std::vector<int64_t> {0}));

    std::vector<int64_t> registersRead;
    for (const auto& call : smbustest::calls("HidSmbus_WriteRequest")) {
        if (call.args[1] == 2 && registersRead.size() < 3)
            registersRead.push_back(call.args[2] << 8 | call.args[3]);
    }
    EXPECT_EQ(registersRead, (std::vector<int64_t> {0x2012, 0x2014, 0x201A}));

    ASSERT_EQ(SmbusLensCtrl::readRegister(0x2014, 2), 0);
    EXPECT_EQ(SmbusLensCtrl::readBuffer(), (std::vector<uint8_t> {0x23, 0x28}));
    EXPECT_EQ(SmbusLensCtrl::readValue(), 9000);
}

TEST_F(LensTest, AMoveWritesTheTargetWaitsForTheDriveAndFeedsTheCabinet)
{
    ASSERT_EQ(bringUp(), 0);
    smbustest::clearCallLog();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(SmbusLensCtrl::moveFocus(3000), 0);
    // 2900 positions at 1000 per second, times the tests' scale of 0.02.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(smbustest::calls("HidSmbus_WriteRequest")[0].args,
              (std::vector<int64_t> {0x40, 4, 0x20, 0x00, 0x0B, 0xB8}));
    EXPECT_EQ(SmbusLensCtrl::focusPosition(), 3000);
    EXPECT_EQ(smbustest::lens().focusPosition, 3000);
    EXPECT_EQ(vcab::CabinetState::instance().snapshot().smbusFocus, 3000);
}

TEST_F(LensTest, TheBusyBitDecidesTheOutcomeOfAMove)
{
    struct Case {
        const char* name;
        smbustest::Busy busy;
        int riseOnRead;
        int status;
        int riseReads;   // status reads when the bit never rose
    } cases[] = {
        {"normal", smbustest::Busy::Normal, 0, 0, -1},
        {"never rises", smbustest::Busy::NeverRises, 0, 80, 20},
        {"shows only on the 20th read", smbustest::Busy::RisesLate, 20, 80, 20},
        {"shows on the 19th read", smbustest::Busy::RisesLate, 19, 0, -1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(bringUp(), 0) << c.name;
        ASSERT_EQ(SmbusLensCtrl::moveFocus(4000), 0) << c.name;
        smbustest::setBusy(c.busy, c.riseOnRead);
        smbustest::clearCallLog();
        // A move to where the lens already is still writes the target and waits.
        EXPECT_EQ(SmbusLensCtrl::moveFocus(4000), c.status) << c.name;
        EXPECT_EQ(smbustest::lens().focusTargets.size(), 2u) << c.name;
        if (c.riseReads >= 0) {
            EXPECT_EQ(statusReads(), c.riseReads) << c.name;
            EXPECT_EQ(SmbusLensCtrl::errorText(c.status), QStringLiteral("Status bit hi error.\n"));
        }
        EXPECT_EQ(SmbusLensCtrl::focusPosition(), 4000) << c.name;
        SmbusLensCtrl::close();
    }
}

TEST_F(LensTest, ABusyBitThatNeverFallsEndsAfterTheLimitOfStatusReads)
{
    ASSERT_EQ(bringUp(), 0);
    smbustest::setBusy(smbustest::Busy::NeverFalls);
    ASSERT_EQ(SmbusLensCtrl::writeRegister(0x2000, 6000), 0);
    smbustest::clearCallLog();
    EXPECT_EQ(SmbusLensCtrl::waitStatusBit(0x0042, 0x04, 50), 81);
    EXPECT_EQ(statusReads(), 1 + 50) << "one read sees the bit rise, then the limit counts reads";
    EXPECT_EQ(SmbusLensCtrl::errorText(81), QStringLiteral("Status bit low error.\n"));
}

TEST_F(LensTest, ALensReportingSpeedZeroIsRefusedBeforeAnyMove)
{
    smbustest::Lens lens;
    lens.focusSpeed = 0;
    EXPECT_EQ(bringUp(lens), SmbusLensCtrl::kInvalidParameter);
    EXPECT_EQ(smbustest::lens().focusInitCount, 0);
    EXPECT_EQ(SmbusLensCtrl::moveFocus(500), SmbusLensCtrl::kInvalidParameter);
    EXPECT_TRUE(smbustest::lens().focusTargets.empty());
}

TEST_F(LensTest, AFailingBridgeCallEndsTheMoveWithItsCodeAndKeepsTheCache)
{
    struct Case {
        const char* call;
        int32_t status;
    } cases[] = {
        {"HidSmbus_WriteRequest", 17}, {"HidSmbus_ReadRequest", 16},
        {"HidSmbus_ForceReadResponse", 20}, {"HidSmbus_GetReadResponse", 18},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(bringUp(), 0);
        ASSERT_EQ(SmbusLensCtrl::moveFocus(2500), 0);
        smbustest::failAlways(c.call, c.status);
        EXPECT_EQ(SmbusLensCtrl::moveFocus(7000), c.status) << c.call;
        EXPECT_EQ(SmbusLensCtrl::focusPosition(), 2500) << c.call;
        smbustest::clearScripts();
        SmbusLensCtrl::close();
    }
}

TEST_F(LensTest, AReadThatNeverArrivesEndsAsAReadTimeOut)
{
    ASSERT_EQ(bringUp(), 0);
    smbustest::dropReadResponses(true);
    smbustest::clearCallLog();
    EXPECT_EQ(SmbusLensCtrl::readRegister(0x2000, 2), 18);
    EXPECT_LE(smbustest::calls("HidSmbus_GetReadResponse").size(), 64u);
}

TEST(SmbusLensText, EveryCodeHasItsText)
{
    struct Case {
        int code;
        const char* text;
    } cases[] = {
        {1, "Device not found.\n"}, {2, "Invalid handle.\n"}, {3, "Invalid device object.\n"},
        {4, "Invalid parameter.\n"}, {5, "Invalid request length.\n"}, {16, "Read error.\n"},
        {17, "Write error.\n"}, {18, "Read time out.\n"}, {19, "Write time out.\n"},
        {20, "Device IO failed.\n"},
        {21, "Device access error.\r\nThe device may already be running.\n"},
        {22, "Device not supported.\n"}, {80, "Status bit hi error.\n"}, {81, "Status bit low error.\n"},
        {0, ""}, {6, ""}, {23, ""}, {82, ""}, {-1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SmbusLensCtrl::errorText(c.code), QString::fromUtf8(c.text)) << c.code;
}
