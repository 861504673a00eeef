import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Outlined blue button: frame and text in blue.
Button {
    id: control
    readonly property color tone: !enabled ? Style.blueDisabled : (pressed ? Style.bluePressed : Style.blue)
    implicitWidth: Math.max(Style.s(100), contentItem.implicitWidth + Style.s(24))
    implicitHeight: Style.s(38)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: control.tone
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 4
        color: "transparent"
        border.width: 2
        border.color: control.tone
    }
}
