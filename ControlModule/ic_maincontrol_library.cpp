// The image library, exports and the image-analysis hand-off, forwarded to the library flow.
#include "ic_maincontrol.h"

#include "apppaths.h"
#include "gelflow.h"
#include "libraryflow.h"
#include "multflow.h"

#include <QFileInfo>
#include <QUrl>

void IC_MainControl::wireLibrary()
{
    LibraryFlow* flow = m_library.get();
    connect(flow, &LibraryFlow::updateListView, this, &IC_MainControl::updateListView);
    connect(flow, &LibraryFlow::closeLoadingDialog, this, &IC_MainControl::closeLoadingDialog);
    connect(flow, &LibraryFlow::sig_exportCount, this, &IC_MainControl::sig_exportCount);
    connect(flow, &LibraryFlow::sig_exportBreak, this, &IC_MainControl::sig_exportBreak);
    connect(flow, &LibraryFlow::sig_exportFailed, this, &IC_MainControl::sig_exportFailed);
}

QVariantList IC_MainControl::loadAllDate(int expMode, QString userName, QString name, QString startDate,
                                         QString endDate)
{
    return m_library->loadAllDate(expMode, userName, name, startDate, endDate);
}

QVariantList IC_MainControl::loadByDate(int expMode, QString date, QString userName, QString name)
{
    return m_library->loadByDate(expMode, date, userName, name);
}

QVariantList IC_MainControl::loadExpParamByImageSavePath(int expMode, QString imageSavePath)
{
    return m_library->loadExpParamByImageSavePath(expMode, imageSavePath);
}

QStringList IC_MainControl::getDirFilesName(QString dirPath)
{
    return m_library->getDirFilesName(dirPath);
}

void IC_MainControl::updateImageByISP(int index, QVariantList imageSavePathList)
{
    m_library->updateImageByISP(index, imageSavePathList);
}

QVariantList IC_MainControl::loadAllImageSavePath()
{
    return m_library->loadAllImageSavePath();
}

void IC_MainControl::updateExportInfo(QString curBinning, QString curExposure, QString curGain)
{
    m_library->updateExportInfo(curBinning, curExposure, curGain);
}

void IC_MainControl::setExportFlag(bool flag)
{
    m_library->setExportFlag(flag);
}

void IC_MainControl::exportImage(QVariantList selectedImageNameList, QString imageSaveFolder)
{
    m_library->exportImage(selectedImageNameList, imageSaveFolder, m_expMode);
}

bool IC_MainControl::exportImage(QString fileName, QString imageSaveFileName, int index)
{
    return m_library->exportStored(fileName, imageSaveFileName, index);
}

bool IC_MainControl::_WBQIExportImage(QString imageSaveFileName, int index, QString srcPseudoImageName)
{
    return m_library->exportWBQI(imageSaveFileName, index, srcPseudoImageName);
}

bool IC_MainControl::_WBTSExportImage(QString imageSaveFileName, int index, QString srcPseudoImageName)
{
    return m_library->exportWBTS(imageSaveFileName, index, srcPseudoImageName);
}

bool IC_MainControl::_GelTSExportImage(QString imageSaveFileName, int index)
{
    return m_library->exportGel(gel()->curGelImageName, imageSaveFileName, index);
}

bool IC_MainControl::_MultTSExportImage(QString imageSaveFileName, int index)
{
    return m_library->exportMult(mult()->curMultImageName, imageSaveFileName, index);
}

void IC_MainControl::askOverwrite(QString fileName)
{
    m_library->askOverwrite(fileName);
}

void IC_MainControl::imageEdit(QString fileName, QString srcPseudoImageName)
{
    // Only the name is used: the picture is the page's current one, exported beside the program.
    const QString target = AppPaths::appDir() + QLatin1Char('/') + QFileInfo(fileName).fileName();
    const bool exported = exportCurrentImage(QUrl::fromLocalFile(target).toString(), srcPseudoImageName);
    const int kind = exported && (m_expMode == EnumOBJ::WB || m_expMode == EnumOBJ::Mult) ? 1 : 0;
    m_library->startAnalysis(target, kind);
}

bool IC_MainControl::exportCurrentImage(const QString& url, const QString& srcPseudoImageName)
{
    const bool kestrix = authorityType() == EnumOBJ::WBQI;
    const bool tucsen = !kestrix && authorityType() < EnumOBJ::Unknow_AuthorityType;
    if (kestrix && m_expMode == EnumOBJ::WB)
        return _WBQIExportImage(url, 0, srcPseudoImageName);
    if (tucsen && m_expMode == EnumOBJ::Gel)
        return _GelTSExportImage(url, 0);
    if (tucsen && m_expMode == EnumOBJ::WB)
        return _WBTSExportImage(url, 0, srcPseudoImageName);
    if (tucsen && m_expMode == EnumOBJ::Mult)
        return _MultTSExportImage(url, 0);
    return false;
}

bool IC_MainControl::imagePageEdit(QString imageName)
{
    return m_library->startAnalysis(imageName, m_library->analysisKind(m_expMode));
}
