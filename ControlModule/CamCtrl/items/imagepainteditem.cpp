#include "imagepainteditem.h"

#include <QDebug>
#include <QPainter>

#include "displayimage.h"
#include "enumobj.h"
#include "h695icecamctrl.h"
#include "imagefilters.h"
#include "ic_maincontrol.h"
#include "kestrixctrl.h"
#include "overlays.h"
#include "picturefiles.h"
#include "useropts.h"

namespace {

// Frames of the Kestrix camera carry their size in their region.
cv::Mat kestrixPixels(const KestrixFrame& frame)
{
    const size_t count = size_t(frame.width()) * size_t(frame.height());
    if (frame.empty() || count != frame.pixels.size())
        return cv::Mat();
    return cv::Mat(frame.height(), frame.width(), CV_16UC1, const_cast<uint16_t*>(frame.pixels.data()));
}

} // namespace

cv::Mat& ImagePaintedItem::Shown::overlay()
{
    if (canvas.empty())
        canvas = overlayCanvas(pixels);
    return canvas;
}

ImagePaintedItem::ImagePaintedItem(QQuickItem* parent)
    : ImagePaintedItem(IC_MainControl::getInstance(), parent)
{
}

ImagePaintedItem::ImagePaintedItem(IC_MainControl* mainCtrl, QQuickItem* parent)
    : QQuickPaintedItem(parent)
    , m_main(mainCtrl)
    , m_qi(mainCtrl->kestrixCtrl)
    , m_ts(mainCtrl->h695ICECamCtrl)
    , m_frames(&m_ts->frameStore())
    , m_opts(mainCtrl->userOpt)
{
    setFlag(ItemHasContents, true);
}

ImagePaintedItem::~ImagePaintedItem() = default;

void ImagePaintedItem::updateImage()
{
    update(QRect());
}

QRect ImagePaintedItem::getTempRect()
{
    return m_tempRect;
}

void ImagePaintedItem::setCutRect(int x, int y, int width, int height)
{
    m_cutRect = QRect(x, y, width, height);
    qDebug() << "cutRect: " << m_cutRect;
}

void ImagePaintedItem::setIsCut(bool b)
{
    m_isCut = b;
}

void ImagePaintedItem::paint(QPainter* painter)
{
    if (!painter)
        return;
    const int authority = m_main->authorityType();
    const EnumOBJ::ExpMode mode = m_main->expMode();
    if (authority == EnumOBJ::WBQI) {
        if (mode == EnumOBJ::WB)
            paintKestrix(painter);
        return;
    }
    if (authority < 0 || authority >= EnumOBJ::Unknow_AuthorityType)
        return;
    switch (mode) {
    case EnumOBJ::Gel:
        paintTucsen(painter, Way::Gel);
        break;
    case EnumOBJ::WB:
        paintTucsen(painter, Way::WesternBlot);
        break;
    case EnumOBJ::Mult:
        paintTucsen(painter, Way::Fluorescence);
        break;
    default:
        break;
    }
}

cv::Mat ImagePaintedItem::readFile() const
{
    return readPicture(localPath(m_imageName), cv::IMREAD_UNCHANGED);
}

void ImagePaintedItem::paintTucsen(QPainter* painter, Way way)
{
    if (m_imageIndex == -4) {
        fitAndDraw(painter, readFile(), false);
        return;
    }
    Shown shown;
    if (!tucsenFrame(way, shown))
        return;
    // Focus-area marks while an autofocus run moves the lens.
    if (m_ts->isFocusMeasuring) {
        cv::Mat& canvas = shown.overlay();
        QImage image = canvasImage(canvas);
        if (!image.isNull()) {
            QPainter marks(&image);
            drawFocusMarks(marks, image.size(), m_ts->binningIndex);
        }
    }
    fitAndDraw(painter, shown.picture(), way != Way::Fluorescence);
}

