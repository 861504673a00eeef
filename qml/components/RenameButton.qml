import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Link-like "Edit" button.
Button {
    id: control
    text: qsTr("Edit")
    implicitWidth: Style.s(70)
    implicitHeight: Style.s(20)
    padding: 0
    contentItem: Text {
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        color: !control.enabled ? Style.blueDisabled : (control.pressed ? Style.bluePressed : Style.blue)
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Item {}
}
