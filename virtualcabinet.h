#pragma once
// The virtual cabinet stands in for the hardware this machine lacks: the controller board behind
// a pseudo-terminal, the camera drivers, the SMBus lens bridge. It is chosen once per process, at
// start-up (startup.cpp) or by a test's fixture, and handed in; the program's own code never
// reaches for it.

#include <QByteArray>

// The time scale as TAVRILL_TIME_SCALE writes it: 1 when empty, not a number or negative.
double parseTimeScale(const QByteArray& text);

// Hands the virtual cabinet in: its time scale to the stand-ins and to the program's pauses
// (pacing), and its board to the port search for when no real board is plugged in (the board
// starts on that first need).
void useVirtualCabinet(double timeScale);
