import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// Spin box with "-" and "+" buttons; at most 5 typed characters; reports valueModified on every
// edit.
// valueEdited comes once per edited value: per button press, or for typing when it ends
// (Enter or the focus leaving). Values show without a thousands separator.
SpinBox {
    id: control
    property color mColor: Style.blue
    property color bckColor: Style.white
    property color pressTextColor: Style.white
    property color normalTextColor: Style.textDark
    property color borderColor: Style.border
    property real mHeight: Style.s(35)
    editable: true
    implicitWidth: Style.s(130)
    implicitHeight: mHeight
    leftPadding: mHeight
    rightPadding: mHeight
    signal valueEdited()
    textFromValue: function(value) { return String(value) }
    valueFromText: function(text) { var v = parseInt(text, 10); return isNaN(v) ? control.value : v }
    onValueModified: if (!input.typing) valueEdited()
    validator: IntValidator { bottom: Math.min(control.from, control.to); top: Math.max(control.from, control.to) }

    contentItem: TextInput {
        id: input
        property bool typing: false
        z: 2
        text: control.displayText
        maximumLength: 5
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: control.enabled ? control.normalTextColor : Style.textLight
        horizontalAlignment: Qt.AlignHCenter
        verticalAlignment: Qt.AlignVCenter
        validator: control.validator
        selectByMouse: true
        onTextEdited: {
            typing = true;
            var typed = parseInt(text, 10);
            if (!isNaN(typed))
                control.value = typed;
            control.valueModified();
        }
        function finishTyping() {
            if (!typing)
                return;
            typing = false;
            control.valueEdited();
        }
        onEditingFinished: finishTyping()
        Keys.onReturnPressed: { MainCtrl.showScreenKeyboard(false); finishTyping() }
        Keys.onEnterPressed: { MainCtrl.showScreenKeyboard(false); finishTyping() }
        TapHandler {
            onTapped: {
                input.forceActiveFocus();
                MainCtrl.showScreenKeyboard(true);
            }
        }
    }
    down.indicator: Rectangle {
        x: 0
        height: control.height
        width: control.mHeight
        color: control.down.pressed ? control.mColor : control.bckColor
        border.color: control.borderColor
        radius: 4
        Text {
            anchors.centerIn: parent
            text: "-"
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: control.down.pressed ? control.pressTextColor : control.normalTextColor
        }
    }
    up.indicator: Rectangle {
        x: control.width - width
        height: control.height
        width: control.mHeight
        color: control.up.pressed ? control.mColor : control.bckColor
        border.color: control.borderColor
        radius: 4
        Text {
            anchors.centerIn: parent
            text: "+"
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: control.up.pressed ? control.pressTextColor : control.normalTextColor
        }
    }
    background: Rectangle {
        color: control.enabled ? control.bckColor : Style.disabledFill
        border.color: control.borderColor
        radius: 4
    }
}
