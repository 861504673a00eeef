import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Check box with a round indicator.
CheckBox {
    id: control
    property color mColor: Style.textGrey
    spacing: Style.s(6)
    indicator: Image {
        x: control.leftPadding
        anchors.verticalCenter: parent.verticalCenter
        width: Style.s(20)
        height: Style.s(20)
        source: control.checked ? (control.enabled ? "qrc:/Image/checkbox_checked.png"
                                                   : "qrc:/Image/checkbox_checked_disabled.png")
                                : (control.enabled ? "qrc:/Image/checkbox_unchecked.png"
                                                   : "qrc:/Image/checkbox_unchecked_disabled.png")
    }
    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: control.enabled ? control.mColor : Style.textDisabled
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}
