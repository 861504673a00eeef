import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"

// Stand-in of the login page: its button logs in the last user (or "admin") and the window then
// shows the main page.
Rectangle {
    id: page
    objectName: "LoginPage"
    color: Style.windowColor
    signal loginAccepted(string userName)

    function resetLoginPage() { console.log("LoginPage.resetLoginPage") }

    Column {
        anchors.centerIn: parent
        spacing: Style.s(18)
        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Style.s(100)
            height: Style.s(50)
            source: "qrc:/Image/logo.png"
            Rectangle { z: -1; anchors.fill: parent; anchors.margins: -Style.s(10); radius: Style.s(8); color: Style.headColor }
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Login")
            font.family: Style.fontFamily
            font.pixelSize: Style.s(26)
            color: Style.textDark
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("This page is not built yet.")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textGrey
        }
        NormalBlueButton {
            objectName: "loginButton"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Login")
            onClicked: {
                UserOpts.loadUserOptsByName(UserOpts.OPT_LastLoginUser);
                var name = UserOpts.lastLoginUser === "" ? "admin" : UserOpts.lastLoginUser;
                UserOpts.lastLoginUser = name;
                UserOpts.saveUserOptsByName(UserOpts.OPT_LastLoginUser);
                page.loginAccepted(name);
            }
        }
    }
}
