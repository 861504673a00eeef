import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../dialogs"
import "../js/GelCapture.js" as Gel
import "../js/MultCapture.js" as Mult
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// Multi-fluorescence capture on the Tucsen camera: one channel per capture under its light and
// filter, the channels listed with their parameters, stained and merged. It shares the gel page's
// parts (view, camera bar, exposure and focus, histogram, list actions) in their multMode.
Item {
    id: page
    objectName: "MultiFluorescenceCapturePage"
    signal sig_SwitchCheckedBtn()

    readonly property bool multMode: true
    readonly property bool sensing: MainCtrl.hasDoor
    readonly property bool fl9bw: MainCtrl.isMultFL9BW
    readonly property bool lensPanel: MainCtrl.hasMotorLens
    readonly property bool multActive: MainCtrl.expMode === EnumOBJ.Mult
    // What the shared parts ask of a gel page and this page has not.
    readonly property bool singleGel: false
    readonly property bool boardSensing: sensing
    readonly property bool exposureAuto: false
    readonly property bool focusAuto: false
    readonly property bool uv254Enabled: true
    readonly property bool uv365Enabled: true
    readonly property bool ffcVisible: false
    property var focusDialog: null

    // Page state.
    property bool captureFinished: false
    property bool singleImageCaped: false
    property bool updateExpInfo: false
    property bool dooropen: false
    property bool lighton: false
    property int curLightType: EnumOBJ.Unknow_LightType
    property int lastLightType: EnumOBJ.Unknow_LightType
    property int lastCloseLightType: EnumOBJ.Unknow_LightType
    // The checked filter button (its index; what goes to the wheel may differ, see Mult.wheelPosition).
    property int curFilterPos: -1
    property int rotateCount: 0
    property bool entered: false
    property bool buttonCaptureClicked: false
    property bool reCaptureClicked: false
    property int colorAMergeCount: 0
    property bool histogramShow: false
    property string imageSavePath: ""
    property bool cameraSetted: false
    readonly property bool lensSettling: lensPause.running
    property bool previewing: false
    readonly property Item overlayItem: Overlay.overlay
    // A recorder a test puts in the controller's place for the list operations.
    property var imageOps: null

    readonly property var lights: Mult.lightsOf(sensing)
    readonly property var lightNames: ({ 0: ["", "", qsTr("White")], 4: ["", "", "R625nm"], 5: ["", "", "G520nm"],
                                         6: ["", "", "B470nm"], 7: ["", "", "IR660nm"], 8: ["", "", "IR740nm"] })
    readonly property var filterAuditTexts: Mult.filterNames(sensing)
    readonly property var filterTexts: sensing
        ? [qsTr("No Filter"), qsTr("535nm Filter"), qsTr("590nm Filter"), qsTr("605nm Filter"), qsTr("700nm Filter"),
           qsTr("715nm Filter"), qsTr("810nm Filter")]
        : [qsTr("No Filter"), qsTr("535nm Filter"), qsTr("590nm Filter"), qsTr("605nm Filter"), qsTr("700nm Filter"),
           qsTr("840nm Filter")]
    function filterShown(index) { return Mult.filterShown(index, sensing, UserOpts.colorMarkerVisible) }
    function loadFittedLights() {}

    function mainWindow() { return page.Window.window }
    function globalFilterPos() { var w = mainWindow(); return w && w.curGlobalFilterPos !== undefined ? w.curGlobalFilterPos : -1 }
    function setGlobalFilterPos(pos) { var w = mainWindow(); if (w && w.curGlobalFilterPos !== undefined) w.curGlobalFilterPos = pos }
    function audit(chinese, english) { Audit.write(ATJS.ModuleType.Capture_Flu, chinese, english) }
    function message(title, text) { return Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", title, text, false) }

    // ---- preview exposure ----------------------------------------------------------------------
    property bool loadingExposure: false
    function exposureTotal() { return Mult.joinExposure(view.minuteBox.value, view.secondBox.value, view.milliBox.value) }
    function showPreviewExposure(totalMs) {
        var parts = Mult.splitExposure(totalMs);
        loadingExposure = true;
        view.minuteBox.value = parts.m;
        view.secondBox.value = parts.s;
        view.milliBox.value = parts.ms;
        loadingExposure = false;
    }
    function exposureEdited() {
        if (!loadingExposure)
            storePreviewExposure();
    }
    // Once per edited value, not per keystroke.
    function exposureAudit() {
        if (loadingExposure)
            return;
        var m = view.minuteBox.value, s = view.secondBox.value, ms = view.milliBox.value;
        var texts = Mult.exposureAudit(m, s, ms);
        audit(texts[0], texts[1]);
    }
    function storePreviewExposure() {
        var total = exposureTotal();
        CamOpts.multTSCurExposurePre = total;
        CamOpts.saveCamOptsByName(CamOpts.MultTS_CurExposurePre);
        if (!captureFinished)
            MainCtrl._MultTSPreExpChanged(total);
    }
    // After a capture and when the page is reset, a long exposure does not stay for the preview.
    function limitPreviewExposure() {
        var total = exposureTotal();
        if (Mult.previewExposureAfterCapture(total) !== total) {
            showPreviewExposure(0);
            storePreviewExposure();
        }
    }

    // ---- entry and exit -------------------------------------------------------------------------
    function enterPage() {
        console.log("MultiFluorescenceCapturePage.enterPage");
        entered = true;
        MainCtrl.curExpName = "";
        setLightChecked(EnumOBJ.White);
        lighton = true;
        curLightType = EnumOBJ.White;
        CamOpts.loadCurMultTSCamOpts();
        cameraBar.load();
        showPreviewExposure(CamOpts.multTSCurExposurePre);
        UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusFul);
        lensSlider.value = UserOpts.curFocusFul;
        UserOpts.curFocusValue = UserOpts.curFocusFul;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusValue);
        MainCtrl.lensCtrl(UserOpts.curFocusFul);
        // The lens needs a moment before the next command; the board's replies keep flowing.
        lensPause.restart();
    }
    function enterAfterLensMove() {
        if (!entered)
            return;
        var global = globalFilterPos();
        MainCtrl._MultTSLightChanged(EnumOBJ.White, true, sensing ? EnumOBJ.F_Reset : 0);
        rotateCount = global === -1 ? 7 : Gel.rotateCount(global, 0);
        curFilterPos = 0;
        imageItem.curFilterPosition = 0;
        showFilterDialog();
        startPreview();
    }
    function exitPage() {
        console.log("MultiFluorescenceCapturePage.exitPage");
        lensPause.stop();
        MainCtrl._MultTSExitExperiment();
        setGlobalFilterPos(Mult.wheelPosition(Math.max(0, curFilterPos), sensing));
        curFilterPos = -1;
        resetCapturePage(-3);
        imageModel.clear();
        setLightChecked(-1);
        curLightType = EnumOBJ.Unknow_LightType;
        lighton = false;
        UserOpts.curFocusFul = lensSlider.value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusFul);
        entered = false;
        previewing = false;
    }
    function resetCapturePage(index) {
        captureFinished = false;
        singleImageCaped = false;
        updateExpInfo = false;
        buttonCaptureClicked = false;
        reCaptureClicked = false;
        histogramShow = false;
        colorAMergeCount = 0;
        imageSavePath = "";
        imageItem.imageIndex = index;
        imageList.currentIndex = -1;
        cameraBar.aeOn = false;
        stopAePoll();
        limitPreviewExposure();
    }
    function updateLightStatus(open) {
        console.log("MultiFluorescenceCapturePage.updateLightStatus", open);
        if (!entered)
            return;
        if (!open) {
            lastLightType = curLightType;
            MainCtrl.lightChange(false);
        } else if (lastLightType !== EnumOBJ.Unknow_LightType) {
            setLightChecked(lastLightType);
            chooseLight(lastLightType);
        }
    }
    // The head bar has sent the door frame; the lights go off with the door.
    function door_release() {
        console.log("MultiFluorescenceCapturePage.door_release");
        if (!sensing || dooropen)
            return;
        setLightChecked(-1);
        curLightType = EnumOBJ.Unknow_LightType;
        lighton = false;
        dooropen = true;
    }

    // ---- preview ------------------------------------------------------------------------------
    function startPreview() {
        MainCtrl._MultTSPreviewStart();
        imageItem.imageIndex = -1;
        imageList.currentIndex = -1;
        cameraSetted = false;
        if (!filterDialog.opened)
            showCameraDialog();
    }
    function reStartPreview(showDialog) {
        if (captureFinished) {
            singleImageCaped = false;
            captureFinished = false;
            histogramShow = false;
            MainCtrl._MultTSPreviewStart();
            MainCtrl._MultTSPreExpChanged(exposureTotal());
            imageItem.imageIndex = -1;
            cameraSetted = false;
            if (showDialog && !filterDialog.opened)
                showCameraDialog();
        } else {
            pendingCapture();
        }
        view.fitView();
    }
    function showCameraDialog() { cameraDialog.text = qsTr("Camera Setting..."); cameraDialog.open() }
    function frameArrived() {
        if (!multActive || !entered)
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
    // A retake captures once the preview runs again.
    function pendingCapture() {
        if (!reCaptureClicked)
            return;
        reCaptureClicked = false;
        recordOnce();
        if (aeBox.checked) {
            buttonCaptureClicked = true;
            startAutoExposure(true);
        } else {
            startCapture();
        }
    }
    function recordOnce() {
        if (!updateExpInfo) {
            MainCtrl._MultTSUpdateExpInfo();
            updateExpInfo = true;
        }
    }

    // ---- lights and filter wheel ----------------------------------------------------------------
    function setLightChecked(type) {
        for (var i = 0; i < lightRepeater.count; ++i)
            lightRepeater.itemAt(i).checked = lights[i] === type;
    }
    // What the board last confirmed, as the buttons and the next capture's name have it (the one
    // slot of 715 and 840 nm is the button after 700 nm).
    function showConfirmedLight() {
        setLightChecked(MainCtrl.litLight());
        curLightType = MainCtrl.litLight();
        lighton = curLightType !== EnumOBJ.Unknow_LightType;
    }
    function showConfirmedFilter(position) {
        curFilterPos = sensing && position > 5 ? position - 1 : position;
        imageItem.curFilterPosition = Mult.wheelPosition(curFilterPos, sensing);
    }
    function lightClicked(type, checked) {
        var texts = Mult.lightAudit(type, checked);
        if (checked) {
            setLightChecked(type);
            chooseLight(type);
        } else {
            if (sensing)
                MainCtrl.lightChange(false);
            else
                MainCtrl._MultiLightCmd(type, false);
            lighton = false;
            curLightType = EnumOBJ.Unknow_LightType;
        }
        audit(texts[0], texts[1]);
    }
    function chooseLight(type) {
        curLightType = type;
        lighton = true;
        UserOpts.loadUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        var info = Mult.lightInfo[type];
        if (info)
            UserOpts.loadUserOptsByName(UserOpts[info.optionName]);
        var match = Mult.matchedFilter(type, UserOpts.autoMatchFilter, UserOpts);
        if (match >= 0 && match !== curFilterPos) {
            rotateCount = Gel.rotateCount(Math.max(0, curFilterPos), match);
            MainCtrl._MultTSLightChanged(type, true, Mult.wheelPosition(match, sensing));
            curFilterPos = match;
            imageItem.curFilterPosition = Mult.wheelPosition(match, sensing);
            showFilterDialog();
            reStartPreview(false);
        } else {
            MainCtrl._MultTSLightChanged(type, false, 0);
            reStartPreview(true);
        }
        MainCtrl._MultTSPreExpChanged(exposureTotal());
    }
    function chooseFilter(i) {
        if (i === curFilterPos)
            return;
        MainCtrl._MultTSFilterChanged(Mult.wheelPosition(i, sensing));
        rotateCount = Gel.rotateCount(Math.max(0, curFilterPos), i);
        curFilterPos = i;
        imageItem.curFilterPosition = Mult.wheelPosition(i, sensing);
        audit("滤光片切换: " + filterAuditTexts[i], "Filter change: " + filterAuditTexts[i]);
        showFilterDialog();
    }
    function showFilterDialog() {
        cameraDialog.close();
        filterDialog.text = qsTr("Filter Switching...");
        filterDialog.open();
        filterTimer.interval = Mult.filterDialogMs(rotateCount);
        filterTimer.restart();
    }

    // ---- capture --------------------------------------------------------------------------------
    function binningText(language) { return cameraBar.binningText(language) }
    function gainText(language) { return fl9bw ? cameraBar.gainLevelText(language) : String(CamOpts.multTSCurGain) }
    function startCapture() { MainCtrl._MultTSCaptureStart(CamOpts.multTSCurExposurePre, curLightType) }
    function captureClicked() {
        CLJS.showCheckLogin(function() {
            recordOnce();
            var exposure = Math.round(CamOpts.multTSCurExposurePre);
            audit("点击采集: 预览曝光时间：" + exposure + "ms 像素合并: " + binningText("zh") + " 增益：" + gainText("zh"),
                  "Capture Clicked: Preview exposure: " + exposure + "ms Binning:" + binningText("en") + " Gain: " + gainText("en"));
            if (aeBox.checked) {
                buttonCaptureClicked = true;
                startAutoExposure(true);
            } else {
                startCapture();
            }
        });
    }
    function onCaptureStart() {
        if (!multActive)
            return;
        CamOpts.loadCurMultTSCamOpts();
        progressDialog.totalTime = Mult.captureAllowanceMs(CamOpts.multTSCurExposurePre);
        progressDialog.open();
    }
    function cancelCapture() {
        MainCtrl._MultTSCancelCapture();
        if (multActive && imageModel.count > 0) {
            selectEntry(imageModel.count - 1);
            singleImageCaped = true;
        }
    }
    function onSingleImageCaped(imageName, bin, expCap, gain) {
        if (!multActive)
            return;
        // The frame just taken, fitted.
        actions.addFrame(imageName, bin, expCap, gain);
        view.fitView();
        singleImageCaped = true;
        histogramShow = true;
        cameraBar.shown = false;
    }
    function onCaptureFinished(folder) {
        if (!multActive)
            return;
        progressDialog.close();
        imageSavePath = folder;
        captureFinished = true;
        previewing = false;
        if (curLightType !== EnumOBJ.Unknow_LightType)
            lastCloseLightType = curLightType;
        setLightChecked(-1);
        curLightType = EnumOBJ.Unknow_LightType;
        lighton = false;
        MainCtrl.lightChange(false);
        limitPreviewExposure();
    }
    // "Back" shows the preview again, "ReCapture" also takes the channel again.
    function backToPreview(retake) {
        if (retake) {
            audit("点击重新采集", "Capture ReClicked");
            reCaptureClicked = true;
        }
        var light = lastCloseLightType !== EnumOBJ.Unknow_LightType ? lastCloseLightType : EnumOBJ.White;
        setLightChecked(light);
        chooseLight(light);
    }

    // ---- image list ----
    function selectEntry(index) { actions.selectEntry(index) }
    function renameSelected() { actions.renameSelected() }
    function deleteChecked() { actions.deleteChecked() }
    function exportSelected() { actions.exportSelected() }
    function editSelected() { actions.editSelected() }
    function generateImage() { actions.generateImage() }
    function stainChecked(colour) { actions.stainCheckedWith(colour) }
    function mergeChecked() { actions.mergeChecked() }
    GelImageActions {
        id: actions
        multMode: true
        onFilesAdded: page.colorAMergeCount += count
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
    function startAutoExposure(on) { exposureFocus.startAutoExposure(on) }
    function onAEFinished() { exposureFocus.onAEFinished() }
    function stopAePoll() { exposureFocus.stopAePoll() }
    function startLensAutoFocus() { exposureFocus.startLensAutoFocus() }
    function startSmbusAutoFocus() {}
    function onAFFinished() { exposureFocus.onAFFinished() }
    GelExposureFocus {
        id: exposureFocus
        multMode: true
        focusWanted: page.afBox.checked
        onExposureRead: page.showPreviewExposure(exposure)
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

    // ---- histogram ----
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
                UserOpts.curFocusFul = lensSlider.value;
                UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusFul);
            }
        }
    }
    Timer { id: lensPause; interval: 300; onTriggered: page.enterAfterLensMove() }
    Timer { id: filterTimer; onTriggered: filterDialog.close() }

    Connections {
        target: MainCtrl
        function onImageChanged() { page.frameArrived() }
        function onPreviewStoped() { if (page.multActive) page.previewing = false }
        function onCaptureStart() { page.onCaptureStart() }
        function onSingleImageCaped(imageName, bin, expCap, gain) { page.onSingleImageCaped(imageName, bin, expCap, gain) }
        function onCaptureFinished(imageSavePath) { page.onCaptureFinished(imageSavePath) }
        function onExportFinished() {
            if (page.multActive && page.entered)
                Popups.message(page.Overlay.overlay, "qrc:/Image/success.png", qsTr("Success"), qsTr("Export success!"), false);
        }
        function onFilterFin() { if (page.entered) { filterTimer.stop(); filterDialog.close() } }
        function onSetAEFinished() { if (page.multActive) page.onAEFinished() }
        function onSetAFFinished() { if (page.multActive) page.onAFFinished() }
        function onReadZoom() {
            if (!page.entered)
                return;
            UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusValue);
            lensSlider.value = UserOpts.curFocusValue;
            lensDialog.close();
        }
        function onDoorStatusChange(open) {
            page.dooropen = open;
            // Closing the door on a preview starts automatic exposure.
            if (page.entered && !open && !page.captureFinished)
                page.startAutoExposure(true);
        }
        function onLightStatusChange(on) {
            if (!on && page.entered) {
                page.setLightChecked(-1);
                page.lighton = false;
            }
        }
        function onTempWarning() {
            if (!page.entered)
                return;
            page.message(qsTr("Warning"), qsTr("Temperature too high, light turned off!"));
            page.setLightChecked(-1);
        }
        // The board did not turn the wheel: the buttons show the filter it last confirmed.
        function onFilterCommandUnanswered(position, withLight) {
            if (!page.entered)
                return;
            page.showConfirmedFilter(position);
            filterTimer.stop();
            filterDialog.close();
            // A light sent with the filter has said it already.
            if (!withLight)
                page.message(qsTr("Warning"), qsTr("The cabinet did not answer the filter command."));
        }
        // A command told missed was carried out after all: the buttons follow the cabinet.
        function onBoardConfirmedLate() {
            if (!page.entered)
                return;
            page.showConfirmedLight();
            if (MainCtrl.confirmedFilter() >= 0)
                page.showConfirmedFilter(MainCtrl.confirmedFilter());
        }
        // The board did not switch the light: the buttons show the light it last confirmed.
        function onLightCommandUnanswered(lightType, on) {
            if (!page.entered)
                return;
            page.showConfirmedLight();
            page.message(qsTr("Warning"), qsTr("The cabinet did not answer the light command."));
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
        // The door stayed locked, and with it the light the board still has on.
        function onDoorCommandUnanswered(open) {
            page.dooropen = open;
            if (page.entered && page.sensing && !open) {
                page.showConfirmedLight();
            }
        }
    }

    LoadingDialog { id: cameraDialog; objectName: "cameraDialog"; parent: page.Overlay.overlay }
    LoadingDialog { id: filterDialog; objectName: "filterDialog"; parent: page.Overlay.overlay }
    LoadingDialog { id: lensDialog; objectName: "lensDialog"; parent: page.Overlay.overlay }
    // A report that never comes must not hold the window.
    Timer { id: lensWait; interval: 10000; onTriggered: lensDialog.close() }
    // While the lens moves (until the board reports it).
    function showFocusing() { lensDialog.text = qsTr("Focusing..."); lensDialog.open(); lensWait.restart() }
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
        cutOn: false; ffcVisible: page.ffcVisible; exposureAuto: page.exposureAuto; focusAuto: page.focusAuto
        lights: page.lights; lightNames: page.lightNames; uv254Enabled: page.uv254Enabled; uv365Enabled: page.uv365Enabled
        filterTexts: page.filterTexts; curFilterPos: page.curFilterPos; curLightType: page.curLightType
        shownFilters: page.filterTexts.map(function(text, i) { return page.filterShown(i) })
        filterDialog: page.filterDialog
        onLightClicked: page.lightClicked(type, on)
        onFilterChosen: page.chooseFilter(index)
        onCaptureClicked: page.captureClicked()
        onBackRequested: page.backToPreview(retake)
        onAuditRequested: page.audit(chinese, english)
        onAutoExposureRequested: page.startAutoExposure(on)
        onAePollStopRequested: page.stopAePoll()
        onLensAutoFocusRequested: page.startLensAutoFocus()
        onLensMoving: page.showFocusing()
        onExposureBoxModified: page.exposureEdited()
        onExposureBoxEdited: page.exposureAudit()
        onPreviewExposureShown: page.showPreviewExposure(exposure)
        onStretchChosen: page.stretch(low, high)
        onEntrySelected: page.selectEntry(index)
        onRenameRequested: page.renameSelected()
        onDeleteRequested: page.deleteChecked()
        onExportRequested: page.exportSelected()
        onEditRequested: page.editSelected()
        onGenerateRequested: page.generateImage()
        onStainRequested: page.stainChecked(colour)
        onMergeRequested: page.mergeChecked()
    }
    property alias imageItem: view.imageItem
    property alias cameraDialog: cameraDialog
    property alias filterDialog: filterDialog
    property alias aeDialog: exposureFocus.aeDialog
    property alias afDialog: exposureFocus.afDialog
    property alias progressDialog: progressDialog
    property alias imageList: view.imageList
    property alias imageModel: view.imageModel
    property alias lightRepeater: view.lightRepeater
    property alias aeBox: view.aeBox
    property alias afBox: view.afBox
    property alias cameraBar: view.cameraBar
    property alias lensSlider: view.lensSlider
}
