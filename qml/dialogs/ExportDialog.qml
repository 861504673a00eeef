import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.platform 1.1 as Platform
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../js/ATDatabase.js" as ATJS
import "../js/Audit.js" as Audit
import "../js/Paths.js" as Paths

// Export of a capture page's picture: "File" writes it in one of twelve formats (with or
// without the parameter overlay), "Document" writes the report. Closes only by its cross.
Dialog {
    id: dialog
    objectName: "exportDialog"
    property string imageSavePath: ""
    property string curUserName: ""
    property string srcPseudoImageName: ""
    property string curImageName: ""
    property string curBinning: ""
    property string curExposure: ""
    property string curGain: ""
    // The folder the file dialogs open on: the last export folder, else the picture's.
    property string folder: ""
    readonly property var fileFilters: ["1200dpi (*.tif)", "600dpi (*.tif)", "300dpi (*.tif)", "*.bmp", "*.jpg", "*.png",
                                        "1200dpi (*.tif)-加水印", "600dpi (*.tif)-加水印", "300dpi (*.tif)-加水印",
                                        "(*.bmp)-加水印", "(*.jpg)-加水印", "(*.png)-加水印"]
    // The report is always a .docx package; a name without that suffix gets it.
    readonly property var documentFilters: ["*.docx"]
    signal exportFinished()

    function proposedFile() { return Paths.localPathToUrl(folder + "/" + curImageName) }
    function rememberFolder(fileUrl) {
        var path = Paths.urlToLocalPath(fileUrl);
        folder = path.substring(0, path.lastIndexOf("/"));
        UserOpts.exportPath = folder;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ExportPath);
    }
    // The picture to the file the dialog gave (a URL), by the index of its filter.
    function fileChosen(fileUrl, index) {
        var url = String(fileUrl);
        MainCtrl.updateExportInfo(curBinning, curExposure, curGain);
        if (MainCtrl.isKestrix) {
            if (MainCtrl.expMode === EnumOBJ.WB)
                MainCtrl._WBQIExportImage(url, index, srcPseudoImageName);
        } else if (MainCtrl.expMode === EnumOBJ.Gel) {
            MainCtrl._GelTSExportImage(url, index);
        } else if (MainCtrl.expMode === EnumOBJ.WB) {
            MainCtrl._WBTSExportImage(url, index, srcPseudoImageName);
        } else if (MainCtrl.expMode === EnumOBJ.Mult) {
            MainCtrl._MultTSExportImage(url, index);
        }
        rememberFolder(url);
        dialog.accept();
        Audit.write(ATJS.ModuleType.System, "图片导出: " + folder, "Image export: " + folder);
        exportFinished();
    }
    function documentChosen(fileUrl) {
        var url = String(fileUrl);
        dialog.accept();
        MainCtrl.exportWPS(url, curUserName, srcPseudoImageName);
        rememberFolder(url);
        Audit.write(ATJS.ModuleType.System, "文件导出: " + folder, "Doc export: " + folder);
    }
    function makeChooser(document) { return (document ? documentDialogComponent : fileDialogComponent).createObject(dialog) }
    function openFileDialog(document) {
        var chooser = makeChooser(document);
        chooser.folder = Paths.localPathToUrl(folder);
        chooser.currentFile = proposedFile();
        chooser.open();
    }

    Component.onCompleted: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        folder = UserOpts.exportPath !== "" ? UserOpts.exportPath : imageSavePath;
    }

    Component {
        id: fileDialogComponent
        Platform.FileDialog {
            fileMode: Platform.FileDialog.SaveFile
            nameFilters: dialog.fileFilters
            selectedNameFilter.index: 1
            onAccepted: dialog.fileChosen(file, selectedNameFilter.index)
        }
    }
    Component {
        id: documentDialogComponent
        Platform.FileDialog {
            fileMode: Platform.FileDialog.SaveFile
            nameFilters: dialog.documentFilters
            selectedNameFilter.index: 0
            onAccepted: dialog.documentChosen(file)
        }
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(580)
    height: Style.s(330)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: 0
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    component RoundChoice: Item {
        id: choice
        property string label: ""
        property url image: ""
        signal clicked()
        width: Style.s(150)
        height: Style.s(170)
        Rectangle {
            id: halo
            anchors.horizontalCenter: parent.horizontalCenter
            width: Style.s(130)
            height: width
            radius: width / 2
            gradient: null
            color: hover.containsMouse ? "#22000000" : "transparent"
            Image {
                anchors.centerIn: parent
                width: Style.s(96)
                height: Style.s(96)
                source: choice.image
                fillMode: Image.PreserveAspectFit
            }
        }
        Text {
            anchors.top: halo.bottom
            anchors.topMargin: Style.s(8)
            anchors.horizontalCenter: parent.horizontalCenter
            text: choice.label
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textDark
        }
        MouseArea {
            id: hover
            anchors.fill: parent
            hoverEnabled: true
            onClicked: choice.clicked()
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
                text: qsTr("Export")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontLarge
                color: Style.textDark
            }
            Canvas {
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
        Row {
            anchors.top: headerBar.bottom
            anchors.topMargin: Style.s(40)
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Style.s(80)
            RoundChoice {
                objectName: "fileButton"
                label: qsTr("File")
                image: "qrc:/Image/file.png"
                onClicked: dialog.openFileDialog(false)
            }
            RoundChoice {
                objectName: "documentButton"
                label: qsTr("Document")
                image: "qrc:/Image/document.png"
                onClicked: dialog.openFileDialog(true)
            }
        }
    }
}
