import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "../js/CheckLoginFunctions.js" as CLJS

// How a gel capture starts: the press (signature, experiment record, audit), a retake or an
// automatic capture waiting for the preview, and the exposure and focus runs that come first.
QtObject {
    id: starter
    required property bool singleGel
    required property bool fl9bw
    // The single-gel cabinet's modes (its exposure and focus pop-ups).
    required property bool exposureAuto
    required property bool focusAuto
    // Steps 1 to 3 of the flat-field calibration refuse captures.
    required property int calibrationStep
    required property int curLightType
    required property CheckBox aeBox
    required property CheckBox afBox
    required property GelCameraBar cameraBar
    required property Popup progressDialog

    // The experiment of this capture is recorded (once, before its first frame).
    property bool updateExpInfo: false
    // A capture waits for automatic exposure or focus to end.
    property bool buttonCaptureClicked: false
    // A retake, or an automatic capture after the door closed, waits for the preview.
    property bool reCaptureClicked: false
    property bool autoCaptureTrigered: false

    signal exposureWanted()
    signal lensFocusWanted()
    // The single-gel cabinet's own lens.
    signal smbusFocusWanted()
    signal warning(string text)
    signal audited(string chinese, string english)

    function recordOnce() {
        if (!updateExpInfo) {
            MainCtrl._GelTSUpdateExpInfo();
            updateExpInfo = true;
        }
    }
    function startCapture() { MainCtrl._GelTSCaptureStart(curLightType) }
    function captureClicked() {
        if (calibrationStep >= 1 && calibrationStep <= 3)
            return;
        CLJS.showCheckLogin(function() {
            recordOnce();
            var exposure = CamOpts.gelTSCurExposurePre;
            if (singleGel) {
                // The single-gel cabinet's own wording: the exposure as stored, its two binnings.
                var bin = CamOpts.gelTSCurBinning === 0 ? "1*1" : "2*2";
                audited("点击采集: 曝光时间: " + exposure + "ms 像素合并: " + bin + " 增益: " + CamOpts.gelTSCurGain,
                        "Capture Clicked: Preview exposure: " + exposure + "ms Binning: " + bin + " Gain: " + CamOpts.gelTSCurGain);
            } else {
                audited("点击采集: 预览曝光时间：" + Math.round(exposure) + "ms 像素合并： " + binningText("zh") + " 增益：" + gainText("zh"),
                        "Capture Clicked: Preview exposure: " + Math.round(exposure) + "ms Binning:" + binningText("en") + " Gain: " + gainText("en"));
            }
            if (singleGel) {
                reCaptureClicked = true;
                pendingCapture();
            } else if (aeBox.checked) {
                buttonCaptureClicked = true;
                exposureWanted();
            } else if (afBox.checked) {
                buttonCaptureClicked = true;
                lensFocusWanted();
            } else {
                startCapture();
            }
        });
    }
    function binningText(language) { return cameraBar.binningText(language) }
    function gainText(language) { return fl9bw ? cameraBar.gainLevelText(language) : String(CamOpts.gelTSCurGain) }

    // A retake, or the door closed with automatic capture on, captures once the preview runs.
    function pendingCapture() {
        if (!reCaptureClicked && !autoCaptureTrigered)
            return;
        reCaptureClicked = false;
        recordOnce();
        if (singleGel) {
            if (exposureAuto) {
                buttonCaptureClicked = true;
                exposureWanted();
            } else if (focusAuto) {
                buttonCaptureClicked = true;
                smbusFocusWanted();
            } else {
                startCapture();
            }
        } else if (aeBox.checked || autoCaptureTrigered) {
            autoCaptureTrigered = false;
            aeBox.checked = true;
            buttonCaptureClicked = true;
            exposureWanted();
        } else {
            startCapture();
        }
    }
    // The controller started no capture (no experiment record could be made): the preview runs
    // on, and the next press tries the record again.
    function captureRefused() {
        if (progressDialog.opened)
            return;
        buttonCaptureClicked = false;
        updateExpInfo = false;
        // A store that refused the row has already been reported, with its file and cause.
        if (MainCtrl.errorCode !== EnumOBJ.StoreErr)
            warning(qsTr("The capture did not start: the experiment could not be recorded. Please try again."));
    }
}
