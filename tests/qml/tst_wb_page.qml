import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/WesternBlot.js" as WB

// The Western-blot capture page on the virtual cabinet (an S60 with the Tucsen camera):
// preview on entry, camera settings, single and multiple captures, cancel.
WBPageCase {
    id: test
    name: "WBPage"

    SignalSpy { id: filterShown; target: test.page ? test.page.filterDialog : null; signalName: "opened" }

    function setUpFile() { setUpPage() }
    function tearDownFile() { tearDownPage() }

    function test_enterAndLeaveRunAndStopThePreview() {
        leave();
        frames.clear();
        click(part(window.mainPage.body.homePage, "wbButton"));
        verify(page.entered);
        enter();
        verify(frames.count > 0);
        compare(MainCtrl.expMode, EnumOBJ.WB);
        compare(MainCtrl.curExpName, "");
        verify(page.singleCaptureVisible);
        // The Tucsen preview starts at gain 45.
        compare(CamOpts.wBTSCurGain, 45);
        compare(part(page, "gainBox").value, 45);
        leave();
        var after = frames.count;
        wait(200);
        compare(frames.count, after, "no frame after leaving");
    }

    function test_cameraSettingsReachTheCamera() {
        var bar = page.cameraBar;
        bar.exposureChosen(40);
        // The automatic exposure of the entry may still be switched on and off first: the
        // exposure is set again after it.
        tryVerify(function() { return Math.abs(MainCtrl._WBTSGetExposure() - 40) < 0.01 }, 10000, "exposure set");
        compare(CamOpts.wBTSCurExposurePre, 40);
        bar.gainValueChosen(100);
        tryVerify(function() { return MainCtrl._WBTSGetGain() === 100 }, 5000, "gain set");
        compare(CamOpts.wBTSCurGain, 100);
        // A binning change sets the camera up with "Camera Setting..."; automatic exposure follows.
        var expected = WB.listValue(CamOpts.wBTSDefExposurePre, 1, -1);
        click(part(page, "binning_1"));
        compare(CamOpts.wBTSCurBinning, 1);
        compare(CamOpts.wBTSCurExposurePre, expected);
        verify(page.cameraDialog.opened);
        compare(page.cameraDialog.text, "Camera Setting...");
        tryVerify(function() { return page.cameraBar.aeRunning && page.aeDialog.opened }, 10000, "automatic exposure follows");
        settlePreview();
        frames.clear();
        tryVerify(function() { return frames.count > 0 }, 5000, "the preview goes on");
        click(part(page, "binning_0"));
        compare(CamOpts.wBTSCurBinning, 0);
        settlePreview();
        // A later start of the program has the defaults in the file only.
        CamOpts.wBTSDefExposurePre = "";
        click(part(page, "binning_2"));
        compare(CamOpts.wBTSCurExposurePre, 15);
        settlePreview();
        click(part(page, "binning_0"));
        settlePreview();
    }

    function test_singleCaptureListsItsImages() {
        UserOpts.markerCapture = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setSingle(300);
        var mark = auditMark();
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 }, 10000);
        verify(page.progressDialog.opened);
        // The marker frame at the preview exposure, then the sample of 300 ms.
        compare(page.progressDialog.totalTime, Math.round(CamOpts.wBTSCurExposurePre + 1400 + 300 + 1400));
        tryVerify(function() { return page.captureFinished }, 30000, "the capture ends");
        verify(!page.progressDialog.opened);
        // Marker, sample and their merge.
        compare(page.imageModel.count, 3);
        compare(page.mCount, 3);
        verify(page.imageModel.get(0).title.indexOf("_Marker") > 0);
        verify(page.imageModel.get(2).title.indexOf("_Merge") > 0);
        verify(page.imageSavePath.indexOf("WBS") >= 0);
        for (var i = 0; i < page.imageModel.count; ++i)
            verify(fileExists(page.imageModel.get(i).path), page.imageModel.get(i).path);
        compare(page.imageModel.get(1).exposure, 300);
        var rows = auditSince(mark);
        verify(rows.some(function(r) { return r.content.indexOf("Capture Clicked: Preview exposure: ") === 0 }));
        verify(part(page, "backButton").visible);
        verify(!part(page, "captureButton").visible);
        // The export dialog takes the selected picture and its parameters.
        page.actions.selectEntry(1);
        click(part(page, "exportButton"));
        var exportDialog = null;
        tryVerify(function() { exportDialog = overlayDialog(window, "exportDialog"); return exportDialog && exportDialog.opened });
        compare(exportDialog.curExposure, "300ms");
        compare(exportDialog.imageSavePath, page.imageSavePath);
        exportDialog.close();
        tryVerify(function() { return overlayDialog(window, "exportDialog") === null });
        click(part(page, "backButton"));
        tryVerify(function() { return page.previewing && !page.captureFinished }, 10000);
        compare(page.imageModel.count, 0);
    }

    function test_manualMultipleCapture() {
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setManual(3, 200, 100, false);
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 }, 10000);
        compare(page.progressDialog.totalTime, 1300 + 1400 + 1500);
        tryVerify(function() { return page.captureFinished }, 30000);
        compare(page.imageModel.count, 3);
        verify(page.imageSavePath.indexOf("WBM") >= 0);
        compare([page.imageModel.get(0).exposure, page.imageModel.get(1).exposure, page.imageModel.get(2).exposure],
                [200, 300, 400]);
    }

    function test_cancelEndsTheCapture() {
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        // Long frames: the virtual camera runs 50 times faster, a frame of 50 s takes a second.
        if (page.singleCaptureVisible)
            click(part(page, "multiButton"));
        if (page.isProcess)
            click(part(page, "manualButton"));
        part(page, "countBox").value = 5;
        part(page, "countBox").valueModified();
        part(page, "firstUnit").currentIndex = UserOpts.Second;
        part(page, "firstUnit").activated(UserOpts.Second);
        part(page, "firstBox").value = 50;
        part(page, "firstBox").valueModified();
        part(page, "deltaUnit").currentIndex = UserOpts.Second;
        part(page, "deltaUnit").activated(UserOpts.Second);
        part(page, "deltaBox").value = 10;
        part(page, "deltaBox").valueModified();
        started.clear();
        finished.clear();
        capture();
        tryVerify(function() { return started.count > 0 && page.progressDialog.opened }, 10000);
        click(findChild(page.progressDialog.contentItem, "cancelButton"));
        tryVerify(function() { return finished.count > 0 }, 30000, "the cancelled capture ends");
        verify(!page.progressDialog.opened);
        verify(page.imageModel.count < 5);
    }

    function test_longestSingleExposureShowsItsTime() {
        // 59 min 59.999 s: the progress counts the exposure and its readout, not a capped hour.
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setSingle(3599999);
        testProbe.holdControllerSignals(true);
        page.onCaptureStart();
        compare(page.progressDialog.totalTime, 3599999 + 1400);
        page.progressDialog.close();
        testProbe.holdControllerSignals(false);
    }

    function test_manualHourCheck_data() {
        return [
            { tag: "three 20-minute steps refused", accumulate: false, refused: true },
            { tag: "accumulated 20-minute steps allowed", accumulate: true, refused: false }
        ];
    }
    function test_manualHourCheck(row) {
        setManual(3, 1, 1, row.accumulate);
        part(page, "firstUnit").currentIndex = UserOpts.Minute;
        part(page, "firstUnit").activated(UserOpts.Minute);
        part(page, "firstBox").value = 20;
        part(page, "firstBox").valueModified();
        part(page, "deltaUnit").currentIndex = UserOpts.Minute;
        part(page, "deltaUnit").activated(UserOpts.Minute);
        part(page, "deltaBox").value = 20;
        part(page, "deltaBox").valueModified();
        // The controller's answer is not wanted: the capture call is what is looked at.
        testProbe.clearLog();
        testProbe.holdControllerSignals(true);
        nextSecond();
        var ok = page.startCapture();
        testProbe.holdControllerSignals(false);
        compare(ok, !row.refused);
        if (row.refused) {
            var message = null;
            tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
            compare(findChild(message.contentItem, "messageText").text, "Exposure time must less than one hour!");
            message.close();
        } else {
            tryVerify(function() { return page.progressDialog.opened || page.captureFinished }, 10000);
            click(findChild(page.progressDialog.contentItem, "cancelButton"));
            tryVerify(function() { return page.captureFinished }, 30000);
        }
    }

    function test_autoEstimateSetsTheSingleTime() {
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setSingle(1000);
        click(part(page, "aesBox"));
        verify(part(page, "aesBox").checked);
        var mark = auditMark();
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 }, 30000, "the capture follows the estimate");
        verify(!page.estimateDialog.opened, "the estimating dialog closed");
        // The estimate is shown and stored as the single exposure.
        var shown = part(page, "minuteBox").value * 60000 + part(page, "secondBox").value * 1000 + part(page, "msBox").value;
        compare(UserOpts.singleCapExpTime, shown);
        verify(auditSince(mark).some(function(r) { return r.content.indexOf("Exposure Setting: ") === 0 }));
        click(findChild(page.progressDialog.contentItem, "cancelButton"));
        tryVerify(function() { return page.captureFinished }, 30000);
    }

    // Typing a value writes one pair of audit rows when the typing ends, an arrow press one pair;
    // the exposure box shows plain numbers.
    function test_editedValuesAuditedOnce() {
        setSingle(0);
        var box = part(page, "msBox");
        var input = box.contentItem;
        input.forceActiveFocus();
        input.selectAll();
        var mark = auditMark();
        keyClick(Qt.Key_1);
        keyClick(Qt.Key_2);
        keyClick(Qt.Key_3);
        compare(UserOpts.singleCapExpTime, 123);
        compare(auditSince(mark).length, 0, "no row per keystroke");
        keyClick(Qt.Key_Return);
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[1].content, "Exposure Setting: 0m0s123ms");
        mouseClick(box, box.up.indicator.x + box.up.indicator.width / 2, box.up.indicator.y + box.up.indicator.height / 2);
        compare(UserOpts.singleCapExpTime, 124);
        rows = auditSince(mark);
        compare(rows.length, 4);
        compare(rows[3].content, "Exposure Setting: 0m0s124ms");

        var exposure = part(page, "exposureBox");
        page.cameraBar.showExposure(1500);
        compare(exposure.displayText, "1500");
        compare(exposure.contentItem.text, "1500");
        page.cameraBar.exposureChosen(40);
        page.cameraBar.showExposure(40);
    }

    // The Tucsen preview exposure is a real number: typed with decimals, or stepped by the arrow
    // key and the + button, it reaches the camera and the stored options; no thousands separator.
    function test_previewExposureTakesDecimals() {
        var box = part(page, "exposureBox");
        compare(box.decimals, 3);
        function reached(ms) {
            tryVerify(function() { return Math.abs(MainCtrl._WBTSGetExposure() - ms) < 0.001 }, 5000,
                      "the camera exposes " + ms + " ms, not " + MainCtrl._WBTSGetExposure());
            compare(CamOpts.wBTSCurExposurePre, ms);
            compare(Number(testProbe.iniValue("Ini/camOption.ini", "CamOption/WBTSCurExposurePre")), ms);
        }
        click(box);
        keyClick(Qt.Key_A, Qt.ControlModifier);
        ["1", "2", ".", "2", "5"].forEach(function(k) { keyClick(k) });
        keyClick(Qt.Key_Return);
        compare(box.displayText, "12.25");
        reached(12.25);
        keyClick(Qt.Key_Up);
        compare(box.displayText, "13.25");
        reached(13.25);
        mouseClick(box, box.up.indicator.x + box.up.indicator.width / 2, box.up.indicator.y + box.up.indicator.height / 2);
        reached(14.25);
        // A second decimal point or a letter is not taken.
        keyClick(".");
        keyClick("x");
        compare(box.displayText, "14.25");
        page.cameraBar.showExposure(1234.5);
        compare(box.displayText, "1234.5");
        page.cameraBar.exposureChosen(40);
        page.cameraBar.showExposure(40);
        reached(40);
    }

    // Without automatic stretch the histogram reads 0 and 65535 ("Raw"); after the capture the
    // camera's temperature is shown.
    function test_rawHistogramAndTemperatureAfterCapture() {
        UserOpts.isAutoStretch = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsAutoStretch);
        setSingle(200);
        capture();
        tryVerify(function() { return page.captureFinished }, 30000, "the capture ends");
        tryCompare(part(page, "rangeText"), "text", "0 - 65535", 5000);
        verify(part(page, "orgButton").checked);
        var temperature = part(page, "temperatureText");
        tryVerify(function() { return temperature.visible }, 5000, "the temperature is shown");
        verify(temperature.text.indexOf("Camera Temp: ") === 0, temperature.text);
        // The label follows the language at once, not at the next reading.
        translatorControl.loadLanguage(UserOpts.Chinese);
        verify(temperature.text.indexOf("相机温度: ") === 0, temperature.text);
        translatorControl.loadLanguage(UserOpts.English);
        verify(temperature.text.indexOf("Camera Temp: ") === 0, temperature.text);
        UserOpts.isAutoStretch = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsAutoStretch);
        click(part(page, "backButton"));
        tryVerify(function() { return !page.captureFinished });
        verify(!temperature.visible);
        settlePreview();
    }

    function test_modeAndExposureAudit() {
        var mark = auditMark();
        click(part(page, "multiButton"));
        verify(!page.singleCaptureVisible);
        verify(!MainCtrl.singleCaptureVisible);
        compare(UserOpts.integralAccumulate, true);
        click(part(page, "singleButton"));
        verify(MainCtrl.singleCaptureVisible);
        page.mode.showSingleTime(61250);
        page.mode.saveSingleTime();
        compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/singleCapExpTime"), "61250");
        var rows = auditSince(mark).map(function(r) { return r.content });
        compare(rows, ["设置模式: 多张", "Mode Setting: Multi", "设置模式: 单张", "Mode Setting: Single",
                       "曝光时间设置: 1分1秒250毫秒", "Exposure Setting: 1m1s250ms"]);
    }

    // The images page switches the light off and, coming back, on again.
    function test_lightFollowsThePageFrame() {
        page.updateLightStatus(false);
        verify(!page.lighton);
        tryVerify(function() { return testProbe.cabinetLamps() === 0 }, 5000, "the light is off");
        page.updateLightStatus(true);
        verify(page.lighton);
        tryVerify(function() { return testProbe.cabinetLamps() !== 0 }, 5000, "the light is on");
        var mark = auditMark();
        click(part(page, "lightCloseButton"));
        verify(!page.lighton);
        compare(auditSince(mark)[1].content, "Light: Close");
        click(part(page, "lightOpenButton"));
        verify(page.lighton);
    }

    // Only the cabinets with a door lock release it; the S60's door is not the program's.
    function test_doorRelease_data() {
        return [
            { tag: "S60, no door lock", authority: EnumOBJ.AllAuthorityTS, released: false },
            { tag: "695 with a door lock", authority: EnumOBJ.WBTS695_Manual, released: true }
        ];
    }
    function test_doorRelease(row) {
        var original = MainCtrl.authorityType;
        MainCtrl.authorityType = row.authority;
        var frames = testProbe.doorReleaseFrames();
        var mark = auditMark();
        page.dooropen = false;
        page.door_release();
        MainCtrl.authorityType = original;
        if (!row.released) {
            wait(100);
            compare(testProbe.doorReleaseFrames(), frames);
            verify(!page.dooropen);
            compare(auditSince(mark).length, 0);
            return;
        }
        tryVerify(function() { return testProbe.doorReleaseFrames() > frames }, 5000);
        verify(page.dooropen);
        compare(auditSince(mark)[1].content, "ReleaseDoor Clicked");
        MainCtrl.authorityType = row.authority;
        page.door_release();
        MainCtrl.authorityType = original;
        compare(auditSince(mark).length, 2, "an open door is not released again");
        page.dooropen = false;
    }

    // The automatic-exposure wait can be cancelled each time it opens.
    function test_aeDialogCancelsEachTime() {
        for (var round = 0; round < 2; ++round) {
            click(part(page, "aeButton"));
            tryVerify(function() { return page.aeDialog.opened }, 5000, "AE dialog, round " + round);
            var cancel = findChild(page.aeDialog.contentItem, "cancelButton");
            verify(cancel.visible && cancel.enabled, "cancel usable, round " + round);
            mouseClick(cancel);
            tryVerify(function() { return !page.aeDialog.visible && !page.cameraBar.aeRunning }, 5000,
                      "AE stopped, round " + round);
            dismissMessages();
        }
        page.cameraBar.exposureChosen(40);
    }

    function test_languageChangeKeepsTheUnits() {
        part(page, "firstUnit").currentIndex = UserOpts.Minute;
        page.reTranslateUi(UserOpts.English);
        compare(part(page, "firstUnit").currentIndex, UserOpts.Minute);
        compare(part(page, "firstUnit").currentText, "M");
    }

    // "ReCapture": the live view again, then the capture starts by itself on its first frame.
    function test_reCaptureStartsOnTheFirstFrame() {
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setSingle(100);
        started.clear();
        capture();
        tryVerify(function() { return page.captureFinished }, 30000);
        compare(started.count, 1);
        var mark = auditMark();
        nextSecond();
        click(part(page, "reCaptureButton"));
        compare(page.imageModel.count, 0, "the list is emptied");
        tryVerify(function() { return started.count === 2 }, 10000, "the capture starts again");
        tryVerify(function() { return page.captureFinished }, 30000);
        compare(page.imageModel.count, 1);
        compare(auditSince(mark)[1].content, "Capture ReClicked");
    }

    // "Range": a region drawn on the live picture goes to the estimate; unchecking, a binning
    // change and leaving remove it.
    function test_estimationRange() {
        setSingle(1000);
        var button = part(page, "rangeButton");
        verify(button.visible);
        click(button);
        verify(page.rangeOn);
        var area = part(page, "rangeArea");
        var r = page.imageItem.getTempRect();
        var p0 = page.imageItem.mapToItem(area, r.x + r.width / 4, r.y + r.height / 4);
        var p1 = page.imageItem.mapToItem(area, r.x + r.width / 2, r.y + r.height * 3 / 4);
        mousePress(area, p0.x, p0.y);
        mouseMove(area, p1.x, p1.y);
        mouseRelease(area, p1.x, p1.y);
        verify(page.estimateRange !== null);
        fuzzyCompare(page.estimateRange.x, 0.25, 0.01);
        fuzzyCompare(page.estimateRange.width, 0.25, 0.01);
        fuzzyCompare(page.estimateRange.height, 0.5, 0.01);
        verify(part(page, "rangeRect").visible);
        click(part(page, "binning_1"));
        compare(page.estimateRange, null, "a binning change removes it");
        settlePreview();
        click(part(page, "binning_0"));
        settlePreview();
        mousePress(area, p0.x, p0.y);
        mouseRelease(area, p1.x, p1.y);
        verify(page.estimateRange !== null);
        click(button);
        verify(!page.rangeOn);
        compare(page.estimateRange, null);
        verify(!part(page, "rangeRect").visible);
    }

    // A filter left in the light path by a gel capture is turned out before the blot preview.
    function test_filterWheelOpenedForTheBlot() {
        leave();
        MainCtrl._GelTSFilterChanged(2);
        tryVerify(function() { return testProbe.cabinetFilter() === 2 }, 10000, "the wheel at 590 nm");
        window.curGlobalFilterPos = 2;
        filterShown.clear();
        click(part(window.mainPage.body.homePage, "wbButton"));
        tryVerify(function() { return filterShown.count > 0 }, 5000, "the filter dialog");
        tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000, "the wheel at its open place");
        compare(window.curGlobalFilterPos, 0);
        tryVerify(function() { return !page.filterDialog.opened }, 10000);
        settlePreview();
        dismissMessages();
    }

    // A wheel reset the board misses on entry: the dialog of the turn goes at once, the preview
    // goes on, the operator is told and the window keeps the filter the wheel has; the next
    // entry turns it out.
    function test_unansweredWheelResetIsToldAndTriedAgain() {
        leave();
        MainCtrl._GelTSFilterChanged(2);
        tryVerify(function() { return testProbe.cabinetFilter() === 2 }, 10000, "the wheel at 590 nm");
        tryVerify(function() { return MainCtrl.confirmedFilter() === EnumOBJ.F_590nm }, 5000, "the board confirmed it");
        window.curGlobalFilterPos = 2;
        testProbe.clearLog();
        var errorBefore = MainCtrl.errorCode;
        testProbe.ignoreBoardRequests(0xF1, 1);
        filterShown.clear();
        click(part(window.mainPage.body.homePage, "wbButton"));
        tryVerify(function() { return filterShown.count > 0 }, 5000, "the filter dialog");
        tryVerify(function() { return testProbe.logCount("滤光轮指令无应答") > 0 }, 10000, "the missed command is logged");
        verify(!page.filterDialog.opened);
        compare(window.curGlobalFilterPos, 2);
        compare(testProbe.cabinetFilter(), 2);
        compare(MainCtrl.errorCode, errorBefore);
        messageSaying(window, "The cabinet did not answer the filter command.").close();
        settlePreview();

        leave();
        filterShown.clear();
        click(part(window.mainPage.body.homePage, "wbButton"));
        tryVerify(function() { return filterShown.count > 0 }, 5000, "the filter dialog");
        tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000, "the wheel at its open place");
        compare(window.curGlobalFilterPos, 0);
        tryVerify(function() { return !page.filterDialog.opened }, 10000);
        settlePreview();
        compare(MainCtrl.confirmedFilter(), EnumOBJ.NoFilter);
        compare(testProbe.logCount("滤光轮指令无应答"), 1, "the second reset is answered");
    }

    // The estimation region belongs to a single capture on the live view: "Multi" and "Back"
    // take it off the camera and the picture.
    function test_rangeGoesWithMultipleModeAndBack() {
        setSingle(100);
        var area = part(page, "rangeArea");
        function drawRange() {
            if (!page.rangeOn)
                click(part(page, "rangeButton"));
            verify(page.rangeOn);
            mouseDrag(area, area.width * 0.3, area.height * 0.3, area.width * 0.3, area.height * 0.3);
            verify(page.estimateRange !== null, "a region is set");
            verify(part(page, "rangeRect").visible);
        }
        drawRange();
        click(part(page, "multiButton"));
        verify(!page.rangeOn);
        compare(page.estimateRange, null);
        verify(!part(page, "rangeRect").visible);

        click(part(page, "singleButton"));
        drawRange();
        capture();
        tryVerify(function() { return page.captureFinished }, 30000, "the capture ends");
        click(part(page, "backButton"));
        tryVerify(function() { return !page.captureFinished });
        verify(!page.rangeOn);
        compare(page.estimateRange, null);
        verify(!part(page, "rangeRect").visible);
    }
}
