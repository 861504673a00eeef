#include "machinemodel.h"

#include "camopts.h"
#include "useropts.h"

namespace MachineModel {

namespace {
// The light of these cabinets may stay on at most this many minutes.
constexpr int kMaxLightAutoShutDownTime = 3;

using D = DefaultSet;
using E = EnumOBJ;
} // namespace

const std::vector<Row>& table()
{
    static const std::vector<Row> rows = {
        {"S40Mini", E::M_S40Mini, E::WBTS, {D::Capture, D::WBTS}},
        {"S40Pro", E::M_S40Pro, E::WBTS, {D::Capture, D::WBTS}},
        {"S40Plus", E::M_S40Plus, E::WBQI, {D::Capture, D::WBQI}},
        {"S50", E::M_S50, E::GelAndWBTS, {D::Focus, D::GelTS, D::Capture, D::WBTS}},
        {"S60", E::M_S60, E::AllAuthorityTS, {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS}},
        {"S20Mini", E::M_S20Mini, E::GelTS20BW, {D::Focus, D::GelTSMini, D::CapLightTime}},
        {"Ormivex_Manual695", E::M_Ormivex_Manual695, E::WBTS695_Manual, {D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_Auto695", E::M_Ormivex_Auto695, E::WBTS695_Auto, {D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_ManualFL9BW", E::M_Ormivex_ManualFL9BW, E::WBTSFL9BW_Manual,
         {D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_AutoFL9BW", E::M_Ormivex_AutoFL9BW, E::WBTSFL9BW_Auto, {D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_G_Manual695", E::M_Ormivex_G_Manual695, E::GelAndWBTS695_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_G_Auto695", E::M_Ormivex_G_Auto695, E::GelAndWBTS695_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_G_ManualFL9BW", E::M_Ormivex_G_ManualFL9BW, E::GelAndWBTSFL9BW_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_G_AutoFL9BW", E::M_Ormivex_G_AutoFL9BW, E::GelAndWBTSFL9BW_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_GF_Manual695", E::M_Ormivex_GF_Manual695, E::AllAuthorityTS695_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}},
        {"Ormivex_GF_Auto695", E::M_Ormivex_GF_Auto695, E::AllAuthorityTS695_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}},
        {"Ormivex_GF_ManualFL9BW", E::M_Ormivex_GF_ManualFL9BW, E::AllAuthorityTSFL9BW_Manual,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}},
        {"Ormivex_GF_AutoFL9BW", E::M_Ormivex_GF_AutoFL9BW, E::AllAuthorityTSFL9BW_Auto,
         {D::Focus, D::GelTS, D::Capture, D::WBTS, D::Extra, D::MultTS, D::CapLightTime}},
        // The model texts of the two Mini cabinets carry an underscore their enumerators lack.
        {"Ormivex_MiniFL9BW", E::M_OrmivexMiniFL9BW, E::WBTSFL9BWMini, {D::Capture, D::WBTS, D::CapLightTime}},
        {"Ormivex_Mini695", E::M_OrmivexMini695, E::WBTS695Mini, {D::Capture, D::WBTS, D::CapLightTime}},
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

} // namespace MachineModel
