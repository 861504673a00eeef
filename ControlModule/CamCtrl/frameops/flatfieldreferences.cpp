#include "flatfieldreferences.h"
#include "regularfile.h"

#include <algorithm>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace {

struct TypeNames {
    const char* record;
    const char* pixels;
    const char* done; // log line at the end of the copy
};

constexpr TypeNames kNames[FlatFieldReferences::TypeCount] = {
    {"LightFrameData.data", "pBufferLight.data", "明场复制完成"},
    {"DarkFrameData.data", "pBufferDark.data", "暗场复制完成"},
    {"LightFrameData535.data", "pBufferLight535.data", "535明场复制完成"},
    {"DarkFrameData535.data", "pBufferDark535.data", "535暗场复制完成"},
    {"LightFrameData605.data", "pBufferLight605.data", "605明场复制完成"},
    {"DarkFrameData605.data", "pBufferDark605.data", "605暗场复制完成"},
    {"LightFrameData715.data", "pBufferLight715.data", "715明场复制完成"},
    {"DarkFrameData715.data", "pBufferDark715.data", "715暗场复制完成"},
    {"LightFrameData590.data", "pBufferLight590.data", "590明场复制完成"},
    {"DarkFrameData590.data", "pBufferDark590.data", "590暗场复制完成"},
};

// In 64 bits: a 32-bit product wraps for the largest widths and heights a record can name.
bool consistentSize(uint16_t width, uint16_t height, uint32_t imageSize)
{
    return width > 0 && height > 0 && uint64_t(width) * height * 2 == imageSize;
}

bool validType(int type)
{
    return type >= 0 && type < FlatFieldReferences::TypeCount;
}

// Types 0, 1, 8 and 9 feed the correction and stay in memory; the filter pairs live on disk.
bool keptInMemory(int type)
{
    return type == 0 || type == 1 || type == 8 || type == 9;
}

std::unique_ptr<ReferenceFrame> binnedOf(const ReferenceFrame& ref, int factor, int width, int height)
{
    auto out = std::make_unique<ReferenceFrame>();
    const uint32_t bytes = uint32_t(width) * uint32_t(height) * 2;
    const uint16_t w = uint16_t(width), h = uint16_t(height);
    std::memcpy(out->record.data() + framerecord::kWidthAt, &w, 2);
    std::memcpy(out->record.data() + framerecord::kHeightAt, &h, 2);
    std::memcpy(out->record.data() + framerecord::kImageSizeAt, &bytes, 4);
    out->buffer.resize(bytes);
    binBlocks(ref.pixels(), ref.width(), factor, reinterpret_cast<uint16_t*>(out->buffer.data()), width, height);
    return out;
}

bool covers(const ReferenceFrame& ref, const FrameView& frame, int factor)
{
    return factor > 0 && int64_t(frame.width) * factor <= ref.width()
           && int64_t(frame.height) * factor <= ref.height();
}

} // namespace

bool ReferenceFrame::isValid() const
{
    return consistentSize(width(), height(), imageSize())
           && buffer.size() == size_t(headerSize()) + imageSize();
}

std::unique_ptr<ReferenceFrame> ReferenceFrame::copyOf(const void* record)
{
    if (!record || !framerecord::buffer(record))
        return nullptr;
    auto ref = std::make_unique<ReferenceFrame>();
    std::memcpy(ref->record.data(), record, framerecord::kSize);
    if (!consistentSize(ref->width(), ref->height(), ref->imageSize()))
        return nullptr;
    const uint8_t* src = framerecord::buffer(record);
    ref->buffer.assign(src, src + ref->headerSize() + ref->imageSize());
    return ref;
}


FlatFieldReferences::FlatFieldReferences(const QString& folder)
    : m_folder(folder)
{
}

QString FlatFieldReferences::recordFileName(int type)
{
    return validType(type) ? QString::fromLatin1(kNames[type].record) : QString();
}

QString FlatFieldReferences::pixelFileName(int type)
{
    return validType(type) ? QString::fromLatin1(kNames[type].pixels) : QString();
}

bool FlatFieldReferences::loadAtStart(bool colorMarkerVisible)
{
    QDir dir(m_folder);
    if (dir.exists()) {
        for (int type : {0, 1, 8, 9})
            loadCorrectionData(type);
    } else if (QDir().mkpath(m_folder)) {
        qDebug() << "创建文件夹: " << m_folder;
    } else {
        qDebug() << "创建文件夹失败: " << m_folder;
    }
    if (!colorMarkerVisible)
        return true;
    qDebug() << "有彩色Marker";
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Unsorted);
    bool filterPairs = false;
    for (const QFileInfo& file : files) {
        qDebug() << "fileInfo: " << file.fileName();
        filterPairs = filterPairs || file.fileName().contains(QLatin1String("535"));
    }
    if (filterPairs)
        return true;
    resetFFC();
    for (const QFileInfo& file : files) {
        if (!QFile::remove(file.absoluteFilePath()))
            qDebug() << "Failed to remove file:" << file.absoluteFilePath();
    }
    return false;
}

