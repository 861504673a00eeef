import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// The roads of the virtual cabinet (an S60) as an operator takes them: the Western-blot page
// waits for the camera to cool and leaves its cooling dialog by itself; the gel page exposes
// itself under white light and under UV. Pictures of each into build/screens.
ShellTestCase {
    name: "CabinetScreens"
    property var window: null

    SignalSpy { id: frames; target: MainCtrl; signalName: "imageChanged" }
    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }

    function setUpFile() {
        translatorControl.loadLanguage(UserOpts.English);
        window = makeWindow(true);
    }
    function tearDownFile() {
        UserOpts.cameraCooling = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        window.destroy();
    }

    function shoot(name) {
        settle(window.contentItem);
        var path = testProbe.screensDir() + "/" + name + ".png";
        var root = window.contentItem.parent;
        root.width = window.width;
        root.height = window.height;
        var saved = null;
        verify(root.grabToImage(function(result) { saved = result.saveToFile(path) }));
        tryVerify(function() { return saved !== null }, 5000);
        verify(saved, path);
    }
    function leave(page) {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
    }
    function dismissMessages() {
        var message;
        while ((message = overlayDialog(window, "customMessageDialog")) !== null) {
            message.close();
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") !== message });
        }
    }

    // A warm camera: the page shows the cooling dialog with the temperature, the camera cools,
    // and the dialog closes by itself and the preview starts.
    function test_a_westernBlotLeavesTheCoolingDialog() {
        var page = window.mainPage.body.pages[4];
        UserOpts.cameraCooling = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        testProbe.warmCamera(25);
        click(part(window.mainPage.body.homePage, "wbButton"));
        tryVerify(function() { return page.entered });
        // The temperature is read after the lens's pause on entry.
        tryVerify(function() { return page.isCooling || page.previewing }, 5000);
        verify(page.isCooling, "a warm camera makes the page wait");
        verify(page.coolingDialog.opened);
        var text = part(page.coolingDialog.contentItem, "coolingText").text;
        verify(text.indexOf("Camera Temp:") === 0, text);
        tryVerify(function() { return !page.isCooling && !page.coolingDialog.visible }, 20000, "cooled");
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        verify(MainCtrl._WBTSGetTem() < -20 / 3, "the camera reads " + MainCtrl._WBTSGetTem());
        tryVerify(function() { return page.cameraSetted && !page.cameraDialog.visible }, 10000);
        tryVerify(function() { return !page.aeDialog.visible }, 20000, "the automatic exposure settles");
        dismissMessages();
        frames.clear();
        tryVerify(function() { return frames.count >= 2 }, 10000);
        shoot("cabinet_wb_after_cooling");
        leave(page);
    }

    function test_b_gelAfterAutomaticExposure_data() {
        return [
            { tag: "white", light: EnumOBJ.White, shot: "cabinet_gel_ae_white" },
            { tag: "UV", light: EnumOBJ.UV302C, shot: "cabinet_gel_ae_uv" }
        ];
    }
    function test_b_gelAfterAutomaticExposure(row) {
        var page = window.mainPage.body.pages[3];
        click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // A wheel move ends in automatic exposure.
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
        var light = part(page, "light_" + row.light);
        if (!light.checked)
            click(light);
        tryVerify(function() { return light.checked && page.curLightType === row.light }, 5000);
        tryVerify(function() { return !page.filterDialog.visible && !page.aeDialog.visible && !page.cameraBar.aeOn }, 20000);
        var bar = page.cameraBar;
        click(part(bar, "aeButton"));
        verify(bar.aeOn);
        tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 20000, "the exposure settles");
        dismissMessages();
        frames.clear();
        tryVerify(function() { return frames.count >= 2 }, 10000);
        shoot(row.shot);
        leave(page);
    }
}
