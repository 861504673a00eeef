import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import an.qt.EnumOBJ 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.MainCtrl 1.0
import "components"
import "pages"
import "js/Popups.js" as Popups
import "js/Audit.js" as Audit
import "js/ATDatabase.js" as ATJS

// The one window of the program: the login page until somebody logs in, then the main page.
ApplicationWindow {
    id: mainWindow

    // Name of the logged-in user, set by the login page.
    property string curUserName: ""
    // Filter-wheel position kept across the capture pages.
    property int curGlobalFilterPos: -1
    property alias loginPage: loginPage
    property alias mainPage: mainPage

    visible: true
    visibility: Window.Maximized
    width: 1280
    height: 800
    color: Style.windowColor
    flags: Qt.Window | Qt.FramelessWindowHint | Qt.WindowMinimizeButtonHint | Qt.WindowMaximizeButtonHint
    title: "Tavrill"
    font.family: Style.fontFamily

    function loggedIn(userName) {
        curUserName = userName;
        loginPage.visible = false;
        mainPage.visible = true;
        UserOpts.loadUserOptsByName(UserOpts.OPT_IsChangPathEveryTime);
        if (UserOpts.isChangPathEveryTime)
            mainPage.showImagePathDialog();
        // A device error at start-up keeps the experiments closed; nothing else does.
        if (loginPage.errorOccured || isDeviceError(MainCtrl.errorCode))
            mainPage.setHomePageEnable(true);
    }
    function isDeviceError(code) {
        return code !== EnumOBJ.NoErr && code !== EnumOBJ.WPSErr && code !== EnumOBJ.ReceiveErr
               && code !== EnumOBJ.SaveErr && code !== EnumOBJ.StoreErr && code !== EnumOBJ.Unknow_ErrorCode;
    }
    // The report runs in the background: its rows and, when it failed, the reason come when it
    // is done, whichever page is shown then.
    function reportFinished(ok, document, reason) {
        if (ok) {
            var folder = document.substring(0, document.lastIndexOf("/"));
            Audit.write(ATJS.ModuleType.System, "文件导出: " + folder, "Doc export: " + folder);
            return;
        }
        Audit.write(ATJS.ModuleType.System, "文件导出失败: " + document, "Doc export failed: " + document);
        Popups.message(overlay, "qrc:/Image/error.png", qsTr("Error"), qsTr("The report was not written.") + "\n" + reason, false, 240);
    }
    function loggedOut() {
        loginPage.visible = true;
        mainPage.visible = false;
        loginPage.resetLoginPage();
    }

    // Dialogs that scripts open (signature, refusals, audit failures) live on this overlay.
    Component.onCompleted: Popups.setHost(overlay)

    Connections {
        target: MainCtrl
        function onExportFinished(ok, document, reason) { mainWindow.reportFinished(ok, document, reason) }
    }

    LoginPage {
        id: loginPage
        anchors.fill: parent
        visible: true
        onLoginAccepted: mainWindow.loggedIn(userName)
    }
    MainPage {
        id: mainPage
        anchors.fill: parent
        visible: false
        userName: mainWindow.curUserName
        onSig_Logout: mainWindow.loggedOut()
    }
}
