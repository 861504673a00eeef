#include "ic_maincontrol.h"

// Invokables whose work (image operations, image library, exports, reports) is not built yet:
// each logs and answers with a neutral value, so that a page calling one keeps working.

void IC_MainControl::exportImage(QVariantList, QString)
{
    notAvailable("exportImage");
}

QString IC_MainControl::_WBQIGenerateImage()
{
    notAvailable("_WBQIGenerateImage");
    return QString();
}

QString IC_MainControl::_WBTSGenerateImage()
{
    notAvailable("_WBTSGenerateImage");
    return QString();
}

QString IC_MainControl::_GelTsGenerateImage()
{
    notAvailable("_GelTsGenerateImage");
    return QString();
}

QString IC_MainControl::_MultTSGenerateImage()
{
    notAvailable("_MultTSGenerateImage");
    return QString();
}

QString IC_MainControl::_WBQIMergeImage(QVariantList)
{
    notAvailable("_WBQIMergeImage");
    return QString();
}

QString IC_MainControl::_WBTSMergeImage(QVariantList)
{
    notAvailable("_WBTSMergeImage");
    return QString();
}

QString IC_MainControl::_WBTSColorMergeImage(QString, QVariantList)
{
    notAvailable("_WBTSColorMergeImage");
    return QString();
}

QString IC_MainControl::_WBTSPesudoMerge(QVariantList)
{
    notAvailable("_WBTSPesudoMerge");
    return QString();
}

QString IC_MainControl::_WBQIPseudoColorImage(int)
{
    notAvailable("_WBQIPseudoColorImage");
    return QString();
}

QString IC_MainControl::_WBTSPseudoColorImage(int)
{
    notAvailable("_WBTSPseudoColorImage");
    return QString();
}

QString IC_MainControl::_MultTSMergeImage(QVariantList)
{
    notAvailable("_MultTSMergeImage");
    return QString();
}

QString IC_MainControl::_MultTSStaining(Qt::GlobalColor, QString)
{
    notAvailable("_MultTSStaining");
    return QString();
}

QString IC_MainControl::_GelTSDyeBlue(QString)
{
    notAvailable("_GelTSDyeBlue");
    return QString();
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
