// Pseudo-colour images and their paste, the fluorescence merge, staining and the gel dye.
#include "experimentimages.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "blends.h"
#include "colorops.h"
#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "picturefiles.h"
#include "pseudocolor.h"
#include "useropts.h"

namespace {

const cv::Scalar kBlack(0, 0, 0);
const cv::Scalar kWhite(255, 255, 255);

cv::Mat eightBit(const cv::Mat& grey16)
{
    cv::Mat out;
    grey16.convertTo(out, CV_8U, 1.0 / 256);
    return out;
}

void logSplit(const PseudoSplit& split)
{
    qDebug() << "splitValue:" << split.split << "ratio:" << int(split.ratio);
}

} // namespace

QString ExperimentImages::pseudoColorTS(const ExperimentRecord* record, int imageIndex)
{
    if (!record) {
        qWarning() << "pseudo colour: no current Western-blot experiment";
        return QString();
    }
    const TsFramePtr frame = m_frames->frameAt(imageIndex);
    const std::shared_ptr<TsFrame> copy = frame ? frame->clone() : nullptr;
    if (!copy) {
        qWarning() << "pseudo colour: no image at" << imageIndex << "of" << m_frames->frameCount();
        return QString();
    }
    const std::shared_ptr<const HistogramInfo> info = m_frames->histogramAt(imageIndex);
    if (info && !(info->low == 0 && info->high == 65535))
        H695ICECamCtrl::stretchLevels(copy->record(), info->low, info->high);

    const bool black = backgroundColor() == UserOpts::Black;
    const cv::Mat pixels = copy->view().mat();
    const cv::Mat grey = eightBit(pixels);
    // On a black background strong signal is bright: inverted, it reaches the red end.
    cv::Mat decision = grey;
    if (black) {
        cv::Mat inverted;
        cv::bitwise_not(pixels, inverted);
        decision = eightBit(inverted);
    }
    const PseudoSplit split = pseudoSplit(decision);
    logSplit(split);
    cv::Mat colour = pseudoColor(decision, grey, split, PseudoScale::Tucsen);
    LegendStyle style;
    style.textColor = black ? kWhite : kBlack;
    style.labelColor = style.textColor;
    style.labelThickness = 4;
    if (!drawPseudoColorLegend(colour, style))
        return QString();
    return save(colour, *record, timeName(), QStringLiteral("_Pseudo"));
}

QString ExperimentImages::pseudoColorQI(const ExperimentRecord* record, int imageIndex)
{
    if (!record) {
        qWarning() << "pseudo colour: no current Western-blot experiment";
        return QString();
    }
    KestrixFrame copy = m_qi->frameAt(imageIndex);
    const KestrixFrame marker = m_qi->frameAt(0);
    if (copy.empty() || copy.view().count() != copy.pixels.size()) {
        qWarning() << "pseudo colour: no image at" << imageIndex << "of" << m_qi->frameCount();
        return QString();
    }
    if (marker.width() != copy.width() || marker.height() != copy.height()
        || marker.pixels.size() != copy.pixels.size()) {
        qWarning() << "pseudo colour: the marker frame does not match the image" << marker.width() << marker.height()
                   << copy.width() << copy.height();
        return QString();
    }
    const HistogramInfo info = m_qi->histogramAt(imageIndex);
    if (!info.logHist.empty() && !(info.low == 0 && info.high == 65535))
        m_qi->stretchLevels(copy, info.low, info.high);

    const cv::Mat grey = eightBit(copy.view().mat());
    const PseudoSplit split = pseudoSplit(grey);
    logSplit(split);
    const cv::Mat colour = pseudoColor(grey, grey, split, PseudoScale::Kestrix);
    // The coloured signal over the marker picture.
    cv::Mat blended;
    cv::cvtColor(eightBit(cv::Mat(marker.height(), marker.width(), CV_16UC1,
                                  const_cast<uint16_t*>(marker.pixels.data()))),
                 blended, cv::COLOR_GRAY2BGR);
    if (!screenBlend(blended, colour))
        return QString();
    LegendStyle style;
    style.ticksAndNumbers = false;
    style.labelColor = kBlack;
    style.labelThickness = 3;
    drawPseudoColorLegend(blended, style);
    return save(blended, *record, timeName(), QStringLiteral("_Pseudo"));
}

