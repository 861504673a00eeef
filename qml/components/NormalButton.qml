import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Plain button: blue fill when checked (or pressed), white otherwise.
Button {
    id: control
    readonly property bool marked: checkable ? checked : pressed
    implicitWidth: Math.max(Style.s(80), contentItem.implicitWidth + Style.s(20))
    implicitHeight: Style.s(35)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: control.marked ? Style.white : Style.textLight
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 4
        color: control.marked ? Style.bluePressed : Style.white
    }
}
