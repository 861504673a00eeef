// The multi-fluorescence invokables, forwarded to the multi-fluorescence flow.
#include "ic_maincontrol.h"

#include "multflow.h"

void IC_MainControl::_MultTSPreviewStart()
{
    m_mult->previewStart();
}

void IC_MainControl::_MultTSBinChanged(int bin, int preExpTime, int gain)
{
    m_mult->binChanged(bin, preExpTime, gain);
}

void IC_MainControl::_MultTSPreExpChanged(double value, bool needAdjust)
{
    m_mult->preExpChanged(value, needAdjust);
}

void IC_MainControl::_MultTSPreExpAndGainChanged(double exp, int gain)
{
    m_mult->preExpAndGainChanged(exp, gain);
}

void IC_MainControl::_MultTSGainChanged(int value)
{
    m_mult->gainChanged(value);
}

void IC_MainControl::_MultTSAtExposure(int aeVal)
{
    m_mult->atExposure(aeVal);
}

double IC_MainControl::_MultTSGetExposure()
{
    return m_mult->getExposure();
}

double IC_MainControl::_MultTSGetGain()
{
    return m_mult->getGain();
}

void IC_MainControl::_MultTSCaptureStart(double expCap, int lightType)
{
    m_mult->captureStart(expCap, lightType);
}

void IC_MainControl::_MultTSUpdateExpInfo()
{
    m_mult->updateExpInfo();
}

void IC_MainControl::_MultTSUpdateExpName(QString newName, QString newImageSavePath)
{
    m_mult->updateExpName(newName, newImageSavePath);
}

void IC_MainControl::_MultTSCancelCapture()
{
    m_mult->cancelCapture();
}

void IC_MainControl::_MultUpdateCurImageName(QString imageName)
{
    m_mult->updateCurImageName(imageName);
}

void IC_MainControl::_MultTSUpdateImageShow(int minInten, int maxInten)
{
    m_mult->updateImageShow(minInten, maxInten);
}

void IC_MainControl::_MultTSExitExperiment()
{
    m_mult->exitExperiment();
}

void IC_MainControl::_MultTSImageListClicked(int index)
{
    m_mult->imageListClicked(index);
}

void IC_MainControl::_MultTSUpdateHisShowAndImageShow()
{
    m_mult->updateHisShowAndImageShow();
}
