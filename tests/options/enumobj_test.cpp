// The enumerations are read by name from QML and stored by number in files: both must hold.
#include "camopts.h"
#include "enumobj.h"
#include "useropts.h"

#include <gtest/gtest.h>

#include <QMetaEnum>

#include <vector>

namespace {

struct EnumCase {
    const QMetaObject* meta;
    const char* enumName;
    std::vector<const char*> keysInValueOrder; // values 0, 1, 2, ... unless firstValue says otherwise
    int firstValue = 0;
};

void expectEnum(const EnumCase& c)
{
    const int index = c.meta->indexOfEnumerator(c.enumName);
    ASSERT_GE(index, 0) << c.enumName;
    const QMetaEnum metaEnum = c.meta->enumerator(index);
    EXPECT_EQ(metaEnum.keyCount(), int(c.keysInValueOrder.size())) << c.enumName;
    for (size_t i = 0; i < c.keysInValueOrder.size(); ++i) {
        bool ok = false;
        EXPECT_EQ(metaEnum.keyToValue(c.keysInValueOrder[i], &ok), c.firstValue + int(i))
            << c.enumName << "::" << c.keysInValueOrder[i];
        EXPECT_TRUE(ok) << c.enumName << "::" << c.keysInValueOrder[i];
    }
}

} // namespace

TEST(EnumObj, EverySharedEnumerationHasItsNamesAndNumbers)
{
    const QMetaObject* m = &EnumOBJ::staticMetaObject;
    const std::vector<EnumCase> cases = {
        {m, "MachineName",
         {"M_S40Mini", "M_S40Pro", "M_S40Plus", "M_S50", "M_S60", "M_S20Mini", "M_Ormivex_Manual695",
          "M_Ormivex_Auto695", "M_Ormivex_ManualFL9BW", "M_Ormivex_AutoFL9BW", "M_Ormivex_G_Manual695",
          "M_Ormivex_G_Auto695", "M_Ormivex_G_ManualFL9BW", "M_Ormivex_G_AutoFL9BW", "M_Ormivex_GF_Manual695",
          "M_Ormivex_GF_Auto695", "M_Ormivex_GF_ManualFL9BW", "M_Ormivex_GF_AutoFL9BW", "M_OrmivexMiniFL9BW",
          "M_OrmivexMini695", "Unknow_MachineName"}},
        {m, "AuthorityType",
         {"WBTS", "WBQI", "GelAndWBTS", "AllAuthorityTS", "GelTS20BW", "WBTS695_Manual", "WBTS695_Auto",
          "WBTSFL9BW_Manual", "WBTSFL9BW_Auto", "GelAndWBTS695_Manual", "GelAndWBTS695_Auto",
          "GelAndWBTSFL9BW_Manual", "GelAndWBTSFL9BW_Auto", "AllAuthorityTS695_Manual", "AllAuthorityTS695_Auto",
          "AllAuthorityTSFL9BW_Manual", "AllAuthorityTSFL9BW_Auto", "WBTSFL9BWMini", "WBTS695Mini",
          "Unknow_AuthorityType"}},
        {m, "ErrorCode",
         {"NoErr", "MachineErr", "SerialPortErr", "CommunicateErr", "ReceiveErr", "SendErr", "HandShakeErr",
          "CameraErr", "WPSErr", "LensErr", "SaveErr", "StoreErr", "Unknow_ErrorCode"}},
        {m, "LightType",
         {"White", "UV302C", "UV254", "UV365", "R625nm", "G520nm", "B470nm", "IR660nm", "IR740nm", "UV302", "Blue",
          "Unknow_LightType"}},
        {m, "FilterType",
         {"NoFilter", "F_535nm", "F_590nm", "F_605nm", "F_700nm", "F_840nm", "F_715nm", "F_810nm", "F_Reset",
          "Unknow_FilterType"}},
        {m, "ExpMode", {"Gel", "WB", "Mult", "Unknow_ExpMode"}},
        {&UserOpts::staticMetaObject, "LanguageType", {"Chinese", "English"}},
        {&UserOpts::staticMetaObject, "ImageShowModeType", {"Center", "Fill"}},
        {&UserOpts::staticMetaObject, "BkColorType", {"White", "Black"}},
        {&UserOpts::staticMetaObject, "AnalysisType", {"CloseSensitivity", "OpenSensitivity"}},
        {&UserOpts::staticMetaObject, "UnitType", {"Millisecond", "Second", "Minute"}},
        {&UserOpts::staticMetaObject, "UserInfoType",
         {"Rowid", "UserName", "PassWord", "Name", "Authority", "IsRemember", "GroupId"}},
        {&CamOpts::staticMetaObject, "GainType", {"Gain1", "Gain2", "Gain3"}, 1},
        {&CamOpts::staticMetaObject, "ResolutionType",
         {"Resolution1x1", "Resolution2x2", "Resolution4x4", "Resolution6x6", "Resolution8x8", "Resolution12x12",
          "Resolution16x16", "Resolution24x24"}},
    };
    for (const EnumCase& c : cases)
        expectEnum(c);
}

TEST(EnumObj, UnknownValuesAreOneAboveTheLastModel)
{
    EXPECT_EQ(EnumOBJ::Unknow_MachineName, 20);
    EXPECT_EQ(EnumOBJ::Unknow_AuthorityType, 19);
}

TEST(EnumObj, ExperimentTypeTextRoundTrip)
{
    const struct {
        const char* text;
        int value;
    } exact[] = {{"GelUV", 0}, {"WesternBlot", 1}, {"MultFluore", 2}};
    for (const auto& c : exact) {
        EXPECT_EQ(experimentTypeFromString(QString::fromLatin1(c.text)), c.value) << c.text;
        EXPECT_EQ(experimentTypeToString(c.value), QString::fromLatin1(c.text));
    }
    for (const char* other : {"westernblot", "WesternBlot ", "", "Gel", "GELUV"})
        EXPECT_EQ(experimentTypeFromString(QString::fromLatin1(other)), 3) << '"' << other << '"';
    for (int other : {3, -1, 100})
        EXPECT_EQ(experimentTypeToString(other), QStringLiteral("Unknow ExperimentType.")) << other;
}
