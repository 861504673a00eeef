import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../dialogs"
import "../js/GelCapture.js" as Gel
import "../js/CheckLoginFunctions.js" as CLJS

// What the gel page's image list does: select, rename, delete, export, edit, generate, stain.
QtObject {
    id: actions
    property var host
    property Component renameComponent: Component { RenameDialog {} }

    // ---- image list ------------------------------------------------------------------------
    function fileNames() {
        var names = [];
        for (var i = 0; i < host.imageModel.count; ++i)
            names.push(host.imageModel.get(i).file);
        return names;
    }
    function selectEntry(index) {
        host.imageList.currentIndex = index;
        var entry = host.imageModel.get(index);
        if (entry.file === "") {
            host.imageItem.imageIndex = -2;
            host.histogramShow = true;
            MainCtrl._GelTSImageListClicked(Gel.frameIndex(index, fileNames()));
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
        if (host.imageOps.updateImageName(EnumOBJ.Gel, oldPath, newPath) === false) {
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
        var list = checkedIndexes();
        if (list.indexOf(0) >= 0) {
            host.message(qsTr("Warning"), qsTr("The first image cannot be deleted!"));
            return;
        }
        if (list.length === 0) {
            host.message(qsTr("Warning"), qsTr("Please select at least one image!"));
            return;
        }
        // Last first, so that every index still names the same image while earlier ones go.
        list.reverse();
        for (var i = 0; i < list.length; ++i) {
            if (host.imageModel.get(list[i]).file !== "")
                --host.pseudoColorCount;
            host.imageModel.remove(list[i]);
        }
        host.imageOps._GelTSDeleteImage(list);
        selectEntry(host.imageModel.count - 1);
    }
    function exportSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        CLJS.showCheckLogin(function() {
            var entry = host.imageModel.get(index);
            host.imageOps._GelUpdateCurImageName(entry.path);
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
            dialog.open();
        });
    }
    function editSelected() {
        var index = host.imageList.currentIndex;
        if (index < 0)
            return;
        var path = host.imageModel.get(index).path;
        host.imageOps._GelUpdateCurImageName(path);
        host.imageOps.imageEdit(path, UserOpts.lastLoginUser);
    }
    function generateImage() {
        var name = MainCtrl._GelTsGenerateImage();
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
}
