#pragma once
// The one object through which QML ("MainCtrl") reaches devices, cameras, acquisition threads
// and the experiment tables. Lives in the GUI thread for the life of the process.
//
// The controller keeps the properties, the device bring-up, the status dispatcher and the board
// commands. Each mode's flow is an object of its own (ControlModule/Flows) holding that flow's
// threads, flags and records; the controller owns them, hands them one FlowContext (the shared
// devices, the configuration, the error, the signals the pages hear) and forwards each of their
// invokables in one line. Files:
//   ic_maincontrol.cpp               object, properties, flow wiring, slots
//   ic_maincontrol_devices.cpp       device bring-up by instrument model
//   ic_maincontrol_dispatch.cpp      status frames of the controller board
//   ic_maincontrol_commands.cpp      light, filter and lens commands, autofocus and lens moves
//   ic_maincontrol_wb.cpp            forwards to the Western-blot flows (Tucsen, kestrix64)
//   ic_maincontrol_gel.cpp           forwards to the gel flow
//   ic_maincontrol_mult.cpp          forwards to the multi-fluorescence flow
//   ic_maincontrol_housekeeping.cpp  forwards to the housekeeping flow
//   ic_maincontrol_library.cpp       forwards to the image library flow (listings, exports, hand-off)
//   ic_maincontrol_files.cpp         forwards to the files flow (deletion, renaming, report)
//   ic_maincontrol_images.cpp        image operations of the current experiment

#include "devicecmd.h"
#include "enumobj.h"
#include "experimentimages.h"
#include "passwordhash.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtCharts/QLineSeries>

#include <functional>
#include <memory>

class ASyncSerialPortThread;
class CamOpts;
class FilesFlow;
class FlowContext;
class GelExperimentDB;
class GelFlow;
class H695ICECamCtrl;
class HousekeepingFlow;
class KestrixCtrl;
class LensFlow;
class LibraryFlow;
class LightCtrl;
class ModbusMaster;
class MultExperimentDB;
class MultFlow;
class QMutex;
class QThread;
class TucsenAutoExposure;
class UserOpts;
class WBQIFlow;
class WBTSFlow;
class WesternBlotExperimentDB;

