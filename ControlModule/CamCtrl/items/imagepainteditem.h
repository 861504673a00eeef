#pragma once
// The camera picture of the capture pages: the live frame, the frame of the capture in progress,
// a frame of the current experiment or a picture file, fitted into the page's box with the
// overlays of the mode (focus-area marks, analysis rectangles, over-exposure, the cut region).
//
// Every paint reads the frame the camera controller holds at that moment, as a shared frame that
// nobody writes any more. Corrections and overlays go on a display copy, so the frames that are
// saved, merged and exported never carry them, and a repaint never corrects twice.

#include <QQuickPaintedItem>
#include <QRect>
#include <QString>

#include <opencv2/core.hpp>

#include <memory>

#include "tsframe.h"

class H695ICECamCtrl;
class TsFrameStore;
class IC_MainControl;
class KestrixCtrl;
class UserOpts;
struct PictureFit;

class ImagePaintedItem : public QQuickPaintedItem {
    Q_OBJECT
    Q_PROPERTY(int imageIndex READ imageIndex WRITE setImageIndex NOTIFY imageIndexChanged)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(int mWidth READ mWidth WRITE setMWidth)
    Q_PROPERTY(int mHeight READ mHeight WRITE setMHeight)
    Q_PROPERTY(double mScale READ mScale WRITE setMScale)
    Q_PROPERTY(bool mAdapt READ mAdapt WRITE setMAdapt)
    Q_PROPERTY(bool mOrigin READ mOrigin WRITE setMOrigin)
    Q_PROPERTY(int curFilterPosition READ curFilterPosition WRITE setCurFilterPosition)

public:
    // The process-wide main controller and, through it, the cameras and options.
    explicit ImagePaintedItem(QQuickItem* parent = nullptr);
    // Tests: a main controller of their own.
    explicit ImagePaintedItem(IC_MainControl* mainCtrl, QQuickItem* parent = nullptr);
    ~ImagePaintedItem() override;

    // Frames of the current experiment from 0; -1 the live frame, -2 the capture in progress,
    // -3 nothing, -4 the file imageName, -5 the file imageName fitted (Kestrix view).
    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int index) { m_imageIndex = index; }
    QString imageName() const { return m_imageName; }
    void setImageName(const QString& name) { m_imageName = name; }
    int mWidth() const { return m_width; }
    void setMWidth(int width) { m_width = width; }
    int mHeight() const { return m_height; }
    void setMHeight(int height) { m_height = height; }
    double mScale() const { return m_scale; }
    void setMScale(double scale) { m_scale = scale; }
    bool mAdapt() const { return m_adapt; }
    void setMAdapt(bool adapt) { m_adapt = adapt; }
    bool mOrigin() const { return m_origin; }
    void setMOrigin(bool origin) { m_origin = origin; }
    int curFilterPosition() const { return m_filterPosition; }
    void setCurFilterPosition(int position) { m_filterPosition = position; }

    void paint(QPainter* painter) override;

    Q_INVOKABLE void updateImage();
    // Where the last camera frame was drawn, in item pixels.
    Q_INVOKABLE QRect getTempRect();
    Q_INVOKABLE void setCutRect(int x, int y, int width, int height);
    Q_INVOKABLE void setIsCut(bool b);

signals:
    void imageIndexChanged(int imageIndex);

private:
    enum class Way { Gel, WesternBlot, Fluorescence };
    // One paint's picture: the frame or file as read (never written), and the overlay canvas
    // (8-bit BGRA at full resolution) once something is drawn on it.
    struct Shown {
        // The frame that pixels views: held for the whole paint, since the camera may hand a
        // newer frame over meanwhile and drop its reference to this one.
        std::shared_ptr<const void> owner;
        cv::Mat pixels;
        cv::Mat canvas;
        const cv::Mat& picture() const { return canvas.empty() ? pixels : canvas; }
        cv::Mat& overlay();
    };

    void paintTucsen(QPainter* painter, Way way);
    void paintKestrix(QPainter* painter);
    bool tucsenFrame(Way way, Shown& shown);
    cv::Mat flatFieldCorrected(const cv::Mat& frame);
    TsFramePtr shownAsStretched(int index, const TsFramePtr& frame) const;
    void processCapture(Shown& shown, int step);
    int captureStep() const;
    void fitAndDraw(QPainter* painter, const cv::Mat& picture, bool cameraFrame);
    void drawAt(QPainter* painter, const cv::Mat& picture, const PictureFit& fit);
    cv::Mat readFile() const;

    IC_MainControl* const m_main;
    KestrixCtrl* const m_qi;
    H695ICECamCtrl* const m_ts;
    TsFrameStore* const m_frames;
    UserOpts* const m_opts;
    int m_imageIndex = -3;
    QString m_imageName;
    int m_width = 0;
    int m_height = 0;
    double m_scale = 1.0;
    bool m_adapt = false;
    bool m_origin = false;
    int m_filterPosition = -1;
    QRect m_tempRect;
    QRect m_cutRect;
    bool m_isCut = false;
    // Flat-field references did not cover the live frame: the switch-off is asked once, until
    // the correction is off (or calibrating) again.
    bool m_ffcRefused = false;
};
