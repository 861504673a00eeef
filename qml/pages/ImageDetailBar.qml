import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/Library.js" as Lib

// Below the detail picture: its folder and name, the position in the folder with previous and
// next, and the zoom buttons (held, they repeat every 300 ms).
Item {
    id: bar
    property var view: null
    height: Style.s(78)

    component Info: Text {
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        color: Style.textDark
        elide: Text.ElideMiddle
        // Folder and file names as they are, never as markup.
        textFormat: Text.PlainText
    }
    component ZoomButton: NormalBlueRectButton {
        id: zoom
        property var zoomStep: function() {}
        width: Style.s(48)
        implicitHeight: Style.s(34)
        onPressed: { zoomStep(); repeat.start() }
        onReleased: repeat.stop()
        onCanceled: repeat.stop()
        Timer { id: repeat; interval: 300; repeat: true; onTriggered: zoom.zoomStep() }
    }

    Column {
        width: parent.width * 0.45
        spacing: Style.s(6)
        Info { objectName: "pathText"; width: parent.width; text: qsTr("Path: ") + bar.view.folder }
        Info { objectName: "nameText"; width: parent.width; text: qsTr("Name: ") + bar.view.fileName }
    }
    Row {
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        spacing: Style.s(6)
        NormalBlueRectButton {
            objectName: "previousButton"
            width: Style.s(48)
            implicitHeight: Style.s(34)
            text: "<"
            enabled: bar.view.currentIndex > 0
            onClicked: bar.view.step(-1)
        }
        Text {
            objectName: "counterText"
            anchors.verticalCenter: parent.verticalCenter
            text: Lib.counterText(bar.view.currentIndex, bar.view.fileNames.length)
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
        }
        NormalBlueRectButton {
            objectName: "nextButton"
            width: Style.s(48)
            implicitHeight: Style.s(34)
            text: ">"
            enabled: bar.view.currentIndex < bar.view.fileNames.length - 1
            onClicked: bar.view.step(1)
        }
        Item { width: Style.s(14); height: 1 }
        ZoomButton { objectName: "zoomInButton"; text: "+"; zoomStep: function() { bar.view.zoomIn() } }
        ZoomButton { objectName: "zoomOutButton"; text: "-"; zoomStep: function() { bar.view.zoomOut() } }
        NormalBlueRectButton { objectName: "fitButton"; width: Style.s(60); implicitHeight: Style.s(34); text: qsTr("Fit"); onClicked: bar.view.fit() }
        NormalBlueRectButton { objectName: "originButton"; width: Style.s(60); implicitHeight: Style.s(34); text: "1:1"; onClicked: bar.view.oneToOne() }
    }
}
