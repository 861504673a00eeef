#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <numeric>
#include <random>

#include "flatfieldreferences.h"
#include "vectorpaths.h"

namespace {

constexpr uint16_t kHeader = 8;

// A camera frame as the driver hands it over: the 56-byte record pointing at header + pixels.
struct CameraFrame {
    std::array<uint8_t, 56> record{};
    std::vector<uint8_t> buffer;

    CameraFrame(int width, int height, const std::vector<uint16_t>& pixels)
    {
        const uint16_t w = uint16_t(width), h = uint16_t(height), hs = kHeader;
        const uint32_t bytes = uint32_t(width * height * 2);
        std::memcpy(&record[8], &hs, 2);
        std::memcpy(&record[12], &w, 2);
        std::memcpy(&record[14], &h, 2);
        std::memcpy(&record[32], &bytes, 4);
        record[40] = 0xA5; // SDK bytes the program keeps unchanged
        buffer.assign(kHeader + bytes, 0x11);
        std::memcpy(buffer.data() + kHeader, pixels.data(), bytes);
        uint8_t* p = buffer.data();
        std::memcpy(&record[48], &p, sizeof p);
    }
};

std::vector<uint16_t> ramp(int n, int start = 0, int step = 1)
{
    std::vector<uint16_t> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = uint16_t(start + i * step);
    return v;
}

std::vector<uint16_t> pixelsOf(const ReferenceFrame& ref)
{
    return std::vector<uint16_t>(ref.pixels(), ref.pixels() + size_t(ref.width()) * ref.height());
}

class References : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/CorrectionData"; }
    void take(FlatFieldReferences& refs, int type, int w, int h, const std::vector<uint16_t>& px)
    {
        CameraFrame frame(w, h, px);
        ASSERT_TRUE(refs.copyFromCurrent(type, frame.record.data()));
    }
    QString file(const QString& name) const { return folder() + "/" + name; }
};

} // namespace

TEST_F(References, CopySavesBothFilesAndReloadsByteForByte)
{
    FlatFieldReferences refs(folder());
    CameraFrame frame(4, 3, ramp(12, 100));
    ASSERT_TRUE(refs.copyFromCurrent(FlatFieldReferences::Light, frame.record.data()));
    EXPECT_EQ(QFile(file("LightFrameData.data")).size(), 56);
    EXPECT_EQ(QFile(file("pBufferLight.data")).size(), kHeader + 24);
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).size() == 2); // no temporary left behind

    FlatFieldReferences again(folder());
    ASSERT_TRUE(again.loadCorrectionData(FlatFieldReferences::Light));
    const auto ref = again.reference(FlatFieldReferences::Light);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->record[40], 0xA5);
    EXPECT_EQ(ref->buffer, frame.buffer);
    EXPECT_EQ(pixelsOf(*ref), ramp(12, 100));
}

TEST_F(References, FilterPairsLiveOnDiskOnly)
{
    FlatFieldReferences refs(folder());
    take(refs, FlatFieldReferences::Light605, 2, 2, ramp(4));
    EXPECT_FALSE(refs.isPresent(FlatFieldReferences::Light605));
    EXPECT_TRUE(QFile::exists(file("LightFrameData605.data")));
    EXPECT_TRUE(QFile::exists(file("pBufferLight605.data")));
    take(refs, FlatFieldReferences::Dark590, 2, 2, ramp(4));
    EXPECT_TRUE(refs.isPresent(FlatFieldReferences::Dark590));
}

TEST_F(References, CopyWithoutCurrentFrameKeepsTheOldReference)
{
    FlatFieldReferences refs(folder());
    take(refs, FlatFieldReferences::Dark, 2, 2, ramp(4, 7));
    EXPECT_FALSE(refs.copyFromCurrent(FlatFieldReferences::Dark, nullptr));
    std::array<uint8_t, 56> noBuffer{};
    EXPECT_FALSE(refs.copyFromCurrent(FlatFieldReferences::Dark, noBuffer.data()));
    ASSERT_TRUE(refs.isPresent(FlatFieldReferences::Dark));
    EXPECT_EQ(pixelsOf(*refs.reference(FlatFieldReferences::Dark)), ramp(4, 7));
}

