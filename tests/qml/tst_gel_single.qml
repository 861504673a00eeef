import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/components"

// The gel page of the single-gel cabinet: its exposure and focus pop-ups hang under their
// buttons, and the page keeps the mode the operator left them in.
ShellTestCase {
    id: test
    name: "GelSingle"
    property var window: null
    property var page: null
    property int savedAuthority: 0

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }

    function setUpFile() {
        savedAuthority = MainCtrl.authorityType;
        MainCtrl.authorityType = EnumOBJ.GelTS20BW;
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
    }
    function tearDownFile() {
        stopped.clear();
        if (page.entered)
            click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
        window.destroy();
        MainCtrl.authorityType = savedAuthority;
    }

    function test_popupsKeepTheirMode_data() {
        return [
            { tag: "exposure", button: "exposureButton", dialog: "exposureSettingDialog", state: "exposureAuto",
              manualText: "Exposure (Manual)" },
            { tag: "focus", button: "focusButton", dialog: "focusSettingDialog", state: "focusAuto",
              manualText: "Focus (Manual)" }
        ];
    }
    function test_popupsKeepTheirMode(row) {
        verify(page.singleGel);
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return !page.cameraDialog.visible }, 5000);
        var button = part(page, row.button);
        verify(button.visible);
        compare(page[row.state], true);
        click(button);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, row.dialog); return dialog && dialog.opened });
        compare(dialog.isAuto, true);
        // Under the button, its right edge at the button's right edge.
        var corner = button.mapToItem(null, button.width, button.height);
        compare(dialog.x + dialog.width, corner.x);
        compare(dialog.y, corner.y);
        click(findChild(dialog.contentItem, "manualButton"));
        dialog.close();
        tryVerify(function() { return overlayDialog(window, row.dialog) === null });
        compare(page[row.state], false);
        compare(button.text, row.manualText);
        click(button);
        tryVerify(function() { dialog = overlayDialog(window, row.dialog); return dialog && dialog.opened });
        compare(dialog.isAuto, false);
        verify(findChild(dialog.contentItem, "manualButton").checked);
        dialog.close();
        tryVerify(function() { return overlayDialog(window, row.dialog) === null });
    }

    function enter() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return !page.cameraDialog.visible }, 5000);
        tryVerify(function() { return page.imageItem.getTempRect().width > 0 }, 5000, "a frame is drawn");
    }

    // Blue470 opens the strength pop-up under its button; a new strength goes to the board, and
    // another light closes the pop-up.
    function test_blueLightStrength() {
        enter();
        testProbe.setCabinetDoor(false, false);
        tryVerify(function() { return !page.dooropen }, 5000, "the door is closed");
        var blue = part(page, "light_" + EnumOBJ.Blue);
        if (!blue.checked)
            click(blue);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "adaptBlueDialog"); return dialog && dialog.opened }, 5000);
        var corner = blue.mapToItem(null, blue.width, blue.height);
        compare(dialog.x + dialog.width, corner.x);
        UserOpts.loadUserOptsByName(UserOpts.OPT_BluePercent);
        var plus = findChild(dialog.contentItem, "bluePlusButton");
        var minus = findChild(dialog.contentItem, "blueMinusButton");
        var button = UserOpts.bluePercent <= 90 ? plus : minus;
        var expected = UserOpts.bluePercent <= 90 ? UserOpts.bluePercent + 10 : UserOpts.bluePercent - 10;
        var before = testProbe.boardFrames(0xF4, expected);
        click(button);
        compare(UserOpts.bluePercent, expected);
        tryVerify(function() { return testProbe.boardFrames(0xF4, expected) > before }, 5000, "the strength reaches the board");
        click(part(page, "light_" + EnumOBJ.White));
        tryVerify(function() { return overlayDialog(window, "adaptBlueDialog") === null }, 5000, "the pop-up goes");
    }

    // The single-gel capture writes its own audit wording: the stored exposure, "1*1" or "2*2".
    function test_captureAuditWording() {
        enter();
        page.exposureAuto = false;
        page.focusAuto = false;
        CamOpts.gelTSCurExposurePre = 20.5;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        MainCtrl._GelTSPreExpChanged(20.5);
        CamOpts.loadCamOptsByName(CamOpts.GelTS_CurBinning);
        CamOpts.loadCamOptsByName(CamOpts.GelTS_CurGain);
        var bin = CamOpts.gelTSCurBinning === 0 ? "1*1" : "2*2";
        var mark = auditMark();
        click(part(page, "captureButton"));
        tryVerify(function() { return page.captureFinished }, 60000, "the capture ends");
        var rows = auditSince(mark).filter(function(r) { return r.content.indexOf("点击采集") === 0
                                                                || r.content.indexOf("Capture Clicked") === 0 });
        compare(rows.length, 2);
        compare(rows[0].content, "点击采集: 曝光时间: 20.5ms 像素合并: " + bin + " 增益: " + CamOpts.gelTSCurGain);
        compare(rows[1].content, "Capture Clicked: Preview exposure: 20.5ms Binning: " + bin + " Gain: " + CamOpts.gelTSCurGain);
        click(part(page, "backButton"));
        tryVerify(function() { return !page.captureFinished }, 10000);
        page.exposureAuto = true;
        page.focusAuto = true;
    }

    // An automatic exposure started from the open pop-up ends in manual mode, and the pop-up
    // keeps it when it closes and opens again.
    function test_popupsTurnManualAfterTheirRun_data() {
        return [
            { tag: "exposure", button: "exposureButton", dialog: "exposureSettingDialog", state: "exposureAuto",
              run: "aeButton", busy: "aeDialog" }
        ];
    }
    function test_popupsTurnManualAfterTheirRun(row) {
        enter();
        page[row.state] = true;
        var button = part(page, row.button);
        click(button);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, row.dialog); return dialog && dialog.opened });
        verify(dialog.isAuto);
        click(findChild(dialog.contentItem, row.run));
        tryVerify(function() { return !page[row.state] }, 30000, "the run ends in manual mode");
        tryVerify(function() { return !page[row.busy].visible }, 5000);
        verify(!dialog.isAuto);
        verify(findChild(dialog.contentItem, "manualButton").checked);
        dialog.close();
        tryVerify(function() { return overlayDialog(window, row.dialog) === null });
        compare(page[row.state], false);
        click(button);
        tryVerify(function() { dialog = overlayDialog(window, row.dialog); return dialog && dialog.opened });
        verify(!dialog.isAuto);
        dialog.close();
        tryVerify(function() { return overlayDialog(window, row.dialog) === null });
        page[row.state] = true;
    }

    // A mode chosen in the exposure pop-up sets the camera up anew: the view returns to fit and
    // "Camera Setting..." waits for the first frame.
    function test_exposurePopupModeResetsTheView() {
        enter();
        click(part(page, "zoomInButton"));
        verify(page.captureView.zoomed);
        var button = part(page, "exposureButton");
        click(button);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "exposureSettingDialog"); return dialog && dialog.opened });
        if (dialog.isAuto)
            click(findChild(dialog.contentItem, "manualButton"));
        click(findChild(dialog.contentItem, "hiResButton"));
        verify(!page.captureView.zoomed);
        verify(page.imageItem.mAdapt);
        verify(page.cameraDialog.opened);
        compare(page.cameraDialog.text, "Camera Setting...");
        dialog.close();
        tryVerify(function() { return overlayDialog(window, "exposureSettingDialog") === null });
        tryVerify(function() { return !page.cameraDialog.visible && page.cameraSetted }, 10000, "the first frame closes it");
        page.exposureAuto = true;
    }

    function test_zoomInShowsTheOverviewFitHidesIt() {
        enter();
        verify(!part(page, "overview").visible);
        var box = page.imageItem.parent;
        var before = page.imageItem.mScale;
        click(part(page, "zoomInButton"));
        fuzzyCompare(page.imageItem.mScale, Math.min(5, before * 1.5), 1e-9);
        for (var i = 0; i < 4; ++i)
            click(part(page, "zoomInButton"));
        tryVerify(function() { return page.imageItem.width > box.width }, 5000, "the picture outgrows the box");
        var overview = part(page, "overview");
        tryCompare(overview, "visible", true);
        compare(overview.width, Style.s(158));
        var frame = part(overview, "overviewFrame");
        verify(frame.width < overview.width && frame.width > 0);
        click(part(page, "fitButton"));
        tryCompare(overview, "visible", false);
        tryVerify(function() { return page.imageItem.width <= box.width }, 5000, "the picture fits again");

        click(part(page, "originButton"));
        for (i = 0; i < 4; ++i)
            click(part(page, "zoomInButton"));
        tryCompare(overview, "visible", true);
        page.reStartPreview(false);
        tryCompare(overview, "visible", false);
    }

    function test_cutRoundTrip() {
        enter();
        var button = part(page, "cutButton");
        verify(button.visible);
        verify(!button.checked);
        var chooser = page.cutChooser;
        var setCount = testProbe.logCount("预备设置ROI");
        var removeCount = testProbe.logCount("去除裁切");

        // Cancelled: nothing goes to the camera.
        click(button);
        tryCompare(chooser, "visible", true);
        verify(button.checked);
        mousePress(chooser, 20, 20);
        mouseMove(chooser, 80, 70);
        mouseRelease(chooser, 80, 70);
        click(findChild(chooser, "cancelButton"));
        tryCompare(chooser, "visible", false);
        verify(!button.checked);
        verify(!page.cutOn);
        compare(testProbe.logCount("预备设置ROI"), setCount);

        // Confirmed: the region goes to the camera; unchecking takes it back.
        click(button);
        tryCompare(chooser, "visible", true);
        mousePress(chooser, 20, 20);
        mouseMove(chooser, 60, 50);
        mouseMove(chooser, 120, 100);
        mouseRelease(chooser, 120, 100);
        verify(chooser.confirmable);
        click(findChild(chooser, "confirmButton"));
        tryVerify(function() { return testProbe.logCount("预备设置ROI") === setCount + 1 }, 5000, "setRoi");
        verify(page.cutOn);
        verify(button.checked);
        verify(!chooser.visible);
        click(button);
        tryVerify(function() { return testProbe.logCount("去除裁切") === removeCount + 1 }, 5000, "removeSetRoi");
        verify(!page.cutOn);
        verify(!button.checked);
    }

    // What the pinch area does with a pinch (its touch points are the platform's).
    function test_pinchZoomsWithinTheBounds() {
        enter();
        var box = page.imageItem.parent;
        var area = part(page, "pinchArea");
        compare(area.width, box.width);
        compare(area.height, box.height);
        var view = page.captureView;
        click(part(page, "fitButton"));
        tryVerify(function() { return page.imageItem.getTempRect().x > 0 }, 5000, "the fitted picture is drawn");
        var fitted = page.imageItem.mScale;
        view.pinchZoom(fitted, 2);
        fuzzyCompare(page.imageItem.mScale, fitted * 2, 1e-9);
        view.pinchZoom(fitted, 100);
        compare(page.imageItem.mScale, 5);
        tryCompare(part(page, "overview"), "visible", true);
        view.pinchZoom(fitted, 0.001);
        compare(page.imageItem.mScale, 0.1);
        click(part(page, "fitButton"));
        tryCompare(part(page, "overview"), "visible", false);
    }
}
