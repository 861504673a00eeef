// Generated, merged and colour-merged frames, and what every operation shares: the two copies,
// the time names and the seams.
#include "experimentimages.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>

#include <opencv2/core.hpp>

#include "experimentrecord.h"
#include "h695icecamctrl.h"
#include "kestrixctrl.h"
#include "picturefiles.h"
#include "useropts.h"

namespace {

// An index of the page's list, or -1 for anything that is not a whole number.
int indexAt(const QVariantList& list, int at)
{
    if (at >= list.size())
        return -1;
    bool ok = false;
    const int index = list.at(at).toInt(&ok);
    return ok ? index : -1;
}

bool fullRange(int low, int high)
{
    return low == 0 && high == 65535;
}

bool sameSize(const FrameView& a, const FrameView& b)
{
    return a.width == b.width && a.height == b.height;
}

} // namespace

ExperimentImages::ExperimentImages(H695ICECamCtrl* ts, KestrixCtrl* qi, UserOpts* opts, QObject* parent)
    : QObject(parent)
    , m_ts(ts)
    , m_frames(&ts->frameStore())
    , m_qi(qi)
    , m_opts(opts)
    , m_chooseColor([](const QColor& initial, const QString& title) {
        return QColorDialog::getColor(initial, nullptr, title);
    })
{
}

void ExperimentImages::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void ExperimentImages::setColorChooser(std::function<QColor(const QColor&, const QString&)> chooser)
{
    m_chooseColor = std::move(chooser);
}

QString ExperimentImages::timeName() const
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    return now.toString(QStringLiteral("hh-mm-ss-zzz"));
}

int ExperimentImages::backgroundColor()
{
    m_opts->loadUserOptsByName(UserOpts::OPT_SampleImageBkColor);
    return int(m_opts->sampleImageBkColor());
}

QString ExperimentImages::save(const cv::Mat& picture, const ExperimentRecord& record, const QString& time,
                               const QString& suffix, const QString& mirrorSuffix)
{
    m_opts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
    const QString mirror = mirrorFolder(m_opts->imageSavePath(), record.date, record.name);
    const QString name = time + suffix + QStringLiteral(".tif");
    const QString mirrorName = time + (mirrorSuffix.isEmpty() ? suffix : mirrorSuffix) + QStringLiteral(".tif");
    const QString path = saveTwoCopies(picture, record.imageSavePath, name, mirror, mirrorName);
    if (path.isEmpty())
        qWarning() << "picture not written:" << QDir(record.imageSavePath).filePath(name);
    return path;
}

// The Western-blot signal frames are sharpened like the capture's own: in a single capture the
// frame after the marker (or the only one), in a multiple capture every frame up to the count.
bool ExperimentImages::wbTSSharpens(int index) const
{
    if (m_ts->singleCaptureVisible)
        return index == (m_opts->markerCapture() ? 0 : 1);
    return index <= m_opts->multiCapCount();
}

QString ExperimentImages::generateTS(const ExperimentRecord* record, TsMode mode)
{
    if (!record) {
        qWarning() << "generate: no current experiment";
        return QString();
    }
    const int index = m_frames->currentImageIndex;
    const TsFramePtr frame = m_frames->frameAt(index);
    const std::shared_ptr<TsFrame> copy = frame ? frame->clone() : nullptr;
    if (!copy) {
        qWarning() << "generate: no image at index" << index << "of" << m_frames->frameCount();
        return QString();
    }
    H695ICECamCtrl::stretchLevels(copy->record(), m_frames->stretchLow, m_frames->stretchHigh);
    if (mode == TsMode::WB && wbTSSharpens(index))
        m_ts->sharpen16U(copy->record(), backgroundColor() == UserOpts::Black);

    const QString path = save(copy->view().mat(), *record, timeName(), QStringLiteral("_Gen"));
    if (path.isEmpty())
        return path;
    HistogramInfo info;
    H695ICECamCtrl::computeLogHistogram(copy->record(), info);
    m_frames->setFrameFileName(m_frames->appendFrame(copy), path.section(QLatin1Char('/'), -1));
    m_frames->appendHistogram(std::move(info));
    if (mode != TsMode::WB) {
        m_frames->stretchLow = 0;
        m_frames->stretchHigh = 65535;
    }
    return path;
}

QString ExperimentImages::generateQI(const ExperimentRecord* record)
{
    if (!record) {
        qWarning() << "generate: no current experiment";
        return QString();
    }
    const int index = m_qi->curImageIndex;
    KestrixFrame copy = m_qi->frameAt(index);
    if (copy.empty() || copy.view().count() != copy.pixels.size()) {
        qWarning() << "generate: no image at index" << index << "of" << m_qi->frameCount();
        return QString();
    }
    m_qi->stretchLevels(copy, m_qi->stretchLow, m_qi->stretchHigh);
    const QString path = save(copy.view().mat(), *record, timeName(), QStringLiteral("_Gen"));
    if (path.isEmpty())
        return path;
    HistogramInfo levels;
    m_qi->autoLevels(copy, levels);
    m_qi->setFrameFileName(m_qi->appendFrame(std::move(copy)), path.section(QLatin1Char('/'), -1));
    m_qi->appendHistogram(std::move(levels));
    return path;
}