// The frame of this paint, with the corrections and overlays of the way that go before the
// focus-area marks. False when there is nothing to draw.
bool ImagePaintedItem::tucsenFrame(Way way, Shown& shown)
{
    const int index = m_imageIndex;
    TsFramePtr frame;
    if (index >= 0) {
        frame = shownAsStretched(index, m_frames->frameAt(index));
    } else if (index == -1) {
        frame = m_frames->currentFrame();
    } else if (index == -2) {
        // A finished capture is shown as the levels last chosen for it.
        frame = m_frames->captureFrame();
        const int step = captureStep();
        if (frame && step >= 0 && m_frames->frameAt(step) == frame)
            frame = shownAsStretched(step, frame);
    }
    if (!frame)
        return false;
    // Viewed in place: the frame is shared and never written again.
    shown.owner = frame;
    shown.pixels = frame->view().mat();
    if (shown.pixels.empty())
        return false;

    if (way == Way::Gel && index == -1)
        shown.pixels = flatFieldCorrected(shown.pixels);
    if (way == Way::WesternBlot && index == -2)
        processCapture(shown, captureStep());
    if (way == Way::WesternBlot && index >= 0)
        processCapture(shown, index);
    if (way == Way::WesternBlot && index == -1 && m_isCut) {
        cv::Mat& canvas = shown.overlay();
        QImage image = canvasImage(canvas);
        if (!image.isNull()) {
            QPainter cut(&image);
            drawCutRect(cut, m_cutRect, m_ts->binningIndex);
        }
    }
    return true;
}

// The live frame corrected against the flat-field pair of the filter in the light path, on a
// copy. A pair that is missing or does not cover the frame (binning or sensor area changed
// since the calibration) leaves the frame uncorrected and has the controller switch the
// correction off and say so; the calibration and its files stay for a later binning.
cv::Mat ImagePaintedItem::flatFieldCorrected(const cv::Mat& frame)
{
    if (!m_ts->isFFC || m_ts->isInFFC) {
        m_ffcRefused = false;
        return frame;
    }
    if (m_ffcRefused)
        return frame;
    const int authority = m_main->authorityType();
    const bool second = (authority == EnumOBJ::GelAndWBTS || authority == EnumOBJ::AllAuthorityTS)
                        && m_filterPosition == EnumOBJ::F_590nm;
    FlatFieldReferences& refs = m_ts->references;
    const int light = second ? FlatFieldReferences::Light590 : FlatFieldReferences::Light;
    const int dark = second ? FlatFieldReferences::Dark590 : FlatFieldReferences::Dark;
    cv::Mat corrected = frame.clone();
    if (refs.isPresent(light) && refs.isPresent(dark) && refs.correct(FrameView::of(corrected), second))
        return corrected;
    qWarning() << "flat-field references missing or smaller than the frame" << frame.cols << frame.rows
               << "- shown uncorrected, correction switched off";
    m_ffcRefused = true;
    // Not from inside the paint: the switch-off reaches the pages and the options.
    IC_MainControl* main = m_main;
    QMetaObject::invokeMethod(main, [main] { main->switchOffFFC(); }, Qt::QueuedConnection);
    return frame;
}

// The frame at index as the controller last stretched it for display, when it is the selected
// one; as captured otherwise.
TsFramePtr ImagePaintedItem::shownAsStretched(int index, const TsFramePtr& frame) const
{
    if (!frame || index != m_frames->currentImageIndex)
        return frame;
    const TsFramePtr stretched = m_frames->stretchFrameOf(frame);
    if (stretched && stretched->width() == frame->width() && stretched->height() == frame->height())
        return stretched;
    return frame;
}

// The step of the capture in progress: the controller's, or else the capture frame's place in
// the experiment's list.
int ImagePaintedItem::captureStep() const
{
    const int step = m_frames->captureIndex;
    if (step >= 0)
        return step;
    const TsFramePtr capture = m_frames->captureFrame();
    const std::vector<TsFramePtr> frames = m_frames->frames();
    for (size_t i = 0; i < frames.size(); ++i)
        if (frames[i] == capture)
            return int(i);
    return -1;
}

// The Western-blot capture frame as the capture shows it: beautified when it is a signal frame,
// with the analysis rectangles and the over-exposed pixels of its step.
void ImagePaintedItem::processCapture(Shown& shown, int step)
{
    const int marker = m_opts->markerCapture() ? 1 : 0;
    const bool single = m_ts->singleCaptureVisible;
    const bool beautify = step >= 0
                          && (single ? step == (marker ? 0 : 1)
                                     : step <= m_opts->multiCapCount() - marker && step + marker != 0);
    if (beautify) {
        cv::Mat copy = shown.pixels.clone();
        sharpen16U(FrameView::of(copy), m_opts->isBeautifyPictures(), m_opts->sharpenLevel());
        shown.pixels = copy;
    }
    m_opts->loadUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
    if (m_opts->intelligentAnalysis() == UserOpts::OpenSensitivity) {
        const QList<QRect> rects = m_frames->detectedRectsAt(step);
        if (!rects.isEmpty()) {
            QImage image = canvasImage(shown.overlay());
            if (!image.isNull()) {
                QPainter painter(&image);
                drawAnalysisRects(painter, rects);
            }
        }
    }
    if (m_opts->isExposure() && step + marker != 0) {
        const OverExposureMask mask = m_frames->overExposureMarkAt(step);
        const OverExposureMask running = m_frames->overExposureSum();
        if (mask && running && !running->empty())
            markOverExposure(shown.overlay(), *mask, m_ts->overExposureThreshold);
    }
}

