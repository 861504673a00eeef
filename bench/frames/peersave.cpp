#include "peersave.h"
#include "peerwrite.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

const std::vector<int>& params()
{
    static const std::vector<int> p = {cv::IMWRITE_TIFF_RESUNIT, 2, cv::IMWRITE_TIFF_XDPI, 600, cv::IMWRITE_TIFF_YDPI, 600,
                                       cv::IMWRITE_TIFF_COMPRESSION, 1};
    return p;
}

[[noreturn]] void stop(const std::string& what)
{
    std::fprintf(stderr, "\n*** benchmark aborted: %s ***\n", what.c_str());
    std::abort();
}

std::vector<char> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uchar>& bytes)
{
    if (!benchpairs::writeBytesAtomically(path, bytes))
        stop("the peer could not write " + path);
}

void writeEncoded(const std::string& path, const cv::Mat& picture)
{
    thread_local std::vector<uchar> bytes;
    if (!cv::imencode(".tif", picture, bytes, params()))
        stop("the peer could not encode " + path);
    writeBytes(path, bytes);
}

} // namespace

void peerLevels(const cv::Mat& frame, double percent, HistogramInfo& info)
{
    cv::Mat hist;
    const int channels[] = {0}, bins[] = {65536};
    const float range[] = {0, 65536};
    const float* ranges[] = {range};
    cv::calcHist(&frame, 1, channels, cv::Mat(), hist, 1, bins, ranges);
    const uint64_t n = frame.total();
    const uint64_t k = std::min<uint64_t>(uint64_t(std::floor(percent * double(n))), (n - 1) / 2);
    const uint64_t highAt = k == 0 ? n - 1 : n - k;
    info.logHist.resize(65536);
    info.maxLog = 0;
    uint64_t seen = 0;
    int low = -1, high = -1;
    const float* counts = hist.ptr<float>();
    for (int v = 0; v < 65536; ++v) {
        const uint64_t count = uint64_t(counts[v]);
        info.logHist[v] = std::log10(1.1 + double(count));
        info.maxLog = std::max(info.maxLog, info.logHist[v]);
        seen += count;
        if (low < 0 && seen > k)
            low = v;
        if (high < 0 && seen > highAt)
            high = v;
    }
    if (high - low > 600)
        high -= 300;
    info.low = std::min(low, 60000);
    info.high = std::max(high, 2535);
}

bool peerSave(const cv::Mat& frame, const cv::Mat& marks, int threshold, int sharpenLevel, double percent,
              const PeerFiles& files)
{
    HistogramInfo levels;
    peerLevels(frame, percent, levels);
    const int low = levels.low, high = levels.high;

    // The stretch through a table of the double formula.
    std::vector<uint16_t> lut(65536);
    for (int v = 0; v < 65536; ++v)
        lut[v] = v < low ? 0 : v > high ? 65535 : uint16_t((double(v) - low) / (high - low) * 65535.0 + 0.5);
    cv::Mat work(frame.size(), CV_16UC1);
    for (size_t i = 0; i < frame.total(); ++i)
        work.ptr<uint16_t>()[i] = lut[frame.ptr<uint16_t>()[i]];

    cv::medianBlur(work, work, 3);
    if (sharpenLevel > 0) {
        static const cv::Mat kernel = (cv::Mat_<float>(3, 3) << 0, -1, 0, -1, 5, -1, 0, -1, 0);
        cv::GaussianBlur(work, work, cv::Size(5, 5), 0.5, 0.5, cv::BORDER_DEFAULT);
        cv::Mat sharp;
        cv::filter2D(work, sharp, -1, kernel, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
        cv::addWeighted(work, 1.0 - sharpenLevel / 100.0, sharp, sharpenLevel / 100.0, 0, work, CV_16U);
    }

    const bool marked = cv::countNonZero(marks) > threshold;
    if (marked) {
        // A constant table: built once, as any caller would.
        static const std::vector<uint8_t> toGrey = [] {
            std::vector<uint8_t> t(65536);
            for (int v = 0; v < 65536; ++v)
                t[v] = uint8_t(v / 65535.0 * 255.0);
            return t;
        }();
        cv::Mat grey(frame.size(), CV_8UC1);
        for (size_t i = 0; i < frame.total(); ++i)
            grey.ptr<uint8_t>()[i] = toGrey[work.ptr<uint16_t>()[i]];
        cv::Mat colour;
        cv::cvtColor(grey, colour, cv::COLOR_GRAY2BGR);
        colour.setTo(cv::Scalar(0, 0, 255), marks);
        writeEncoded(files.marked, colour);
    }
    // One encoding, two files.
    thread_local std::vector<uchar> bytes;
    cv::imencode(".tif", work, bytes, params());
    writeBytes(files.picture, bytes);
    writeBytes(files.copy, bytes);

    std::ofstream data(files.data, std::ios::binary | std::ios::trunc);
    const int32_t head[] = {frame.rows, frame.cols, frame.type()};
    data.write(reinterpret_cast<const char*>(head), sizeof head);
    data.write(reinterpret_cast<const char*>(frame.data), std::streamsize(frame.total() * 2));
    const int32_t level = sharpenLevel;
    const uint8_t flags[] = {1, 1}; // sharpened, stretched
    data.write(reinterpret_cast<const char*>(&level), sizeof level);
    data.write(reinterpret_cast<const char*>(flags), sizeof flags);
    data.write(reinterpret_cast<const char*>(&low), sizeof low);
    data.write(reinterpret_cast<const char*>(&high), sizeof high);
    return marked;
}

void checkSameFiles(const PeerFiles& ours, const PeerFiles& peer, bool marked)
{
    std::vector<std::pair<std::string, std::string>> pictures = {{ours.picture, peer.picture}, {ours.copy, peer.copy}};
    if (marked)
        pictures.emplace_back(ours.marked, peer.marked);
    for (const auto& p : pictures) {
        const cv::Mat a = cv::imread(p.first, cv::IMREAD_UNCHANGED), b = cv::imread(p.second, cv::IMREAD_UNCHANGED);
        if (a.empty() || a.type() != b.type() || a.size() != b.size() || cv::norm(a, b, cv::NORM_INF) != 0)
            stop("pictures differ: " + p.first + " against " + p.second);
    }
    if (bytesOf(ours.data) != bytesOf(peer.data))
        stop("data files differ: " + ours.data + " against " + peer.data);
}
