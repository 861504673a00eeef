import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// The titles that head an exported report.
Item {
    id: page
    objectName: "DocumentTitlePage"

    function save() {
        CLJS.showCheckLogin(function() {
            var main = mainField.text;
            var sub = subField.text;
            UserOpts.mainTitle = main;
            UserOpts.saveUserOptsByName(UserOpts.OPT_MainTitle);
            UserOpts.subTitle = sub;
            UserOpts.saveUserOptsByName(UserOpts.OPT_SubTitle);
            Popups.message(page.Overlay.overlay, "qrc:/Image/success.png", qsTr("Success"), qsTr("Save success!"), false);
            Audit.write(ATJS.ModuleType.Setting, "主标题修改: " + main + "  副标题修改:" + sub,
                        "Modify main title: " + main + "  Modify subtitle:" + sub);
        });
    }

    Component.onCompleted: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_MainTitle);
        UserOpts.loadUserOptsByName(UserOpts.OPT_SubTitle);
        mainField.text = UserOpts.mainTitle;
        subField.text = UserOpts.subTitle;
    }

    component TitleField: TextField {
        width: Math.min(Style.s(600), page.width - Style.s(200))
        height: Style.s(42)
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        selectByMouse: true
        onPressed: MainCtrl.showScreenKeyboard(true)
        Keys.onReturnPressed: MainCtrl.showScreenKeyboard(false)
        Keys.onEnterPressed: MainCtrl.showScreenKeyboard(false)
    }

    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("Document Title")
    }
    Column {
        anchors.top: crumb.bottom
        anchors.topMargin: Style.s(60)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: Style.s(24)
        TitleField {
            id: mainField
            objectName: "mainTitleField"
            placeholderText: qsTr("Main Title")
        }
        TitleField {
            id: subField
            objectName: "subTitleField"
            placeholderText: qsTr("Sub Title")
        }
        NormalBlueButton {
            objectName: "saveButton"
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Save")
            enabled: !!AuthorityComponent.authDocumentTitleSave
            onClicked: page.save()
        }
    }
}