void ImagePaintedItem::fitAndDraw(QPainter* painter, const cv::Mat& picture, bool cameraFrame)
{
    if (picture.empty())
        return;
    const PictureFit fit = fitPicture(QSize(picture.cols, picture.rows), QSize(m_width, m_height), m_scale, m_adapt,
                                      m_origin);
    m_scale = fit.scale;
    m_adapt = false;
    m_origin = false;
    if (fit.shown.isEmpty())
        return;
    setWidth(fit.itemSize.width());
    setHeight(fit.itemSize.height());
    emit widthChanged();
    emit heightChanged();
    if (cameraFrame)
        m_tempRect = QRect(fit.topLeft, fit.shown);
    drawAt(painter, picture, fit);
}

void ImagePaintedItem::drawAt(QPainter* painter, const cv::Mat& picture, const PictureFit& fit)
{
    const QImage image = renderPicture(picture, fit.shown);
    if (image.isNull())
        return;
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(QRect(fit.topLeft, fit.shown), image);
}

void ImagePaintedItem::paintKestrix(QPainter* painter)
{
    const int index = m_imageIndex;
    cv::Mat picture;
    std::shared_ptr<const KestrixFrame> held;
    KestrixFrame copy;
    bool unscaled = false;
    if (index == -4 || index == -5) {
        picture = readFile();
        unscaled = index == -4;
    } else if (index == -1) {
        held = m_qi->liveFrame();
    } else if (index == -2) {
        held = m_qi->captureFrame();
        const int last = m_qi->frameCount() - 1;
        // A finished capture is shown as the levels last chosen for it.
        if (held && last >= 0 && m_qi->curImageIndex == last && m_qi->displayIndex == last
            && m_qi->displayFrame.width() == held->width()
            && m_qi->displayFrame.height() == held->height()) {
            copy = m_qi->displayFrame;
            held.reset();
            picture = kestrixPixels(copy);
        }
    } else if (index >= 0) {
        // The selected frame as last stretched for display (GUI thread, like this paint).
        if (index == m_qi->curImageIndex && index == m_qi->displayIndex && !m_qi->displayFrame.empty())
            copy = m_qi->displayFrame;
        else
            copy = m_qi->frameAt(index);
        picture = kestrixPixels(copy);
    }
    if (held)
        picture = kestrixPixels(*held);
    if (picture.empty())
        return;

    // The bands belong to the last capture: its frame and the newest list entry.
    const bool capture = index == -2 || (index >= 0 && index == m_qi->frameCount() - 1 && m_qi->captureFrame());
    cv::Mat canvas;
    if (capture) {
        m_opts->loadUserOptsByName(UserOpts::OPT_IntelligentAnalysis);
        const QVector<QRect> bands = m_qi->bandRects();
        if (m_opts->intelligentAnalysis() == UserOpts::OpenSensitivity && !bands.isEmpty()) {
            canvas = overlayCanvas(picture);
            QImage image = canvasImage(canvas);
            if (!image.isNull()) {
                QPainter rects(&image);
                drawAnalysisRects(rects, QList<QRect>(bands.begin(), bands.end()));
                picture = canvas;
            }
        }
    }

    // Captured frames fit and zoom as on the Tucsen camera.
    if (index >= 0 || index == -2) {
        fitAndDraw(painter, picture, true);
        return;
    }
    const QSize size(picture.cols, picture.rows);
    PictureFit fit;
    if (unscaled) {
        fit.shown = size;
        fit.itemSize = size;
    } else {
        fit = fitIntoBox(size, QSize(m_width, m_height));
    }
    if (fit.shown.isEmpty())
        return;
    setWidth(fit.itemSize.width());
    setHeight(fit.itemSize.height());
    emit widthChanged();
    emit heightChanged();
    drawAt(painter, picture, fit);
}
