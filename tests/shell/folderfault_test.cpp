// What the operator is told when files cannot be written into a folder.
#include "folderfault.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <limits>

namespace {

struct FaultCase {
    const char* name;
    // Prepares <tmp>/target and returns the folder to ask about.
    QString (*prepare)(const QTemporaryDir& dir);
    qint64 needBytes;
    FolderFault fault;
    const char* chinese;
    const char* english;
};

QString soundFolder(const QTemporaryDir& dir) { return dir.path(); }
QString missingFolder(const QTemporaryDir& dir) { return dir.filePath(QStringLiteral("gone/deeper")); }
QString fileInTheWay(const QTemporaryDir& dir)
{
    QFile file(dir.filePath(QStringLiteral("taken")));
    file.open(QIODevice::WriteOnly);
    return file.fileName();
}
QString readOnlyFolder(const QTemporaryDir& dir)
{
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    return dir.path();
}

} // namespace

TEST(FolderFault, CauseAndTextInBothLanguages)
{
    const FaultCase cases[] = {
        {"sound", soundFolder, 0, FolderFault::None, "无法写入文件夹", "cannot be written"},
        {"missing", missingFolder, 0, FolderFault::Missing, "文件夹不存在", "missing"},
        {"a file has its name", fileInTheWay, 0, FolderFault::Missing, "文件夹不存在", "missing"},
        {"read-only", readOnlyFolder, 0, FolderFault::ReadOnly, "只读", "read-only"},
        {"more wanted than the disk holds", soundFolder, std::numeric_limits<qint64>::max(), FolderFault::Full,
         "磁盘已满", "disk is full"},
    };
    for (const FaultCase& c : cases) {
        QTemporaryDir dir;
        const QString folder = c.prepare(dir);
        const FolderFault fault = folderFault(folder, c.needBytes);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(int(fault), int(c.fault)) << c.name;
        const QString text = folderFaultText(folder, fault);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.chinese))) << c.name << qPrintable(text);
        EXPECT_TRUE(text.contains(QLatin1String(c.english))) << c.name << qPrintable(text);
        EXPECT_EQ(text.count(folder), 2) << c.name << qPrintable(text);
    }
}
