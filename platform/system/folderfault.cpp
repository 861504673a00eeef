#include "folderfault.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <unistd.h>

namespace {

// Below this a disk counts as full even for a small write: the file system's own blocks.
constexpr qint64 kMinimumRoom = 64 * 1024;

// The nearest folder above path that exists (the disk a missing folder would go on).
QString nearestExisting(QString path)
{
    QFileInfo info(path);
    while (!info.exists() && !info.isRoot()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            break;
        info = QFileInfo(parent);
    }
    return info.absoluteFilePath();
}

} // namespace

FolderFault folderFault(const QString& folder, qint64 needBytes)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        return FolderFault::Missing;
    const QStorageInfo storage(nearestExisting(folder));
    // The permission bits as well as access(2): root passes access(2) on any folder.
    const bool noWriteBits = !(info.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    if ((storage.isValid() && storage.isReadOnly()) || noWriteBits
        || ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) != 0)
        return FolderFault::ReadOnly;
    if (storage.isValid() && storage.bytesAvailable() < qMax(needBytes, kMinimumRoom))
        return FolderFault::Full;
    return FolderFault::None;
}

QString folderFaultText(const QString& folder, FolderFault fault)
{
    const QString path = QDir::toNativeSeparators(folder);
    switch (fault) {
    case FolderFault::Missing:
        return QStringLiteral("文件夹不存在且无法创建：%1 / The folder is missing and cannot be created: %1").arg(path);
    case FolderFault::ReadOnly:
        return QStringLiteral("文件夹只读，无法写入：%1 / The folder is read-only: %1").arg(path);
    case FolderFault::Full:
        return QStringLiteral("磁盘已满，无法写入：%1 / The disk is full: %1").arg(path);
    case FolderFault::None:
        break;
    }
    return QStringLiteral("无法写入文件夹：%1 / Files cannot be written into the folder: %1").arg(path);
}
