// Deletion, renaming, experiment folders and the report document, forwarded to the files flow.
#include "ic_maincontrol.h"

#include "experimentrecord.h"
#include "filesflow.h"
#include "gelflow.h"
#include "housekeepingflow.h"
#include "multflow.h"
#include "wbqiflow.h"
#include "wbtsflow.h"

#include <QDebug>
#include <QUrl>

void IC_MainControl::wireFiles()
{
    connect(m_files.get(), &FilesFlow::deleteFinished, this, &IC_MainControl::deleteFinished);
    connect(m_files.get(), &FilesFlow::exportFinished, this, &IC_MainControl::exportFinished);
    connect(m_housekeeping.get(), &HousekeepingFlow::userManualOpenFailed, this, &IC_MainControl::userManualOpenFailed);
    connect(m_housekeeping.get(), &HousekeepingFlow::ffcSwitchedOff, this, &IC_MainControl::ffcSwitchedOff);
}

void IC_MainControl::_WBQIDeleteImage(int j)
{
    m_files->deleteKestrixFrame(wbQI()->experiment.get(), j);
}

void IC_MainControl::_WBTSDeleteImage(int j)
{
    m_files->deleteTucsenFrame(wbTS()->experiment.get(), j);
}

void IC_MainControl::_GelTSDeleteImage(QVariantList indexList)
{
    m_files->deleteGelFrames(indexList, gel()->experiment.get());
}

void IC_MainControl::_MultTSDeleteImage(int j)
{
    m_files->deleteTucsenFrame(mult()->experiment.get(), j);
}

void IC_MainControl::_WBQIDeletePseudoColorImage(QString imageName)
{
    m_files->deleteDerivedImage(wbQI()->experiment.get(), imageName);
}

void IC_MainControl::_WBTSDeletePseudoColorImage(QString imageName)
{
    m_files->deleteDerivedImage(wbTS()->experiment.get(), imageName);
}

void IC_MainControl::_MultTSDeleteColorAMergeImage(QString imageName)
{
    m_files->deleteDerivedImage(mult()->experiment.get(), imageName);
}

bool IC_MainControl::updateImageName(int expMode, QString oriImageSavePath, QString newImageSavePath)
{
    return m_files->updateImageName(expMode, oriImageSavePath, newImageSavePath);
}

void IC_MainControl::deleteFilesAndExps(EnumOBJ::ExpMode expMode, QStringList imageSavePathList)
{
    m_files->deleteFilesAndExps(expMode, imageSavePathList);
}

QVariantMap IC_MainControl::lastDeletion() const
{
    return m_files->lastDeletion();
}

QVariantList IC_MainControl::deleteExps(int expMode, QStringList expNameList)
{
    return m_files->deleteExps(expMode, expNameList);
}

bool IC_MainControl::updateNameAndImgSavePathByUuid(int expMode, QString uuid, QString newName,
                                                    QString oriImageSavePath, QString newImageSavePath)
{
    return m_files->updateNameAndImgSavePathByUuid(expMode, uuid, newName, oriImageSavePath, newImageSavePath);
}

void IC_MainControl::setReportTemplate(const QString& templateFile)
{
    m_files->setReportTemplate(templateFile);
}

void IC_MainControl::exportWPS(QString imageSaveFileName, QString curUserName, QString srcPseudoImageName)
{
    const QString picture = FilesFlow::reportPicturePath();
    exportCurrentImage(QUrl::fromLocalFile(picture).toString(), srcPseudoImageName);
    m_files->exportReport(imageSaveFileName, curUserName, picture);
}
