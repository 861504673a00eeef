#pragma once
// Test control of the virtual camera driver: which camera is attached, scripted statuses per
// call, a log of every call with its arguments, and a view of the device's state. Not part
// of the driver interface.

#include <cstdint>
#include <string>
#include <vector>

#include "tucam.h"

namespace tucamtest {

enum class Model {
    Cam695,     // 2720 x 2220 sensor, resolution modes bin 1, 2, 4, 6, 8, 12, 16, 24
    FL9BW,      // 3000 x 3000 sensor, binning table 1, 2, 3, 4, 6, 8 (capability 37), gain modes 0..3
    S20Mini,    // 4656 x 3136 sensor, resolution modes 0..6 full size, 7 summed 2 x 2
};

struct Config {
    Model model = Model::Cam695;
    int cameraCount = 1;
    std::string identity = "1234567890ABCDEFGHIJ";  // text of information item 5
    // Sensor temperature before cooling, in degrees Celsius. The temperature property's set value
    // is the cooler's set-point in degrees above its coldest (kColdestCelsius): 0 and below
    // cool as far as the cooler goes; its reading is the sensor's temperature in degrees Celsius.
    double ambientTemperature = 25.0;
    uint64_t seed = 1;                                 // noise seed of the first frame
};

// The coldest the sensor's cooler reaches, in degrees Celsius (set value 0).
constexpr double kColdestCelsius = -20.0;

// Ends every capture and wait, closes all handles, clears scripts and the log, applies config.
void reset(const Config& config = Config());
// The camera model attached, as the cabinet's bring-up tells it; the rest of the configuration,
// the scripts and the log stay. Only while no camera is open (false otherwise).
bool setModel(Model model);
// The sensor of every camera is at this temperature now (a cabinet left standing); the cooler
// goes on from there towards its set-point.
void setSensorTemperature(double celsius);

// Statuses for the next calls of `call`, consumed in order; 1 (TUCAMRET_SUCCESS) lets that call
// run normally. `call` is a function name ("TUCAM_Cap_Start") or a function name and id
// ("TUCAM_Prop_SetValue#16") that matches only calls for that capability, property or item.
// A scripted failure changes nothing in the device.
void scriptResults(const std::string& call, const std::vector<uint32_t>& statuses);
// Every call of `call` fails with `status` until clearScripts().
void failAlways(const std::string& call, uint32_t status);
void clearScripts();

struct CallRecord {
    std::string function;        // "TUCAM_Prop_SetValue"
    std::vector<double> args;    // ids and values in call order (records: their fields)
    std::string text;            // text argument (paths), empty otherwise
    uint32_t status = 0;
};
std::vector<CallRecord> callLog();
// Calls of one function, optionally only those whose first argument is `id`.
std::vector<CallRecord> calls(const std::string& function, int id = -1);
void clearCallLog();

struct DeviceState {
    bool apiInitialised = false;
    bool open = false;
    bool bufferAllocated = false;
    bool capturing = false;
    int pendingWaits = 0;
    int width = 0;               // frame size the buffer holds
    int height = 0;
    int binning = 1;             // sensor pixels per output pixel
    double exposureMs = 0;
    double gain = 0;
    double temperature = 0;      // current sensor temperature
    uint32_t framesDelivered = 0;
    double longestExposureMs = 0;  // of the frames delivered since clearLongestExposure()
};
DeviceState state();
void clearLongestExposure();

// Sensor size of a model, in sensor pixels.
void sensorSize(Model model, int& width, int& height);

} // namespace tucamtest
