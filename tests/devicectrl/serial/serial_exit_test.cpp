// The program's serial link still serving the line when the application object goes away: the
// link must have ended by then, before the process tears down what it uses. Its own main,
// since the application object's end is the thing under test.

#include "asyncserialportthread.h"
#include "cabinetstate.h"
#include "virtualboard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    vcab::CabinetState::instance().reset();
    vboard::VirtualBoard board;
    if (!board.start()) {
        std::fprintf(stderr, "FAIL: virtual board did not start\n");
        return 1;
    }
    ASyncSerialPortThread* link = nullptr;
    {
        QCoreApplication app(argc, argv);
        link = ASyncSerialPortThread::getInstance();
        link->openPort(QString::fromStdString(board.slavePath()), QSerialPort::Baud1200);
        const QDeadlineTimer deadline(5000);
        while (!link->isRunning() && !deadline.hasExpired())
            QThread::msleep(5);
        if (!link->isRunning()) {
            std::fprintf(stderr, "FAIL: serial link did not start\n");
            return 1;
        }
    }
    if (link->isRunning()) {
        std::fprintf(stderr, "FAIL: serial link still running after the application ended\n");
        return 1;
    }
    std::printf("PASS: serial link ended with the application\n");
    return 0;
}
