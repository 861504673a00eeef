import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Check box with a square indicator.
CheckBox {
    id: control
    spacing: Style.s(6)
    indicator: Image {
        x: control.leftPadding
        anchors.verticalCenter: parent.verticalCenter
        width: Style.s(20)
        height: Style.s(20)
        source: control.checked ? "qrc:/Image/checkbox_checked_rect.png" : "qrc:/Image/checkbox_unchecked_rect.png"
        opacity: control.enabled ? 1 : 0.5
    }
    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.textGrey
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}