TEST_F(References, BrokenFilesLeaveTheReferenceAbsent)
{
    struct Case {
        const char* what;
        std::function<void(const QString& record, const QString& pixels)> damage;
    };
    auto resize = [](const QString& path, qint64 size) {
        QFile f(path);
        ASSERT_TRUE(f.resize(size));
    };
    auto patch = [](const QString& path, qint64 at, uint32_t value, int bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at);
        f.write(reinterpret_cast<const char*>(&value), bytes);
    };
    const Case cases[] = {
        {"record missing", [](const QString& r, const QString&) { QFile::remove(r); }},
        {"pixels missing", [](const QString&, const QString& p) { QFile::remove(p); }},
        {"record short", [&](const QString& r, const QString&) { resize(r, 55); }},
        {"record long", [&](const QString& r, const QString&) { resize(r, 57); }},
        {"pixels short", [&](const QString&, const QString& p) { resize(p, kHeader + 23); }},
        {"pixels long", [&](const QString&, const QString& p) { resize(p, kHeader + 25); }},
        {"image size not width x height x 2", [&](const QString& r, const QString&) { patch(r, 32, 26, 4); }},
        {"width 0", [&](const QString& r, const QString&) { patch(r, 12, 0, 2); }},
        {"absurd size", [&](const QString& r, const QString&) {
             patch(r, 12, 65535, 2);
             patch(r, 14, 65535, 2);
             patch(r, 32, 65535u * 65535u * 2u, 4);
         }},
    };
    for (const Case& c : cases) {
        QDir(folder()).removeRecursively();
        FlatFieldReferences refs(folder());
        take(refs, FlatFieldReferences::Light, 4, 3, ramp(12));
        take(refs, FlatFieldReferences::Dark, 4, 3, ramp(12));
        c.damage(file("LightFrameData.data"), file("pBufferLight.data"));

        FlatFieldReferences loaded(folder());
        EXPECT_FALSE(loaded.loadCorrectionData(FlatFieldReferences::Light)) << c.what;
        EXPECT_TRUE(loaded.loadCorrectionData(FlatFieldReferences::Dark)) << c.what;
        EXPECT_FALSE(loaded.isPresent(FlatFieldReferences::Light)) << c.what;
        EXPECT_FALSE(loaded.isAlreadyFFC()) << c.what;
        std::vector<uint16_t> px(12, 500);
        EXPECT_FALSE(loaded.correct({px.data(), 4, 3}, false)) << c.what;
        EXPECT_EQ(px, std::vector<uint16_t>(12, 500)) << c.what;
    }
}

