// The user manual by configuration and language, and the on-screen keyboard request.
#include <gtest/gtest.h>

#include "apppaths.h"
#include "enumobj.h"
#include "flowcontext.h"
#include "housekeepingflow.h"
#include "logcapture.h"
#include "testappdir.h"
#include "useropts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(UserManual, FileByConfigurationAndLanguage)
{
    struct Case {
        int authority;
        int language;
        QString name;
    };
    const Case cases[] = {
        {4, 0, "/document/user_manual_S20M.pdf"}, {4, 1, "/document/user_manual_S20M_en.pdf"},
        {0, 0, "/document/user_manual_S60.pdf"},  {3, 1, "/document/user_manual_S60_en.pdf"},
        {5, 0, "/document/user_manual_OV.pdf"},   {18, 1, "/document/user_manual_OV_en.pdf"},
        {1, 0, ""},                               {19, 0, ""},
        {0, 2, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HousekeepingFlow::userManualName(c.authority, c.language), c.name) << c.authority << " " << c.language;
}

TEST(UserManual, OpensThePresentManualAndTellsWhenThereIsNone)
{
    QTemporaryDir ini;
    UserOpts opts(ini.filePath("user.ini"));
    opts.setLanguage(UserOpts::English);
    opts.saveUserOptsByName(UserOpts::OPT_Language);
    FlowContext::Devices devices;
    devices.userOpts = &opts;
    FlowContext ctx(devices);
    HousekeepingFlow flow(ctx);
    QList<QUrl> opened;
    bool opens = true;
    flow.setUrlOpener([&](const QUrl& url) {
        opened << url;
        return opens;
    });
    int failed = 0;
    QObject::connect(&flow, &HousekeepingFlow::userManualOpenFailed, [&] { ++failed; });

    ctx.setAuthorityType(EnumOBJ::WBTS);
    flow.openUserManual(); // no manual beside the program
    EXPECT_EQ(failed, 1);
    EXPECT_TRUE(opened.isEmpty());

    const QString manual = AppPaths::appDir() + "/document/user_manual_S60_en.pdf";
    QDir().mkpath(AppPaths::appDir() + "/document");
    QFile file(manual);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    flow.openUserManual();
    EXPECT_EQ(failed, 1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), manual);

    opens = false; // the desktop has no viewer
    flow.openUserManual();
    EXPECT_EQ(failed, 2);

    ctx.setAuthorityType(EnumOBJ::WBQI); // no manual for this configuration
    flow.openUserManual();
    EXPECT_EQ(failed, 3);
}

TEST(ScreenKeyboard, OnlyAskedForWhenSwitchedOnAndThenSaidOnceToBeMissing)
{
    QTemporaryDir ini;
    UserOpts opts(ini.filePath("user.ini"));
    FlowContext::Devices devices;
    devices.userOpts = &opts;
    FlowContext ctx(devices);
    HousekeepingFlow flow(ctx);
    LogCapture log;
    for (bool on : {false, true}) {
        opts.setIsAutoKeyboard(on);
        opts.saveUserOptsByName(UserOpts::OPT_IsAutoKeyboard);
        log.clear();
        flow.showScreenKeyboard(true);
        flow.showScreenKeyboard(false);
        EXPECT_EQ(log.lines().filter("on-screen keyboard not available").size(), on ? 1 : 0);
    }
}
