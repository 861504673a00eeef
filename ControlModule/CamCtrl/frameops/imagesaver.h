#pragma once
// Saving of captured and processed pictures: 16-bit TIFF (inch, 600 dpi, no compression) into
// folder A (<appDir>/Images/<date>/<expName>/) and folder B (<imageSavePath>/<date>/<expName>/),
// each file written under a temporary name in its folder and renamed into place.

#include <cstdint>
#include <vector>

#include <QDateTime>
#include <QString>
#include <opencv2/core.hpp>

#include "frameview.h"
#include "histograminfo.h"
#include "imagefilters.h"
#include "largebuffer.h"
#include "regionofinterest.h"

struct SaveContext {
    QString appDir;
    QString expName;
    QString imageSavePath; // reloaded option; empty: no second folder
    QDateTime when;        // names every file of one call
};

struct WBSaveOptions {
    bool autoLevel = false;
    int kind = 1;                  // 0 marker, 1 sample, 2 merge
    int intelligentAnalysis = 0;
    bool isAutoStretch = false;
    bool isExposure = false;
    int sampleImageBkColor = 0;
    bool isBeautifyPictures = false;
    int sharpenLevel = 0;
    double histLevelPercent = 0;
    int binningIndex = 0;
    // One byte per pixel, 1 = over-exposed.
    const std::vector<uint8_t>* overExposureSum = nullptr;
    int overExposureThreshold = 300;
};

// Working memory of saveWBImages (the processed picture, the filters' intermediates, the
// over-exposure picture), kept by a caller that saves frame after frame so that no frame-sized
// buffer is allocated per picture. One save at a time.
struct SaveScratch {
    LargeBuffer picture;
    LargeBuffer marked;
    FilterScratch filters;
};

struct WBSaveResult {
    QString path;              // the picture to list ("_OE.tif" when that one was written)
    HistogramInfo histogram;   // joins histogramCache
    bool rectsChanged = false; // detectedRects := rects
    std::vector<cv::Rect> rects;
    bool ok = false;           // every file in place
};

struct CaptureSaveResult {
    QString path;
    bool hasHistogram = false;
    HistogramInfo histogram;
    RegionOfInterest roiEntry; // joins roiList: the region cut, (0, 0, -1, -1) for the whole frame
    bool ok = false;
};

QString kindSuffix(int kind);            // saveWBImages: "_Marker", "", "_Merge"
QString lightSuffix(int lightType);      // saveCaptureImage
QString processedSuffix(int kind);       // saveImages: "_Merge", "_Color"
QString folderA(const SaveContext& ctx);
QString folderB(const SaveContext& ctx); // empty when imageSavePath is empty

// Encodes image as TIFF and writes it in place; logs and returns false on any failure. 8- and
// 16-bit grey and 8-bit BGR images (stored as RGB) go straight from memory to the file.
bool writeTiff(const QString& path, const cv::Mat& image);

// Through OpenCV's encoder (the format by the path's suffix, params as cv::imwrite takes them),
// written under a temporary name and renamed into place; a failed or throwing encoder is logged
// and gives false.
bool encodePicture(const QString& path, const cv::Mat& image, const std::vector<int>& params);

WBSaveResult saveWBImages(const FrameView& frame, const SaveContext& ctx, const WBSaveOptions& opts,
                          SaveScratch* scratch = nullptr);
CaptureSaveResult saveCaptureImage(const FrameView& frame, bool addHistogram, int lightType,
                                   const RegionOfInterest& roi, const SaveContext& ctx);
// image becomes the region's view when the region applies. Returns the folder-A path; ok (when
// given) tells whether both files are in place.
QString saveImages(cv::Mat& image, int kind, const RegionOfInterest& roi, const SaveContext& ctx, bool* ok = nullptr);
