import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.CamOpts 1.0
import "../components"

// Camera settings of a capture page's preview: automatic exposure, exposure, gain and binning.
// The gel page and the multi-fluorescence page (multMode) keep their own camera options;
// the multi-fluorescence page sets its exposure in its own minute/second/millisecond boxes.
Column {
    id: bar
    required property bool multMode
    required property bool fl9bw
    // A new binning is about to be set (the picture changes its size).
    signal binningChanging(int index)
    signal auditRequested(string chinese, string english)
    // The multi-fluorescence preview exposure a binning brought.
    signal previewExposureShown(real exposure)
    signal autoExposureRequested(bool on)
    // CamOpts property and index names of the page's mode.
    readonly property string optPrefix: multMode ? "multTS" : "gelTS"
    readonly property string indexPrefix: multMode ? "MultTS_" : "GelTS_"
    function camOpt(name) { return CamOpts[optPrefix + name] }
    function setCamOpt(name, value) {
        CamOpts[optPrefix + name] = value;
        CamOpts.saveCamOptsByName(CamOpts[indexPrefix + name]);
    }
    // The bar is opened by "Camera Setting".
    property bool shown: false
    property bool showMoreResolution: false
    property bool loading: true
    readonly property var binnings: fl9bw ? ["1*1", "2*2", "3*3", "4*4", "6*6", "8*8"]
                                          : ["1*1", "2*2", "4*4", "6*6", "8*8", "12*12", "16*16", "24*24"]
    // Binnings behind the more button.
    readonly property var moreBinnings: fl9bw ? [2, 4, 5] : [3, 4, 5, 6, 7]
    readonly property var gainLevels: [qsTr("Low"), qsTr("Middle"), qsTr("High"), qsTr("Ultra-high")]
    property int binningIndex: 0
    property alias aeOn: aeButton.checked
    spacing: Style.s(6)

    // The audit trail keeps a Chinese and an English row whatever language is shown: its texts
    // ask for their row's words ("zh", "en"), the buttons for the shown ones.
    readonly property var purposeWords: ({ en: ["High resolution", "Standard", "High sensitivity"],
                                           zh: ["高分辨率", "标准", "高灵敏度"] })
    readonly property var gainWords: ({ en: ["Low", "Middle", "High", "Ultra-high"], zh: ["低", "中", "高", "超高"] })
    function binningLabel(i, language) {
        if (fl9bw || showMoreResolution || i > 2)
            return binnings[i];
        var purpose = language ? purposeWords[language][i]
                               : [qsTr("High resolution"), qsTr("Standard"), qsTr("High sensitivity")][i];
        return purpose + "(" + binnings[i] + ")";
    }
    function binningText(language) { return binningLabel(binningIndex, language) }
    function gainLevelText(language) {
        var level = Math.max(0, Math.min(3, camOpt("CurGainIndex")));
        return language ? gainWords[language][level] : gainLevels[level];
    }
    function load() {
        loading = true;
        if (multMode)
            CamOpts.loadCurMultTSCamOpts();
        else
            CamOpts.loadCurGelTSCamOpts();
        binningIndex = camOpt("CurBinning");
        exposureBox.value = Math.round(camOpt("CurExposurePre"));
        gainBox.value = camOpt("CurGain");
        gainLevel.currentIndex = camOpt("CurGainIndex");
        loading = false;
    }
    function showExposure(exposure, gain) {
        loading = true;
        exposureBox.value = Math.round(exposure);
        if (!fl9bw)
            gainBox.value = gain;
        loading = false;
    }
    function exposureChosen(value) {
        if (loading)
            return;
        MainCtrl._GelTSPreExpChanged(value);
        setCamOpt("CurExposurePre", value);
    }
    function gainChosen(value) {
        if (loading)
            return;
        if (multMode)
            MainCtrl._MultTSGainChanged(value);
        else
            MainCtrl._GelTSGainChanged(value);
        setCamOpt(fl9bw ? "CurGainIndex" : "CurGain", value);
    }
    function chooseGainLevel(i) {
        loading = true;
        gainLevel.currentIndex = i;
        loading = false;
        gainChosen(i);
    }
    function chooseBinning(i) {
        binningChanging(i);
        binningIndex = i;
        // The defaults are in the file from the first run on; memory holds them only once read.
        CamOpts.loadCamOptsByName(multMode ? (fl9bw ? CamOpts.MultTS_DefExposurePre6Para : CamOpts.MultTS_DefExposurePre)
                                           : (fl9bw ? CamOpts.GelTS_DefExposurePre6Para : CamOpts.GelTS_DefExposurePre));
        var defaults = String(camOpt(fl9bw ? "DefExposurePre6Para" : "DefExposurePre")).split(",");
        var exposure = parseFloat(defaults[i]);
        if (isNaN(exposure))
            exposure = multMode ? camOpt("CurExposurePre") : exposureBox.value;
        var gain = fl9bw ? gainLevel.currentIndex : gainBox.value;
        CamOpts[optPrefix + "CurBinning"] = i;
        CamOpts[optPrefix + "CurExposurePre"] = exposure;
        if (multMode) {
            MainCtrl._MultTSBinChanged(i, exposure, gain);
            CamOpts.saveCurMultTSCamOpts();
            auditRequested("像素合并: " + binningLabel(i, "zh"), "Binning" + binningLabel(i, "en"));
            previewExposureShown(exposure);
        } else {
            MainCtrl._GelTSBinChanged(i, exposure, gain);
            CamOpts.saveCurGelTSCamOpts();
        }
        showExposure(exposure, gain);
        autoExposureRequested(true);
    }
    function reset() {
        if (multMode)
            CamOpts.loadDefMultTSCamOpts();
        else
            CamOpts.loadDefGelTSCamOpts();
        loading = true;
        gainBox.value = camOpt("DefGain");
        gainLevel.currentIndex = camOpt("DefGainIndex");
        loading = false;
        chooseBinning(camOpt("DefBinning"));
        auditRequested("重置相机设置", "Reset camera settings");
    }

    Component.onCompleted: load()
    // Each showing starts from the stored values (another page or a pop-up may have changed them).
    onShownChanged: if (shown) load()

    Row {
        spacing: Style.s(6)
        NormalButton {
            objectName: "cameraSettingButton"
            checkable: true
            checked: bar.shown
            text: qsTr("Camera Setting")
            onClicked: bar.shown = checked
        }
        NormalButton {
            id: aeButton
            objectName: "aeButton"
            checkable: true
            text: qsTr("AE")
            onClicked: bar.autoExposureRequested(checked)
            onReleased: bar.auditRequested("点击自动曝光", "Click automatic exposure")
        }
        NormalButton {
            objectName: "resetCameraButton"
            visible: bar.shown
            text: qsTr("Reset")
            onClicked: bar.reset()
        }
    }
    Row {
        visible: bar.shown && !bar.multMode
        spacing: Style.s(6)
        Text { anchors.verticalCenter: parent.verticalCenter; width: Style.s(70); text: qsTr("Exposure"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        MySpinBox {
            id: exposureBox
            objectName: "exposureBox"
            enabled: !aeButton.checked
            from: 0
            to: 7000
            onValueModified: bar.exposureChosen(value)
        }
        Text { anchors.verticalCenter: parent.verticalCenter; text: "ms"; font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textGrey }
    }
    MySlider {
        visible: bar.shown && !bar.multMode
        width: bar.width
        enabled: !aeButton.checked
        from: 0
        to: 7000
        value: exposureBox.value
        mColor: Style.blue
        onMoved: { exposureBox.value = Math.round(value); bar.exposureChosen(Math.round(value)) }
    }
    Row {
        visible: bar.shown
        spacing: Style.s(6)
        Text { anchors.verticalCenter: parent.verticalCenter; width: Style.s(70); text: qsTr("Gain"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        MySpinBox {
            id: gainBox
            objectName: "gainBox"
            visible: !bar.fl9bw
            from: 1
            to: 255
            onValueModified: bar.gainChosen(value)
        }
        ComboBox {
            id: gainLevel
            objectName: "gainLevel"
            visible: bar.fl9bw
            model: bar.gainLevels
            onActivated: bar.gainChosen(index)
        }
    }
    Flow {
        visible: bar.shown
        width: bar.width
        spacing: Style.s(4)
        Repeater {
            model: bar.binnings.length
            BinningButton {
                objectName: "binning_" + index
                visible: bar.moreBinnings.indexOf(index) < 0 || bar.showMoreResolution
                width: Math.max(Style.s(60), contentItem.implicitWidth + Style.s(16))
                autoExclusive: false
                checked: bar.binningIndex === index
                text: bar.binningLabel(index)
                onClicked: { checked = Qt.binding(function() { return bar.binningIndex === index }); bar.chooseBinning(index) }
            }
        }
        NormalButton {
            objectName: "moreBinningButton"
            checkable: true
            text: qsTr("More")
            onClicked: bar.showMoreResolution = checked
        }
    }
}