class IC_MainControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(EnumOBJ::MachineName machineName READ machineName NOTIFY machineNameChanged)
    Q_PROPERTY(EnumOBJ::ErrorCode errorCode READ errorCode WRITE setErrorCode NOTIFY errorCodeChanged)
    Q_PROPERTY(QString errorDetail READ errorDetail NOTIFY errorCodeChanged)
    Q_PROPERTY(EnumOBJ::AuthorityType authorityType READ authorityType WRITE setAuthorityType NOTIFY
                   authorityTypeChanged)
    Q_PROPERTY(EnumOBJ::ExpMode expMode READ expMode WRITE setExpMode NOTIFY expModeChanged)
    Q_PROPERTY(bool singleCaptureVisible READ singleCaptureVisible WRITE setSingleCaptureVisible)
    Q_PROPERTY(QString curExpName READ curExpName WRITE setCurExpName)
    Q_PROPERTY(int sum2BinIndex READ sum2BinIndex WRITE setSum2BinIndex NOTIFY sum2BinIndexChanged)
    // Facts of the configuration (authorityType) from the model table; the pages bind to these.
    Q_PROPERTY(bool isKestrix READ isKestrix NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isTucsen READ isTucsen NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool hasWBMode READ hasWBMode NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool hasGelMode READ hasGelMode NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool hasMultMode READ hasMultMode NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isWBFL9BW READ isWBFL9BW NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isGelFL9BW READ isGelFL9BW NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isMultFL9BW READ isMultFL9BW NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool hasMotorLens READ hasMotorLens NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isSingleGel READ isSingleGel NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isMiniCabinet READ isMiniCabinet NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool hasDoor READ hasDoor NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool isGelAndWBTS READ isGelAndWBTS NOTIFY authorityTypeChanged)
    Q_PROPERTY(bool hasFilterWheel READ hasFilterWheel NOTIFY authorityTypeChanged)

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
    // What the error concerns, for the operator (the folder of a failed write); often empty.
    QString errorDetail() const;
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

    // The configuration facts (see MachineModel): the board-driven lens of the "_Auto" cabinets is
    // hasMotorLens, the S20Mini gel cabinet isSingleGel.
    bool isKestrix() const;
    bool isTucsen() const;
    bool hasWBMode() const;
    bool hasGelMode() const;
    bool hasMultMode() const;
    bool isWBFL9BW() const;
    bool isGelFL9BW() const;
    bool isMultFL9BW() const;
    bool hasMotorLens() const;
    bool isSingleGel() const;
    bool isMiniCabinet() const;
    bool hasDoor() const;
    bool isGelAndWBTS() const;
    bool hasFilterWheel() const;

    // Sets errorCode and emits errorCodeChanged: the way every failure reaches the pages.
    void reportError(EnumOBJ::ErrorCode errorCode);
    // The template the reports fill; "" for the one beside the program.
    void setReportTemplate(const QString& templateFile);

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
    // the SMBus lens of the S20Mini. Failures land in errorCode.
    void initDevice();
    bool initTSDevice();
    bool initQIDevice();
    bool openSerialPort(quint16 productId);

    // Removes the files (not folders) of dir; stops at the first that cannot be removed.
    static void removeDirFiles(const QString& dir);
    // The filter-wheel byte of a position; 0x2E (and a log line) for an unknown one.
    static Data_Bits filterByte(int pos);

    // Where a worker thread ends; runs at once when the thread has finished already.
    void runWhenFinished(QThread* thread, std::function<void()> continuation);

    // The flows behind the invokables and what they share; owned by the controller.
    FlowContext* context() const { return m_context.get(); }
    TucsenAutoExposure* autoExposure() const { return m_autoExposure.get(); }
    LensFlow* lens() const { return m_lens.get(); }
    WBTSFlow* wbTS() const { return m_wbTS.get(); }
    WBQIFlow* wbQI() const { return m_wbQI.get(); }
    GelFlow* gel() const { return m_gel.get(); }
    MultFlow* mult() const { return m_mult.get(); }
    HousekeepingFlow* housekeeping() const { return m_housekeeping.get(); }
    LibraryFlow* library() const { return m_library.get(); }
    FilesFlow* files() const { return m_files.get(); }

    // The shared objects the controller holds and hands to its flows.
    CamOpts* camOpt;
    UserOpts* userOpt;
    KestrixCtrl* kestrixCtrl;
    ASyncSerialPortThread* serialPortThread;
    ModbusMaster* modbusMaster;
    LightCtrl* lightCtrl;
    WesternBlotExperimentDB* wbExpDB;
    H695ICECamCtrl* h695ICECamCtrl;
    GelExperimentDB* gelExpDB;
    MultExperimentDB* multExpDB;
    // Held by the Tucsen capture threads around each camera start.
    QMutex* captureMutex;
    // State of the serial link's bring-up and of the status dispatcher.
    bool serialPortFound = false;
    quint8 receiveFailCount = 0;
    quint8 resendCount = 0;
    // Generated, merged, pseudo-colour, stained and dyed images of the current experiment.
    ExperimentImages* const images = new ExperimentImages(h695ICECamCtrl, kestrixCtrl, userOpt, this);

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
    // The light the board last confirmed on (Unknow_LightType: off, or none confirmed yet).
    Q_INVOKABLE int litLight() const;
    // What the board last confirmed of the wheel (EnumOBJ::FilterType), the lens (its position)
    // and the door: -1 / -1 / closed before it confirmed any.
    Q_INVOKABLE int confirmedFilter() const;
    Q_INVOKABLE int confirmedLens() const;
    Q_INVOKABLE bool confirmedDoorOpen() const;
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
    // False (nothing changed) when the folder or the row could not be renamed.
    Q_INVOKABLE bool updateNameAndImgSavePathByUuid(int expMode, QString uuid, QString newName,
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
    Q_INVOKABLE void reloadFFC();
    // The picture item found references that do not cover the live frame (see HousekeepingFlow).
    void switchOffFFC();
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
    Q_INVOKABLE bool _WBQIExportImage(QString imageSaveFileName, int index, QString srcPseudoImageName);
    Q_INVOKABLE bool _WBTSExportImage(QString imageSaveFileName, int index, QString srcPseudoImageName);
    Q_INVOKABLE bool _GelTSExportImage(QString imageSaveFileName, int index);
    Q_INVOKABLE bool _MultTSExportImage(QString imageSaveFileName, int index);
    Q_INVOKABLE bool exportImage(QString fileName, QString imageSaveFileName, int index);
    // The batch export's overwrite question; answers the waiting export thread.
    void askOverwrite(QString fileName);

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
    // False (nothing changed) when the file or the row could not be renamed.
    Q_INVOKABLE bool updateImageName(int expMode, QString oriImageSavePath, QString newImageSavePath);
    Q_INVOKABLE void deleteFilesAndExps(EnumOBJ::ExpMode expMode, QStringList imageSavePathList);
    // After deleteFinished: what that deletion did (FilesFlow::lastDeletion), for the audit trail.
    Q_INVOKABLE QVariantMap lastDeletion() const;

    // Image-list refresh and image-library paths
    Q_INVOKABLE void updateImageByISP(int index, QVariantList imageSavePathList);
    Q_INVOKABLE QVariantList loadAllImageSavePath();

    // Image-analysis program
    Q_INVOKABLE void imageEdit(QString fileName = QString(), QString srcPseudoImageName = QString());
    // False when the image-analysis program is missing or did not start.
    Q_INVOKABLE bool imagePageEdit(QString imageName);

    // Audit-trail report
    Q_INVOKABLE bool exportAuditTrail(QString fileName, QVariantList listModel, QString infoStr);

    // Password records of the user store
    Q_INVOKABLE QString hashPassword(QString password) { return PasswordHash::hash(password); }
    Q_INVOKABLE bool verifyPassword(QString password, QString record) { return PasswordHash::verify(password, record); }
    Q_INVOKABLE bool passwordNeedsRehash(QString record) { return PasswordHash::needsRehash(record); }

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
    // A light command the board let pass unanswered: the lights are as litLight() says.
    void lightCommandUnanswered(int lightType, bool on);
    // A filter, lens or door command the board let pass unanswered; the argument is what it last
    // confirmed (confirmedFilter, confirmedLens, confirmedDoorOpen). The lens option
    // curFocusValue is set back to that position first. withLight: the frame also switched a
    // light, and lightCommandUnanswered has told that already.
    void filterCommandUnanswered(int position, bool withLight);
    void lensCommandUnanswered(int position);
    void doorCommandUnanswered(bool open);
    // A light or filter command told unanswered was carried out after all: litLight and
    // confirmedFilter say what the cabinet has now. (A late lens or door command is reported by
    // the board itself.)
    void boardConfirmedLate();
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);
    void updateEstimateTime(int estimateTime);
    void userManualOpenFailed();
    // Flat-field correction was switched off because its references no longer fit the picture.
    void ffcSwitchedOff();
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
    // A report is done (see FilesFlow::exportFinished).
    void exportFinished(bool ok, const QString& document, const QString& reason);
    void readZoom();
    void setAFFinished();
    void filterFin();
    void sig_FocusMove(int mValue);
    void colorMarkerCaped(QString imageName, int bin, double expCap, int gain);
    void sig_exportCount(int curIndex, int totalNum);
    void sig_exportBreak();
    // One picture of the batch export could not be written to target.
    void sig_exportFailed(QString target);

