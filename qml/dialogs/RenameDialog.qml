import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.LocalFolders 1.0
import "../components"
import "../js/RenameRules.js" as Rules

// Renames an experiment (renameType 0), one image (1) or several images (2). Names stay unique:
// experiments across all days and kinds, images within their folder.
Dialog {
    id: dialog
    objectName: "renameDialog"
    property int renameType: 0
    property string originName: ""
    property string mImageSavePath: ""
    property var imageSavePathList: []
    property var selectedImageNameList: []
    // The ".tif" names of a folder; the controller's answer unless a caller gives another.
    property var listImageNames: function(folder) { return MainCtrl.getDirFilesName(folder) }
    readonly property string errorText: errorLine.text
    signal updateNewName(string newName, string imageSavePath)
    signal multiUpdateNewName(string oldName, string newName, string imageSavePath)
    signal multiupdateFinished()

    function showError(message) {
        errorLine.text = message;
        errorRow.visible = true;
    }

    function experimentNameTaken(name) {
        for (var i = 0; i < imageSavePathList.length; ++i)
            if (LocalFolders.experimentNameOf(imageSavePathList[i]) === name)
                return true;
        return false;
    }

    function save() {
        var name = nameField.text.trim();
        var message = renameType === 2 ? (name.length === 0 ? "Name cannot be empty." : Rules.checkSeveral(name, selectedImageNameList))
                                       : Rules.checkBasic(name, originName);
        if (message !== "") {
            showError(qsTranslate("RenameDialog", message));
            return;
        }
        if (name === originName) {
            accept();
            return;
        }
        if (renameType === 0) {
            if (experimentNameTaken(name)) {
                showError(qsTr("Name already exists."));
                return;
            }
            updateNewName(name, mImageSavePath);
        } else if (renameType === 1) {
            if (Rules.imageNameTaken(name, listImageNames(mImageSavePath))) {
                showError(qsTr("Name already exists."));
                return;
            }
            updateNewName(name + ".tif", mImageSavePath);
        } else {
            var g;
            for (g = 0; g < selectedImageNameList.length; ++g) {
                var folder = Rules.folderOf(selectedImageNameList[g]);
                if (Rules.imageNameTaken(name + "_" + g, listImageNames(folder))) {
                    showError(qsTr("Name already exists."));
                    return;
                }
            }
            for (g = 0; g < selectedImageNameList.length; ++g) {
                var path = selectedImageNameList[g];
                multiUpdateNewName(Rules.fileNameOf(path), Rules.numberedName(name, g), Rules.folderOf(path));
            }
            multiupdateFinished();
        }
        accept();
    }

    Component.onCompleted: {
        if (renameType === 0)
            imageSavePathList = MainCtrl.loadAllImageSavePath();
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(579)
    height: Style.s(332)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: 0
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    onOpened: selectTimer.start()
    Timer {
        id: selectTimer
        interval: 10
        onTriggered: {
            nameField.forceActiveFocus();
            nameField.selectAll();
        }
    }

    contentItem: Item {
        Rectangle {
            id: headerBar
            width: parent.width
            height: Style.s(50)
            radius: Style.s(8)
            color: Style.crumbColor
            Text {
                anchors.left: parent.left
                anchors.leftMargin: Style.s(20)
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Edit")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontLarge
                color: Style.textDark
            }
            Canvas {
                id: closeCross
                objectName: "closeButton"
                anchors.right: parent.right
                anchors.rightMargin: Style.s(18)
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(16)
                height: Style.s(16)
                onPaint: {
                    var ctx = getContext("2d");
                    ctx.reset();
                    ctx.strokeStyle = "#777777";
                    ctx.lineWidth = 2;
                    ctx.beginPath();
                    ctx.moveTo(1, 1); ctx.lineTo(width - 1, height - 1);
                    ctx.moveTo(width - 1, 1); ctx.lineTo(1, height - 1);
                    ctx.stroke();
                }
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -Style.s(8)
                    onClicked: dialog.reject()
                }
            }
        }
        TextField {
            id: nameField
            objectName: "nameField"
            anchors.top: headerBar.bottom
            anchors.topMargin: Style.s(60)
            anchors.horizontalCenter: parent.horizontalCenter
            width: Style.s(420)
            height: Style.s(40)
            text: dialog.originName
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            selectByMouse: true
            validator: RegExpValidator { regExp: /[^<>:"\/\\|?*.]*/ }
            onTextChanged: errorRow.visible = false
            onPressed: MainCtrl.showScreenKeyboard(true)
            Keys.onReturnPressed: MainCtrl.showScreenKeyboard(false)
            Keys.onEnterPressed: MainCtrl.showScreenKeyboard(false)
        }
        Row {
            id: errorRow
            visible: false
            anchors.top: nameField.bottom
            anchors.topMargin: Style.s(10)
            anchors.left: nameField.left
            spacing: Style.s(6)
            Image {
                width: Style.s(18)
                height: Style.s(18)
                source: "qrc:/Image/error.png"
            }
            Text {
                id: errorLine
                objectName: "errorText"
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                color: "#E04848"
            }
        }
        NormalBlueButton {
            objectName: "saveButton"
            anchors.bottom: parent.bottom
            anchors.bottomMargin: Style.s(30)
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Save")
            onClicked: dialog.save()
        }
    }
}
