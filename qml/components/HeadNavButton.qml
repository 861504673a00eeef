import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Navigation button of the head bar.
Button {
    id: control
    checkable: true
    implicitWidth: Style.s(130)
    implicitHeight: Style.s(44)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: control.checked ? Style.s(27) : Style.s(22)
        font.weight: control.checked ? Font.Medium : Font.Normal
        color: !control.enabled ? Style.headTextDisabled : (control.checked ? Style.white : Style.headText)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Style.s(14)
    }
    background: Rectangle {
        radius: Style.s(22)
        color: control.checked ? Style.headChecked : Style.headColor
    }
}
