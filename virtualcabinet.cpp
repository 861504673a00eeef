#include "virtualcabinet.h"

#include "cabinetstate.h"
#include "pacing.h"
#include "serialportlocator.h"
#include "virtualboard.h"

#include <QDebug>
#include <QString>

#include <cmath>
#include <cstdlib>

double parseTimeScale(const QByteArray& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.constData(), &end);
    return end != text.constData() && std::isfinite(value) && value >= 0.0 ? value : 1.0;
}

void useVirtualCabinet(double timeScale)
{
    vcab::setTimeScale(timeScale);
    pacing::setScale(timeScale);
    SystemSerialPortLocator::setStandIn([] {
        vboard::VirtualBoard& board = vboard::VirtualBoard::processBoard();
        if (board.start())
            return QString::fromStdString(board.slavePath());
        qWarning() << "virtual board could not start";
        return QString();
    });
}
