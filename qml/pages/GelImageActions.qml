import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../dialogs"
import "../js/GelCapture.js" as Gel
import "../js/MultCapture.js" as Mult
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// What a capture page's image list does: select, rename, delete, export, edit, generate, and
// the gel page's blue dye or the multi-fluorescence page's staining and merge (host.multMode).
QtObject {
    id: actions
    property var host
    readonly property bool multMode: host.multMode === true
    property Component renameComponent: Component { RenameDialog {} }

    function updateCurImageName(path) {
        if (multMode)
            host.imageOps._MultUpdateCurImageName(path);
        else
            host.imageOps._GelUpdateCurImageName(path);
    }
    // The list entries as the page's rules read them.
    function entries() {
        var list = [];
        for (var i = 0; i < host.imageModel.count; ++i) {
            var entry = host.imageModel.get(i);
            list.push({ file: entry.file, exposure: entry.exposure, bin: entry.bin, marked: entry.marked });
        }
        return list;
    }
    function appendFile(name, bin) {
        host.imageModel.append({ title: Gel.baseName(name), path: name, file: name, bin: bin, exposure: -1, gain: -1, marked: false });
        host.fileEntryAdded();
        selectEntry(host.imageModel.count - 1);
    }

    // ---- image list ------------------------------------------------------------------------
    function fileNames() {
        var names = [];
        for (var i = 0; i < host.imageModel.count; ++i)
            names.push(host.imageModel.get(i).file);
        return names;
    }
    function selectEntry(index) {
        if (index < 0 || index >= host.imageModel.count)
            return;
        host.imageList.currentIndex = index;
        var entry = host.imageModel.get(index);
        if (entry.file === "") {
            var frame = Gel.frameIndex(index, fileNames());
            host.imageItem.imageIndex = frame;
            host.histogramShow = true;
            if (multMode)
                MainCtrl._MultTSImageListClicked(frame);
            else
                MainCtrl._GelTSImageListClicked(frame);
        } else {
            host.imageItem.imageName = entry.file;
            host.imageItem.imageIndex = -4;
            host.histogramShow = false;
        }
        host.imageItem.updateImage();
    }
    function checkedIndexes() {
        var list = [];
        for (var i = 0; i < host.imageModel.count; ++i)
            if (host.imageModel.get(i).marked)
                list.push(i);
        return list;
    }
    function renameSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        var entry = host.imageModel.get(index);
        var dialog = renameComponent.createObject(host.overlayItem, { renameType: 1, originName: Gel.baseName(entry.path),
                                                                          mImageSavePath: Gel.folderOf(entry.path) });
        dialog.updateNewName.connect(function(newName, folder) { renameEntry(index, folder + newName) });
        dialog.closed.connect(function() { dialog.destroy() });
        dialog.open();
    }
    function renameEntry(index, newPath) {
        var entry = host.imageModel.get(index);
        var oldPath = entry.path;
        if (host.imageOps.updateImageName(multMode ? EnumOBJ.Mult : EnumOBJ.Gel, oldPath, newPath) === false) {
            host.message(qsTr("Warning"), qsTr("The image could not be renamed: %1").arg(Gel.baseName(oldPath)));
            return;
        }
        host.imageModel.setProperty(index, "path", newPath);
        host.imageModel.setProperty(index, "title", Gel.baseName(newPath));
        if (entry.file !== "")
            host.imageModel.setProperty(index, "file", newPath);
        host.audit("重命名图片: 旧名: " + Gel.baseName(oldPath) + " 新名: " + Gel.baseName(newPath),
              "Rename image: Old name: " + Gel.baseName(oldPath) + " New name: " + Gel.baseName(newPath));
    }
    function deleteChecked() {
        if (multMode) {
            deleteCheckedMult();
            return;
        }
        var list = checkedIndexes();
        if (list.indexOf(0) >= 0) {
            host.message(qsTr("Warning"), qsTr("The first image cannot be deleted!"));
            return;
        }
        if (list.length === 0) {
            host.message(qsTr("Warning"), qsTr("Please select at least one image!"));
            return;
        }
        // Frames by their frame number, files by their path; last first, so that every frame
        // number still names the same frame while later ones go.
        list.reverse();
        var names = fileNames();
        var entries = [];
        for (var i = 0; i < list.length; ++i)
            entries.push(names[list[i]] !== "" ? names[list[i]] : Gel.frameIndex(list[i], names));
        for (var k = 0; k < list.length; ++k) {
            if (names[list[k]] !== "")
                --host.pseudoColorCount;
            host.imageModel.remove(list[k]);
        }
        host.imageOps._GelTSDeleteImage(entries);
        selectEntry(host.imageModel.count - 1);
    }
    function exportSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        // The gel page asks for the signature first; the multi-fluorescence page does not.
        var run = function() {
            var entry = host.imageModel.get(index);
            updateCurImageName(entry.path);
            var component = Qt.createComponent("../dialogs/ExportDialog.qml");
            if (component.status !== Component.Ready) {
                console.log("export dialog not available");
                return;
            }
            var dialog = component.createObject(host.overlayItem, {
                imageSavePath: host.imageSavePath, curUserName: UserOpts.lastLoginUser, curImageName: Gel.baseName(entry.path),
                curBinning: Gel.binningText(entry.bin), curExposure: Gel.exposureText(entry.exposure), curGain: Gel.gainText(entry.gain) });
            if (!dialog)
                return;
            dialog.closed.connect(function() { dialog.destroy() });
            dialog.exportFinished.connect(function() {
                Popups.message(host.overlayItem, "qrc:/Image/success.png", qsTr("Success"), qsTr("Export success!"), false);
            });
            dialog.open();
        };
        if (multMode)
            run();
        else
            CLJS.showCheckLogin(run);
    }
    function editSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        var path = host.imageModel.get(index).path;
        updateCurImageName(path);
        host.imageOps.imageEdit(path, UserOpts.lastLoginUser);
    }
    function generateImage() {
        var name = multMode ? MainCtrl._MultTSGenerateImage() : MainCtrl._GelTsGenerateImage();
        if (name === "")
            return;
        var entry = host.imageModel.get(Math.max(0, host.imageList.currentIndex));
        host.imageModel.append({ title: Gel.baseName(name), path: name, file: "", bin: entry ? entry.bin : -1,
                            exposure: -1, gain: -1, marked: false });
        selectEntry(host.imageModel.count - 1);
    }
    function stainChecked() {
        var list = checkedIndexes();
        if (list.length !== 1) {
            host.message(qsTr("Warning"), qsTr("Please select one image for staining!"));
            return;
        }
        var name = MainCtrl._GelTSDyeBlue(host.imageModel.get(list[0]).path);
        if (name === "")
            return;
        host.imageModel.append({ title: Gel.baseName(name), path: name, file: name, bin: -1, exposure: -1, gain: -1, marked: false });
        ++host.pseudoColorCount;
        selectEntry(host.imageModel.count - 1);
    }

    // Multi-fluorescence: captured frames stay; generated frames and files go, last first.
    function deleteCheckedMult() {
        var plan = Mult.deletePlan(entries());
        if (plan.error === "original") {
            host.message(qsTr("Warning"), qsTr("The original image cannot be deleted!"));
            return;
        }
        if (plan.error === "none") {
            host.message(qsTr("Warning"), qsTr("Please select at least one image!"));
            return;
        }
        for (var i = 0; i < plan.calls.length; ++i) {
            var call = plan.calls[i];
            if (call.file !== undefined) {
                host.imageOps._MultTSDeleteColorAMergeImage(call.file);
                host.fileEntryRemoved();
            } else {
                host.imageOps._MultTSDeleteImage(call.frame);
            }
            host.imageModel.remove(call.index);
        }
        if (host.imageModel.count > 0)
            selectEntry(host.imageModel.count - 1);
        host.audit("点击删除图片", "Delete Image");
    }
    function stainCheckedWith(colour) {
        var list = checkedIndexes();
        if (list.length !== 1) {
            host.message(qsTr("Warning"), qsTr("Please select one image for staining!"));
            return;
        }
        var source = host.imageModel.get(list[0]);
        var stain = Mult.stainColours[colour];
        var name = host.imageOps._MultTSStaining(stain.value, source.path);
        host.audit(stain.zh, stain.en);
        if (name === "")
            return;
        appendFile(name, source.bin);
    }
    function mergeChecked() {
        var plan = Mult.mergePlan(entries());
        if (plan.error === "binning") {
            host.message(qsTr("Warning"), qsTr("Please select images with the same binning for merge!"));
            return;
        }
        if (plan.error === "count") {
            host.message(qsTr("Warning"), qsTr("Please select 2 to 5 images for merge!"));
            return;
        }
        var files = [];
        for (var i = 0; i < plan.indexes.length; ++i)
            files.push(host.imageModel.get(plan.indexes[i]).path);
        var name = host.imageOps._MultTSMergeImage(files);
        host.audit("合并两张图片", "Merge two images");
        if (name === "")
            return;
        for (var k = 0; k < host.imageModel.count; ++k)
            host.imageModel.setProperty(k, "marked", false);
        appendFile(name, host.imageModel.get(plan.indexes[0]).bin);
    }
}
