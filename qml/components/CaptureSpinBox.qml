import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// Capture-time spin box with arrows up and down; at most mMaximumLength typed characters;
// reports valueModified on every edit.
// valueEdited comes once per edited value: per button press, or for typing when it ends
// (Enter or the focus leaving). Values show without a thousands separator.
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
