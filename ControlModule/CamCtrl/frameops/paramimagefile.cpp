#include "paramimagefile.h"

#include <limits>
#include <new>

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include "atomicfile.h"
#include "picturelimits.h"
#include "regularfile.h"

namespace {

constexpr qint64 kHeaderBytes = 12;
// The writer's limit, which the reader holds to as well.
constexpr qint64 kMaxPixelBytes = std::numeric_limits<int>::max() - 64;

template <typename T>
void put(QByteArray& out, T value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
bool get(QFile& file, T& value)
{
    return file.read(reinterpret_cast<char*>(&value), sizeof value) == qint64(sizeof value);
}

// Depth 0..7 and 1..CV_CN_MAX channels packed in the low 12 bits.
bool validTypeCode(int32_t code)
{
    return code >= 0 && code <= CV_MAKETYPE(CV_16F, CV_CN_MAX);
}

} // namespace

bool writeDataFile(const QString& path, const cv::Mat& image, int sharpLevel, bool sharpen, bool stretch,
                   int stretchLow, int stretchHigh)
{
    const cv::Mat data = image.isContinuous() ? image : image.clone();
    const qint64 pixelBytes = qint64(data.total()) * qint64(data.elemSize());
    if (pixelBytes > kMaxPixelBytes) {
        qWarning() << "data file image too large" << path << pixelBytes;
        return false;
    }
    // The pixels go to the file from where they lie, between the head and the parameters.
    QByteArray head, tail;
    put<int32_t>(head, data.rows);
    put<int32_t>(head, data.cols);
    put<int32_t>(head, data.type());
    put<int32_t>(tail, sharpLevel);
    put<uint8_t>(tail, sharpen ? 1 : 0);
    put<uint8_t>(tail, stretch ? 1 : 0);
    put<int32_t>(tail, stretchLow);
    put<int32_t>(tail, stretchHigh);
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        qDebug() << "Error: 无法打开文件 " << path << "用于写入";
        return false;
    }
    return writeFileAtomically(path, {{head.constData(), size_t(head.size())},
                                      {data.data, size_t(pixelBytes)},
                                      {tail.constData(), size_t(tail.size())}});
}

ParamImage readParamFile(const QString& path)
{
    ParamImage out;
    QFile file;
    if (!openRegularFile(file, path)) {
        qDebug() << "Error: 读取文件打开失败 " << path;
        return out;
    }
    int32_t rows = 0, cols = 0, type = -1;
    if (!get(file, rows) || !get(file, cols) || !get(file, type) || rows <= 0 || cols <= 0 || !validTypeCode(type)) {
        qDebug() << "Error：读取文件损坏 " << path;
        return out;
    }
    // 64 bits, and against the largest picture and the file's length before anything is allocated.
    const qint64 n = qint64(rows) * qint64(cols) * qint64(CV_ELEM_SIZE(type));
    if (!picturelimits::fitsSensor(cols, rows) || CV_MAT_CN(type) > picturelimits::kMaxChannels || n > kMaxPixelBytes) {
        qWarning() << "data file image too large" << path << cols << "x" << rows << "type" << type;
        return out;
    }
    const qint64 available = file.size() - kHeaderBytes;
    if (available < n) {
        qDebug() << "Error: 读取数据不完整" << path << std::max<qint64>(available, 0) << "/" << n;
        return out;
    }
    cv::Mat image;
    try {
        image.create(rows, cols, type);
    } catch (const std::bad_alloc&) {
        qWarning() << "data file image too large" << path << n;
        return out;
    } catch (const cv::Exception& e) {
        qWarning() << "data file image refused" << path << e.what();
        return out;
    }
    const qint64 got = file.read(reinterpret_cast<char*>(image.data), n);
    if (got != n) {
        qDebug() << "Error: 读取数据不完整" << path << got << "/" << n;
        return out;
    }

    ParamImage result;
    result.image = image;
    if (file.atEnd()) {
        qDebug() << "附加数据不存在，使用默认值";
        return result;
    }
    int32_t sharpLevel = 0;
    if (get(file, sharpLevel))
        result.sharpLevel = sharpLevel > 100 ? 0 : sharpLevel;
    else
        qDebug() << "sharplevel 读取失败";
    uint8_t flag = 0;
    if (get(file, flag))
        result.sharpen = flag != 0;
    else
        qDebug() << "sharplevel 读取失败";

    uint8_t stretch = 1;
    int32_t low = 0, high = 0;
    if (get(file, stretch)) {
        result.stretch = stretch != 0;
        if (get(file, low)) {
            result.stretchLow = low;
            if (get(file, high)) {
                result.stretchHigh = high;
                const bool valid = low >= 0 && low <= 60000 && high >= 2535 && high <= 65535 && high > low;
                if (!valid) {
                    qDebug() << "读取拉伸范围无效，重置";
                    result.stretch = true;
                    result.stretchLow = 0;
                    result.stretchHigh = 0;
                }
            }
        }
    }
    return result;
}
