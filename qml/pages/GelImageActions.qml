import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import an.qt.ImagePaintedItem 1.0
import "../dialogs"
import "../js/GelCapture.js" as Gel
import "../js/MultCapture.js" as Mult
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// What a capture page's image list does: select, rename, delete, export, edit, generate, and
// the gel page's blue dye or the multi-fluorescence page's staining and merge (multMode).
QtObject {
    id: actions
    required property bool multMode
    // The list's entries (added, renamed and removed here), the list and the picture showing one.
    required property ListModel imageModel
    required property ListView imageList
    required property ImagePaintedItem imageItem
    // Where the pop-ups open, and the capture's folder the export starts in.
    required property Item overlayItem
    required property string imageSavePath
    // A recorder a test puts in the controller's place; null: the controller.
    required property var imageOps
    // The shown entry is a camera frame (its histogram applies) or a file.
    signal histogramShown(bool shown)
    // File entries (dyed, stained, merged) came, or went (a negative count).
    signal filesAdded(int count)
    signal warning(string text)
    signal audited(string chinese, string english)

    property Component renameComponent: Component { RenameDialog {} }
    // The controller's list operations, spelled out.
    readonly property var controller: ({
        updateImageName: function(mode, oldPath, newPath) { return MainCtrl.updateImageName(mode, oldPath, newPath) },
        imageEdit: function(path, user) { MainCtrl.imageEdit(path, user) },
        _GelUpdateCurImageName: function(path) { MainCtrl._GelUpdateCurImageName(path) },
        _MultUpdateCurImageName: function(path) { MainCtrl._MultUpdateCurImageName(path) },
        _GelTSDeleteImage: function(entries) { MainCtrl._GelTSDeleteImage(entries) },
        _MultTSDeleteImage: function(frame) { MainCtrl._MultTSDeleteImage(frame) },
        _MultTSDeleteColorAMergeImage: function(path) { MainCtrl._MultTSDeleteColorAMergeImage(path) },
        _MultTSStaining: function(colour, path) { return MainCtrl._MultTSStaining(colour, path) },
        _MultTSMergeImage: function(paths) { return MainCtrl._MultTSMergeImage(paths) }
    })
    function ops() { return imageOps ? imageOps : controller }

    function updateCurImageName(path) {
        if (multMode)
            ops()._MultUpdateCurImageName(path);
        else
            ops()._GelUpdateCurImageName(path);
    }
    // The list entries as the page's rules read them.
    function entries() {
        var list = [];
        for (var i = 0; i < imageModel.count; ++i) {
            var entry = imageModel.get(i);
            list.push({ file: entry.file, exposure: entry.exposure, bin: entry.bin, marked: entry.marked });
        }
        return list;
    }
    function appendFile(name, bin) {
        imageModel.append({ title: Gel.baseName(name), path: name, file: name, bin: bin, exposure: -1, gain: -1, marked: false });
        filesAdded(1);
        selectEntry(imageModel.count - 1);
    }

    // ---- image list ------------------------------------------------------------------------
    // A frame the capture took: listed, chosen, and shown as the controller stretches it.
    function addFrame(imageName, bin, exposure, gain) {
        imageModel.append({ title: Gel.baseName(imageName), path: String(imageName), file: "", bin: bin, exposure: exposure,
                            gain: gain, marked: false });
        imageList.currentIndex = imageModel.count - 1;
        imageItem.imageIndex = Gel.frameIndex(imageModel.count - 1, fileNames());
    }
    // The gel capture's colour marker: a file, shown at once.
    function addMarker(imageName) {
        imageModel.append({ title: Gel.baseName(imageName), path: String(imageName), file: String(imageName), bin: -1,
                            exposure: -1, gain: -1, marked: false });
        imageItem.imageName = imageName;
        imageItem.imageIndex = -4;
        imageItem.updateImage();
        filesAdded(1);
    }
    function fileNames() {
        var names = [];
        for (var i = 0; i < imageModel.count; ++i)
            names.push(imageModel.get(i).file);
        return names;
    }
    function selectEntry(index) {
        if (index < 0 || index >= imageModel.count)
            return;
        imageList.currentIndex = index;
        var entry = imageModel.get(index);
        if (entry.file === "") {
            var frame = Gel.frameIndex(index, fileNames());
            imageItem.imageIndex = frame;
            histogramShown(true);
            if (multMode)
                MainCtrl._MultTSImageListClicked(frame);
            else
                MainCtrl._GelTSImageListClicked(frame);
        } else {
            imageItem.imageName = entry.file;
            imageItem.imageIndex = -4;
            histogramShown(false);
        }
        imageItem.updateImage();
    }
    function checkedIndexes() {
        var list = [];
        for (var i = 0; i < imageModel.count; ++i)
            if (imageModel.get(i).marked)
                list.push(i);
        return list;
    }
    function renameSelected() {
        var index = imageList.currentIndex;
        if (index < 0)
            return;
        var entry = imageModel.get(index);
        var dialog = renameComponent.createObject(overlayItem, { renameType: 1, originName: Gel.baseName(entry.path),
                                                                          mImageSavePath: Gel.folderOf(entry.path) });
        dialog.updateNewName.connect(function(newName, folder) { renameEntry(index, folder + newName) });
        dialog.closed.connect(function() { dialog.destroy() });
        dialog.open();
    }
    function renameEntry(index, newPath) {
        var entry = imageModel.get(index);
        var oldPath = entry.path;
        if (ops().updateImageName(multMode ? EnumOBJ.Mult : EnumOBJ.Gel, oldPath, newPath) === false) {
            warning(qsTr("The image could not be renamed: %1").arg(Gel.baseName(oldPath)));
            return;
        }
        imageModel.setProperty(index, "path", newPath);
        imageModel.setProperty(index, "title", Gel.baseName(newPath));
        if (entry.file !== "")
            imageModel.setProperty(index, "file", newPath);
        audited("重命名图片: 旧名: " + Gel.baseName(oldPath) + " 新名: " + Gel.baseName(newPath),
                "Rename image: Old name: " + Gel.baseName(oldPath) + " New name: " + Gel.baseName(newPath));
    }
    function deleteChecked() {
        if (multMode) {
            deleteCheckedMult();
            return;
        }
        var list = checkedIndexes();
        if (list.indexOf(0) >= 0) {
            warning(qsTr("The first image cannot be deleted!"));
            return;
        }
        if (list.length === 0) {
            warning(qsTr("Please select at least one image!"));
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
                filesAdded(-1);
            imageModel.remove(list[k]);
        }
        ops()._GelTSDeleteImage(entries);
        selectEntry(imageModel.count - 1);
    }
    function exportSelected() {
        var index = imageList.currentIndex;
        if (index < 0)
            return;
        // The gel page asks for the signature first; the multi-fluorescence page does not.
        var run = function() {
            var entry = imageModel.get(index);
            updateCurImageName(entry.path);
            var component = Qt.createComponent("../dialogs/ExportDialog.qml");
            if (component.status !== Component.Ready) {
                console.log("export dialog not available");
                return;
            }
            var dialog = component.createObject(overlayItem, {
                imageSavePath: imageSavePath, curUserName: UserOpts.lastLoginUser, curImageName: Gel.baseName(entry.path),
                curBinning: Gel.binningText(entry.bin), curExposure: Gel.exposureText(entry.exposure), curGain: Gel.gainText(entry.gain) });
            if (!dialog)
                return;
            dialog.closed.connect(function() { dialog.destroy() });
            dialog.exportFinished.connect(function() {
                Popups.message(overlayItem, "qrc:/Image/success.png", qsTr("Success"), qsTr("Export success!"), false);
            });
            dialog.open();
        };
        if (multMode)
            run();
        else
            CLJS.showCheckLogin(run);
    }
    function editSelected() {
        var index = imageList.currentIndex;
        if (index < 0)
            return;
        var path = imageModel.get(index).path;
        updateCurImageName(path);
        ops().imageEdit(path, UserOpts.lastLoginUser);
    }
    function generateImage() {
        var name = multMode ? MainCtrl._MultTSGenerateImage() : MainCtrl._GelTsGenerateImage();
        if (name === "")
            return;
        var entry = imageModel.get(Math.max(0, imageList.currentIndex));
        imageModel.append({ title: Gel.baseName(name), path: name, file: "", bin: entry ? entry.bin : -1,
                            exposure: -1, gain: -1, marked: false });
        selectEntry(imageModel.count - 1);
    }
    function stainChecked() {
        var list = checkedIndexes();
        if (list.length !== 1) {
            warning(qsTr("Please select one image for staining!"));
            return;
        }
        var name = MainCtrl._GelTSDyeBlue(imageModel.get(list[0]).path);
        if (name === "")
            return;
        imageModel.append({ title: Gel.baseName(name), path: name, file: name, bin: -1, exposure: -1, gain: -1, marked: false });
        filesAdded(1);
        selectEntry(imageModel.count - 1);
    }

    // Multi-fluorescence: captured frames stay; generated frames and files go, last first.
    function deleteCheckedMult() {
        var plan = Mult.deletePlan(entries());
        if (plan.error === "original") {
            warning(qsTr("The original image cannot be deleted!"));
            return;
        }
        if (plan.error === "none") {
            warning(qsTr("Please select at least one image!"));
            return;
        }
        for (var i = 0; i < plan.calls.length; ++i) {
            var call = plan.calls[i];
            if (call.file !== undefined) {
                ops()._MultTSDeleteColorAMergeImage(call.file);
                filesAdded(-1);
            } else {
                ops()._MultTSDeleteImage(call.frame);
            }
            imageModel.remove(call.index);
        }
        if (imageModel.count > 0)
            selectEntry(imageModel.count - 1);
        audited("点击删除图片", "Delete Image");
    }
    function stainCheckedWith(colour) {
        var list = checkedIndexes();
        if (list.length !== 1) {
            warning(qsTr("Please select one image for staining!"));
            return;
        }
        var source = imageModel.get(list[0]);
        var stain = Mult.stainColours[colour];
        var name = ops()._MultTSStaining(stain.value, source.path);
        audited(stain.zh, stain.en);
        if (name === "")
            return;
        appendFile(name, source.bin);
    }
    function mergeChecked() {
        var plan = Mult.mergePlan(entries());
        if (plan.error === "binning") {
            warning(qsTr("Please select images with the same binning for merge!"));
            return;
        }
        if (plan.error === "count") {
            warning(qsTr("Please select 2 to 5 images for merge!"));
            return;
        }
        var files = [];
        for (var i = 0; i < plan.indexes.length; ++i)
            files.push(imageModel.get(plan.indexes[i]).path);
        var name = ops()._MultTSMergeImage(files);
        audited("合并两张图片", "Merge two images");
        if (name === "")
            return;
        for (var k = 0; k < imageModel.count; ++k)
            imageModel.setProperty(k, "marked", false);
        appendFile(name, imageModel.get(plan.indexes[0]).bin);
    }
}
