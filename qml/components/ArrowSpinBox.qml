import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// Editable spin box with arrows left and right; reports valueModified on Tab, Return or Enter.
SpinBox {
    id: control
    property int mBorderWidth: 0
    property color mBckColor: "#FFFFFF"
    from: 1
    to: 59
    editable: true
    wheelEnabled: true
    implicitWidth: Style.s(110)
    implicitHeight: Style.s(35)
    leftPadding: Style.s(28)
    rightPadding: Style.s(28)
    validator: IntValidator { bottom: Math.min(control.from, control.to); top: Math.max(control.from, control.to) }

    contentItem: TextInput {
        id: input
        z: 2
        text: control.displayText
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: control.enabled ? Style.textDark : Style.textLight
        horizontalAlignment: Qt.AlignHCenter
        verticalAlignment: Qt.AlignVCenter
        readOnly: !control.editable
        validator: control.validator
        inputMethodHints: Qt.ImhDigitsOnly
        selectByMouse: true
        // A value is taken once it lies in the range: "14" typed into 7..60 passes "1" on its way.
        onTextEdited: {
            var typed = parseInt(text, 10);
            if (!isNaN(typed) && typed >= Math.min(control.from, control.to) && typed <= Math.max(control.from, control.to))
                control.value = typed;
        }
        Keys.onReturnPressed: { MainCtrl.showScreenKeyboard(false); control.valueModified(); }
        Keys.onEnterPressed: { MainCtrl.showScreenKeyboard(false); control.valueModified(); }
        Keys.onTabPressed: { control.valueModified(); event.accepted = false; }
        TapHandler {
            onTapped: {
                input.forceActiveFocus();
                MainCtrl.showScreenKeyboard(true);
            }
        }
    }
    down.indicator: Image {
        x: Style.s(4)
        anchors.verticalCenter: parent.verticalCenter
        width: Style.s(20)
        height: Style.s(20)
        source: control.down.pressed ? "qrc:/Image/spinbox_left_pressed.png"
              : control.down.hovered ? "qrc:/Image/spinbox_left_hovered.png" : "qrc:/Image/spinbox_left_normal.png"
    }
    up.indicator: Image {
        x: control.width - width - Style.s(4)
        anchors.verticalCenter: parent.verticalCenter
        width: Style.s(20)
        height: Style.s(20)
        source: control.up.pressed ? "qrc:/Image/spinbox_right_pressed.png"
              : control.up.hovered ? "qrc:/Image/spinbox_right_hovered.png" : "qrc:/Image/spinbox_right_normal.png"
    }
    background: Rectangle {
        color: control.enabled ? control.mBckColor : Style.disabledFill
        border.width: control.mBorderWidth
        border.color: Style.border
        radius: 4
    }
}
