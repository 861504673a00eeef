#include "atomicfile.h"

#include <cstdio>

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

bool renameInto(QTemporaryFile& temp, const QString& path)
{
    // rename(2) replaces an existing target in one step, which QFile::rename does not.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        qWarning() << "file rename failed" << temp.fileName() << path;
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

QString tempTemplate(const QString& path)
{
    const QFileInfo target(path);
    return target.absolutePath() + QStringLiteral("/.") + target.completeBaseName() + QStringLiteral(".XXXXXX.")
           + target.suffix();
}

} // namespace

// No fsync: a capture writes several large pictures per frame and must stay within its time
// budget; the rename alone already keeps readers from ever seeing a partial file.
bool writeFileAtomically(const QString& path, const char* data, qint64 size)
{
    QTemporaryFile temp(tempTemplate(path));
    if (!temp.open()) {
        qWarning() << "file write failed" << path << temp.errorString();
        return false;
    }
    if (temp.write(data, size) != size || !temp.flush()) {
        qWarning() << "file write failed" << path << temp.errorString();
        return false;
    }
    temp.close();
    return renameInto(temp, path);
}

bool writeFileAtomically(const QString& path, const std::function<bool(const QString& temp)>& write)
{
    QTemporaryFile temp(tempTemplate(path));
    if (!temp.open()) {
        qWarning() << "file write failed" << path << temp.errorString();
        return false;
    }
    temp.close();
    if (!write(temp.fileName()))
        return false;
    return renameInto(temp, path);
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
