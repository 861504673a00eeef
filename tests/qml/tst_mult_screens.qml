import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/FlatField.js" as FFC

// Pictures of the multi-fluorescence capture page (preview, images listed) and of each step of
// the gel page's flat-field calibration, in Chinese and English, at scale 1.0 and 1.2,
// 1280 x 800, into build/screens.
ShellTestCase {
    name: "MultScreens"
    property var window: null

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    SignalSpy { id: started; target: MainCtrl; signalName: "captureStart" }

    function setUpFile() {
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        window = makeWindow(true);
    }
    function tearDownFile() {
        translatorControl.loadLanguage(UserOpts.English);
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
    function enterPage(button, page) {
        click(part(window.mainPage.body.homePage, button));
        tryVerify(function() { return page.previewing }, 10000);
        // On the gel page a wheel move ends in automatic exposure.
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
    }
    function leavePage(page) {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000);
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
        translatorControl.loadLanguage(row.language);

        // ---- multi-fluorescence ----
        var mult = window.mainPage.body.pages[5];
        enterPage("fluButton", mult);
        click(part(mult, "cameraSettingButton"));
        shoot(row.prefix, "mult_capture_preview");
        click(part(mult, "cameraSettingButton"));
        var channels = [EnumOBJ.B470nm, EnumOBJ.G520nm];
        for (var c = 0; c < channels.length; ++c) {
            if (mult.captureFinished) {
                click(part(mult, "backButton"));
                tryVerify(function() { return !mult.cameraDialog.visible && !mult.captureFinished }, 10000);
            }
            mult.chooseFilter(c + 1);
            tryVerify(function() { return !mult.filterDialog.visible }, 6000);
            mult.setLightChecked(channels[c]);
            mult.chooseLight(channels[c]);
            mult.showPreviewExposure(40);
            mult.storePreviewExposure();
            started.clear();
            click(part(mult, "captureButton"));
            tryVerify(function() { return started.count > 0 && mult.captureFinished }, 30000);
        }
        mult.selectEntry(0);
        shoot(row.prefix, "mult_capture_images");
        // After a level change: the right level pulled to the left brightens the picture.
        var right = part(mult, "rightSlider");
        tryVerify(function() { return right.visible }, 5000);
        // The panel scrolls to its histogram where it lies below the fold (scale 1.2).
        for (var flick = right.parent; flick && flick.contentY === undefined; flick = flick.parent) {}
        if (flick)
            flick.contentY = Math.max(0, flick.contentHeight - flick.height);
        mouseDrag(right, right.handle.x + right.handle.width / 2, right.handle.y + right.handle.height / 2, -right.width * 0.7, 0);
        tryVerify(function() { return right.value < 40000 }, 5000, "dragged " + right.value);
        shoot(row.prefix, "mult_capture_levels");
        click(part(mult, "autoButton"));
        if (flick)
            flick.contentY = 0;
        leavePage(mult);

        // ---- flat-field calibration on the gel page ----
        var gel = window.mainPage.body.pages[3];
        var wizard = findChild(gel, "flatFieldWizard");
        enterPage("gelButton", gel);
        if (!gel.ffcVisible)
            click(part(gel, "ffcButton"));
        shoot(row.prefix, "gel_ffc_panel");
        var dialog = wizard.start();
        tryCompare(dialog, "opened", true);
        shoot(row.prefix, "gel_ffc_confirm");
        dialog.reject();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        // Each step as the panel shows it.
        var steps = [{ name: "binning", status: "Set Camera Binning", bar: 1 },
                     { name: "exposure", status: "Auto Exposure...", bar: 3 }];
        [0, 1, 2, 3, 6, 7, 8, 9, 10, 11, 12, 13].forEach(function(step) {
            var plan = FFC.stepPlan(step, { colorMarker: true, plain: true });
            steps.push({ name: "step" + step, status: plan.text, bar: plan.bar });
        });
        steps.push({ name: "cancelled", status: "Calibration cancelled", bar: 0 });
        wizard.barMax = 20;
        for (var i = 0; i < steps.length; ++i) {
            wizard.status = steps[i].status;
            wizard.bar = steps[i].bar;
            wizard.active = steps[i].name !== "cancelled";
            shoot(row.prefix, "gel_ffc_" + steps[i].name);
        }
        wizard.active = false;
        wizard.finish();
        // No references stand behind this pictured success: the live picture stays uncorrected
        // (the page would switch the correction off again and say so).
        MainCtrl.setFFC(false);
        var done = null;
        tryVerify(function() { done = overlayDialog(window, "customMessageDialog"); return done && done.opened });
        shoot(row.prefix, "gel_ffc_success");
        done.close();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        UserOpts.isFFCOpen = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsFFCOpen);
        MainCtrl.setFFC(false);
        leavePage(gel);
    }
}
