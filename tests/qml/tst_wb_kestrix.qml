import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// The Western-blot page on the Kestrix cabinet (an S40Plus): the cooling wait, the preview with
// its binning, gain and exposure, and one capture on the Kestrix flow.
WBPageCase {
    id: test
    name: "WBKestrix"

    function setUpFile() {
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setUpPage();
    }
    function tearDownFile() { tearDownPage() }

    function test_a_coolingWaitThenPreview() {
        compare(MainCtrl.authorityType, EnumOBJ.WBQI);
        if (page.entered)
            leave();
        UserOpts.cameraCooling = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        click(part(window.mainPage.body.homePage, "wbButton"));
        // Either cold already (the preview starts at once) or the wait shows the temperature.
        tryVerify(function() { return page.isCooling || page.previewing }, 5000);
        if (page.isCooling) {
            verify(page.coolingDialog.opened);
            verify(part(page.coolingDialog.contentItem, "coolingText").text.indexOf("Camera Temp:") === 0);
        }
        tryVerify(function() { return page.previewing && !page.isCooling }, 30000, "cooled and previewing");
        verify(!page.coolingDialog.opened);
        UserOpts.cameraCooling = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
    }

    // A warm camera: each entry waits for cooling, and each close of the wait returns home.
    function test_b_coolingDialogClosesAgainAndAgain() {
        if (page.entered)
            leave();
        UserOpts.cameraCooling = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        testProbe.scriptKestrixTemperature(2500, 1000);
        var body = window.mainPage.body;
        for (var round = 0; round < 2; ++round) {
            click(part(body.homePage, "wbButton"));
            tryVerify(function() { return page.isCooling && page.coolingDialog.opened }, 5000, "cooling " + round);
            var cancel = findChild(page.coolingDialog.contentItem, "cancelButton");
            verify(cancel.visible && cancel.enabled, "cancel usable, round " + round);
            mouseClick(cancel);
            tryVerify(function() { return !page.entered && body.homePage.visible }, 5000, "home again, round " + round);
            verify(!page.coolingDialog.opened);
        }
        testProbe.scriptKestrixTemperature(0, 0);
        UserOpts.cameraCooling = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        enter();
    }

    function test_tucsenControlsHidden() {
        verify(page.kestrix);
        var hidden = ["aeButton", "afButton", "colorMarkerBox", "pseudoMergeButton", "gainBox"];
        for (var i = 0; i < hidden.length; ++i)
            verify(!part(page, hidden[i]).visible, hidden[i]);
        compare(part(page, "exposureBox").to, 2000);
    }

    function test_settingsAreStored_data() {
        return [
            { tag: "4*4 takes its default exposure", button: "binning_2", binning: "4*4", exposure: 15 },
            { tag: "1*1", button: "binning_0", binning: "1*1", exposure: 200 },
            // A later start of the program has the defaults in the file only.
            { tag: "4*4 after a restart", button: "binning_2", binning: "4*4", exposure: 15, restart: true }
        ];
    }
    function test_settingsAreStored(row) {
        if (row.restart)
            CamOpts.wBQIDefExposurePre = "";
        click(part(page, row.button));
        compare(CamOpts.wBQICurBinning, row.binning);
        compare(CamOpts.wBQICurExposurePre, row.exposure);
        frames.clear();
        tryVerify(function() { return frames.count > 0 }, 10000, "the preview runs on");
        click(part(page, "gain_0"));
        compare(CamOpts.wBQICurGainIndex, 1);
        page.cameraBar.exposureChosen(30);
        compare(CamOpts.wBQICurExposurePre, 30);
        compare(testProbe.iniValue("Ini/camOption.ini", "CamOption/WBQICurExposurePre"), "30");
        frames.clear();
        tryVerify(function() { return frames.count > 0 }, 10000);
    }

    function test_singleCapture() {
        setSingle(200);
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 }, 10000);
        compare(page.progressDialog.totalTime, 200 + 1200);
        tryVerify(function() { return page.captureFinished }, 30000);
        verify(page.imageModel.count >= 1);
        verify(page.imageSavePath.indexOf("WBS") >= 0);
        for (var i = 0; i < page.imageModel.count; ++i)
            verify(fileExists(page.imageModel.get(i).path), page.imageModel.get(i).path);
        compare(page.imageModel.get(0).exposure, 200);
        page.actions.selectEntry(0);
        compare(page.imageItem.imageIndex, 0);
        verify(page.histogramShow);
    }

    // "Back" after a capture lights the blot again before the live view returns.
    function test_singleCaptureThenBackLightsTheBlot() {
        if (!page.captureFinished) {
            setSingle(200);
            capture();
            tryVerify(function() { return page.captureFinished }, 30000);
        }
        page.lightClicked(false);
        tryVerify(function() { return testProbe.cabinetLamps() === 0 }, 5000, "the light is off");
        click(part(page, "backButton"));
        verify(page.lighton);
        tryVerify(function() { return testProbe.cabinetLamps() !== 0 }, 5000, "the light is on again");
        settlePreview();
    }

    // "Reset" takes the stored defaults: 2*2 at gain 3 with that binning's preview exposure.
    function test_resetTakesTheDefaults() {
        click(part(page, "binning_2"));
        click(part(page, "gain_0"));
        compare(CamOpts.wBQICurBinning, "4*4");
        click(part(page, "resetCameraButton"));
        compare(CamOpts.wBQICurBinning, "2*2");
        compare(CamOpts.wBQICurGainIndex, 3);
        compare(CamOpts.wBQICurExposurePre, 50);
        verify(part(page, "binning_1").checked);
        verify(part(page, "gain_2").checked);
        compare(part(page, "exposureBox").value, 50);
        frames.clear();
        tryVerify(function() { return frames.count > 0 }, 10000, "the preview runs on");
    }

    function test_screens_data() {
        return [
            { tag: "zh", language: UserOpts.Chinese, prefix: "zh_1.0" },
            { tag: "en", language: UserOpts.English, prefix: "en_1.0" }
        ];
    }
    function test_screens(row) {
        translatorControl.loadLanguage(row.language);
        shoot(row.prefix, "wb_kestrix_preview");
        part(page, "wideButton").clicked();
        shoot(row.prefix, "wb_kestrix_preview_wide");
        part(page, "wideButton").clicked();
        translatorControl.loadLanguage(UserOpts.English);
    }
}
