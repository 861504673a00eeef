#include "atomicfile.h"

#include <cstdio>

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

// No fsync: a capture writes several large pictures per frame and must stay within its time
// budget; the rename alone already keeps readers from ever seeing a partial file.
bool writeFileAtomically(const QString& path, const char* data, qint64 size)
{
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        qWarning() << "file write failed" << path << temp.errorString();
        return false;
    }
    if (temp.write(data, size) != size || !temp.flush()) {
        qWarning() << "file write failed" << path << temp.errorString();
        return false;
    }
    temp.close();
    // rename(2) replaces an existing target in one step, which QFile::rename does not.
    if (std::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(path).constData()) != 0) {
        qWarning() << "file rename failed" << temp.fileName() << path;
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}
