import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../dialogs"
import "../js/WesternBlot.js" as WB
import "../js/GelCapture.js" as Gel
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// Western-blot capture on either camera family: cooling wait, preview with binning, gain and
// exposure, single or multiple capture (by hand or by a stored programme), its progress and
// cancel, and the list of the captured images.
Item {
    id: page
    objectName: "WesternBlotCapturePage"
    signal sig_SwitchCheckedBtn()
    signal sig_BackToHome()

    readonly property bool kestrix: MainCtrl.isKestrix
    readonly property bool fl9bw: MainCtrl.isWBFL9BW
    readonly property bool wbMode: MainCtrl.expMode === EnumOBJ.WB
    // The S50 and S60: a closed door only starts automatic exposure.
    readonly property bool doorLocked: !kestrix && MainCtrl.isGelAndWBTS

    // Page state.
    property bool entered: false
    property bool previewing: false
    property bool singleCaptureVisible: true
    property bool isProcess: false
    property bool singleImageCaped: false
    property bool captureFinished: false
    property bool histogramShow: false
    readonly property alias isCooling: cooling.active
    property bool lighton: false
    property bool dooropen: false
    property int lastLightType: EnumOBJ.Unknow_LightType
    property int mCount: 0
    property string imageSavePath: ""
    property int pseudoColorCount: 0
    property int minValue: 0
    property int maxValue: 65535
    property bool cameraSetted: false
    property bool reCaptureClicked: false
    // "Range": the automatic estimate looks at a region drawn on the view (Tucsen).
    property bool rangeOn: false
    readonly property Item overlayItem: Overlay.overlay
    // The controller's list operations; a test puts a recorder in its place.
    property var imageOps: MainCtrl

    // The camera family's twin of each controller call.
    function previewStart() {
        if (kestrix)
            MainCtrl._WBQIPreviewStart();
        else
            MainCtrl._WBTSPreviewStart();
    }
    function captureStart(autoCapture) {
        if (kestrix)
            MainCtrl._WBQICaptureStart(autoCapture);
        else
            MainCtrl._WBTSCaptureStart(autoCapture);
    }
    function cancelCapture() {
        if (kestrix)
            MainCtrl._WBQICancelCapture();
        else
            MainCtrl._WBTSCancelCapture();
    }
    function exitExperiment() {
        if (kestrix)
            MainCtrl._WBQIExitExperiment();
        else
            MainCtrl._WBTSExitExperiment();
    }
    function updateImageShow(left, right) {
        if (kestrix)
            MainCtrl._WBQIUpdateImageShow(left, right);
        else
            MainCtrl._WBTSUpdateImageShow(left, right);
    }
    function temperature() { return WB.temperatureOf(kestrix ? MainCtrl._WBQIGetTem() : MainCtrl._WBTSGetTem(), kestrix) }
    function audit(chinese, english) { Audit.write(ATJS.ModuleType.Capture_Western, chinese, english) }
    function warn(text) { return Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false) }

    // ---- entry and exit -------------------------------------------------------------------
    function enterPage() {
        console.log("WesternBlotCapturePage.enterPage");
        entered = true;
        MainCtrl.curExpName = "";
        mode.setSingle(true);
        UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusWB);
        cameraBar.lensValue = UserOpts.curFocusWB;
        MainCtrl.lensCtrl(UserOpts.curFocusWB);
        UserOpts.curFocusValue = UserOpts.curFocusWB;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusValue);
        cameraBar.load();
        mode.load();
        // The lens needs a moment before the camera starts; the board's replies keep flowing.
        lensPause.restart();
    }
    function enterAfterLensMove() {
        if (!entered)
            return;
        if (!kestrix)
            cameraBar.presetGain();
        UserOpts.loadUserOptsByName(UserOpts.OPT_CameraCooling);
        if (UserOpts.cameraCooling) {
            startPreview();
            return;
        }
        var t = WB.mappedTemperature(temperature());
        if (t < -30) {
            startPreview();
            return;
        }
        cooling.start();
    }
    function exitPage() {
        console.log("WesternBlotCapturePage.exitPage");
        lensPause.stop();
        cooling.stop();
        filterTimer.stop();
        filterDialog.close();
        exitExperiment();
        mode.setProgrammeMode(false);
        dropRange();
        resetPage();
        if (!kestrix && cameraBar.aeRunning)
            MainCtrl._WBTSAtExposure(0);
        cameraBar.stopAutoExposure();
        UserOpts.curFocusWB = cameraBar.lensValue;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusWB);
        entered = false;
        previewing = false;
    }
    function resetPage() {
        singleImageCaped = false;
        captureFinished = false;
        histogramShow = false;
        reCaptureClicked = false;
        pseudoColorCount = 0;
        mCount = 0;
        imageSavePath = "";
        minValue = 0;
        maxValue = 65535;
        imageModel.clear();
        imageItem.imageIndex = -3;
        imageList.currentIndex = -1;
        cameraDialog.close();
        estimateDialog.close();
    }
    function reTranslateUi(language) {
        console.log("WesternBlotCapturePage.reTranslateUi", language);
        mode.retranslateUnits();
    }
    function updateLightStatus(open) {
        console.log("WesternBlotCapturePage.updateLightStatus", open);
        if (captureFinished || !entered)
            return;
        if (open && lastLightType === EnumOBJ.Unknow_LightType)
            return;
        if (!open)
            lastLightType = EnumOBJ.White;
        MainCtrl.lightChange(open);
        lighton = open;
    }
    function door_release() {
        console.log("WesternBlotCapturePage.door_release");
        // Only a door lock of the Tucsen cabinets is released here.
        if (kestrix || !MainCtrl.hasDoor || dooropen)
            return;
        lighton = false;
        MainCtrl._GelTS20BWReleaseDoor();
        dooropen = true;
        audit("点击解锁", "ReleaseDoor Clicked");
    }

    // ---- preview ----------------------------------------------------------------------------
    function startPreview() {
        if (!kestrix) {
            MainCtrl.lightChange(true);
            lighton = true;
            resetFilterWheel();
        }
        previewStart();
        imageItem.imageIndex = -1;
        imageItem.mAdapt = true;
        imageList.currentIndex = -1;
        if (filterDialog.opened)
            cameraSetted = false;
        else
            showCameraDialog();
    }
    // A gel or fluorescence capture may have left a filter in the light path.
    function mainWindow() {
        var item = page;
        while (item.parent)
            item = item.parent;
        return item.Window ? item.Window.window : null;
    }
    function resetFilterWheel() {
        var w = mainWindow();
        if (!MainCtrl.hasFilterWheel || !w || w.curGlobalFilterPos === undefined || w.curGlobalFilterPos === 0)
            return;
        MainCtrl._GelTSFilterChanged(EnumOBJ.F_Reset);
        w.curGlobalFilterPos = 0;
        filterDialog.text = qsTr("Filter Switching...");
        filterDialog.open();
        filterTimer.interval = Gel.filterDialogMs(7);
        filterTimer.restart();
    }
    function filterReady() {
        filterTimer.stop();
        if (!filterDialog.opened)
            return;
        filterDialog.close();
        if (entered && !cameraSetted)
            showCameraDialog();
    }
    function showCameraDialog() {
        cameraSetted = false;
        cameraDialog.text = qsTr("Camera Setting...");
        cameraDialog.open();
    }
    function frameArrived() {
        if (!wbMode || !entered)
            return;
        previewing = true;
        // The live frame, or a captured frame the controller has stretched again.
        if (imageItem.imageIndex === -1 || imageItem.imageIndex >= 0)
            imageItem.updateImage();
        // The camera settings count once the wheel has stopped.
        if (cameraSetted || filterDialog.opened)
            return;
        cameraSetted = true;
        cameraDialog.close();
        if (reCaptureClicked) {
            reCaptureClicked = false;
            startCapture();
        } else if (!kestrix && !captureFinished) {
            cameraBar.startAutoExposure();
        }
    }

    // ---- capture ---------------------------------------------------------------------------
    function captureClicked() {
        CLJS.showCheckLogin(function() {
            var exposure = Math.round(cameraBar.previewExposure());
            audit("点击采集: 预览曝光时间：" + exposure + "ms 像素合并： " + cameraBar.binningText() + " 增益：" + cameraBar.gainText(),
                  "Capture Clicked: Preview exposure: " + exposure + "ms Binning:" + cameraBar.binningText() + " Gain: "
                  + cameraBar.gainText());
            startCapture();
        });
    }
    // False when a warning stopped it.
    function startCapture() {
        if (singleCaptureVisible) {
            captureStart(mode.aesChecked);
            return true;
        }
        if (isProcess && !mode.applyProgramme()) {
            warn(qsTr("Please select one program!"));
            return false;
        }
        if (!isProcess) {
            // A manual capture never runs on the exposures an earlier programme left behind.
            UserOpts.multiCapExpTimesChanged = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimesChanged);
        }
        UserOpts.loadUserOptsByName(UserOpts.OPT_MultiCapExpTimesChanged);
        var plan = mode.manualPlan();
        if (WB.exceedsHour(plan.count, plan.first, plan.delta, plan.accumulate, UserOpts.multiCapExpTimesChanged)) {
            warn(qsTr("Exposure time must less than one hour!"));
            return false;
        }
        captureStart(false);
        return true;
    }
    function onCaptureStart() {
        if (!wbMode)
            return;
        estimateDialog.close();
        progressDialog.totalTime = mode.plannedTotalMs(cameraBar.previewExposure());
        progressDialog.open();
    }
    function appendEntry(name, bin, exposure, gain, file) {
        imageModel.append({ title: WB.baseName(name), path: String(name), file: file, bin: bin, exposure: exposure,
                            gain: gain, marked: false });
        imageList.currentIndex = imageModel.count - 1;
    }
    function onSingleImageCaped(imageName, bin, expCap, gain) {
        if (!wbMode)
            return;
        appendEntry(imageName, bin, expCap, gain, "");
        histogramShow = true;
        singleImageCaped = true;
        // The frame just taken, as the controller stretches it.
        imageItem.imageIndex = WB.frameIndex(imageModel.count - 1, actions.fileNames());
        imageItem.mAdapt = true;
        imageItem.updateImage();
    }
    function onColorMarkerCaped(imageName, bin, expCap, gain) {
        if (!wbMode)
            return;
        appendEntry(imageName, bin, expCap, gain, String(imageName));
        imageItem.imageName = imageName;
        imageItem.imageIndex = -4;
        imageItem.updateImage();
        ++pseudoColorCount;
    }
    function onCaptureFinished(folder) {
        if (!wbMode)
            return;
        progressDialog.close();
        estimateDialog.close();
        mCount = imageModel.count;
        imageSavePath = folder;
        captureFinished = true;
        previewing = false;
    }
    function onEstimateTime(t) {
        mode.showSingleTime(t);
        mode.saveSingleTime();
    }
    // "Back" and "ReCapture": the live view again, the list emptied.
    function backToPreview(retake) {
        if (!retake) {
            restartPreview();
            return;
        }
        CLJS.showCheckLogin(function() {
            if (!singleCaptureVisible && isProcess && !mode.hasProgramme()) {
                warn(qsTr("Please select one program!"));
                return;
            }
            audit("点击重新采集", "Capture ReClicked");
            restartPreview();
            reCaptureClicked = true;
        });
    }
    function restartPreview() {
        dropRange();
        resetPage();
        // Both families: the light is on before the preview runs again.
        MainCtrl.lightChange(true);
        lighton = true;
        previewStart();
        imageItem.imageIndex = -1;
        imageItem.mAdapt = true;
        showCameraDialog();
    }
    function modeClicked(single) {
        MainCtrl.lightChange(true);
        lighton = true;
        if (captureFinished)
            restartPreview();
        // The estimation region belongs to a single capture.
        else if (!single)
            dropRange();
        mode.setSingle(single);
        if (single)
            audit("设置模式: 单张", "Mode Setting: Single");
        else
            audit("设置模式: 多张", "Mode Setting: Multi");
    }
    function lightClicked(open) {
        MainCtrl.lightChange(open);
        lighton = open;
        audit("灯源: " + Audit.openClose(open), "Light: " + Audit.openCloseEn(open));
    }

    // ---- estimation region (Tucsen) ----
    // The region the camera has now, null for the whole picture.
    property var estimateRange: null
    function setEstimateRange(f) {
        MainCtrl._WBTSSetEstimateRoi(f.x, f.y, f.width, f.height);
        estimateRange = f;
    }
    function removeEstimateRange() {
        MainCtrl._WBTSRemoveEstimateRoi();
        estimateRange = null;
        view.clearRange();
    }
    function dropRange() {
        if (!kestrix)
            removeEstimateRange();
        rangeOn = false;
    }
    // A new binning changes the picture's size.
    function refitView() {
        imageItem.mAdapt = true;
        imageItem.updateImage();
    }
    function rangeClicked(on) {
        rangeOn = on;
        if (!on)
            removeEstimateRange();
    }

    // ---- image list ----
    function selectEntry(index) { actions.selectEntry(index) }
    function showEntry(index, frame, file) {
        imageList.currentIndex = index;
        if (file === "") {
            imageItem.imageIndex = frame;
            histogramShow = true;
            actions.listClicked(frame);
        } else {
            imageItem.imageName = file;
            imageItem.imageIndex = -4;
            histogramShow = false;
        }
        imageItem.updateImage();
    }
    WBImageActions {
        id: actions
        kestrix: page.kestrix
        imageOps: page.imageOps
        imageModel: page.imageModel
        currentIndex: page.imageList.currentIndex
        mCount: page.mCount
        imageSavePath: page.imageSavePath
        overlayItem: page.overlayItem
        onEntryChosen: page.showEntry(index, frame, file)
        onPseudoColorCounted: page.pseudoColorCount += delta
        onAudited: page.audit(chinese, english)
        onWarned: page.warn(text)
    }

    // ---- histogram ----
    function stretch(left, right) {
        minValue = left;
        maxValue = right;
        var frame = WB.frameIndex(imageList.currentIndex, actions.fileNames());
        if (frame >= 0)
            imageItem.imageIndex = frame;
        updateImageShow(left, right);
        imageItem.updateImage();
    }

    Timer { id: lensPause; interval: 300; onTriggered: page.enterAfterLensMove() }
    // After a capture the camera's temperature is shown, read once a second. The label is a
    // binding, so that it follows a change of language.
    property string temperatureValue: ""
    readonly property string temperatureText: temperatureValue === "" ? "" : qsTr("Camera Temp:") + " " + temperatureValue
    Timer {
        id: temperatureTimer
        interval: 1000
        repeat: true
        triggeredOnStart: true
        running: page.entered && page.captureFinished
        onTriggered: page.temperatureValue = WB.coolingText(page.temperature())
    }

    Connections {
        target: MainCtrl
        function onImageChanged() { page.frameArrived() }
        function onPreviewStoped() { if (page.wbMode) page.previewing = false }
        function onEstimateStart() {
            if (!page.entered)
                return;
            estimateDialog.text = qsTr("Estimating...");
            estimateDialog.open();
        }
        function onUpdateEstimateTime(estimateTime) { if (page.entered) page.onEstimateTime(estimateTime) }
        function onCaptureStart() { page.onCaptureStart() }
        function onSingleImageCaped(imageName, bin, expCap, gain) { page.onSingleImageCaped(imageName, bin, expCap, gain) }
        function onColorMarkerCaped(imageName, bin, expCap, gain) { page.onColorMarkerCaped(imageName, bin, expCap, gain) }
        function onCaptureFinished(imageSavePath) { page.onCaptureFinished(imageSavePath) }
        function onExportFinished(ok) {
            if (ok && page.wbMode && page.entered)
                Popups.message(page.Overlay.overlay, "qrc:/Image/success.png", qsTr("Tips"), qsTr("Export success!"), false);
        }
        function onDoorStatusChange(open) {
            page.dooropen = open;
            if (!page.entered)
                return;
            if (page.doorLocked) {
                if (!open && !page.captureFinished)
                    page.cameraBar.startAutoExposure();
                return;
            }
            if (!open) {
                MainCtrl.lightChange(true);
                page.lighton = true;
                if (!page.kestrix && !page.captureFinished)
                    page.cameraBar.startAutoExposure();
            } else {
                MainCtrl.lightChange(false);
                page.lighton = false;
            }
        }
        function onLightStatusChange(on) { page.lighton = on }
        function onFilterFin() { if (page.entered) page.filterReady() }
        function onSetAEFinished() { if (page.entered && page.wbMode) page.cameraBar.onAEFinished() }
        function onSetAFFinished() { if (page.entered && page.wbMode) page.cameraBar.onAFFinished() }
        function onReadZoom() { if (page.entered && page.wbMode && !page.kestrix) page.cameraBar.lensReported() }
        // The board did not move the lens: the slider shows where it last confirmed it.
        function onLensCommandUnanswered(position) {
            if (!page.entered || !page.wbMode || page.kestrix)
                return;
            if (position >= 0)
                page.cameraBar.lensValue = position;
            page.warn(qsTr("The cabinet did not answer the lens command."));
        }
        // The wheel did not turn back: the next entry tries again, and the operator knows a
        // filter may still be in the light path.
        function onFilterCommandUnanswered(position) {
            if (!page.entered)
                return;
            var w = page.mainWindow();
            if (w && w.curGlobalFilterPos !== undefined)
                w.curGlobalFilterPos = position;
            page.filterReady();
            page.warn(qsTr("The cabinet did not answer the filter command."));
        }
        // A command told missed was carried out after all.
        function onBoardConfirmedLate() {
            var w = page.mainWindow();
            if (w && w.curGlobalFilterPos !== undefined && MainCtrl.confirmedFilter() >= 0)
                w.curGlobalFilterPos = MainCtrl.confirmedFilter();
            if (page.entered)
                page.lighton = MainCtrl.litLight() !== EnumOBJ.Unknow_LightType;
        }
        // The door stayed locked, and with it the light the board still has on.
        function onDoorCommandUnanswered(open) {
            page.dooropen = open;
            if (page.entered && !open)
                page.lighton = MainCtrl.litLight() !== EnumOBJ.Unknow_LightType;
        }
    }

    LoadingDialog { id: cameraDialog; objectName: "cameraDialog"; parent: page.Overlay.overlay }
    LoadingDialog { id: filterDialog; objectName: "filterDialog"; parent: page.Overlay.overlay }
    Timer { id: filterTimer; onTriggered: page.filterReady() }
    LoadingDialog { id: estimateDialog; objectName: "estimateDialog"; parent: page.Overlay.overlay }
    WBCoolingWait {
        id: cooling
        kestrix: page.kestrix
        overlayItem: page.overlayItem
        onCooled: page.startPreview()
        onAbandoned: page.sig_BackToHome()
    }
    CaptureProgressDialog {
        id: progressDialog
        parent: page.Overlay.overlay
        onCancelCapture: page.cancelCapture()
    }

    WBCaptureView {
        id: view
        anchors.fill: parent
        kestrix: page.kestrix
        fl9bw: page.fl9bw
        previewing: page.previewing
        captureFinished: page.captureFinished
        lighton: page.lighton
        singleCaptureVisible: page.singleCaptureVisible
        isProcess: page.isProcess
        rangeOn: page.rangeOn
        temperatureText: page.temperatureText
        overlayItem: page.overlayItem
        actions: actions
        histogramShow: page.histogramShow
        onStretchChosen: page.stretch(low, high)
        onAuditRequested: page.audit(chinese, english)
        onRangeDrawn: page.setEstimateRange(fractions)
        onCaptureClicked: page.captureClicked()
        onBackClicked: page.backToPreview(retake)
        onMoreClicked: page.sig_SwitchCheckedBtn()
    }
    Connections {
        target: view.cameraBar
        function onRefitRequested() { page.refitView() }
        function onRangeDropRequested() { page.removeEstimateRange() }
        function onCameraDialogRequested() { page.showCameraDialog() }
        function onLightClicked(open) { page.lightClicked(open) }
        function onAudited(chinese, english) { page.audit(chinese, english) }
        function onWarned(text) { page.warn(text) }
    }
    Connections {
        target: view.mode
        function onSingleChosen(value) { page.singleCaptureVisible = value }
        function onProgrammeModeChosen(on) { page.isProcess = on }
        function onModeClicked(single) { page.modeClicked(single) }
        function onRangeClicked(on) { page.rangeClicked(on) }
        function onAudited(chinese, english) { page.audit(chinese, english) }
    }

    property alias imageItem: view.imageItem
    property alias imageList: view.imageList
    property alias imageModel: view.imageModel
    property alias cameraBar: view.cameraBar
    property alias mode: view.mode
    property alias actions: actions
    property alias cameraDialog: cameraDialog
    property alias estimateDialog: estimateDialog
    readonly property LoadingDialog aeDialog: view.cameraBar.aeDialog
    readonly property LoadingDialog afDialog: view.cameraBar.afDialog
    property alias filterDialog: filterDialog
    property alias coolingDialog: cooling.dialog
    property alias progressDialog: progressDialog
}
