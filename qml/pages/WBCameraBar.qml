import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import "../components"
import "../dialogs"
import "../js/WesternBlot.js" as WB
import "../js/GelCapture.js" as Gel

// Camera settings of the Western-blot preview: binning, gain, preview exposure and their reset,
// the light, "More Setting"; on the Tucsen cameras also automatic exposure, the lens and the
// colour marker.
Column {
    id: bar
    required property bool kestrix
    required property bool fl9bw
    required property bool previewing
    required property bool captureFinished
    required property bool lighton
    required property Item overlayItem
    property alias aeDialog: aeDialog
    property alias afDialog: afDialog
    // A new binning changes the picture's size, and on the Tucsen cameras drops the estimation
    // region; a camera set up anew shows "Camera Setting..." until its first frame.
    signal refitRequested()
    signal rangeDropRequested()
    signal cameraDialogRequested()
    signal lightClicked(bool open)
    signal audited(string chinese, string english)
    signal warned(string text)
    property bool wide: false
    property bool loading: true
    // Kestrix: the binning text ("2*2"); Tucsen: the button's position.
    property string qiBinning: "1*1"
    property int tsBinning: 0
    property int gainIndex: 1
    property alias lensValue: lensSlider.value
    readonly property var binnings: kestrix ? WB.qiBinnings : WB.tsBinnings(fl9bw)
    readonly property var purposes: [qsTr("High resolution"), qsTr("Standard"), qsTr("High sensitivity")]
    readonly property var qiGains: [" " + qsTr("Low") + " ", qsTr("Middle"), " " + qsTr("High") + " "]
    readonly property var tsGainLevels: [qsTr("Low"), qsTr("Middle"), qsTr("High"), qsTr("Ultra-high")]
    spacing: Style.s(6)

    function load() {
        loading = true;
        if (kestrix) {
            CamOpts.loadCurWBQICamOpts();
            qiBinning = CamOpts.wBQICurBinning;
            gainIndex = CamOpts.wBQICurGainIndex;
            exposureBox.setRealValue(CamOpts.wBQICurExposurePre);
        } else {
            CamOpts.loadCurWBTSCamOpts();
            tsBinning = CamOpts.wBTSCurBinning;
            gainIndex = CamOpts.wBTSCurGainIndex;
            gainBox.value = CamOpts.wBTSCurGain;
            exposureBox.setRealValue(CamOpts.wBTSCurExposurePre);
        }
        UserOpts.loadUserOptsByName(UserOpts.OPT_ColorMarker);
        colorBox.checked = UserOpts.colorMarker;
        loading = false;
    }
    // The Tucsen preview starts at gain 45 (the FL9BW cameras at their second level).
    function presetGain() {
        if (fl9bw) {
            gainIndex = 1;
            CamOpts.wBTSCurGainIndex = 1;
            CamOpts.saveCamOptsByName(CamOpts.WBTS_CurGainIndex);
        } else {
            gainBox.value = 45;
            CamOpts.wBTSCurGain = 45;
            CamOpts.saveCamOptsByName(CamOpts.WBTS_CurGain);
        }
    }
    function previewExposure() { return kestrix ? CamOpts.wBQICurExposurePre : CamOpts.wBTSCurExposurePre }
    function binningText() { return kestrix ? qiBinning : binnings[tsBinning] }
    function gainText() { return kestrix || fl9bw ? String(gainIndex) : String(CamOpts.wBTSCurGain) }
    function label(i) {
        return !wide && i < 3 ? purposes[i] + "(" + binnings[i] + ")" : binnings[i];
    }
    function isChecked(i) { return kestrix ? binnings[i] === qiBinning : i === tsBinning }

    function chooseBinning(i) {
        refitRequested();
        // The defaults are in the file from the first run on; memory holds them only once read.
        CamOpts.loadCamOptsByName(kestrix ? CamOpts.WBQI_DefExposurePre
                                          : fl9bw ? CamOpts.WBTS_DefExposurePre6Para : CamOpts.WBTS_DefExposurePre);
        if (kestrix) {
            var n = WB.binningOfText(label(i));
            var exposure = Math.round(WB.listValue(CamOpts.wBQIDefExposurePre, i, exposureBox.realValue));
            MainCtrl._WBQIBinChanged(n, exposure, gainIndex);
            qiBinning = n + "*" + n;
            CamOpts.wBQICurBinning = qiBinning;
            CamOpts.wBQICurExposurePre = exposure;
            CamOpts.wBQICurGainIndex = gainIndex;
            CamOpts.saveCurWBQICamOpts();
            showExposure(exposure);
            return;
        }
        var defaults = fl9bw ? CamOpts.wBTSDefExposurePre6Para : CamOpts.wBTSDefExposurePre;
        var tsExposure = WB.listValue(defaults, i, exposureBox.realValue);
        MainCtrl._WBTSBinChanged(i, tsExposure, fl9bw ? gainIndex : gainBox.value);
        rangeDropRequested();
        tsBinning = i;
        CamOpts.wBTSCurBinning = i;
        CamOpts.wBTSCurExposurePre = tsExposure;
        CamOpts.saveCurWBTSCamOpts();
        showExposure(tsExposure);
        // The camera is set up anew: its first frame closes the dialog and automatic exposure
        // follows.
        if (previewing && !captureFinished)
            cameraDialogRequested();
    }
    function showExposure(value) {
        loading = true;
        exposureBox.setRealValue(value);
        loading = false;
    }
    function chooseGain(index) {
        gainIndex = index;
        if (kestrix) {
            MainCtrl._WBQIGainChanged(index);
            CamOpts.wBQICurGainIndex = index;
            CamOpts.saveCamOptsByName(CamOpts.WBQI_CurGainIndex);
        } else {
            MainCtrl._WBTSGainChanged(index);
            CamOpts.wBTSCurGainIndex = index;
            CamOpts.saveCamOptsByName(CamOpts.WBTS_CurGainIndex);
        }
    }
    function gainValueChosen(value) {
        if (loading)
            return;
        MainCtrl._WBTSGainChanged(value);
        CamOpts.wBTSCurGain = value;
        CamOpts.saveCamOptsByName(CamOpts.WBTS_CurGain);
    }
    function exposureChosen(value) {
        if (loading)
            return;
        if (kestrix) {
            MainCtrl._WBQIPreExpChanged(value);
            CamOpts.wBQICurExposurePre = value;
            CamOpts.saveCamOptsByName(CamOpts.WBQI_CurExposurePre);
        } else {
            MainCtrl._WBTSPreExpChanged(value, true);
            CamOpts.wBTSCurExposurePre = value;
            CamOpts.saveCamOptsByName(CamOpts.WBTS_CurExposurePre);
        }
    }
    function reset() {
        if (kestrix) {
            CamOpts.loadDefWBQICamOpts();
            gainIndex = CamOpts.wBQIDefGainIndex;
            var i = binnings.indexOf(CamOpts.wBQIDefBinning);
            chooseBinning(i < 0 ? 0 : i);
        } else {
            CamOpts.loadDefWBTSCamOpts();
            gainIndex = CamOpts.wBTSDefGainIndex;
            loading = true;
            gainBox.value = CamOpts.wBTSDefGain;
            loading = false;
            chooseBinning(CamOpts.wBTSDefBinning);
        }
    }

    // ---- automatic exposure (Tucsen) ----
    property var aeHistory: []
    property int aePolls: 0
    // Automatic exposure was asked for and has not settled.
    property bool aeRunning: false
    function startAutoExposure() {
        if (kestrix)
            return;
        aeRunning = true;
        MainCtrl._WBTSAtExposure(1);
        aeDialog.text = qsTr("Auto Exposuring...");
        aeDialog.open();
    }
    function onAEFinished() {
        // The answer to switching it off, or to another page's request.
        if (!aeRunning)
            return;
        aeHistory = [];
        aePolls = 0;
        aeTimer.interval = 1000;
        aeTimer.restart();
    }
    function stopAutoExposure() {
        aeRunning = false;
        aeTimer.stop();
        aeHistory = [];
        aePolls = 0;
        aeTimer.interval = 1000;
        aeDialog.close();
    }
    function aePoll() {
        var exposure = MainCtrl._WBTSGetExposure();
        var gain = MainCtrl._WBTSGetGain();
        showExposure(exposure);
        if (!fl9bw) {
            loading = true;
            gainBox.value = gain;
            loading = false;
        }
        ++aePolls;
        // Settled at the latest on the 21st reading.
        var settled = Gel.aeSettled(aeHistory, exposure, gain, aePolls - 1, fl9bw, framesSeen);
        aeHistory = aeHistory.concat([{ exposure: exposure, gain: gain, frame: framesSeen }]);
        aeTimer.interval = 500;
        if (!settled) {
            if (fl9bw)
                MainCtrl._WBTSPreExpChanged(exposure, false);
            else
                MainCtrl._WBTSPreExpAndGainChanged(exposure, gain);
            return;
        }
        CamOpts.wBTSCurExposurePre = Gel.round3(exposure);
        CamOpts.saveCamOptsByName(CamOpts.WBTS_CurExposurePre);
        if (!fl9bw) {
            CamOpts.wBTSCurGain = gain;
            CamOpts.saveCamOptsByName(CamOpts.WBTS_CurGain);
        }
        stopAutoExposure();
        var warning = Gel.aeWarning(exposure, gain, fl9bw);
        if (warning === "upper")
            warned(qsTr("Auto exposure time reaches the upper limit. Please increase exposure time or adjust gain!"));
        else if (warning === "lower")
            warned(qsTr("Auto exposure time is too short. Please reduce gain or adjust to high resolution!"));
    }
    Timer { id: aeTimer; interval: 1000; repeat: true; onTriggered: bar.aePoll() }
    LoadingDialog {
        id: aeDialog
        objectName: "aeDialog"
        parent: bar.overlayItem
        onDialogClosedSignal: { MainCtrl._WBTSAtExposure(0); bar.stopAutoExposure() }
    }
    // Camera frames seen: two exposure readings agree only with a new frame between them.
    property int framesSeen: 0
    Connections {
        target: MainCtrl
        function onImageChanged() { ++bar.framesSeen }
    }

    // ---- autofocus (Tucsen) ----
    property bool afCancelled: false
    function startAutoFocus() {
        // The search writes the position it found; -1 tells that it found none.
        CamOpts.autoFocusPosition = -1;
        afCancelled = false;
        MainCtrl._WBTSSpacecomAtFocus();
        afDialog.text = qsTr("Auto Focusing...");
        afDialog.open();
        audited("镜头设置: 点击自动聚焦", "Lens setting: Autofocus Clicked");
    }
    function onAFFinished() {
        if (!afDialog.opened)
            return;
        afDialog.close();
        if (CamOpts.autoFocusPosition !== -1)
            return;
        CamOpts.loadCamOptsByName(CamOpts.AutoFocusPosition);
        if (!afCancelled)
            warned(qsTr("Auto focus failed: no sharp position was found."));
    }
    // The board reports where the lens stands: the slider and curFocusWB follow it.
    function lensReported() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusValue);
        lensValue = UserOpts.curFocusValue;
        UserOpts.curFocusWB = UserOpts.curFocusValue;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusWB);
    }
    LoadingDialog {
        id: afDialog
        objectName: "afDialog"
        parent: bar.overlayItem
        onDialogClosedSignal: { bar.afCancelled = true; MainCtrl.stopAutoFocus() }
    }

    // ---- binning ----
    Row {
        spacing: Style.s(6)
        Text { anchors.verticalCenter: parent.verticalCenter; text: qsTr("Binning"); font.family: Style.fontFamily; font.pixelSize: Style.fontNormal; color: Style.textDark }
        NormalButton {
            objectName: "wideButton"
            implicitWidth: Style.s(40)
            text: bar.wide ? "<" : ">"
            onClicked: bar.wide = !bar.wide
        }
        NormalButton { objectName: "resetCameraButton"; text: qsTr("Reset"); onClicked: bar.reset() }
    }
    Flow {
        width: bar.width
        spacing: Style.s(4)
        Repeater {
            model: bar.binnings.length
            BinningButton {
                objectName: "binning_" + index
                visible: bar.wide || index < 3
                width: Math.max(Style.s(60), contentItem.implicitWidth + Style.s(16))
                autoExclusive: false
                checked: bar.isChecked(index)
                text: bar.label(index)
                onClicked: { checked = Qt.binding(function() { return bar.isChecked(index) }); bar.chooseBinning(index) }
            }
        }
    }
    // ---- gain ----
    Row {
        spacing: Style.s(4)
        Text { anchors.verticalCenter: parent.verticalCenter; width: Style.s(60); text: qsTr("Gain"); font.family: Style.fontFamily; font.pixelSize: Style.fontNormal; color: Style.textDark }
        Repeater {
            model: bar.kestrix ? bar.qiGains : bar.fl9bw ? bar.tsGainLevels : []
            BinningButton {
                objectName: "gain_" + index
                autoExclusive: false
                width: Math.max(Style.s(60), contentItem.implicitWidth + Style.s(16))
                readonly property int level: bar.kestrix ? index + 1 : index
                checked: bar.gainIndex === level
                text: modelData
                onClicked: { checked = Qt.binding(function() { return bar.gainIndex === level }); bar.chooseGain(level) }
            }
        }
        MySpinBox {
            id: gainBox
            objectName: "gainBox"
            visible: !bar.kestrix && !bar.fl9bw
            from: 1
            to: 255
            onValueModified: bar.gainValueChosen(value)
        }
    }
    // ---- preview exposure ----
    Row {
        spacing: Style.s(6)
        Text { anchors.verticalCenter: parent.verticalCenter; width: Style.s(90); text: qsTr("Exposure: "); font.family: Style.fontFamily; font.pixelSize: Style.fontNormal; color: Style.textDark }
        MySpinBox {
            id: exposureBox
            objectName: "exposureBox"
            // The Tucsen cameras take real exposures (automatic exposure finds them to 0.001 ms).
            decimals: bar.kestrix ? 0 : 3
            from: 0
            to: (bar.kestrix ? 2000 : 7000) * factor
            onValueModified: bar.exposureChosen(realValue)
        }
        Text { anchors.verticalCenter: parent.verticalCenter; text: "ms"; font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textGrey }
        NormalButton {
            objectName: "aeButton"
            visible: !bar.kestrix
            text: qsTr("AE")
            onClicked: { bar.startAutoExposure(); bar.audited("点击自动曝光", "Click automatic exposure") }
        }
    }
    MySlider {
        objectName: "exposureSlider"
        width: bar.width
        from: 0
        to: exposureBox.to / exposureBox.factor
        value: exposureBox.realValue
        mColor: Style.blue
        onMoved: { exposureBox.setRealValue(Math.round(value)); bar.exposureChosen(Math.round(value)) }
    }
    // ---- lens (Tucsen) ----
    Row {
        objectName: "lensRow"
        visible: !bar.kestrix && MainCtrl.hasMotorLens
        spacing: Style.s(4)
        Text { anchors.verticalCenter: parent.verticalCenter; width: Style.s(60); text: qsTr("Focus"); font.family: Style.fontFamily; font.pixelSize: Style.fontNormal; color: Style.textDark }
        MySlider {
            id: lensSlider
            objectName: "lensSlider"
            width: bar.width - Style.s(60) - afButton.width - 2 * parent.spacing
            from: 1000
            to: 3500
            mColor: Style.blue
            onPressedChanged: if (!pressed) MainCtrl.lensCtrl(Math.round(value))
        }
        NormalBlueButton {
            id: afButton
            objectName: "afButton"
            text: qsTr("AF")
            onClicked: bar.startAutoFocus()
        }
    }
    // ---- light, colour marker, more ----
    Flow {
        width: bar.width
        spacing: Style.s(6)
        BlueRectButton {
            objectName: "lightOpenButton"
            checkable: true
            checked: bar.lighton
            text: qsTr("Open")
            onClicked: bar.lightClicked(true)
        }
        BlueRectButton {
            objectName: "lightCloseButton"
            checkable: true
            checked: !bar.lighton
            text: qsTr("Close")
            onClicked: bar.lightClicked(false)
        }
        RectCheckBox {
            id: colorBox
            objectName: "colorMarkerBox"
            width: implicitWidth + Style.s(10)
            visible: !bar.kestrix && UserOpts.colorMarkerVisible
            text: qsTr("Color Marker")
            ToolTip.visible: hovered
            ToolTip.text: qsTr("Color marker shooting requires an additional 20s.")
            onClicked: {
                UserOpts.colorMarker = checked;
                UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarker);
                bar.audited("彩色Marker: " + (checked ? "勾选" : "取消勾选"), "Color Marker: " + (checked ? "Check" : "Uncheck"));
            }
        }
        NormalButton { objectName: "moreSettingButton"; text: qsTr("More Setting"); onClicked: bar.openMoreSetting() }
    }
    Component { id: moreComponent; WBMoreSettingDialog {} }
    function openMoreSetting() {
        var dialog = moreComponent.createObject(overlayItem);
        dialog.closed.connect(function() { dialog.destroy() });
        dialog.open();
        return dialog;
    }
}
