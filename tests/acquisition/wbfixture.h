#pragma once
// The virtual cabinet for the Western-blot threads: the Tucsen camera opened through the
// controller, the controller board on a pseudo-terminal with the serial link on it, the
// experiment table, and a recorder of what the threads signal (delivered queued, on the test
// thread).

#include "asyncserialportthread.h"
#include "boardtestcontrol.h"
#include "h695icecamctrl.h"
#include "lightctrl.h"
#include "useropts.h"
#include "virtualboard.h"
#include "westernblotexperimentdb.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

class Recorder : public QObject {
    Q_OBJECT
public:
    QStringList events;   // "light 1", "image <bin> <exp> <gain>", "color <bin>", "error"
    QStringList paths;    // image and colour paths in order
    int estimates = 0;
    int lastEstimate = 0;
    int previews = 0;

public slots:
    void onLight(bool on) { events << QStringLiteral("light %1").arg(on ? 1 : 0); }
    void onImage(QString path, int bin, double exp, int gain)
    {
        events << QStringLiteral("image %1 %2 %3").arg(bin).arg(exp).arg(gain);
        paths << path;
    }
    void onColor(QString path, int bin, double, int)
    {
        events << QStringLiteral("color %1").arg(bin);
        paths << path;
    }
    void onError() { events << QStringLiteral("error"); }
    void onEstimate(int value)
    {
        ++estimates;
        lastEstimate = value;
    }
    void onPreview() { ++previews; }
};

class WbCabinet : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Options of a capture; everything else at neutral values.
    void setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set);
    // Inserts the experiment row the capture looks up by the controller's expName.
    void insertExperiment(const QString& name);
    // Data bytes of every 0xF2 command the board received, in order ("01 02", "c1", ...).
    QStringList lightCommands() const;
    bool waitForLightCommands(int count, int timeoutMs = 20000) const;
    // The main controller's cancel: waits for the running exposure, then aborts it. Tells apart
    // a cancel that aborted an exposure from one that found the capture already ended.
    enum class Cancel { Aborted, CaptureEnded, TimedOut };
    Cancel cancelCapture(class WBTSCaptureThread& thread, int timeoutMs = 20000);
    // Runs a thread to its end and delivers its queued signals.
    bool runToEnd(QThread& thread, int timeoutMs = 60000);
    QStringList filesIn(const QString& folder, const QString& pattern) const;
    // Exposure values written to the camera since the call log was cleared.
    std::vector<double> exposuresSet() const;

    H695ICECamCtrl* ctrl = nullptr;
    UserOpts* opts = nullptr;
    WesternBlotExperimentDB* db = nullptr;
    std::unique_ptr<vboard::VirtualBoard> board;
    std::unique_ptr<vboard::BoardTestControl> control;
    std::unique_ptr<ASyncSerialPortThread> link;
    std::unique_ptr<LightCtrl> light;
    QString folder;   // the experiment's folder A
    QString expName;
};
