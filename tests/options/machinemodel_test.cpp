// The model table and what each model writes into empty option files at start-up.
#include "camopts.h"
#include "ic_maincontrol.h"
#include "machinemodel.h"
#include "testappdir.h"
#include "useropts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include <algorithm>
#include <set>
#include <vector>

namespace {

using D = MachineModel::DefaultSet;

const QStringList kFocusKeys = {"focusCurrentAddr", "bluePercent", "imageCleanTime", "lightAutoShutDownTime"};
const QStringList kCaptureKeys = {"singleCapExpTime",      "multiCapCount",    "multiCapFirstTime",
                                  "multiCapFirstTimeUnit", "multiCapDeltaTime", "multiCapDeltaTimeUnit",
                                  "imageCleanTime",        "lightAutoShutDownTime"};
QStringList camKeys(const QString& path, bool wbqi)
{
    if (wbqi)
        return {path + "DefBinning",  path + "DefExposurePre", path + "DefGainIndex",
                path + "CurBinning",  path + "CurExposurePre", path + "CurGainIndex"};
    return {path + "DefBinning", path + "DefExposurePre", path + "DefExposurePre6Para", path + "DefGain",
            path + "DefGainIndex", path + "CurBinning", path + "CurExposurePre", path + "CurGain",
            path + "CurGainIndex"};
}

QStringList sorted(QStringList list)
{
    list.removeDuplicates();
    list.sort();
    return list;
}

QStringList keysIn(const QString& file, const QString& group)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(group);
    return sorted(settings.childKeys());
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Fresh stores on their own files for one case.
struct Stores {
    QTemporaryDir dir;
    QString userFile = dir.filePath("Ini/userOption.ini");
    QString camFile = dir.filePath("Ini/camOption.ini");
};

struct ModelCase {
    const char* text;
    EnumOBJ::MachineName machine;
    EnumOBJ::AuthorityType authority;
    bool focus, capture;
    bool wbts, wbqi, gel, mult;
    int lightTime; // lightAutoShutDownTime after start-up with empty files
    int gelCurBinning;
    double gelCurExposure;
};

const std::vector<ModelCase> kModels = {
    {"S40Mini", EnumOBJ::M_S40Mini, EnumOBJ::WBTS, false, true, true, false, false, false, 3, 0, 0},
    {"S40Pro", EnumOBJ::M_S40Pro, EnumOBJ::WBTS, false, true, true, false, false, false, 3, 0, 0},
    {"S40Plus", EnumOBJ::M_S40Plus, EnumOBJ::WBQI, false, true, false, true, false, false, 3, 0, 0},
    {"S50", EnumOBJ::M_S50, EnumOBJ::GelAndWBTS, true, true, true, false, true, false, 5, 1, 50.0},
    {"S60", EnumOBJ::M_S60, EnumOBJ::AllAuthorityTS, true, true, true, false, true, true, 5, 1, 50.0},
    {"S20Mini", EnumOBJ::M_S20Mini, EnumOBJ::GelTS20BW, true, false, false, false, true, false, 3, 0, 200.0},
    {"Ormivex_Manual695", EnumOBJ::M_Ormivex_Manual695, EnumOBJ::WBTS695_Manual, false, true, true, false, false,
     false, 3, 0, 0},
    {"Ormivex_Auto695", EnumOBJ::M_Ormivex_Auto695, EnumOBJ::WBTS695_Auto, false, true, true, false, false, false, 3,
     0, 0},
    {"Ormivex_ManualFL9BW", EnumOBJ::M_Ormivex_ManualFL9BW, EnumOBJ::WBTSFL9BW_Manual, false, true, true, false,
     false, false, 3, 0, 0},
    {"Ormivex_AutoFL9BW", EnumOBJ::M_Ormivex_AutoFL9BW, EnumOBJ::WBTSFL9BW_Auto, false, true, true, false, false,
     false, 3, 0, 0},
    {"Ormivex_G_Manual695", EnumOBJ::M_Ormivex_G_Manual695, EnumOBJ::GelAndWBTS695_Manual, true, true, true, false,
     true, false, 3, 1, 50.0},
    {"Ormivex_G_Auto695", EnumOBJ::M_Ormivex_G_Auto695, EnumOBJ::GelAndWBTS695_Auto, true, true, true, false, true,
     false, 3, 1, 50.0},
    {"Ormivex_G_ManualFL9BW", EnumOBJ::M_Ormivex_G_ManualFL9BW, EnumOBJ::GelAndWBTSFL9BW_Manual, true, true, true,
     false, true, false, 3, 1, 50.0},
    {"Ormivex_G_AutoFL9BW", EnumOBJ::M_Ormivex_G_AutoFL9BW, EnumOBJ::GelAndWBTSFL9BW_Auto, true, true, true, false,
     true, false, 3, 1, 50.0},
    {"Ormivex_GF_Manual695", EnumOBJ::M_Ormivex_GF_Manual695, EnumOBJ::AllAuthorityTS695_Manual, true, true, true,
     false, true, true, 3, 1, 50.0},
    {"Ormivex_GF_Auto695", EnumOBJ::M_Ormivex_GF_Auto695, EnumOBJ::AllAuthorityTS695_Auto, true, true, true, false,
     true, true, 3, 1, 50.0},
    {"Ormivex_GF_ManualFL9BW", EnumOBJ::M_Ormivex_GF_ManualFL9BW, EnumOBJ::AllAuthorityTSFL9BW_Manual, true, true,
     true, false, true, true, 3, 1, 50.0},
    {"Ormivex_GF_AutoFL9BW", EnumOBJ::M_Ormivex_GF_AutoFL9BW, EnumOBJ::AllAuthorityTSFL9BW_Auto, true, true, true,
     false, true, true, 3, 1, 50.0},
    {"Ormivex_MiniFL9BW", EnumOBJ::M_OrmivexMiniFL9BW, EnumOBJ::WBTSFL9BWMini, false, true, true, false, false,
     false, 3, 0, 0},
    {"Ormivex_Mini695", EnumOBJ::M_OrmivexMini695, EnumOBJ::WBTS695Mini, false, true, true, false, false, false, 3,
     0, 0},
};

} // namespace

