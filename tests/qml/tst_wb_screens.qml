import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import "qrc:/js/FormulaDB.js" as FLJS

// Pictures of the Western-blot capture page (preview, a multiple capture in progress, images
// listed) and of its dialogs, in Chinese and English, at scale 1.0 and 1.2, into build/screens.
WBPageCase {
    id: test
    name: "WBScreens"

    function setUpFile() {
        UserOpts.colorMarkerVisible = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarkerVisible);
        UserOpts.markerCapture = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        FLJS.dbInit();
        FLJS.dbInsert("Blot 3 steps", 3, true, "1000,3000,6000");
        FLJS.dbInsert("曝光程序", 2, false, "500,1500");
        setUpPage();
    }
    function tearDownFile() {
        translatorControl.loadLanguage(UserOpts.English);
        testProbe.setScaleRatio(1.0);
        tearDownPage();
    }
    // Rows run one after the other; each starts on the home page.
    function initEach() {}

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
        translatorControl.loadLanguage(row.language);
        enter();
        shoot(row.prefix, "wb_capture_preview");

        // A multiple capture of long frames (the virtual camera runs 50 times faster).
        if (page.singleCaptureVisible)
            click(part(page, "multiButton"));
        shoot(row.prefix, "wb_capture_multi_manual");
        click(part(page, "programButton"));
        page.mode.chooseProgramme(0);
        shoot(row.prefix, "wb_capture_multi_program");
        click(part(page, "manualButton"));
        part(page, "countBox").value = 3;
        part(page, "countBox").valueModified();
        part(page, "firstUnit").currentIndex = UserOpts.Second;
        part(page, "firstUnit").activated(UserOpts.Second);
        part(page, "firstBox").value = 40;
        part(page, "firstBox").valueModified();
        part(page, "deltaUnit").currentIndex = UserOpts.Second;
        part(page, "deltaUnit").activated(UserOpts.Second);
        part(page, "deltaBox").value = 10;
        part(page, "deltaBox").valueModified();
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 && page.progressDialog.opened }, 10000);
        tryVerify(function() { return page.progressDialog.value >= 300 }, 5000);
        shoot(row.prefix, "wb_capture_progress");
        tryVerify(function() { return page.captureFinished }, 60000);
        page.actions.selectEntry(1);
        shoot(row.prefix, "wb_capture_images");
        // After a level change: the right level pulled to the left brightens the picture.
        var right = part(page, "rightSlider");
        tryVerify(function() { return right.visible }, 5000);
        // The panel scrolls to its histogram where it lies below the fold (scale 1.2).
        for (var flick = right.parent; flick && flick.contentY === undefined; flick = flick.parent) {}
        if (flick)
            flick.contentY = Math.max(0, flick.contentHeight - flick.height);
        mouseDrag(right, right.handle.x + right.handle.width / 2, right.handle.y + right.handle.height / 2, -right.width * 0.7, 0);
        tryVerify(function() { return right.value < 40000 }, 5000, "dragged " + right.value);
        shoot(row.prefix, "wb_capture_levels");
        click(part(page, "autoButton"));
        if (flick)
            flick.contentY = 0;

        var dialog = page.mode.openProgrammeList();
        tryCompare(dialog, "opened", true);
        shoot(row.prefix, "wb_dialog_program_list");
        var editor = dialog.openEditor(false);
        tryCompare(editor, "opened", true);
        editor.nameField.text = "Blot";
        shoot(row.prefix, "wb_dialog_program_editor");
        editor.close();
        dialog.close();
        tryVerify(function() { return !editor.visible && !dialog.visible });
        var save = page.mode.openSaveDialog();
        tryCompare(save, "opened", true);
        shoot(row.prefix, "wb_dialog_program_save");
        save.close();
        tryVerify(function() { return !save.visible });
        var more = page.cameraBar.openMoreSetting();
        tryCompare(more, "opened", true);
        shoot(row.prefix, "wb_dialog_more_setting");
        more.close();
        tryVerify(function() { return !more.visible });

        click(part(page, "singleButton"));
        settlePreview();
        leave();
    }
}
