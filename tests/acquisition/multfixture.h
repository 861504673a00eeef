#pragma once
// The virtual cabinet for the multi-fluorescence and autofocus threads: the Tucsen camera of a
// chosen model opened through the controller, the cabinet's lamps, filter and lens set as the
// board would leave them, the multi-fluorescence experiment table, and what the threads signal
// (delivered queued, on the test thread).

#include "camopts.h"
#include "enumobj.h"
#include "h695icecamctrl.h"
#include "multexperimentdb.h"
#include "tucam_test.h"
#include "useropts.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

class MultRecorder : public QObject {
    Q_OBJECT
public:
    QStringList events;   // "image <bin> <exp> <gain>", "error", "lens error", "move <position>"
    QStringList paths;
    QList<int> moves;
    int previews = 0;

public slots:
    void onImage(QString path, int bin, double exp, int gain)
    {
        events << QStringLiteral("image %1 %2 %3").arg(bin).arg(exp).arg(gain);
        paths << path;
    }
    void onError() { events << QStringLiteral("error"); }
    void onLensError() { events << QStringLiteral("lens error"); }
    void onMove(int position) { moves << position; }
    void onPreview() { ++previews; }
};

class MultCabinet : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Closes the camera and opens one of another model for the configuration.
    void openCamera(tucamtest::Model model, int authorityType);
    // The camera set up as a preview of the multi-fluorescence page leaves it: the binning of
    // binningIndex, the whole sample region.
    void prepareCamera(int binningIndex, bool isFL9BW = false);
    void setOption(UserOpts::UserOptType type, const std::function<void(UserOpts*)>& set);
    // The sample region of the multi-fluorescence preview (unbinned offsets).
    void setFluRegion(int x, int y, int w, int h);
    // Inserts the row a capture looks up by the controller's expName.
    void insertExperiment(const QString& name);
    // Lamps and filter of the cabinet.
    void light(uint32_t lamps, int filterPos = 0);
    // Runs a thread to its end and delivers its queued signals.
    bool runToEnd(QThread& thread, int timeoutMs = 20000);
    // The main controller's cancel: waits for the running exposure (one permit), then aborts it.
    enum class Cancel { Aborted, CaptureEnded, TimedOut };
    Cancel cancelCapture(const std::atomic<bool>& captureFinished, int timeoutMs = 20000);
    QStringList tifsIn(const QString& folder) const;

    H695ICECamCtrl* ctrl = nullptr;
    UserOpts* opts = nullptr;
    CamOpts* camOpts = nullptr;
    MultExperimentDB* db = nullptr;
    QString folder;   // the experiment's folder under Images/<today>/
    QString expName;
};
