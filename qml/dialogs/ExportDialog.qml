import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../js/ATDatabase.js" as ATJS
import "../js/Audit.js" as Audit
import "../js/Paths.js" as Paths
import "../js/Popups.js" as Popups

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
    // The file chooser open now (null when none).
    property var chooser: null
    signal exportFinished()

    function proposedFile() { return Paths.localPathToUrl(folder + "/" + curImageName) }
    function rememberFolder(path) {
        folder = path.substring(0, path.lastIndexOf("/"));
        UserOpts.exportPath = folder;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ExportPath);
    }
    // The picture to the file chosen (a URL or a path), by the index of its filter; false when
    // nothing was written, which is said and recorded.
    function fileChosen(fileUrl, index) {
        var path = Paths.urlToLocalPath(fileUrl);
        var url = Paths.localPathToUrl(path);
        MainCtrl.updateExportInfo(curBinning, curExposure, curGain);
        var written = false;
        if (MainCtrl.isKestrix) {
            if (MainCtrl.expMode === EnumOBJ.WB)
                written = MainCtrl._WBQIExportImage(url, index, srcPseudoImageName);
        } else if (MainCtrl.expMode === EnumOBJ.Gel) {
            written = MainCtrl._GelTSExportImage(url, index);
        } else if (MainCtrl.expMode === EnumOBJ.WB) {
            written = MainCtrl._WBTSExportImage(url, index, srcPseudoImageName);
        } else if (MainCtrl.expMode === EnumOBJ.Mult) {
            written = MainCtrl._MultTSExportImage(url, index);
        }
        if (!written) {
            Audit.write(ATJS.ModuleType.System, "图片导出失败: " + path, "Image export failed: " + path);
            Popups.message(dialog.Overlay.overlay, "qrc:/Image/error.png", qsTr("Error"),
                           qsTr("Export failed: %1 could not be written.").arg(path), false);
            return false;
        }
        rememberFolder(path);
        dialog.accept();
        Audit.write(ATJS.ModuleType.System, "图片导出: " + folder, "Image export: " + folder);
        exportFinished();
        return true;
    }
    // The report is written in the background; its rows and its message come when it is done
    // (the main window hears the controller's exportFinished).
    function documentChosen(fileUrl) {
        var path = Paths.urlToLocalPath(fileUrl);
        dialog.accept();
        MainCtrl.exportWPS(Paths.localPathToUrl(path), curUserName, srcPseudoImageName);
        rememberFolder(path);
    }
    function makeChooser(document) {
        var component = Qt.createComponent("PathChooser.qml");
        if (component.status !== Component.Ready) {
            console.log("file chooser not available:", component.errorString());
            return null;
        }
        return component.createObject(dialog.Overlay.overlay, {
            nameFilters: document ? dialog.documentFilters : dialog.fileFilters,
            selectedFilterIndex: document ? 0 : 1,
            folder: dialog.folder,
            fileName: dialog.curImageName
        });
    }
    function openFileDialog(document) {
        var made = makeChooser(document);
        if (!made)
            return null;
        made.chosen.connect(function(path, index) {
            if (document)
                dialog.documentChosen(path);
            else
                dialog.fileChosen(path, index);
        });
        made.closed.connect(function() { if (dialog.chooser === made) dialog.chooser = null });
        chooser = made;
        made.open();
        return made;
    }

    Component.onCompleted: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        folder = UserOpts.exportPath !== "" ? UserOpts.exportPath : imageSavePath;
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
