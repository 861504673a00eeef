// The Western-blot invokables: each forwards to the flow of its camera.
#include "ic_maincontrol.h"

#include "wbqiflow.h"
#include "wbtsflow.h"

void IC_MainControl::_WBTSPreviewStart()
{
    m_wbTS->previewStart();
}

void IC_MainControl::_WBTSBinChanged(int bin, int preExpTime, int gain)
{
    m_wbTS->binChanged(bin, preExpTime, gain);
}

void IC_MainControl::_WBTSPreExpChanged(double value, bool needAdjust)
{
    m_wbTS->preExpChanged(value, needAdjust);
}

void IC_MainControl::_WBTSPreExpAndGainChanged(double exp, int gain)
{
    m_wbTS->preExpAndGainChanged(exp, gain);
}

void IC_MainControl::_WBTSAtExposure(int aeVal)
{
    m_wbTS->atExposure(aeVal);
}

void IC_MainControl::_WBTSGainChanged(int value)
{
    m_wbTS->gainChanged(value);
}

void IC_MainControl::_WBTSCaptureStart(bool autoCapture)
{
    m_wbTS->captureStart(autoCapture);
}

void IC_MainControl::_WBTSCancelCapture()
{
    m_wbTS->cancelCapture();
}

void IC_MainControl::_WBTSExitExperiment()
{
    m_wbTS->exitExperiment();
}

void IC_MainControl::_WBTSUpdateImageShow(int minInten, int maxInten)
{
    m_wbTS->updateImageShow(minInten, maxInten);
}

double IC_MainControl::_WBTSGetExposure()
{
    return m_wbTS->getExposure();
}

double IC_MainControl::_WBTSGetGain()
{
    return m_wbTS->getGain();
}

double IC_MainControl::_WBTSGetTem()
{
    return m_wbTS->getTem();
}

void IC_MainControl::_WBUpdateExpName(QString newName, QString newImageSavePath)
{
    // Only the flow of the configuration's camera holds an experiment to rename.
    m_wbTS->updateExpName(newName, newImageSavePath);
    m_wbQI->updateExpName(newName, newImageSavePath);
}

void IC_MainControl::_WBTSSetEstimateRoi(double x_percent, double y_percent, double width_percent,
                                         double height_percent)
{
    m_wbTS->setEstimateRoi(x_percent, y_percent, width_percent, height_percent);
}

void IC_MainControl::_WBTSRemoveEstimateRoi()
{
    m_wbTS->removeEstimateRoi();
}

void IC_MainControl::_TSCloseCamAndUnInit()
{
    m_wbTS->closeCamAndUnInit();
}

void IC_MainControl::_WBTSImageListClicked(int index)
{
    m_wbTS->imageListClicked(index);
}

void IC_MainControl::_WBTSUpdateHisShowAndImageShow()
{
    m_wbTS->updateHisShowAndImageShow();
}

void IC_MainControl::_WBQIPreviewStart()
{
    m_wbQI->previewStart();
}

void IC_MainControl::_WBQIBinChanged(int bin, int preExpTime, int gainIndex)
{
    m_wbQI->binChanged(bin, preExpTime, gainIndex);
}

void IC_MainControl::_WBQIPreExpChanged(int value)
{
    m_wbQI->preExpChanged(value);
}

void IC_MainControl::_WBQIGainChanged(int gainIndex)
{
    m_wbQI->gainChanged(gainIndex);
}

void IC_MainControl::_WBQICaptureStart(bool autoCapture)
{
    m_wbQI->captureStart(autoCapture);
}

void IC_MainControl::_WBQICancelCapture()
{
    m_wbQI->cancelCapture();
}

void IC_MainControl::_WBQIExitExperiment()
{
    m_wbQI->exitExperiment();
}

void IC_MainControl::_WBQIUpdateImageShow(int minInten, int maxInten)
{
    m_wbQI->updateImageShow(minInten, maxInten);
}

double IC_MainControl::_WBQIGetTem()
{
    return m_wbQI->getTem();
}

void IC_MainControl::_QICloseCamAndUnInit()
{
    m_wbQI->closeCamAndUnInit();
}

void IC_MainControl::_WBQIImageListClicked(int index)
{
    m_wbQI->imageListClicked(index);
}

void IC_MainControl::_WBQIUpdateHisShowAndImageShow()
{
    m_wbQI->updateHisShowAndImageShow();
}
