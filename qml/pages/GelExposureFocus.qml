import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.CamOpts 1.0
import "../js/GelCapture.js" as Gel

// Automatic exposure (the poll that follows the camera until exposure and gain settle) and the
// autofocus runs of a capture page (the gel page, or the multi-fluorescence page when
// host.multMode); a capture that waits for them starts when they end.
QtObject {
    id: worker
    property var host
    readonly property bool multMode: host.multMode === true
    // Automatic exposure was switched off and its end reported (a calibration waits for this).
    signal autoExposureEnded()
    property Timer aePoll: Timer { interval: 1000; onTriggered: worker.pollAutoExposure() }
    // Camera frames seen: two exposure readings agree only with a new frame between them.
    property int framesSeen: 0
    property Connections frameCounter: Connections {
        target: MainCtrl
        function onImageChanged() { ++worker.framesSeen }
    }
    property Timer captureAfterFocus: Timer {
        interval: 1000
        onTriggered: { worker.host.buttonCaptureClicked = false; worker.host.startCapture() }
    }
    function atExposure(on) {
        if (multMode)
            MainCtrl._MultTSAtExposure(on ? 1 : 0);
        else
            MainCtrl._GelTSAtExposure(on ? 1 : 0);
    }

    function startAutoExposure(on) {
        host.cameraDialog.close();
        host.filterDialog.close();
        host.aeHistory = [];
        host.aePolls = 0;
        host.cameraBar.aeOn = on;
        atExposure(on);
        if (on) {
            host.aeDialog.text = qsTr("Auto Exposuring...");
            host.aeDialog.open();
        }
    }
    function onAEFinished() {
        if (!host.entered)
            return;
        if (host.cameraBar.aeOn) {
            aePoll.interval = 1000;
            aePoll.restart();
        } else {
            stopAePoll();
            // The single-gel cabinet keeps what automatic exposure found: its dialog turns manual.
            if (host.singleGel)
                host.exposureAuto = false;
            autoExposureEnded();
        }
    }
    function stopAePoll() { aePoll.stop(); host.aeDialog.close() }
    function pollAutoExposure() {
        var exposure = multMode ? MainCtrl._MultTSGetExposure() : MainCtrl._GelTSGetExposure();
        var gain = Math.round(multMode ? MainCtrl._MultTSGetGain() : MainCtrl._GelTSGetGain());
        ++host.aePolls;
        var last = host.aeHistory.length > 0 ? host.aeHistory[host.aeHistory.length - 1] : null;
        // The single-gel cabinet waits until exposure and gain repeat.
        var settled = host.singleGel ? last !== null && last.frame < framesSeen && last.exposure === exposure
                                       && last.gain === gain
                                     : Gel.aeSettled(host.aeHistory, exposure, gain, host.aePolls, host.fl9bw, framesSeen);
        var history = host.aeHistory.slice();
        history.push({ exposure: exposure, gain: gain, frame: framesSeen });
        host.aeHistory = history;
        host.cameraBar.showExposure(exposure, gain);
        if (multMode)
            host.showPreviewExposure(exposure);
        if (!settled) {
            if (multMode && host.fl9bw)
                MainCtrl._MultTSPreExpChanged(exposure, false);
            else if (multMode)
                MainCtrl._MultTSPreExpAndGainChanged(exposure, gain);
            else if (host.fl9bw)
                MainCtrl._GelTSPreExpChanged(exposure, false);
            else
                MainCtrl._GelTSPreExpAndGainChanged(exposure, gain);
            aePoll.interval = host.singleGel ? 1000 : 500;
            aePoll.restart();
            return;
        }
        host.cameraBar.aeOn = false;
        atExposure(false);
        stopAePoll();
        host.cameraBar.setCamOpt("CurExposurePre", Gel.round3(exposure));
        if (!host.fl9bw)
            host.cameraBar.setCamOpt("CurGain", gain);
        var warning = host.singleGel ? "" : Gel.aeWarning(exposure, gain, host.fl9bw);
        if (warning === "upper")
            host.message(qsTr("Warning"), qsTr("Auto exposure time reaches the upper limit. Please increase exposure time or adjust gain!"));
        else if (warning === "lower")
            host.message(qsTr("Warning"), qsTr("Auto exposure time is too short. Please reduce gain or adjust to high resolution!"));
        if (host.buttonCaptureClicked) {
            if (host.singleGel ? host.focusAuto : host.afBox.checked) {
                if (host.singleGel)
                    startSmbusAutoFocus();
                else
                    startLensAutoFocus();
            } else {
                host.buttonCaptureClicked = false;
                host.startCapture();
            }
        }
    }
    function startLensAutoFocus() {
        if (multMode)
            MainCtrl._MultTSSpacecomAtFocus();
        else
            MainCtrl._GelTSSpacecomAtFocus();
        host.afDialog.text = qsTr("Auto Focusing...");
        host.afDialog.open();
        host.audit("镜头设置: 点击自动聚焦", "Lens setting: Autofocus Clicked");
    }
    // The single-gel cabinet's own lens.
    function startSmbusAutoFocus() {
        MainCtrl._GelTS20BWAtFocus();
        host.afDialog.text = qsTr("Auto Focusing...");
        host.afDialog.open();
    }
    function onAFFinished() {
        if (!host.afDialog.opened)
            return;
        host.afDialog.close();
        if (host.buttonCaptureClicked)
            captureAfterFocus.restart();
    }
}
