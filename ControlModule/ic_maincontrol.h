#pragma once
// The one object through which QML ("MainCtrl") reaches devices, cameras, acquisition threads
// and the experiment tables. Lives in the GUI thread for the life of the process.
//
// The implementation is split by concern behind this one class:
//   ic_maincontrol.cpp           object, properties, error reporting, start-up helpers, slots
//   ic_maincontrol_devices.cpp   device bring-up by instrument model
//   ic_maincontrol_dispatch.cpp  status frames of the controller board
//   ic_maincontrol_commands.cpp  light, filter and lens commands, autofocus and lens-move starts
//   ic_maincontrol_cache.cpp     experiment caches and folder clean-up
//   ic_maincontrol_wb.cpp        Western-blot flows of the Tucsen camera
//   ic_maincontrol_images.cpp    image-list clicks, histogram and image refresh
//   ic_maincontrol_pending.cpp   invokables whose flows are not built yet

#include "devicecmd.h"
#include "enumobj.h"
#include "experimentimages.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <QWaitCondition>
#include <QtCharts/QLineSeries>

#include <functional>
#include <vector>

class ASyncSerialPortThread;
class CamOpts;
class GelExperimentDB;
class GelExperimentRecord;
class GelTSCaptureThread;
class GelTSPreviewThread;
class H695ICECamCtrl;
struct HistogramInfo;
class KestrixCtrl;
class LightCtrl;
class ModbusMaster;
class MultExperimentDB;
class MultExperimentRecord;
class MultTSCaptureThread;
class MultTSPreviewThread;
class QThread;
class UserOpts;
class WBQICaptureThread;
class WBQIEstimateThread;
class WBQIPreviewThread;
class WBTSCaptureThread;
class WBTSEstimateThread;
class WBTSPreviewThread;
class WesternBlotExperimentDB;
class WesternBlotExperimentRecord;

class IC_MainControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(EnumOBJ::MachineName machineName READ machineName NOTIFY machineNameChanged)
    Q_PROPERTY(EnumOBJ::ErrorCode errorCode READ errorCode WRITE setErrorCode NOTIFY errorCodeChanged)
    Q_PROPERTY(EnumOBJ::AuthorityType authorityType READ authorityType WRITE setAuthorityType NOTIFY
                   authorityTypeChanged)
    Q_PROPERTY(EnumOBJ::ExpMode expMode READ expMode WRITE setExpMode NOTIFY expModeChanged)
    Q_PROPERTY(bool singleCaptureVisible READ singleCaptureVisible WRITE setSingleCaptureVisible)
    Q_PROPERTY(QString curExpName READ curExpName WRITE setCurExpName)
    Q_PROPERTY(int sum2BinIndex READ sum2BinIndex WRITE setSum2BinIndex NOTIFY sum2BinIndexChanged)