public slots:
    void readDataHandle(QByteArray data);
    void slot_SerialPortErrorOccur();
    void slot_CamErrorOccur();
    void updateImageHandle();
    void finishHandle();

private:
    // The GUI thread's fixed pauses of the bring-up, shortened under the test time scale.
    static void pause(int ms);
    // The serial link's handshake and first commands, the same on every model.
    bool bringUpBoard();
    void startLensThread();
    void cameraReady();
    // The library and files flows' signals passed on as the controller's own.
    void wireLibrary();
    void wireFiles();
    // Exports the current picture of the mode to url (TIFF, 1200 dpi, enlarged, no overlay); false
    // when the configuration and mode have none.
    bool exportCurrentImage(const QString& url, const QString& srcPseudoImageName);

    EnumOBJ::MachineName m_machineName = EnumOBJ::Unknow_MachineName;
    EnumOBJ::ExpMode m_expMode = EnumOBJ::Unknow_ExpMode;
    // The camera bring-up sets 7; before it no summed-binning index is known.
    int m_sum2BinIndex = 0;

    // Made in this order; the destructor ends them in reverse, before the capture mutex.
    std::unique_ptr<FlowContext> m_context;
    std::unique_ptr<TucsenAutoExposure> m_autoExposure;
    std::unique_ptr<LensFlow> m_lens;
    std::unique_ptr<WBTSFlow> m_wbTS;
    std::unique_ptr<WBQIFlow> m_wbQI;
    std::unique_ptr<GelFlow> m_gel;
    std::unique_ptr<MultFlow> m_mult;
    std::unique_ptr<HousekeepingFlow> m_housekeeping;
    std::unique_ptr<LibraryFlow> m_library;
    std::unique_ptr<FilesFlow> m_files;
};
