import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/Library.js" as Lib

// Pictures of the image library for people to look at: each library page with thumbnails, the
// detail view, the export dialog, the batch export's progress and a refused rename, in Chinese and English, at
// scale 1.0 and 1.2, 1280 x 800, into build/screens.
ShellTestCase {
    name: "LibraryScreens"
    property var window: null

    function setUpFile() {
        window = makeWindow(true);
        var today = Lib.defaultEnd(new Date());
        var yesterday = Lib.dateText(new Date(new Date().getFullYear(), new Date().getMonth(), new Date().getDate() - 1));
        var modes = [EnumOBJ.Gel, EnumOBJ.WB, EnumOBJ.Mult];
        for (var m = 0; m < modes.length; ++m) {
            testProbe.addExperiment(modes[m], today, "Sample-" + m, 9, 640, 480);
            testProbe.addExperiment(modes[m], today, "Control-" + m, 3, 640, 480);
            testProbe.addExperiment(modes[m], yesterday, "Earlier-" + m, 4, 640, 480);
        }
    }
    function tearDownFile() {
        applyLanguage(UserOpts.Chinese);
        window.destroy();
        testProbe.setScaleRatio(1.0);
    }

    function shoot(prefix, name) {
        settle(window.contentItem);
        var path = testProbe.screensDir() + "/" + prefix + "_" + name + ".png";
        var root = window.contentItem.parent;
        root.width = window.width;
        root.height = window.height;
        var saved = null;
        verify(root.grabToImage(function(result) { saved = result.saveToFile(path) }));
        tryVerify(function() { return saved !== null }, 5000);
        verify(saved, path);
    }
    // As the language buttons of the device settings do.
    function applyLanguage(language) {
        window.mainPage.body.settingPage.deviceSettingPage.setLanguage(language);
        compare(UserOpts.language, language);
    }
    function pictures(page) {
        var found = [];
        var walk = function(item) {
            if (item.objectName === "thumb" && !item.folderEntry)
                found.push(item.picture);
            for (var i = 0; i < item.children.length; ++i)
                walk(item.children[i]);
        };
        walk(page);
        return found;
    }
    function enter(mode) {
        MainCtrl.expMode = mode;
        window.mainPage.body.slot_ChangePage(6 + mode);
        var page = window.mainPage.body.pages[6 + mode];
        tryCompare(page.dateModel, "count", 2);
        tryVerify(function() { return overlayDialog(window, "loadingDialog") === null }, 5000);
        tryVerify(function() { return page.dateModel.get(0).exps.get(1).images.count === 9 }, 5000);
        settle(page);
        var shown = pictures(page);
        for (var i = 0; i < shown.length; ++i)
            tryCompare(shown[i], "status", Image.Ready, 5000);
        return page;
    }

    function test_screens_data() {
        return [
            { tag: "zh 1.0", language: UserOpts.Chinese, scale: 1.0, prefix: "zh_1.0" },
            { tag: "en 1.0", language: UserOpts.English, scale: 1.0, prefix: "en_1.0" },
            { tag: "zh 1.2", language: UserOpts.Chinese, scale: 1.2, prefix: "zh_1.2" },
            { tag: "en 1.2", language: UserOpts.English, scale: 1.2, prefix: "en_1.2" }
        ];
    }
    function test_screens(row) {
        testProbe.setScaleRatio(row.scale);
        applyLanguage(row.language);
        var names = ["library_gel", "library_wb", "library_mult"];
        for (var mode = 0; mode < 3; ++mode) {
            var page = enter(mode);
            page.toggleThumb(0, 1, 1);
            shoot(row.prefix, names[mode]);
        }
        var wb = enter(EnumOBJ.WB);
        wb.detailView.openImage(wb.dateModel.get(0).exps.get(1).images.get(2).source, 0, 1);
        tryCompare(wb.detailView, "visible", true);
        shoot(row.prefix, "library_detail");
        wb.detailView.setScale(3);
        shoot(row.prefix, "library_detail_zoomed");
        wb.detailView.close();

        var gel = enter(EnumOBJ.Gel);
        var component = Qt.createComponent("qrc:/dialogs/ExportDialog.qml");
        var dialog = component.createObject(window.overlay, { imageSavePath: testProbe.appDir(), curImageName: "img_0" });
        dialog.open();
        tryCompare(dialog, "opened", true);
        shoot(row.prefix, "dialog_export");
        dialog.close();
        tryCompare(dialog, "visible", false);
        dialog.destroy();

        gel.checkAll(true);
        var progressComponent = Qt.createComponent("qrc:/dialogs/ExportProcessDialog.qml");
        var progress = progressComponent.createObject(window.overlay, { totalExport: gel.selectedImageNameList.length });
        progress.open();
        progress.updateValue(6, gel.selectedImageNameList.length);
        tryCompare(progress, "opened", true);
        shoot(row.prefix, "library_batch_export_progress");
        progress.close();
        tryCompare(progress, "visible", false);
        progress.destroy();

        // A rename the controller refuses (the name is taken) is told to the operator.
        gel.checkAll(false);
        var folder = gel.dateModel.get(0).exps.get(1).folder;
        verify(!gel.renameImage(folder, "img_0.tif", "img_1.tif"));
        var refused = null;
        tryVerify(function() { refused = overlayDialog(window, "customMessageDialog"); return refused !== null && refused.opened });
        shoot(row.prefix, "library_rename_refused");
        refused.accept();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        click(part(window, "homeButton"));
    }
}
