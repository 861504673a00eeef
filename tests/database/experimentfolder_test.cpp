// The experiment folder layout <root>/<yyyy-MM-dd>/<name>/: stored rows and the user's copies
// rely on its exact text, so the cases are spelled out.
#include <gtest/gtest.h>

#include "experimentfolder.h"

namespace {

const QDate kDay(2024, 1, 2);

std::string text(const QString& s)
{
    return s.toStdString();
}

} // namespace

TEST(ExperimentFolder, IsBuiltAsTheStoredRowsNameIt)
{
    struct Case {
        QString root;
        QDate day;
        QString name;
        QString expected;
    };
    const Case cases[] = {
        // The program's own folder: the text its rows have always held.
        {imagesRoot("/app"), kDay, "Gel20240102-101010", "/app/Images/2024-01-02/Gel20240102-101010/"},
        {"/home/u/pics", kDay, "G", "/home/u/pics/2024-01-02/G/"},
        // A root with or without its trailing "/" (or doubled ones) names the same folder.
        {"/home/u/pics/", kDay, "G", "/home/u/pics/2024-01-02/G/"},
        {"/home//u/./pics//", kDay, "G", "/home/u/pics/2024-01-02/G/"},
        {"/", kDay, "G", "/2024-01-02/G/"},
        {"file:///home/u/pics/", kDay, "G", "/home/u/pics/2024-01-02/G/"},
        {"pics", QDate(2026, 12, 31), "G", "pics/2026-12-31/G/"},
        // Chinese and other odd names stay as they are.
        {"/home/用户/图片", kDay, "凝胶 实验（一）", "/home/用户/图片/2024-01-02/凝胶 实验（一）/"},
        {"/r", kDay, " a.b ", "/r/2024-01-02/ a.b /"},
        {"/r", kDay, "...", "/r/2024-01-02/.../"},
        {"/r", kDay, "a\\b", "/r/2024-01-02/a\\b/"},
        // A name that is not one folder would put pictures elsewhere: refused.
        {"/r", kDay, "", ""},
        {"/r", kDay, ".", ""},
        {"/r", kDay, "..", ""},
        {"/r", kDay, "a/b", ""},
        {"/r", kDay, "/a", ""},
        {"/r", kDay, "a/", ""},
        // No root (the operator chose no image folder) or no day: no folder.
        {"", kDay, "G", ""},
        {"/r", QDate(), "G", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(experimentFolder(c.root, c.day, c.name), c.expected) << text(c.root) << " " << text(c.name);
}

TEST(ExperimentFolder, IsReadBackFromAPathInside)
{
    struct Case {
        QString path;
        bool valid;
        QString root;
        QString name;
        QString rest;
    };
    const Case cases[] = {
        {"/app/Images/2024-01-02/Gel-1/a.tif", true, "/app/Images", "Gel-1", "a.tif"},
        {"/app/Images/2024-01-02/Gel-1/", true, "/app/Images", "Gel-1", ""},
        {"/app.1/Images/2024-01-02/WBS1/x.y.tif", true, "/app.1/Images", "WBS1", "x.y.tif"},
        {"/2024-01-02/G/x.tif", true, "/", "G", "x.tif"},
        {"pics/2024-01-02/G/x.tif", true, "pics", "G", "x.tif"},
        {"/图片/2024-01-02/凝胶 实验（一）/图一.tif", true, "/图片", "凝胶 实验（一）", "图一.tif"},
        // Not laid out as an experiment folder.
        {"/tmp/pictures/x.tif", false, "", "", ""},
        {"/app/Images/2024-01-02/Gel-1", false, "", "", ""}, // a folder is named with its "/"
        {"/a/2024-02-30/G/x.tif", false, "", "", ""},
        {"/a/2024-1-2/G/x.tif", false, "", "", ""},
        {"/a/2024-01-02//x.tif", false, "", "", ""},
        {"/a/2024-01-02/../x.tif", false, "", "", ""},
        {"2024-01-02/G/x.tif", false, "", "", ""},
        {"Gel-1/a.tif", false, "", "", ""},
        {"x.tif", false, "", "", ""},
        {"", false, "", "", ""},
    };
    for (const Case& c : cases) {
        const ExperimentPath parts = parseExperimentPath(c.path);
        ASSERT_EQ(parts.isValid(), c.valid) << text(c.path);
        if (!c.valid)
            continue;
        EXPECT_EQ(parts.day, kDay) << text(c.path);
        EXPECT_EQ(parts.root, c.root) << text(c.path);
        EXPECT_EQ(parts.name, c.name) << text(c.path);
        EXPECT_EQ(parts.rest, c.rest) << text(c.path);
        // Built again from its parts, the path comes back as it was.
        EXPECT_EQ(experimentFolder(parts.root, parts.day, parts.name) + parts.rest, c.path);
    }
}

TEST(ExperimentFolder, DayFoldersAreNamedByTheirDayOnly)
{
    EXPECT_EQ(dayFolderName(QDate(2026, 3, 9)), "2026-03-09");
    EXPECT_EQ(dayOfFolder("2026-03-09"), QDate(2026, 3, 9));
    EXPECT_EQ(dayOfFolder("2024-02-29"), QDate(2024, 2, 29));
    for (const char* name : {"2026-3-9", "2023-02-29", "2026-03-09 ", "Gel-1", "", "20260309"})
        EXPECT_FALSE(dayOfFolder(name).isValid()) << name;
}
