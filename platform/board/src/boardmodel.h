#pragma once
// What the controller board does with a request: the echo, the change to the cabinet and the
// reports that follow (some at once, some when a motor has finished its travel).

#include "boardprotocol.h"
#include "cabinetstate.h"

#include <QByteArray>

#include <functional>

namespace vboard {

// How the model reaches the line and the clock; the board's I/O thread implements it.
class BoardOutput {
public:
    virtual ~BoardOutput() = default;
    // Queues a frame behind those already waiting.
    virtual void send(const QByteArray& frame) = 0;
    // Runs action on the board thread after delayMs.
    virtual void after(int delayMs, std::function<void()> action) = 0;
};

class BoardModel {
public:
    explicit BoardModel(BoardOutput& out);

    void execute(const Request& request);
    // Reports the spontaneous events of a change of the cabinet, and keeps the timed
    // shut-down running while any lamp is lit.
    void cabinetChanged(const vcab::CabinetSnapshot& before, const vcab::CabinetSnapshot& after);
    // The answer to 0xAA: door, plate, filter and cover.
    QByteArray stateReport() const;

    // Lens travel limits in board units.
    static constexpr int kLensMax = 4095;

private:
    void applyDataByte(quint8 byte, quint8 code);
    void turnFilter(int position);
    void moveLens(int position);
    void armShutDown();

    BoardOutput& m_out;
    int m_shutDownMinutes = 0;
    unsigned m_shutDownGeneration = 0;
    unsigned m_filterGeneration = 0;
    unsigned m_lensGeneration = 0;
};

} // namespace vboard
