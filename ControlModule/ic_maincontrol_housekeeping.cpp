// Flat field, region, manual and keyboard, forwarded to the housekeeping flow.
#include "ic_maincontrol.h"

#include "housekeepingflow.h"

void IC_MainControl::getStandardImage()
{
    m_housekeeping->getReferenceImage(0);
}

void IC_MainControl::getDarkImage()
{
    m_housekeeping->getReferenceImage(1);
}

void IC_MainControl::getStandardImageFor535()
{
    m_housekeeping->getReferenceImage(2);
}

void IC_MainControl::getDarkImageFor535()
{
    m_housekeeping->getReferenceImage(3);
}

void IC_MainControl::getStandardImageFor605()
{
    m_housekeeping->getReferenceImage(4);
}

void IC_MainControl::getDarkImageFor605()
{
    m_housekeeping->getReferenceImage(5);
}

void IC_MainControl::getStandardImageFor715()
{
    m_housekeeping->getReferenceImage(6);
}

void IC_MainControl::getDarkImageFor715()
{
    m_housekeeping->getReferenceImage(7);
}

void IC_MainControl::getStandardImageFor590()
{
    m_housekeeping->getReferenceImage(8);
}

void IC_MainControl::getDarkImageFor590()
{
    m_housekeeping->getReferenceImage(9);
}

bool IC_MainControl::isFFC()
{
    return m_housekeeping->isFFC();
}

void IC_MainControl::setFFC(bool state)
{
    m_housekeeping->setFFC(state);
}

bool IC_MainControl::isInFFC()
{
    return m_housekeeping->isInFFC();
}

void IC_MainControl::setisInFFC(bool state)
{
    m_housekeeping->setisInFFC(state);
}

void IC_MainControl::calculateFFC()
{
    m_housekeeping->calculateFFC();
}

void IC_MainControl::resetFFC()
{
    m_housekeeping->resetFFC();
}

void IC_MainControl::setPercent(int percent)
{
    m_housekeeping->setPercent(percent);
}

bool IC_MainControl::isAlreadyFFC()
{
    return m_housekeeping->isAlreadyFFC();
}

void IC_MainControl::reloadFFC()
{
    m_housekeeping->reloadFFC();
}

void IC_MainControl::switchOffFFC()
{
    m_housekeeping->switchOffFFC();
}

void IC_MainControl::removeCorrectionData()
{
    m_housekeeping->removeCorrectionData();
}

void IC_MainControl::setRoi(int x, int y, int width, int height)
{
    m_housekeeping->setRoi(x, y, width, height);
}

void IC_MainControl::removeSetRoi()
{
    m_housekeeping->removeSetRoi();
}

void IC_MainControl::clearRoiList()
{
    m_housekeeping->clearRoiList();
}

void IC_MainControl::openUserManual()
{
    m_housekeeping->openUserManual();
}

void IC_MainControl::showScreenKeyboard(bool show)
{
    m_housekeeping->showScreenKeyboard(show);
}
