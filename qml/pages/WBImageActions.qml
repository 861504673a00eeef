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
    required property bool kestrix
    // The controller's list operations, or a test's recorder.
    required property var imageOps
    required property ListModel imageModel
    required property int currentIndex
    // Entries of the capture itself (they cannot be deleted), and its folder.
    required property int mCount
    required property string imageSavePath
    required property Item overlayItem
    property Component renameComponent: Component { RenameDialog {} }
    // An entry to show: a camera frame by its number (file ""), or a colour picture by its file
    // (frame -4, the picture item's index for a file).
    signal entryChosen(int index, int frame, string file)
    signal pseudoColorCounted(int delta)
    signal audited(string chinese, string english)
    signal warned(string text)

    // The camera family's twin of each list operation.
    function listClicked(frame) {
        if (kestrix)
            imageOps._WBQIImageListClicked(frame);
        else
            imageOps._WBTSImageListClicked(frame);
    }
    function deleteFrame(frame) {
        if (kestrix)
            imageOps._WBQIDeleteImage(frame);
        else
            imageOps._WBTSDeleteImage(frame);
    }
    function deletePseudoColor(path) {
        if (kestrix)
            imageOps._WBQIDeletePseudoColorImage(path);
        else
            imageOps._WBTSDeletePseudoColorImage(path);
    }
    function mergeFrames(frames) { return kestrix ? imageOps._WBQIMergeImage(frames) : imageOps._WBTSMergeImage(frames) }
    function pseudoColor(frame) { return kestrix ? imageOps._WBQIPseudoColorImage(frame) : imageOps._WBTSPseudoColorImage(frame) }
    function generate() { return kestrix ? imageOps._WBQIGenerateImage() : imageOps._WBTSGenerateImage() }

    function fileNames() {
        var names = [];
        for (var i = 0; i < imageModel.count; ++i)
            names.push(imageModel.get(i).file);
        return names;
    }
    function checkedEntries() {
        var list = [];
        for (var i = 0; i < imageModel.count; ++i) {
            var entry = imageModel.get(i);
            if (entry.marked)
                list.push({ index: i, file: entry.file, path: entry.path });
        }
        return list;
    }
    function uncheckAll() {
        for (var i = 0; i < imageModel.count; ++i)
            imageModel.setProperty(i, "marked", false);
    }
    function selectEntry(index) {
        if (index < 0 || index >= imageModel.count)
            return;
        var file = imageModel.get(index).file;
        entryChosen(index, file === "" ? WB.frameIndex(index, fileNames()) : -4, file);
    }
    // A new picture of the controller, listed with blank parameters and shown.
    function appendResult(name, isFile) {
        if (String(name) === "")
            return;
        imageModel.append({ title: WB.baseName(name), path: String(name), file: isFile ? String(name) : "", bin: -1,
                            exposure: -1, gain: -1, marked: false });
        if (isFile)
            pseudoColorCounted(1);
        selectEntry(imageModel.count - 1);
    }
    function renameSelected() {
        var index = currentIndex;
        if (index < 0)
            return;
        var entry = imageModel.get(index);
        var dialog = renameComponent.createObject(overlayItem, { renameType: 1, originName: WB.baseName(entry.path),
                                                                 mImageSavePath: WB.folderOf(entry.path) });
        dialog.updateNewName.connect(function(newName, folder) { renameEntry(index, folder + newName) });
        dialog.closed.connect(function() { dialog.destroy() });
        dialog.open();
    }
    function renameEntry(index, newPath) {
        var entry = imageModel.get(index);
        var oldPath = entry.path;
        imageOps.updateImageName(EnumOBJ.WB, oldPath, newPath);
        imageModel.setProperty(index, "path", newPath);
        imageModel.setProperty(index, "title", WB.baseName(newPath));
        if (entry.file !== "")
            imageModel.setProperty(index, "file", newPath);
        audited("重命名图片: 旧名: " + WB.baseName(oldPath) + " 新名: " + WB.baseName(newPath),
                "Rename image: Old name: " + WB.baseName(oldPath) + " New name: " + WB.baseName(newPath));
    }
    function deleteChecked() {
        var checked = checkedEntries();
        var refusal = WB.deleteRefusal(checked, mCount);
        if (refusal !== "") {
            warned(refusal === "none" ? qsTr("Please select at least one image!") : qsTr("The original image cannot be deleted!"));
            return;
        }
        audited("点击删除图片", "Delete Image");
        // Last first: every earlier frame number still names the same frame while later ones go.
        for (var i = checked.length - 1; i >= 0; --i) {
            var c = checked[i];
            if (c.file !== "") {
                deletePseudoColor(c.path);
                pseudoColorCounted(-1);
            } else {
                deleteFrame(WB.frameIndex(c.index, fileNames()));
            }
            imageModel.remove(c.index);
        }
        selectEntry(imageModel.count - 1);
    }
    function mergeChecked() {
        var checked = checkedEntries();
        var refusal = WB.mergeRefusal(checked);
        if (refusal !== "") {
            warned(refusal === "two" ? qsTr("Please select two images for merge!")
                   : refusal === "pseudo" ? qsTr("Pseudo color images cannot be selected for merge!")
                   : qsTr("Cannot merge to color Marker!"));
            return;
        }
        audited("合并两张图片", "Merge two images");
        var names = fileNames();
        var merged = mergeFrames([WB.frameIndex(checked[0].index, names), WB.frameIndex(checked[1].index, names)]);
        if (String(merged) !== "")
            uncheckAll();
        appendResult(merged, false);
    }
    function pseudoColorChecked() {
        var checked = checkedEntries();
        var refusal = WB.pseudoColorRefusal(checked);
        if (refusal !== "") {
            warned(refusal === "one" ? qsTr("Please select one images for pseudo color!")
                   : qsTr("Pseudo color images cannot be selected for pseudo color!"));
            return;
        }
        audited("点击伪彩", "Pseudo Clicked");
        appendResult(pseudoColor(WB.frameIndex(checked[0].index, fileNames())), true);
    }
    function pseudoMergeChecked() {
        var checked = checkedEntries();
        if (WB.pseudoMergeRefusal(checked) !== "") {
            warned(qsTr("Please select one pesudo image!"));
            return;
        }
        audited("合并伪彩图片", "Merge pesudo images");
        var merged = imageOps._WBTSPesudoMerge([checked[0].path, checked[1].path]);
        if (String(merged) !== "")
            uncheckAll();
        appendResult(merged, true);
    }
    function generateImage() {
        appendResult(generate(), false);
    }
    function exportSelected() {
        var index = currentIndex;
        if (index < 0)
            return;
        CLJS.showCheckLogin(function() {
            var entry = imageModel.get(index);
            var component = Qt.createComponent("../dialogs/ExportDialog.qml");
            if (component.status !== Component.Ready) {
                console.log("export dialog not available");
                return;
            }
            var dialog = component.createObject(overlayItem, {
                imageSavePath: actions.imageSavePath, curUserName: UserOpts.lastLoginUser, curImageName: WB.baseName(entry.path),
                srcPseudoImageName: entry.file, curBinning: entry.bin === -1 ? "" : entry.bin + "*" + entry.bin,
                curExposure: WB.paramText(entry.exposure, "ms"), curGain: WB.paramText(entry.gain) });
            if (!dialog)
                return;
            dialog.closed.connect(function() { dialog.destroy() });
            dialog.open();
        });
    }
}
