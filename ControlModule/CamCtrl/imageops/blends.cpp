#include "blends.h"

#include <vector>

#include <QDebug>

#include "histograminfo.h"

namespace {

// The screen blend of the frame operations, row a against every b.
std::vector<uint8_t> makeScreenTable()
{
    std::vector<uint8_t> table(65536);
    std::vector<uint8_t> others(256);
    for (int b = 0; b < 256; ++b)
        others[size_t(b)] = uint8_t(b);
    for (int a = 0; a < 256; ++a) {
        uint8_t* row = table.data() + a * 256;
        std::fill(row, row + 256, uint8_t(a));
        mergeImages(256, 1, row, others.data());
    }
    return table;
}

std::vector<uint8_t> makeMultiplyTable()
{
    std::vector<uint8_t> table(65536);
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            table[size_t(a * 256 + b)] = uint8_t((a / 255.0) * (b / 255.0) * 255.0);
    return table;
}

bool sameBytes(const cv::Mat& x, const cv::Mat& y, const char* what)
{
    if (x.empty() || y.empty() || x.depth() != CV_8U || x.type() != y.type() || x.size() != y.size()) {
        qWarning() << what << "needs two 8-bit pictures of one size and type:" << x.cols << x.rows << x.type()
                   << y.cols << y.rows << y.type();
        return false;
    }
    return true;
}

void applyTable(cv::Mat& dst, const cv::Mat& src, const uint8_t* table)
{
    const int bytes = dst.cols * dst.channels();
    for (int y = 0; y < dst.rows; ++y) {
        uint8_t* d = dst.ptr<uint8_t>(y);
        const uint8_t* s = src.ptr<uint8_t>(y);
        for (int x = 0; x < bytes; ++x)
            d[x] = table[d[x] * 256 + s[x]];
    }
}

} // namespace

const uint8_t* screenTable()
{
    static const std::vector<uint8_t> table = makeScreenTable();
    return table.data();
}

const uint8_t* multiplyTable()
{
    static const std::vector<uint8_t> table = makeMultiplyTable();
    return table.data();
}

bool screenBlend(cv::Mat& acc, const cv::Mat& add)
{
    if (!sameBytes(acc, add, "screen blend"))
        return false;
    applyTable(acc, add, screenTable());
    return true;
}

bool multiplyBytes(cv::Mat& b, const cv::Mat& a)
{
    if (!sameBytes(b, a, "multiply"))
        return false;
    applyTable(b, a, multiplyTable());
    return true;
}
