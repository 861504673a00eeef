#include "flatfieldreferences.h"

#include <algorithm>
#include <new>

#include <immintrin.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "simdlanes.h"

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

uint16_t correctOne(uint16_t raw, uint16_t light, uint16_t dark, double scale)
{
    const double d = dark;
    const double span = double(light) - d;
    if (span <= 0)
        return 0;
    double q = (double(raw) - d) / span;
    q = q < 0 ? 0 : (q > 1 ? 1 : q);
    return uint16_t(int(q * scale));
}

// Between the two references the double rule equals floor(num * scale / den), the quotient of
// the pixel's rise above dark over the reference's: a float estimate (within 0.02 of it) is off by
// at most one and the remainder, exact in wrapping 32-bit arithmetic, corrects it. Where that
// quotient is exact the double product may land just below it; for the white level 65535 it never
// does (every such pair is checked in the tests), for any other level a block holding one is
// redone from its raw values with the double rule.
constexpr size_t kBlock = 64;

template <bool kCheckExact>
LANES_INLINE void correctBlocks(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t& i, size_t n,
                                uint16_t scale)
{
    using namespace lanes;
    const i8 zero = {}, one = zero + 1, scaleV = zero + int(scale);
    const float scaleF = scale;
    for (; i + kBlock <= n; i += kBlock) {
        uint16_t raw[kBlock];
        if (kCheckExact)
            std::memcpy(raw, p + i, sizeof raw);
        i8 exact = zero;
        for (size_t j = i; j < i + kBlock; j += 8) {
            i8 r, l, d;
            LANES_LOAD_U16(r, p + j);
            LANES_LOAD_U16(l, light + j);
            LANES_LOAD_U16(d, dark + j);
            const i8 den = l - d, num = r - d;
            const i8 usable = den > zero;
            const i8 denM = usable ? den : one;
            // Pixels outside the references give quotients beyond int; they are replaced below,
            // the bounds only keep the conversion and the correction defined.
            f8 estimate = __builtin_convertvector(num, f8) * scaleF / __builtin_convertvector(denM, f8);
            estimate = estimate < -1.0f ? f8{} - 1.0f : estimate;
            estimate = estimate > 65536.0f ? f8{} + 65536.0f : estimate;
            i8 q = __builtin_convertvector(estimate, i8);
            const i8 t = (i8)((u8)num * uint32_t(scale) - (u8)q * (u8)denM);
            q = q - (t >= denM) + (t < zero);
            if (kCheckExact)
                exact |= (t == zero) | (t == denM) | (t == zero - denM); // corrected remainder 0
            q = num <= zero ? zero : q;
            q = num >= denM ? scaleV : q;
            LANES_STORE_U16(p + j, usable ? q : zero);
        }
        if (kCheckExact) {
            int any = 0;
            for (int k = 0; k < 8; ++k)
                any |= exact[k];
            if (any) {
                for (size_t j = 0; j < kBlock; ++j)
                    p[i + j] = correctOne(raw[j], light[i + j], dark[i + j], scale);
            }
        }
    }
}

LANES_INLINE void correctBody(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    size_t i = 0;
    if (scale == 65535)
        correctBlocks<false>(p, light, dark, i, n, scale);
    else
        correctBlocks<true>(p, light, dark, i, n, scale);
    for (; i < n; ++i)
        p[i] = correctOne(p[i], light[i], dark[i], scale);
}

// The wide kernels lower their estimate by kBias: with a reciprocal good to 3e-7 it then lies
// within 0.05 below the quotient, so the remainder only ever raises it by one.
constexpr float kBias = 1.0f / 32;

// Sixteen quotients floor(num * scale / den) for 0 <= num <= den (32-bit lanes). A 14-bit
// reciprocal and one Newton step replace the division. den 0 (no usable span) makes the
// estimate NaN, which converts to the most negative int and packs to 0. exact collects the lanes
// below the reference (num < den) whose corrected remainder is 0.
LANES_AVX512 LANES_INLINE __m512i quotients512(__m512i num, __m512i den, __m512 scaleF, __m512i scaleI,
                                               __mmask16& exact)
{
    // The unmasked conversion and reciprocal intrinsics trip a false uninitialised warning in GCC 12.
    const __mmask16 all = 0xFFFF;
    const __m512 df = _mm512_maskz_cvtepi32_ps(all, den);
    __m512 y = _mm512_maskz_rcp14_ps(all, df);
    y = _mm512_mul_ps(y, _mm512_fnmadd_ps(df, y, _mm512_set1_ps(2.0f)));
    const __m512 nf = _mm512_maskz_cvtepi32_ps(all, num);
    const __m512 e = _mm512_fmsub_ps(nf, _mm512_mul_ps(scaleF, y), _mm512_set1_ps(kBias));
    const __m512i q = _mm512_maskz_cvttps_epi32(all, e);
    const __m512i t = _mm512_sub_epi32(_mm512_mullo_epi32(num, scaleI), _mm512_mullo_epi32(q, den));
    const __mmask16 inside = _mm512_cmplt_epi32_mask(num, den);
    exact |= _mm512_mask_cmpeq_epi32_mask(inside, t, _mm512_setzero_si512())
             | _mm512_mask_cmpeq_epi32_mask(inside, t, den);
    return _mm512_mask_add_epi32(q, _mm512_cmpge_epi32_mask(t, den), q, _mm512_set1_epi32(1));
}

