import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"

// Frame of the "More Setting" dialogs: header with a close cross (closes without saving),
// the section "Filter" with "Auto Match Filter" (where shown) and the rows of the dialog, "Save" below.
// Modal; closes only by its buttons.
Dialog {
    id: dialog
    default property alias rows: rowsColumn.data
    property alias autoMatchBox: autoMatchBox
    // The filter section (the Western-blot dialog has none).
    property bool filterShown: true
    signal saveClicked()

    modal: true
    closePolicy: Popup.NoAutoClose
    width: 797 * Style.ratio
    height: 600 * Style.ratio
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: 0
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    Component.onCompleted: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        autoMatchBox.checked = UserOpts.autoMatchFilter;
    }

    contentItem: Item {
        Rectangle {
            id: head
            width: parent.width
            height: Style.s(50)
            radius: Style.s(8)
            color: Style.headColor
            Text {
                anchors.left: parent.left
                anchors.leftMargin: Style.s(20)
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("More Setting")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontTitle
                color: Style.white
            }
            // The cross is drawn, two bars turned by 45 degrees.
            MouseArea {
                objectName: "closeButton"
                anchors.right: parent.right
                anchors.rightMargin: Style.s(12)
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(30)
                height: width
                onClicked: dialog.reject()
                Repeater {
                    model: [45, -45]
                    Rectangle {
                        anchors.centerIn: parent
                        width: parent.width * 0.8
                        height: 2
                        color: Style.white
                        rotation: modelData
                    }
                }
            }
        }
        Column {
            anchors.top: head.bottom
            anchors.topMargin: Style.s(20)
            anchors.left: parent.left
            anchors.leftMargin: Style.s(40)
            spacing: Style.s(16)
            Text {
                visible: dialog.filterShown
                text: qsTr("Filter")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontLarge
                font.weight: Font.Medium
                color: Style.textDark
            }
            RectCheckBox {
                id: autoMatchBox
                objectName: "autoMatchBox"
                visible: dialog.filterShown
                text: qsTr("Auto Match Filter")
            }
            Column {
                id: rowsColumn
                spacing: Style.s(12)
            }
        }
        DialogBlueButton {
            objectName: "saveButton"
            anchors.right: parent.right
            anchors.rightMargin: Style.s(30)
            anchors.bottom: parent.bottom
            anchors.bottomMargin: Style.s(20)
            text: qsTr("Save")
            onClicked: dialog.saveClicked()
        }
    }
}
