#pragma once

#include "enumobj.h"

#include <QString>

#include <vector>

class CamOpts;
class UserOpts;

// The instrument model table: the model text of machine.ini, the model, its configuration and
// the option defaults the model needs, in the order they are filled (the first set that names a
// key decides its default). Beside it, the configuration table: what each configuration
// (AuthorityType) has, and the rules about configuration groups that the controller, its flows
// and the camera bring-up follow. No other place compares configurations or models.
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
    // Log line of a successful device bring-up.
    const char* bringUpLine;
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

// ---- Configurations

enum class Camera {
    None,
    Kestrix,        // kestrix64 camera
    Tucsen695,      // Tucsen camera with the 695 sensor
    TucsenFL9BW,    // Tucsen FL9BW camera: its own binning table and gain modes
    TucsenS20Mini,  // Tucsen camera of the S20Mini gel cabinet
};

enum class Lens {
    Manual,
    Serial,  // motorised lens behind the controller board (the "_Auto" configurations)
    Smbus,   // lens on the USB-to-SMBus bridge
};

struct Configuration {
    EnumOBJ::AuthorityType authorityType;
    Camera camera;
    bool wb, gel, mult;  // the experiment modes the cabinet offers
    Lens lens;
    bool mini;           // the Mini cabinets: one white light switched on its own
    bool door;           // the door the program can release
    // The camera's white-board flag follows every single-light command (the S20Mini and the
    // Ormivex boards).
    bool tracksWhiteBoard;
    // Each lamp of the multi-fluorescence board has its own on and off byte.
    bool singleMultLamps;
    // The gel capture of the S50 and S60 cabinets.
    bool gelAndWBTS;
};

// Every known configuration, by AuthorityType.
const std::vector<Configuration>& configurations();
// The configuration of authorityType, or nullptr (Unknow_AuthorityType and beyond).
const Configuration* configurationOf(int authorityType);

Camera cameraOf(int authorityType);
bool isKestrix(int authorityType);
bool isTucsen(int authorityType);
// The FL9BW camera in each mode: Western blot (7, 8, 11, 12, 15, 16, 17), gel (11, 12, 15, 16),
// multi-fluorescence (15, 16).
bool isWBFL9BW(int authorityType);
bool isGelFL9BW(int authorityType);
bool isMultFL9BW(int authorityType);
bool hasWBMode(int authorityType);
bool hasGelMode(int authorityType);
bool hasMultMode(int authorityType);
// The "_Auto" configurations (6, 8, 10, 12, 14, 16).
bool hasSerialLens(int authorityType);
// GelTS20BW (4): the S20Mini gel cabinet with the SMBus lens and a blue light of its own.
bool isGelTS20BW(int authorityType);
// WBTSFL9BWMini (17), WBTS695Mini (18).
bool isMiniCabinet(int authorityType);
// GelTS20BW and the twelve Manual and Auto configurations (4 to 16).
bool hasDoor(int authorityType);
bool tracksWhiteBoard(int authorityType);
bool hasSingleMultLamps(int authorityType);
bool isGelAndWBTS(int authorityType);
// The gel cabinets but the S20Mini carry a filter wheel in the light path.
bool hasFilterWheel(int authorityType);

} // namespace MachineModel
