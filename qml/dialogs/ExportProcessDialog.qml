import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"

// Progress of an export; accepts by itself when the last file is done, "Cancel" rejects.
Dialog {
    id: dialog
    objectName: "exportProcessDialog"
    property int totalExport: 0
    readonly property string counterText: counter.text

    function updateValue(curIndex, totalNum) {
        bar.value = curIndex + 1;
        counter.text = (curIndex + 1) + "/" + totalNum;
        if (curIndex + 1 === totalNum)
            accept();
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(405)
    height: Style.s(135)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(16)
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    contentItem: Item {
        Text {
            id: title
            text: qsTr("Exporting...")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textDark
        }
        ProgressBar {
            id: bar
            anchors.top: title.bottom
            anchors.topMargin: Style.s(12)
            anchors.left: parent.left
            anchors.right: counter.left
            anchors.rightMargin: Style.s(10)
            from: 0
            to: Math.max(1, dialog.totalExport)
        }
        Text {
            id: counter
            objectName: "counterText"
            anchors.right: parent.right
            anchors.verticalCenter: bar.verticalCenter
            text: "0/" + dialog.totalExport
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textGrey
        }
        DialogBlueButton {
            objectName: "cancelButton"
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            text: qsTr("Cancel")
            onClicked: dialog.reject()
        }
    }
}
