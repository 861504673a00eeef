import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"

// Strength of the blue light, 0 to 100 %: each new value is saved and sent out (openBlueLight).
// Closes only when its opener closes it.
Dialog {
    id: dialog
    objectName: "adaptBlueDialog"
    property real mOffset: 0
    property real leftOffset: width / 2
    signal openBlueLight(int value)

    // Host coordinates of the button that opened the pop-up: it hangs under that button.
    function setCoordi(mx, my, midX, mHeight) {
        x = mx - width;
        y = my + mHeight;
        mOffset = mHeight;
        leftOffset = midX - x;
    }
    // A value the operator chose (slider release or a step button).
    function apply(value) {
        if (loading || value === applied)
            return;
        applied = value;
        UserOpts.bluePercent = value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_BluePercent);
        openBlueLight(value);
        slider.enabled = false;
        sliderPause.restart();
    }
    function step(delta) {
        var value = Math.max(0, Math.min(100, Math.round(slider.value) + delta));
        minusButton.enabled = false;
        plusButton.enabled = false;
        buttonPause.restart();
        slider.value = value;
        UserOpts.bluePercent = value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_BluePercent);
        apply(value);
    }

    property bool loading: true
    property int applied: -1

    width: (Style.ratio === 1 ? 285 : 285 * 1.4)
    height: 65 * Style.ratio + 10
    padding: 0
    topPadding: 10
    modal: false
    dim: false
    closePolicy: Popup.NoAutoClose
    header: null
    footer: null
    background: PopupArrowFrame { arrowX: dialog.leftOffset }

    Component.onCompleted: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_BluePercent);
        slider.value = Math.max(0, Math.min(100, UserOpts.bluePercent));
        applied = Math.round(slider.value);
        loading = false;
    }

    Timer { id: sliderPause; interval: 200; onTriggered: slider.enabled = true }
    Timer { id: buttonPause; interval: 200; onTriggered: { minusButton.enabled = true; plusButton.enabled = true } }

    contentItem: Row {
        spacing: Style.s(6)
        leftPadding: Style.s(8)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Blue")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textDark
        }
        RoundButton {
            id: minusButton
            objectName: "blueMinusButton"
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(26); height: width
            text: "-"
            onClicked: dialog.step(-10)
        }
        MySlider {
            id: slider
            objectName: "blueSlider"
            anchors.verticalCenter: parent.verticalCenter
            width: dialog.width - Style.s(170)
            from: 0
            to: 100
            mColor: Style.blue
            live: true
            onPressedChanged: if (!pressed) dialog.apply(Math.round(value))
        }
        RoundButton {
            id: plusButton
            objectName: "bluePlusButton"
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(26); height: width
            text: "+"
            onClicked: dialog.step(10)
        }
        Text {
            objectName: "blueValueText"
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(36)
            text: Math.round(slider.value) + "%"
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textDark
        }
    }
}
