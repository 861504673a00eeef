import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import an.qt.ImagePaintedItem 1.0
import "../components"
import "../dialogs"
import "../js/GelCapture.js" as Gel
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// Gel capture on the Tucsen camera: lights, filter wheel, camera settings, automatic exposure
// and focus, the capture and the list of its images.
Item {
    id: page
    objectName: "GelCapturePage"
    signal sig_SwitchCheckedBtn()

    readonly property int group: Gel.groupOf(MainCtrl)
    readonly property bool singleGel: group === Gel.Group.SingleGel
    readonly property bool boardSensing: group !== Gel.Group.Plain
    readonly property bool fl9bw: group === Gel.Group.SensingFL9BW
    readonly property bool lensPanel: MainCtrl.hasMotorLens
    readonly property bool gelMode: MainCtrl.expMode === EnumOBJ.Gel
    // The shared capture parts serve this page in gel mode.
    readonly property bool multMode: false
    // The S50 and S60 (the S40 cabinets have no gel page).
    readonly property bool doorStartsExposure: MainCtrl.isGelAndWBTS

    // Page state.
    property bool captureFinished: false
    property bool singleImageCaped: false
    property int lastLightType: EnumOBJ.Unknow_LightType
    property int lastCloseLightType: EnumOBJ.Unknow_LightType
    property bool entered: false
    property bool autoCapture: false
    property bool exposureAuto: true
    property bool focusAuto: true
    property int pseudoColorCount: 0
    property bool histogramShow: false
    property int minValue: 0
    property int maxValue: 65535
    property string imageSavePath: ""
    property bool cameraSetted: false
    // The page waits for the lens after entry; device replies keep flowing meanwhile.
    readonly property bool lensSettling: lensPause.running
    // Frames arrive from the running preview.
    property bool previewing: false
    // Step of the flat-field calibration (steps 1 to 3 refuse captures) and its panel shown.
    readonly property int calibrationStep: view.wizard.step
    property bool ffcVisible: false
    readonly property Item overlayItem: Overlay.overlay
    // A recorder a test puts in the controller's place for the list operations.
    property var imageOps: null
    // The open focus pop-up, which shows the lens positions of an autofocus run.
    property var focusDialog: null
    property var exposureDialog: null
    // An automatic run that ends turns its mode to manual, in an open pop-up as well (showing
    // what the run found).
    onExposureAutoChanged: if (exposureDialog && exposureDialog.isAuto !== exposureAuto) exposureDialog.setAuto(exposureAuto, true)
    onFocusAutoChanged: if (focusDialog && focusDialog.isAuto !== focusAuto) focusDialog.setAuto(focusAuto, true)
    // The UV254 and UV365 sources are fitted (read again when "More Setting" closes).
    property bool uv254Enabled: false
    property bool uv365Enabled: false
    function loadFittedLights() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_UV254nmSelected);
        UserOpts.loadUserOptsByName(UserOpts.OPT_UV365nmSelected);
        uv254Enabled = UserOpts.uv254nmSelected;
        uv365Enabled = UserOpts.uv365nmSelected;
    }
    Component.onCompleted: loadFittedLights()

    readonly property var lights: boardSensing
        ? (singleGel ? [EnumOBJ.White, EnumOBJ.UV302, EnumOBJ.Blue]
                     : [EnumOBJ.White, EnumOBJ.UV302, EnumOBJ.Blue, EnumOBJ.UV254, EnumOBJ.UV365])
        : [EnumOBJ.White, EnumOBJ.UV302C, EnumOBJ.UV254, EnumOBJ.UV365]
    readonly property var lightNames: ({ 0: ["白光", "White", qsTr("White")], 1: ["UV302C", "UV302C", "UV302C"],
                                         2: ["UV254", "UV254", "UV254"], 3: ["UV365", "UV365", "UV365"],
                                         9: ["UV302", "UV302", "UV302"], 10: ["蓝光470", "Blue470", qsTr("Blue470")] })
    readonly property var filterTexts: [qsTr("No Filter"), qsTr("535nm Filter"), qsTr("590nm Filter"), qsTr("605nm Filter"),
                                        qsTr("700nm Filter"), qsTr("840nm Filter")]
    readonly property var filterAuditTexts: ["No Filter", "535nm Filter", "590nm Filter", "605nm Filter", "700nm Filter", "840nm Filter"]

    function mainWindow() { return page.Window.window }
    function globalFilterPos() { var w = mainWindow(); return w && w.curGlobalFilterPos !== undefined ? w.curGlobalFilterPos : -1 }
    function setGlobalFilterPos(pos) { var w = mainWindow(); if (w && w.curGlobalFilterPos !== undefined) w.curGlobalFilterPos = pos }
    // Only "No Filter" and "590nm Filter" are fitted to the gel wheel.
    function filterShown(index) { return index === 0 || index === 2 }
    function audit(chinese, english) { Audit.write(ATJS.ModuleType.Capture_Gel, chinese, english) }
    function message(title, text) { return Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", title, text, false) }
    // A question with OK and Cancel; the caller connects to its accepted signal.
    function ask(title, text) { return Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", title, text, true) }
    // While the lens moves (until the board or the SMBus lens reports it).
    function showFocusing() { lensDialog.text = qsTr("Focusing..."); lensDialog.open(); lensWait.restart() }

    // ---- entry and exit -------------------------------------------------------------------
    function enterPage() {
        console.log("GelCapturePage.enterPage");
        entered = true;
        UserOpts.loadUserOptsByName(UserOpts.OPT_AutoCapture);
        autoCapture = UserOpts.autoCapture;
        UserOpts.loadUserOptsByName(UserOpts.OPT_ColorMarker);
        colorBox.checked = UserOpts.colorMarker;
        UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusGel);
        lensSlider.value = UserOpts.curFocusGel;
        UserOpts.curFocusValue = UserOpts.curFocusGel;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusValue);
        MainCtrl.lensCtrl(UserOpts.curFocusGel);
        // The lens needs a moment before the next command; the board's replies keep flowing.
        lensPause.restart();
    }
    function enterAfterLensMove() {
        if (!entered)
            return;
        UserOpts.loadUserOptsByName(UserOpts.OPT_IsFFCOpen);
        MainCtrl.setFFC(UserOpts.isFFCOpen);
        MainCtrl.curExpName = "";
        if (boardSensing) {
            firstEntered = true;
            MainCtrl.requestBoardType();
            return;
        }
        setLightChecked(EnumOBJ.White);
        curLightType = EnumOBJ.White;
        UserOpts.loadUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.loadUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
        var pos = UserOpts.autoMatchFilter ? UserOpts.whiteLightFilterPos : 0;
        MainCtrl._GelTSLightChanged(EnumOBJ.White, true, pos);
        curFilterPos = pos;
        lighton = true;
        imageItem.curFilterPosition = pos;
        startPreview();
    }
    function exitPage() {
        console.log("GelCapturePage.exitPage");
        lensPause.stop();
        // A calibration left half-way would keep the wheel from following the lights.
        view.wizard.cancel();
        if (boardSensing) {
            MainCtrl._GelTS20BWExitExperiment();
            setLightChecked(-1);
            setGlobalFilterPos(curFilterPos);
            curFilterPos = -1;
            lastLightType = EnumOBJ.Unknow_LightType;
        } else {
            MainCtrl._GelTSExitExperiment();
            setGlobalFilterPos(curFilterPos);
        }
        resetCapturePage(-3);
        imageModel.clear();
        if (singleGel) {
            MainCtrl.removeSetRoi();
            MainCtrl.clearRoiList();
        }
        forgetCut();
        UserOpts.curFocusGel = lensSlider.value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusGel);
        entered = false;
        previewing = false;
    }
    function resetCapturePage(index) {
        captureFinished = false;
        singleImageCaped = false;
        updateExpInfo = false;
        buttonCaptureClicked = false;
        reCaptureClicked = false;
        autoCaptureTrigered = false;
        histogramShow = false;
        pseudoColorCount = 0;
        imageSavePath = "";
        imageItem.imageIndex = index;
        imageList.currentIndex = -1;
        cameraBar.aeOn = false;
        stopAePoll();
    }
    function updateLightStatus(open) {
        console.log("GelCapturePage.updateLightStatus", open);
        if (!boardSensing || !entered)
            return;
        if (!open) {
            lastLightType = curLightType;
            if (curLightType !== EnumOBJ.Unknow_LightType)
                MainCtrl.lightCmd(curLightType, false);
        } else if (lastLightType !== EnumOBJ.Unknow_LightType) {
            setLightChecked(lastLightType);
            chooseLight(lastLightType);
        }
    }
    function door_release() {
        console.log("GelCapturePage.door_release");
        if (!boardSensing || dooropen)
            return;
        // The head bar has sent the door frame already; the lights go off with the door.
        setLightChecked(-1);
        lighton = false;
        dooropen = true;
    }

    // ---- preview --------------------------------------------------------------------------
    function startPreview() {
        MainCtrl._GelTSPreviewStart();
        imageItem.imageIndex = -1;
        imageList.currentIndex = -1;
        view.fitView();
        cameraSetted = false;
        if (!filterDialog.opened)
            showCameraDialog();
    }
    function reStartPreview(showDialog) {
        if (captureFinished) {
            MainCtrl._GelTSPreviewReStart();
            singleImageCaped = false;
            captureFinished = false;
            histogramShow = false;
            imageItem.imageIndex = -1;
            cameraSetted = false;
            if (showDialog && !filterDialog.opened)
                showCameraDialog();
        } else {
            pendingCapture();
        }
        view.fitView();
    }

    // ---- cut region (single-gel cabinet) ----------------------------------------------------
    // The camera keeps only the region, given in picture pixels; the picture shows it.
    property bool cutOn: false
    function setCut(x, y, width, height) {
        MainCtrl.setRoi(x, y, width, height);
        imageItem.setCutRect(x, y, width, height);
        imageItem.setIsCut(true);
        cutOn = true;
        imageItem.updateImage();
    }
    function removeCut() {
        MainCtrl.removeSetRoi();
        forgetCut();
        imageItem.updateImage();
    }
    // The picture's side of it only (leaving the page clears the camera's).
    function forgetCut() {
        view.closeCut();
        imageItem.setIsCut(false);
        imageItem.setCutRect(0, 0, 0, 0);
        cutOn = false;
    }
    function showCameraDialog() { cameraDialog.text = qsTr("Camera Setting..."); cameraDialog.open() }
    // The exposure pop-up set a new binning: the old zoom and cut belong to the old picture.
    function cameraSetAnew() {
        if (cutOn)
            removeCut();
        view.fitView();
        cameraSetted = false;
        showCameraDialog();
    }
    function frameArrived() {
        if (!gelMode || !entered)
            return;
        previewing = true;
        if (imageItem.imageIndex === -1 || imageItem.imageIndex === -2 || imageItem.imageIndex >= 0)
            imageItem.updateImage();
        if (!cameraSetted) {
            cameraSetted = true;
            cameraDialog.close();
            pendingCapture();
        }
    }

    // ---- lights and filter wheel ----------------------------------------------------------
    function setLightChecked(type) { lighting.setLightChecked(type) }
    function lightClicked(type, checked) { lighting.lightClicked(type, checked) }
    function chooseLight(type) { lighting.chooseLight(type) }
    function blueChosen(value) { lighting.blueChosen(value) }
    function chooseFilter(i) { lighting.chooseFilter(i) }
    function showFilterDialog(noExposure) { lighting.showFilterDialog(noExposure) }
    function rotateFilter() { lighting.rotateFilter() }
    GelLights {
        id: lighting
        boardSensing: page.boardSensing
        singleGel: page.singleGel
        entered: page.entered
        captureFinished: page.captureFinished
        doorStartsExposure: page.doorStartsExposure
        globalFilterPos: page.globalFilterPos()
        lights: page.lights
        lightNames: page.lightNames
        filterAuditTexts: page.filterAuditTexts
        lightRepeater: page.lightRepeater
        imageItem: page.imageItem
        cameraDialog: cameraDialog
        filterDialog: filterDialog
        onAudited: page.audit(chinese, english)
        onPreviewWanted: page.reStartPreview(showDialog)
        onBlueDialogWanted: view.showBlueDialog(shown)
        onGlobalFilterSet: page.setGlobalFilterPos(pos)
        onExposureWanted: page.startAutoExposure(true)
        onAutoCaptureArmed: page.autoCaptureTrigered = page.autoCapture
        onPreviewStartWanted: page.startPreview()
        onWarning: page.message(qsTr("Warning"), text)
        onWheelExposureWanted: {
            // Never during a capture (a retake may start before the wheel has stopped).
            if (page.entered && page.previewing && !page.captureFinished && !page.cameraBar.aeOn && !page.singleGel
                    && !progressDialog.visible)
                page.startAutoExposure(true);
        }
    }
    property alias dooropen: lighting.dooropen
    property alias cuton: lighting.cuton
    property alias firstEntered: lighting.firstEntered
    property alias curLightType: lighting.curLightType
    property alias lighton: lighting.lighton
    property alias curBoardType: lighting.curBoardType
    property alias curFilterPos: lighting.curFilterPos
    property alias rotateCount: lighting.rotateCount
    property alias filterExposure: lighting.filterExposure

    // ---- capture ---------------------------------------------------------------------------
    function captureClicked() { starter.captureClicked() }
    function pendingCapture() { starter.pendingCapture() }
    function startCapture() { starter.startCapture() }
    GelCaptureStart {
        id: starter
        singleGel: page.singleGel
        fl9bw: page.fl9bw
        exposureAuto: page.exposureAuto
        focusAuto: page.focusAuto
        calibrationStep: page.calibrationStep
        curLightType: page.curLightType
        aeBox: page.aeBox
        afBox: page.afBox
        cameraBar: page.cameraBar
        progressDialog: progressDialog
        onExposureWanted: page.startAutoExposure(true)
        onLensFocusWanted: page.startLensAutoFocus()
        onSmbusFocusWanted: page.startSmbusAutoFocus()
        onWarning: page.message(qsTr("Warning"), text)
        onAudited: page.audit(chinese, english)
    }
    property alias updateExpInfo: starter.updateExpInfo
    property alias buttonCaptureClicked: starter.buttonCaptureClicked
    property alias reCaptureClicked: starter.reCaptureClicked
    property alias autoCaptureTrigered: starter.autoCaptureTrigered
    function onCaptureStart() {
        if (!gelMode)
            return;
        CamOpts.loadCurGelTSCamOpts();
        progressDialog.totalTime = Gel.captureAllowanceMs(CamOpts.gelTSCurExposurePre, colorBox.visible && colorBox.checked);
        progressDialog.open();
    }
    function cancelCapture() {
        MainCtrl._GelTSCancelCapture();
        if (gelMode && imageModel.count > 0) {
            selectEntry(imageModel.count - 1);
            singleImageCaped = true;
        }
    }
    function onSingleImageCaped(imageName, bin, expCap, gain) {
        if (!gelMode)
            return;
        // The frame just taken, fitted.
        actions.addFrame(imageName, bin, expCap, gain);
        view.fitView();
        singleImageCaped = true;
        histogramShow = true;
        cameraBar.shown = false;
    }
    function onColorMarkerCaped(imageName) {
        if (!gelMode)
            return;
        actions.addMarker(imageName);
        histogramShow = false;
    }
    function onCaptureFinished(folder) {
        if (!gelMode)
            return;
        if (folder === "") {
            starter.captureRefused();
            return;
        }
        progressDialog.close();
        imageSavePath = folder;
        captureFinished = true;
        previewing = false;
        var type = curLightType;
        if (type !== EnumOBJ.Unknow_LightType) {
            MainCtrl.lightCmd(type, false);
            lastCloseLightType = type;
        }
        setLightChecked(-1);
        lighton = false;
    }
    function backToPreview(retake) {
        CLJS.showCheckLogin(function() {
            if (retake) {
                audit("点击重新采集", "Capture ReClicked");
                reCaptureClicked = true;
            }
            var light = lastCloseLightType !== EnumOBJ.Unknow_LightType ? lastCloseLightType : EnumOBJ.White;
            if (boardSensing) {
                MainCtrl.requestBoardType();
            } else {
                setLightChecked(light);
                chooseLight(light);
            }
        });
    }

    // ---- image list ----
    function selectEntry(index) { actions.selectEntry(index) }
    function renameSelected() { actions.renameSelected() }
    function deleteChecked() { actions.deleteChecked() }
    function exportSelected() { actions.exportSelected() }
    function editSelected() { actions.editSelected() }
    function generateImage() { actions.generateImage() }
    function stainChecked() { actions.stainChecked() }
    GelImageActions {
        id: actions
        multMode: false
        onFilesAdded: page.pseudoColorCount += count
        imageModel: page.imageModel
        imageList: page.imageList
        imageItem: page.imageItem
        overlayItem: page.overlayItem
        imageSavePath: page.imageSavePath
        imageOps: page.imageOps
        onHistogramShown: page.histogramShow = shown
        onWarning: page.message(qsTr("Warning"), text)
        onAudited: page.audit(chinese, english)
    }

    // ---- automatic exposure and focus ----
    function startAutoExposure(on) {
        // Closing the filter dialog here must not start a second run (or one that was turned off).
        filterExposure = false;
        exposureFocus.startAutoExposure(on);
    }
    function onAEFinished() { exposureFocus.onAEFinished() }
    function stopAePoll() { exposureFocus.stopAePoll() }
    function startLensAutoFocus() { exposureFocus.startLensAutoFocus() }
    function startSmbusAutoFocus() { exposureFocus.startSmbusAutoFocus() }
    function onAFFinished() { exposureFocus.onAFFinished() }
    GelExposureFocus {
        id: exposureFocus
        multMode: false
        focusWanted: page.singleGel ? page.focusAuto : page.afBox.checked
        onAutoExposureEnded: view.wizard.exposureEnded()
        // A calibration cannot go on without its exposure: this cancel ends it as well.
        onAutoExposureCancelled: view.wizard.cancel()
        onExposureKept: page.exposureAuto = false
        entered: page.entered
        singleGel: page.singleGel
        fl9bw: page.fl9bw
        captureWaiting: page.buttonCaptureClicked
        cameraBar: page.cameraBar
        cameraDialog: cameraDialog
        filterDialog: filterDialog
        overlayItem: page.overlayItem
        onCaptureWanted: { page.buttonCaptureClicked = false; page.startCapture() }
        onWarning: page.message(qsTr("Warning"), text)
        onAudited: page.audit(chinese, english)
    }
    property alias aeHistory: exposureFocus.aeHistory
    property alias aePolls: exposureFocus.aePolls

    // ---- histogram --------------------------------------------------------------------------
    function stretch(left, right) {
        var entry = imageList.currentIndex >= 0 ? imageModel.get(imageList.currentIndex) : null;
        if (entry && entry.file === "")
            imageItem.imageIndex = Gel.frameIndex(imageList.currentIndex, actions.fileNames());
        MainCtrl._MultTSUpdateImageShow(left, right);
        imageItem.updateImage();
    }

    // The lens position of a motorised lens outlives the program when it closes on this page.
    Connections {
        target: page.Window.window
        function onClosing(close) {
            if (page.entered && page.visible && page.lensPanel) {
                UserOpts.curFocusGel = lensSlider.value;
                UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusGel);
            }
        }
    }
    Timer { id: lensPause; interval: 300; onTriggered: page.enterAfterLensMove() }

    Connections {
        target: MainCtrl
        function onImageChanged() { page.frameArrived() }
        function onPreviewStoped() { if (page.gelMode) page.previewing = false }
        function onCaptureStart() { page.onCaptureStart() }
        function onSingleImageCaped(imageName, bin, expCap, gain) { page.onSingleImageCaped(imageName, bin, expCap, gain) }
        function onColorMarkerCaped(imageName, bin, expCap, gain) { page.onColorMarkerCaped(imageName) }
        function onCaptureFinished(imageSavePath) { page.onCaptureFinished(imageSavePath) }
        function onExportFinished() {
            if (page.gelMode && page.entered)
                Popups.message(page.Overlay.overlay, "qrc:/Image/success.png", qsTr("Success"), qsTr("Export success!"), false);
        }
        function onFilterFin() { if (page.entered) lighting.filterArrived() }
        function onFfcSwitchedOff() {
            if (page.entered)
                page.message(qsTr("Warning"), qsTr("The flat field calibration does not fit the current picture: flat field correction turned off. Please calibrate again."));
        }
        function onSetAEFinished() { page.onAEFinished() }
        function onSetAFFinished() { page.onAFFinished() }
        function onAFFinished() {
            if (!page.entered)
                return;
            page.focusAuto = false;
            page.onAFFinished();
        }
        function onFocusMoved() { lensDialog.close() }
        function onSig_FocusMove(mValue) { if (page.focusDialog) page.focusDialog.setFocusText(mValue) }
        function onReadZoom() {
            if (!page.entered)
                return;
            UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusValue);
            lensSlider.value = UserOpts.curFocusValue;
            lensDialog.close();
        }
        // The board did not move the lens: the slider shows where it last confirmed it.
        function onLensCommandUnanswered(position) {
            if (!page.entered)
                return;
            if (position >= 0)
                page.lensSlider.value = position;
            lensDialog.close();
            page.message(qsTr("Warning"), qsTr("The cabinet did not answer the lens command."));
        }
    }

    LoadingDialog { id: cameraDialog; objectName: "cameraDialog"; parent: page.Overlay.overlay }
    LoadingDialog { id: filterDialog; objectName: "filterDialog"; parent: page.Overlay.overlay; onAeStartSignal: lighting.wheelStopped() }
    LoadingDialog { id: lensDialog; objectName: "lensDialog"; parent: page.Overlay.overlay }
    // A report that never comes must not hold the window.
    Timer { id: lensWait; interval: 10000; onTriggered: lensDialog.close() }
    CaptureProgressDialog {
        id: progressDialog
        parent: page.Overlay.overlay
        onCancelCapture: page.cancelCapture()
    }

    GelCaptureView {
        id: view
        anchors.fill: parent
        multMode: page.multMode; singleGel: page.singleGel; fl9bw: page.fl9bw; boardSensing: page.boardSensing
        lensPanel: page.lensPanel; captureFinished: page.captureFinished; histogramShow: page.histogramShow
        cutOn: page.cutOn; ffcVisible: page.ffcVisible; exposureAuto: page.exposureAuto; focusAuto: page.focusAuto
        lights: page.lights; lightNames: page.lightNames; uv254Enabled: page.uv254Enabled; uv365Enabled: page.uv365Enabled
        filterTexts: page.filterTexts; curFilterPos: page.curFilterPos; curLightType: page.curLightType
        shownFilters: page.filterTexts.map(function(text, i) { return page.filterShown(i) })
        filterDialog: page.filterDialog
        onLightClicked: page.lightClicked(type, on)
        onFilterChosen: page.chooseFilter(index)
        onBlueChosen: page.blueChosen(value)
        onMoreSettingClosed: page.loadFittedLights()
        onCaptureClicked: page.captureClicked()
        onBackRequested: page.backToPreview(retake)
        onAuditRequested: page.audit(chinese, english)
        onAutoExposureRequested: page.startAutoExposure(on)
        onAePollStopRequested: page.stopAePoll()
        onLensAutoFocusRequested: page.startLensAutoFocus()
        onSmbusAutoFocusRequested: page.startSmbusAutoFocus()
        onLensMoving: page.showFocusing()
        onCameraSettingChanged: page.cameraSetAnew()
        onExposurePopupOpened: page.exposureDialog = dialog
        onExposurePopupClosed: { page.exposureAuto = isAuto; page.exposureDialog = null }
        onFocusPopupOpened: page.focusDialog = dialog
        onFocusPopupClosed: { page.focusAuto = isAuto; page.focusDialog = null }
        onCutChosen: page.setCut(cutX, cutY, cutWidth, cutHeight)
        onCutRemovalRequested: page.removeCut()
        onFfcToggled: page.ffcVisible = shown
        // The calibration's own wheel moves: no automatic exposure after them.
        onCalibrationFilterTurned: {
            page.rotateCount = rotations;
            page.curFilterPos = position;
            page.imageItem.curFilterPosition = position;
            page.showFilterDialog(true);
        }
        onStretchChosen: page.stretch(low, high)
        onEntrySelected: page.selectEntry(index)
        onRenameRequested: page.renameSelected()
        onDeleteRequested: page.deleteChecked()
        onExportRequested: page.exportSelected()
        onEditRequested: page.editSelected()
        onGenerateRequested: page.generateImage()
        onStainRequested: page.stainChecked()
    }
    property alias imageItem: view.imageItem
    property alias cameraDialog: cameraDialog
    property alias filterDialog: filterDialog
    property alias aeDialog: exposureFocus.aeDialog
    property alias afDialog: exposureFocus.afDialog
    property alias lensDialog: lensDialog
    property alias progressDialog: progressDialog
    property alias imageList: view.imageList
    property alias imageModel: view.imageModel
    property alias lightRepeater: view.lightRepeater
    property alias aeBox: view.aeBox
    property alias afBox: view.afBox
    property alias colorBox: view.colorBox
    property alias cameraBar: view.cameraBar
    property alias lensSlider: view.lensSlider
    property alias cutChooser: view.cutChooser
    property alias captureView: view
}