TEST(MachineModel, EveryModelTextGivesItsModelAndConfiguration)
{
    ASSERT_EQ(MachineModel::table().size(), kModels.size());
    for (const ModelCase& c : kModels) {
        EXPECT_EQ(MachineModel::machineNameFromText(QString::fromLatin1(c.text)), c.machine) << c.text;
        const MachineModel::Row* row = MachineModel::rowOf(c.machine);
        ASSERT_NE(row, nullptr) << c.text;
        EXPECT_EQ(row->authorityType, c.authority) << c.text;
    }
    EXPECT_EQ(MachineModel::rowOf(EnumOBJ::Unknow_MachineName), nullptr);
}

TEST(MachineModel, TextsThatAreNoModel)
{
    for (const char* text : {"s60", "S60 ", " S60", "", "S70", "OrmivexMini695", "Ormivex_mini695", "S40mini"})
        EXPECT_EQ(MachineModel::machineNameFromText(QString::fromLatin1(text)), EnumOBJ::Unknow_MachineName)
            << '"' << text << '"';
}

TEST(MachineModel, EmptyFilesGetExactlyTheModelsDefaults)
{
    for (const ModelCase& c : kModels) {
        SCOPED_TRACE(c.text);
        Stores s;
        UserOpts user(s.userFile);
        CamOpts cam(s.camFile);
        MachineModel::applyDefaults(c.machine, user, cam);

        QStringList userKeys;
        if (c.focus)
            userKeys += kFocusKeys;
        if (c.capture)
            userKeys += kCaptureKeys;
        EXPECT_EQ(keysIn(s.userFile, "UserOption"), sorted(userKeys));

        QStringList expectedCam;
        if (c.wbts)
            expectedCam += camKeys("WBTS", false);
        if (c.wbqi)
            expectedCam += camKeys("WBQI", true);
        if (c.gel)
            expectedCam += camKeys("GelTS", false);
        if (c.mult)
            expectedCam += camKeys("MultTS", false);
        EXPECT_EQ(keysIn(s.camFile, "CamOption"), sorted(expectedCam));

        QSettings file(s.userFile, QSettings::IniFormat);
        EXPECT_EQ(file.value("UserOption/lightAutoShutDownTime").toInt(), c.lightTime);
        EXPECT_EQ(user.lightAutoShutDownTime(), c.lightTime);
        EXPECT_EQ(file.value("UserOption/imageCleanTime").toInt(), 7);
        if (c.gel) {
            QSettings camFile(s.camFile, QSettings::IniFormat);
            EXPECT_EQ(camFile.value("CamOption/GelTSCurBinning").toInt(), c.gelCurBinning);
            EXPECT_DOUBLE_EQ(camFile.value("CamOption/GelTSCurExposurePre").toDouble(), c.gelCurExposure);
        }
    }
}

