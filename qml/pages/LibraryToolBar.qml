import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Library.js" as Lib

// The search fields and the action buttons of an image-library page.
Rectangle {
    id: bar
    property var page: null
    property alias userField: userField
    property alias expField: expField
    property alias beginField: beginField
    property alias endField: endField
    width: parent ? parent.width : 0
    // Inline components do not see this file's script imports.
    function validDate(text) { return text === "" || Lib.isValidDate(text) }
    height: Style.s(112)
    color: Style.white

    component BarText: Text {
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.textDark
    }
    component DateField: TextField {
        width: Style.s(130)
        height: Style.s(36)
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        // Only a real day of the form yyyy-MM-dd is kept.
        property string lastValid: text
        onEditingFinished: {
            if (bar.validDate(text))
                lastValid = text;
            else
                text = lastValid;
        }
        onTextChanged: if (bar.validDate(text)) lastValid = text
        MouseArea {
            anchors.fill: parent
            onClicked: bar.page.openPicker(parent)
        }
    }
    component ActionButton: NormalBlueRectButton {
        width: Style.s(88)
        implicitHeight: Style.s(36)
    }

    Row {
        id: searchRow
        x: Style.s(16)
        y: Style.s(8)
        height: Style.s(44)
        spacing: Style.s(8)
        BarText { text: qsTr("User name") }
        KeyboardField {
            id: userField
            objectName: "userField"
            width: Style.s(120)
            implicitHeight: Style.s(36)
            anchors.verticalCenter: parent.verticalCenter
        }
        BarText { text: qsTr("Experiment name") }
        KeyboardField {
            id: expField
            objectName: "expField"
            width: Style.s(140)
            implicitHeight: Style.s(36)
            anchors.verticalCenter: parent.verticalCenter
        }
        BarText { text: qsTr("Date") }
        DateField { id: beginField; objectName: "beginField" }
        BarText { text: qsTr("to") }
        DateField { id: endField; objectName: "endField" }
        NormalBlueButton {
            objectName: "searchButton"
            width: Style.s(88)
            implicitHeight: Style.s(36)
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Search")
            onClicked: bar.page.updateListView(false)
        }
    }
    Row {
        anchors.top: searchRow.bottom
        anchors.topMargin: Style.s(8)
        x: Style.s(16)
        height: Style.s(44)
        spacing: Style.s(8)
        Item {
            width: Style.s(90)
            height: parent.height
            Image {
                id: allBox
                objectName: "allBox"
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(20)
                height: Style.s(20)
                source: bar.page.allChecked ? "qrc:/Image/checkbox_checked_rect.png" : "qrc:/Image/checkbox_unchecked_rect.png"
            }
            BarText { anchors.left: allBox.right; anchors.leftMargin: Style.s(6); text: qsTr("All") }
            MouseArea {
                objectName: "allArea"
                anchors.fill: parent
                onClicked: bar.page.checkAll(!bar.page.allChecked)
            }
        }
        ActionButton { objectName: "foldButton"; anchors.verticalCenter: parent.verticalCenter; text: qsTr("Fold"); onClicked: bar.page.fold() }
        BarText { objectName: "selectedText"; text: qsTr("Selected: ") + bar.page.selectedImageNameList.length }
    }
    Row {
        anchors.right: parent.right
        anchors.rightMargin: Style.s(16)
        anchors.top: searchRow.bottom
        anchors.topMargin: Style.s(8)
        height: Style.s(44)
        spacing: Style.s(8)
        ActionButton {
            objectName: "mergeButton"
            anchors.verticalCenter: parent.verticalCenter
            visible: bar.page.mergeShown
            enabled: !!AuthorityComponent.authImageDetail
            text: qsTr("Merge")
            onClicked: bar.page.mergeStart()
        }
        ActionButton {
            objectName: "detailButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: !!AuthorityComponent.authImageDetail
            text: qsTr("Detail")
            onClicked: bar.page.detailStart()
        }
        ActionButton {
            objectName: "editButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: !!AuthorityComponent.authImageEdit
            text: qsTr("Edit")
            onClicked: bar.page.editStart()
        }
        ActionButton {
            objectName: "renameButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: !!AuthorityComponent.authImageRename
            text: qsTr("Rename")
            onClicked: bar.page.renameStart()
        }
        ActionButton {
            objectName: "exportButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: !!AuthorityComponent.authImageExport
            text: qsTr("Export")
            onClicked: bar.page.exportStart()
        }
        ActionButton {
            objectName: "deleteButton"
            anchors.verticalCenter: parent.verticalCenter
            enabled: !!AuthorityComponent.authImageDelete
            text: qsTr("Delete")
            onClicked: bar.page.deleteStart()
        }
    }
}
