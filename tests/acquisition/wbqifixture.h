#pragma once
// The virtual cabinet for the Western-blot threads of the Kestrix camera: the camera opened
// through KestrixCtrl on the kestrix64 stand-in, the controller board on a pseudo-terminal with
// the serial link on it, the experiment table, the log, and a recorder of what the threads signal
// (delivered queued, on the test thread).

#include "asyncserialportthread.h"
#include "boardtestcontrol.h"
#include "kestrix64_test.h"
#include "kestrixctrl.h"
#include "lightctrl.h"
#include "logcapture.h"
#include "useropts.h"
#include "virtualboard.h"
#include "westernblotexperimentdb.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

// Texts in failure messages, not their bytes.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

class QiRecorder : public QObject {
    Q_OBJECT
public:
    QStringList events;   // "light 1", "image <bin> <exp> <gain>", "error", "estimate <ms>"
    QStringList paths;    // image paths in order
    int previews = 0;

public slots:
    void onLight(bool on) { events << QStringLiteral("light %1").arg(on ? 1 : 0); }
    void onImage(QString path, int bin, double exp, int gain)
    {
        events << QStringLiteral("image %1 %2 %3").arg(bin).arg(exp).arg(gain);
        paths << path;
    }
    void onError() { events << QStringLiteral("error"); }
    void onEstimate(int value) { events << QStringLiteral("estimate %1").arg(value); }
    void onPreview() { ++previews; }
};

class QiCabinet : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set);
    // The capture and preview region: the whole sensor at this binning.
    void setBinning(int binning);
    // Inserts the experiment row the capture looks up by the controller's experiment name.
    void insertExperiment(const QString& name);
    // Data bytes of every 0xF2 command the board received, in order ("01 02", "c1", ...).
    QStringList lightCommands() const;
    bool waitForLightCommands(int count, int timeoutMs = 20000) const;
    // Runs a thread to its end and delivers its queued signals.
    bool runToEnd(QThread& thread, int timeoutMs = 60000);
    QStringList filesIn(const QString& folder, const QString& pattern) const;
    // The stand-in's call log, one call per line.
    static std::string callLog();
    static int callsOf(const std::string& line);
    // Log lines with exactly this text (the threads write them through qDebug).
    bool logged(const QString& line) const { return log->lines().contains(line); }

    KestrixCtrl* kx = nullptr;
    KestrixCameraContext* ctx = nullptr;
    UserOpts* opts = nullptr;
    WesternBlotExperimentDB* db = nullptr;
    std::unique_ptr<LogCapture> log;
    std::unique_ptr<vboard::VirtualBoard> board;
    std::unique_ptr<vboard::BoardTestControl> control;
    std::unique_ptr<ASyncSerialPortThread> link;
    std::unique_ptr<LightCtrl> light;
    QString folder;   // the experiment's folder below the application directory
    QString userFolder;   // its copy below imageSavePath
    QString expName;
};