TEST(MachineModel, DefaultValuesWritten)
{
    Stores s;
    UserOpts user(s.userFile);
    CamOpts cam(s.camFile);
    MachineModel::applyDefaults(EnumOBJ::M_S60, user, cam);
    MachineModel::applyDefaults(EnumOBJ::M_S40Plus, user, cam);
    QSettings u(s.userFile, QSettings::IniFormat);
    const struct {
        const char* key;
        const char* text;
    } userValues[] = {{"focusCurrentAddr", "10"}, {"bluePercent", "100"},      {"imageCleanTime", "7"},
                      {"lightAutoShutDownTime", "5"}, {"singleCapExpTime", "1000"}, {"multiCapCount", "2"},
                      {"multiCapFirstTime", "1"},  {"multiCapFirstTimeUnit", "1"}, {"multiCapDeltaTime", "1"},
                      {"multiCapDeltaTimeUnit", "1"}};
    for (const auto& v : userValues)
        EXPECT_EQ(u.value(QStringLiteral("UserOption/") + v.key).toString(), QString::fromLatin1(v.text)) << v.key;
    QSettings c(s.camFile, QSettings::IniFormat);
    const struct {
        const char* key;
        const char* text;
    } camValues[] = {
        {"WBTSDefBinning", "1"},        {"WBTSDefExposurePre", "200,50,15,6,3,1,1,1"},
        {"WBTSDefExposurePre6Para", "200,50,22,12,6,3"},
        {"WBTSDefGain", "45"},          {"WBTSDefGainIndex", "0"},
        {"WBTSCurBinning", "1"},        {"WBTSCurExposurePre", "50"},
        {"WBTSCurGain", "45"},          {"WBTSCurGainIndex", "0"},
        {"WBQIDefBinning", "2*2"},      {"WBQIDefExposurePre", "200,50,15,6,3,1,1,1"},
        {"WBQIDefGainIndex", "3"},      {"WBQICurBinning", "2*2"},
        {"WBQICurExposurePre", "50"},   {"WBQICurGainIndex", "3"},
        {"GelTSDefGainIndex", "1"},     {"GelTSCurGainIndex", "1"},
        {"MultTSDefGainIndex", "1"},    {"MultTSCurGain", "45"},
        {"GelTSDefExposurePre6Para", "200,50,22,12,6,3"},
    };
    for (const auto& v : camValues)
        EXPECT_EQ(c.value(QStringLiteral("CamOption/") + v.key).toString(), QString::fromLatin1(v.text)) << v.key;
}

TEST(MachineModel, PresentKeysAreNeverOverwrittenEvenWhenEmpty)
{
    Stores s;
    writeFile(s.userFile, "[UserOption]\nbluePercent=\nimageCleanTime=30\n");
    writeFile(s.camFile, "[CamOption]\nWBTSDefGain=\nGelTSCurBinning=5\n");
    UserOpts user(s.userFile);
    CamOpts cam(s.camFile);
    MachineModel::applyDefaults(EnumOBJ::M_S60, user, cam);
    QSettings u(s.userFile, QSettings::IniFormat);
    EXPECT_EQ(u.value("UserOption/bluePercent").toString(), QString());
    EXPECT_EQ(u.value("UserOption/imageCleanTime").toInt(), 30);
    user.loadUserOptsByName(UserOpts::OPT_BluePercent);
    EXPECT_EQ(user.bluePercent(), 0);
    QSettings c(s.camFile, QSettings::IniFormat);
    EXPECT_EQ(c.value("CamOption/WBTSDefGain").toString(), QString());
    EXPECT_EQ(c.value("CamOption/GelTSCurBinning").toInt(), 5);
    cam.loadCamOptsByName(CamOpts::WBTS_DefGain);
    EXPECT_EQ(cam.wBTSDefGain(), 0);
}

