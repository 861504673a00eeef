#include "atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

// A new file in the target's folder under a name no one else uses. It is created with 0666 and
// the kernel applies the process's umask, so the renamed file gets the mode any new file of the
// program gets (a temporary file's private 0600 would stay on the picture).
class TempFile {
public:
    explicit TempFile(const QString& target)
    {
        const QFileInfo info(target);
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            const QString tag = QString::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 16);
            m_path = info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() + QLatin1Char('.') + tag
                     + QLatin1Char('.') + info.suffix();
            m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        m_created = m_fd >= 0;
        if (!m_created)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~TempFile()
    {
        close();
        if (m_created && !m_kept)
            ::unlink(QFile::encodeName(m_path).constData());
    }
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    QString error() const { return m_error; }

    // All pieces in order, as few calls as the kernel allows; a short write goes on where it
    // stopped.
    bool write(std::vector<ByteSpan> parts)
    {
        size_t first = 0;
        while (first < parts.size()) {
            if (parts[first].size == 0) {
                ++first;
                continue;
            }
            iovec io[16];
            const size_t count = std::min<size_t>(parts.size() - first, 16);
            for (size_t i = 0; i < count; ++i)
                io[i] = {const_cast<void*>(parts[first + i].data), parts[first + i].size};
            ssize_t n = ::writev(m_fd, io, int(count));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                m_error = QString::fromLocal8Bit(n == 0 ? "nothing written" : std::strerror(errno));
                return false;
            }
            for (; n > 0; ++first) {
                ByteSpan& p = parts[first];
                if (size_t(n) < p.size) {
                    p.data = static_cast<const char*>(p.data) + n;
                    p.size -= size_t(n);
                    break;
                }
                n -= ssize_t(p.size);
                p.size = 0;
            }
        }
        return true;
    }
    bool close()
    {
        if (m_fd < 0)
            return true;
        const bool ok = ::close(m_fd) == 0;
        if (!ok)
            m_error = QString::fromLocal8Bit(std::strerror(errno));
        m_fd = -1;
        return ok;
    }
    // rename(2) replaces an existing target in one step, which QFile::rename does not.
    bool renameTo(const QString& target)
    {
        if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(target).constData()) != 0) {
            qWarning() << "file rename failed" << m_path << target << std::strerror(errno);
            return false;
        }
        m_kept = true;
        return true;
    }

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
    bool m_created = false;
    bool m_kept = false;
};

} // namespace

// No fsync: a capture writes several large pictures per frame and must stay within its time
// budget; the rename alone already keeps readers from ever seeing a partial file.
bool writeFileAtomically(const QString& path, const char* data, qint64 size)
{
    return writeFileAtomically(path, std::vector<ByteSpan>{{data, size_t(std::max<qint64>(size, 0))}});
}

bool writeFileAtomically(const QString& path, const std::vector<ByteSpan>& parts)
{
    TempFile temp(path);
    if (!temp.isOpen() || !temp.write(parts) || !temp.close()) {
        qWarning() << "file write failed" << path << temp.error();
        return false;
    }
    return temp.renameTo(path);
}

bool writeFileAtomically(const QString& path, const std::function<bool(const QString& temp)>& write)
{
    TempFile temp(path);
    if (!temp.isOpen() || !temp.close()) {
        qWarning() << "file write failed" << path << temp.error();
        return false;
    }
    if (!write(temp.path()))
        return false;
    return temp.renameTo(path);
}

bool copyFileAtomically(const QString& source, const QString& path)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        qWarning() << "file copy failed" << source << in.errorString();
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (bytes.size() != in.size()) {
        qWarning() << "file copy failed" << source << in.errorString();
        return false;
    }
    return writeFileAtomically(path, bytes.constData(), bytes.size());
}