// The same rule on 32 pixels per register. The rises saturate at 0 (a pixel at or below dark, a
// light reference at or below dark) and the pixel's is capped at the reference's (a pixel at or
// above light gives scale); the quotients are taken in two interleaved halves that the saturating
// pack puts back in order.
template <bool kCheckExact>
LANES_AVX512 LANES_INLINE void correctBlocks512(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t& i,
                                                size_t n, uint16_t scale)
{
    const __m512 scaleF = _mm512_set1_ps(scale);
    const __m512i scaleI = _mm512_set1_epi32(scale);
    const __m512i zero = _mm512_setzero_si512();
    for (; i + kBlock <= n; i += kBlock) {
        uint16_t raw[kBlock];
        if (kCheckExact)
            std::memcpy(raw, p + i, sizeof raw);
        __mmask16 exact = 0;
        for (size_t j = i; j < i + kBlock; j += 32) {
            const __m512i r = _mm512_loadu_si512(p + j), l = _mm512_loadu_si512(light + j),
                          d = _mm512_loadu_si512(dark + j);
            const __m512i den = _mm512_subs_epu16(l, d), num = _mm512_min_epu16(_mm512_subs_epu16(r, d), den);
            const __m512i qLo = quotients512(_mm512_unpacklo_epi16(num, zero), _mm512_unpacklo_epi16(den, zero),
                                             scaleF, scaleI, exact);
            const __m512i qHi = quotients512(_mm512_unpackhi_epi16(num, zero), _mm512_unpackhi_epi16(den, zero),
                                             scaleF, scaleI, exact);
            _mm512_storeu_si512(p + j, _mm512_packus_epi32(qLo, qHi));
        }
        if (kCheckExact && exact) {
            for (size_t j = 0; j < kBlock; ++j)
                p[i + j] = correctOne(raw[j], light[i + j], dark[i + j], scale);
        }
    }
}

LANES_AVX512 void correctAvx512(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    size_t i = 0;
    if (scale == 65535)
        correctBlocks512<false>(p, light, dark, i, n, scale);
    else
        correctBlocks512<true>(p, light, dark, i, n, scale);
    for (; i < n; ++i)
        p[i] = correctOne(p[i], light[i], dark[i], scale);
}

// The same on ymm registers, with a 12-bit reciprocal.
LANES_AVX2 LANES_INLINE __m256i quotients256(__m256i num, __m256i den, __m256 scaleF, __m256i scaleI,
                                             __m256i& exact)
{
    const __m256i zero = _mm256_setzero_si256(), one = _mm256_set1_epi32(1);
    const __m256 df = _mm256_cvtepi32_ps(den);
    __m256 y = _mm256_rcp_ps(df);
    y = _mm256_mul_ps(y, _mm256_fnmadd_ps(df, y, _mm256_set1_ps(2.0f)));
    const __m256 e = _mm256_fmsub_ps(_mm256_cvtepi32_ps(num), _mm256_mul_ps(scaleF, y), _mm256_set1_ps(kBias));
    const __m256i q = _mm256_cvttps_epi32(e);
    const __m256i t = _mm256_sub_epi32(_mm256_mullo_epi32(num, scaleI), _mm256_mullo_epi32(q, den));
    const __m256i inside = _mm256_cmpgt_epi32(den, num);
    exact = _mm256_or_si256(exact, _mm256_and_si256(inside, _mm256_or_si256(_mm256_cmpeq_epi32(t, zero),
                                                                            _mm256_cmpeq_epi32(t, den))));
    return _mm256_sub_epi32(q, _mm256_cmpgt_epi32(t, _mm256_sub_epi32(den, one))); // true lanes are -1
}