bool FlatFieldReferences::copyFromCurrent(int type, const void* currentRecord)
{
    if (!validType(type))
        return false;
    if (type == Light535)
        qDebug() << "535明场复制开始";
    std::unique_ptr<ReferenceFrame> copy = ReferenceFrame::copyOf(currentRecord);
    if (!copy) {
        qWarning() << "reference copy skipped: no current frame" << type;
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (type == Light) {
        qDebug() << "获取明场";
        qDebug() << "获取明场2";
        qDebug() << "获取明场3";
    }
    m_refs[type] = std::move(copy);
    // A pair built from the reference it replaces would go on correcting with the old one.
    if (keptInMemory(type))
        dropBinnedLocked();
    qDebug() << kNames[type].done;
    const bool saved = saveLocked(type);
    if (!keptInMemory(type))
        m_refs[type].reset();
    return saved;
}

bool FlatFieldReferences::saveCorrectionData(int type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return saveLocked(type);
}

bool FlatFieldReferences::saveLocked(int type)
{
    if (!validType(type) || !m_refs[type])
        return false;
    const ReferenceFrame& ref = *m_refs[type];
    const QString recordPath = m_folder + QLatin1Char('/') + recordFileName(type);
    const QString pixelPath = m_folder + QLatin1Char('/') + pixelFileName(type);
    QDir().mkpath(m_folder);

    bool ok = true;
    QSaveFile record(recordPath);
    if (record.open(QIODevice::WriteOnly)
        && record.write(reinterpret_cast<const char*>(ref.record.data()), qint64(ref.record.size())) == qint64(ref.record.size())
        && record.commit()) {
        qDebug() << "明暗场数据保存完成: " << recordPath;
    } else {
        qDebug() << "明暗场数据无法写入: " << recordPath << record.errorString();
        ok = false;
    }
    QSaveFile pixels(pixelPath);
    if (pixels.open(QIODevice::WriteOnly)
        && pixels.write(reinterpret_cast<const char*>(ref.buffer.data()), qint64(ref.buffer.size())) == qint64(ref.buffer.size())
        && pixels.commit()) {
        qDebug() << "图像数据保存完成: " << pixelPath;
    } else {
        qDebug() << "图像场数据无法写入: " << pixelPath << pixels.errorString();
        ok = false;
    }
    return ok;
}

bool FlatFieldReferences::loadCorrectionData(int type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return loadLocked(type);
}

void FlatFieldReferences::reloadStored()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int type : {int(Light), int(Dark), int(Light590), int(Dark590)})
        loadLocked(type);
}

bool FlatFieldReferences::loadLocked(int type)
{
    if (!validType(type))
        return false;
    m_refs[type].reset();
    if (keptInMemory(type))
        dropBinnedLocked();
    const QString recordPath = m_folder + QLatin1Char('/') + recordFileName(type);
    const QString pixelPath = m_folder + QLatin1Char('/') + pixelFileName(type);

    auto ref = std::make_unique<ReferenceFrame>();
    QFile record;
    if (!openRegularFile(record, recordPath) || record.size() != qint64(framerecord::kSize)
        || record.read(reinterpret_cast<char*>(ref->record.data()), qint64(framerecord::kSize)) != qint64(framerecord::kSize)) {
        qDebug() << "明暗场数据无法读取: " << recordPath;
        qDebug() << "图像数据无法读取: " << pixelPath;
        return false;
    }
    qDebug() << "明暗场数据读取完成: " << recordPath;
    if (!consistentSize(ref->width(), ref->height(), ref->imageSize()) || ref->width() > kMaxWidth
        || ref->height() > kMaxHeight) {
        qWarning() << "reference record refused" << recordPath << ref->width() << ref->height() << ref->imageSize();
        return false;
    }
    const qint64 expected = qint64(ref->headerSize()) + ref->imageSize();
    QFile pixels;
    if (!openRegularFile(pixels, pixelPath)) {
        qDebug() << "图像数据无法读取: " << pixelPath;
        return false;
    }
    if (pixels.size() != expected) {
        qWarning() << "reference pixels refused" << pixelPath << pixels.size() << "/" << expected;
        return false;
    }
    try {
        ref->buffer.resize(size_t(expected));
    } catch (const std::bad_alloc&) {
        qWarning() << "reference too large for memory" << pixelPath << expected;
        return false;
    }
    if (pixels.read(reinterpret_cast<char*>(ref->buffer.data()), expected) != expected) {
        qDebug() << "图像数据无法读取: " << pixelPath;
        return false;
    }
    qDebug() << "图像数据读取完成: " << pixelPath;
    m_refs[type] = std::move(ref);
    return true;
}

bool FlatFieldReferences::isPresent(int type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return validType(type) && m_refs[type] != nullptr;
}

std::unique_ptr<ReferenceFrame> FlatFieldReferences::reference(int type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!validType(type) || !m_refs[type])
        return nullptr;
    return std::make_unique<ReferenceFrame>(*m_refs[type]);
}

bool FlatFieldReferences::isAlreadyFFC() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refs[Light] && m_refs[Dark];
}

