import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// Automatic exposure on the gel page of the virtual cabinet (an S60): from the camera bar, and
// when the door closes over the preview.
ShellTestCase {
    id: test
    name: "GelExposure"
    property var window: null
    property var page: null

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }

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
