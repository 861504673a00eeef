import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../dialogs"
import "../js/WesternBlot.js" as WB
import "../js/CheckLoginFunctions.js" as CLJS

// What the Western-blot page's image list does: select, rename, delete, merge, pseudo colour,
// pseudo merge, generate and export. Camera frames are addressed by their frame number; colour
// pictures (marker, pseudo colour) by their file.
QtObject {
    id: actions
    property var host
    property Component renameComponent: Component { RenameDialog {} }

    function ops(name) { return host.imageOps[host.cam(name)] }
    function fileNames() {
        var names = [];
        for (var i = 0; i < host.imageModel.count; ++i)
            names.push(host.imageModel.get(i).file);
        return names;
    }
    function checkedEntries() {
        var list = [];
        for (var i = 0; i < host.imageModel.count; ++i) {
            var entry = host.imageModel.get(i);
            if (entry.marked)
                list.push({ index: i, file: entry.file, path: entry.path });
        }
        return list;
    }
    function uncheckAll() {
        for (var i = 0; i < host.imageModel.count; ++i)
            host.imageModel.setProperty(i, "marked", false);
    }
    function selectEntry(index) {
        if (index < 0 || index >= host.imageModel.count)
            return;
        host.imageList.currentIndex = index;
        var entry = host.imageModel.get(index);
        if (entry.file === "") {
            var frame = WB.frameIndex(index, fileNames());
            host.imageItem.imageIndex = frame;
            host.histogramShow = true;
            ops("ImageListClicked")(frame);
        } else {
            host.imageItem.imageName = entry.file;
            host.imageItem.imageIndex = -4;
            host.histogramShow = false;
        }
        host.imageItem.updateImage();
    }
    // A new picture of the controller, listed with blank parameters and shown.
    function appendResult(name, isFile) {
        if (String(name) === "")
            return;
        host.imageModel.append({ title: WB.baseName(name), path: String(name), file: isFile ? String(name) : "", bin: -1,
                                 exposure: -1, gain: -1, marked: false });
        if (isFile)
            ++host.pseudoColorCount;
        selectEntry(host.imageModel.count - 1);
    }
    function renameSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        var entry = host.imageModel.get(index);
        var dialog = renameComponent.createObject(host.overlayItem, { renameType: 1, originName: WB.baseName(entry.path),
                                                                          mImageSavePath: WB.folderOf(entry.path) });
        dialog.updateNewName.connect(function(newName, folder) { renameEntry(index, folder + newName) });
        dialog.closed.connect(function() { dialog.destroy() });
        dialog.open();
    }
    function renameEntry(index, newPath) {
        var entry = host.imageModel.get(index);
        var oldPath = entry.path;
        host.imageOps.updateImageName(EnumOBJ.WB, oldPath, newPath);
        host.imageModel.setProperty(index, "path", newPath);
        host.imageModel.setProperty(index, "title", WB.baseName(newPath));
        if (entry.file !== "")
            host.imageModel.setProperty(index, "file", newPath);
        host.audit("重命名图片: 旧名: " + WB.baseName(oldPath) + " 新名: " + WB.baseName(newPath),
                   "Rename image: Old name: " + WB.baseName(oldPath) + " New name: " + WB.baseName(newPath));
    }
    function deleteChecked() {
        var checked = checkedEntries();
        var refusal = WB.deleteRefusal(checked, host.mCount);
        if (refusal !== "") {
            host.warn(refusal === "none" ? qsTr("Please select at least one image!") : qsTr("The original image cannot be deleted!"));
            return;
        }
        host.audit("点击删除图片", "Delete Image");
        // Last first: every earlier frame number still names the same frame while later ones go.
        for (var i = checked.length - 1; i >= 0; --i) {
            var c = checked[i];
            if (c.file !== "") {
                ops("DeletePseudoColorImage")(c.path);
                --host.pseudoColorCount;
            } else {
                ops("DeleteImage")(WB.frameIndex(c.index, fileNames()));
            }
            host.imageModel.remove(c.index);
        }
        selectEntry(host.imageModel.count - 1);
    }
    function mergeChecked() {
        var checked = checkedEntries();
        var refusal = WB.mergeRefusal(checked);
        if (refusal !== "") {
            host.warn(refusal === "two" ? qsTr("Please select two images for merge!")
                      : refusal === "pseudo" ? qsTr("Pseudo color images cannot be selected for merge!")
                      : qsTr("Cannot merge to color Marker!"));
            return;
        }
        host.audit("合并两张图片", "Merge two images");
        var names = fileNames();
        var merged = ops("MergeImage")([WB.frameIndex(checked[0].index, names), WB.frameIndex(checked[1].index, names)]);
        if (String(merged) !== "")
            uncheckAll();
        appendResult(merged, false);
    }
    function pseudoColorChecked() {
        var checked = checkedEntries();
        var refusal = WB.pseudoColorRefusal(checked);
        if (refusal !== "") {
            host.warn(refusal === "one" ? qsTr("Please select one images for pseudo color!")
                      : qsTr("Pseudo color images cannot be selected for pseudo color!"));
            return;
        }
        host.audit("点击伪彩", "Pseudo Clicked");
        appendResult(ops("PseudoColorImage")(WB.frameIndex(checked[0].index, fileNames())), true);
    }
    function pseudoMergeChecked() {
        var checked = checkedEntries();
        if (WB.pseudoMergeRefusal(checked) !== "") {
            host.warn(qsTr("Please select one pesudo image!"));
            return;
        }
        host.audit("合并伪彩图片", "Merge pesudo images");
        var merged = host.imageOps._WBTSPesudoMerge([checked[0].path, checked[1].path]);
        if (String(merged) !== "")
            uncheckAll();
        appendResult(merged, true);
    }
    function generateImage() {
        appendResult(ops("GenerateImage")(), false);
    }
    function exportSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        CLJS.showCheckLogin(function() {
            var entry = host.imageModel.get(index);
            var component = Qt.createComponent("../dialogs/ExportDialog.qml");
            if (component.status !== Component.Ready) {
                console.log("export dialog not available");
                return;
            }
            var dialog = component.createObject(host.overlayItem, {
                imageSavePath: host.imageSavePath, curUserName: UserOpts.lastLoginUser, curImageName: WB.baseName(entry.path),
                srcPseudoImageName: entry.file, curBinning: entry.bin === -1 ? "" : entry.bin + "*" + entry.bin,
                curExposure: WB.paramText(entry.exposure, "ms"), curGain: WB.paramText(entry.gain) });
            if (!dialog)
                return;
            dialog.closed.connect(function() { dialog.destroy() });
            dialog.open();
        });
    }
}
