#pragma once
// What the flows of the main controller share, handed to each of them by the controller: the
// cabinet's devices and stores, its configuration, the error the pages show, the board and light
// commands the flows send, and the signals the pages hear. The controller passes every signal of
// this object that the pages hear on as its own, so a flow emits here and never needs the
// controller: a test builds a context on the virtual cabinet and drives one flow alone. GUI thread
// only.

#include "devicecmd.h"
#include "enumobj.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QtCharts/QLineSeries>
#include <QString>

#include <functional>

class ASyncSerialPortThread;
class BoardEchoes;
class ExperimentRecord;
class CamOpts;
class GelExperimentDB;
class H695ICECamCtrl;
class KestrixCtrl;
class LightCtrl;
class MultExperimentDB;
class QMutex;
class QThread;
class TsFrameStore;
class UserOpts;
class WesternBlotExperimentDB;

namespace QtCharts {
class QLineSeries;
}

class FlowContext : public QObject {
    Q_OBJECT
public:
    // The shared objects; the context owns none of them.
    struct Devices {
        H695ICECamCtrl* tucsen = nullptr;
        KestrixCtrl* kestrix = nullptr;
        ASyncSerialPortThread* link = nullptr;
        LightCtrl* lightCtrl = nullptr;
        CamOpts* camOpts = nullptr;
        UserOpts* userOpts = nullptr;
        WesternBlotExperimentDB* wbExpDB = nullptr;
        GelExperimentDB* gelExpDB = nullptr;
        MultExperimentDB* multExpDB = nullptr;
        // Held by the Tucsen capture threads around each camera start.
        QMutex* captureMutex = nullptr;
    };

    explicit FlowContext(const Devices& devices, QObject* parent = nullptr);
    ~FlowContext() override;

    H695ICECamCtrl* tucsen() const { return m_devices.tucsen; }
    // The Tucsen camera's kept frames (its controller's store); null without that camera.
    TsFrameStore* tucsenFrames() const;
    KestrixCtrl* kestrix() const { return m_devices.kestrix; }
    ASyncSerialPortThread* link() const { return m_devices.link; }
    LightCtrl* lightCtrl() const { return m_devices.lightCtrl; }
    CamOpts* camOpts() const { return m_devices.camOpts; }
    UserOpts* userOpts() const { return m_devices.userOpts; }
    WesternBlotExperimentDB* wbExpDB() const { return m_devices.wbExpDB; }
    GelExperimentDB* gelExpDB() const { return m_devices.gelExpDB; }
    MultExperimentDB* multExpDB() const { return m_devices.multExpDB; }
    QMutex* captureMutex() const { return m_devices.captureMutex; }

    // The cabinet's configuration; the controller's property of the same name reads it here.
    EnumOBJ::AuthorityType authorityType() const { return m_authorityType; }
    void setAuthorityType(EnumOBJ::AuthorityType authorityType) { m_authorityType = authorityType; }
    bool singleCaptureVisible() const { return m_singleCaptureVisible; }
    // Also copies the flag into the camera controller of the configuration.
    void setSingleCaptureVisible(bool visible);
    QString curExpName() const { return m_curExpName; }
    void setCurExpName(const QString& name) { m_curExpName = name; }

    EnumOBJ::ErrorCode errorCode() const { return m_errorCode; }
    // Stores only: a page may clear the error shown without raising it again.
    void setErrorCode(EnumOBJ::ErrorCode errorCode) { m_errorCode = errorCode; }
    // Stores, logs and emits errorCodeChanged: the way every failure reaches the pages. detail
    // (the folder and cause of a failed write) goes with the code to the pages.
    void reportError(EnumOBJ::ErrorCode errorCode, const QString& detail = QString());
    QString errorDetail() const { return m_errorDetail; }
    // A camera failure of an acquisition thread: CameraErr, and the camera of the configuration
    // is closed.
    void cameraError();
    // A picture of a capture that could not be written (path: its folder-A path): SaveErr with
    // the folder and the cause. The camera stays open: the next capture may find room.
    void saveFailed(const QString& path);