public:
    // Created on first use under a mutex of the class and never deleted.
    static IC_MainControl* getInstance();
    // The program uses getInstance(); tests build controllers of their own. link replaces the
    // process-wide serial link (nullptr: the process-wide one).
    explicit IC_MainControl(QObject* parent = nullptr, ASyncSerialPortThread* link = nullptr);
    ~IC_MainControl() override;

    EnumOBJ::MachineName machineName() const;
    EnumOBJ::ErrorCode errorCode() const;
    // Stores only: a page may clear the error shown without raising it again.
    void setErrorCode(EnumOBJ::ErrorCode errorCode);
    EnumOBJ::AuthorityType authorityType() const;
    void setAuthorityType(EnumOBJ::AuthorityType authorityType);
    EnumOBJ::ExpMode expMode() const;
    void setExpMode(EnumOBJ::ExpMode expMode);
    bool singleCaptureVisible() const;
    // Also copies the flag into the camera controller of the configuration.
    void setSingleCaptureVisible(bool visible);
    QString curExpName() const;
    void setCurExpName(const QString& name);
    int sum2BinIndex() const;
    void setSum2BinIndex(int index);

    // Sets errorCode and emits errorCodeChanged: the way every failure reaches the pages.
    void reportError(EnumOBJ::ErrorCode errorCode);

    // The model named in <appDir>/machine.ini; does not touch the members.
    EnumOBJ::MachineName readMachineName();
    // Sets machineName and authorityType from machine.ini and writes the model's missing option
    // defaults. Called once at start-up, before any QML exists.
    void initMachine();
    // lightAutoShutDownTime at most 3 minutes, in memory and in the file.
    void limitLightAutoShutDownTime();
    // Starts the one-pass clean-up of old images; the thread deletes itself when done.
    void startRegularRemove();

    // Device bring-up by machineName: camera, serial link with handshake and first commands,
    // the SMBus lens of M_S20Mini. Failures land in errorCode.
    void initDevice();
    bool initTSDevice();
    bool initQIDevice();
    bool openSerialPort(quint16 productId);

    // Removes the files (not folders) of dir; stops at the first that cannot be removed.
    static void removeDirFiles(const QString& dir);
    // What an experiment leaves in memory, dropped when a page leaves its mode.
    void clearGelCache();
    void clearMultCache();
    void clearWBTSCache();
    void clearWBQICache();

    // Focus range and start-position option of a serial-lens autofocus.
    struct AtFocusPlan {
        int focusMin = 0;
        int focusMax = 0;
        int startOption = 0;  // UserOpts::UserOptType of the start position
    };
    static AtFocusPlan atFocusPlan(EnumOBJ::ExpMode mode, int authorityType, int focusPosition);
    // The "_Auto" configurations: motorised lens behind the controller board.
    static bool hasSerialLens(int authorityType);
    // Data bytes of a lens position for command 0xB2, high byte first, always two.
    static QList<Data_Bits> lensPositionBytes(int value);
    // The filter-wheel byte of a position; 0x2E (and a log line) for an unknown one.
    static Data_Bits filterByte(int pos);

    // Where a worker thread of a flow ends; runs at once when the thread has finished already.
    void runWhenFinished(QThread* thread, std::function<void()> continuation);

    // Flow state the pages never see, open to the painted items and the flows.
    CamOpts* camOpt;
    UserOpts* userOpt;
    KestrixCtrl* kestrixCtrl;
    ASyncSerialPortThread* serialPortThread;
    ModbusMaster* modbusMaster;
    LightCtrl* lightCtrl;
    WBQIPreviewThread* wbQIPreviewThread = nullptr;
    WesternBlotExperimentDB* wbExpDB;
    WBQIEstimateThread* wbQIEstimateThread = nullptr;
    WBQICaptureThread* wbQICaptureThread = nullptr;
    H695ICECamCtrl* h695ICECamCtrl;
    WBTSPreviewThread* wbTSPreviewThread = nullptr;
    WBTSEstimateThread* wbTSEstimateThread = nullptr;
    WBTSCaptureThread* wbTSCaptureThread = nullptr;
    GelTSPreviewThread* gelTSPreviewThread = nullptr;
    GelExperimentDB* gelExpDB;
    GelTSCaptureThread* gelTSCaptureThread = nullptr;
    MultTSPreviewThread* multTSPreviewThread = nullptr;
    MultExperimentDB* multExpDB;
    MultTSCaptureThread* multTSCaptureThread = nullptr;
    QMutex* captureMutex;
    bool serialPortFound = false;
    quint8 receiveFailCount = 0;
    quint8 resendCount = 0;
    WesternBlotExperimentRecord* wbExp = nullptr;
    QtCharts::QLineSeries* wbLineSeries = nullptr;
    QtCharts::QLineSeries* multLineSeries = nullptr;
    QtCharts::QLineSeries* gelLineSeries = nullptr;
    GelExperimentRecord* gelExp = nullptr;
    MultExperimentRecord* multExp = nullptr;
    int curLightType = 0;
    QString exportBinning;
    QString exportExposure;
    QString exportGain;
    QMutex overwriteMutex;
    QWaitCondition overwriteCondition;
    bool overwriteAnswered = false;
    bool overwriteYesToAll = false;
    bool overwriteFile = false;
    bool exportBreak = false;
    QString curGelImageName;
    QString curMultImageName;
    // Marker lists of the Western-blot flows, emptied with their cache.
    QVariantList wbTSMarkerList;
    QVariantList wbTSColorMarkerList;
    QVariantList wbQIMarkerList;
    // One thread per role: a second start while one runs is refused.
    QThread* atFocusThread = nullptr;
    QThread* focusMoveThread = nullptr;
    QThread* setAEThread = nullptr;
    // Western-blot preview of the Tucsen camera: a stop is under way until its finished arrives;
    // the one pending continuation of that stop.
    bool wbTSPreviewStopping = false;
    QMetaObject::Connection wbTSPreviewEnd;
    // Counts stop requests: a continuation already queued for an earlier request is stale.
    quint64 wbTSPreviewStopId = 0;
    // The experiment was left while its estimation or capture ran: the running thread ends the
    // experiment instead of going on.
    bool wbTSExitPending = false;
    // Generated, merged, pseudo-colour, stained and dyed images of the current experiment.
    ExperimentImages* const images = new ExperimentImages(h695ICECamCtrl, kestrixCtrl, userOpt, this);

    // Western-blot configurations with the FL9BW camera, and the Mini cabinets.
    static bool isWBFL9BW(int authorityType);
    static bool isMiniCabinet(int authorityType);
    // Binning text of the Western-blot record ("2*2") for the camera's binningIndex.
    static QString wbTSBinningText(int authorityType, int binningIndex);
    // Chart points of a histogram record: x the grey value, y its value, every hundredth
    // non-empty bin drawn at 0.
    static QVector<QPointF> histogramPoints(const std::vector<double>& histogram);

    // Western blot, kestrix64 camera
    Q_INVOKABLE void _WBQIPreviewStart();
    Q_INVOKABLE void _WBQIBinChanged(int bin, int preExpTime, int gainIndex);
    Q_INVOKABLE void _WBQIPreExpChanged(int value);
    Q_INVOKABLE void _WBQIGainChanged(int gainIndex);
    Q_INVOKABLE void _WBQICaptureStart(bool autoCapture);
    Q_INVOKABLE void _WBQICancelCapture();
    Q_INVOKABLE void _WBQIExitExperiment();
    Q_INVOKABLE void _WBQIUpdateImageShow(int minInten, int maxInten);
    Q_INVOKABLE double _WBQIGetTem();
    Q_INVOKABLE void _QICloseCamAndUnInit();

    // Western blot, Tucsen camera
    Q_INVOKABLE void _WBTSPreviewStart();
    Q_INVOKABLE void _WBTSBinChanged(int bin, int preExpTime, int gain);
    Q_INVOKABLE void _WBTSPreExpChanged(double value, bool needAdjust = true);
    Q_INVOKABLE void _WBTSPreExpAndGainChanged(double exp, int gain);
    Q_INVOKABLE void _WBTSAtExposure(int aeVal);
    Q_INVOKABLE void _WBTSGainChanged(int value);
    Q_INVOKABLE void _WBTSCaptureStart(bool autoCapture);
    Q_INVOKABLE void _WBTSCancelCapture();
    Q_INVOKABLE void _WBTSExitExperiment();
    Q_INVOKABLE void _WBTSUpdateImageShow(int minInten, int maxInten);
    Q_INVOKABLE double _WBTSGetExposure();
    Q_INVOKABLE double _WBTSGetGain();
    Q_INVOKABLE double _WBTSGetTem();
    Q_INVOKABLE void _WBUpdateExpName(QString newName, QString newImageSavePath);
    Q_INVOKABLE void _WBTSSetEstimateRoi(double x_percent, double y_percent, double width_percent,
                                         double height_percent);
    Q_INVOKABLE void _WBTSRemoveEstimateRoi();
    Q_INVOKABLE void _TSCloseCamAndUnInit();

    // Gel
    Q_INVOKABLE void _GelTSPreviewStart();
    Q_INVOKABLE void _GelTSPreviewReStart();
    Q_INVOKABLE void _GelTSBinChanged(int bin, int preExpTime, int gain);
    Q_INVOKABLE void _GelTSPreExpChanged(double value, bool needAdjust = true);
    Q_INVOKABLE void _GelTSPreExpAndGainChanged(double exp, int gain);
    Q_INVOKABLE void _GelTSGainChanged(int value);
    Q_INVOKABLE void _GelTSAtExposure(int aeVal);
    Q_INVOKABLE double _GelTSGetExposure();
    Q_INVOKABLE double _GelTSGetGain();
    Q_INVOKABLE void _GelTSCaptureStart(int lightType);
    Q_INVOKABLE void _GelTSUpdateExpInfo();
    Q_INVOKABLE void _GelTSUpdateExpName(QString newName, QString newImageSavePath);
    Q_INVOKABLE void _GelTSUpdateImageShow();
    Q_INVOKABLE void _GelTSCancelCapture();
    Q_INVOKABLE void _GelUpdateCurImageName(QString imageName);
    Q_INVOKABLE void _GelTSROIChanged();
    Q_INVOKABLE void _GelTSExitExperiment();
    Q_INVOKABLE void _GelTS20BWExitExperiment();
    Q_INVOKABLE void _GelTS20BWOpenBlueLight(int percent);
    Q_INVOKABLE void _GelTS20BWAtFocus();
    Q_INVOKABLE void requestBoardType();
    Q_INVOKABLE void _GelTS20BWReleaseDoor();
    Q_INVOKABLE void _GelTS20BWSetAverageGrayThd(int value);

    // Multi-fluorescence
    Q_INVOKABLE void _MultTSPreviewStart();
    Q_INVOKABLE void _MultTSBinChanged(int bin, int preExpTime, int gain);
    Q_INVOKABLE void _MultTSPreExpChanged(double value, bool needAdjust = true);
    Q_INVOKABLE void _MultTSPreExpAndGainChanged(double exp, int gain);
    Q_INVOKABLE void _MultTSGainChanged(int value);
    Q_INVOKABLE void _MultTSAtExposure(int aeVal);
    Q_INVOKABLE double _MultTSGetExposure();
    Q_INVOKABLE double _MultTSGetGain();
    Q_INVOKABLE void _MultTSCaptureStart(double expCap, int lightType);
    Q_INVOKABLE void _MultTSUpdateExpInfo();
    Q_INVOKABLE void _MultTSUpdateExpName(QString newName, QString newImageSavePath);
    Q_INVOKABLE void _MultTSCancelCapture();
    Q_INVOKABLE void _MultUpdateCurImageName(QString imageName);
    Q_INVOKABLE void _MultTSUpdateImageShow(int minInten, int maxInten);
    Q_INVOKABLE void _MultTSExitExperiment();

    // Lights, filters, lens
    Q_INVOKABLE void lightChange(bool on);
    Q_INVOKABLE void lightCmd(int lightType, bool on);
    Q_INVOKABLE void _MultiLightCmd(int lightType, bool on);
    Q_INVOKABLE void _GelTSLightChanged(int lightType, bool autoMatchFilter, int pos);
    Q_INVOKABLE void _MultTSLightChanged(int lightType, bool autoMatchFilter, int pos);
    Q_INVOKABLE void _GelTSFilterChanged(int pos);
    Q_INVOKABLE void _MultTSFilterChanged(int pos);
    Q_INVOKABLE void lensCtrl(int value);
    Q_INVOKABLE void lensCmd(Ctrl_Bits ctrl_bit, QList<Data_Bits> bitsList);
    Q_INVOKABLE void _FocusChanged(int value);
    Q_INVOKABLE void stopAutoFocus();
    Q_INVOKABLE void _WBTSSpacecomAtFocus();
    Q_INVOKABLE void _GelTSSpacecomAtFocus();
    Q_INVOKABLE void _MultTSSpacecomAtFocus();

    // Device timer
    Q_INVOKABLE void lightAutoShutDown(int time);

    // Experiment tables and folders
    Q_INVOKABLE QVariantList loadAllDate(int expMode, QString userName, QString name, QString startDate,
                                         QString endDate);
    Q_INVOKABLE QVariantList loadByDate(int expMode, QString date, QString userName, QString name);
    Q_INVOKABLE QVariantList deleteExps(int expMode, QStringList expNameList);
    Q_INVOKABLE void updateNameAndImgSavePathByUuid(int expMode, QString uuid, QString newName,
                                                    QString oriImageSavePath, QString newImageSavePath);
    Q_INVOKABLE QVariantList loadExpParamByImageSavePath(int expMode, QString imageSavePath);
    Q_INVOKABLE QStringList getDirFilesName(QString dirPath);

    // Flat field, ROI, misc.
    Q_INVOKABLE void getStandardImage();
    Q_INVOKABLE void getDarkImage();
    Q_INVOKABLE bool isFFC();
    Q_INVOKABLE void setFFC(bool state);
    Q_INVOKABLE bool isInFFC();
    Q_INVOKABLE void setisInFFC(bool state);
    Q_INVOKABLE void calculateFFC();
    Q_INVOKABLE void resetFFC();
    Q_INVOKABLE void setPercent(int percent);
    Q_INVOKABLE bool isAlreadyFFC();
    Q_INVOKABLE void getStandardImageFor535();
    Q_INVOKABLE void getDarkImageFor535();
    Q_INVOKABLE void getStandardImageFor605();
    Q_INVOKABLE void getDarkImageFor605();
    Q_INVOKABLE void getStandardImageFor715();
    Q_INVOKABLE void getDarkImageFor715();
    Q_INVOKABLE void getStandardImageFor590();
    Q_INVOKABLE void getDarkImageFor590();
    Q_INVOKABLE void removeCorrectionData();
    Q_INVOKABLE void setRoi(int x, int y, int width, int height);
    Q_INVOKABLE void removeSetRoi();
    Q_INVOKABLE void clearRoiList();
    Q_INVOKABLE void openUserManual();
    Q_INVOKABLE void showScreenKeyboard(bool show);
    Q_INVOKABLE void updateExportInfo(QString curBinning, QString curExposure, QString curGain);
    Q_INVOKABLE void setExportFlag(bool flag);
    Q_INVOKABLE void exportImage(QVariantList selectedImageNameList, QString imageSaveFolder);

    // Histogram series handed over by the pages
    Q_INVOKABLE void setLineSeries(QtCharts::QLineSeries* series);
    Q_INVOKABLE void setMultLineSeries(QtCharts::QLineSeries* series);
    Q_INVOKABLE void setGelLineSeries(QtCharts::QLineSeries* series);

    // Image list, histogram, image refresh
    Q_INVOKABLE void _WBQIImageListClicked(int index);
    Q_INVOKABLE void _WBQIUpdateHisShowAndImageShow();
    Q_INVOKABLE void _WBTSImageListClicked(int index);
    Q_INVOKABLE void _WBTSUpdateHisShowAndImageShow();
    Q_INVOKABLE void _GelTSImageListClicked(int index);
    Q_INVOKABLE void _GelTSUpdateHisShowAndImageShow();
    Q_INVOKABLE void _MultTSImageListClicked(int index);
    Q_INVOKABLE void _MultTSUpdateHisShowAndImageShow();

    // Generated and merged images
    Q_INVOKABLE QString _WBQIGenerateImage();
    Q_INVOKABLE QString _WBTSGenerateImage();
    Q_INVOKABLE QString _GelTsGenerateImage();
    Q_INVOKABLE QString _MultTSGenerateImage();
    Q_INVOKABLE QString _WBQIMergeImage(QVariantList checkedList);
    Q_INVOKABLE QString _WBTSMergeImage(QVariantList checkedList);
    Q_INVOKABLE QString _WBTSColorMergeImage(QString colorImageName, QVariantList checkedList);
    Q_INVOKABLE QString _WBTSPesudoMerge(QVariantList checkedList);

    // Pseudo-colour images
    Q_INVOKABLE QString _WBQIPseudoColorImage(int imageIndex);
    Q_INVOKABLE QString _WBTSPseudoColorImage(int imageIndex);

    // Multi-fluorescence merge, staining, gel dye
    Q_INVOKABLE QString _MultTSMergeImage(QVariantList imageNameList);
    Q_INVOKABLE QString _MultTSStaining(Qt::GlobalColor color, QString imageName);
    Q_INVOKABLE QString _GelTSDyeBlue(QString imagePath);

    // Export
    Q_INVOKABLE void _WBQIExportImage(QString imageSaveFileName, int index, QString srcPseudoImageName);
    Q_INVOKABLE void _WBTSExportImage(QString imageSaveFileName, int index, QString srcPseudoImageName);
    Q_INVOKABLE void _GelTSExportImage(QString imageSaveFileName, int index);
    Q_INVOKABLE void _MultTSExportImage(QString imageSaveFileName, int index);
    Q_INVOKABLE void exportImage(QString fileName, QString imageSaveFileName, int index);

    // Word-processor report
    Q_INVOKABLE void exportWPS(QString imageSaveFileName, QString curUserName, QString srcPseudoImageName);

    // Deletion and renaming
    Q_INVOKABLE void _WBQIDeleteImage(int j);
    Q_INVOKABLE void _WBTSDeleteImage(int j);
    Q_INVOKABLE void _GelTSDeleteImage(QVariantList indexList);
    Q_INVOKABLE void _MultTSDeleteImage(int j);
    Q_INVOKABLE void _WBQIDeletePseudoColorImage(QString imageName);
    Q_INVOKABLE void _WBTSDeletePseudoColorImage(QString imageName);
    Q_INVOKABLE void _MultTSDeleteColorAMergeImage(QString imageName);
    Q_INVOKABLE void updateImageName(int expMode, QString oriImageSavePath, QString newImageSavePath);
    Q_INVOKABLE void deleteFilesAndExps(EnumOBJ::ExpMode expMode, QStringList imageSavePathList);

    // Image-list refresh and image-library paths
    Q_INVOKABLE void updateImageByISP(int index, QVariantList imageSavePathList);
    Q_INVOKABLE QVariantList loadAllImageSavePath();

    // Image-analysis program
    Q_INVOKABLE void imageEdit(QString fileName = QString(), QString srcPseudoImageName = QString());
    Q_INVOKABLE void imagePageEdit(QString imageName);

    // Audit-trail report
    Q_INVOKABLE bool exportAuditTrail(QString fileName, QVariantList listModel, QString infoStr);

