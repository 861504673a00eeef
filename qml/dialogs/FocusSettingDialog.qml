import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"

// Focus of the SMBus lens: automatic ("AF") or a lens position chosen on a slider. Each new
// position is saved and handed to the host, which moves the lens.
Dialog {
    id: dialog
    objectName: "focusSettingDialog"
    property real mOffset: 0
    property real leftOffset: width / 2
    property bool isAuto: true
    signal sig_AutoFocus()
    signal sig_FocusMove(int focusValue)

    function setCoordi(mx, my, midX, mHeight, auto) {
        x = mx - width;
        y = my + mHeight;
        mOffset = mHeight;
        leftOffset = midX - x;
        setAuto(auto === undefined ? isAuto : auto, false);
    }
    // A lens position reported while an autofocus runs.
    function setFocusText(mValue) { focusText.text = String(mValue) }

    // The operator's switch to manual reloads the settings; the host's choice only shows the mode.
    function setAuto(auto, byOperator) {
        if (byOperator && !auto && isAuto) {
            // The full range of the lens in manual mode.
            loading = true;
            UserOpts.loadFocusOpts();
            slider.from = UserOpts.focusMin;
            slider.to = UserOpts.focusMax;
            slider.value = UserOpts.focusCurrentAddr;
            applied = Math.round(slider.value);
            loading = false;
        }
        isAuto = auto;
        autoButton.checked = auto;
        manualButton.checked = !auto;
        focusText.text = String(Math.round(slider.value));
    }
    function apply(value) {
        focusText.text = String(value);
        if (loading || value === applied)
            return;
        applied = value;
        UserOpts.focusCurrentAddr = value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_FocusCurrentAddr);
        sig_FocusMove(value);
    }
    function step(delta) {
        var value = Math.max(slider.from, Math.min(slider.to, Math.round(slider.value) + delta));
        slider.value = value;
        UserOpts.focusCurrentAddr = value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_FocusCurrentAddr);
        apply(value);
    }

    property bool loading: true
    property int applied: -1

    width: 285 * Style.ratio
    height: 172 * Style.ratio
    padding: 0
    topPadding: 10
    modal: false
    dim: false
    header: null
    footer: null
    background: PopupArrowFrame { arrowX: dialog.leftOffset }

    Component.onCompleted: {
        UserOpts.loadFocusOpts();
        slider.from = UserOpts.focusMin + 200;
        slider.to = UserOpts.focusMax - 200;
        slider.value = UserOpts.focusCurrentAddr;
        applied = Math.round(slider.value);
        focusText.text = String(applied);
        loading = false;
    }

    contentItem: Column {
        spacing: Style.s(10)
        topPadding: Style.s(10)
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
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Style.s(6)
            Text {
                text: qsTr("Focus:")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textDark
            }
            Text {
                id: focusText
                objectName: "focusText"
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textDark
            }
        }
        NormalBlueButton {
            objectName: "afButton"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: dialog.isAuto
            width: Style.s(120)
            text: qsTr("AF")
            onClicked: dialog.sig_AutoFocus()
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            visible: !dialog.isAuto
            spacing: Style.s(4)
            RoundButton {
                objectName: "focusMinusButton"
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(26); height: width
                text: "-"
                onClicked: dialog.step(-80)
            }
            MySlider {
                id: slider
                objectName: "focusSlider"
                anchors.verticalCenter: parent.verticalCenter
                width: dialog.width - Style.s(90)
                mColor: Style.blue
                onPressedChanged: if (!pressed) dialog.apply(Math.round(value))
                onValueChanged: if (pressed) focusText.text = String(Math.round(value))
            }
            RoundButton {
                objectName: "focusPlusButton"
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(26); height: width
                text: "+"
                onClicked: dialog.step(80)
            }
        }
    }
}
