import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// Capture-time spin box with arrows up and down; at most mMaximumLength typed characters;
// reports valueModified on every edit.
SpinBox {
    id: control
    property int mMaximumLength: 2
    from: 1
    to: 59
    editable: true
    implicitWidth: Style.s(67)
    implicitHeight: Style.s(50)
    rightPadding: Style.s(22)
    leftPadding: Style.s(4)
    validator: IntValidator { bottom: Math.min(control.from, control.to); top: Math.max(control.from, control.to) }

    contentItem: TextInput {
        id: input
        z: 2
        text: control.displayText
        maximumLength: control.mMaximumLength
        font.family: Style.fontFamily
        font.pixelSize: Style.fontLarge
        color: control.enabled ? Style.textDark : Style.textLight
        horizontalAlignment: Qt.AlignHCenter
        verticalAlignment: Qt.AlignVCenter
        validator: control.validator
        inputMethodHints: Qt.ImhDigitsOnly
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
    up.indicator: Image {
        x: control.width - width - Style.s(2)
        y: control.height / 2 - height
        width: Style.s(20)
        height: Style.s(20)
        source: control.up.pressed ? "qrc:/Image/spinbox_up_pressed.png"
              : control.up.hovered ? "qrc:/Image/spinbox_up_hovered.png" : "qrc:/Image/spinbox_up_normal.png"
    }
    down.indicator: Image {
        x: control.width - width - Style.s(2)
        y: control.height / 2
        width: Style.s(20)
        height: Style.s(20)
        source: control.down.pressed ? "qrc:/Image/spinbox_down_pressed.png"
              : control.down.hovered ? "qrc:/Image/spinbox_down_hovered.png" : "qrc:/Image/spinbox_down_normal.png"
    }
    background: Rectangle {
        color: control.enabled ? Style.white : Style.disabledFill
        border.color: Style.border
        radius: 4
    }
}