signals:
    void machineNameChanged();
    void errorCodeChanged();
    void authorityTypeChanged();
    void sum2BinIndexChanged();
    void expModeChanged();
    void imageChanged();
    void estimateStart();
    void captureStart();
    void captureFinished(QString imageSavePath);
    void changeAxisYMaxAndSliderValue(bool isAuto, double axisYMax, int min, int max);
    void doorStatusChange(bool open);
    void cutStatusChange(bool on);
    void lightStatusChange(bool on);
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);
    void updateEstimateTime(int estimateTime);
    void userManualOpenFailed();
    void updateListView(int curIndex, int j, QString fileName);
    void closeLoadingDialog(int index);
    void camInitFinish();
    void previewStoped();
    void setAEFinished();
    void focusValueChanged(int focusCurrentAddr);
    void updateBoardType(int boardType);
    void aFFinished();
    void tempWarning();
    void focusMoved();
    void deleteFinished();
    void exportFinished();
    void readZoom();
    void setAFFinished();
    void filterFin();
    void sig_FocusMove(int mValue);
    void colorMarkerCaped(QString imageName, int bin, double expCap, int gain);
    void sig_exportCount(int curIndex, int totalNum);
    void sig_exportBreak();

public slots:
    void readDataHandle(QByteArray data);
    void slot_SerialPortErrorOccur();
    void slot_CamErrorOccur();
    void updateImageHandle();
    void finishHandle();

