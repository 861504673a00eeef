import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Pill-shaped checkable binning choice.
Button {
    id: control
    checkable: true
    implicitWidth: Style.s(180)
    implicitHeight: Style.s(28)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        color: control.checked ? Style.binningBlue : Style.textDark
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: height / 2
        color: Style.windowColor
        border.width: control.checked ? 2 : 1
        border.color: control.checked ? Style.binningBlue : Style.textGrey
    }
}
