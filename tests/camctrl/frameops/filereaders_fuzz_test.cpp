// The readers of files that come from outside the program (the picture's data file and the
// flat-field references) fed seeded random and mutated bytes: none may crash, hang or allocate
// past the largest picture (a hang ends in the test's time-out). Each case prints its seed.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include "flatfieldreferences.h"
#include "mutatedinputs.h"
#include "paramimagefile.h"
#include "picturelimits.h"

namespace {

constexpr int kRuns = 2000;



// What the reader accepted must be a picture the program can make.
void expectSane(const ParamImage& got, uint32_t seed)
{
    if (got.image.empty())
        return;
    EXPECT_TRUE(picturelimits::fitsSensor(got.image.cols, got.image.rows)) << "seed " << seed;
    EXPECT_LE(got.image.channels(), picturelimits::kMaxChannels) << "seed " << seed;
    // A stored range is checked once both ends are read.
    if (got.stretchHigh != 0) {
        EXPECT_LT(got.stretchLow, got.stretchHigh) << "seed " << seed;
    }
}

} // namespace

TEST(FileReadersFuzz, DataFileReaderSurvivesRandomAndMutatedFiles)
{
    QTemporaryDir dir;
    const QString valid = dir.filePath("valid.data");
    cv::Mat picture(24, 32, CV_16UC1);
    cv::randu(picture, 0, 65535);
    ASSERT_TRUE(writeDataFile(valid, picture, 30, true, true, 1000, 40000));
    const QByteArray seedFile = loadBytes(valid);
    const QString path = dir.filePath("fuzz.data");
    QuietLog quiet;
    PeakMemory peak;
    int accepted = 0;
    for (uint32_t seed = 1; seed <= kRuns; ++seed) {
        MutatedInputs inputs(seed);
        saveBytes(path, seed % 8 == 0 ? inputs.random(256) : inputs.mutate(seedFile));
        const ParamImage got = readParamFile(path);
        expectSane(got, seed);
        accepted += got.image.empty() ? 0 : 1;
    }
    // Mutations of the payload or the parameters still read; header damage is refused.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, kRuns);
    EXPECT_LT(peak.grownMiB(), 200);
}

TEST(FileReadersFuzz, ReferenceReaderSurvivesRandomAndMutatedFiles)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("CorrectionData");
    // A valid light and dark pair as the camera would leave them.
    {
        FlatFieldReferences refs(folder);
        refs.loadAtStart(false);
        for (int type : {FlatFieldReferences::Light, FlatFieldReferences::Dark}) {
            const uint16_t w = 16, h = 8, header = 8;
            const uint32_t bytes = w * h * 2;
            std::vector<uint8_t> buffer(header + bytes, 0);
            for (uint32_t i = header; i < buffer.size(); ++i)
                buffer[i] = uint8_t(type == FlatFieldReferences::Light ? 0x80 + i : i / 8);
            std::array<uint8_t, framerecord::kSize> record {};
            const uint8_t* p = buffer.data();
            std::memcpy(&record[framerecord::kHeaderSizeAt], &header, 2);
            std::memcpy(&record[framerecord::kWidthAt], &w, 2);
            std::memcpy(&record[framerecord::kHeightAt], &h, 2);
            std::memcpy(&record[framerecord::kImageSizeAt], &bytes, 4);
            std::memcpy(&record[48], &p, sizeof p);
            ASSERT_TRUE(refs.copyFromCurrent(type, record.data()));
        }
    }
    const QString lightRecord = folder + "/" + FlatFieldReferences::recordFileName(FlatFieldReferences::Light);
    const QString lightPixels = folder + "/" + FlatFieldReferences::pixelFileName(FlatFieldReferences::Light);
    const QByteArray record = loadBytes(lightRecord), pixels = loadBytes(lightPixels);
    ASSERT_EQ(record.size(), int(framerecord::kSize));
    ASSERT_FALSE(pixels.isEmpty());

    std::vector<uint16_t> frame(16 * 8, 1000);
    QuietLog quiet;
    PeakMemory peak;
    int loaded = 0;
    for (uint32_t seed = 1; seed <= kRuns; ++seed) {
        MutatedInputs inputs(seed);
        // Damage the record, the pixels or both.
        const int which = inputs.pick(0, 2);
        saveBytes(lightRecord, which == 1 ? record : (seed % 8 == 0 ? inputs.random(80) : inputs.mutate(record)));
        saveBytes(lightPixels, which == 0 ? pixels : (seed % 8 == 0 ? inputs.random(600) : inputs.mutate(pixels)));
        FlatFieldReferences refs(folder);
        const bool ok = refs.loadCorrectionData(FlatFieldReferences::Light);
        ASSERT_TRUE(refs.loadCorrectionData(FlatFieldReferences::Dark)) << "seed " << seed;
        if (!ok)
            continue;
        ++loaded;
        const auto ref = refs.reference(FlatFieldReferences::Light);
        ASSERT_TRUE(ref && ref->isValid()) << "seed " << seed;
        EXPECT_LE(ref->width(), FlatFieldReferences::kMaxWidth) << "seed " << seed;
        EXPECT_LE(ref->height(), FlatFieldReferences::kMaxHeight) << "seed " << seed;
        // What was accepted is used the way a capture uses it.
        std::vector<uint16_t> copy = frame;
        refs.correct(FrameView {copy.data(), 16, 8}, false);
    }
    EXPECT_GT(loaded, 0);
    EXPECT_LT(peak.grownMiB(), 200);
}
