#pragma once
// The virtual cabinet's physical state: one process-wide object shared by the
// board emulator (which changes it) and the camera stand-ins (which image it).
// Plain C++ so that the camera driver stand-in can link it without Qt.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace vcab {

// One bit per lamp unit the board can switch; the names follow the board's data bytes.
enum LampBit : uint32_t {
    LampPower = 1u << 0,        // 0x01 / 0xC1
    LampSource = 1u << 1,       // 0x02 / 0xC2
    LampUV302_1 = 1u << 2,      // 0x03
    LampUV302_2 = 1u << 3,      // 0x04
    LampUV254 = 1u << 4,        // 0x05
    LampUV365 = 1u << 5,        // 0x06
    LampRed = 1u << 6,          // 0x07
    LampGreen = 1u << 7,        // 0x08
    LampBlue = 1u << 8,         // 0x09
    LampNIR740 = 1u << 9,       // 0x0A
    LampNIR660 = 1u << 10,      // 0x1B
    LampMiniWhite = 1u << 11,   // 0x20
    LampMiniUV = 1u << 12,      // 0x22
    LampMiniBlue = 1u << 13,    // 0x24
    LampRedLight = 1u << 14,    // 0x26
    LampGreenLight = 1u << 15,  // 0x28
    LampBlueLight = 1u << 16,   // 0x2A
    LampWhiteLight = 1u << 17,  // 0x2C
};

enum PlateType : int {
    PlateWhite = 0xA1,
    PlateUV = 0xA2,
    PlateBlue = 0xA3,
    PlateBlack = 0xA4,
    PlateNone = 0xA5,
};

struct CabinetSnapshot {
    bool doorOpen = false;
    bool coverPlaced = false;       // gel-cutting cover
    uint32_t lamps = 0;             // LampBit set
    int bluePercent = 100;          // blue-light brightness of the small cabinet, 0..100
    int filterPos = 0;              // filter wheel position 0..7 (0 = no filter)
    bool filterTurning = false;
    int serialFocus = 0;            // focus position of the board-driven lens
    int serialZoom = 0;             // zoom position of the board-driven lens
    int smbusFocus = 0;             // focus register of the SMBus lens
    int smbusZoom = 0;              // zoom register of the SMBus lens
    int bestFocus = 0;              // lens position at which the scene is sharp
    bool fixedLens = false;         // a lens turned by hand and left in focus: no motor moves it
    int plateType = PlateWhite;
    bool tempAlarm = false;
};

class CabinetState {
public:
    using Listener = std::function<void(const CabinetSnapshot& before, const CabinetSnapshot& after)>;

    static CabinetState& instance();

    CabinetSnapshot snapshot() const;
    // Applies a change atomically, then tells the listeners when anything changed. Listeners must not block.
    void update(const std::function<void(CabinetSnapshot&)>& change);
    void reset(const CabinetSnapshot& to = CabinetSnapshot());

    int addListener(Listener listener);
    void removeListener(int id);

private:
    CabinetState() = default;
    mutable std::mutex m_mutex;
    CabinetSnapshot m_state;
    std::recursive_mutex m_listenerMutex;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nextListenerId = 1;
};

// Lens position of the cabinet's own lens that the board-side cameras see: the board-driven
// lens, or best focus when the lens is fixed.
int boardLensPosition(const CabinetSnapshot& cabinet);

// Factor applied to every physical time of the virtual cabinet: 1 until the one who chooses the
// cabinet (start-up, a test's fixture) hands another in; a negative or non-finite one counts as 1.
void setTimeScale(double scale);
double timeScale();
// Milliseconds scaled by timeScale(), at least 0.
int scaledMs(double ms);

} // namespace vcab