private:
    // Frames command with the data bytes, stores it as the link's current command and writes it.
    void sendFrame(Ctrl_Bits command, const QList<Data_Bits>& data);
    // Sends through LightCtrl (written first), then stores the frame as current command.
    void sendLightCmd(Ctrl_Bits command, const QList<Data_Bits>& data);
    // The GUI thread's fixed pauses of the bring-up, shortened under the test time scale.
    static void pause(int ms);
    void startLensThread();
    void cameraReady();
    void startAtFocus(EnumOBJ::ExpMode mode, bool previewRunning);
    // Western-blot flow of the Tucsen camera, one step per thread.
    void stopWBTSPreview(bool autoCapture, bool startNext);
    void wbTSPreviewEnded(bool autoCapture, bool startNext);
    void startWBTSEstimate();
    void startWBTSCapture();
    bool createWBTSExperiment();
    void wbTSImageCaped(QString imageName, int bin, double expCap, int gain);
    // A copy of the Tucsen histogram record at index; false (logged) when index addresses no
    // frame with a record.
    bool tsHistogramAt(int index, HistogramInfo& out);
    void drawHistogram(QtCharts::QLineSeries* series, const HistogramInfo& info);
    static void notAvailable(const char* method);

    EnumOBJ::ErrorCode m_errorCode = EnumOBJ::NoErr;
    EnumOBJ::MachineName m_machineName = EnumOBJ::Unknow_MachineName;
    EnumOBJ::AuthorityType m_authorityType = EnumOBJ::Unknow_AuthorityType;
    EnumOBJ::ExpMode m_expMode = EnumOBJ::Unknow_ExpMode;
    bool m_singleCaptureVisible = true;
    QString m_curExpName;
    // The camera bring-up sets 7; before it no summed-binning index is known.
    int m_sum2BinIndex = 0;
};
