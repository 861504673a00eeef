import QtQuick 2.15
import "."

// The face of a page whose functions come with a later version.
Rectangle {
    id: page
    property string title: ""
    color: Style.windowColor
    Column {
        anchors.centerIn: parent
        spacing: Style.s(12)
        width: Math.min(parent.width - Style.s(40), Style.s(600))
        Text {
            width: parent.width
            text: page.title
            font.family: Style.fontFamily
            font.pixelSize: Style.s(26)
            color: Style.textDark
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
        }
        Text {
            width: parent.width
            text: qsTr("This page is not built yet.")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textGrey
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
        }
    }
}
