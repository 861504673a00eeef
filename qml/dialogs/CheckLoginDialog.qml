import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"
import "../js/UMDatabase.js" as UMJS

// The electronic signature: the logged-in user types the password again before a guarded
// action runs. "OK" accepts when the password matches the stored record, else shows
// "Password Error" and stays open; "Cancel" rejects.
Dialog {
    id: dialog
    objectName: "checkLoginDialog"
    // Copied when the dialog is made.
    property bool isSignature: false
    property string username: ""

    function confirm() {
        if (UMJS.dbVerifyPassword(username, passwordField.text)) {
            dialog.accept();
        } else {
            errorBox.visible = true;
            passwordField.selectAll();
        }
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(420)
    height: Style.s(280)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(20)
    header: null
    footer: null
    Overlay.modal: Rectangle { color: "#80808080" }
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }
    onOpened: passwordField.forceActiveFocus()
    Component.onCompleted: {
        isSignature = UserOpts.isSignature;
        username = UserOpts.lastLoginUser;
    }

    contentItem: Column {
        spacing: Style.s(14)
        Text {
            text: qsTr("Electronic Signature")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontTitle
            font.weight: Font.Medium
            color: Style.textDark
        }
        KeyboardField {
            objectName: "userField"
            width: parent.width
            enabled: false
            text: dialog.username
            placeholderText: qsTr("UserName")
        }
        KeyboardField {
            id: passwordField
            objectName: "passwordField"
            width: parent.width
            echoMode: TextInput.Password
            placeholderText: qsTr("Password")
            onTextEdited: errorBox.visible = false
            onAccepted: dialog.confirm()
        }
        Text {
            id: errorBox
            objectName: "errorBox"
            visible: false
            text: qsTr("Password Error")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: "#E64340"
        }
        Row {
            anchors.right: parent.right
            spacing: Style.s(12)
            DialogBlueButton {
                objectName: "okButton"
                text: qsTr("OK")
                onClicked: dialog.confirm()
            }
            DialogBlueButton {
                objectName: "cancelButton"
                text: qsTr("Cancel")
                onClicked: dialog.reject()
            }
        }
    }
}
