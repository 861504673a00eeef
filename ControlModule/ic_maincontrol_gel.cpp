// The gel invokables, forwarded to the gel flow.
#include "ic_maincontrol.h"

#include "gelflow.h"

void IC_MainControl::_GelTSPreviewStart()
{
    m_gel->previewStart();
}

void IC_MainControl::_GelTSPreviewReStart()
{
    m_gel->previewReStart();
}

void IC_MainControl::_GelTSBinChanged(int bin, int preExpTime, int gain)
{
    m_gel->binChanged(bin, preExpTime, gain);
}

void IC_MainControl::_GelTSPreExpChanged(double value, bool needAdjust)
{
    m_gel->preExpChanged(value, needAdjust);
}

void IC_MainControl::_GelTSPreExpAndGainChanged(double exp, int gain)
{
    m_gel->preExpAndGainChanged(exp, gain);
}

void IC_MainControl::_GelTSGainChanged(int value)
{
    m_gel->gainChanged(value);
}

void IC_MainControl::_GelTSAtExposure(int aeVal)
{
    m_gel->atExposure(aeVal);
}

double IC_MainControl::_GelTSGetExposure()
{
    return m_gel->getExposure();
}

double IC_MainControl::_GelTSGetGain()
{
    return m_gel->getGain();
}

void IC_MainControl::_GelTSCaptureStart(int lightType)
{
    m_gel->captureStart(lightType);
}

void IC_MainControl::_GelTSUpdateExpInfo()
{
    m_gel->updateExpInfo();
}

void IC_MainControl::_GelTSUpdateExpName(QString newName, QString newImageSavePath)
{
    m_gel->updateExpName(newName, newImageSavePath);
}

void IC_MainControl::_GelTSUpdateImageShow()
{
    m_gel->updateImageShow();
}

void IC_MainControl::_GelTSCancelCapture()
{
    m_gel->cancelCapture();
}

void IC_MainControl::_GelUpdateCurImageName(QString imageName)
{
    m_gel->updateCurImageName(imageName);
}

void IC_MainControl::_GelTSROIChanged()
{
    m_gel->roiChanged();
}

void IC_MainControl::_GelTSExitExperiment()
{
    m_gel->exitExperiment();
}

void IC_MainControl::_GelTS20BWExitExperiment()
{
    m_gel->exitExperiment20BW();
}

void IC_MainControl::_GelTS20BWOpenBlueLight(int percent)
{
    m_gel->openBlueLight20BW(percent);
}

void IC_MainControl::_GelTS20BWAtFocus()
{
    m_gel->atFocus20BW();
}

void IC_MainControl::requestBoardType()
{
    m_gel->requestBoardType();
}

void IC_MainControl::_GelTS20BWReleaseDoor()
{
    m_gel->releaseDoor20BW();
}

void IC_MainControl::_GelTS20BWSetAverageGrayThd(int value)
{
    m_gel->setAverageGrayThd20BW(value);
}

void IC_MainControl::_GelTSImageListClicked(int index)
{
    m_gel->imageListClicked(index);
}

void IC_MainControl::_GelTSUpdateHisShowAndImageShow()
{
    m_gel->updateHisShowAndImageShow();
}
