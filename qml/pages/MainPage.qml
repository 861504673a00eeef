import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"

// The head bar over the page frame.
Rectangle {
    id: mainPage
    color: Style.windowColor
    objectName: "MainPage"
    property string userName: ""
    property alias head: head
    property alias body: body
    signal sig_Logout()

    function reTranslateUi(language) { body.reTranslateUi(language) }
    function showImagePathDialog() {
        var component = Qt.createComponent("../dialogs/CaptureImagePathSettingDialog.qml");
        if (component.status !== Component.Ready)
            return null;
        var dialog = component.createObject(mainPage.Overlay.overlay);
        if (!dialog)
            return null;
        dialog.closed.connect(function() { dialog.destroy(); });
        dialog.open();
        return dialog;
    }
    function setHomePageEnable(errorOccured) { body.setHomePageEnable(errorOccured) }

    IC_HeadPage {
        id: head
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        z: 1
        userName: mainPage.userName
        onSig_ChangePage: body.slot_ChangePage(pageType)
        onSig_ExitPage: body.slot_ExitPage()
        onSig_DoorRelease: body.slot_doorRelease()
        onSig_Logout: mainPage.sig_Logout()
    }
    IC_BodyPage {
        id: body
        anchors.top: head.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        onSig_ShowExpButtons: head.slot_ShowExpButtons(experimentType, show, isImage)
        onSig_SwitchCheckedBtn: head.slot_SwitchCheckedBtn()
        onSig_BackToHome: head.slot_BackToHome()
        onSig_LanguageChanged: mainPage.reTranslateUi(language)
    }
}
