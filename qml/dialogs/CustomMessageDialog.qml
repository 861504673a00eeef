import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"

// Message or question: icon, title and a body that wraps at words. With cancelVisible it asks
// with "Yes" (accept) and "No" (reject), otherwise it has one "Ok" (accept).
Dialog {
    id: dialog
    objectName: "customMessageDialog"
    property bool cancelVisible: false
    // 0 exit, 1 logout: which question the head bar asked.
    property int exitType: 0
    property url iconSource: ""
    property string titleText: ""
    property string bodyText: ""

    function setSource(iconUrl, title, text) {
        iconSource = iconUrl;
        titleText = title;
        bodyText = text;
    }
    function setHeight(value) { height = Style.s(value) }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(405)
    height: Style.s(160)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(16)
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    contentItem: Item {
        Row {
            id: titleRow
            spacing: Style.s(10)
            Image {
                width: Style.s(28)
                height: Style.s(28)
                source: dialog.iconSource
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: dialog.titleText
                textFormat: Text.PlainText
                font.family: Style.fontFamily
                font.pixelSize: Style.fontLarge
                font.weight: Font.Medium
                color: Style.textDark
            }
        }
        Text {
            objectName: "messageText"
            anchors.top: titleRow.bottom
            anchors.topMargin: Style.s(8)
            anchors.bottom: buttons.top
            anchors.bottomMargin: Style.s(6)
            width: parent.width
            text: dialog.bodyText
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textGrey
            wrapMode: Text.WordWrap
            elide: Text.ElideRight
            // Messages quote names the operator typed: shown as typed, never as markup.
            textFormat: Text.PlainText
        }
        Row {
            id: buttons
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: Style.s(12)
            DialogBlueButton {
                objectName: "yesButton"
                visible: dialog.cancelVisible
                text: qsTr("Yes")
                onClicked: dialog.accept()
            }
            DialogBlueButton {
                objectName: "noButton"
                visible: dialog.cancelVisible
                text: qsTr("No")
                onClicked: dialog.reject()
            }
            DialogBlueButton {
                objectName: "okButton"
                visible: !dialog.cancelVisible
                text: qsTr("Ok")
                onClicked: dialog.accept()
            }
        }
    }
}
