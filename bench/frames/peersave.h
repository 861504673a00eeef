#pragma once
// A sample frame's picture set made the plain OpenCV way, as the peer of the program's saver:
// levels from the library's histogram, the stretch through a table, the library's median,
// Gaussian, filter and weighted sum in place, the over-exposure picture drawn in colour, each
// picture encoded once into memory by the library's encoder and written from there, the data
// file through a stream. The files hold what the program's files hold, so a run can check the
// two against each other first.

#include <string>

#include <opencv2/core.hpp>

struct PeerFiles {
    std::string picture;  // folder A
    std::string copy;     // folder B
    std::string marked;   // the over-exposure picture
    std::string data;     // the raw frame with its parameters
};

// marks: 8-bit, non-zero where a pixel is over-exposed; the marked picture is written when more
// than threshold pixels are. Returns whether it was.
bool peerSave(const cv::Mat& frame, const cv::Mat& marks, int threshold, int sharpenLevel, double percent,
              const PeerFiles& files);

// Both picture sets hold the same pixels and the same data file; aborts the run when not.
void checkSameFiles(const PeerFiles& ours, const PeerFiles& peer, bool marked);