template <bool kCheckExact>
LANES_AVX2 LANES_INLINE void correctBlocks256(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t& i,
                                              size_t n, uint16_t scale)
{
    const __m256 scaleF = _mm256_set1_ps(scale);
    const __m256i scaleI = _mm256_set1_epi32(scale);
    const __m256i zero = _mm256_setzero_si256();
    for (; i + kBlock <= n; i += kBlock) {
        uint16_t raw[kBlock];
        if (kCheckExact)
            std::memcpy(raw, p + i, sizeof raw);
        __m256i exact = zero;
        for (size_t j = i; j < i + kBlock; j += 16) {
            const __m256i r = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + j));
            const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(light + j));
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dark + j));
            const __m256i den = _mm256_subs_epu16(l, d), num = _mm256_min_epu16(_mm256_subs_epu16(r, d), den);
            const __m256i qLo = quotients256(_mm256_unpacklo_epi16(num, zero), _mm256_unpacklo_epi16(den, zero),
                                             scaleF, scaleI, exact);
            const __m256i qHi = quotients256(_mm256_unpackhi_epi16(num, zero), _mm256_unpackhi_epi16(den, zero),
                                             scaleF, scaleI, exact);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + j), _mm256_packus_epi32(qLo, qHi));
        }
        if (kCheckExact && !_mm256_testz_si256(exact, exact)) {
            for (size_t j = 0; j < kBlock; ++j)
                p[i + j] = correctOne(raw[j], light[i + j], dark[i + j], scale);
        }
    }
}

LANES_AVX2 void correctAvx2(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    size_t i = 0;
    if (scale == 65535)
        correctBlocks256<false>(p, light, dark, i, n, scale);
    else
        correctBlocks256<true>(p, light, dark, i, n, scale);
    for (; i < n; ++i)
        p[i] = correctOne(p[i], light[i], dark[i], scale);
}

void correctPlain(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    correctBody(p, light, dark, n, scale);
}

void correctPixels(uint16_t* p, const uint16_t* light, const uint16_t* dark, size_t n, uint16_t scale)
{
    switch (lanes::activeIsa()) {
    case lanes::Isa::Avx512:
        return correctAvx512(p, light, dark, n, scale);
    case lanes::Isa::Avx2:
        return correctAvx2(p, light, dark, n, scale);
    case lanes::Isa::Plain:
        return correctPlain(p, light, dark, n, scale);
    }
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

// Opens path for reading only when it is a regular file: a FIFO in its place would block the
// open (and the start of the program with it), a device would feed the reader without end.
bool openRegularFile(QFile& file, const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (::fstat(fd, &st) == 0)
            qWarning() << "reference file refused: not a regular file" << path;
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
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

void correctFlatField(const FrameView& frame, const uint16_t* light, const uint16_t* dark, uint16_t scale)
{
    if (frame.empty() || !light || !dark)
        return;
    correctPixels(frame.pixels, light, dark, frame.count(), scale);
}

void binBlocks(const uint16_t* ref, int refWidth, int factor, uint16_t* out, int outWidth, int outHeight)
{
    if (factor <= 0) {
        std::fill(out, out + size_t(outWidth) * outHeight, uint16_t(0));
        return;
    }
    const uint64_t area = uint64_t(factor) * factor;
    std::vector<uint64_t> sums(outWidth);
    for (int r = 0; r < outHeight; ++r) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int dy = 0; dy < factor; ++dy) {
            const uint16_t* row = ref + size_t(r * factor + dy) * refWidth;
            for (int c = 0; c < outWidth; ++c) {
                const uint16_t* block = row + size_t(c) * factor;
                uint64_t s = 0;
                for (int dx = 0; dx < factor; ++dx)
                    s += block[dx];
                sums[c] += s;
            }
        }
        uint16_t* dst = out + size_t(r) * outWidth;
        for (int c = 0; c < outWidth; ++c)
            dst[c] = uint16_t(sums[c] / area);
    }
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

bool FlatFieldReferences::loadLocked(int type)
{
    if (!validType(type))
        return false;
    m_refs[type].reset();
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
    if (factor == m_binFactor && second == m_pairIsSecond && m_lightBinned && m_darkBinned
        && frame.width == m_binnedWidth && frame.height == m_binnedHeight)
        return true;

    m_pairIsSecond = second;
    m_binFactor = factor;
    m_lightBinned.reset();
    m_darkBinned.reset();
    m_binnedWidth = m_binnedHeight = 0;
    if (!covers(*light, frame, factor) || !covers(*dark, frame, factor)) {
        qWarning() << "flat-field pair refused: frame larger than the references" << frame.width << frame.height
                   << light->width() << light->height() << dark->width() << dark->height();
        m_binFactor = 0;
        return false;
    }
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
    m_binFactor = 0;
    for (auto& ref : m_refs)
        ref.reset();
}

void FlatFieldReferences::calculateFFC()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scale = 65535;
}

void FlatFieldReferences::freeReference(int type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (validType(type))
        m_refs[type].reset();
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
