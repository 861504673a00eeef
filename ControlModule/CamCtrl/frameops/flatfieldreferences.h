#pragma once
// The ten flat-field and dark references of the Tucsen camera, their files under CorrectionData,
// the binned pair built for the frame being corrected, and the per-pixel correction.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <QString>

#include "frameview.h"
#include "picturelimits.h"

// A reference in memory: the camera's 56-byte frame record, byte for byte, and its own buffer
// (header followed by the pixels). The record's buffer field is meaningless here.
struct ReferenceFrame {
    std::array<uint8_t, framerecord::kSize> record{};
    std::vector<uint8_t> buffer;

    uint16_t headerSize() const { return framerecord::u16(record.data(), framerecord::kHeaderSizeAt); }
    uint16_t width() const { return framerecord::u16(record.data(), framerecord::kWidthAt); }
    uint16_t height() const { return framerecord::u16(record.data(), framerecord::kHeightAt); }
    uint32_t imageSize() const { return framerecord::u32(record.data(), framerecord::kImageSizeAt); }
    // A 16-bit monochrome frame whose buffer holds header + width x height x 2 bytes.
    bool isValid() const;
    const uint16_t* pixels() const { return reinterpret_cast<const uint16_t*>(buffer.data() + headerSize()); }

    // Deep copy of a camera frame record and its buffer; null when the record is not a valid frame.
    static std::unique_ptr<ReferenceFrame> copyOf(const void* record);
};

// Per pixel: (R - D) / (L - D) in double, clamped to [0, 1], times scale, truncated; 0 where
// L - D <= 0. All three planes hold frame.count() pixels.
void correctFlatField(const FrameView& frame, const uint16_t* light, const uint16_t* dark, uint16_t scale);

// Mean of each factor x factor block of ref (rows of refWidth) into out (rows of outWidth).
// The caller guarantees the blocks lie inside ref.
void binBlocks(const uint16_t* ref, int refWidth, int factor, uint16_t* out, int outWidth, int outHeight);

class FlatFieldReferences {
public:
    // The largest sensor of the cameras the program drives: no reference is larger, and a
    // record that claims more is refused before anything is allocated.
    static constexpr int kMaxWidth = picturelimits::kSensorWidth;
    static constexpr int kMaxHeight = picturelimits::kSensorHeight;

    enum Type {
        Light = 0, Dark, Light535, Dark535, Light605, Dark605, Light715, Dark715, Light590, Dark590,
        TypeCount
    };

    // folder: the CorrectionData folder (application directory + "/CorrectionData").
    explicit FlatFieldReferences(const QString& folder);

    static QString recordFileName(int type); // "LightFrameData.data", ...
    static QString pixelFileName(int type);  // "pBufferLight.data", ...

    // Start-up: loads types 0, 1, 8, 9 when the folder exists, else creates it. With
    // colorMarkerVisible and no file named with "535", resets and empties the folder.
    // Returns false when that reset happened (flat-field correction must be switched off).
    bool loadAtStart(bool colorMarkerVisible);

    // getStandardImage ... getDarkImageFor590: copies the current frame into the type's reference
    // and saves it; types 2 to 7 are dropped from memory afterwards. Without a valid current
    // frame the old reference stays and false is returned.
    bool copyFromCurrent(int type, const void* currentRecord);
    bool saveCorrectionData(int type);
    // Installs the type's reference from its files; any fault leaves it absent. Only regular
    // files are opened, and only a frame of a sensor's size is read.
    bool loadCorrectionData(int type);
    // The pairs kept in memory (types 0, 1, 8, 9) read again from their files, as at start.
    void reloadStored();

    bool isPresent(int type) const;
    // Copy of a reference (null when absent).
    std::unique_ptr<ReferenceFrame> reference(int type) const;
    bool isAlreadyFFC() const;

    // The filter's light and dark references (1: 535, 3: 605, 5: 715) reduced to the frame's
    // size into light and dark (16-bit, frame-sized). A frame that the references cannot cover
    // gets zeros and false.
    bool calculateBySizeForColorMarker(const FrameView& frame, int filter, cv::Mat& light, cv::Mat& dark);

    // Prepare the binned pair for frame from pair A (types 0, 1) or pair B (types 8, 9).
    bool applyFFC(const FrameView& frame);
    bool applyFFCSecond(const FrameView& frame);
    // Prepare and correct under one lock, so that two consumers never mix their pairs.
    bool correct(const FrameView& frame, bool second);

    void resetFFC();
    void calculateFFC();
    void freeReference(int type);

    uint16_t ffcScale() const;
    int ffcBinFactor() const;
    bool ffcPairIsSecond() const;
    std::unique_ptr<ReferenceFrame> binnedLight() const;
    std::unique_ptr<ReferenceFrame> binnedDark() const;

private:
    bool prepareLocked(const FrameView& frame, bool second);
    // Forgets the binned pair: the next prepare builds it from the references in place.
    void dropBinnedLocked();
    bool loadLocked(int type);
    bool saveLocked(int type);

    QString m_folder;
    mutable std::mutex m_mutex;
    std::array<std::unique_ptr<ReferenceFrame>, TypeCount> m_refs;
    std::unique_ptr<ReferenceFrame> m_lightBinned, m_darkBinned;
    int m_binFactor = 0;
    int m_binnedWidth = 0, m_binnedHeight = 0;
    bool m_pairIsSecond = false;
    uint16_t m_scale = 65535;
};