bool FlatFieldReferences::calculateBySizeForColorMarker(const FrameView& frame, int filter, cv::Mat& light, cv::Mat& dark)
{
    int lightType;
    switch (filter) {
    case 1: lightType = Light535; break;
    case 3: lightType = Light605; break;
    case 5: lightType = Light715; break;
    default:
        qDebug() << "calculateBySizeForColorMarker： 无法匹配到滤光片";
        return false;
    }
    if (frame.empty())
        return false;
    const int darkType = lightType + 1;
    std::lock_guard<std::mutex> lock(m_mutex);
    loadLocked(lightType);
    loadLocked(darkType);
    const std::unique_ptr<ReferenceFrame> lightRef = std::move(m_refs[lightType]);
    const std::unique_ptr<ReferenceFrame> darkRef = std::move(m_refs[darkType]);
    if (!lightRef || !darkRef)
        return false;

    light.create(frame.height, frame.width, CV_16UC1);
    dark.create(frame.height, frame.width, CV_16UC1);
    const int k = lightRef->height() / frame.height;
    qDebug() << "倍数k: " << k;
    if (!covers(*lightRef, frame, k) || !covers(*darkRef, frame, k)) {
        qWarning() << "calculateBySizeForColorMarker: frame larger than the references" << frame.width << frame.height
                   << lightRef->width() << lightRef->height();
        light.setTo(0);
        dark.setTo(0);
        return false;
    }
    binBlocks(lightRef->pixels(), lightRef->width(), k, light.ptr<uint16_t>(), frame.width, frame.height);
    binBlocks(darkRef->pixels(), darkRef->width(), k, dark.ptr<uint16_t>(), frame.width, frame.height);
    return true;
}

bool FlatFieldReferences::prepareLocked(const FrameView& frame, bool second)
{
    const ReferenceFrame* light = m_refs[second ? Light590 : Light].get();
    const ReferenceFrame* dark = m_refs[second ? Dark590 : Dark].get();
    if (!light || !dark || frame.empty())
        return false;
    const int factor = light->height() / frame.height;
    // The references in place decide first: a factor of 0 (references smaller than the frame)
    // is also the factor of a cleared cache, so a pair cached before must never answer for them.
    if (!covers(*light, frame, factor) || !covers(*dark, frame, factor)) {
        qWarning() << "flat-field pair refused: frame larger than the references" << frame.width << frame.height
                   << light->width() << light->height() << dark->width() << dark->height();
        dropBinnedLocked();
        return false;
    }
    if (factor == m_binFactor && second == m_pairIsSecond && m_lightBinned && m_darkBinned
        && frame.width == m_binnedWidth && frame.height == m_binnedHeight)
        return true;

    dropBinnedLocked();
    m_pairIsSecond = second;
    m_binFactor = factor;
    const bool sameLayout = factor == 1 && frame.width == light->width() && frame.height == light->height()
                            && frame.width == dark->width() && frame.height == dark->height();
    if (sameLayout) {
        m_lightBinned = std::make_unique<ReferenceFrame>(*light);
        m_darkBinned = std::make_unique<ReferenceFrame>(*dark);
    } else {
        m_lightBinned = binnedOf(*light, factor, frame.width, frame.height);
        m_darkBinned = binnedOf(*dark, factor, frame.width, frame.height);
    }
    m_binnedWidth = frame.width;
    m_binnedHeight = frame.height;
    return true;
}

void FlatFieldReferences::dropBinnedLocked()
{
    m_binFactor = 0;
    m_lightBinned.reset();
    m_darkBinned.reset();
    m_binnedWidth = m_binnedHeight = 0;
}

bool FlatFieldReferences::applyFFC(const FrameView& frame)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return prepareLocked(frame, false);
}

bool FlatFieldReferences::applyFFCSecond(const FrameView& frame)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return prepareLocked(frame, true);
}

bool FlatFieldReferences::correct(const FrameView& frame, bool second)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!prepareLocked(frame, second))
        return false;
    correctFlatField(frame, m_lightBinned->pixels(), m_darkBinned->pixels(), m_scale);
    return true;
}

void FlatFieldReferences::resetFFC()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    qDebug() << "重置FFC";
    dropBinnedLocked();
    for (auto& ref : m_refs)
        ref.reset();
}

void FlatFieldReferences::calculateFFC()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scale = 65535;
    // Recomputed from the references in place at the next frame.
    dropBinnedLocked();
}

void FlatFieldReferences::freeReference(int type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!validType(type))
        return;
    m_refs[type].reset();
    if (keptInMemory(type))
        dropBinnedLocked();
}

uint16_t FlatFieldReferences::ffcScale() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_scale;
}

int FlatFieldReferences::ffcBinFactor() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_binFactor;
}

bool FlatFieldReferences::ffcPairIsSecond() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pairIsSecond;
}

std::unique_ptr<ReferenceFrame> FlatFieldReferences::binnedLight() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lightBinned ? std::make_unique<ReferenceFrame>(*m_lightBinned) : nullptr;
}

std::unique_ptr<ReferenceFrame> FlatFieldReferences::binnedDark() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_darkBinned ? std::make_unique<ReferenceFrame>(*m_darkBinned) : nullptr;
}
