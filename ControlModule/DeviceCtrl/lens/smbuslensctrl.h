#pragma once
// Driver of the motorised lens behind the USB-to-SMBus bridge: one process-wide bridge handle
// and a cache of the lens registers. Every call returns the bridge's status, 0 for success;
// waitStatusBit adds 80 (busy bit never rose) and 81 (it did not fall in time). Not locked:
// callers run one lens operation at a time.

#include <cstdint>
#include <string>
#include <vector>

#include <QString>

namespace SmbusLensCtrl {

constexpr int kStatusBitHigh = 80;
constexpr int kStatusBitLow = 81;
// Refused move or initialisation: the lens reported a focus speed of 0, or a target that is
// no 16-bit position.
constexpr int kInvalidParameter = 4;

// A target the lens register can hold; anything else would wrap to another position.
inline bool isPosition(int target) { return target >= 0 && target <= 0xFFFF; }

int getNumDevices(uint32_t& count);
int getSerialString(uint32_t index, std::string& serial);
int open(uint32_t index);
int close();
int configure();
// Reads count bytes (1 to 512) of register `reg` into the read buffer.
int readRegister(uint16_t reg, int count);
int writeRegister(uint16_t reg, uint16_t value);
int readFocusLimits();
int setFocusParam(uint16_t value);
int initFocus();
int moveFocus(uint16_t target);
int waitStatusBit(uint16_t reg, uint16_t mask, int limit);
QString errorText(int code);

// Fall-phase limit of a move over `distance` positions: max(2000, distance * 1100 / speed).
// -1 for a speed of 0.
int moveLimit(int distance, uint16_t speed);

// Cache of the lens registers.
uint16_t focusPosition();
uint16_t focusMin();
uint16_t focusMax();
uint16_t focusSpeed();
uint16_t register0044();
// Bytes of the latest register read, first byte first; a 16-bit value is readValue().
const std::vector<uint8_t>& readBuffer();
uint16_t readValue();

} // namespace SmbusLensCtrl
