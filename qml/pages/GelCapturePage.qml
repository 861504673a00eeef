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
    property bool updateExpInfo: false
    property bool dooropen: false
    property bool cuton: false
    property bool lighton: false
    property int curLightType: EnumOBJ.Unknow_LightType
    property int lastLightType: EnumOBJ.Unknow_LightType
    property int lastCloseLightType: EnumOBJ.Unknow_LightType
    property int curBoardType: 0
    property int curFilterPos: -1
    property int rotateCount: 0
    property bool entered: false
    property bool firstEntered: false
    property bool autoCapture: false
    property bool autoCaptureTrigered: false
    property bool buttonCaptureClicked: false
    property bool reCaptureClicked: false
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
    // The controller's list operations; a test puts a recorder in its place.
    property var imageOps: MainCtrl
    property var aeHistory: []
    property int aePolls: 0
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
    function startCapture() { MainCtrl._GelTSCaptureStart(curLightType) }
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
    // A retake, or the door closed with automatic capture on, captures once the preview runs.
    function pendingCapture() {
        if (!reCaptureClicked && !autoCaptureTrigered)
            return;
        reCaptureClicked = false;
        if (!updateExpInfo) {
            MainCtrl._GelTSUpdateExpInfo();
            updateExpInfo = true;
        }
        if (singleGel) {
            if (exposureAuto) {
                buttonCaptureClicked = true;
                startAutoExposure(true);
            } else if (focusAuto) {
                buttonCaptureClicked = true;
                startSmbusAutoFocus();
            } else {
                MainCtrl._GelTSCaptureStart(curLightType);
            }
        } else if (aeBox.checked || autoCaptureTrigered) {
            autoCaptureTrigered = false;
            aeBox.checked = true;
            buttonCaptureClicked = true;
            startAutoExposure(true);
        } else {
            MainCtrl._GelTSCaptureStart(curLightType);
        }
    }

    // ---- lights and filter wheel ----------------------------------------------------------
    function setLightChecked(type) {
        for (var i = 0; i < lightRepeater.count; ++i)
            lightRepeater.itemAt(i).checked = lights[i] === type;
        if (type !== EnumOBJ.Blue)
            view.showBlueDialog(false);
    }
    function lightAudit(type, on) {
        var names = lightNames[type];
        audit("光源设置: " + names[0] + (on ? "开" : "关"), "Light settings: " + names[1] + " light " + (on ? "on" : "off"));
    }
    function lightClicked(type, checked) {
        if (checked) {
            setLightChecked(type);
            chooseLight(type);
            lightAudit(type, true);
        } else {
            if (boardSensing)
                MainCtrl.lightCmd(type, false);
            else
                MainCtrl.lightChange(false);
            view.showBlueDialog(false);
            lighton = false;
            curLightType = EnumOBJ.Unknow_LightType;
            lightAudit(type, false);
        }
    }
    function chooseLight(type) {
        curLightType = type;
        if (!boardSensing) {
            var match = Gel.matchedFilter(type, UserOpts.autoMatchFilter, MainCtrl.isInFFC(), UserOpts);
            if (match >= 0 && match !== curFilterPos) {
                rotateCount = Gel.rotateCount(curFilterPos, match);
                MainCtrl._GelTSLightChanged(type, true, match);
                curFilterPos = match;
                imageItem.curFilterPosition = match;
                showFilterDialog();
                reStartPreview(false);
            } else {
                MainCtrl._GelTSLightChanged(type, false, 0);
                reStartPreview(true);
            }
            lighton = true;
            return;
        }
        var on = false;
        if (type === EnumOBJ.White) {
            curBoardType = 1;
            on = !dooropen;
        } else if (type === EnumOBJ.UV302 || type === EnumOBJ.Blue) {
            curBoardType = type === EnumOBJ.UV302 ? 2 : 3;
            on = !dooropen || cuton;
        } else {
            curBoardType = 4;
            on = !dooropen;
        }
        view.showBlueDialog(type === EnumOBJ.Blue);
        if (on) {
            MainCtrl.lightCmd(type, true);
            if (type === EnumOBJ.Blue) {
                UserOpts.loadUserOptsByName(UserOpts.OPT_BluePercent);
                MainCtrl._GelTS20BWOpenBlueLight(UserOpts.bluePercent);
            }
            lighton = true;
            if (!singleGel)
                filterMatchPause.restart();
        } else if (dooropen && cuton && lighton) {
            MainCtrl.lightCmd(type, false);
            lighton = false;
        }
        reStartPreview(true);
    }
    // A strength chosen in the blue light's pop-up, applied as the light is switched on.
    function blueChosen(value) {
        if (curLightType === EnumOBJ.Blue && (!dooropen || cuton))
            MainCtrl._GelTS20BWOpenBlueLight(value);
    }
    function chooseFilter(i) {
        if (i === curFilterPos)
            return;
        MainCtrl._GelTSFilterChanged(i);
        rotateCount = Gel.rotateCount(curFilterPos < 0 ? 0 : curFilterPos, i);
        curFilterPos = i;
        imageItem.curFilterPosition = i;
        audit("滤光片切换: " + filterAuditTexts[i], "Filter change: " + filterAuditTexts[i]);
        showFilterDialog();
    }
    // The wheel's move ends in automatic exposure (the new filter passes another share of the
    // light), unless the caller sets the exposure itself.
    function showFilterDialog(noExposure) {
        cameraDialog.close();
        filterExposure = noExposure !== true;
        filterDialog.text = qsTr("Filter Switching...");
        filterDialog.open();
        filterTimer.interval = Gel.filterDialogMs(rotateCount);
        filterTimer.restart();
    }
    // The filter of the light that is on, after a light change of the sensing groups.
    function rotateFilter() {
        // The calibration turns the wheel itself.
        if (MainCtrl.isInFFC())
            return;
        UserOpts.loadUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        var target = Gel.matchedFilter(curLightType, UserOpts.autoMatchFilter, MainCtrl.isInFFC(), UserOpts);
        var global = globalFilterPos();
        if (target >= 0 && target !== curFilterPos) {
            if (global === -1 && curFilterPos === -1) {
                console.log("首次进入软件，进入凝胶成像模式。");
                MainCtrl._GelTSFilterChanged(EnumOBJ.F_Reset);
                rotateCount = 7;
                if (target !== 0)
                    secondMove.restartFor(target);
            } else {
                rotateCount = firstEntered ? 7 : Gel.rotateCount(curFilterPos < 0 ? global : curFilterPos, target);
                MainCtrl._GelTSFilterChanged(target);
            }
            curFilterPos = target;
            showFilterDialog();
        } else if (curFilterPos === -1 || target < 0) {
            MainCtrl._GelTSFilterChanged(EnumOBJ.F_Reset);
            rotateCount = global === -1 ? 7 : Gel.rotateCount(global, 0);
            console.log(global === -1 ? "初次进入界面。" : "无需旋转，初次进入界面。");
            curFilterPos = 0;
            setGlobalFilterPos(0);
            showFilterDialog();
        }
        imageItem.curFilterPosition = curFilterPos;
    }

    // ---- capture ---------------------------------------------------------------------------
    function captureClicked() {
        if (calibrationStep >= 1 && calibrationStep <= 3)
            return;
        CLJS.showCheckLogin(function() {
            if (!updateExpInfo) {
                MainCtrl._GelTSUpdateExpInfo();
                updateExpInfo = true;
            }
            var exposure = CamOpts.gelTSCurExposurePre;
            if (singleGel) {
                // The single-gel cabinet's own wording: the exposure as stored, its two binnings.
                var bin = CamOpts.gelTSCurBinning === 0 ? "1*1" : "2*2";
                audit("点击采集: 曝光时间: " + exposure + "ms 像素合并: " + bin + " 增益: " + CamOpts.gelTSCurGain,
                      "Capture Clicked: Preview exposure: " + exposure + "ms Binning: " + bin + " Gain: " + CamOpts.gelTSCurGain);
            } else {
                audit("点击采集: 预览曝光时间：" + Math.round(exposure) + "ms 像素合并： " + binningText("zh") + " 增益：" + gainText("zh"),
                      "Capture Clicked: Preview exposure: " + Math.round(exposure) + "ms Binning:" + binningText("en") + " Gain: " + gainText("en"));
            }
            if (singleGel) {
                reCaptureClicked = true;
                pendingCapture();
            } else if (aeBox.checked) {
                buttonCaptureClicked = true;
                startAutoExposure(true);
            } else if (afBox.checked) {
                buttonCaptureClicked = true;
                startLensAutoFocus();
            } else {
                MainCtrl._GelTSCaptureStart(curLightType);
            }
        });
    }
    function binningText(language) { return cameraBar.binningText(language) }
    function gainText(language) { return fl9bw ? cameraBar.gainLevelText(language) : String(CamOpts.gelTSCurGain) }
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
        imageModel.append({ title: Gel.baseName(imageName), path: String(imageName), file: "", bin: bin, exposure: expCap,
                            gain: gain, marked: false });
        imageList.currentIndex = imageModel.count - 1;
        // The frame just taken, as the controller stretches it, fitted.
        imageItem.imageIndex = Gel.frameIndex(imageModel.count - 1, actions.fileNames());
        view.fitView();
        singleImageCaped = true;
        histogramShow = true;
        cameraBar.shown = false;
    }
    function onColorMarkerCaped(imageName) {
        if (!gelMode)
            return;
        imageModel.append({ title: Gel.baseName(imageName), path: String(imageName), file: String(imageName), bin: -1,
                            exposure: -1, gain: -1, marked: false });
        imageItem.imageName = imageName;
        imageItem.imageIndex = -4;
        imageItem.updateImage();
        ++pseudoColorCount;
        histogramShow = false;
    }
    function onCaptureFinished(folder) {
        if (!gelMode)
            return;
        if (folder === "") {
            captureRefused();
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
    // The controller started no capture (no experiment record could be made): the preview runs
    // on, and the next press tries the record again.
    function captureRefused() {
        if (progressDialog.opened)
            return;
        buttonCaptureClicked = false;
        updateExpInfo = false;
        // A store that refused the row has already been reported, with its file and cause.
        if (MainCtrl.errorCode !== EnumOBJ.StoreErr)
            message(qsTr("Warning"), qsTr("The capture did not start: the experiment could not be recorded. Please try again."));
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
    GelImageActions { id: actions; host: page }

    // ---- automatic exposure and focus ----
    function startAutoExposure(on) {
        // Closing the filter dialog here must not start a second run (or one that was turned off).
        filterExposure = false;
        exposureFocus.startAutoExposure(on);
    }
    // A wheel move under way ends in automatic exposure.
    property bool filterExposure: false
    function filterDialogEnded() {
        if (!filterExposure)
            return;
        filterExposure = false;
        // Never during a capture (a retake may start before the wheel has stopped).
        if (entered && previewing && !captureFinished && !cameraBar.aeOn && !singleGel && !progressDialog.visible)
            startAutoExposure(true);
    }
    function onAEFinished() { exposureFocus.onAEFinished() }
    function stopAePoll() { exposureFocus.stopAePoll() }
    function startLensAutoFocus() { exposureFocus.startLensAutoFocus() }
    function startSmbusAutoFocus() { exposureFocus.startSmbusAutoFocus() }
    function onAFFinished() { exposureFocus.onAFFinished() }
    GelExposureFocus { id: exposureFocus; host: page; onAutoExposureEnded: view.wizard.exposureEnded() }

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
    Timer { id: filterMatchPause; interval: 300; onTriggered: page.rotateFilter() }
    Timer {
        id: secondMove
        property int target: 0
        interval: 4500
        function restartFor(pos) { target = pos; restart() }
        onTriggered: MainCtrl._GelTSFilterChanged(target)
    }
    Timer { id: filterTimer; onTriggered: filterDialog.close() }

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
        function onFilterFin() { if (page.entered) { filterTimer.stop(); filterDialog.close() } }
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
        function onDoorStatusChange(open) {
            page.dooropen = open;
            if (!page.entered)
                return;
            // These cabinets only start automatic exposure when the door closes on a preview.
            if (page.doorStartsExposure) {
                if (!open && !page.captureFinished && !page.singleGel)
                    page.startAutoExposure(true);
                return;
            }
            if (!page.boardSensing)
                return;
            if (open && page.curLightType !== EnumOBJ.Unknow_LightType) {
                page.setLightChecked(-1);
                MainCtrl.lightCmd(page.curLightType, false);
            } else if (!open) {
                page.autoCaptureTrigered = page.autoCapture;
                MainCtrl.requestBoardType();
            }
        }
        function onCutStatusChange(on) {
            page.cuton = on;
            if (!page.entered || !page.boardSensing)
                return;
            if (on)
                MainCtrl.requestBoardType();
            else if (page.lighton && page.curLightType !== EnumOBJ.White) {
                MainCtrl.lightCmd(page.curLightType, false);
                page.setLightChecked(-1);
                // No light: nothing to expose for.
                page.filterExposure = false;
                filterDialog.close();
            }
        }
        function onLightStatusChange(on) {
            if (!on) {
                page.setLightChecked(-1);
                page.lighton = false;
                // The next capture is not named after a light that is off.
                page.curLightType = EnumOBJ.Unknow_LightType;
            }
        }
        // The board did not answer a light command: the buttons show the light it last confirmed.
        function onLightCommandUnanswered(lightType, on) {
            page.setLightChecked(MainCtrl.litLight());
            page.curLightType = MainCtrl.litLight();
            page.lighton = page.curLightType !== EnumOBJ.Unknow_LightType;
            if (page.entered)
                page.message(qsTr("Warning"), qsTr("The cabinet did not answer the light command."));
        }
        // The board did not turn the wheel: the buttons show the filter it last confirmed.
        function onFilterCommandUnanswered(position) {
            if (!page.entered)
                return;
            page.curFilterPos = position;
            page.imageItem.curFilterPosition = position;
            page.filterExposure = false;
            filterTimer.stop();
            filterDialog.close();
            page.message(qsTr("Warning"), qsTr("The cabinet did not answer the filter command."));
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
            if (page.entered && page.boardSensing && !open) {
                page.setLightChecked(MainCtrl.litLight());
                page.lighton = MainCtrl.litLight() !== EnumOBJ.Unknow_LightType;
            }
        }
        function onTempWarning() {
            if (!page.entered)
                return;
            page.message(qsTr("Warning"), qsTr("Temperature too high, light turned off!"));
            page.setLightChecked(-1);
        }
        function onUpdateBoardType(boardType) {
            page.curBoardType = boardType;
            if (!page.entered || !page.boardSensing)
                return;
            var light = boardType === 1 ? EnumOBJ.White : boardType === 2 ? EnumOBJ.UV302 : boardType === 3 ? EnumOBJ.Blue : -1;
            if (light >= 0) {
                page.setLightChecked(light);
                page.chooseLight(light);
            } else {
                MainCtrl.lightCmd(EnumOBJ.Unknow_LightType, false);
            }
            if (page.firstEntered) {
                if (page.singleGel)
                    page.firstEntered = false;
                page.startPreview();
                if (!page.singleGel && light < 0)
                    page.rotateFilter();
                page.firstEntered = false;
            } else {
                page.reStartPreview(true);
            }
        }
    }

    LoadingDialog { id: cameraDialog; objectName: "cameraDialog"; parent: page.Overlay.overlay }
    LoadingDialog { id: filterDialog; objectName: "filterDialog"; parent: page.Overlay.overlay; onAeStartSignal: page.filterDialogEnded() }
    LoadingDialog {
        id: aeDialog
        objectName: "aeDialog"
        parent: page.Overlay.overlay
        onDialogClosedSignal: {
            // A calibration cannot go on without its exposure: this cancel ends it as well.
            view.wizard.cancel();
            cameraBar.aeOn = false;
            MainCtrl._GelTSAtExposure(0);
            page.stopAePoll();
        }
    }
    LoadingDialog {
        id: afDialog
        objectName: "afDialog"
        parent: page.Overlay.overlay
        onDialogClosedSignal: { MainCtrl.stopAutoFocus(); close() }
    }
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
        host: page
    }
    property alias imageItem: view.imageItem
    property alias cameraDialog: cameraDialog
    property alias filterDialog: filterDialog
    property alias aeDialog: aeDialog
    property alias afDialog: afDialog
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
