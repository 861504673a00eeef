import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/FlatField.js" as FFC

// The flat-field calibration of the gel page with the colour marker offered (an S60): the run adds
// the filter pairs of the marker and counts to 20. A file of its own: the run is long.
ShellTestCase {
    id: test
    name: "GelFlatFieldMarker"
    property var window: null
    property var page: null
    property var wizard: null

    readonly property int lampSource: 1 << 1

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    SignalSpy { id: started; target: MainCtrl; signalName: "captureStart" }

    function setUpFile() {
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.colorMarkerVisible = false;
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
        wizard = findChild(page, "flatFieldWizard");
        verify(wizard);
        wizard.stepInterval = 150;
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
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
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

    // With the colour marker the run adds the 535, 605 and 470 nm pairs and counts to 20.
    function test_colourMarkerRunCountsToTwenty() {
        UserOpts.colorMarkerVisible = true;
        testProbe.clearLog();
        startRun();
        compare(wizard.barMax, 20);
        tryVerify(function() { return wizard.step === -1 }, 100000, "the run ends");
        compare(wizard.bar, 20);
        answer(message(), "okButton");
        ["getStandardImageFor535", "getDarkImageFor535", "getStandardImageFor605", "getDarkImageFor605",
         "getStandardImageFor715", "getDarkImageFor715"].forEach(function(name) { compare(testProbe.logCount(name), 1, name) });
        // Each filter change waited for automatic exposure before its pair.
        compare(testProbe.logCount("需要执行彩色Marker的平场校准"), 4);
        var listing = files();
        ["LightFrameData535.data", "DarkFrameData605.data", "LightFrameData715.data", "DarkFrameData715.data"].forEach(
            function(name) { verify(listing.indexOf(name) >= 0, name + " in " + listing) });
        UserOpts.colorMarkerVisible = false;
    }
}
