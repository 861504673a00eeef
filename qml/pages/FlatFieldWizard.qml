import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../js/FlatField.js" as FFC
import "../js/GelCapture.js" as Gel
import "../js/Popups.js" as Popups

// The gel page's flat-field calibration: with an empty cabin and the white plate in place it
// sets full resolution, runs automatic exposure, records a bright and a dark reference (and,
// on the cabinets that need them, pairs behind further filters) and lets the camera compute the
// correction. The switch turns the correction on and off. "Cancel" puts back what the run changed.
Column {
    id: wizard
    objectName: "flatFieldWizard"
    // ---- what the page tells ----
    required property bool singleGel
    required property bool fl9bw
    required property bool boardSensing
    required property bool captureFinished
    required property int curFilterPos
    required property int curLightType
    // The camera bar beside it: the run sets its binning and gain and waits for its exposure.
    required property GelCameraBar cameraBar
    // The page's filter dialog, which closes when the wheel has stopped.
    required property Popup filterDialog
    // ---- what it asks of the page ----
    // The page's own light button pressed (or released).
    signal lightClicked(int type, bool on)
    signal autoExposureRequested(bool on)
    signal aePollStopRequested()
    // The wheel was sent to position, rotations steps from where it was.
    signal filterTurned(int position, int rotations)
    // The run succeeded and its message was answered: the panel may close.
    signal closeRequested()
    // The wizard's step (see FlatField.js); 0 before a run, -1 after one.
    property int step: 0
    property bool active: false
    // The preparation timer's own step.
    property int prepStep: 0
    // Automatic exposure runs for the calibration, before the first pair / behind a new filter.
    property bool exposureForCalibration: false
    property bool exposureAfterFilter: false
    property bool exposureAfterFilterStarted: false
    property int target: 0
    // Preview frames since the light, filter or exposure last changed; a step that takes a
    // reference waits for a frame that began after the change.
    property int framesSinceChange: 0
    property bool waitingForFrame: false
    property int bar: 0
    property int barMax: 10
    property string status: "Calibration not performed"
    // What a cancel puts back.
    property var saved: null
    // A bright reference is stored whose dark partner is not yet: the pair on disk is mixed.
    property bool halfPair: false
    // The references in memory were cleared for this run (its first step); a reference was
    // recorded since.
    property bool referencesCleared: false
    property bool referenceTaken: false
    // 2 s between steps; a test may shorten it.
    property int stepInterval: 2000
    readonly property var statusTexts: [QT_TR_NOOP("Calibration not performed"), QT_TR_NOOP("Set Camera Binning"),
        QT_TR_NOOP("Auto Exposure..."), QT_TR_NOOP("Prepare to shoot bright field"), QT_TR_NOOP("Prepare to shoot dark field"),
        QT_TR_NOOP("Calculating"), QT_TR_NOOP("Calibration success"), QT_TR_NOOP("Shoot light field for 535nm"),
        QT_TR_NOOP("Shoot dark field for 535nm"), QT_TR_NOOP("Shoot light field for 605nm"), QT_TR_NOOP("Shoot dark field for 605nm"),
        QT_TR_NOOP("Shoot light field for 470nm"), QT_TR_NOOP("Shoot dark field for 470nm"),
        QT_TR_NOOP("Shoot light field for 590nm"), QT_TR_NOOP("Shoot dark field for 590nm"), QT_TR_NOOP("Calibration cancelled")]
    spacing: Style.s(6)

    function options() { return { colorMarker: UserOpts.colorMarkerVisible, plain: !boardSensing } }

    Component.onCompleted: {
        if (MainCtrl.isAlreadyFFC()) {
            bar = 10;
            status = "Calibration success";
        }
    }

    function message(title, text, withCancel) {
        return Popups.message(wizard.Overlay.overlay, "qrc:/Image/warning.png", title, text, withCancel === true);
    }

    // ---- start and finish --------------------------------------------------------------------
    function start() {
        var refusal = FFC.startRefusal(captureFinished, curFilterPos);
        if (refusal !== "") {
            message(qsTr("Warning"), qsTr(refusal));
            return null;
        }
        var dialog = message(qsTr("Tips"), qsTr("Flat field correction is about to begin, please do not control the lighting or shoot")
                              + "\n" + qsTr("Make sure that your current cabin is empty and place the white light plate"), true);
        if (dialog)
            dialog.accepted.connect(begin);
        return dialog;
    }
    function begin() {
        barMax = FFC.barMax(UserOpts.colorMarkerVisible);
        saved = { light: curLightType, filter: curFilterPos, binning: CamOpts.gelTSCurBinning,
                  exposure: CamOpts.gelTSCurExposurePre, gain: CamOpts.gelTSCurGain, gainIndex: CamOpts.gelTSCurGainIndex };
        active = true;
        halfPair = false;
        referencesCleared = false;
        referenceTaken = false;
        step = 0;
        prepStep = 0;
        prepTimer.interval = stepInterval;
        prepTimer.start();
    }
    function prepare() {
        if (prepStep === 0) {
            MainCtrl.setisInFFC(true);
            bar = 1;
            status = "Set Camera Binning";
            if (singleGel) {
                // Full resolution at the stored exposure and gain.
                MainCtrl._GelTSBinChanged(0, CamOpts.gelTSCurExposurePre, CamOpts.gelTSCurGain);
                CamOpts.gelTSCurBinning = 0;
                CamOpts.saveCurGelTSCamOpts();
            } else {
                if (fl9bw)
                    cameraBar.chooseGainLevel(0);
                cameraBar.chooseBinning(0);
            }
            prepStep = 1;
            return;
        }
        bar = 3;
        status = "Auto Exposure...";
        exposureForCalibration = true;
        prepTimer.stop();
        // The binning choice may have started it already: a second run on top would restart it.
        if (!cameraBar.aeOn)
            autoExposureRequested(true);
    }
    function finish() {
        MainCtrl.calculateFFC();
        step = FFC.Done;
        active = false;
        stepTimer.stop();
        UserOpts.isFFCOpen = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsFFCOpen);
        var dialog = message(qsTr("Tips"), qsTr("Calibration Success!"));
        if (dialog)
            dialog.accepted.connect(function() { wizard.closeRequested() });
        MainCtrl.setisInFFC(false);
        MainCtrl.setFFC(true);
    }
    // Puts back the camera settings, the wheel and the light of before the run and leaves
    // calibration mode, so that light changes move the wheel again.
    function cancel() {
        if (!active)
            return;
        prepTimer.stop();
        stepTimer.stop();
        waitingForFrame = false;
        exposureForCalibration = false;
        exposureAfterFilter = false;
        active = false;
        if (cameraBar.aeOn)
            autoExposureRequested(false);
        aePollStopRequested();
        MainCtrl._GelTSBinChanged(saved.binning, saved.exposure, fl9bw ? saved.gainIndex : saved.gain);
        CamOpts.gelTSCurBinning = saved.binning;
        CamOpts.gelTSCurExposurePre = saved.exposure;
        CamOpts.gelTSCurGain = saved.gain;
        CamOpts.gelTSCurGainIndex = saved.gainIndex;
        CamOpts.saveCurGelTSCamOpts();
        cameraBar.load();
        MainCtrl.setisInFFC(false);
        if (curFilterPos > 0)
            turnFilter(0);
        if (curLightType !== saved.light) {
            if (saved.light === EnumOBJ.Unknow_LightType)
                lightClicked(curLightType, false);
            else
                lightClicked(saved.light, true);
        }
        // A bright reference without its dark one would correct every later picture wrongly
        // (the files are read again at start): no references until a calibration completes.
        if (halfPair) {
            MainCtrl.resetFFC();
            MainCtrl.removeCorrectionData();
            halfPair = false;
            // Nothing left to correct with.
            UserOpts.isFFCOpen = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_IsFFCOpen);
        } else if (referencesCleared && !referenceTaken) {
            // Nothing new was recorded: the stored calibration applies again, not only after a
            // restart.
            MainCtrl.reloadFFC();
        }
        referencesCleared = false;
        MainCtrl.setFFC(UserOpts.isFFCOpen);
        step = 0;
        bar = 0;
        status = "Calibration cancelled";
    }

    // ---- steps -------------------------------------------------------------------------------
    function settingChanged() { framesSinceChange = 0 }
    function switchWhite(on) {
        settingChanged();
        lightClicked(EnumOBJ.White, on);
    }
    // The calibration runs the exposure behind its filters itself (filterStopped), and none
    // after its way back to no filter or a cancel's: the page's own does not follow these moves.
    function turnFilter(position) {
        settingChanged();
        MainCtrl._GelTSFilterChanged(position);
        filterTurned(position, Gel.rotateCount(Math.max(0, curFilterPos), position));
    }
    function fire() {
        if (step === FFC.WaitExposure) {
            console.log("等待");
            return;
        }
        if (step === FFC.FilterChange) {
            console.log("需要执行彩色Marker的平场校准");
            var next = FFC.afterFilterChange(target);
            if (next === FFC.WaitExposure) {
                exposureAfterFilter = true;
                exposureAfterFilterStarted = false;
            }
            turnFilter(target);
            step = next;
            return;
        }
        var plan = FFC.stepPlan(step, options());
        if (plan.reference !== "" && !FFC.frameIsFresh(framesSinceChange)) {
            waitingForFrame = true;
            stepTimer.stop();
            return;
        }
        run(plan);
    }
    // The reference a step names, each call written out so that the controller's contract covers it.
    function takeReference(name) {
        switch (name) {
        case "getStandardImage": MainCtrl.getStandardImage(); break;
        case "getDarkImage": MainCtrl.getDarkImage(); break;
        case "getStandardImageFor535": MainCtrl.getStandardImageFor535(); break;
        case "getDarkImageFor535": MainCtrl.getDarkImageFor535(); break;
        case "getStandardImageFor605": MainCtrl.getStandardImageFor605(); break;
        case "getDarkImageFor605": MainCtrl.getDarkImageFor605(); break;
        case "getStandardImageFor715": MainCtrl.getStandardImageFor715(); break;
        case "getDarkImageFor715": MainCtrl.getDarkImageFor715(); break;
        case "getStandardImageFor590": MainCtrl.getStandardImageFor590(); break;
        case "getDarkImageFor590": MainCtrl.getDarkImageFor590(); break;
        default: console.warn("no flat-field reference named", name);
        }
    }
    function run(plan) {
        if (plan.log !== "")
            console.log(plan.log);
        status = plan.text;
        bar = plan.bar;
        if (plan.reset) {
            MainCtrl.resetFFC();
            referencesCleared = true;
        }
        if (plan.reference !== "") {
            referenceTaken = true;
            takeReference(plan.reference);
            halfPair = plan.reference.indexOf("getStandardImage") === 0;
        }
        if (plan.compute) {
            finish();
            return;
        }
        if (plan.light !== undefined)
            switchWhite(plan.light);
        if (plan.target >= 0)
            target = plan.target;
        step = plan.next;
    }
    function frameArrived() {
        if (!active)
            return;
        ++framesSinceChange;
        if (waitingForFrame && FFC.frameIsFresh(framesSinceChange)) {
            waitingForFrame = false;
            run(FFC.stepPlan(step, options()));
            if (active)
                stepTimer.restart();
        }
    }
    function exposureEnded() {
        if (!active)
            return;
        settingChanged();
        if (exposureForCalibration) {
            exposureForCalibration = false;
            stepTimer.interval = stepInterval;
            stepTimer.start();
        } else if (exposureAfterFilter && step === FFC.WaitExposure) {
            exposureAfterFilter = false;
            step = FFC.pairAfterExposure(curFilterPos);
        }
    }
    // Behind a new filter automatic exposure runs once the wheel has stopped.
    function filterStopped() {
        if (active && exposureAfterFilter && !exposureAfterFilterStarted) {
            exposureAfterFilterStarted = true;
            autoExposureRequested(true);
        }
    }

    Timer { id: prepTimer; repeat: true; triggeredOnStart: true; onTriggered: wizard.prepare() }
    Timer { id: stepTimer; repeat: true; onTriggered: wizard.fire() }
    Connections {
        target: MainCtrl
        function onImageChanged() { if (MainCtrl.expMode === EnumOBJ.Gel) wizard.frameArrived() }
    }
    Connections {
        target: wizard.filterDialog
        function onClosed() { wizard.filterStopped() }
    }

    // ---- panel -------------------------------------------------------------------------------
    Row {
        spacing: Style.s(8)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Flat field correction")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textDark
        }
        Switch {
            id: ffcSwitch
            objectName: "ffcSwitch"
            checked: UserOpts.isFFCOpen
            onClicked: {
                UserOpts.isFFCOpen = !UserOpts.isFFCOpen;
                checked = Qt.binding(function() { return UserOpts.isFFCOpen });
                MainCtrl.setFFC(UserOpts.isFFCOpen);
                UserOpts.saveUserOptsByName(UserOpts.OPT_IsFFCOpen);
            }
        }
    }
    ProgressBar {
        objectName: "ffcProgress"
        width: wizard.width
        from: 0
        to: wizard.barMax
        value: wizard.bar
    }
    Text {
        objectName: "ffcStatus"
        width: wizard.width
        text: qsTr(wizard.status)
        wrapMode: Text.WordWrap
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        color: Style.textGrey
    }
    Row {
        spacing: Style.s(6)
        NormalBlueButton {
            objectName: "ffcStartButton"
            text: qsTr("Start")
            enabled: !wizard.active
            onClicked: wizard.start()
        }
        NormalButton {
            objectName: "ffcCancelButton"
            text: qsTr("Cancel")
            enabled: wizard.active
            onClicked: wizard.cancel()
        }
    }
}
