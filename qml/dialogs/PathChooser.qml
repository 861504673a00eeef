import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.folderlistmodel 2.15
import an.qt.LocalFolders 1.0
import "../components"
import "../js/Paths.js" as Paths
import "../js/Popups.js" as Popups

// Chooses a folder, or a file to write, inside the window. The result is the entry selected in
// the list, else the path typed, never merely the folder being browsed; a typed folder that does
// not exist is refused. For a file the chosen filter decides the suffix.
Dialog {
    id: chooser
    objectName: "pathChooser"
    property bool selectFolder: false
    property string heading: selectFolder ? qsTr("Select folder") : qsTr("Save as")
    property var nameFilters: []
    property int selectedFilterIndex: 0
    // The folder shown (a local path) and, for a file, the name proposed.
    property string folder: ""
    property string fileName: ""
    // The result, a local path, once accepted.
    property string chosenPath: ""
    readonly property string chosenUrl: chosenPath === "" ? "" : Paths.localPathToUrl(chosenPath)
    property alias pathText: pathField.text
    property alias nameText: nameField.text
    property alias selectedRow: list.currentIndex
    readonly property alias rowCount: folderModel.count
    signal chosen(string path, int filterIndex)

    function suffixOf(filter) {
        var match = /\*\.([A-Za-z0-9]+)/.exec(String(filter));
        return match ? match[1] : "";
    }
    function currentSuffix() {
        return selectedFilterIndex >= 0 && selectedFilterIndex < nameFilters.length ? suffixOf(nameFilters[selectedFilterIndex]) : "";
    }
    function hasSuffix(name, suffix) {
        var lower = name.toLowerCase();
        var ending = "." + suffix.toLowerCase();
        if (suffix.toLowerCase() === "tif" && /\.tiff$/.test(lower))
            return true;
        return lower.length > ending.length && lower.substring(lower.length - ending.length) === ending;
    }
    // The name with the chosen filter's suffix ("a" -> "a.tif"; "a.png" under a TIFF filter ->
    // "a.png.tif": the encoder goes by the suffix, so it must match what the filter promises).
    function withSuffix(name) {
        var suffix = currentSuffix();
        if (suffix === "" || name === "" || hasSuffix(name, suffix))
            return name;
        return name + "." + suffix;
    }
    function refuse(text) {
        Popups.message(chooser.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false);
    }
    function childPath(name) { return folder === "/" ? "/" + name : folder + "/" + name }
    // Shows the folder path (typed or picked); false with a message when it is no folder.
    function browse(path) {
        var target = LocalFolders.resolved(path, folder);
        if (!LocalFolders.isFolder(target)) {
            refuse(qsTr("The folder does not exist: %1").arg(target === "" ? path : target));
            return false;
        }
        folder = target;
        pathField.text = target;
        list.currentIndex = -1;
        return true;
    }
    function up() {
        var cut = folder.lastIndexOf("/");
        if (cut > 0)
            browse(folder.substring(0, cut));
        else if (folder !== "/")
            browse("/");
    }
    // The folder the operator means: the one typed when the path field was edited, else the one
    // shown; "" (with a message) when the typed one does not exist.
    function typedFolder() {
        var typed = LocalFolders.resolved(pathField.text, folder);
        if (typed === folder)
            return folder;
        if (!LocalFolders.isFolder(typed)) {
            refuse(qsTr("The folder does not exist: %1").arg(typed === "" ? pathField.text : typed));
            return "";
        }
        return typed;
    }
    function finish(path, index) {
        chosenPath = path;
        chooser.accept();
        chooser.chosen(path, index);
    }
    function confirm() {
        if (selectFolder) {
            if (list.currentIndex >= 0 && list.currentIndex < folderModel.count) {
                finish(LocalFolders.resolved(folderModel.get(list.currentIndex, "filePath")), -1);
                return;
            }
            var typed = typedFolder();
            if (typed !== "")
                finish(typed, -1);
            return;
        }
        var name = nameField.text.trim();
        if (name === "") {
            refuse(qsTr("Please enter a file name!"));
            return;
        }
        var base = typedFolder();
        if (base === "")
            return;
        var target = LocalFolders.resolved(name, base);
        if (LocalFolders.isFolder(target)) {
            browse(target);
            nameField.text = "";
            return;
        }
        target = withSuffix(target);
        var parentFolder = target.substring(0, target.lastIndexOf("/"));
        if (!LocalFolders.isFolder(parentFolder === "" ? "/" : parentFolder)) {
            refuse(qsTr("The folder does not exist: %1").arg(parentFolder));
            return;
        }
        finish(target, selectedFilterIndex);
    }
    function filterChosen(index) {
        var old = currentSuffix();
        selectedFilterIndex = index;
        var name = nameField.text;
        var now = currentSuffix();
        if (old !== "" && now !== "" && hasSuffix(name, old) && !hasSuffix(name, now))
            nameField.text = name.substring(0, name.lastIndexOf(".")) + "." + now;
    }
    function rowClicked(index) {
        list.currentIndex = index;
        if (!folderModel.isFolder(index))
            nameField.text = folderModel.get(index, "fileName");
    }
    function rowOpened(index) {
        if (folderModel.isFolder(index))
            browse(folderModel.get(index, "filePath"));
        else
            confirm();
    }

    onAboutToShow: {
        if (folder === "" || !LocalFolders.isFolder(folder))
            folder = LocalFolders.isFolder(folder.substring(0, folder.lastIndexOf("/"))) ? folder.substring(0, folder.lastIndexOf("/"))
                                                                                       : LocalFolders.desktop();
        folder = LocalFolders.resolved(folder);
        pathField.text = folder;
        nameField.text = fileName === "" ? "" : withSuffix(fileName);
        list.currentIndex = -1;
    }
    onClosed: destroy()

    modal: true
    closePolicy: Popup.CloseOnEscape
    width: Style.s(720)
    height: Style.s(500)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(16)
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    FolderListModel {
        id: folderModel
        folder: chooser.folder === "" ? "" : Paths.localPathToUrl(chooser.folder)
        showDirsFirst: true
        showDotAndDotDot: false
        showHidden: false
        showFiles: !chooser.selectFolder
        nameFilters: chooser.selectFolder || chooser.currentSuffix() === "" ? [] : ["*." + chooser.currentSuffix()]
        sortField: FolderListModel.Name
    }

    contentItem: Item {
        Text {
            id: title
            text: chooser.heading
            font.family: Style.fontFamily
            font.pixelSize: Style.fontTitle
            color: Style.textDark
        }
        Row {
            id: pathRow
            anchors.top: title.bottom
            anchors.topMargin: Style.s(12)
            width: parent.width
            spacing: Style.s(8)
            DialogBlueButton {
                objectName: "upButton"
                implicitWidth: Style.s(44)
                text: "↑"
                onClicked: chooser.up()
            }
            TextField {
                id: pathField
                objectName: "pathField"
                width: pathRow.width - Style.s(52)
                height: Style.s(36)
                selectByMouse: true
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                onTextEdited: list.currentIndex = -1
                onAccepted: chooser.browse(text)
            }
        }
        Rectangle {
            id: frame
            anchors.top: pathRow.bottom
            anchors.topMargin: Style.s(8)
            anchors.bottom: nameRow.top
            anchors.bottomMargin: Style.s(8)
            width: parent.width
            border.color: Style.border
            ListView {
                id: list
                objectName: "entryList"
                anchors.fill: parent
                anchors.margins: 1
                clip: true
                currentIndex: -1
                model: folderModel
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                delegate: Rectangle {
                    objectName: "entry_" + fileName
                    width: list.width
                    height: Style.s(32)
                    color: ListView.isCurrentItem ? Style.crumbColor : (rowHover.containsMouse ? "#F5F8FF" : "transparent")
                    Rectangle {
                        x: Style.s(10)
                        anchors.verticalCenter: parent.verticalCenter
                        width: Style.s(18)
                        height: Style.s(14)
                        radius: 2
                        color: fileIsDir ? "#F2C14E" : "transparent"
                        border.color: fileIsDir ? "#D9A32E" : Style.textGrey
                    }
                    Text {
                        x: Style.s(38)
                        width: parent.width - x - Style.s(8)
                        anchors.verticalCenter: parent.verticalCenter
                        text: fileName
                        textFormat: Text.PlainText
                        elide: Text.ElideMiddle
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSmall
                        color: Style.textDark
                    }
                    MouseArea {
                        id: rowHover
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: chooser.rowClicked(index)
                        onDoubleClicked: chooser.rowOpened(index)
                    }
                }
            }
        }
        Row {
            id: nameRow
            anchors.bottom: buttons.top
            anchors.bottomMargin: chooser.selectFolder ? 0 : Style.s(10)
            width: parent.width
            height: chooser.selectFolder ? 0 : Style.s(36)
            visible: !chooser.selectFolder
            spacing: Style.s(8)
            TextField {
                id: nameField
                objectName: "nameField"
                width: nameRow.width - filterBox.width - Style.s(8)
                height: Style.s(36)
                selectByMouse: true
                placeholderText: qsTr("File name")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                onAccepted: chooser.confirm()
            }
            ComboBox {
                id: filterBox
                objectName: "filterBox"
                width: Style.s(230)
                height: Style.s(36)
                model: chooser.nameFilters
                currentIndex: chooser.selectedFilterIndex
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                onActivated: chooser.filterChosen(index)
            }
        }
        Row {
            id: buttons
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            spacing: Style.s(12)
            DialogBlueButton {
                objectName: "cancelButton"
                text: qsTr("Cancel")
                onClicked: chooser.reject()
            }
            DialogBlueButton {
                objectName: "confirmButton"
                text: chooser.selectFolder ? qsTr("Confirm") : qsTr("Save")
                onClicked: chooser.confirm()
            }
        }
    }
}
