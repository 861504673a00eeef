import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// "Yes"/"No" style button: blue text and frame when checked (or pressed, when not checkable).
Button {
    id: control
    readonly property bool marked: checkable ? checked : pressed
    implicitWidth: Style.s(70)
    implicitHeight: Style.s(35)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        font.weight: control.marked ? Font.Medium : Font.Normal
        color: control.marked ? Style.markBlue : (control.enabled ? Style.textGrey : Style.textLight)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        color: control.enabled ? Style.white : Style.disabledFill
        border.width: control.marked ? 2 : 0
        border.color: Style.markBlue
        radius: 2
    }
}
