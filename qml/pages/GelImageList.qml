import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/GelCapture.js" as Gel

// A capture page's list of the images taken, with their operations below it. Shown only while
// it has entries (an empty one takes no room in the panel).
Column {
    id: list
    required property bool multMode
    required property ListModel imageModel
    property alias entries: entries
    signal entrySelected(int index)
    signal renameRequested()
    signal deleteRequested()
    signal generateRequested()
    // colour is "" for the gel page's own staining.
    signal stainRequested(string colour)
    signal mergeRequested()
    visible: imageModel.count > 0
    spacing: Style.s(8)

    ListView {
        id: entries
        objectName: "imageList"
        width: parent.width
        // The fluorescence panel has two more rows above and below: a shorter list keeps
        // its histogram on screen.
        height: list.multMode ? Style.s(128) : Style.s(180)
        clip: true
        model: list.imageModel
        currentIndex: -1
        delegate: Rectangle {
            objectName: "imageEntry_" + index
            width: entries.width
            height: Style.s(54)
            color: ListView.isCurrentItem ? Style.crumbColor : Style.white
            border.color: Style.border
            RectCheckBox {
                objectName: "entryCheck_" + index
                x: Style.s(4)
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(28)
                checked: model.marked
                onClicked: list.imageModel.setProperty(index, "marked", checked)
            }
            Column {
                x: Style.s(36)
                width: parent.width - x - Style.s(6)
                anchors.verticalCenter: parent.verticalCenter
                Text {
                    width: parent.width
                    text: model.title
                    elide: Text.ElideMiddle
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontSmall
                    color: Style.textDark
                }
                Text {
                    objectName: "entryParams_" + index
                    width: parent.width
                    visible: model.bin !== -1
                    text: qsTr("Resolution/Sensitivity: ") + Gel.binningText(model.bin) + "  " + qsTr("Exposure: ")
                          + Gel.exposureText(model.exposure) + "  " + qsTr("Gain: ") + Gel.gainText(model.gain)
                    elide: Text.ElideRight
                    font.family: Style.fontFamily
                    font.pixelSize: Style.s(12)
                    color: Style.textGrey
                }
            }
            MouseArea {
                anchors.fill: parent
                anchors.leftMargin: Style.s(34)
                onClicked: list.entrySelected(index)
                onDoubleClicked: { list.entrySelected(index); list.renameRequested() }
            }
        }
    }
    Row {
        spacing: Style.s(6)
        NormalButton { objectName: "renameButton"; text: qsTr("Rename"); onClicked: list.renameRequested() }
        // Only the multi-fluorescence page offers deletion here; the gel page hides it.
        NormalButton { objectName: "deleteButton"; visible: list.multMode; text: qsTr("Delete"); onClicked: list.deleteRequested() }
        NormalButton { objectName: "genButton"; text: qsTr("Gen"); onClicked: list.generateRequested() }
        NormalButton { objectName: "stainButton"; visible: !list.multMode; text: qsTr("Stain"); onClicked: list.stainRequested("") }
    }
    Row {
        spacing: Style.s(6)
        visible: list.multMode
        NormalButton { objectName: "stainRedButton"; text: qsTr("Red"); onClicked: list.stainRequested("red") }
        NormalButton { objectName: "stainGreenButton"; text: qsTr("Green"); onClicked: list.stainRequested("green") }
        NormalButton { objectName: "stainBlueButton"; text: qsTr("Blue"); onClicked: list.stainRequested("blue") }
        NormalButton { objectName: "mergeButton"; text: qsTr("Merge"); onClicked: list.mergeRequested() }
    }
}
