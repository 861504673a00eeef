#include "machinemodel.h"

#include "camopts.h"
#include "useropts.h"

namespace MachineModel {

namespace {
// The light of these cabinets may stay on at most this many minutes.
constexpr int kMaxLightAutoShutDownTime = 3;

constexpr const char* kOrmivex = "初始化Ormivex成功。";
constexpr const char* kOrmivexMini = "初始化Ormivex Mini成功。";

using D = DefaultSet;
using E = EnumOBJ;
using C = Camera;
using L = Lens;
} // namespace

const std::vector<Row>& table()
{
    static const std::vector<Row> rows = {
        {"S40Mini", E::M_S40Mini, E::WBTS, {D::Capture, D::WBTS}, "初始化S40成功。"},
        {"S40Pro", E::M_S40Pro, E::WBTS, {D::Capture, D::WBTS}, "初始化S40成功。"},
        {"S40Plus", E::M_S40Plus, E::WBQI, {D::Capture, D::WBQI}, "初始化S40Plus成功。"},
        {"S50", E::M_S50, E::GelAndWBTS, {D::Focus, D::GelTS, D::Capture, D::WBTS}, "初始化S50成功。"},
        {"S60", E::M_S60, E::AllAuthorityTS, {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS},
         "初始化S60成功。"},
        {"S20Mini", E::M_S20Mini, E::GelTS20BW, {D::Focus, D::GelTSMini, D::CapLightTime}, "初始化S20Mini成功。"},
        {"Ormivex_Manual695", E::M_Ormivex_Manual695, E::WBTS695_Manual, {D::Capture, D::WBTS, D::CapLightTime},
         kOrmivex},
        {"Ormivex_Auto695", E::M_Ormivex_Auto695, E::WBTS695_Auto, {D::Capture, D::WBTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_ManualFL9BW", E::M_Ormivex_ManualFL9BW, E::WBTSFL9BW_Manual,
         {D::Capture, D::WBTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_AutoFL9BW", E::M_Ormivex_AutoFL9BW, E::WBTSFL9BW_Auto, {D::Capture, D::WBTS, D::CapLightTime},
         kOrmivex},
        {"Ormivex_G_Manual695", E::M_Ormivex_G_Manual695, E::GelAndWBTS695_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_G_Auto695", E::M_Ormivex_G_Auto695, E::GelAndWBTS695_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_G_ManualFL9BW", E::M_Ormivex_G_ManualFL9BW, E::GelAndWBTSFL9BW_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_G_AutoFL9BW", E::M_Ormivex_G_AutoFL9BW, E::GelAndWBTSFL9BW_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_GF_Manual695", E::M_Ormivex_GF_Manual695, E::AllAuthorityTS695_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_GF_Auto695", E::M_Ormivex_GF_Auto695, E::AllAuthorityTS695_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_GF_ManualFL9BW", E::M_Ormivex_GF_ManualFL9BW, E::AllAuthorityTSFL9BW_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}, kOrmivex},
        {"Ormivex_GF_AutoFL9BW", E::M_Ormivex_GF_AutoFL9BW, E::AllAuthorityTSFL9BW_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}, kOrmivex},
        // The model texts of the two Mini cabinets carry an underscore their enumerators lack.
        {"Ormivex_MiniFL9BW", E::M_OrmivexMiniFL9BW, E::WBTSFL9BWMini, {D::Capture, D::WBTS, D::CapLightTime},
         kOrmivexMini},
        {"Ormivex_Mini695", E::M_OrmivexMini695, E::WBTS695Mini, {D::Capture, D::WBTS, D::CapLightTime},
         kOrmivexMini},
    };
    return rows;
}

EnumOBJ::MachineName machineNameFromText(const QString& text)
{
    for (const Row& row : table()) {
        if (text == QLatin1String(row.text))
            return row.machineName;
    }
    return EnumOBJ::Unknow_MachineName;
}

const Row* rowOf(EnumOBJ::MachineName machineName)
{
    for (const Row& row : table()) {
        if (row.machineName == machineName)
            return &row;
    }
    return nullptr;
}

void applyDefaults(EnumOBJ::MachineName machineName, UserOpts& userOpts, CamOpts& camOpts)
{
    const Row* row = rowOf(machineName);
    if (!row)
        return;
    for (DefaultSet set : row->defaults) {
        switch (set) {
        case D::Focus:
            userOpts.initFocusDefaults();
            break;
        case D::Capture:
            userOpts.initCaptureDefaults();
            break;
        case D::Extra:
            userOpts.initExtraDefaults();
            break;
        case D::WBTS:
            camOpts.initWBTSDefaults();
            break;
        case D::WBQI:
            camOpts.initWBQIDefaults();
            break;
        case D::GelTS:
            camOpts.initGelTSDefaults(false);
            break;
        case D::GelTSMini:
            camOpts.initGelTSDefaults(true);
            break;
        case D::MultTS:
            camOpts.initMultTSDefaults();
            break;
        case D::CapLightTime:
            capLightAutoShutDownTime(userOpts);
            break;
        }
    }
}

void capLightAutoShutDownTime(UserOpts& userOpts)
{
    userOpts.loadUserOptsByName(UserOpts::OPT_LightAutoShutDownTime);
    if (userOpts.lightAutoShutDownTime() > kMaxLightAutoShutDownTime) {
        userOpts.setLightAutoShutDownTime(kMaxLightAutoShutDownTime);
        userOpts.saveUserOptsByName(UserOpts::OPT_LightAutoShutDownTime);
    }
}

const std::vector<Configuration>& configurations()
{
    // authority type, camera, wb, gel, mult, lens, mini, door, tracksWhiteBoard, singleMultLamps, gelAndWBTS
    static const std::vector<Configuration> rows = {
        {E::WBTS, C::Tucsen695, true, false, false, L::Manual, false, false, false, false, false},
        {E::WBQI, C::Kestrix, true, false, false, L::Manual, false, false, false, false, false},
        {E::GelAndWBTS, C::Tucsen695, true, true, false, L::Manual, false, false, false, false, true},
        {E::AllAuthorityTS, C::Tucsen695, true, true, true, L::Manual, false, false, false, true, true},
        {E::GelTS20BW, C::TucsenS20Mini, false, true, false, L::Smbus, false, true, true, false, false},
        {E::WBTS695_Manual, C::Tucsen695, true, false, false, L::Manual, false, true, true, false, false},
        {E::WBTS695_Auto, C::Tucsen695, true, false, false, L::Serial, false, true, true, false, false},
        {E::WBTSFL9BW_Manual, C::TucsenFL9BW, true, false, false, L::Manual, false, true, true, false, false},
        {E::WBTSFL9BW_Auto, C::TucsenFL9BW, true, false, false, L::Serial, false, true, true, false, false},
        {E::GelAndWBTS695_Manual, C::Tucsen695, true, true, false, L::Manual, false, true, true, false, false},
        {E::GelAndWBTS695_Auto, C::Tucsen695, true, true, false, L::Serial, false, true, true, false, false},
        {E::GelAndWBTSFL9BW_Manual, C::TucsenFL9BW, true, true, false, L::Manual, false, true, true, false, false},
        {E::GelAndWBTSFL9BW_Auto, C::TucsenFL9BW, true, true, false, L::Serial, false, true, true, false, false},
        {E::AllAuthorityTS695_Manual, C::Tucsen695, true, true, true, L::Manual, false, true, true, false, false},
        {E::AllAuthorityTS695_Auto, C::Tucsen695, true, true, true, L::Serial, false, true, true, false, false},
        {E::AllAuthorityTSFL9BW_Manual, C::TucsenFL9BW, true, true, true, L::Manual, false, true, true, false, false},
        {E::AllAuthorityTSFL9BW_Auto, C::TucsenFL9BW, true, true, true, L::Serial, false, true, true, false, false},
        {E::WBTSFL9BWMini, C::TucsenFL9BW, true, false, false, L::Manual, true, false, true, false, false},
        {E::WBTS695Mini, C::Tucsen695, true, false, false, L::Manual, true, false, true, false, false},
    };
    return rows;
}

const Configuration* configurationOf(int authorityType)
{
    for (const Configuration& row : configurations()) {
        if (int(row.authorityType) == authorityType)
            return &row;
    }
    return nullptr;
}

Camera cameraOf(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c ? c->camera : Camera::None;
}

bool isKestrix(int authorityType)
{
    return cameraOf(authorityType) == Camera::Kestrix;
}

bool isTucsen(int authorityType)
{
    const Camera camera = cameraOf(authorityType);
    return camera == Camera::Tucsen695 || camera == Camera::TucsenFL9BW || camera == Camera::TucsenS20Mini;
}

bool hasWBMode(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->wb;
}

bool hasGelMode(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->gel;
}

bool hasMultMode(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->mult;
}

bool isWBFL9BW(int authorityType)
{
    return cameraOf(authorityType) == Camera::TucsenFL9BW && hasWBMode(authorityType);
}

bool isGelFL9BW(int authorityType)
{
    return cameraOf(authorityType) == Camera::TucsenFL9BW && hasGelMode(authorityType);
}

bool isMultFL9BW(int authorityType)
{
    return cameraOf(authorityType) == Camera::TucsenFL9BW && hasMultMode(authorityType);
}

bool hasSerialLens(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->lens == Lens::Serial;
}

bool isGelTS20BW(int authorityType)
{
    return cameraOf(authorityType) == Camera::TucsenS20Mini;
}

bool isMiniCabinet(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->mini;
}

bool hasDoor(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->door;
}

bool tracksWhiteBoard(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->tracksWhiteBoard;
}

bool hasSingleMultLamps(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->singleMultLamps;
}

bool isGelAndWBTS(int authorityType)
{
    const Configuration* c = configurationOf(authorityType);
    return c && c->gelAndWBTS;
}

bool hasFilterWheel(int authorityType)
{
    return hasGelMode(authorityType) && !isGelTS20BW(authorityType);
}

} // namespace MachineModel