// What stands in a reference's place at start-up is read only when it can be a reference: a
// regular file, of a frame no larger than the largest sensor the program drives. A FIFO would
// block the start for ever; a self-consistent record of 65535 x 32767 pixels would have the
// start allocate and read 4.3 GB.
TEST_F(References, OnlyRegularFilesOfASensorSizeAreLoaded)
{
    auto writeRecord = [&](int width, int height) {
        std::array<uint8_t, 56> record {};
        const uint16_t w = uint16_t(width), h = uint16_t(height), hs = kHeader;
        const uint32_t bytes = uint32_t(uint64_t(width) * height * 2);
        std::memcpy(&record[8], &hs, 2);
        std::memcpy(&record[12], &w, 2);
        std::memcpy(&record[14], &h, 2);
        std::memcpy(&record[32], &bytes, 4);
        QFile r(file("LightFrameData.data"));
        ASSERT_TRUE(r.open(QIODevice::WriteOnly));
        r.write(reinterpret_cast<const char*>(record.data()), 56);
        QFile p(file("pBufferLight.data"));
        ASSERT_TRUE(p.open(QIODevice::WriteOnly));
        ASSERT_TRUE(p.resize(qint64(kHeader) + bytes)); // sparse: no disk is used
    };
    auto fifo = [&](const QString& name) {
        QFile::remove(file(name));
        ASSERT_EQ(::mkfifo(QFile::encodeName(file(name)).constData(), 0600), 0);
    };
    struct Case {
        const char* what;
        std::function<void()> place;
        bool loaded;
    };
    const Case cases[] = {
        {"the largest sensor", [&] { writeRecord(4656, 3136); }, true},
        {"wider than any sensor", [&] { writeRecord(4657, 2); }, false},
        {"taller than any sensor", [&] { writeRecord(2, 3137); }, false},
        {"65535 x 32767", [&] { writeRecord(65535, 32767); }, false},
        {"a FIFO for the record", [&] { writeRecord(4, 3); fifo("LightFrameData.data"); }, false},
        {"a FIFO for the pixels", [&] { writeRecord(4, 3); fifo("pBufferLight.data"); }, false},
        {"a folder for the pixels", [&] {
             writeRecord(4, 3);
             QFile::remove(file("pBufferLight.data"));
             QDir().mkpath(file("pBufferLight.data"));
         }, false},
    };
    for (const Case& c : cases) {
        QDir(folder()).removeRecursively();
        QDir().mkpath(folder());
        c.place();
        FlatFieldReferences refs(folder());
        auto loading = std::async(std::launch::async, [&] { return refs.loadCorrectionData(FlatFieldReferences::Light); });
        if (loading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            // Release a reader blocked on a FIFO so that the test ends and reports it.
            for (const char* name : {"LightFrameData.data", "pBufferLight.data"}) {
                const int fd = ::open(QFile::encodeName(file(name)).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
            ADD_FAILURE() << c.what << ": the load blocked";
        }
        EXPECT_EQ(loading.get(), c.loaded) << c.what;
        EXPECT_EQ(refs.isPresent(FlatFieldReferences::Light), c.loaded) << c.what;
    }
}

TEST_F(References, StartUpCleanUpKeepsFilterPairs)
{
    {
        FlatFieldReferences refs(folder());
        EXPECT_TRUE(refs.loadAtStart(false)); // creates the folder
        EXPECT_TRUE(QDir(folder()).exists());
        take(refs, FlatFieldReferences::Light, 2, 2, ramp(4));
        take(refs, FlatFieldReferences::Dark, 2, 2, ramp(4));
        take(refs, FlatFieldReferences::Light535, 2, 2, ramp(4));
    }
    FlatFieldReferences keep(folder());
    EXPECT_TRUE(keep.loadAtStart(true));
    EXPECT_TRUE(keep.isAlreadyFFC());
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 6);

    QFile::remove(file("LightFrameData535.data"));
    QFile::remove(file("pBufferLight535.data"));
    FlatFieldReferences wipe(folder());
    EXPECT_FALSE(wipe.loadAtStart(true));
    EXPECT_FALSE(wipe.isAlreadyFFC());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}

TEST_F(References, ColorMarkerBlockMeans)
{
    FlatFieldReferences refs(folder());
    // 4 x 4 light reference of 0..15, dark all 2
    take(refs, FlatFieldReferences::Light535, 4, 4, ramp(16));
    take(refs, FlatFieldReferences::Dark535, 4, 4, std::vector<uint16_t>(16, 2));
    std::vector<uint16_t> frame(4);

    cv::Mat light, dark;
    ASSERT_TRUE(refs.calculateBySizeForColorMarker({frame.data(), 2, 2}, 1, light, dark));
    EXPECT_EQ(light.at<uint16_t>(0, 0), (0 + 1 + 4 + 5) / 4);
    EXPECT_EQ(light.at<uint16_t>(1, 1), (10 + 11 + 14 + 15) / 4);
    EXPECT_EQ(dark.at<uint16_t>(0, 1), 2);
    EXPECT_FALSE(refs.isPresent(FlatFieldReferences::Light535)); // freed again

    // narrower frame at factor 1: the frame's own layout, rows stepped by the reference's width
    std::vector<uint16_t> narrow(2 * 4);
    ASSERT_TRUE(refs.calculateBySizeForColorMarker({narrow.data(), 2, 4}, 1, light, dark));
    EXPECT_EQ(light.at<uint16_t>(3, 1), 13);
    EXPECT_EQ(light.at<uint16_t>(1, 0), 4);
}

TEST_F(References, ColorMarkerRefusals)
{
    FlatFieldReferences refs(folder());
    take(refs, FlatFieldReferences::Light715, 4, 4, ramp(16, 1));
    take(refs, FlatFieldReferences::Dark715, 4, 4, ramp(16, 1));
    for (int filter : {0, 2, 4, 6, -1}) {
        cv::Mat light(2, 2, CV_16UC1, cv::Scalar(9)), dark(2, 2, CV_16UC1, cv::Scalar(9));
        std::vector<uint16_t> frame(4);
        EXPECT_FALSE(refs.calculateBySizeForColorMarker({frame.data(), 2, 2}, filter, light, dark));
        EXPECT_EQ(cv::countNonZero(light != 9), 0) << filter;
        EXPECT_EQ(cv::countNonZero(dark != 9), 0) << filter;
    }
    struct Case { int w, h; };
    for (const Case c : {Case{2, 8}, Case{5, 4}, Case{3, 2}}) { // taller; wider; wider than the binned width
        std::vector<uint16_t> frame(size_t(c.w * c.h));
        cv::Mat light(c.h, c.w, CV_16UC1, cv::Scalar(9)), dark(c.h, c.w, CV_16UC1, cv::Scalar(9));
        EXPECT_FALSE(refs.calculateBySizeForColorMarker({frame.data(), c.w, c.h}, 5, light, dark)) << c.w << "x" << c.h;
        EXPECT_EQ(cv::countNonZero(light), 0);
        EXPECT_EQ(cv::countNonZero(dark), 0);
    }
    cv::Mat light, dark;
    std::vector<uint16_t> frame(4);
    FlatFieldReferences empty(dir.path() + "/nothing");
    EXPECT_FALSE(empty.calculateBySizeForColorMarker({frame.data(), 2, 2}, 3, light, dark));
}

TEST_F(References, BinnedPairFollowsFactorAndPair)
{
    FlatFieldReferences refs(folder());
    std::vector<uint16_t> light = {1, 2, 10, 10, 3, 4, 10, 10, 8, 8, 20, 20, 8, 8, 20, 20};
    take(refs, FlatFieldReferences::Light, 4, 4, light);
    take(refs, FlatFieldReferences::Dark, 4, 4, std::vector<uint16_t>(16, 1));
    take(refs, FlatFieldReferences::Light590, 4, 4, std::vector<uint16_t>(16, 900));
    take(refs, FlatFieldReferences::Dark590, 4, 4, std::vector<uint16_t>(16, 100));

    std::vector<uint16_t> full(16), half(4);
    ASSERT_TRUE(refs.applyFFC({full.data(), 4, 4}));
    EXPECT_EQ(refs.ffcBinFactor(), 1);
    EXPECT_EQ(refs.binnedLight()->buffer, refs.reference(FlatFieldReferences::Light)->buffer); // header too
    EXPECT_EQ(refs.binnedLight()->record, refs.reference(FlatFieldReferences::Light)->record);

    ASSERT_TRUE(refs.applyFFC({half.data(), 2, 2}));
    EXPECT_EQ(refs.ffcBinFactor(), 2);
    EXPECT_EQ(pixelsOf(*refs.binnedLight()), (std::vector<uint16_t>{2, 10, 8, 20})); // 10 / 4 truncated
    EXPECT_FALSE(refs.ffcPairIsSecond());

    ASSERT_TRUE(refs.applyFFCSecond({half.data(), 2, 2}));
    EXPECT_TRUE(refs.ffcPairIsSecond());
    EXPECT_EQ(pixelsOf(*refs.binnedLight()), std::vector<uint16_t>(4, 900));
    ASSERT_TRUE(refs.applyFFC({half.data(), 2, 2}));
    EXPECT_EQ(pixelsOf(*refs.binnedLight()), (std::vector<uint16_t>{2, 10, 8, 20}));

    // same factor, narrower frame: rebuilt in the frame's layout, never reused
    std::vector<uint16_t> strip(3 * 4);
    ASSERT_TRUE(refs.applyFFC({strip.data(), 3, 4}));
    EXPECT_EQ(pixelsOf(*refs.binnedLight()), (std::vector<uint16_t>{1, 2, 10, 3, 4, 10, 8, 8, 20, 8, 8, 20}));

    refs.resetFFC();
    EXPECT_FALSE(refs.isAlreadyFFC());
    EXPECT_EQ(refs.ffcBinFactor(), 0);
    EXPECT_FALSE(refs.applyFFC({half.data(), 2, 2}));
}

// A calibration done after the last correction decides the next one: the pair binned for the
// old references never corrects a frame again, whatever factor the new ones give.
TEST_F(References, ANewCalibrationNeverCorrectsWithTheOldPair)
{
    struct Case {
        const char* what;
        bool reset;        // resetFFC before the new references
        int newSize;       // width and height of the new references
        uint16_t newLight; // their light level (dark 0)
        bool corrected;
        uint16_t expected; // the 4 x 4 frame of 500 after the correction
    };
    const Case cases[] = {
        // Binning raised after the reset: the references are 2 x 2, the frame 4 x 4, factor 0
        // as after the reset itself.
        {"smaller references after a reset", true, 2, 2000, false, 500},
        {"smaller references without a reset", false, 2, 2000, false, 500},
        {"same size after a reset", true, 4, 2000, true, 16383},
        {"same size without a reset", false, 4, 2000, true, 16383},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FlatFieldReferences refs(folder());
        take(refs, FlatFieldReferences::Light, 4, 4, std::vector<uint16_t>(16, 1000));
        take(refs, FlatFieldReferences::Dark, 4, 4, std::vector<uint16_t>(16, 0));
        std::vector<uint16_t> first(16, 500);
        ASSERT_TRUE(refs.correct({first.data(), 4, 4}, false));
        ASSERT_EQ(first[0], 32767);

        if (c.reset)
            refs.resetFFC();
        const int n = c.newSize * c.newSize;
        take(refs, FlatFieldReferences::Light, c.newSize, c.newSize, std::vector<uint16_t>(size_t(n), c.newLight));
        take(refs, FlatFieldReferences::Dark, c.newSize, c.newSize, std::vector<uint16_t>(size_t(n), 0));
        std::vector<uint16_t> px(16, 500);
        EXPECT_EQ(refs.correct({px.data(), 4, 4}, false), c.corrected);
        EXPECT_EQ(px, std::vector<uint16_t>(16, c.expected));
        if (!c.corrected) {
            EXPECT_FALSE(refs.applyFFC({px.data(), 4, 4}));
        }
    }
}

TEST_F(References, CalculateFfcRebuildsThePairFromTheReferencesInPlace)
{
    FlatFieldReferences refs(folder());
    take(refs, FlatFieldReferences::Light, 2, 2, std::vector<uint16_t>(4, 1000));
    take(refs, FlatFieldReferences::Dark, 2, 2, std::vector<uint16_t>(4, 0));
    std::vector<uint16_t> px(4, 500);
    ASSERT_TRUE(refs.applyFFC({px.data(), 2, 2}));
    // The references change on disk and are loaded again (the start-up path).
    {
        FlatFieldReferences other(folder());
        take(other, FlatFieldReferences::Light, 2, 2, std::vector<uint16_t>(4, 4000));
    }
    ASSERT_TRUE(refs.loadCorrectionData(FlatFieldReferences::Light));
    refs.calculateFFC();
    ASSERT_TRUE(refs.correct({px.data(), 2, 2}, false));
    EXPECT_EQ(px, std::vector<uint16_t>(4, 8191));
}

TEST_F(References, FramesTheReferencesCannotCoverAreRefused)
{
    FlatFieldReferences refs(folder());
    take(refs, FlatFieldReferences::Light, 4, 4, std::vector<uint16_t>(16, 1000));
    take(refs, FlatFieldReferences::Dark, 4, 4, std::vector<uint16_t>(16, 0));
    struct Case { int w, h; };
    for (const Case c : {Case{5, 4}, Case{4, 5}, Case{3, 2}, Case{8, 8}}) {
        std::vector<uint16_t> px(size_t(c.w * c.h), 500);
        EXPECT_FALSE(refs.correct({px.data(), c.w, c.h}, false)) << c.w << "x" << c.h;
        EXPECT_EQ(px, std::vector<uint16_t>(px.size(), 500));
    }
}

TEST_F(References, CorrectionRule)
{
    FlatFieldReferences refs(folder());
    //          L == D   bright   mid    below dark   L < D
    take(refs, FlatFieldReferences::Light, 5, 1, {300, 1000, 1100, 1000, 50});
    take(refs, FlatFieldReferences::Dark, 5, 1, {300, 100, 100, 100, 60});
    std::vector<uint16_t> px = {5000, 2000, 600, 50, 55};
    ASSERT_TRUE(refs.correct({px.data(), 5, 1}, false));
    EXPECT_EQ(px, (std::vector<uint16_t>{0, 65535, 32767, 0, 0}));
}

// The vector kernel against the rule written out in double precision, on random pixels and on
// pixels whose quotient is exact (where the double product may fall just below it).
// At the white level 65535 the kernel skips the exact-quotient fallback: every dark-to-light
// span with every pixel whose quotient is exact, against the double rule.
TEST(FlatFieldKernel, ExactQuotientsAtFullScale)
{
    std::vector<uint16_t> r, l, k;
    for (int den = 1; den < 65536; ++den) {
        const int step = den / std::gcd(den, 65535);
        for (int num = step; num < den; num += step) {
            k.push_back(0);
            l.push_back(uint16_t(den));
            r.push_back(uint16_t(num));
        }
    }
    std::vector<uint16_t> want(r.size());
    for (size_t i = 0; i < r.size(); ++i)
        want[i] = uint16_t(int(double(r[i]) / double(l[i]) * 65535));
    for (lanes::Isa isa : vectorPaths()) {
        VectorPath path(isa);
        std::vector<uint16_t> px = r;
        correctFlatField({px.data(), int(px.size()), 1}, l.data(), k.data(), 65535);
        EXPECT_EQ(px, want);
    }
}

TEST(FlatFieldKernel, MatchesThePlainDoubleRule)
{
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> d(0, 65535);
    const int n = 40099;
    for (uint16_t scale : {uint16_t(65535), uint16_t(40000), uint16_t(1), uint16_t(0)}) {
        std::vector<uint16_t> r(n), l(n), k(n);
        for (int i = 0; i < n; ++i) {
            k[i] = uint16_t(d(rng) / 4);
            l[i] = uint16_t(std::min(65535, k[i] + 1 + d(rng) % 3000));
            r[i] = uint16_t(std::min(65535, k[i] + d(rng) % 3200));
            if (i % 5 == 0) { // an exact quotient: num / den = a / scale-divisor
                const int den = 3 * 5 * 17;
                l[i] = uint16_t(std::min(65535, k[i] + den));
                r[i] = uint16_t(std::min(65535, k[i] + d(rng) % den));
            }
            if (i % 97 == 0)
                l[i] = k[i]; // no usable span
        }
        std::vector<uint16_t> want(n);
        for (int i = 0; i < n; ++i) {
            const double span = double(l[i]) - k[i];
            double q = span > 0 ? (double(r[i]) - k[i]) / span : 0;
            q = std::min(1.0, std::max(0.0, q));
            want[i] = span > 0 ? uint16_t(int(q * scale)) : 0;
        }
        for (lanes::Isa isa : vectorPaths()) {
            VectorPath path(isa);
            std::vector<uint16_t> px = r;
            correctFlatField({px.data(), n, 1}, l.data(), k.data(), scale);
            EXPECT_EQ(px, want) << scale;
        }
    }
}

// Short frames (only tails), the full range of references including dark above light and
// saturated pixels, every path, against the rule in double precision.
TEST(FlatFieldKernel, EveryPathAgreesOnShortAndExtremeFrames)
{
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> d(0, 65535);
    const int lengths[] = {1, 7, 31, 32, 33, 63, 64, 65, 127, 129, 1000};
    for (uint16_t scale : {uint16_t(65535), uint16_t(50000), uint16_t(255)}) {
        for (int n : lengths) {
            std::vector<uint16_t> r(n), l(n), k(n);
            for (int i = 0; i < n; ++i) {
                r[i] = uint16_t(d(rng));
                l[i] = uint16_t(i % 3 == 0 ? 65535 : d(rng));
                k[i] = uint16_t(i % 4 == 0 ? 0 : d(rng) / (1 + i % 5));
            }
            std::vector<uint16_t> want(n);
            for (int i = 0; i < n; ++i) {
                const double span = double(l[i]) - k[i];
                const double q = span > 0 ? std::min(1.0, std::max(0.0, (double(r[i]) - k[i]) / span)) : 0;
                want[i] = span > 0 ? uint16_t(int(q * scale)) : 0;
            }
            for (lanes::Isa isa : vectorPaths()) {
                VectorPath path(isa);
                std::vector<uint16_t> px = r;
                correctFlatField({px.data(), n, 1}, l.data(), k.data(), scale);
                EXPECT_EQ(px, want) << "scale " << scale << " n " << n;
            }
        }
    }
}
