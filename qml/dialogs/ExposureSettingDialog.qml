import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"

// Exposure of the single-gel cabinet: automatic ("AE") or binning mode, exposure and gain by
// hand. Only the single-gel configuration drives the camera from here; the gain acts on every
// configuration.
Dialog {
    id: dialog
    objectName: "exposureSettingDialog"
    property real mOffset: 0
    property real leftOffset: width / 2
    property bool isAuto: true
    signal sig_AutoExposure()
    signal sig_ShowCameraSettingDialog()

    readonly property bool singleGel: MainCtrl.isSingleGel

    function setCoordi(mx, my, midX, mHeight, auto) {
        x = mx - width;
        y = my + mHeight;
        mOffset = mHeight;
        leftOffset = midX - x;
        setAuto(auto === undefined ? isAuto : auto, false);
    }
    // The operator's switch to manual reloads the settings; the host's choice only shows the mode.
    function setAuto(auto, byOperator) {
        if (byOperator && !auto && isAuto && singleGel) {
            loading = true;
            CamOpts.loadCamOptsByName(CamOpts.GelTS_CurExposurePre);
            CamOpts.loadCamOptsByName(CamOpts.GelTS_CurGain);
            exposureBox.value = Math.round(CamOpts.gelTSCurExposurePre);
            gainBox.value = CamOpts.gelTSCurGain;
            loading = false;
        }
        isAuto = auto;
        autoButton.checked = auto;
        manualButton.checked = !auto;
    }
    // Binning mode i: 0 full resolution, 1 summed 2 x 2.
    function chooseMode(i) {
        if (!singleGel)
            return;
        hiResButton.checked = i === 0;
        standardButton.checked = i === 1;
        CamOpts.loadCamOptsByName(CamOpts.GelTS_DefExposurePre);
        var parts = String(CamOpts.gelTSDefExposurePre).split(",");
        var exposure = parseFloat(parts[i]);
        if (isNaN(exposure))
            exposure = exposureBox.value;
        loading = true;
        exposureBox.value = Math.round(exposure);
        loading = false;
        var gain = gainBox.value;
        var binning = i === 0 ? 0 : MainCtrl.sum2BinIndex;
        MainCtrl._GelTSBinChanged(binning, exposure, gain);
        CamOpts.gelTSCurBinning = binning;
        CamOpts.gelTSCurExposurePre = exposure;
        CamOpts.gelTSCurGain = gain;
        CamOpts.saveCurGelTSCamOpts();
        sig_ShowCameraSettingDialog();
    }
    function exposureChosen(value) {
        if (loading || !singleGel)
            return;
        MainCtrl._GelTSPreExpChanged(value);
        CamOpts.gelTSCurExposurePre = value;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
    }
    function gainChosen(value) {
        if (loading)
            return;
        MainCtrl._GelTSGainChanged(value);
        CamOpts.gelTSCurGain = value;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurGain);
    }
    function reset() {
        if (!singleGel)
            return;
        CamOpts.loadDefGelTSCamOpts();
        var mode = CamOpts.gelTSDefBinning;
        loading = true;
        gainBox.value = CamOpts.gelTSDefGain;
        loading = false;
        // A stored default other than the two modes selects none and changes nothing.
        if (mode === 0 || mode === 1)
            chooseMode(mode);
        else {
            hiResButton.checked = false;
            standardButton.checked = false;
        }
    }

    property bool loading: true

    width: 387 * Style.ratio
    height: 270 * Style.ratio
    padding: 0
    topPadding: 10
    modal: false
    dim: false
    header: null
    footer: null
    background: PopupArrowFrame { arrowX: dialog.leftOffset }

    Component.onCompleted: {
        CamOpts.loadCamOptsByName(CamOpts.GelTS_CurBinning);
        CamOpts.loadCamOptsByName(CamOpts.GelTS_CurExposurePre);
        CamOpts.loadCamOptsByName(CamOpts.GelTS_CurGain);
        standardButton.checked = CamOpts.gelTSCurBinning === MainCtrl.sum2BinIndex;
        hiResButton.checked = !standardButton.checked;
        exposureBox.value = Math.round(CamOpts.gelTSCurExposurePre);
        gainBox.value = CamOpts.gelTSCurGain;
        loading = false;
    }

    component RowLabel: Text {
        width: Style.s(80)
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.textDark
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
    }

    contentItem: Column {
        spacing: Style.s(10)
        topPadding: Style.s(12)
        leftPadding: Style.s(14)
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            NormalButton {
                id: autoButton
                objectName: "autoButton"
                checkable: true
                checked: true
                text: qsTr("Auto")
                onClicked: dialog.setAuto(true, true)
            }
            NormalButton {
                id: manualButton
                objectName: "manualButton"
                checkable: true
                text: qsTr("Manual")
                onClicked: dialog.setAuto(false, true)
            }
        }
        NormalBlueButton {
            objectName: "aeButton"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: dialog.isAuto
            width: Style.s(120)
            text: qsTr("AE")
            onClicked: dialog.sig_AutoExposure()
        }
        Row {
            visible: !dialog.isAuto
            spacing: Style.s(6)
            RowLabel { text: qsTr("Mode") }
            BinningButton {
                id: hiResButton
                objectName: "hiResButton"
                width: Style.s(130)
                autoExclusive: false
                text: qsTr("Hi res") + "(1x1)"
                onClicked: dialog.chooseMode(0)
            }
            BinningButton {
                id: standardButton
                objectName: "standardButton"
                width: Style.s(130)
                autoExclusive: false
                text: qsTr("Standard") + "(2x2)"
                onClicked: dialog.chooseMode(1)
            }
        }
        Row {
            visible: !dialog.isAuto
            spacing: Style.s(6)
            RowLabel { text: qsTr("Exposure") }
            MySpinBox {
                id: exposureBox
                objectName: "exposureBox"
                from: 1
                to: 7000
                onValueModified: {
                    exposureSlider.value = value;
                    dialog.exposureChosen(value);
                }
                onValueChanged: exposureSlider.value = value
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Ms")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textGrey
            }
        }
        MySlider {
            id: exposureSlider
            objectName: "exposureSlider"
            visible: !dialog.isAuto
            width: dialog.width - Style.s(28)
            from: 1
            to: 7000
            mColor: Style.blue
            onMoved: {
                exposureBox.value = Math.round(value);
                dialog.exposureChosen(Math.round(value));
            }
        }
        Row {
            visible: !dialog.isAuto
            spacing: Style.s(6)
            RowLabel { text: qsTr("Gain") }
            MySpinBox {
                id: gainBox
                objectName: "gainBox"
                from: 1
                to: 255
                onValueModified: dialog.gainChosen(value)
                onValueChanged: gainSlider.value = value
            }
            NormalBlueRectButton {
                objectName: "resetButton"
                anchors.verticalCenter: parent.verticalCenter
                implicitHeight: Style.s(30)
                text: qsTr("Reset")
                onClicked: dialog.reset()
            }
        }
        MySlider {
            id: gainSlider
            objectName: "gainSlider"
            visible: !dialog.isAuto
            width: dialog.width - Style.s(28)
            from: 1
            to: 255
            mColor: Style.blue
            onMoved: {
                gainBox.value = Math.round(value);
                dialog.gainChosen(Math.round(value));
            }
        }
    }
}
