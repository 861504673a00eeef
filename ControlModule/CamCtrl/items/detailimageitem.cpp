#include "detailimageitem.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPen>

#include <opencv2/imgproc.hpp>

#include "blends.h"
#include "displayimage.h"
#include "h695icecamctrl.h"
#include "histograminfo.h"
#include "ic_maincontrol.h"
#include "imagerefresh.h"
#include "picturefiles.h"
#include "picturelevels.h"
#include "regionofinterest.h"
#include "useropts.h"

namespace {

// An empty matrix reports type CV_8UC1: it is no picture at all.
bool isGrey(const cv::Mat& m)
{
    return !m.empty() && (m.type() == CV_8UC1 || m.type() == CV_16UC1);
}

// What the detail view shows and writes: grey pictures and 8-bit colour ones.
bool isShownType(const cv::Mat& m)
{
    return !m.empty() && (isGrey(m) || m.type() == CV_8UC3);
}

// 8-bit BGR of a shown picture: the high byte of 16-bit grey values, 8-bit grey expanded.
cv::Mat eightBitColour(cv::Mat& picture)
{
    cv::Mat grey;
    if (picture.type() == CV_16UC1) {
        cv::Mat packed = picture.isContinuous() ? picture : picture.clone();
        grey = highByteImage(FrameView::of(packed));
    } else if (picture.type() == CV_8UC1) {
        grey = picture;
    } else if (picture.type() == CV_8UC3) {
        return picture;
    }
    cv::Mat bgr;
    if (!grey.empty())
        cv::cvtColor(grey, bgr, cv::COLOR_GRAY2BGR);
    return bgr;
}

const char* exportFormat(int suffix)
{
    switch (suffix) {
    case 2: return "BMP";
    case 3: return "JPG";
    case 4: return "PNG";
    default: return nullptr;
    }
}

} // namespace

DetailImageItem::DetailImageItem(QQuickItem* parent)
    : DetailImageItem(H695ICECamCtrl::getInstance(), UserOpts::getInstance(), parent)
{
}

DetailImageItem::DetailImageItem(H695ICECamCtrl* camCtrl, UserOpts* opts, QQuickItem* parent)
    : QQuickPaintedItem(parent)
    , m_camCtrl(camCtrl)
    , m_opts(opts)
    , m_warn([](const QString& title, const QString& text) { QMessageBox::warning(nullptr, title, text); })
{
    qRegisterMetaType<cv::Mat>("cv::Mat");
    setFlag(ItemHasContents, true);
}

DetailImageItem::~DetailImageItem() = default;

void DetailImageItem::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

void DetailImageItem::setWarningPresenter(std::function<void(const QString&, const QString&)> presenter)
{
    m_warn = std::move(presenter);
}

QString DetailImageItem::timeName() const
{
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    return now.toString(QStringLiteral("hh-mm-ss-zzz"));
}

void DetailImageItem::warn(const char* text)
{
    qWarning() << text;
    if (m_warn)
        m_warn(tr("Error"), tr(text));
}

void DetailImageItem::setDetailMat(const cv::Mat& mat)
{
    if (mat.empty() || mat.data == m_detailMat.data)
        return;
    m_detailMat = mat;
    m_displayMat = mat.clone();
    update();
}

void DetailImageItem::setDetailImage(QString filePath)
{
    m_path = localPath(filePath);
    const QFileInfo picture(m_path);
    const QString dataFile = picture.dir().filePath(picture.completeBaseName() + QStringLiteral(".data"));
    m_detailMat = cv::Mat();
    if (QFileInfo::exists(dataFile)) {
        m_detailMat = m_camCtrl->readParamFile(dataFile);
        if (m_detailMat.empty())
            qWarning() << "image data file unusable, the picture is opened instead" << dataFile;
    }
    m_isDataFile = !m_detailMat.empty();
    if (!m_isDataFile) {
        m_detailMat = readPicture(m_path, cv::IMREAD_UNCHANGED);
        m_opts->setIsDetailStretch(false);
    }
    m_displayMat = m_detailMat.clone();
    m_isGenerate = false;
    if (m_detailMat.empty())
        qWarning() << "picture cannot be shown" << m_path;
    if (m_unreadable != m_detailMat.empty()) {
        m_unreadable = m_detailMat.empty();
        emit unreadableChanged();
    }
    setWidth(m_width);
    setHeight(m_height);
    emit widthChanged();
    emit heightChanged();
    emit isGrayImage(isGrey(m_displayMat));
    if (!m_isDataFile)
        updateDetailImageShow(0, 65535);
}

void DetailImageItem::updateImage()
{
    update(QRect());
}

void DetailImageItem::setDetaiLineSeries(QtCharts::QLineSeries* lineSeries)
{
    m_lineSeries = lineSeries;
}

void DetailImageItem::updateDetailImageShow(int minInten, int maxInten)
{
    m_info.low = minInten;
    m_info.high = maxInten;
    // Colour pictures have no grey levels to stretch: they are shown as stored.
    if (isGrey(m_detailMat))
        stretchPicture(m_detailMat, minInten, maxInten, m_displayMat);
    else
        m_displayMat = m_detailMat.clone();
    if (m_isDataFile)
        m_camCtrl->detailSharpen(m_displayMat);
    update();
}

