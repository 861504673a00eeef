import QtQuick 2.15
import QtQuick.Window 2.15
import QtQuick.Controls 2.15
import an.qt.EnumOBJ 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.MainCtrl 1.0

// The one window of the program; the login page and the main page are its children.
ApplicationWindow {
    id: mainWindow

    // Name of the logged-in user, set by the login page.
    property string curUserName: ""
    // Filter-wheel position kept across the capture pages.
    property int curGlobalFilterPos: -1

    visible: true
    visibility: Window.Maximized
    width: 1280
    height: 800
    color: "#F1F1F1"
    flags: Qt.Window | Qt.FramelessWindowHint | Qt.WindowMinimizeButtonHint | Qt.WindowMaximizeButtonHint
    title: "Tavrill"
    font.family: "WenQuanYi Micro Hei"
}
