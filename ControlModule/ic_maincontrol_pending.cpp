#include "ic_maincontrol.h"

#include "experimentrecord.h"

// Invokables whose flows (Western-blot, gel and multi-fluorescence acquisition, image library,
// exports, reports) are not built yet: each logs and answers with a neutral value, so that a
// page calling one keeps working.

void IC_MainControl::_WBQIPreviewStart()
{
    notAvailable("_WBQIPreviewStart");
}

void IC_MainControl::_WBQIBinChanged(int, int, int)
{
    notAvailable("_WBQIBinChanged");
}

void IC_MainControl::_WBQIPreExpChanged(int)
{
    notAvailable("_WBQIPreExpChanged");
}

void IC_MainControl::_WBQIGainChanged(int)
{
    notAvailable("_WBQIGainChanged");
}

void IC_MainControl::_WBQICaptureStart(bool)
{
    notAvailable("_WBQICaptureStart");
}

void IC_MainControl::_WBQICancelCapture()
{
    notAvailable("_WBQICancelCapture");
}

void IC_MainControl::_WBQIExitExperiment()
{
    notAvailable("_WBQIExitExperiment");
}

double IC_MainControl::_WBQIGetTem()
{
    notAvailable("_WBQIGetTem");
    return 0.0;
}

void IC_MainControl::_QICloseCamAndUnInit()
{
    notAvailable("_QICloseCamAndUnInit");
}

void IC_MainControl::_GelTSPreviewStart()
{
    notAvailable("_GelTSPreviewStart");
}

void IC_MainControl::_GelTSPreviewReStart()
{
    notAvailable("_GelTSPreviewReStart");
}

void IC_MainControl::_GelTSBinChanged(int, int, int)
{
    notAvailable("_GelTSBinChanged");
}

void IC_MainControl::_GelTSPreExpChanged(double, bool)
{
    notAvailable("_GelTSPreExpChanged");
}

void IC_MainControl::_GelTSPreExpAndGainChanged(double, int)
{
    notAvailable("_GelTSPreExpAndGainChanged");
}

void IC_MainControl::_GelTSGainChanged(int)
{
    notAvailable("_GelTSGainChanged");
}

void IC_MainControl::_GelTSAtExposure(int)
{
    notAvailable("_GelTSAtExposure");
}

double IC_MainControl::_GelTSGetExposure()
{
    notAvailable("_GelTSGetExposure");
    return 0.0;
}

double IC_MainControl::_GelTSGetGain()
{
    notAvailable("_GelTSGetGain");
    return 0.0;
}

void IC_MainControl::_GelTSCaptureStart(int)
{
    notAvailable("_GelTSCaptureStart");
}

void IC_MainControl::_GelTSUpdateExpInfo()
{
    notAvailable("_GelTSUpdateExpInfo");
}

void IC_MainControl::_GelTSUpdateExpName(QString, QString)
{
    notAvailable("_GelTSUpdateExpName");
}

void IC_MainControl::_GelTSCancelCapture()
{
    notAvailable("_GelTSCancelCapture");
}

void IC_MainControl::_GelUpdateCurImageName(QString)
{
    notAvailable("_GelUpdateCurImageName");
}

void IC_MainControl::_GelTSROIChanged()
{
    notAvailable("_GelTSROIChanged");
}

void IC_MainControl::_GelTSExitExperiment()
{
    notAvailable("_GelTSExitExperiment");
}

void IC_MainControl::_GelTS20BWExitExperiment()
{
    notAvailable("_GelTS20BWExitExperiment");
}

void IC_MainControl::_GelTS20BWAtFocus()
{
    notAvailable("_GelTS20BWAtFocus");
}

void IC_MainControl::_MultTSPreviewStart()
{
    notAvailable("_MultTSPreviewStart");
}

void IC_MainControl::_MultTSBinChanged(int, int, int)
{
    notAvailable("_MultTSBinChanged");
}

void IC_MainControl::_MultTSPreExpChanged(double, bool)
{
    notAvailable("_MultTSPreExpChanged");
}

void IC_MainControl::_MultTSPreExpAndGainChanged(double, int)
{
    notAvailable("_MultTSPreExpAndGainChanged");
}

void IC_MainControl::_MultTSGainChanged(int)
{
    notAvailable("_MultTSGainChanged");
}

void IC_MainControl::_MultTSAtExposure(int)
{
    notAvailable("_MultTSAtExposure");
}

double IC_MainControl::_MultTSGetExposure()
{
    notAvailable("_MultTSGetExposure");
    return 0.0;
}

