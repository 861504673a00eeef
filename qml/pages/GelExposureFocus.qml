import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.CamOpts 1.0
import "../dialogs"
import "../js/GelCapture.js" as Gel

// Automatic exposure (the poll that follows the camera until exposure and gain settle) and the
// autofocus runs of a capture page (the gel page, or the multi-fluorescence page in multMode); a
// capture that waits for them is asked for when they end.
QtObject {
    id: worker
    required property bool multMode
    // Reports that come after the page was left are dropped.
    required property bool entered
    required property bool singleGel
    required property bool fl9bw
    // A capture waits for the runs, and whether autofocus comes between exposure and capture.
    required property bool captureWaiting
    required property bool focusWanted
    required property GelCameraBar cameraBar
    required property LoadingDialog cameraDialog
    required property LoadingDialog filterDialog
    // Where the runs' dialogs open.
    required property Item overlayItem
    // The readings of the running automatic exposure.
    property var aeHistory: []
    property int aePolls: 0
    // Automatic exposure was switched off and its end reported (a calibration waits for this).
    signal autoExposureEnded()
    // The operator closed the automatic exposure dialog.
    signal autoExposureCancelled()
    // The single-gel cabinet keeps what automatic exposure found.
    signal exposureKept()
    signal exposureRead(real exposure)
    // The waiting capture is to start now.
    signal captureWanted()
    signal warning(string text)
    signal audited(string chinese, string english)
    // Closing it cancels automatic exposure.
    property LoadingDialog aeDialog: LoadingDialog {
        objectName: "aeDialog"
        parent: worker.overlayItem
        onDialogClosedSignal: {
            worker.autoExposureCancelled();
            worker.cameraBar.aeOn = false;
            worker.atExposure(false);
            worker.stopAePoll();
        }
    }
    property LoadingDialog afDialog: LoadingDialog {
        objectName: "afDialog"
        parent: worker.overlayItem
        onDialogClosedSignal: { MainCtrl.stopAutoFocus(); close() }
    }
    property Timer aePoll: Timer { interval: 1000; onTriggered: worker.pollAutoExposure() }
    // Camera frames seen: two exposure readings agree only with a new frame between them.
    property int framesSeen: 0
    property Connections frameCounter: Connections {
        target: MainCtrl
        function onImageChanged() { ++worker.framesSeen }
    }
    property Timer captureAfterFocus: Timer { interval: 1000; onTriggered: worker.captureWanted() }
    function atExposure(on) {
        if (multMode)
            MainCtrl._MultTSAtExposure(on ? 1 : 0);
        else
            MainCtrl._GelTSAtExposure(on ? 1 : 0);
    }

    function startAutoExposure(on) {
        cameraDialog.close();
        filterDialog.close();
        aeHistory = [];
        aePolls = 0;
        cameraBar.aeOn = on;
        atExposure(on);
        if (on) {
            aeDialog.text = qsTr("Auto Exposuring...");
            aeDialog.open();
        }
    }
    function onAEFinished() {
        if (!entered)
            return;
        if (cameraBar.aeOn) {
            aePoll.interval = 1000;
            aePoll.restart();
        } else {
            stopAePoll();
            // The single-gel cabinet keeps what automatic exposure found: its dialog turns manual.
            if (singleGel)
                exposureKept();
            autoExposureEnded();
        }
    }
    function stopAePoll() { aePoll.stop(); aeDialog.close() }
    function pollAutoExposure() {
        var exposure = multMode ? MainCtrl._MultTSGetExposure() : MainCtrl._GelTSGetExposure();
        var gain = Math.round(multMode ? MainCtrl._MultTSGetGain() : MainCtrl._GelTSGetGain());
        ++aePolls;
        var last = aeHistory.length > 0 ? aeHistory[aeHistory.length - 1] : null;
        // The single-gel cabinet waits until exposure and gain repeat.
        var settled = singleGel ? last !== null && last.frame < framesSeen && last.exposure === exposure
                                       && last.gain === gain
                                     : Gel.aeSettled(aeHistory, exposure, gain, aePolls, fl9bw, framesSeen);
        var history = aeHistory.slice();
        history.push({ exposure: exposure, gain: gain, frame: framesSeen });
        aeHistory = history;
        cameraBar.showExposure(exposure, gain);
        exposureRead(exposure);
        if (!settled) {
            if (multMode && fl9bw)
                MainCtrl._MultTSPreExpChanged(exposure, false);
            else if (multMode)
                MainCtrl._MultTSPreExpAndGainChanged(exposure, gain);
            else if (fl9bw)
                MainCtrl._GelTSPreExpChanged(exposure, false);
            else
                MainCtrl._GelTSPreExpAndGainChanged(exposure, gain);
            aePoll.interval = singleGel ? 1000 : 500;
            aePoll.restart();
            return;
        }
        cameraBar.aeOn = false;
        atExposure(false);
        stopAePoll();
        cameraBar.setCamOpt("CurExposurePre", Gel.round3(exposure));
        if (!fl9bw)
            cameraBar.setCamOpt("CurGain", gain);
        var limit = singleGel ? "" : Gel.aeWarning(exposure, gain, fl9bw);
        if (limit === "upper")
            warning(qsTr("Auto exposure time reaches the upper limit. Please increase exposure time or adjust gain!"));
        else if (limit === "lower")
            warning(qsTr("Auto exposure time is too short. Please reduce gain or adjust to high resolution!"));
        if (captureWaiting) {
            if (focusWanted) {
                if (singleGel)
                    startSmbusAutoFocus();
                else
                    startLensAutoFocus();
            } else {
                captureWanted();
            }
        }
    }
    function startLensAutoFocus() {
        if (multMode)
            MainCtrl._MultTSSpacecomAtFocus();
        else
            MainCtrl._GelTSSpacecomAtFocus();
        afDialog.text = qsTr("Auto Focusing...");
        afDialog.open();
        audited("镜头设置: 点击自动聚焦", "Lens setting: Autofocus Clicked");
    }
    // The single-gel cabinet's own lens.
    function startSmbusAutoFocus() {
        MainCtrl._GelTS20BWAtFocus();
        afDialog.text = qsTr("Auto Focusing...");
        afDialog.open();
    }
    function onAFFinished() {
        if (!afDialog.opened)
            return;
        afDialog.close();
        if (captureWaiting)
            captureAfterFocus.restart();
    }
}
