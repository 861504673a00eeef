import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/Popups.js" as Popups

// Frame of the exposure-programme dialogs: a title bar with a close cross and the dialog's own
// content below. Modal; closes only by its buttons.
Dialog {
    id: dialog
    default property alias content: body.data
    // The capture page: it writes the audit rows.
    property var auditHost: null

    function warn(text) {
        return Popups.message(dialog.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false);
    }
    function audit(chinese, english) {
        if (auditHost)
            auditHost.audit(chinese, english);
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: 0
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

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
                text: dialog.title
                font.family: Style.fontFamily
                font.pixelSize: Style.fontTitle
                color: Style.white
            }
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
        Item {
            id: body
            anchors.top: head.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: Style.s(16)
        }
    }
}