TEST(MachineModel, LightShutDownTimeCap)
{
    const struct {
        EnumOBJ::MachineName model;
        const char* stored; // nullptr: key missing
        QString expectedText;
        int expected;
    } cases[] = {
        {EnumOBJ::M_S20Mini, "10", "3", 3},
        {EnumOBJ::M_S20Mini, "3", "3", 3},
        {EnumOBJ::M_S20Mini, "2", "2", 2},
        {EnumOBJ::M_S20Mini, nullptr, "3", 3},
        {EnumOBJ::M_Ormivex_G_Auto695, "4", "3", 3},
        {EnumOBJ::M_OrmivexMini695, "60", "3", 3},
        {EnumOBJ::M_S60, "10", "10", 10},
        {EnumOBJ::M_S60, nullptr, "5", 5},
        {EnumOBJ::M_S40Mini, nullptr, "3", 3},
        {EnumOBJ::M_S40Plus, "9", "9", 9},
        // Garbage in the file is 0 minutes to the program and is left as it is.
        {EnumOBJ::M_Ormivex_Auto695, "abc", "abc", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("model %1 stored %2").arg(c.model).arg(c.stored ? c.stored : "(none)").toStdString());
        Stores s;
        if (c.stored)
            writeFile(s.userFile, QByteArray("[UserOption]\nlightAutoShutDownTime=") + c.stored + "\n");
        UserOpts user(s.userFile);
        CamOpts cam(s.camFile);
        MachineModel::applyDefaults(c.model, user, cam);
        user.loadUserOptsByName(UserOpts::OPT_LightAutoShutDownTime);
        EXPECT_EQ(user.lightAutoShutDownTime(), c.expected);
        QSettings file(s.userFile, QSettings::IniFormat);
        EXPECT_EQ(file.value("UserOption/lightAutoShutDownTime").toString(), c.expectedText);
    }
}

