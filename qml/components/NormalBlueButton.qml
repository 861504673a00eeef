import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Filled blue action button.
Button {
    id: control
    implicitWidth: Math.max(Style.s(100), contentItem.implicitWidth + Style.s(24))
    implicitHeight: Style.s(38)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.white
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 4
        color: !control.enabled ? Style.blueDisabled : (control.pressed ? Style.bluePressed : Style.blue)
    }
}
