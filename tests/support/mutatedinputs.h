#pragma once
// Seeded hostile inputs for the readers of files that come from outside: random bytes and
// mutations of a valid file (bit flips, interesting integers written over fields, cuts, inserts,
// repeats), reproducible from the seed printed with a failure. PeakMemory tells how far the
// process's resident peak grew, so a reader that allocates past its cap shows.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdint>
#include <cstring>
#include <random>

class MutatedInputs {
public:
    explicit MutatedInputs(uint32_t seed)
        : m_rng(seed)
    {
    }

    QByteArray random(int maxSize)
    {
        QByteArray out(pick(0, maxSize), '\0');
        for (char& c : out)
            c = char(pick(0, 255));
        return out;
    }

    // One to eight mutations of valid.
    QByteArray mutate(const QByteArray& valid)
    {
        QByteArray out = valid;
        const int count = pick(1, 8);
        for (int i = 0; i < count; ++i)
            mutateOnce(out);
        return out;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }

private:
    void mutateOnce(QByteArray& b)
    {
        static const int64_t interesting[] = {0, 1, -1, 2, 0x7f, 0x80, 0xff, 0x100, 0x7fff, 0x8000, 0xffff, 0x10000,
                                              3136, 3137, 4656, 4657, 60000, 40000, 0x7fffffff, -0x7fffffff - 1,
                                              int64_t(0xffffffff)};
        const int size = b.size();
        switch (pick(0, 6)) {
        case 0: // bit flip
            if (size > 0)
                b[pick(0, size - 1)] = char(b[pick(0, size - 1)] ^ (1 << pick(0, 7)));
            break;
        case 1: // random byte
            if (size > 0)
                b[pick(0, size - 1)] = char(pick(0, 255));
            break;
        case 2: // interesting 16- or 32-bit value, either byte order
        {
            const int width = pick(0, 1) ? 2 : 4;
            if (size < width)
                break;
            uint32_t v = uint32_t(interesting[pick(0, int(std::size(interesting)) - 1)]);
            if (pick(0, 1))
                v = width == 2 ? uint32_t(((v & 0xff) << 8) | ((v >> 8) & 0xff)) : __builtin_bswap32(v);
            std::memcpy(b.data() + pick(0, size - width), &v, size_t(width));
            break;
        }
        case 3: // cut
            b.truncate(pick(0, size));
            break;
        case 4: // insert random bytes
        {
            QByteArray extra(pick(1, 16), '\0');
            for (char& c : extra)
                c = char(pick(0, 255));
            b.insert(pick(0, size), extra);
            break;
        }
        case 5: // repeat a block
            if (size > 0) {
                const int from = pick(0, size - 1);
                b.insert(pick(0, size), b.mid(from, pick(1, 64)));
            }
            break;
        default: // remove a block
            if (size > 0)
                b.remove(pick(0, size - 1), pick(1, 32));
            break;
        }
    }

    std::mt19937 m_rng;
};

// A little-endian TIFF of nine tags claiming a width x height grey picture of bits per sample,
// uncompressed in one strip, without the pixels (122 bytes).
inline QByteArray tiffHeaderClaiming(uint32_t width, uint32_t height, uint16_t bits = 16)
{
    QByteArray out("II*\0", 4);
    const auto put16 = [&](uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    const auto put32 = [&](uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    const auto tag = [&](uint16_t id, uint16_t type, uint32_t value) {
        put16(id);
        put16(type);
        put32(1);
        if (type == 3) {
            put16(uint16_t(value));
            put16(0);
        } else {
            put32(value);
        }
    };
    put32(8);
    put16(9);
    tag(256, 4, width);
    tag(257, 4, height);
    tag(258, 3, bits);
    tag(259, 3, 1);  // no compression
    tag(262, 3, 1);  // black is zero
    tag(273, 4, 122); // the strip would start right after the directory
    tag(277, 3, 1);
    tag(278, 4, height);
    tag(279, 4, uint32_t(uint64_t(width) * height * (bits / 8)));
    put32(0);
    return out;
}

// The growth of the process's resident peak since construction, in MiB.
class PeakMemory {
public:
    PeakMemory()
        : m_start(peakKiB())
    {
    }
    long grownMiB() const { return (peakKiB() - m_start) / 1024; }

private:
    static long peakKiB()
    {
        struct rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }
    long m_start;
};

// The readers log every refusal; thousands of lines would only slow the run.
struct QuietLog {
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    ~QuietLog() { qInstallMessageHandler(previous); }
};

inline void saveBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray loadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
