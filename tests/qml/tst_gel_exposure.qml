import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/GelCapture.js" as Gel

// Automatic exposure on the gel page of the virtual cabinet (an S60): from the camera bar, right
// after a light is clicked, and when the door closes over the preview.
ShellTestCase {
    id: test
    name: "GelExposure"
    property var window: null
    property var page: null

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    PictureProbe { id: probe; test: test }

    function setUpFile() {
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
    }
    function tearDownFile() {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
        window.destroy();
    }
    function initEach() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // The wheel's first move ends in automatic exposure.
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
    }

    function test_automaticExposureSettles() {
        var bar = page.cameraBar;
        click(part(bar, "aeButton"));
        verify(bar.aeOn);
        var dialog = page.aeDialog;
        verify(dialog.visible);
        compare(dialog.text, "Auto Exposuring...");
        tryVerify(function() { return !bar.aeOn && !dialog.visible }, 15000, "the exposure settles");
        verify(page.aePolls >= 2);
        CamOpts.loadCamOptsByName(CamOpts.GelTS_CurExposurePre);
        var found = page.aeHistory[page.aeHistory.length - 1].exposure;
        compare(CamOpts.gelTSCurExposurePre, Math.round(found * 1000) / 1000);
    }

    // Clicked at once after a light, before the board has lit it: the exposure waits for the
    // board's echo of the light. It never runs up in the dark (frames exposed for seconds, then
    // burnt out), settles below its ceiling, and the live picture shows the lit gel, neither black
    // nor burnt out.
    function test_exposureClickedRightAfterTheLight_data() {
        return [
            { tag: "white", light: EnumOBJ.White },
            { tag: "UV302", light: EnumOBJ.UV302C },
        ];
    }
    function test_exposureClickedRightAfterTheLight(row) {
        var bar = page.cameraBar;
        // No wheel move (and no exposure of its own) follows the light.
        var autoMatch = UserOpts.autoMatchFilter;
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        // The board's timed shut-down (seconds at this time scale) stays out of the way.
        MainCtrl.lightAutoShutDown(0);
        // From a dark cabinet the board has confirmed.
        var white = part(page, "light_" + EnumOBJ.White);
        if (!white.checked)
            click(white);
        click(white);
        tryVerify(function() { return testProbe.cabinetLamps() === 0 && MainCtrl.litLight() === EnumOBJ.Unknow_LightType },
                  5000, "the cabinet is dark");
        // At the short exposure a lit gel wants, with frames taken at it.
        tryVerify(function() {
            MainCtrl._GelTSPreExpChanged(20);
            return Math.abs(MainCtrl._GelTSGetExposure() - 20) < 0.01;
        }, 10000, "the camera takes the exposure");
        // (Polled by hand: tryVerify calls its function once more at the end.)
        var atTwenty = 0;
        for (var tries = 0; tries < 200 && !(atTwenty > 0 && atTwenty < 20.5); ++tries) {
            testProbe.clearLongestCameraExposure();
            wait(50);
            atTwenty = testProbe.longestCameraExposure();
        }
        verify(atTwenty > 0 && atTwenty < 20.5, "frames at that exposure " + atTwenty);

        var button = part(page, "light_" + row.light);
        var aeButton = part(bar, "aeButton");
        settle(aeButton);
        // A board slow with its lamps: the light comes, and is echoed, most of a second late.
        testProbe.delayBoardRequests(0xF1, 600, 1);
        click(button);
        // At once: no wait for the scene to settle between the two clicks.
        mouseClick(aeButton);
        verify(button.checked && bar.aeOn);
        tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 20000, "the exposure settles");
        verify(testProbe.cabinetLamps() !== 0);
        var found = page.aeHistory[page.aeHistory.length - 1];
        var longest = testProbe.longestCameraExposure();
        var what = JSON.stringify({ found: found, longest: longest });
        verify(longest < 2 * found.exposure, what);
        compare(Gel.aeWarning(found.exposure, found.gain, page.fl9bw), "", what);
        verify(overlayDialog(window, "customMessageDialog") === null, "no warning");
        var shown = probe.waitFor(page.imageItem, function(s) { return s.painted > 0 }, "the live picture");
        verify(shown.mean > 25 && shown.mean < 230, JSON.stringify([found, shown]));
        UserOpts.autoMatchFilter = autoMatch;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.loadUserOptsByName(UserOpts.OPT_LightAutoShutDownTime);
        MainCtrl.lightAutoShutDown(UserOpts.lightAutoShutDownTime);
    }

    // A binning button sends its default exposure, also when (as after a restart of the
    // program) the defaults are in the file only; automatic exposure follows.
    function test_binningTakesItsDefaultAfterARestart() {
        var bar = page.cameraBar;
        if (!bar.shown)
            click(part(bar, "cameraSettingButton"));
        tryVerify(function() { return part(bar, "binning_2").visible });
        CamOpts.gelTSDefExposurePre = "";
        click(part(bar, "binning_2"));
        compare(CamOpts.gelTSCurBinning, 2);
        compare(testProbe.iniValue("Ini/camOption.ini", "CamOption/GelTSCurExposurePre"), "15");
        verify(bar.aeOn);
        tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 15000, "the exposure settles");
        click(part(bar, "binning_1"));
        tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 15000, "the exposure settles again");
    }

    // Each showing of the camera bar reads the stored values again.
    function test_cameraBarReloadsWhenShown() {
        var bar = page.cameraBar;
        if (bar.shown)
            click(part(bar, "cameraSettingButton"));
        verify(!bar.shown);
        CamOpts.gelTSCurExposurePre = 1234;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        CamOpts.gelTSCurExposurePre = 1;
        click(part(bar, "cameraSettingButton"));
        verify(bar.shown);
        compare(part(bar, "exposureBox").value, 1234);
        compare(part(bar, "exposureBox").displayText, "1234");
        click(part(bar, "cameraSettingButton"));
    }

    // On this cabinet closing the door over a running preview starts automatic exposure.
    function test_doorClosingStartsAutomaticExposure() {
        verify(page.doorStartsExposure, "machine " + MainCtrl.machineName);
        testProbe.setCabinetDoor(true, false);
        tryVerify(function() { return page.dooropen }, 5000, "the board reports the open door");
        verify(!page.cameraBar.aeOn);
        testProbe.setCabinetDoor(false, false);
        tryVerify(function() { return !page.dooropen }, 5000, "the board reports the closed door");
        verify(page.cameraBar.aeOn);
        tryVerify(function() { return !page.cameraBar.aeOn && !page.aeDialog.visible }, 15000, "the exposure settles");
    }
}
