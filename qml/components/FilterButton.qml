import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Checkable filter choice: picture over caption.
Button {
    id: control
    property string mText: ""
    property url imgSource: "qrc:/Image/filter_normal.png"
    property url disabledSource: "qrc:/Image/filter_disable.png"
    checkable: true
    implicitWidth: Style.ratio !== 1 ? Style.s(90) : 80
    implicitHeight: Style.s(50)
    padding: 0
    contentItem: Column {
        spacing: Style.s(2)
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Style.s(24)
            height: Style.s(24)
            source: control.enabled ? control.imgSource : control.disabledSource
        }
        Text {
            width: parent.width
            text: control.mText
            font.family: Style.fontFamily
            font.pixelSize: Style.s(13)
            color: control.enabled ? Style.textDark : Style.textLight
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }
    }
    background: Rectangle {
        radius: 4
        color: control.checked ? Style.filterChecked : "transparent"
    }
}
