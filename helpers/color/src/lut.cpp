#include "colorcore.h"
#include "formattraits.h"
#include "parallel.h"

#include "kh/log.h"

namespace khc {

void buildTable(LutBlock& luts, int channel, float scale, unsigned bitDepth)
{
    const float top = bitDepth > 15 ? 65535.0f : float((1u << bitDepth) - 1u);
    uint16_t* table = luts.table[channel];
    for (uint32_t i = 0; i < 65536; ++i)
        table[i] = tableEntry(i, scale, top);
    luts.scale[channel] = scale;
}

namespace {

template <int F>
KH_VECTOR_CLONES void applyRange(const LutBlock& luts, typename Format<F>::T* color, std::size_t plane,
                                 std::size_t first, std::size_t last)
{
    using Fm = Format<F>;
    const uint16_t* tr = luts.table[0];
    const uint16_t* tg = luts.table[1];
    const uint16_t* tb = luts.table[2];
    auto* r = Fm::at(color, plane, 0, 0);
    auto* g = Fm::at(color, plane, 0, 1);
    auto* b = Fm::at(color, plane, 0, 2);
    constexpr std::size_t s = Fm::step;
    // 8-bit samples take the low byte of the entry, as the tables top out at 255 there.
    for (std::size_t p = first; p < last; ++p) {
        r[p * s] = static_cast<typename Fm::T>(tr[r[p * s]]);
        g[p * s] = static_cast<typename Fm::T>(tg[g[p * s]]);
        b[p * s] = static_cast<typename Fm::T>(tb[b[p * s]]);
    }
}

} // namespace

void applyTables(const LutBlock& luts, void* color, int format, uint32_t width, uint32_t height)
{
    const std::size_t plane = std::size_t(width) * height;
    bool known = false;
    withFormat(format, [&](auto f) {
        constexpr int F = decltype(f)::value;
        known = true;
        auto* base = static_cast<typename Format<F>::T*>(color);
        // Bands of whole rows with all three channels: channel-per-task would make three
        // threads stream the same cache lines.
        runBands(height, 1, width, kPixelsPerWorkerHeavy, [&](std::size_t y0, std::size_t y1) {
            applyRange<F>(luts, base, plane, y0 * width, y1 * width);
        });
    });
    if (!known)
        KH_ASSERT_LOG("ImageUtilities", "Unsupported 16-bit RGB format");
}

} // namespace khc
