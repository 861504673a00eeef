import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/UserStore.js" as UserStore
import "../js/UMDatabase.js" as UMJS
import "../js/RMDatabase.js" as RMJS
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/Popups.js" as Popups

// The first screen: waits for the devices, reports their errors, and logs a user in. The
// password is checked against the stored record and never kept; "Remember" keeps the user
// name only.
Rectangle {
    id: page
    objectName: "LoginPage"
    color: Style.windowColor

    // Row of the chosen user (UserOpts.UserInfoType positions), [] for none.
    property var userInfo: []
    property bool errorOccured: false
    property bool dialogOpened: false
    property bool initFinished: demoVersion !== 0
    property var initDialog: null
    signal loginAccepted(string userName)

    function reloadUsers() {
        userModel.clear();
        UMJS.dbReadAll(userModel);
    }
    function chooseUser(name) {
        errorBox.visible = false;
        var index = -1;
        for (var i = 0; i < userModel.count; ++i)
            if (userModel.get(i).userName === name)
                index = i;
        userCombo.currentIndex = index;
        userInfo = index < 0 ? [] : UMJS.dbReadByUserName(name);
        rememberBox.checked = userInfo.length > 0 && !!userInfo[UserOpts.IsRemember];
        passwordField.text = "";
    }
    function resetLoginPage() {
        passwordField.text = "";
        errorBox.visible = false;
        reloadUsers();
        UserOpts.loadUserOptsByName(UserOpts.OPT_LastLoginUser);
        chooseUser(UserOpts.lastLoginUser);
    }
    function showMessage(source, title, text) {
        errorOccured = true;
        if (dialogOpened)
            return;
        var dialog = Popups.message(page.Overlay.overlay, source, title, text, false);
        if (!dialog)
            return;
        dialogOpened = true;
        dialog.closed.connect(function() { page.dialogOpened = false });
    }
    function showInitDialog() {
        initFinished = false;
        var component = Qt.createComponent("../dialogs/LoadingDialog.qml");
        if (component.status !== Component.Ready)
            return;
        initDialog = component.createObject(page.Overlay.overlay, { text: qsTr("System Initializing..."), mColor: "#111111" });
        dialogOpened = true;
        initDialog.open();
    }
    function closeInitDialog() {
        initFinished = true;
        if (!initDialog)
            return false;
        initDialog.close();
        initDialog.destroy();
        initDialog = null;
        dialogOpened = false;
        return true;
    }
    function errorHandler() {
        var code = MainCtrl.errorCode;
        if (code === EnumOBJ.ReceiveErr) {
            console.error("ReceiveErr: 收到错误指令");
            return;
        }
        var texts = {};
        texts[EnumOBJ.MachineErr] = QT_TR_NOOP("MachineErr!");
        texts[EnumOBJ.SerialPortErr] = QT_TR_NOOP("SerialPortErr!");
        texts[EnumOBJ.CommunicateErr] = QT_TR_NOOP("CommunicateErr!");
        texts[EnumOBJ.SendErr] = QT_TR_NOOP("SendErr!");
        texts[EnumOBJ.HandShakeErr] = QT_TR_NOOP("HandShakeErr!");
        texts[EnumOBJ.CameraErr] = QT_TR_NOOP("CameraErr!");
        texts[EnumOBJ.LensErr] = QT_TR_NOOP("LenErr!");
        texts[EnumOBJ.SaveErr] = QT_TR_NOOP("The picture could not be saved; the capture has ended.");
        texts[EnumOBJ.StoreErr] = QT_TR_NOOP("The experiment could not be recorded.");
        // The folder or file concerned, with the cause, in both languages.
        var detail = MainCtrl.errorDetail;
        if (texts[code] !== undefined)
            showMessage("qrc:/Image/error.png", qsTr("Error"), qsTr(texts[code]) + (detail !== "" ? "\n" + detail : ""));
    }

    function login() {
        var name = userCombo.currentIndex < 0 ? "" : userModel.get(userCombo.currentIndex).userName;
        if (name === "" || !UMJS.dbVerifyPassword(name, passwordField.text)) {
            errorBox.visible = true;
            return;
        }
        userInfo = UMJS.dbReadByUserName(name);
        UMJS.dbSetRemember(name, rememberBox.checked);
        UserOpts.lastLoginUser = name;
        UserOpts.saveUserOptsByName(UserOpts.OPT_LastLoginUser);
        UserOpts.lastPassword = "";
        UserOpts.lastAuthorityId = parseInt(userInfo[UserOpts.Authority], 10) || 0;
        UserOpts.lastGroupId = parseInt(userInfo[UserOpts.GroupId], 10) || 0;
        var rights = RMJS.dbGetAthorityById(userInfo[UserOpts.Authority]);
        console.log("用户权限: ", userInfo[UserOpts.Authority], rights);
        if (rights === "") {
            AuthorityComponent.clear();
            Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"),
                           qsTr("The role of this user does not exist, so no rights are granted."), false);
        } else {
            AuthorityComponent.resolveAuthority(rights);
        }
        passwordField.text = "";
        page.loginAccepted(name);
        Audit.write(ATJS.ModuleType.System, "用户登录", "User Login");
    }

    Connections {
        target: MainCtrl
        function onCamInitFinish() {
            if (page.closeInitDialog())
                page.errorHandler();
        }
        function onErrorCodeChanged() {
            page.closeInitDialog();
            page.errorHandler();
        }
    }
    Component.onCompleted: {
        UserStore.ensureSeeded();
        resetLoginPage();
        if (demoVersion === 0)
            showInitDialog();
    }

    ListModel { id: userModel }

    Rectangle {
        id: panel
        objectName: "loginPanel"
        anchors.centerIn: parent
        visible: page.initFinished
        width: Style.s(440)
        height: content.implicitHeight + Style.s(60)
        radius: Style.s(10)
        color: Style.white
        border.color: Style.border
        Column {
            id: content
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: parent.top
            anchors.topMargin: Style.s(30)
            width: parent.width - Style.s(80)
            spacing: Style.s(16)
            Rectangle {
                anchors.horizontalCenter: parent.horizontalCenter
                width: Style.s(120)
                height: Style.s(60)
                radius: Style.s(8)
                color: Style.headColor
                Image {
                    anchors.centerIn: parent
                    width: Style.s(100)
                    height: Style.s(50)
                    source: "qrc:/Image/logo.png"
                    fillMode: Image.PreserveAspectFit
                }
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Login")
                font.family: Style.fontFamily
                font.pixelSize: Style.s(26)
                color: Style.textDark
            }
            ListComboBox {
                id: userCombo
                objectName: "userCombo"
                width: parent.width
                model: userModel
                textRole: "userName"
                onActivated: page.chooseUser(userModel.get(index).userName)
            }
            KeyboardField {
                id: passwordField
                objectName: "passwordField"
                width: parent.width
                echoMode: TextInput.Password
                placeholderText: qsTr("Password")
                onTextEdited: errorBox.visible = false
                onAccepted: page.login()
            }
            Item {
                width: parent.width
                height: Math.max(rememberBox.implicitHeight, errorBox.implicitHeight)
                RectCheckBox {
                    id: rememberBox
                    objectName: "rememberBox"
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Remember")
                }
                Text {
                    id: errorBox
                    objectName: "errorBox"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    visible: false
                    text: qsTr("Password Error")
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontNormal
                    color: "#E64340"
                }
            }
            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: Style.s(24)
                NormalBlueButton {
                    objectName: "loginButton"
                    width: Style.s(140)
                    text: qsTr("Login")
                    onClicked: page.login()
                }
                NormalBlueRectButton {
                    objectName: "cancelButton"
                    width: Style.s(140)
                    text: qsTr("Cancel")
                    onClicked: {
                        MainCtrl._TSCloseCamAndUnInit();
                        Qt.quit();
                    }
                }
            }
        }
    }
}
