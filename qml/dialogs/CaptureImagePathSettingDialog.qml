import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"
import "../js/Paths.js" as Paths
import "../js/Choosers.js" as Choosers
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS

// Asked after login when the image folder is to be chosen every time: shows the folder and lets
// the user pick another. Closes only by its "OK".
Dialog {
    id: dialog
    objectName: "imagePathDialog"
    property string shownPath: ""
    property string pathOnOpening: ""

    // A folder chosen in the folder dialog (a URL) becomes the shown path.
    function folderChosen(folderUrl) {
        shownPath = Paths.urlToLocalPath(folderUrl);
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(850)
    height: Style.s(80)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(14)
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    onAboutToShow: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ImageSavePath);
        shownPath = UserOpts.imageSavePath;
        pathOnOpening = shownPath;
    }
    onAccepted: {
        if (shownPath === pathOnOpening)
            return;
        UserOpts.imageSavePath = shownPath;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ImageSavePath);
        Audit.write(ATJS.ModuleType.Setting, "修改图片路径: " + shownPath, "Modify the image path: " + shownPath);
    }

    function makeFolderChooser() {
        return Choosers.make(dialog.Overlay.overlay, { selectFolder: true, folder: dialog.shownPath });
    }

    contentItem: Row {
        spacing: Style.s(12)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Image Save Path:")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
        }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(520)
            height: Style.s(34)
            radius: 4
            border.color: Style.border
            Text {
                objectName: "pathText"
                anchors.fill: parent
                anchors.leftMargin: Style.s(8)
                anchors.rightMargin: Style.s(8)
                verticalAlignment: Text.AlignVCenter
                text: dialog.shownPath
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                color: Style.textGrey
                elide: Text.ElideMiddle
            }
        }
        DialogBlueButton {
            anchors.verticalCenter: parent.verticalCenter
            implicitWidth: Style.s(44)
            text: "..."
            objectName: "chooseButton"
            onClicked: Choosers.open(dialog.makeFolderChooser(), function(path) { dialog.folderChosen(path) })
        }
        DialogBlueButton {
            objectName: "okButton"
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("OK")
            onClicked: dialog.accept()
        }
    }
}
