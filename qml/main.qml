import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import an.qt.EnumOBJ 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.MainCtrl 1.0
import "components"
import "pages"

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
        // A device error at start-up keeps the experiments closed.
        if (MainCtrl.errorCode !== EnumOBJ.NoErr)
            mainPage.setHomePageEnable(true);
    }
    function loggedOut() {
        loginPage.visible = true;
        mainPage.visible = false;
        loginPage.resetLoginPage();
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
