import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// Spin box with "-" and "+" buttons; at most 5 typed characters; reports valueModified on every
// edit.
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
    validator: IntValidator { bottom: Math.min(control.from, control.to); top: Math.max(control.from, control.to) }

    contentItem: TextInput {
        id: input
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
            var typed = parseInt(text, 10);
            if (!isNaN(typed))
                control.value = typed;
            control.valueModified();
        }
        Keys.onReturnPressed: MainCtrl.showScreenKeyboard(false)
        Keys.onEnterPressed: MainCtrl.showScreenKeyboard(false)
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