void DetailImageItem::updateHistogramInfo()
{
    HistogramInfo info;
    bool counted = false;
    const int low = m_opts->curDetailMinInten(), high = m_opts->curDetailMaxInten();
    if (m_isDataFile && low == 0 && high == 0) {
        counted = pictureDisplayLevels(m_displayMat, m_camCtrl->histLevelPercent, info);
    } else {
        counted = pictureHistogram(m_displayMat, info);
        if (m_isDataFile) {
            info.low = low;
            info.high = high;
        }
    }
    if (!counted)
        return;
    m_info = std::move(info);
    emit changeAxisYMaxAndSliderValueDetail(m_isDataFile, m_info.maxLog, m_info.low, m_info.high);
    updateDetailHistoShowAndImageShow();
}

void DetailImageItem::updateDetailHistoShowAndImageShow()
{
    if (m_lineSeries) {
        m_lineSeries->setPen(QPen(QBrush(Qt::black), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        m_lineSeries->replace(imagerefresh::histogramPoints(m_info.logHist));
    }
    if (m_opts->isDetailStretch())
        updateDetailImageShow(m_info.low, m_info.high);
    else
        updateDetailImageShow(0, 65535);
}

bool DetailImageItem::_WBTSGenerateImage()
{
    if (!isShownType(m_displayMat)) {
        qWarning() << "no picture to generate from" << m_path;
        return false;
    }
    const QString target = derivedPath(m_path, timeName(), QStringLiteral("_Gen"));
    const QFileInfo file(target);
    m_opts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
    const QString mirror = mirrorFolderOf(target, m_opts->imageSavePath());
    const QString written = saveTwoCopies(m_displayMat, file.absolutePath(), file.fileName(), mirror, file.fileName());
    qDebug() << "详情页生成图片: " << target;
    if (written.isEmpty())
        return false;
    m_isGenerate = true;
    return true;
}

bool DetailImageItem::exportImage(QString savedPath, int suffix)
{
    const QString path = localPath(savedPath);
    qDebug() << "保存路径: " << path << suffix;
    if (!isShownType(m_displayMat) || path.isEmpty()) {
        qWarning() << "nothing to export" << path;
        return false;
    }
    if (suffix == 0 || suffix == 1)
        return writeTiffAt(path, m_displayMat.clone(), suffix == 0 ? 600 : 300);
    const char* format = exportFormat(suffix);
    if (!format) {
        qWarning() << "export format unknown" << suffix;
        return false;
    }
    return writePictureAs(path, eightBitColour(m_displayMat), format);
}

bool DetailImageItem::mergeImage(QVariantList selectedImageNameList)
{
    if (selectedImageNameList.size() < 2) {
        qWarning() << "merge needs two pictures, got" << selectedImageNameList.size();
        return false;
    }
    const QString first = localPath(selectedImageNameList.first().toString());
    cv::Mat a = readPicture(first, cv::IMREAD_UNCHANGED);
    qDebug() << "type1: " << a.type();
    cv::Mat b;
    for (int i = 1; i < selectedImageNameList.size(); ++i) {
        b = readPicture(localPath(selectedImageNameList.at(i).toString()), cv::IMREAD_UNCHANGED);
        qDebug() << "type2: " << b.type();
    }
    const auto mergeable = [](const cv::Mat& m) { return !m.empty() && (m.type() == CV_16UC1 || m.type() == CV_8UC3); };
    if (!mergeable(a) || !mergeable(b)) {
        warn(QT_TR_NOOP("Incorrect picture type"));
        return false;
    }
    if (a.size() != b.size()) {
        warn(QT_TR_NOOP("Inconsistent picture size"));
        return false;
    }
    if (a.type() == CV_8UC3 || b.type() == CV_8UC3) {
        qDebug() << "执行彩色图片合并";
        for (cv::Mat* m : {&a, &b}) {
            if (m->type() == CV_16UC1) {
                cv::Mat eight;
                m->convertTo(eight, CV_8U, 1.0 / 256);
                cv::cvtColor(eight, *m, cv::COLOR_GRAY2BGR);
            }
        }
        multiplyBytes(b, a);
    } else {
        qDebug() << "执行灰度图合并";
        multiplyImage(FrameView::of(b), FrameView::of(a), 0);
    }
    const QString target = derivedPath(first, timeName(), QStringLiteral("_Merge"));
    const QFileInfo file(target);
    m_opts->loadUserOptsByName(UserOpts::OPT_ImageSavePath);
    const QString mirror = mirrorFolderOf(target, m_opts->imageSavePath());
    if (saveTwoCopies(b, file.absolutePath(), file.fileName(), mirror, file.fileName()).isEmpty())
        return false;
    emit mergeNewImage();
    return true;
}

void DetailImageItem::paint(QPainter* painter)
{
    if (!painter) {
        qDebug() << "painter is nullptr";
        return;
    }
    if (m_displayMat.empty()) {
        qDebug() << "m_detailMat is empty";
        return;
    }
    if (!isShownType(m_displayMat)) {
        qDebug() << "Error: Unsupport image format";
        return;
    }
    const PictureFit fit = fitPicture(QSize(m_displayMat.cols, m_displayMat.rows), QSize(m_width, m_height), m_scale,
                                      m_adapt, m_origin);
    m_scale = fit.scale;
    m_adapt = false;
    m_origin = false;
    if (fit.shown.isEmpty())
        return;
    setWidth(fit.itemSize.width());
    setHeight(fit.itemSize.height());
    emit widthChanged();
    emit heightChanged();
    const QImage image = renderPicture(m_displayMat, fit.shown);
    if (image.isNull())
        return;
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(QRect(fit.topLeft, fit.shown), image);
}