// Which configurations belong to each group: every rule about configurations, read from the
// one table. The values outside 0..18 (unknown configurations) belong to no group.
TEST(MachineModel, ConfigurationGroups)
{
    using MachineModel::Camera;
    const auto camera = [](Camera c) { return [c](int a) { return MachineModel::cameraOf(a) == c; }; };
    const struct {
        const char* group;
        std::function<bool(int)> rule;
        std::set<int> members;
    } groups[] = {
        {"kestrix64 camera", MachineModel::isKestrix, {1}},
        {"Tucsen camera", MachineModel::isTucsen, {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"Tucsen 695 camera", camera(Camera::Tucsen695), {0, 2, 3, 5, 6, 9, 10, 13, 14, 18}},
        {"Tucsen FL9BW camera", camera(Camera::TucsenFL9BW), {7, 8, 11, 12, 15, 16, 17}},
        {"S20Mini camera", camera(Camera::TucsenS20Mini), {4}},
        {"no camera", camera(Camera::None), {-1, 19, 20}},
        {"Western-blot mode", MachineModel::hasWBMode, {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"gel mode", MachineModel::hasGelMode, {2, 3, 4, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"multi-fluorescence mode", MachineModel::hasMultMode, {3, 13, 14, 15, 16}},
        {"FL9BW in Western blot", MachineModel::isWBFL9BW, {7, 8, 11, 12, 15, 16, 17}},
        {"FL9BW in gel", MachineModel::isGelFL9BW, {11, 12, 15, 16}},
        {"FL9BW in multi-fluorescence", MachineModel::isMultFL9BW, {15, 16}},
        {"serial lens (_Auto)", MachineModel::hasSerialLens, {6, 8, 10, 12, 14, 16}},
        {"GelTS20BW", MachineModel::isGelTS20BW, {4}},
        {"Mini cabinet", MachineModel::isMiniCabinet, {17, 18}},
        {"door", MachineModel::hasDoor, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"white-board flag follows the light", MachineModel::tracksWhiteBoard,
         {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {"single multi-fluorescence lamps", MachineModel::hasSingleMultLamps, {3}},
        {"gel capture of GelAndWBTS", MachineModel::isGelAndWBTS, {2, 3}},
        {"filter wheel", MachineModel::hasFilterWheel, {2, 3, 9, 10, 11, 12, 13, 14, 15, 16}},
    };
    for (const auto& g : groups) {
        for (int authority = -1; authority <= int(EnumOBJ::Unknow_AuthorityType) + 1; ++authority)
            EXPECT_EQ(g.rule(authority), g.members.count(authority) == 1) << g.group << ", configuration " << authority;
    }

    // One row per configuration, found by its own value.
    ASSERT_EQ(MachineModel::configurations().size(), size_t(EnumOBJ::Unknow_AuthorityType));
    for (int authority = 0; authority < int(EnumOBJ::Unknow_AuthorityType); ++authority) {
        const MachineModel::Configuration* row = MachineModel::configurationOf(authority);
        ASSERT_NE(row, nullptr) << authority;
        EXPECT_EQ(int(row->authorityType), authority);
    }
}

// Which devices each model brings up, and the line that says so.
TEST(MachineModel, BringUpByModel)
{
    const struct {
        EnumOBJ::MachineName model;
        bool kestrix;
        bool smbusLens;
        const char* line;
    } cases[] = {
        {EnumOBJ::M_S40Mini, false, false, "初始化S40成功。"},
        {EnumOBJ::M_S40Pro, false, false, "初始化S40成功。"},
        {EnumOBJ::M_S40Plus, true, false, "初始化S40Plus成功。"},
        {EnumOBJ::M_S50, false, false, "初始化S50成功。"},
        {EnumOBJ::M_S60, false, false, "初始化S60成功。"},
        {EnumOBJ::M_S20Mini, false, true, "初始化S20Mini成功。"},
        {EnumOBJ::M_Ormivex_Manual695, false, false, "初始化Ormivex成功。"},
        {EnumOBJ::M_Ormivex_GF_AutoFL9BW, false, false, "初始化Ormivex成功。"},
        {EnumOBJ::M_OrmivexMiniFL9BW, false, false, "初始化Ormivex Mini成功。"},
        {EnumOBJ::M_OrmivexMini695, false, false, "初始化Ormivex Mini成功。"},
    };
    for (const auto& c : cases) {
        const MachineModel::Row* row = MachineModel::rowOf(c.model);
        ASSERT_NE(row, nullptr) << c.model;
        EXPECT_EQ(MachineModel::isKestrix(row->authorityType), c.kestrix) << row->text;
        EXPECT_EQ(MachineModel::isGelTS20BW(row->authorityType), c.smbusLens) << row->text;
        EXPECT_STREQ(row->bringUpLine, c.line) << row->text;
    }
    for (const MachineModel::Row& row : MachineModel::table())
        EXPECT_TRUE(MachineModel::isKestrix(row.authorityType) || MachineModel::isTucsen(row.authorityType)) << row.text;
}

TEST(MachineModel, UnknownModelWritesNothing)
{
    Stores s;
    UserOpts user(s.userFile);
    CamOpts cam(s.camFile);
    MachineModel::applyDefaults(EnumOBJ::Unknow_MachineName, user, cam);
    EXPECT_FALSE(QFile::exists(s.userFile));
    EXPECT_FALSE(QFile::exists(s.camFile));
}

// The controller reads machine.ini of the application directory (a private one per test process).
TEST(MachineModel, ControllerReadsTheModelFromMachineIni)
{
    const QString machineIni = QDir(qEnvironmentVariable("TAVRILL_APP_DIR")).filePath("machine.ini");
    const struct {
        const char* content; // nullptr: no file
        EnumOBJ::MachineName expected;
    } cases[] = {
        {"[Machine]\nMachineName=S60\n", EnumOBJ::M_S60},
        {"[Machine]\nMachineName=Ormivex_MiniFL9BW\n", EnumOBJ::M_OrmivexMiniFL9BW},
        {"[Machine]\nMachineName=s60\n", EnumOBJ::Unknow_MachineName},
        {"[Machine]\nMachineName=\"S60 \"\n", EnumOBJ::Unknow_MachineName},
        {"[Machine]\nMachineName=\n", EnumOBJ::Unknow_MachineName},
        {"[Machine]\nModel=S60\n", EnumOBJ::Unknow_MachineName},
        {"MachineName=S60\n", EnumOBJ::Unknow_MachineName},
        {"\x01\x02\xff garbage [[[\n", EnumOBJ::Unknow_MachineName},
        {nullptr, EnumOBJ::Unknow_MachineName},
    };
    IC_MainControl* ctrl = IC_MainControl::getInstance();
    for (const auto& c : cases) {
        QFile::remove(machineIni);
        if (c.content)
            writeFile(machineIni, c.content);
        EXPECT_EQ(ctrl->readMachineName(), c.expected) << (c.content ? c.content : "(no file)");
    }
    EXPECT_EQ(ctrl->machineName(), EnumOBJ::Unknow_MachineName) << "readMachineName must not set the member";
}