QString ExperimentImages::mergeTS(const ExperimentRecord* record, const QVariantList& checkedList)
{
    if (!record) {
        qWarning() << "merge: no current experiment";
        return QString();
    }
    const int a = indexAt(checkedList, 0), b = indexAt(checkedList, 1);
    const TsFramePtr fa = m_frames->frameAt(a), fb = m_frames->frameAt(b);
    if (!fa || !fb) {
        qWarning() << "merge: no images at" << checkedList << "of" << m_frames->frameCount();
        return QString();
    }
    if (!sameSize(fa->view(), fb->view())) {
        qWarning() << "merge: images of different sizes" << fa->width() << fa->height() << fb->width() << fb->height();
        return QString();
    }
    const std::shared_ptr<TsFrame> ca = fa->clone(), cb = fb->clone();
    if (!ca || !cb)
        return QString();
    const bool autoStretch = m_opts->isAutoStretch();
    const std::pair<int, std::shared_ptr<TsFrame>> inputs[] = {{a, ca}, {b, cb}};
    for (const auto& input : inputs) {
        const std::shared_ptr<const HistogramInfo> info = m_frames->histogramAt(input.first);
        if (info && autoStretch && !fullRange(info->low, info->high))
            H695ICECamCtrl::stretchLevels(input.second->record(), info->low, info->high);
    }
    if (!m_ts->multiplyImage(ca->record(), cb->record()))
        return QString();

    const QString path = save(ca->view().mat(), *record, timeName(), QStringLiteral("_Merge"));
    if (path.isEmpty())
        return path;
    HistogramInfo info;
    H695ICECamCtrl::computeLogHistogram(ca->record(), info);
    m_frames->setFrameFileName(m_frames->appendFrame(ca), path.section(QLatin1Char('/'), -1));
    m_frames->appendHistogram(std::move(info));
    return path;
}

QString ExperimentImages::mergeQI(const ExperimentRecord* record, const QVariantList& checkedList)
{
    if (!record) {
        qWarning() << "merge: no current experiment";
        return QString();
    }
    const int a = indexAt(checkedList, 0), b = indexAt(checkedList, 1);
    KestrixFrame ca = m_qi->frameAt(a), cb = m_qi->frameAt(b);
    if (ca.empty() || cb.empty()) {
        qWarning() << "merge: no images at" << checkedList << "of" << m_qi->frameCount();
        return QString();
    }
    if (!sameSize(ca.view(), cb.view()) || ca.view().count() != ca.pixels.size()
        || cb.view().count() != cb.pixels.size()) {
        qWarning() << "merge: images of different sizes" << ca.width() << ca.height() << cb.width() << cb.height();
        return QString();
    }
    const std::pair<int, KestrixFrame*> inputs[] = {{a, &ca}, {b, &cb}};
    for (const auto& input : inputs) {
        const HistogramInfo info = m_qi->histogramAt(input.first);
        if (!fullRange(info.low, info.high) && !info.logHist.empty())
            m_qi->stretchLevels(*input.second, info.low, info.high);
    }
    if (!m_qi->multiplyImage(ca, cb))
        return QString();

    const QString path = save(ca.view().mat(), *record, timeName(), QStringLiteral("_Merge"));
    if (path.isEmpty())
        return path;
    HistogramInfo levels;
    m_qi->autoLevels(ca, levels);
    m_qi->setFrameFileName(m_qi->appendFrame(std::move(ca)), path.section(QLatin1Char('/'), -1));
    m_qi->appendHistogram(std::move(levels));
    return path;
}

QString ExperimentImages::colorMergeTS(const ExperimentRecord* record, const QString& colorImageName,
                                       const QVariantList& checkedList)
{
    qDebug() << "colorImageName: " << colorImageName;
    qDebug() << "checkList: " << (checkedList.isEmpty() ? QVariant() : checkedList.first());
    if (!record) {
        qWarning() << "colour merge: no current experiment";
        return QString();
    }
    const int index = indexAt(checkedList, 0);
    const TsFramePtr frame = m_frames->frameAt(index);
    const std::shared_ptr<TsFrame> copy = frame ? frame->clone() : nullptr;
    if (!copy) {
        qWarning() << "colour merge: no image at" << index << "of" << m_frames->frameCount();
        return QString();
    }
    const cv::Mat colour = readPicture(localPath(colorImageName));
    if (colour.type() != CV_8UC3 || colour.cols != copy->width() || colour.rows != copy->height()) {
        qWarning() << "colour merge: the colour image is no 8-bit colour picture of the frame's size" << colour.cols
                   << colour.rows << colour.type() << copy->width() << copy->height();
        return QString();
    }
    const std::shared_ptr<const HistogramInfo> info = m_frames->histogramAt(index);
    if (info && m_opts->isAutoStretch() && !fullRange(info->low, info->high))
        H695ICECamCtrl::stretchLevels(copy->record(), info->low, info->high);
    cv::Mat merged;
    if (!m_ts->toColorImage(copy->record(), colour, merged))
        return QString();
    return save(merged, *record, timeName(), QStringLiteral("_Merge"));
}
