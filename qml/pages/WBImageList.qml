import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/WesternBlot.js" as WB

// The captured images beside the live view, each with a check box, and the list's actions.
Column {
    id: images
    required property bool kestrix
    // What the buttons do.
    required property WBImageActions actions
    signal moreClicked()
    property alias imageList: imageList
    property alias imageModel: imageModel
    spacing: Style.s(6)
    visible: imageModel.count > 0

    ListModel { id: imageModel }

    Row {
        spacing: Style.s(6)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Images")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textDark
        }
        NormalButton { objectName: "moreImagesButton"; text: qsTr("More"); onClicked: images.moreClicked() }
    }
    ListView {
        id: imageList
        objectName: "imageList"
        width: parent.width
        height: Style.s(200)
        clip: true
        model: imageModel
        currentIndex: -1
        ScrollBar.vertical: ScrollBar {}
        delegate: Rectangle {
            objectName: "imageEntry_" + index
            width: imageList.width
            height: Style.s(40)
            color: ListView.isCurrentItem ? Style.crumbColor : Style.white
            border.color: Style.border
            RectCheckBox {
                objectName: "entryCheck_" + index
                x: Style.s(4)
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(28)
                checked: model.marked
                onClicked: imageModel.setProperty(index, "marked", checked)
            }
            Text {
                x: Style.s(36)
                width: parent.width - x - Style.s(6)
                anchors.verticalCenter: parent.verticalCenter
                text: model.title
                elide: Text.ElideMiddle
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                color: Style.textDark
            }
            MouseArea {
                anchors.fill: parent
                anchors.leftMargin: Style.s(34)
                onClicked: images.actions.selectEntry(index)
                onDoubleClicked: { images.actions.selectEntry(index); images.actions.renameSelected() }
            }
        }
    }
    Flow {
        width: parent.width
        spacing: Style.s(6)
        NormalButton { objectName: "renameButton"; text: qsTr("Rename"); onClicked: images.actions.renameSelected() }
        NormalButton { objectName: "deleteButton"; text: qsTr("Delete"); onClicked: images.actions.deleteChecked() }
        NormalButton { objectName: "mergeButton"; text: qsTr("Merge"); onClicked: images.actions.mergeChecked() }
        NormalButton { objectName: "pseudoButton"; text: qsTr("Pseudo"); onClicked: images.actions.pseudoColorChecked() }
        NormalButton {
            objectName: "pseudoMergeButton"
            visible: !images.kestrix
            text: qsTr("Pesudo Merge")
            onClicked: images.actions.pseudoMergeChecked()
        }
        NormalButton { objectName: "genButton"; text: qsTr("Gen"); onClicked: images.actions.generateImage() }
    }
}
