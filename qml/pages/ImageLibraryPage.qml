import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "../components"
import "../dialogs"
import "../js/Library.js" as Lib
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/Paths.js" as Paths
import "../js/Popups.js" as Popups
import "../js/Choosers.js" as Choosers
import an.qt.LocalFolders 1.0
import "../js/CheckLoginFunctions.js" as CLJS

// The image library of one mode: experiments by date with their pictures as thumbnails, ticked
// at three levels, and the actions on the ticked pictures. The three library pages are this
// page with their mode's settings.
Rectangle {
    id: page
    color: Style.windowColor

    // Set by each mode's page.
    property int pageMode: EnumOBJ.Gel
    property var auditModule: ATJS.ModuleType.Images_Gel
    property bool gelLabels: false
    property bool fitsWithOrigin: false
    property bool wholeBinning: false
    property string restretchTypes: "gel"
    property bool mergeShown: false
    // The mode's own rename of its current experiment.
    property var renameCurrentExperiment: function(newName, newFolder) {}
    // Where renames and deletions go (the controller; a test may look at the calls).
    property var fileOps: MainCtrl

    property var dateList: []
    property string selectedImageName: ""
    property var selectedImageNameList: []
    property var expNameList: []
    property int selectedDateIndex: 0
    property int selectedExpIndex: 0
    property bool curExpSelected: false
    property bool allChecked: false
    property var loadingDialog: null
    property var progressDialog: null
    readonly property alias dateModel: dateModel
    readonly property alias detailView: detail
    // The thumbnail box (pixels), also the size pictures are decoded at.
    readonly property real thumbWidth: Style.s(150)
    readonly property real thumbHeight: Style.s(112)

    function active() { return MainCtrl.expMode === pageMode }

    function warn(text) {
        return Popups.message(Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false);
    }
    function success(text) {
        return Popups.message(Overlay.overlay, "qrc:/Image/success.png", qsTr("Success"), text, false);
    }
    function audit(chinese, english) { Audit.write(auditModule, chinese, english) }

    // ---- Search and listing
    function resetSearch() {
        userField.text = "";
        expField.text = "";
        var now = new Date();
        beginField.text = Lib.defaultBegin(now);
        endField.text = Lib.defaultEnd(now);
    }
    function updateListView(reset) {
        console.log(objectName + ".updateListView", reset);
        if (reset) {
            detail.close(false);
            resetSearch();
        }
        allChecked = false;
        selectedImageNameList = [];
        expNameList = [];
        selectedImageName = "";
        selectedDateIndex = 0;
        selectedExpIndex = 0;
        curExpSelected = false;
        detail.parameterList = [];
        dateModel.clear();
        dateList = MainCtrl.loadAllDate(pageMode, userField.text, expField.text, beginField.text, endField.text);
        if (dateList.length > 0)
            openLoading();
        for (var i = 0; i < dateList.length; ++i)
            fillDate(i);
    }
    function fillDate(i) {
        var texts = MainCtrl.loadByDate(pageMode, dateList[i], userField.text, expField.text);
        var exps = [];
        var folders = [];
        for (var j = 0; j < texts.length; ++j) {
            var e = Lib.splitExperiment(texts[j]);
            exps.push({ uuid: e.uuid, name: e.name, folder: e.folder, checked: false, shown: true, images: [] });
            folders.push(e.folder);
        }
        dateModel.append({ date: String(dateList[i]), checked: false, folded: false, count: 0, exps: exps });
        MainCtrl.updateImageByISP(i, folders);
    }
    // A report of the listing thread; one of an older search (another folder) is dropped, and
    // so is one of a listing of the same folder still running from a search before (a picture
    // listed twice would tick and untick itself).
    function addThumbnail(curIndex, j, fileName) {
        if (curIndex < 0 || curIndex >= dateModel.count)
            return;
        var exps = dateModel.get(curIndex).exps;
        if (j < 0 || j >= exps.count)
            return;
        var exp = exps.get(j);
        var source = String(fileName);
        if (source.indexOf(exp.folder) !== 0)
            return;
        for (var k = exp.images.count - 1; k >= 0; --k)
            if (exp.images.get(k).source === source)
                return;
        exp.images.append({ source: source, checked: false });
    }
    function openLoading() {
        closeLoading();
        var component = Qt.createComponent("../dialogs/LoadingDialog.qml");
        loadingDialog = component.createObject(Overlay.overlay, { text: qsTr("Loading...") });
        if (loadingDialog)
            loadingDialog.open();
    }
    function closeLoading() {
        if (loadingDialog) {
            loadingDialog.close();
            loadingDialog.destroy();
            loadingDialog = null;
        }
    }
    function fold() {
        for (var i = 0; i < dateModel.count; ++i)
            dateModel.setProperty(i, "folded", true);
    }

    // ---- Selection
    function setThumbs(exp, value) {
        for (var k = 0; k < exp.images.count; ++k)
            exp.images.setProperty(k, "checked", value);
    }
    function checkAll(value) {
        allChecked = value;
        for (var i = 0; i < dateModel.count; ++i)
            checkDate(i, value);
        allChecked = value;
    }
    function checkDate(i, value) {
        var row = dateModel.get(i);
        dateModel.setProperty(i, "checked", value);
        for (var j = 0; j < row.exps.count; ++j) {
            row.exps.setProperty(j, "checked", value);
            setThumbs(row.exps.get(j), value);
        }
        if (!value)
            allChecked = false;
        recount(i);
    }
    function checkExp(i, j, value) {
        var exps = dateModel.get(i).exps;
        exps.setProperty(j, "checked", value);
        setThumbs(exps.get(j), value);
        if (!value) {
            dateModel.setProperty(i, "checked", false);
            allChecked = false;
        }
        recount(i);
    }
    function toggleThumb(i, j, k) {
        var exps = dateModel.get(i).exps;
        var images = exps.get(j).images;
        var value = !images.get(k).checked;
        images.setProperty(k, "checked", value);
        if (!value) {
            exps.setProperty(j, "checked", false);
            dateModel.setProperty(i, "checked", false);
            allChecked = false;
        }
        recount(i);
    }
    function recount(i) {
        var list = selectedImageNameList.slice();
        var names = expNameList.slice();
        var exps = dateModel.get(i).exps;
        var count = 0;
        for (var j = 0; j < exps.count; ++j) {
            var exp = exps.get(j);
            var ticked = false;
            for (var k = 0; k < exp.images.count; ++k) {
                var image = exp.images.get(k);
                var at = list.indexOf(image.source);
                if (image.checked) {
                    if (at < 0)
                        list.push(image.source);
                    selectedImageName = image.source;
                    selectedDateIndex = i;
                    selectedExpIndex = j;
                    ticked = true;
                    ++count;
                } else if (at >= 0) {
                    list.splice(at, 1);
                }
            }
            if (exp.name === MainCtrl.curExpName)
                curExpSelected = ticked;
            var named = names.indexOf(exp.name);
            if (exp.checked && named < 0)
                names.push(exp.name);
            else if (!exp.checked && named >= 0)
                names.splice(named, 1);
        }
        dateModel.setProperty(i, "count", count);
        selectedImageNameList = list;
        expNameList = names;
    }

    // A second click within 300 ms opens the picture instead of ticking it again.
    property string lastClickSource: ""
    property double lastClickTime: 0
    function thumbClicked(i, j, k) {
        var source = dateModel.get(i).exps.get(j).images.get(k).source;
        var now = Date.now();
        if (source === lastClickSource && now - lastClickTime < 300) {
            lastClickSource = "";
            if (AuthorityComponent.authImageDetail)
                detail.openImage(source, i, j);
            return;
        }
        lastClickSource = source;
        lastClickTime = now;
        toggleThumb(i, j, k);
    }

    // ---- Actions
    function selectedCount() { return selectedImageNameList.length }
    function exportStart() {
        CLJS.showCheckLogin(function() {
            var message = Lib.exportCountMessage(selectedCount());
            if (message !== "") {
                warn(qsTranslate("ImageLibraryPage", message));
                return;
            }
            Choosers.open(makeFolderChooser(), function(path) { page.exportFolderChosen(path) });
        });
    }
    function makeFolderChooser() {
        return Choosers.make(page.Overlay.overlay, { selectFolder: true, folder: exportFolder() });
    }
    function exportFolder() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        var folder = UserOpts.exportPath;
        return folder !== "" ? folder : LocalFolders.desktop();
    }
    // Targets of the running batch export that could not be written.
    property var exportFailures: []
    // The batch export into the folder chosen (a URL or a path).
    function exportFolderChosen(folderUrl) {
        var selection = selectedImageNameList.slice();
        var folder = Paths.urlToLocalPath(folderUrl);
        var component = Qt.createComponent("../dialogs/ExportProcessDialog.qml");
        var dialog = component.createObject(Overlay.overlay, { totalExport: selection.length });
        progressDialog = dialog;
        exportFailures = [];
        dialog.rejected.connect(function() { MainCtrl.setExportFlag(true) });
        dialog.accepted.connect(function() { page.exportDone(folder, selection.length) });
        dialog.closed.connect(function() {
            if (page.progressDialog === dialog)
                page.progressDialog = null;
            dialog.destroy();
        });
        dialog.open();
        MainCtrl.exportImage(selection, Paths.localPathToUrl(folder));
        UserOpts.exportPath = folder;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ExportPath);
    }
    // Success only when every picture was written; else what failed, and the failure recorded.
    function exportDone(folder, total) {
        var failed = exportFailures;
        exportFailures = [];
        if (failed.length === 0) {
            audit("图片导出: " + folder, "Images export: " + folder);
            page.success(qsTr("Export success!"));
            return;
        }
        audit("图片导出失败: " + folder + " (" + failed.length + "/" + total + ")",
              "Images export failed: " + folder + " (" + failed.length + "/" + total + ")");
        var shown = failed.slice(0, 3).join("\n") + (failed.length > 3 ? "\n..." : "");
        Popups.message(Overlay.overlay, "qrc:/Image/error.png", qsTr("Error"),
                       qsTr("Export failed: %1 of %2 images could not be written:").arg(failed.length).arg(total) + "\n" + shown, false, 260);
    }
    function renameStart() {
        if (selectedCount() === 0) {
            warn(qsTr("Please select at least one image!"));
            return;
        }
        if (selectedCount() === 1) {
            var path = selectedImageNameList[0];
            var one = openRename(1, Lib.baseName(Lib.nameOf(path)), Lib.folderOf(path), []);
            one.updateNewName.connect(function(newName, folder) {
                page.renameImage(folder, Lib.nameOf(path), newName);
                page.updateListView(false);
            });
            return;
        }
        var several = openRename(2, "", "", selectedImageNameList.slice());
        several.multiUpdateNewName.connect(function(oldName, newName, folder) { page.renameImage(folder, oldName, newName) });
        several.multiupdateFinished.connect(function() { page.updateListView(false) });
    }
    // False when the file could not be renamed: the operator is told, nothing changed.
    function renameImage(folder, oldName, newName) {
        if (fileOps.updateImageName(pageMode, folder + oldName, folder + newName) === false) {
            warn(qsTr("The image could not be renamed: %1").arg(oldName));
            return false;
        }
        audit("重命名图片: 旧名: " + oldName + " 新名: " + newName, "Rename image: Old name: " + oldName + " New name: " + newName);
        return true;
    }
    function openRename(type, originName, folder, list) {
        var component = Qt.createComponent("../dialogs/RenameDialog.qml");
        var dialog = component.createObject(Overlay.overlay, { renameType: type, originName: originName,
                                                               mImageSavePath: folder, selectedImageNameList: list });
        dialog.closed.connect(function() { dialog.destroy() });
        dialog.open();
        return dialog;
    }
    function detailStart() {
        if (selectedCount() !== 1) {
            warn(qsTr("Please select one image!"));
            return;
        }
        detail.openImage(selectedImageNameList[0], selectedDateIndex, selectedExpIndex);
    }
    function editStart() {
        if (selectedCount() !== 1) {
            warn(qsTr("Please select one image!"));
            return;
        }
        if (!MainCtrl.imagePageEdit(selectedImageNameList[0]))
            warn(qsTr("The image-analysis program is missing or could not be started."));
    }
    function deleteStart() {
        if (selectedCount() === 0) {
            warn(qsTr("Please select at least one image!"));
            return;
        }
        if (curExpSelected) {
            warn(qsTr("The image of current experiment can't be deleted!"));
            return;
        }
        var question = Popups.message(Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"),
                                      qsTr("Image files are also deleted and cannot be restored, confirm delete?"), true);
        if (question)
            question.accepted.connect(function() { CLJS.showCheckLogin(page.deleteSelected) });
    }
    // The audit rows say what the deletion did, once it has ended.
    property bool deletionPending: false
    function deleteSelected() {
        var selection = selectedImageNameList.slice();
        deletionPending = true;
        fileOps.deleteFilesAndExps(pageMode, selection);
    }
    function auditDeletion(done) {
        if (done.deleted && done.deleted.length > 0)
            audit("图片删除: " + done.deleted, "Images delete: " + done.deleted);
        if (done.experiments && done.experiments.length > 0)
            audit("删除无图像实验: " + done.experiments, "Experiments without images delete: " + done.experiments);
        if (done.failed && done.failed.length > 0)
            audit("图片删除失败: " + done.failed, "Images delete failed: " + done.failed);
    }
    function mergeStart() {
        if (selectedCount() !== 2) {
            warn(qsTr("Please select two images for merge!"));
            return;
        }
        detail.mergeImages(selectedImageNameList.slice());
    }
    function renameExperiment(i, j, newName) {
        var exps = dateModel.get(i).exps;
        var exp = exps.get(j);
        var oldName = exp.name;
        var oldFolder = exp.folder;
        var newFolder = LocalFolders.renamedExperimentFolder(oldFolder, newName);
        if (newFolder === "" || fileOps.updateNameAndImgSavePathByUuid(pageMode, exp.uuid, newName, oldFolder, newFolder) === false) {
            warn(qsTr("The experiment could not be renamed: %1").arg(oldName));
            return;
        }
        var kept = [];
        for (var s = 0; s < selectedImageNameList.length; ++s)
            if (selectedImageNameList[s].indexOf(oldFolder) !== 0)
                kept.push(selectedImageNameList[s]);
        selectedImageNameList = kept;
        exps.setProperty(j, "name", newName);
        exps.setProperty(j, "checked", false);
        exps.setProperty(j, "folder", newFolder);
        reloadThumbnails(i, j);
        if (i === 0 && j === 0)
            renameCurrentExperiment(newName, newFolder);
        audit("重命名实验: 旧名: " + oldName + " 新名: " + newName, "Rename experiment: Old name: " + oldName + " New name: " + newName);
    }
    // The strip lists its folder again; pictures still selected keep their tick.
    function reloadThumbnails(i, j) {
        var exp = dateModel.get(i).exps.get(j);
        exp.images.clear();
        var names = MainCtrl.getDirFilesName(exp.folder);
        for (var n = 0; n < names.length; ++n) {
            var source = exp.folder + names[n];
            exp.images.append({ source: source, checked: names[n] !== "" && selectedImageNameList.indexOf(source) >= 0 });
        }
        recount(i);
    }
    // A picture renamed in the detail view stays selected under its new path.
    function imageRenamed(oldPath, newPath) {
        var at = selectedImageNameList.indexOf(oldPath);
        if (at >= 0) {
            var list = selectedImageNameList.slice();
            list[at] = newPath;
            selectedImageNameList = list;
        }
        if (selectedImageName === oldPath)
            selectedImageName = newPath;
        if (lastClickSource === oldPath)
            lastClickSource = newPath;
    }

    Component.onCompleted: resetSearch()

    Connections {
        target: MainCtrl
        function onUpdateListView(curIndex, j, fileName) {
            if (page.active())
                page.addThumbnail(curIndex, j, fileName);
        }
        function onCloseLoadingDialog(index) {
            if (page.active() && index === page.dateModel.count - 1)
                page.closeLoading();
        }
        function onDeleteFinished() {
            if (page.deletionPending) {
                page.deletionPending = false;
                page.auditDeletion(page.fileOps.lastDeletion());
            }
            if (page.active())
                page.updateListView(true);
        }
        function onSig_exportCount(curIndex, totalNum) {
            if (page.active() && page.progressDialog)
                page.progressDialog.updateValue(curIndex, totalNum);
        }
        function onSig_exportFailed(target) {
            if (page.active() && page.progressDialog)
                page.exportFailures = page.exportFailures.concat([target]);
        }
        function onSig_exportBreak() {
            if (page.active() && page.progressDialog)
                page.progressDialog.close();
        }
    }

    DateSelector {
        id: picker
        parent: page
        property var field: null
        onAccepted: if (field) field.text = getSelectDate()
        onClearTextSignal: if (field) field.text = ""
    }
    function openPicker(field) {
        picker.field = field;
        var point = field.mapToItem(page, 0, field.height);
        picker.x = Math.min(point.x, page.width - picker.width);
        picker.y = point.y + Style.s(4);
        picker.updateSpecifiedDate(field.text);
        picker.open();
    }

    LibraryToolBar { id: toolBar; page: page }
    property alias userField: toolBar.userField
    property alias expField: toolBar.expField
    property alias beginField: toolBar.beginField
    property alias endField: toolBar.endField

    LibraryList {
        id: list
        page: page
        anchors.top: toolBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(12)
    }
    ListModel { id: dateModel }

    ImageDetailView {
        id: detail
        page: page
        anchors.fill: parent
        visible: false
    }
}