    // Board commands. A frame built here is stored as the link's current command and then
    // written; one sent through LightCtrl is written by it and stored after.
    void sendFrame(Ctrl_Bits command, const QList<Data_Bits>& data);
    void sendLightCmd(Ctrl_Bits command, const QList<Data_Bits>& data);
    // The main light (0xF2), told to the pages.
    void lightChange(bool on);
    // One light of the gel board (0xF1); remembered as curLightType.
    void lightCmd(int lightType, bool on);
    int curLightType() const { return m_curLightType; }
    // The light the board has confirmed on by echoing a light command; Unknow_LightType when it
    // confirmed the lights off, or none yet. A light command it lets pass unanswered changes
    // nothing here: the pages hear lightCommandUnanswered and show this one again.
    int litLight() const;
    // The board put its lamps out by itself (its timed shut-down): none is lit any more.
    void lampsShutDown();
    // The light, filter-wheel, lens and door commands sent here, until the board echoes them.
    BoardEchoes& echoes() const { return *m_echoes; }
    // A light command is on its way: neither echoed nor let pass by the board yet.
    bool lightCommandPending() const;

    // The moment a new experiment of that kind is named after (prefix followed by it as
    // "yyyyMMdd-hhmmss"): now, or else the first second after it whose name no experiment of any
    // kind holds and whose folder <root>/<yyyy-MM-dd>/<name>/ exists neither below
    // <appDir>/Images nor in the operator's image folder. An experiment started within the second
    // of the last one, or after the clock went back, would otherwise share its row or its
    // pictures. Now when no second of the next hour is free (the row's insert then refuses it).
    QDateTime experimentMoment(const QString& prefix, const QDateTime& now) const;
    static QString experimentName(const QString& prefix, const QDateTime& moment);

    // A renamed experiment of a Tucsen mode: its record, the name the camera gives its pictures
    // and the one the pages show. Nothing happens without a record.
    void renameTucsenExperiment(ExperimentRecord* record, const QString& name, const QString& imageSavePath);

    // Histogram series the pages hand over, drawn by the image refresh of each mode. Guarded:
    // a page (and its chart) may go before the controller.
    QPointer<QtCharts::QLineSeries> wbLineSeries;
    QPointer<QtCharts::QLineSeries> gelLineSeries;
    QPointer<QtCharts::QLineSeries> multLineSeries;

    // Runs continuation once when thread has finished, at once when it has finished already;
    // receiver ends the wait when it is destroyed first.
    static void runWhenFinished(QThread* thread, QObject* receiver, std::function<void()> continuation);

signals:
    void errorCodeChanged();
    void imageChanged();
    void estimateStart();
    void captureStart();
    void captureFinished(QString imageSavePath);
    void changeAxisYMaxAndSliderValue(bool isAuto, double axisYMax, int min, int max);
    void lightStatusChange(bool on);
    void singleImageCaped(QString imageName, int bin, double expCap, int gain);
    void colorMarkerCaped(QString imageName, int bin, double expCap, int gain);
    void updateEstimateTime(int estimateTime);
    void previewStoped();
    void setAEFinished();
    void setAFFinished();
    void aFFinished();
    void focusMoved();
    void sig_FocusMove(int mValue);
    // The board let a command of that light pass unanswered; litLight is what it last confirmed.
    void lightCommandUnanswered(int lightType, bool on);
    // The board echoed a light command; litLight is up to date. Not for the pages.
    void lightCommandAnswered();

private:
    const Devices m_devices;
    BoardEchoes* m_echoes;
    EnumOBJ::AuthorityType m_authorityType = EnumOBJ::Unknow_AuthorityType;
    EnumOBJ::ErrorCode m_errorCode = EnumOBJ::NoErr;
    QString m_errorDetail;
    bool m_singleCaptureVisible = true;
    QString m_curExpName;
    int m_curLightType = 0;
};
