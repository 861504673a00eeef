import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../js/Popups.js" as Popups

// Pictures of the instrument model, the user manual and the program version.
Item {
    id: page
    objectName: "SystemInfoPage"
    property int language: UserOpts.Chinese
    readonly property int model: MainCtrl.machineName
    readonly property bool knownModel: model >= EnumOBJ.M_S40Mini && model < EnumOBJ.Unknow_MachineName
    readonly property bool ormivex: model >= EnumOBJ.M_Ormivex_Manual695 && model <= EnumOBJ.M_Ormivex_GF_AutoFL9BW
    readonly property bool ormivexMini: model === EnumOBJ.M_OrmivexMiniFL9BW || model === EnumOBJ.M_OrmivexMini695
    readonly property string version: "v1.4.6.1106"

    function reTranslateUi(value) { language = value }

    readonly property string picture1: {
        switch (model) {
        case EnumOBJ.M_S20Mini: return "qrc:/Image/sysinfo1_S20M.png";
        case EnumOBJ.M_S40Mini: return "qrc:/Image/sysinfo1_S40Mini.png";
        case EnumOBJ.M_S40Pro: return "qrc:/Image/sysinfo1_S40Pro.png";
        case EnumOBJ.M_S40Plus: return "qrc:/Image/sysinfo1_S40Plus.png";
        case EnumOBJ.M_S50: return "qrc:/Image/sysinfo1_S50.png";
        case EnumOBJ.M_S60: return "qrc:/Image/sysinfo1_S60.png";
        }
        if (ormivex) return "qrc:/Image/sysinfo1_ormivex.png";
        if (ormivexMini) return "qrc:/Image/sysinfo1_ovmini.png";
        return "";
    }
    readonly property string picture3: model === EnumOBJ.M_S40Pro ? "qrc:/Image/sysinfo3_S40Pro.png"
                                     : model === EnumOBJ.M_S40Plus ? "qrc:/Image/sysinfo3_S40Plus.png" : ""
    readonly property string picture4: {
        if (!knownModel)
            return "";
        var base = model === EnumOBJ.M_S20Mini ? "qrc:/Image/sysinfo4_S20M" : "qrc:/Image/sysinfo4";
        return base + (language === UserOpts.English ? "_en" : "") + ".png";
    }
    readonly property string picture5: {
        switch (model) {
        case EnumOBJ.M_S20Mini: return "qrc:/Image/sysinfo5_S20M.png";
        case EnumOBJ.M_S40Mini: return "qrc:/Image/sysinfo5_S40Mini.png";
        case EnumOBJ.M_S40Pro: return "qrc:/Image/sysinfo5_S40Pro.png";
        case EnumOBJ.M_S40Plus: return "qrc:/Image/sysinfo5_S40Plus.png";
        case EnumOBJ.M_S50: case EnumOBJ.M_S60: return "qrc:/Image/sysinfo5_S50.png";
        }
        if (ormivex) return "qrc:/Image/sysinfo5_Ormivex.png";
        if (ormivexMini) return "qrc:/Image/sysinfo5_ovmini.png";
        return "";
    }

    Connections {
        target: MainCtrl
        function onUserManualOpenFailed() {
            Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"),
                           qsTr("Open user manual failed, please makesure WPS is installed."), false, 150);
        }
    }

    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("System Info")
    }
    Image {
        id: photo
        objectName: "picture5"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: Style.s(40)
        anchors.bottomMargin: Style.s(30)
        width: Math.min(sourceSize.width * Style.ratio, parent.width * 0.32)
        height: Math.min(sourceSize.height * Style.ratio, parent.height - crumb.height - Style.s(60))
        fillMode: Image.PreserveAspectFit
        source: page.picture5
        opacity: page.model === EnumOBJ.M_S40Pro ? 0.5 : 1
        visible: page.picture5 !== ""
    }
    Column {
        anchors.top: crumb.bottom
        anchors.topMargin: Style.s(30)
        anchors.left: parent.left
        anchors.leftMargin: Style.s(60)
        anchors.right: photo.left
        anchors.rightMargin: Style.s(20)
        spacing: Style.s(18)
        Image {
            objectName: "picture1"
            width: Math.min(parent.width, sourceSize.width * Style.ratio)
            height: width * (sourceSize.width > 0 ? sourceSize.height / sourceSize.width : 0)
            source: page.picture1
            visible: page.picture1 !== ""
        }
        Image {
            objectName: "picture3"
            width: Math.min(parent.width, sourceSize.width * Style.ratio)
            height: width * (sourceSize.width > 0 ? sourceSize.height / sourceSize.width : 0)
            source: page.picture3
            visible: page.picture3 !== ""
        }
        Image {
            objectName: "picture4"
            width: Math.min(parent.width, sourceSize.width * Style.ratio)
            height: width * (sourceSize.width > 0 ? sourceSize.height / sourceSize.width : 0)
            source: page.picture4
            visible: page.picture4 !== ""
        }
        NormalBlueRectButton {
            objectName: "userManualButton"
            text: qsTr("User Manual")
            onClicked: MainCtrl.openUserManual()
        }
        Text {
            objectName: "versionText"
            text: qsTr("SoftWare Version: ") + page.version
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textGrey
        }
    }
}
