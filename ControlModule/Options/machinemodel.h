#pragma once

#include "enumobj.h"

#include <QString>

#include <vector>

class CamOpts;
class UserOpts;

// The instrument model table: the model text of machine.ini, the model, its configuration and
// the option defaults the model needs, in the order they are filled (the first set that names a
// key decides its default).
namespace MachineModel {

enum class DefaultSet {
    Focus,        // UserOpts::initFocusDefaults
    Capture,      // UserOpts::initCaptureDefaults
    Extra,        // UserOpts::initExtraDefaults
    WBTS,         // CamOpts::initWBTSDefaults
    WBQI,         // CamOpts::initWBQIDefaults
    GelTS,        // CamOpts::initGelTSDefaults(false)
    GelTSMini,    // CamOpts::initGelTSDefaults(true)
    MultTS,       // CamOpts::initMultTSDefaults
    CapLightTime, // lightAutoShutDownTime at most 3 minutes
};

struct Row {
    const char* text;
    EnumOBJ::MachineName machineName;
    EnumOBJ::AuthorityType authorityType;
    std::vector<DefaultSet> defaults;
};

// Every known model, in matching order.
const std::vector<Row>& table();

// Exact, case-sensitive match on the model text; Unknow_MachineName when none matches.
EnumOBJ::MachineName machineNameFromText(const QString& text);

// The row of a known model, or nullptr.
const Row* rowOf(EnumOBJ::MachineName machineName);

// Runs the model's default sets on the two stores, in the row's order. Nothing for an unknown model.
void applyDefaults(EnumOBJ::MachineName machineName, UserOpts& userOpts, CamOpts& camOpts);

// Loads lightAutoShutDownTime; above 3 it becomes 3 and is saved.
void capLightAutoShutDownTime(UserOpts& userOpts);

} // namespace MachineModel
