#pragma once
// One stored picture of the image library: shown fitted into the page's box, its grey levels
// stretched, its histogram drawn into the page's chart line, and the pictures made from it (a
// generated copy, a merge of two pictures, exports in five formats).
//
// Pictures come as stored: 16-bit grey (from the image-with-parameters file or a TIFF), 8-bit
// grey or 8-bit colour. The stretch and the histogram work on grey pictures and leave colour
// ones as they are.

#include <QDateTime>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QString>
#include <QVariantList>
#include <QtCharts/QLineSeries>

#include <functional>

#include <opencv2/core.hpp>

#include "histograminfo.h"

class H695ICECamCtrl;
class UserOpts;

Q_DECLARE_METATYPE(cv::Mat)

class DetailImageItem : public QQuickPaintedItem {
    Q_OBJECT
    Q_PROPERTY(cv::Mat detailMat READ detailMat WRITE setDetailMat NOTIFY matChanged)
    Q_PROPERTY(int mWidth READ mWidth WRITE setMWidth)
    Q_PROPERTY(int mHeight READ mHeight WRITE setMHeight)
    Q_PROPERTY(double mScale READ mScale WRITE setMScale)
    Q_PROPERTY(bool mAdapt READ mAdapt WRITE setMAdapt)
    Q_PROPERTY(bool mOrigin READ mOrigin WRITE setMOrigin)
    Q_PROPERTY(bool isGenerate READ isGenerate WRITE setIsGenerate)
    // The last picture opened could not be read (missing, damaged or larger than any sensor):
    // the page shows a message over the empty picture.
    Q_PROPERTY(bool unreadable READ unreadable NOTIFY unreadableChanged)

public:
    explicit DetailImageItem(QQuickItem* parent = nullptr);
    // Tests: a camera controller and options of their own.
    DetailImageItem(H695ICECamCtrl* camCtrl, UserOpts* opts, QQuickItem* parent = nullptr);
    ~DetailImageItem() override;

    // The picture as opened (shared, not copied); a write of another non-empty picture shows it.
    cv::Mat detailMat() const { return m_detailMat; }
    void setDetailMat(const cv::Mat& mat);
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
    bool isGenerate() const { return m_isGenerate; }
    void setIsGenerate(bool generated) { m_isGenerate = generated; }
    bool unreadable() const { return m_unreadable; }

    // The picture as shown and the range and histogram last computed.
    const cv::Mat& displayMat() const { return m_displayMat; }
    const HistogramInfo& detailInfo() const { return m_info; }

    void paint(QPainter* painter) override;

    // Opens a picture (a path or a file URL): from its "<name>.data" file when there is one.
    Q_INVOKABLE void setDetailImage(QString filePath);
    Q_INVOKABLE void updateImage();
    Q_INVOKABLE void setDetaiLineSeries(QtCharts::QLineSeries* lineSeries);
    // Histogram and stretch range of the shown picture; emits changeAxisYMaxAndSliderValueDetail.
    Q_INVOKABLE void updateHistogramInfo();
    Q_INVOKABLE void updateDetailHistoShowAndImageShow();
    Q_INVOKABLE void updateDetailImageShow(int minInten, int maxInten);
    // Writes the shown picture as "<time>_Gen" beside the picture and into the user's copy
    // folder; true only when the picture is on disk (the page reports success then).
    Q_INVOKABLE bool _WBTSGenerateImage();
    // suffix 0: TIFF 600 dpi, 1: TIFF 300 dpi, 2: BMP, 3: JPG, 4: PNG. True when written.
    Q_INVOKABLE bool exportImage(QString savedPath, int suffix);
    // Multiplies the second picture by the first into "<time>_Merge"; emits mergeNewImage when
    // written.
    Q_INVOKABLE bool mergeImage(QVariantList selectedImageNameList);

    // Time source of the file names (tests set a fixed one).
    void setClock(std::function<QDateTime()> clock);
    // The warning box of a refused merge (title, text); the toolkit's message box by default.
    void setWarningPresenter(std::function<void(const QString& title, const QString& text)> presenter);

signals:
    void matChanged();
    void changeAxisYMaxAndSliderValueDetail(bool isAuto, double axisYMax, int min, int max);
    void isGrayImage(bool flag);
    void mergeNewImage();
    void unreadableChanged();

private:
    QString timeName() const;
    void warn(const char* text);

    QPointer<QtCharts::QLineSeries> m_lineSeries;
    HistogramInfo m_info;
    cv::Mat m_detailMat;
    cv::Mat m_displayMat;
    QString m_path;
    int m_width = 0;
    int m_height = 0;
    double m_scale = 1.0;
    bool m_adapt = true;
    bool m_origin = false;
    bool m_isDataFile = false;
    bool m_isGenerate = false;
    bool m_unreadable = false;
    H695ICECamCtrl* const m_camCtrl;
    UserOpts* const m_opts;
    std::function<QDateTime()> m_clock;
    std::function<void(const QString&, const QString&)> m_warn;
};
