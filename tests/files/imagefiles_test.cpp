// Which paths deletion and renaming may touch, mirrors, and the per-image lists of a row.
#include <gtest/gtest.h>

#include "imagefiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace imagefiles;

namespace {
void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}
} // namespace

TEST(ImageFiles, OnlyRegularTiffFilesBelowTheRootsMayBeTouched)
{
    QTemporaryDir dir;
    const QString app = dir.path();
    const QString copies = dir.path() + "/copies";
    const QString images = app + "/Images/2026-12-01/Gel-1/";
    QDir().mkpath(images);
    QDir().mkpath(copies + "/2026-12-01/Gel-1");
    QDir().mkpath(app + "/Images/folder.tif");
    touch(images + "a.tif");
    touch(images + "b.TIF");
    touch(images + "a.data");
    touch(copies + "/2026-12-01/Gel-1/a.tif");
    touch(app + "/outside.tif");
    touch(app + "/ImagesX.tif");
    QDir().mkpath(app + "/ImagesX");
    touch(app + "/ImagesX/c.tif");
    QFile::link(app + "/outside.tif", images + "link.tif");
    const QStringList roots = imageRoots(app, copies);

    struct Case {
        QString path;
        bool allowed;
    };
    const Case cases[] = {
        {images + "a.tif", true},
        {images + "b.TIF", true},
        {copies + "/2026-12-01/Gel-1/a.tif", true},
        {images + "a.data", false},                    // not a picture
        {images + "missing.tif", false},               // not there
        {app + "/Images/folder.tif", false},           // a folder
        {app + "/outside.tif", false},                 // beside Images/
        {images + "../../../outside.tif", false},      // leaves Images/ through ".."
        {app + "/ImagesX/c.tif", false},               // a sibling whose name starts the same
        {images + "link.tif", false},                  // a link
        {QString(), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isLibraryImage(c.path, roots), c.allowed) << c.path.toStdString();
    EXPECT_TRUE(isLibraryFolder(images, roots));
    EXPECT_TRUE(isLibraryFolder(copies + "/2026-12-01/Gel-1/", roots));
    EXPECT_FALSE(isLibraryFolder(app + "/Images", roots)); // the root itself
    EXPECT_FALSE(isLibraryFolder(app + "/ImagesX", roots));
    EXPECT_FALSE(isLibraryFolder(images + "../../..", roots));
    // Without a user's folder its pictures are not ours.
    EXPECT_FALSE(isLibraryImage(copies + "/2026-12-01/Gel-1/a.tif", imageRoots(app, QString())));
}

TEST(ImageFiles, MirrorIsTheUsersFolderFollowedByDateExperimentAndFile)
{
    EXPECT_EQ(mirrorOf("/home/u/pictures", "/app/Images/2026-12-01/Gel-1/"), "/home/u/pictures/2026-12-01/Gel-1/");
    EXPECT_EQ(mirrorOf("/home/u/pictures", "Gel-1/a.tif"), QString());
    EXPECT_EQ(mirrorOf("/home/u/pictures", "/app/Images/2026-12-01/Gel-1/a.tif"), "/home/u/pictures/2026-12-01/Gel-1/a.tif");
    EXPECT_EQ(mirrorOf("", "/app/Images/2026-12-01/Gel-1/a.tif"), QString());
    EXPECT_EQ(mirrorOf("/home/u", "a/b.tif"), QString());
}

TEST(ImageFiles, RemovingAnEntryKeepsTheListsShapeAndIgnoresPositionsOutside)
{
    struct Case {
        QString list;
        int k;
        QString expected;
    };
    const Case cases[] = {
        {"a,b,c,", 0, "b,c,"},
        {"a,b,c,", 2, "a,b,"},
        {"a,b,c,", 3, "a,b,c,"}, // the empty part after the last "," is no entry
        {"a,b,c,", -1, "a,b,c,"},
        {"a,", 0, ""},
        {"a,,c,", 1, "a,c,"},
        {"", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(removeEntry(c.list, c.k), c.expected) << c.list.toStdString() << " " << c.k;
}

TEST(ImageFiles, AFramesCompanionsFollowFromEitherPictureName)
{
    for (const QString& name : {QStringLiteral("10-00-00-000_S.tif"), QStringLiteral("10-00-00-000_S_OE.tif")}) {
        const FrameFiles files = frameFilesOf(name);
        EXPECT_EQ(files.plain, "10-00-00-000_S.tif");
        EXPECT_EQ(files.marked, "10-00-00-000_S_OE.tif");
        EXPECT_EQ(files.data, "10-00-00-000_S.data");
    }
}
