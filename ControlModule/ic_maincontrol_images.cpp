#include "ic_maincontrol.h"
#include "audittrailreport.h"
#include "useropts.h"

#include "experimentrecord.h"
#include "gelflow.h"
#include "multflow.h"
#include "wbqiflow.h"
#include "wbtsflow.h"

// Image operations of the current experiment, forwarded to the experiment images; the audit-trail
// report.

QString IC_MainControl::_WBQIGenerateImage()
{
    return images->generateQI(wbQI()->experiment.get());
}

QString IC_MainControl::_WBTSGenerateImage()
{
    return images->generateTS(wbTS()->experiment.get(), ExperimentImages::TsMode::WB);
}

QString IC_MainControl::_GelTsGenerateImage()
{
    return images->generateTS(gel()->experiment.get(), ExperimentImages::TsMode::Gel);
}

QString IC_MainControl::_MultTSGenerateImage()
{
    return images->generateTS(mult()->experiment.get(), ExperimentImages::TsMode::Mult);
}

QString IC_MainControl::_WBQIMergeImage(QVariantList checkedList)
{
    return images->mergeQI(wbQI()->experiment.get(), checkedList);
}

QString IC_MainControl::_WBTSMergeImage(QVariantList checkedList)
{
    return images->mergeTS(wbTS()->experiment.get(), checkedList);
}

QString IC_MainControl::_WBTSColorMergeImage(QString colorImageName, QVariantList checkedList)
{
    return images->colorMergeTS(wbTS()->experiment.get(), colorImageName, checkedList);
}

QString IC_MainControl::_WBTSPesudoMerge(QVariantList checkedList)
{
    return images->pseudoMerge(wbTS()->experiment.get(), checkedList);
}

QString IC_MainControl::_WBQIPseudoColorImage(int imageIndex)
{
    return images->pseudoColorQI(wbQI()->experiment.get(), imageIndex);
}

QString IC_MainControl::_WBTSPseudoColorImage(int imageIndex)
{
    return images->pseudoColorTS(wbTS()->experiment.get(), imageIndex);
}

QString IC_MainControl::_MultTSMergeImage(QVariantList imageNameList)
{
    return images->multMerge(mult()->experiment.get(), imageNameList);
}

QString IC_MainControl::_MultTSStaining(Qt::GlobalColor color, QString imageName)
{
    return images->staining(mult()->experiment.get(), color, imageName);
}

QString IC_MainControl::_GelTSDyeBlue(QString imagePath)
{
    return images->dyeBlue(gel()->experiment.get(), imagePath);
}

bool IC_MainControl::exportAuditTrail(QString fileName, QVariantList listModel, QString infoStr)
{
    return AuditTrailReport::write(fileName, listModel, infoStr, userOpt->lastLoginUser());
}
