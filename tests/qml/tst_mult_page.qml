import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// The multi-fluorescence capture page on the virtual cabinet (an S60, the plain configuration):
// preview, lights and filters on the board, automatic exposure, the preview exposure boxes, a
// three-channel capture and what the image list does with it.
ShellTestCase {
    id: test
    name: "MultPage"
    property var window: null
    property var page: null

    // Lamp bits of the virtual cabinet.
    readonly property int lampSource: 1 << 1
    readonly property int lampRed: 1 << 6
    readonly property int lampGreen: 1 << 7
    readonly property int lampBlue: 1 << 8
    readonly property int lampNIR740: 1 << 9

    SignalSpy { id: frames; target: MainCtrl; signalName: "imageChanged" }
    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    SignalSpy { id: started; target: MainCtrl; signalName: "captureStart" }
    PictureProbe { id: probe; test: test }

    function setUpFile() {
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        window = makeWindow(true);
        page = window.mainPage.body.pages[5];
    }
    function tearDownFile() {
        if (page.entered)
            leave();
        window.destroy();
    }

    function enter() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "fluButton"));
        tryVerify(function() { return page.visible && page.entered });
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible }, 6000,
                  "the dialogs close " + [page.cameraDialog.visible, page.filterDialog.visible, page.rotateCount, page.cameraSetted]);
    }
    function leave() {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
    }
    function initEach() {
        if (!page.entered)
            enter();
        page.aeBox.checked = false;
        if (page.captureFinished) {
            frames.clear();
            click(part(page, "backButton"));
            tryVerify(function() { return frames.count > 0 && !page.cameraDialog.visible }, 10000, "the preview runs again");
        }
    }
    // A test that matched the filters to the lights leaves them unmatched, whatever it ended in.
    function cleanupEach() {
        if (UserOpts.autoMatchFilter) {
            UserOpts.autoMatchFilter = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        }
    }
    function lightButton(type) { return part(page, "light_" + type) }
    function setPreviewExposure(ms) {
        page.showPreviewExposure(ms);
        page.storePreviewExposure();
    }
    function boxes() { return [part(page, "minuteBox").value, part(page, "secondBox").value, part(page, "milliBox").value] }
    function turnFilter(index, wheel) {
        if (page.curFilterPos !== index)
            page.chooseFilter(index);
        tryVerify(function() { return testProbe.cabinetFilter() === wheel }, 10000, "the wheel turned");
        tryVerify(function() { return !page.filterDialog.visible }, 6000);
    }
    function chooseLight(type) {
        var button = lightButton(type);
        if (!button.checked)
            page.lightClicked(type, true);
        verify(button.checked);
    }
    // A short capture opens and closes its progress dialog between two looks: the controller's
    // start signal tells that it ran.
    function capture() {
        started.clear();
        click(part(page, "captureButton"));
        tryVerify(function() { return started.count > 0 }, 10000, "the capture starts");
        tryVerify(function() { return page.captureFinished }, 30000, "the capture ends");
        verify(!page.progressDialog.visible);
    }

    function test_enterAndLeaveRunAndStopThePreview() {
        leave();
        frames.clear();
        click(part(window.mainPage.body.homePage, "fluButton"));
        verify(page.entered);
        verify(page.lensSettling, "the lens pause does not hold the program");
        enter();
        verify(frames.count > 0);
        compare(MainCtrl.expMode, EnumOBJ.Mult);
        verify(lightButton(EnumOBJ.White).checked);
        compare(page.curFilterPos, 0);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on");
        leave();
        var after = frames.count;
        wait(200);
        compare(frames.count, after, "no frame after leaving");
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) === 0 }, 5000, "the light is off");
        compare(window.curGlobalFilterPos, 0);
    }

    function test_lightButtonsSwitchTheBoard_data() {
        return [
            { tag: "R625nm", light: EnumOBJ.R625nm, lamp: lampRed, name: "R625nm" },
            { tag: "G520nm", light: EnumOBJ.G520nm, lamp: lampGreen, name: "G520nm" },
            { tag: "B470nm", light: EnumOBJ.B470nm, lamp: lampBlue, name: "B470nm" },
            { tag: "IR740nm", light: EnumOBJ.IR740nm, lamp: lampNIR740, name: "IR740nm" },
            { tag: "White", light: EnumOBJ.White, lamp: lampSource, name: "White" }
        ];
    }
    function test_lightButtonsSwitchTheBoard(row) {
        var button = lightButton(row.light);
        // From dark (two quick clicks on one button would make a double click).
        if (page.curLightType !== EnumOBJ.Unknow_LightType) {
            page.setLightChecked(-1);
            page.lightClicked(page.curLightType, false);
        }
        var mark = auditMark();
        click(button);
        verify(button.checked);
        compare(page.curLightType, row.light);
        tryVerify(function() { return (testProbe.cabinetLamps() & row.lamp) !== 0 }, 5000, "the lamp is lit");
        for (var i = 0; i < page.lights.length; ++i)
            if (page.lights[i] !== row.light)
                verify(!lightButton(page.lights[i]).checked, "one light at a time");
        click(button);
        tryVerify(function() { return (testProbe.cabinetLamps() & row.lamp) === 0 }, 5000, "the lamp is off");
        var rows = auditSince(mark);
        compare(rows.length, 4);
        compare(rows[rows.length - 1].content, "Light settings: " + row.name + " light off");
        compare(rows[rows.length - 1].module, "Capture/Flu");
        compare(rows[rows.length - 3].content, "Light settings: " + row.name + " light on");
    }

    // Going to the image library puts the light out; coming back lights it again.
    function test_lightFollowsThePageShown() {
        chooseLight(EnumOBJ.R625nm);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampRed) !== 0 }, 5000);
        page.updateLightStatus(false);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampRed) === 0 }, 5000, "the lamp goes out");
        compare(page.lastLightType, EnumOBJ.R625nm);
        page.updateLightStatus(true);
        verify(lightButton(EnumOBJ.R625nm).checked);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampRed) !== 0 }, 5000, "the lamp is lit again");
    }

    function test_filterButtonsTurnTheWheel_data() {
        return [
            { tag: "535 nm", index: 1, wheel: 1, steps: 1 },
            { tag: "840 nm goes as 5", index: 5, wheel: 5, steps: 4 },
            { tag: "back to none, the long way round", index: 0, wheel: 0, steps: 2 }
        ];
    }
    function test_filterButtonsTurnTheWheel(row) {
        if (row.index === 1)
            turnFilter(0, 0);
        var mark = auditMark();
        click(part(page, "filter_" + row.index));
        compare(page.rotateCount, row.steps);
        verify(page.filterDialog.visible);
        compare(page.filterDialog.text, "Filter Switching...");
        tryVerify(function() { return testProbe.cabinetFilter() === row.wheel }, 10000, "the wheel turned");
        tryVerify(function() { return !page.filterDialog.visible }, 5000);
        compare(auditSince(mark)[1].content, "Filter change: " + page.filterAuditTexts[row.index]);
    }

    // The sensing cabinets carry 715 and 810 nm behind 700 nm: their buttons skip a wheel number.
    function test_sensingWheelSkipsOnePosition() {
        var saved = MainCtrl.authorityType;
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTSFL9BW_Auto;
        verify(page.sensing);
        compare(page.filterTexts.length, 7);
        turnFilter(0, 0);
        page.chooseFilter(6);
        compare(page.rotateCount, 6);
        // "810nm Filter" goes as F_810nm, the wheel's last slot.
        tryVerify(function() { return testProbe.cabinetFilter() === 6 }, 10000, "the wheel turned to 810 nm");
        tryVerify(function() { return !page.filterDialog.visible }, 5000);
        page.chooseFilter(0);
        tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000);
        tryVerify(function() { return !page.filterDialog.visible }, 5000);
        MainCtrl.authorityType = saved;
        verify(!page.sensing);
    }

    function test_automaticExposureSettles() {
        var bar = page.cameraBar;
        click(part(bar, "aeButton"));
        verify(bar.aeOn);
        verify(page.aeDialog.visible);
        tryVerify(function() { return !bar.aeOn && !page.aeDialog.visible }, 20000, "the exposure settles");
        var found = page.aeHistory[page.aeHistory.length - 1].exposure;
        CamOpts.loadCamOptsByName(CamOpts.MultTS_CurExposurePre);
        compare(CamOpts.multTSCurExposurePre, Math.round(found * 1000) / 1000);
        var parts = [Math.floor(Math.round(found) / 60000), Math.floor(Math.round(found) / 1000) % 60, Math.round(found) % 1000];
        compare(boxes(), parts, "the boxes show what was found");
    }

    function test_exposureBoxesStoreAndAudit() {
        var mark = auditMark();
        var seconds = part(page, "secondBox");
        page.showPreviewExposure(500);
        seconds.value = 1;
        seconds.valueModified();
        compare(CamOpts.multTSCurExposurePre, 1500);
        compare(testProbe.iniValue("Ini/camOption.ini", "CamOption/MultTSCurExposurePre").indexOf("1500"), 0);
        var rows = auditSince(mark);
        compare(rows[0].content, "曝光时间设置: 0分1秒500毫秒");
        compare(rows[1].content, "Exposure Setting: 0m1s500ms");
        compare(part(page, "milliBox").displayText, "500");
        page.showPreviewExposure(7);
        compare(part(page, "milliBox").displayText, "007");
    }

    // A long exposure is not kept for the preview after its capture; 3 s is.
    function test_exposureAfterCapture_data() {
        return [
            { tag: "5 s goes back to 0", exposure: 5000, after: [0, 0, 0] },
            { tag: "3 s stays", exposure: 3000, after: [0, 3, 0] }
        ];
    }
    function test_exposureAfterCapture(row) {
        setPreviewExposure(row.exposure);
        page.progressDialog.totalTime = 0;
        capture();
        compare(boxes(), row.after);
        CamOpts.loadCamOptsByName(CamOpts.MultTS_CurExposurePre);
        compare(CamOpts.multTSCurExposurePre, row.after[1] * 1000);
        setPreviewExposure(30);
    }

    // With "Auto Exposure" checked the capture waits for the exposure to settle and takes the
    // channel with what was found; "ReCapture" takes it again under the same light.
    function test_autoExposureCaptureAndRetake() {
        var box = part(page, "aeBox");
        if (!box.checked)
            click(box);
        chooseLight(EnumOBJ.G520nm);
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible }, 5000);
        var count = page.imageModel.count;
        started.clear();
        click(part(page, "captureButton"));
        verify(page.buttonCaptureClicked);
        verify(page.cameraBar.aeOn);
        tryVerify(function() { return started.count > 0 }, 20000, "the capture follows the exposure");
        tryVerify(function() { return page.captureFinished }, 30000);
        var found = page.aeHistory[page.aeHistory.length - 1].exposure;
        compare(page.imageModel.count, count + 1);
        compare(page.imageModel.get(count).exposure, Math.round(found * 1000) / 1000, "taken with what was found");
        // The box is hidden with the finished capture; the retake below goes without it.
        box.checked = false;

        var mark = auditMark();
        started.clear();
        click(part(page, "reCaptureButton"));
        tryVerify(function() { return started.count > 0 }, 20000, "the retake starts once the preview runs");
        tryVerify(function() { return page.captureFinished }, 30000);
        compare(page.imageModel.count, count + 2);
        compare(page.lastCloseLightType, EnumOBJ.G520nm);
        compare(auditSince(mark)[1].content, "Capture ReClicked");
    }

    // Three channels, each under its light and filter, end listed with their parameters and on disk.
    function test_threeChannelCapture() {
        leave();
        enter();
        var channels = [{ light: EnumOBJ.B470nm, filter: 1 }, { light: EnumOBJ.G520nm, filter: 2 },
                        { light: EnumOBJ.R625nm, filter: 4 }];
        for (var c = 0; c < channels.length; ++c) {
            if (page.captureFinished) {
                click(part(page, "backButton"));
                tryVerify(function() { return page.previewing }, 10000, "the preview runs again");
            }
            turnFilter(channels[c].filter, channels[c].filter);
            chooseLight(channels[c].light);
            tryVerify(function() { return !page.cameraDialog.visible }, 5000);
            setPreviewExposure(40);
            capture();
            compare(page.progressDialog.totalTime, 840);
            compare(page.imageModel.count, c + 1);
            // The light goes off with the end of each capture and is remembered for "Back".
            compare(page.lastCloseLightType, channels[c].light);
            verify(!lightButton(channels[c].light).checked);
            tryVerify(function() { return (testProbe.cabinetLamps() & (lampRed | lampGreen | lampBlue)) === 0 }, 5000);
        }
        var listing = testProbe.run("ls", [page.imageSavePath]);
        for (var i = 0; i < 3; ++i) {
            var entry = page.imageModel.get(i);
            compare(entry.file, "");
            verify(entry.bin > 0);
            verify(entry.exposure > 0);
            verify(listing.indexOf(entry.path.substring(entry.path.lastIndexOf("/") + 1)) >= 0, listing);
            var params = part(page, "entryParams_" + i);
            verify(params.text.indexOf("Resolution/Sensitivity: " + entry.bin + "*" + entry.bin) === 0, params.text);
        }
        // One experiment for the three channels.
        verify(page.imageSavePath.indexOf("/Mult") > 0, page.imageSavePath);
    }

    // A light command the board misses, alone or carrying the light's matched filter (840 nm,
    // five steps: the dialog of the turn would outlast the reply window): the buttons show the
    // light and the filter the board still has, and the operator is told once.
    function test_unansweredLightKeepsTheLitOne_data() {
        return [
            { tag: "light alone", match: false },
            { tag: "light with its filter", match: true }
        ];
    }
    function test_unansweredLightKeepsTheLitOne(row) {
        var white = lightButton(EnumOBJ.White);
        var red = lightButton(EnumOBJ.R625nm);
        turnFilter(0, 0);
        chooseLight(EnumOBJ.White);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on");
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.White && MainCtrl.confirmedFilter() === EnumOBJ.NoFilter },
                  5000, "the board confirmed light and wheel");
        tryVerify(function() { return !page.cameraDialog.visible }, 10000);
        var savedFilter = UserOpts.r625nmFilterPos;
        UserOpts.r625nmFilterPos = 5;
        UserOpts.saveUserOptsByName(UserOpts.OPT_R625nmFilterPos);
        UserOpts.autoMatchFilter = row.match;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        var unlit = probe.grab(red);
        var lit = probe.grab(white);
        verify(Math.abs(lit.mean - unlit.mean) > 8, JSON.stringify([lit, unlit]));
        testProbe.clearLog();

        var errorBefore = MainCtrl.errorCode;
        testProbe.ignoreBoardRequests(0xF3, 1);
        click(red);
        compare(page.filterDialog.visible, row.match);
        tryVerify(function() { return testProbe.logCount("灯光指令无应答") > 0 }, 10000, "the missed command is logged");
        compare(testProbe.logCount("滤光轮指令无应答"), row.match ? 1 : 0);
        // Told at once, not when the dialog's own time runs out.
        verify(!page.filterDialog.opened);
        tryVerify(function() { return white.checked && !red.checked }, 5000, "the lit light is shown again");
        compare(page.curLightType, EnumOBJ.White);
        verify(page.lighton);
        compare(page.curFilterPos, 0);
        verify(part(page, "filter_0").checked && !part(page, "filter_5").checked);
        verify((testProbe.cabinetLamps() & lampSource) !== 0);
        verify((testProbe.cabinetLamps() & lampRed) === 0);
        compare(testProbe.cabinetFilter(), 0);
        var after = probe.grab(red);
        verify(Math.abs(after.mean - unlit.mean) < 2, JSON.stringify([after, unlit]));
        compare(MainCtrl.errorCode, errorBefore);
        // One message: the light's says it for the filter that went with it.
        compare(takeMessages(window), ["The cabinet did not answer the light command."]);

        // The board answers again: the same click switches the light (and turns the wheel).
        click(red);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampRed) !== 0 }, 5000, "the lamp is lit");
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.R625nm }, 5000, "the board confirmed it");
        verify(red.checked && !white.checked);
        if (row.match) {
            tryVerify(function() { return testProbe.cabinetFilter() === 5 }, 10000, "the wheel turned");
            tryVerify(function() { return !page.filterDialog.visible }, 6000);
        }
        compare(overlayDialog(window, "customMessageDialog"), null);
        UserOpts.r625nmFilterPos = savedFilter;
        UserOpts.saveUserOptsByName(UserOpts.OPT_R625nmFilterPos);
    }

    // The list operations the page asks of the controller, recorded.
    property var calls: []
    function recorder() {
        var log = [];
        test.calls = log;
        return {
            updateImageName: function(mode, oldPath, newPath) { log.push(["updateImageName", mode, oldPath, newPath]) },
            _MultTSDeleteImage: function(index) { log.push(["_MultTSDeleteImage", index]) },
            _MultTSDeleteColorAMergeImage: function(name) { log.push(["_MultTSDeleteColorAMergeImage", name]) },
            _MultUpdateCurImageName: function(name) { log.push(["_MultUpdateCurImageName", name]) },
            _MultTSStaining: function(colour, name) { log.push(["_MultTSStaining", colour, name]); return "" },
            _MultTSMergeImage: function(names) { log.push(["_MultTSMergeImage", names.slice()]); return "" },
            imageEdit: function(name, user) { log.push(["imageEdit", name, user]) }
        };
    }
    function mark(indexes) {
        for (var i = 0; i < page.imageModel.count; ++i)
            page.imageModel.setProperty(i, "marked", indexes.indexOf(i) >= 0);
    }
    function expectMessage(text) {
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
        compare(message.bodyText, text);
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
    }

    // The list is worked on with the capture shown as finished, as on the gel page.
    function finishedWithChannels(count) {
        if (page.imageModel.count < count) {
            test_threeChannelCapture();
        } else if (!page.captureFinished) {
            setPreviewExposure(40);
            capture();
        }
    }

    // A file export from the page ends with the success message and the file written.
    function test_exportSaysSuccess() {
        var started = Date.now();
        finishedWithChannels(1);
        page.selectEntry(0);
        click(part(page, "exportButton"));
        var exporter = null;
        tryVerify(function() { exporter = overlayDialog(window, "exportDialog"); return exporter && exporter.opened });
        var target = testProbe.appDir() + "/mult_export.png";
        exporter.fileChosen("file://" + target, 5);
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened }, 5000);
        compare(message.titleText, "Success");
        expectMessage("Export success!");
        tryVerify(function() { return testProbe.run("ls", [target]).trim() === target }, 10000, "the file is written");
        // The next test starts a visit of its own, in another second (experiments are named by it).
        tryVerify(function() { return Date.now() - started > 1100 }, 3000);
        leave();
    }

    function test_stainAndMergeAddFileEntries() {
        // Three channels of one visit, nothing else in the list.
        test_threeChannelCapture();
        var before = page.imageModel.count;
        var mark0 = auditMark();
        mark([0]);
        click(part(page, "stainRedButton"));
        tryVerify(function() { return page.imageModel.count === before + 1 }, 10000, "the stained image is listed");
        var stained = page.imageModel.get(before);
        compare(stained.file, stained.path);
        compare(stained.bin, page.imageModel.get(0).bin);
        compare(page.colorAMergeCount, 1);
        verify(testProbe.run("ls", [stained.path]).indexOf(".tif") > 0);

        mark([0, 1, 2]);
        click(part(page, "mergeButton"));
        tryVerify(function() { return page.imageModel.count === before + 2 }, 10000, "the merged image is listed");
        var merged = page.imageModel.get(before + 1);
        compare(merged.file, merged.path);
        compare(page.colorAMergeCount, 2);
        var contents = auditSince(mark0).map(function(row) { return row.content });
        verify(contents.indexOf("Image dyeing: Red") >= 0, contents);
        verify(contents.indexOf("Merge two images") >= 0, contents);

        // Refusals.
        mark([]);
        click(part(page, "stainGreenButton"));
        expectMessage("Please select one image for staining!");
        mark([0]);
        click(part(page, "mergeButton"));
        expectMessage("Please select 2 to 5 images for merge!");
        mark([]);
    }

    function test_listOperationsCallTheController() {
        if (page.imageModel.count < 5)
            test_stainAndMergeAddFileEntries();
        finishedWithChannels(5);
        var count = page.imageModel.count;
        page.imageOps = recorder();

        // Rename through the rename dialog.
        page.selectEntry(1);
        var oldPath = page.imageModel.get(1).path;
        var folder = oldPath.substring(0, oldPath.lastIndexOf("/") + 1);
        click(part(page, "renameButton"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "renameDialog"); return dialog && dialog.opened });
        findChild(dialog.contentItem, "nameField").text = "green_channel";
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return overlayDialog(window, "renameDialog") === null }, 5000);
        compare(calls[0], ["updateImageName", EnumOBJ.Mult, oldPath, folder + "green_channel.tif"]);

        // Export needs no signature here and hands the file to the controller.
        page.selectEntry(0);
        click(part(page, "exportButton"));
        compare(calls[1], ["_MultUpdateCurImageName", page.imageModel.get(0).path]);
        var exporter = null;
        tryVerify(function() { exporter = overlayDialog(window, "exportDialog"); return exporter && exporter.opened });
        exporter.close();
        tryVerify(function() { return overlayDialog(window, "exportDialog") === null });

        // Staining colours go as Qt's global colours.
        mark([1]);
        click(part(page, "stainBlueButton"));
        compare(calls[2], ["_MultTSStaining", 9, page.imageModel.get(1).path]);
        compare(page.imageModel.count, count, "an empty result adds nothing");

        // Delete: nothing checked, then a captured frame, refuse; files go last first.
        mark([]);
        click(part(page, "deleteButton"));
        expectMessage("Please select at least one image!");
        mark([0, count - 1]);
        click(part(page, "deleteButton"));
        expectMessage("The original image cannot be deleted!");
        compare(calls.length, 3);
        var stained = page.imageModel.get(count - 2).path;
        var merged = page.imageModel.get(count - 1).path;
        mark([count - 2, count - 1]);
        click(part(page, "deleteButton"));
        compare(calls[3], ["_MultTSDeleteColorAMergeImage", merged]);
        compare(calls[4], ["_MultTSDeleteColorAMergeImage", stained]);
        compare(page.imageModel.count, count - 2);
        compare(page.colorAMergeCount, 0);
        page.imageOps = MainCtrl;
    }

    // A generated frame is a frame of the camera: its deletion names its place among the frames.
    function test_generatedFrameDeletesByFrameIndex() {
        finishedWithChannels(3);
        page.selectEntry(0);
        click(part(page, "genButton"));
        var count = page.imageModel.count;
        var generated = page.imageModel.get(count - 1);
        compare(generated.file, "");
        compare(generated.exposure, -1);
        page.imageOps = recorder();
        mark([count - 1]);
        click(part(page, "deleteButton"));
        compare(calls[0], ["_MultTSDeleteImage", count - 1 - page.colorAMergeCount]);
        compare(page.imageModel.count, count - 1);
        page.imageOps = MainCtrl;
    }
}