double IC_MainControl::_MultTSGetGain()
{
    notAvailable("_MultTSGetGain");
    return 0.0;
}

void IC_MainControl::_MultTSCaptureStart(double, int)
{
    notAvailable("_MultTSCaptureStart");
}

void IC_MainControl::_MultTSUpdateExpInfo()
{
    notAvailable("_MultTSUpdateExpInfo");
}

void IC_MainControl::_MultTSUpdateExpName(QString, QString)
{
    notAvailable("_MultTSUpdateExpName");
}

void IC_MainControl::_MultTSCancelCapture()
{
    notAvailable("_MultTSCancelCapture");
}

void IC_MainControl::_MultUpdateCurImageName(QString)
{
    notAvailable("_MultUpdateCurImageName");
}

void IC_MainControl::_MultTSExitExperiment()
{
    notAvailable("_MultTSExitExperiment");
}

QVariantList IC_MainControl::loadAllDate(int, QString, QString, QString, QString)
{
    notAvailable("loadAllDate");
    return QVariantList();
}

QVariantList IC_MainControl::loadByDate(int, QString, QString, QString)
{
    notAvailable("loadByDate");
    return QVariantList();
}

QVariantList IC_MainControl::deleteExps(int, QStringList)
{
    notAvailable("deleteExps");
    return QVariantList();
}

void IC_MainControl::updateNameAndImgSavePathByUuid(int, QString, QString, QString, QString)
{
    notAvailable("updateNameAndImgSavePathByUuid");
}

QVariantList IC_MainControl::loadExpParamByImageSavePath(int, QString)
{
    notAvailable("loadExpParamByImageSavePath");
    return QVariantList();
}

QStringList IC_MainControl::getDirFilesName(QString)
{
    notAvailable("getDirFilesName");
    return QStringList{QString()};
}

void IC_MainControl::getStandardImage()
{
    notAvailable("getStandardImage");
}

void IC_MainControl::getDarkImage()
{
    notAvailable("getDarkImage");
}

bool IC_MainControl::isFFC()
{
    notAvailable("isFFC");
    return false;
}

void IC_MainControl::setFFC(bool)
{
    notAvailable("setFFC");
}

bool IC_MainControl::isInFFC()
{
    notAvailable("isInFFC");
    return false;
}

void IC_MainControl::setisInFFC(bool)
{
    notAvailable("setisInFFC");
}

void IC_MainControl::calculateFFC()
{
    notAvailable("calculateFFC");
}

void IC_MainControl::resetFFC()
{
    notAvailable("resetFFC");
}

void IC_MainControl::setPercent(int)
{
    notAvailable("setPercent");
}

bool IC_MainControl::isAlreadyFFC()
{
    notAvailable("isAlreadyFFC");
    return false;
}

void IC_MainControl::getStandardImageFor535()
{
    notAvailable("getStandardImageFor535");
}

void IC_MainControl::getDarkImageFor535()
{
    notAvailable("getDarkImageFor535");
}

void IC_MainControl::getStandardImageFor605()
{
    notAvailable("getStandardImageFor605");
}

void IC_MainControl::getDarkImageFor605()
{
    notAvailable("getDarkImageFor605");
}

void IC_MainControl::getStandardImageFor715()
{
    notAvailable("getStandardImageFor715");
}

void IC_MainControl::getDarkImageFor715()
{
    notAvailable("getDarkImageFor715");
}

void IC_MainControl::getStandardImageFor590()
{
    notAvailable("getStandardImageFor590");
}

void IC_MainControl::getDarkImageFor590()
{
    notAvailable("getDarkImageFor590");
}

void IC_MainControl::removeCorrectionData()
{
    notAvailable("removeCorrectionData");
}

void IC_MainControl::setRoi(int, int, int, int)
{
    notAvailable("setRoi");
}

void IC_MainControl::removeSetRoi()
{
    notAvailable("removeSetRoi");
}

void IC_MainControl::clearRoiList()
{
    notAvailable("clearRoiList");
}

void IC_MainControl::openUserManual()
{
    notAvailable("openUserManual");
}

void IC_MainControl::showScreenKeyboard(bool)
{
    notAvailable("showScreenKeyboard");
}

void IC_MainControl::updateExportInfo(QString, QString, QString)
{
    notAvailable("updateExportInfo");
}

void IC_MainControl::setExportFlag(bool)
{
    notAvailable("setExportFlag");
}

void IC_MainControl::exportImage(QVariantList, QString)
{
    notAvailable("exportImage");
}

