import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/FlatField.js" as FFC

// The flat-field calibration of the gel page on the virtual cabinet (an S60, the plain
// configuration): refusals, the whole run with and without the colour marker ending in the
// reference files, references only from frames taken after the change, the cancel that puts
// everything back, and the correction switched off when its references stop covering the picture.
ShellTestCase {
    id: test
    name: "GelFlatField"
    property var window: null
    property var page: null
    property var wizard: null

    readonly property int lampSource: 1 << 1

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    SignalSpy { id: started; target: MainCtrl; signalName: "captureStart" }
    PictureProbe { id: probe; test: test }

    function setUpFile() {
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.colorMarkerVisible = false;
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
        wizard = findChild(page, "flatFieldWizard");
        verify(wizard);
        wizard.stepInterval = 150;
        // The cabinet switches its lamps off by itself after a few minutes, a few seconds at this
        // time scale: that would turn the white light off in the middle of a run. The board takes
        // this after the start-up's own setting.
        MainCtrl.lightAutoShutDown(255);
    }
    function tearDownFile() {
        if (page.entered) {
            stopped.clear();
            click(part(window.mainPage.head, "backButton"));
            tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
        }
        UserOpts.colorMarkerVisible = false;
        window.destroy();
    }
    function initEach() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // The wheel's first move ends in automatic exposure.
        idle();
        // Runs behind the filters leave long exposures behind; each case starts from a short one.
        CamOpts.gelTSCurExposurePre = 20;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        MainCtrl._GelTSPreExpChanged(20);
        if (!page.ffcVisible)
            click(part(page, "ffcButton"));
        verify(wizard.visible);
    }
    // Whatever a failed case left running ends before the next one.
    function cleanupEach() {
        wizard.cancel();
        wizard.stepInterval = 150;
        FFC.freshFrames = 2;
        UserOpts.colorMarkerVisible = false;
        if (page.cameraBar.aeOn)
            page.startAutoExposure(false);
        var dialog = overlayDialog(window, "customMessageDialog");
        if (dialog)
            dialog.close();
        tryVerify(function() { return !page.aeDialog.visible && !page.filterDialog.visible && !page.cameraDialog.visible
                                      && overlayDialog(window, "customMessageDialog") === null }, 15000, "the page is idle");
    }

    // No dialog of the page open and no automatic exposure running.
    function idle() {
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000, "the page is idle");
        dismissWarnings();
    }
    // A warning of automatic exposure (the virtual scene may settle at a limit).
    function dismissWarnings() {
        var dialog;
        while ((dialog = overlayDialog(window, "customMessageDialog")) !== null
               && dialog.bodyText.indexOf("Auto exposure time") === 0) {
            dialog.close();
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") !== dialog });
        }
    }
    function message() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog && dialog.opened }, 15000,
                  "a message opens");
        return dialog;
    }
    // That dialog answered and gone (a warning of automatic exposure may open meanwhile).
    function answer(dialog, button) {
        click(findChild(dialog.contentItem, button));
        tryVerify(function() { return !dialog.visible && overlayDialog(window, "customMessageDialog") !== dialog });
    }
    function startRun() {
        click(part(page, "ffcStartButton"));
        var dialog = message();
        verify(dialog.bodyText.indexOf("Flat field correction is about to begin") === 0, dialog.bodyText);
        answer(dialog, "yesButton");
        verify(wizard.active);
    }
    function files() { return testProbe.run("ls", [testProbe.appDir() + "/CorrectionData"]) }

    function test_refusals_data() {
        return [
            { tag: "a filter in place", filter: 2, text: "Please turn to no filter!" },
            { tag: "a finished capture shown", finished: true, text: "Please turn back to preview interface!" }
        ];
    }
    function test_refusals(row) {
        if (row.filter !== undefined) {
            click(part(page, "filter_" + row.filter));
            idle();
        }
        if (row.finished)
            page.captureFinished = true;
        var before = [wizard.step, wizard.bar, wizard.status];
        // The panel is hidden while a finished capture is shown; its start is refused all the same.
        if (row.finished)
            wizard.start();
        else
            click(part(page, "ffcStartButton"));
        var dialog = message();
        compare(dialog.bodyText, row.text);
        answer(dialog, "okButton");
        compare([wizard.step, wizard.bar, wizard.status], before);
        verify(!wizard.active);
        page.captureFinished = false;
        if (row.filter !== undefined) {
            click(part(page, "filter_0"));
            idle();
        }
    }

    // The switch turns the correction on and off for preview and captures, and keeps the choice.
    function test_switchTurnsTheCorrection() {
        var sw = part(page, "ffcSwitch");
        var before = UserOpts.isFFCOpen;
        compare(sw.checked, before);
        click(sw);
        compare(UserOpts.isFFCOpen, !before);
        compare(sw.checked, !before);
        compare(MainCtrl.isFFC(), !before);
        compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/isFFCOpen"), String(!before));
        click(sw);
        compare(UserOpts.isFFCOpen, before);
        compare(MainCtrl.isFFC(), before);
    }

    // The light cabinets match the filter after every light change; while calibrating the wheel
    // is the calibration's and stays where it is.
    function test_filterMatchHoldsDuringCalibration() {
        UserOpts.autoMatchFilter = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.whiteLightFilterPos = 2;
        UserOpts.saveUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
        MainCtrl.setisInFFC(true);
        page.curLightType = EnumOBJ.White;
        var pos = page.curFilterPos;
        page.rotateFilter();
        compare(page.curFilterPos, pos);
        verify(!page.filterDialog.visible);
        MainCtrl.setisInFFC(false);
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
    }

    function test_declinedConfirmationChangesNothing() {
        var before = [wizard.step, wizard.bar, wizard.status];
        click(part(page, "ffcStartButton"));
        answer(message(), "noButton");
        compare([wizard.step, wizard.bar, wizard.status], before);
        verify(!wizard.active);
        verify(!MainCtrl.isInFFC());
    }

    // Plain cabinet without the colour marker: the base pair, the 590 nm pair, back to no filter.
    // The reference waits for a frame that began after the white light changed, and captures are
    // refused meanwhile.
    function test_basePairsRecordTheReferences() {
        testProbe.clearLog();
        startRun();
        compare(wizard.barMax, 10);
        tryVerify(function() { return MainCtrl.isInFFC() }, 3000, "calibration mode");
        tryVerify(function() { return wizard.step === 1 }, 30000, "the bright field is next");
        // Until a frame that began after the change arrives, the reference is not taken: here no
        // frame is ever fresh enough.
        FFC.freshFrames = 1000000;
        wizard.settingChanged();
        tryVerify(function() { return wizard.waitingForFrame && wizard.framesSinceChange > 3 }, 10000, "frames flow");
        compare(wizard.step, 1);
        compare(testProbe.logCount("getStandardImage"), 0);
        page.captureClicked();
        FFC.freshFrames = 2;
        tryVerify(function() { return wizard.step === 2 }, 5000, "a fresh frame lets the bright field be taken");
        compare(testProbe.logCount("getStandardImage"), 1);
        compare(started.count, 0, "no capture during the calibration");

        tryVerify(function() { return wizard.step === -1 }, 60000, "the run ends");
        compare(wizard.bar, 10);
        compare(wizard.status, "Calibration success");
        compare(part(page, "ffcStatus").text, "Calibration success");
        var done = message();
        compare(done.bodyText, "Calibration Success!");
        answer(done, "okButton");
        verify(!page.ffcVisible, "OK closes the panel");
        verify(MainCtrl.isAlreadyFFC());
        verify(!MainCtrl.isInFFC());
        verify(UserOpts.isFFCOpen);
        verify(MainCtrl.isFFC());
        compare(testProbe.logCount("getStandardImageFor590"), 1);
        compare(testProbe.logCount("getDarkImageFor590"), 1);
        var listing = files();
        ["LightFrameData.data", "pBufferLight.data", "DarkFrameData.data", "pBufferDark.data", "LightFrameData590.data",
         "DarkFrameData590.data"].forEach(function(name) { verify(listing.indexOf(name) >= 0, name + " in " + listing) });
        tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000, "the wheel is back at no filter");
        compare(page.curFilterPos, 0);
    }

    // Cancel ends the run and puts back the camera settings, the light, the wheel and the
    // automatic filter matching.
    // While automatic exposure runs its modal dialog covers the page: its own "Cancel" ends the
    // calibration too.
    function test_cancelRestoresTheState_data() {
        return [
            { tag: "while exposing before the first pair", viaExposure: true, halfPair: false,
              until: function() { return wizard.active && wizard.step === 0 && page.aeDialog.opened } },
            // The first step cleared the references in memory; the bright field waits for a frame.
            { tag: "after the references were cleared, before the first new one", viaExposure: false, halfPair: false,
              holdFrames: true,
              until: function() { return wizard.step === 1 && wizard.waitingForFrame && !page.aeDialog.visible
                                          && !page.filterDialog.visible } },
            { tag: "with the white light off for the dark field", viaExposure: false, halfPair: true,
              until: function() { return wizard.step === 2 && !page.aeDialog.visible && !page.filterDialog.visible } }
        ];
    }
    function test_cancelRestoresTheState(row) {
        if (files().indexOf("LightFrameData.data") < 0)
            test_basePairsRecordTheReferences();
        // A binning other than the calibration's full resolution.
        page.cameraBar.chooseBinning(1);
        tryVerify(function() { return !page.cameraBar.aeOn && !page.aeDialog.visible }, 20000, "the exposure settles");
        CamOpts.loadCurGelTSCamOpts();
        var saved = [CamOpts.gelTSCurBinning, CamOpts.gelTSCurExposurePre, CamOpts.gelTSCurGain];
        compare(saved[0], 1);
        var white = part(page, "light_" + EnumOBJ.White);
        if (!white.checked)
            click(white);
        verify(white.checked);
        wizard.stepInterval = 1500;
        if (row.holdFrames)
            FFC.freshFrames = 1000000;
        var listing = files();
        startRun();
        tryVerify(row.until, 60000, "the run gets there");
        if (row.viaExposure && page.aeDialog.opened) {
            click(findChild(page.aeDialog.contentItem, "cancelButton"));
        } else {
            // The exposure ended meanwhile: the panel's own button.
            tryVerify(function() { return !page.aeDialog.visible && !page.filterDialog.visible }, 10000);
            click(part(page, "ffcCancelButton"));
        }
        wizard.stepInterval = 150;
        verify(!wizard.active);
        verify(!MainCtrl.isInFFC(), "light changes move the wheel again");
        compare(wizard.status, "Calibration cancelled");
        // A new bright reference without its dark one leaves no references behind and the
        // correction off; before the first reference the stored pair stays, and applies at once.
        compare(files().indexOf("LightFrameData.data") < 0, row.halfPair, files());
        if (row.halfPair) {
            verify(!MainCtrl.isAlreadyFFC());
            verify(!UserOpts.isFFCOpen);
            verify(!MainCtrl.isFFC());
            compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/isFFCOpen"), "false");
            verify(!part(page, "ffcSwitch").checked);
        } else {
            compare(files(), listing);
            verify(MainCtrl.isAlreadyFFC(), "the stored references are in memory again");
            verify(UserOpts.isFFCOpen);
            verify(MainCtrl.isFFC());
        }
        CamOpts.loadCurGelTSCamOpts();
        compare([CamOpts.gelTSCurBinning, CamOpts.gelTSCurExposurePre, CamOpts.gelTSCurGain], saved);
        compare(page.cameraBar.binningIndex, 1);
        verify(part(page, "light_" + EnumOBJ.White).checked);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on again");
        tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000, "the wheel is back at no filter");
        compare(page.curFilterPos, 0);
        // Nothing goes on afterwards.
        var step = wizard.step;
        tryVerify(function() { return !page.filterDialog.visible && !page.aeDialog.visible }, 10000);
        compare(wizard.step, step);
        verify(!wizard.active);
    }

    // References that stop covering the picture switch the correction off, also for the next
    // start, and the operator is told; the calibration's files stay.
    function test_uncoveredReferencesSwitchTheCorrectionOff_data() {
        return [
            { tag: "references of a coarser binning", coarse: true },
            { tag: "no references", coarse: false }
        ];
    }
    function test_uncoveredReferencesSwitchTheCorrectionOff(row) {
        var bar = page.cameraBar;
        if (!bar.shown)
            click(part(bar, "cameraSettingButton"));
        tryVerify(function() { return part(bar, "binning_1").visible });
        if (row.coarse) {
            // A calibration recorded at 2*2, as a former one could be.
            click(part(bar, "binning_1"));
            tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 20000, "the exposure settles");
            MainCtrl.getStandardImage();
            MainCtrl.getDarkImage();
        } else {
            MainCtrl.resetFFC();
            MainCtrl.removeCorrectionData();
        }
        var listing = files();
        var sw = part(page, "ffcSwitch");
        if (sw.checked)
            click(sw);
        verify(!MainCtrl.isFFC());
        click(sw);
        verify(MainCtrl.isFFC());
        if (row.coarse) {
            // Corrected at the calibration's binning; the finer one is not covered.
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null }, 3000);
            verify(MainCtrl.isFFC());
            click(part(bar, "binning_0"));
        }
        var dialog = message();
        compare(dialog.bodyText, "The flat field calibration does not fit the current picture: flat field correction turned off. Please calibrate again.");
        answer(dialog, "okButton");
        verify(!MainCtrl.isFFC());
        verify(!UserOpts.isFFCOpen);
        verify(!sw.checked);
        compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/isFFCOpen"), "false");
        compare(files(), listing);
        // The live picture goes on, uncorrected.
        probe.shown(page.imageItem);
        tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 20000, "the exposure settles");
        verify(overlayDialog(window, "customMessageDialog") === null, "told once");
    }
}
