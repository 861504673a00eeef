#pragma once
// A sample frame's picture set made the plain OpenCV way, as the peer of the program's saver:
// levels from the library's histogram, the stretch through a table, the library's median,
// Gaussian, filter and weighted sum in place, the over-exposure picture drawn in colour, each
// picture encoded once into memory by the library's encoder and written from there, the data
// file through a stream. The files hold what the program's files hold, so a run can check the
// two against each other first.

#include <string>

#include <opencv2/core.hpp>

#include "histograminfo.h"

struct PeerFiles {
    std::string picture;  // folder A
    std::string copy;     // folder B
    std::string marked;   // the over-exposure picture
    std::string data;     // the raw frame with its parameters
};

// Display levels the plain OpenCV way: counts from calcHist, then one cumulative scan that reads
// off the log histogram and both clip values (positions k and n - k, n - 1 when k is 0).
void peerLevels(const cv::Mat& frame, double percent, HistogramInfo& info);

// marks: 8-bit, non-zero where a pixel is over-exposed; the marked picture is written when more
// than threshold pixels are. Returns whether it was.
bool peerSave(const cv::Mat& frame, const cv::Mat& marks, int threshold, int sharpenLevel, double percent,
              const PeerFiles& files);

// Both picture sets hold the same pixels and the same data file; aborts the run when not.
void checkSameFiles(const PeerFiles& ours, const PeerFiles& peer, bool marked);
