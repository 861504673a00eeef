#pragma once
// The cabinet's controller board, emulated on the master side of a pseudo-terminal. The program
// opens slavePath() with a real QSerialPort at the board's framing (1200 baud, 8N1) and cannot
// tell it from the board behind a USB serial adapter. The board runs in its own thread and acts
// on the shared cabinet state (vcab::CabinetState).

#include <cstdint>
#include <memory>
#include <string>

namespace vboard {

class BoardCore;

class VirtualBoard {
public:
    // USB product identifier under which the board's pseudo-terminal is listed.
    static constexpr uint16_t kProductId = 0x7523;

    VirtualBoard();
    ~VirtualBoard();
    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    // Opens the pseudo-terminal and starts the board thread; true when running (also when it
    // already was). False when no pseudo-terminal can be had.
    bool start();
    // Stops the thread and closes the pseudo-terminal; the program's port then fails.
    void stop();
    bool isRunning() const;
    // Path of the terminal the program opens, e.g. "/dev/pts/7"; empty before start().
    std::string slavePath() const;

    // The board of the program itself, started by the port locator on first need.
    static VirtualBoard& processBoard();

private:
    friend class BoardTestControl;
    std::unique_ptr<BoardCore> d;
};

} // namespace vboard