QString IC_MainControl::_WBQIGenerateImage()
{
    return images->generateQI(wbExp);
}

QString IC_MainControl::_WBTSGenerateImage()
{
    return images->generateTS(wbExp, ExperimentImages::TsMode::WB);
}

QString IC_MainControl::_GelTsGenerateImage()
{
    return images->generateTS(gelExp, ExperimentImages::TsMode::Gel);
}

QString IC_MainControl::_MultTSGenerateImage()
{
    return images->generateTS(multExp, ExperimentImages::TsMode::Mult);
}

QString IC_MainControl::_WBQIMergeImage(QVariantList checkedList)
{
    return images->mergeQI(wbExp, checkedList);
}

QString IC_MainControl::_WBTSMergeImage(QVariantList checkedList)
{
    return images->mergeTS(wbExp, checkedList);
}

QString IC_MainControl::_WBTSColorMergeImage(QString colorImageName, QVariantList checkedList)
{
    return images->colorMergeTS(wbExp, colorImageName, checkedList);
}

QString IC_MainControl::_WBTSPesudoMerge(QVariantList checkedList)
{
    return images->pseudoMerge(wbExp, checkedList);
}

QString IC_MainControl::_WBQIPseudoColorImage(int imageIndex)
{
    return images->pseudoColorQI(wbExp, imageIndex);
}

QString IC_MainControl::_WBTSPseudoColorImage(int imageIndex)
{
    return images->pseudoColorTS(wbExp, imageIndex);
}

QString IC_MainControl::_MultTSMergeImage(QVariantList imageNameList)
{
    return images->multMerge(multExp, imageNameList);
}

QString IC_MainControl::_MultTSStaining(Qt::GlobalColor color, QString imageName)
{
    return images->staining(multExp, color, imageName);
}

QString IC_MainControl::_GelTSDyeBlue(QString imagePath)
{
    return images->dyeBlue(gelExp, imagePath);
}

void IC_MainControl::_WBQIExportImage(QString, int, QString)
{
    notAvailable("_WBQIExportImage");
}

void IC_MainControl::_WBTSExportImage(QString, int, QString)
{
    notAvailable("_WBTSExportImage");
}

void IC_MainControl::_GelTSExportImage(QString, int)
{
    notAvailable("_GelTSExportImage");
}

void IC_MainControl::_MultTSExportImage(QString, int)
{
    notAvailable("_MultTSExportImage");
}

void IC_MainControl::exportImage(QString, QString, int)
{
    notAvailable("exportImage");
}

void IC_MainControl::exportWPS(QString, QString, QString)
{
    notAvailable("exportWPS");
}

void IC_MainControl::_WBQIDeleteImage(int)
{
    notAvailable("_WBQIDeleteImage");
}

void IC_MainControl::_WBTSDeleteImage(int)
{
    notAvailable("_WBTSDeleteImage");
}

void IC_MainControl::_GelTSDeleteImage(QVariantList)
{
    notAvailable("_GelTSDeleteImage");
}

void IC_MainControl::_MultTSDeleteImage(int)
{
    notAvailable("_MultTSDeleteImage");
}

void IC_MainControl::_WBQIDeletePseudoColorImage(QString)
{
    notAvailable("_WBQIDeletePseudoColorImage");
}

void IC_MainControl::_WBTSDeletePseudoColorImage(QString)
{
    notAvailable("_WBTSDeletePseudoColorImage");
}

void IC_MainControl::_MultTSDeleteColorAMergeImage(QString)
{
    notAvailable("_MultTSDeleteColorAMergeImage");
}

void IC_MainControl::updateImageName(int, QString, QString)
{
    notAvailable("updateImageName");
}

void IC_MainControl::deleteFilesAndExps(EnumOBJ::ExpMode, QStringList)
{
    notAvailable("deleteFilesAndExps");
}

void IC_MainControl::updateImageByISP(int, QVariantList)
{
    notAvailable("updateImageByISP");
}

QVariantList IC_MainControl::loadAllImageSavePath()
{
    notAvailable("loadAllImageSavePath");
    return QVariantList();
}

void IC_MainControl::imageEdit(QString, QString)
{
    notAvailable("imageEdit");
}

void IC_MainControl::imagePageEdit(QString)
{
    notAvailable("imagePageEdit");
}

bool IC_MainControl::exportAuditTrail(QString, QVariantList, QString)
{
    notAvailable("exportAuditTrail");
    return false;
}

void IC_MainControl::finishHandle()
{
    notAvailable("finishHandle");
}
