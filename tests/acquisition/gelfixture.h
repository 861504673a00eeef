#pragma once
// The virtual cabinet for the gel threads: the Tucsen camera of a configuration opened through
// the controller, the controller board on a pseudo-terminal with the serial link on it, the gel
// experiment table, and a recorder of what the threads signal (delivered queued, on the test
// thread).

#include "asyncserialportthread.h"
#include "boardtestcontrol.h"
#include "enumobj.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"
#include "tucam_test.h"
#include "useropts.h"
#include "virtualboard.h"

#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class GelTSCaptureThread;
class GelTSPreviewThread;

class GelRecorder : public QObject {
    Q_OBJECT
public:
    QStringList events;   // "image <bin> <exp> <gain>", "color <bin> <exp> <gain>", "error", "preview"
    QStringList paths;    // image and colour paths in order
    int previews = 0;

public slots:
    void onImage(QString path, int bin, double exp, int gain)
    {
        events << QStringLiteral("image %1 %2 %3").arg(bin).arg(exp).arg(gain);
        paths << path;
    }
    void onColor(QString path, int bin, double exp, int gain)
    {
        events << QStringLiteral("color %1 %2 %3").arg(bin).arg(exp).arg(gain);
        paths << path;
    }
    void onError() { events << QStringLiteral("error"); }
    void onPreview() { ++previews; }
};

class GelCabinet : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The camera of a configuration (Cam695 and AllAuthorityTS after SetUp).
    void useCamera(tucamtest::Model model, EnumOBJ::AuthorityType authority);
    // The next case of a table on the same camera and board: lists, references, flags, scripts,
    // logs and the cabinet as SetUp leaves them.
    void nextCase();
    void setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set);
    // Inserts the experiment row the capture looks up by the controller's expName.
    void insertExperiment(const QString& name);
    // Only names the experiment: no row carries the name.
    void nameExperimentWithoutRow(const QString& name);
    std::unique_ptr<GelExperimentRecord> row() const;

    // Everything the program has sent so far reaches the board: a request the program never
    // sends follows it, and its arrival is awaited.
    bool flushBoard();
    // Data bytes of every frame of command code the board received, in order ("01 02", "c1").
    QStringList commands(quint8 code = 0xF2) const;
    bool waitForCommands(int count, quint8 code = 0xF2, int timeoutMs = 20000) const;

    // Connected to the recorder, on the fixture's lights and capture mutex; started.
    void start(GelTSCaptureThread& thread, GelRecorder& recorder);
    void start(GelTSPreviewThread& thread, GelRecorder& recorder);
    // Runs a thread to its end and delivers its queued signals.
    bool runToEnd(QThread& thread, int timeoutMs = 60000);
    // The main controller's cancel: waits for the running exposure, then aborts it under the
    // capture mutex. Tells apart a cancel that aborted from one that found the capture ended.
    enum class Cancel { Aborted, CaptureEnded, TimedOut };
    Cancel cancelCapture(GelTSCaptureThread& thread, int timeoutMs = 20000);
    // A preview stopped as the controller stops it.
    bool stopPreview(GelTSPreviewThread& thread);

    QStringList filesIn(const QString& folder, const QString& pattern = QStringLiteral("*.tif")) const;
    QString folderB() const;
    // Values the camera was given for a property since the call log was cleared.
    std::vector<double> propertySets(int property) const;
    std::vector<double> capabilitySets(int capability) const;
    // Whether the driver holds a running capture or a buffer.
    static bool cameraIdle();

    H695ICECamCtrl* ctrl = nullptr;
    UserOpts* opts = nullptr;
    GelExperimentDB* db = nullptr;
    std::unique_ptr<vboard::VirtualBoard> board;
    std::unique_ptr<vboard::BoardTestControl> control;
    std::unique_ptr<ASyncSerialPortThread> link;
    std::unique_ptr<LightCtrl> light;
    QMutex captureMutex;
    QString folder;   // the experiment's folder A
    QString expName;
};
