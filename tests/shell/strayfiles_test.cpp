// Stray camera configuration (*.xml) and image (*.tif) files in the application directory.
#include "startup.h"

#include <gtest/gtest.h>

#include <QDebug>
#include <QDir>
#include <QFile>

namespace {

QDir appDir()
{
    return QDir(qEnvironmentVariable("TAVRILL_APP_DIR"));
}

void clearAppDir()
{
    for (const QFileInfo& info : appDir().entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (info.isDir())
            QDir(info.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(info.absoluteFilePath());
    }
}

void touch(const QString& name)
{
    QFile file(appDir().filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

QStringList remaining()
{
    QStringList names = appDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("logs"));
    names.sort();
    return names;
}

} // namespace

TEST(StrayFiles, OnlyTwoOrMoreOfAKindAreDeleted)
{
    const struct {
        const char* name;
        QStringList files;
        QStringList dirs;
        QStringList expected;
    } cases[] = {
        {"one of each stays", {"a.xml", "b.tif"}, {}, {"a.xml", "b.tif"}},
        {"two xml go, one tif stays", {"a.xml", "b.xml", "c.tif"}, {}, {"c.tif"}},
        {"three tif go, one xml stays", {"a.tif", "b.tif", "c.tif", "d.xml"}, {}, {"d.xml"}},
        {"both kinds go", {"a.xml", "b.xml", "c.tif", "d.tif"}, {}, {}},
        {"other files are never touched", {"a.xml", "b.xml", "machine.ini", "x.tiff", "y.xml.bak"}, {},
         {"machine.ini", "x.tiff", "y.xml.bak"}},
        {"folders neither count nor go", {"a.xml"}, {"b.xml", "c.tif"}, {"a.xml", "b.xml", "c.tif"}},
        // The patterns ignore case, as the cabinet PC's file system did.
        {"upper-case extensions count too", {"a.XML", "b.Xml", "c.TIF"}, {}, {"c.TIF"}},
        {"nothing there", {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        clearAppDir();
        for (const QString& file : c.files)
            touch(file);
        for (const QString& dir : c.dirs)
            ASSERT_TRUE(appDir().mkdir(dir));
        removeCameraConfigFiles();
        removeImageFiles();
        EXPECT_EQ(remaining(), c.expected);
    }
}

TEST(StrayFiles, DeletionIsLogged)
{
    clearAppDir();
    touch(QStringLiteral("a.tif"));
    touch(QStringLiteral("b.tif"));
    static QStringList messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { messages << message; });
    removeCameraConfigFiles();
    removeImageFiles();
    qInstallMessageHandler(previous);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0], QStringLiteral("检测到 2 个图片文件，开始删除..."));
    const QString prefix = QStringLiteral("filePath:  \"") + appDir().absolutePath() + QLatin1Char('/');
    EXPECT_TRUE(messages[1].startsWith(prefix)) << messages[1].toStdString();
    EXPECT_TRUE(messages[2].startsWith(prefix)) << messages[2].toStdString();
    EXPECT_EQ(messages[3], QStringLiteral("删除结束"));
}

TEST(StrayFiles, MissingApplicationDirectoryIsNoError)
{
    const QByteArray previous = qgetenv("TAVRILL_APP_DIR");
    qputenv("TAVRILL_APP_DIR", previous + "/does/not/exist");
    removeCameraConfigFiles();
    removeImageFiles();
    qputenv("TAVRILL_APP_DIR", previous);
    EXPECT_FALSE(QDir(QString::fromLocal8Bit(previous + "/does")).exists());
}