QString ExperimentImages::pseudoMerge(const ExperimentRecord* record, const QVariantList& checkedList)
{
    if (checkedList.size() != 2) {
        qWarning() << "pseudo merge needs two images, got" << checkedList.size();
        return QString();
    }
    cv::Mat pseudo, base;
    for (const QVariant& entry : checkedList) {
        const QString path = localPath(entry.toString());
        qDebug() << "imageName: " << path;
        const cv::Mat picture = readPicture(path, cv::IMREAD_COLOR);
        if (QFileInfo(path).fileName().contains(QLatin1String("_Pseudo")))
            pseudo = picture;
        else
            base = picture;
    }
    if (pseudo.empty() || base.empty() || pseudo.size() != base.size()) {
        qDebug() << "大小不一致";
        return QString();
    }
    if (!record) {
        qWarning() << "pseudo merge: no current Western-blot experiment";
        return QString();
    }
    pasteColoured(base, pseudo);
    LegendStyle style;
    style.magentaEnd = true;
    style.textColor = cv::mean(base)[0] <= 128 ? kWhite : kBlack;
    style.labelColor = style.textColor;
    style.labelThickness = 6;
    drawPseudoColorLegend(base, style);
    // The user's copy is named as a merge.
    return save(base, *record, timeName(), QStringLiteral("_Pseudo"), QStringLiteral("_Merge"));
}

QString ExperimentImages::multMerge(const ExperimentRecord* record, const QVariantList& imageNameList)
{
    if (!record) {
        qWarning() << "merge: no current multi-fluorescence experiment";
        return QString();
    }
    if (imageNameList.size() < 2 || imageNameList.size() > 5) {
        qWarning() << "merge needs two to five images, got" << imageNameList.size();
        return QString();
    }
    cv::Mat merged;
    for (const QVariant& entry : imageNameList) {
        const QString path = localPath(entry.toString());
        const cv::Mat channel = readChannelPicture(path);
        if (channel.empty())
            return QString();
        if (merged.empty()) {
            merged = channel;
        } else if (!screenBlend(merged, channel)) {
            qWarning() << "merge: image of another size" << path;
            return QString();
        }
    }
    return save(merged, *record, timeName(), QStringLiteral("_Merge"));
}

QString ExperimentImages::staining(const ExperimentRecord* record, Qt::GlobalColor color, const QString& imageName)
{
    if (!record) {
        qWarning() << "staining: no current multi-fluorescence experiment";
        return QString();
    }
    const cv::Mat grey = readPicture(localPath(imageName), cv::IMREAD_GRAYSCALE);
    if (grey.empty())
        return QString();
    cv::Mat stained;
    cv::cvtColor(grey, stained, cv::COLOR_GRAY2BGR);
    if (!stainPicture(stained, QColor(color)))
        return QString();
    return save(stained, *record, timeName(), stainSuffix(color));
}

QString ExperimentImages::dyeBlue(const ExperimentRecord* record, const QString& imagePath)
{
    const QString path = localPath(imagePath);
    qDebug() << "imagePath: " << path;
    cv::Mat picture = readPicture(path, cv::IMREAD_COLOR);
    if (picture.type() != CV_8UC3 || picture.empty()) {
        qDebug() << "染蓝图片类型不为CV_8UC3";
        return QString();
    }
    if (!record) {
        qWarning() << "dye: no current gel experiment";
        return QString();
    }
    const QColor chosen = m_chooseColor(QColor(0, 118, 255),
                                        QCoreApplication::translate("IC_MainControl", "Select Color"));
    if (!chosen.isValid())
        return QString();
    if (!dyePicture(picture, chosen))
        return QString();
    return save(picture, *record, timeName(), QStringLiteral("_color"));
}
