import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// The gel capture page on the virtual cabinet (an S60: the board does not detect the light
// table, the operator chooses the light): preview, lights and filters, automatic exposure,
// capture with colour marker, the image list.
ShellTestCase {
    id: test
    name: "GelPage"
    property var window: null
    property var page: null

    // Lamp bits of the virtual cabinet.
    readonly property int lampSource: 1 << 1
    readonly property int lampUV302: 1 << 2
    readonly property int lampUV254: 1 << 4
    readonly property int lampUV365: 1 << 5

    SignalSpy { id: frames; target: MainCtrl; signalName: "imageChanged" }
    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    PictureProbe { id: probe; test: test }

    SignalSpy { id: exposures; target: page ? page.aeDialog : null; signalName: "opened" }

    function setUpFile() {
        UserOpts.uv254nmSelected = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmSelected);
        UserOpts.uv365nmSelected = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV365nmSelected);
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
        page.loadFittedLights();
        // The cabinet's own lamp shut-off (minutes, seconds at this time scale) stays out of the way.
        MainCtrl.lightAutoShutDown(255);
    }
    function tearDownFile() {
        if (page.entered)
            leave();
        window.destroy();
    }

    function enter() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.visible && page.entered });
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // The wheel's first move ends in automatic exposure.
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
    }
    function leave() {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
    }
    function lightButton(type) { return part(page, "light_" + type) }
    // Experiments are named by the second they start in: the next visit's one must not share it.
    property real experimentStarted: 0
    function leaveForTheNextExperiment() {
        tryVerify(function() { return Date.now() - experimentStarted > 1100 }, 3000);
        leave();
    }

    function initEach() {
        if (!page.entered)
            enter();
    }
    // A test that matched the filters to the lights leaves them unmatched, whatever it ended in.
    function cleanupEach() {
        if (UserOpts.autoMatchFilter) {
            UserOpts.autoMatchFilter = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        }
    }

    function test_enterAndLeaveRunAndStopThePreview() {
        leave();
        frames.clear();
        click(part(window.mainPage.body.homePage, "gelButton"));
        // The pause for the lens does not hold the program: the page returns at once and goes
        // on when the pause has passed.
        verify(page.entered);
        verify(page.lensSettling);
        verify(!page.previewing);
        enter();
        verify(frames.count > 0);
        compare(MainCtrl.expMode, EnumOBJ.Gel);
        verify(lightButton(EnumOBJ.White).checked);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on");
        leave();
        var after = frames.count;
        wait(200);
        compare(frames.count, after, "no frame after leaving");
        // The exit switches the light off.
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) === 0 }, 5000, "the light is off");
    }

    // The list operations the page asks of the controller, recorded.
    property var calls: []
    function recorder() {
        var log = [];
        test.calls = log;
        return {
            updateImageName: function(mode, oldPath, newPath) { log.push(["updateImageName", mode, oldPath, newPath]) },
            _GelTSDeleteImage: function(list) { log.push(["_GelTSDeleteImage", list.slice()]) },
            _GelUpdateCurImageName: function(name) { log.push(["_GelUpdateCurImageName", name]) },
            imageEdit: function(name, user) { log.push(["imageEdit", name, user]) }
        };
    }

    function test_lightButtonsSwitchTheBoard_data() {
        return [
            { tag: "UV302C", light: EnumOBJ.UV302C, lamp: lampUV302 },
            { tag: "UV254", light: EnumOBJ.UV254, lamp: lampUV254 },
            { tag: "UV365", light: EnumOBJ.UV365, lamp: lampUV365 },
            { tag: "White", light: EnumOBJ.White, lamp: lampSource }
        ];
    }
    // A light's filter move ends in automatic exposure, whose dialog holds the page meanwhile.
    function idle() {
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000, "the page is idle");
        var dialog;
        while ((dialog = overlayDialog(window, "customMessageDialog")) !== null && dialog.bodyText.indexOf("Auto exposure time") === 0) {
            dialog.close();
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") !== dialog });
        }
    }
    function test_lightButtonsSwitchTheBoard(row) {
        var mark = auditMark();
        var button = lightButton(row.light);
        if (button.checked) {
            click(button);
            idle();
        }
        click(button);
        verify(button.checked);
        compare(page.curLightType, row.light);
        tryVerify(function() { return (testProbe.cabinetLamps() & row.lamp) !== 0 }, 5000, "the lamp is lit");
        // One light at a time.
        for (var i = 0; i < page.lights.length; ++i)
            if (page.lights[i] !== row.light)
                verify(!lightButton(page.lights[i]).checked);
        idle();
        verify(button.checked);
        click(button);
        verify(!button.checked);
        tryVerify(function() { return (testProbe.cabinetLamps() & row.lamp) === 0 }, 5000, "the lamp is off");
        var rows = auditSince(mark);
        verify(rows.length >= 2);
        compare(rows[rows.length - 1].content.indexOf("Light settings: "), 0);
        verify(rows[rows.length - 1].content.indexOf(" light off") > 0);
    }

    // A light command the board misses: after its reply window the buttons show the light the
    // board still has on, painted as before, and the operator is told.
    function test_unansweredLightKeepsTheLitOne() {
        var white = lightButton(EnumOBJ.White);
        var uv254 = lightButton(EnumOBJ.UV254);
        if (!white.checked)
            click(white);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on");
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.White }, 5000, "the board confirmed it");
        var unlit = probe.grab(uv254);
        var lit = probe.grab(white);
        verify(Math.abs(lit.mean - unlit.mean) > 8, JSON.stringify([lit, unlit]));
        testProbe.clearLog();

        var errorBefore = MainCtrl.errorCode;
        testProbe.ignoreBoardRequests(0xF1, 1);
        click(uv254);
        tryVerify(function() { return testProbe.logCount("指令无应答") > 0 }, 10000, "the missed command is logged");
        tryVerify(function() { return white.checked && !uv254.checked }, 5000, "the lit light is shown again");
        compare(page.curLightType, EnumOBJ.White);
        verify(page.lighton);
        verify((testProbe.cabinetLamps() & lampSource) !== 0);
        verify((testProbe.cabinetLamps() & lampUV254) === 0);
        var after = probe.grab(uv254);
        verify(Math.abs(after.mean - unlit.mean) < 2, JSON.stringify([after, unlit]));
        // Said on the page, not raised as a device error that would close the experiments.
        compare(MainCtrl.errorCode, errorBefore);
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened }, 5000);
        compare(message.bodyText, "The cabinet did not answer the light command.");
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });

        // The board answers again: the same click switches the light.
        click(uv254);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampUV254) !== 0 }, 5000, "the lamp is lit");
        verify(uv254.checked && !white.checked);
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.UV254 }, 5000, "the board confirmed it");
    }

    // A board slower than the echo's deadline switches the light after all: after the message,
    // the buttons follow the cabinet, not the light told before.
    function test_lateLightFollowsTheCabinet() {
        var white = lightButton(EnumOBJ.White);
        var uv254 = lightButton(EnumOBJ.UV254);
        if (!white.checked)
            click(white);
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.White }, 5000, "the board confirmed it");
        var unlit = probe.grab(uv254);
        testProbe.clearLog();

        // Past the longest an echo may take.
        testProbe.delayBoardRequests(0xF1, 7500, 1);
        click(uv254);
        var message = messageSaying(window, "The cabinet did not answer the light command.");
        verify(white.checked && !uv254.checked);
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return uv254.checked && !white.checked }, 15000, "the late light is shown");
        compare(MainCtrl.litLight(), EnumOBJ.UV254);
        compare(page.curLightType, EnumOBJ.UV254);
        verify(page.lighton);
        verify((testProbe.cabinetLamps() & lampUV254) !== 0);
        var lit = probe.grab(uv254);
        verify(Math.abs(lit.mean - unlit.mean) > 8, JSON.stringify([lit, unlit]));
    }

    // A light sent with its matched filter (840 nm, five steps: the dialog of the turn would
    // outlast the reply window) that the board misses: light and wheel stay as the board has
    // them, no automatic exposure follows, and the operator is told once, of the light.
    function test_unansweredLightWithItsFilterIsToldOnce() {
        var white = lightButton(EnumOBJ.White);
        var uv254 = lightButton(EnumOBJ.UV254);
        var none = part(page, "filter_0");
        if (page.curFilterPos !== 0) {
            click(none);
            tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000);
        }
        idle();
        if (!white.checked)
            click(white);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on");
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.White && MainCtrl.confirmedFilter() === EnumOBJ.NoFilter },
                  5000, "the board confirmed light and wheel");
        idle();
        var savedFilter = UserOpts.uv254nmFilterPos;
        UserOpts.uv254nmFilterPos = 5;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmFilterPos);
        UserOpts.autoMatchFilter = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        testProbe.clearLog();

        var errorBefore = MainCtrl.errorCode;
        exposures.clear();
        testProbe.ignoreBoardRequests(0xF1, 1);
        click(uv254);
        verify(page.filterDialog.visible);
        tryVerify(function() { return testProbe.logCount("滤光轮指令无应答") > 0 }, 10000, "the missed command is logged");
        compare(testProbe.logCount("灯光指令无应答"), 1);
        verify(!page.filterDialog.opened);
        tryVerify(function() { return white.checked && !uv254.checked }, 5000, "the lit light is shown again");
        compare(page.curLightType, EnumOBJ.White);
        compare(page.curFilterPos, EnumOBJ.NoFilter);
        verify(none.checked && !part(page, "filter_5").checked);
        verify((testProbe.cabinetLamps() & lampSource) !== 0);
        verify((testProbe.cabinetLamps() & lampUV254) === 0);
        compare(testProbe.cabinetFilter(), 0);
        compare(MainCtrl.errorCode, errorBefore);
        compare(takeMessages(window), ["The cabinet did not answer the light command."]);
        compare(exposures.count, 0, "no exposure for a wheel that did not turn");

        // The board answers again: the same click switches the light and turns the wheel.
        click(uv254);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampUV254) !== 0 }, 5000, "the lamp is lit");
        tryVerify(function() { return testProbe.cabinetFilter() === 5 }, 10000, "the wheel turned");
        tryVerify(function() { return MainCtrl.confirmedFilter() === EnumOBJ.F_840nm }, 5000, "the board confirmed it");
        verify(uv254.checked && !white.checked);
        idle();
        compare(overlayDialog(window, "customMessageDialog"), null);

        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.uv254nmFilterPos = savedFilter;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmFilterPos);
        click(none);
        tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000);
        idle();
    }

    // The board's timed shut-down puts the light out: no light is current, and the next capture
    // is not named after the old one.
    function test_boardLightOffLeavesNoCurrentLight() {
        if (page.captureFinished)
            click(part(page, "backButton"));
        tryVerify(function() { return !page.captureFinished && page.previewing }, 10000);
        var button = lightButton(EnumOBJ.UV254);
        if (!button.checked)
            click(button);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampUV254) !== 0 }, 5000, "the lamp is lit");
        MainCtrl.lightAutoShutDown(1);
        tryVerify(function() { return !button.checked }, 10000, "the board reports the light off");
        MainCtrl.lightAutoShutDown(0);
        compare(page.curLightType, EnumOBJ.Unknow_LightType);
        verify(!page.lighton);
        var aeBox = part(page, "aeBox");
        if (aeBox.checked)
            click(aeBox);
        CamOpts.gelTSCurExposurePre = 20;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        MainCtrl._GelTSPreExpChanged(20);
        experimentStarted = Date.now();
        click(part(page, "captureButton"));
        tryVerify(function() { return page.captureFinished }, 60000, "the capture ends");
        var path = page.imageModel.get(page.imageModel.count - 1).path;
        verify(path.indexOf("_UV254") < 0, path);
        // The next test starts a visit of its own.
        leaveForTheNextExperiment();
    }

    function test_filterButtonsTurnTheWheel_data() {
        return [
            { tag: "to 590 nm", filter: 2, steps: 2 },
            { tag: "back to none, the long way round", filter: 0, steps: 5 }
        ];
    }
    function test_filterButtonsTurnTheWheel(row) {
        if (row.filter === 2 && page.curFilterPos !== 0) {
            click(part(page, "filter_0"));
            tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000);
        }
        idle();
        var mark = auditMark();
        exposures.clear();
        click(part(page, "filter_" + row.filter));
        compare(page.curFilterPos, row.filter);
        compare(page.rotateCount, row.steps);
        var dialog = page.filterDialog;
        verify(dialog.visible);
        compare(dialog.text, "Filter Switching...");
        tryVerify(function() { return testProbe.cabinetFilter() === row.filter }, 10000, "the wheel turned");
        // The board's end of turn, or the planned time, ends the dialog; automatic exposure
        // follows for the light through the new filter.
        tryVerify(function() { return !dialog.visible }, row.steps * 600 + 2000);
        tryVerify(function() { return exposures.count > 0 }, 5000, "automatic exposure after the move");
        compare(page.aeDialog.text, "Auto Exposuring...");
        idle();
        var rows = auditSince(mark);
        compare(rows[1].content, "Filter change: " + ["No Filter", "", "590nm Filter"][row.filter]);
        // Choosing the position the wheel is at does nothing.
        click(part(page, "filter_" + row.filter));
        verify(!dialog.visible);
    }

    // A filter command the board misses: after its reply window the buttons show the filter the
    // wheel still has, painted as before, the dialog of the turn is gone and the operator is told.
    function test_unansweredFilterKeepsTheWheelsOne() {
        var none = part(page, "filter_0");
        var f590 = part(page, "filter_2");
        if (page.curFilterPos !== 0) {
            click(none);
            tryVerify(function() { return testProbe.cabinetFilter() === 0 }, 10000);
        }
        idle();
        tryVerify(function() { return MainCtrl.confirmedFilter() === EnumOBJ.NoFilter }, 5000, "the board confirmed it");
        var chosen = probe.grab(none);
        var unchosen = probe.grab(f590);
        verify(chosen.digest !== unchosen.digest);
        testProbe.clearLog();

        var errorBefore = MainCtrl.errorCode;
        testProbe.ignoreBoardRequests(0xF1, 1);
        click(f590);
        verify(page.filterDialog.visible);
        tryVerify(function() { return testProbe.logCount("滤光轮指令无应答") > 0 }, 10000, "the missed command is logged");
        tryVerify(function() { return none.checked && !f590.checked }, 5000, "the wheel's filter is shown again");
        compare(page.curFilterPos, EnumOBJ.NoFilter);
        verify(!page.filterDialog.visible);
        compare(testProbe.cabinetFilter(), 0);
        compare(probe.grab(f590).digest, unchosen.digest);
        compare(probe.grab(none).digest, chosen.digest);
        compare(MainCtrl.errorCode, errorBefore);
        var message = messageSaying(window, "The cabinet did not answer the filter command.");
        click(findChild(message.contentItem, "okButton"));
        idle();

        // The board answers again: the same click turns the wheel, and its end closes the dialog.
        click(f590);
        tryVerify(function() { return testProbe.cabinetFilter() === 2 }, 10000, "the wheel turned");
        tryVerify(function() { return MainCtrl.confirmedFilter() === EnumOBJ.F_590nm }, 5000, "the board confirmed it");
        verify(f590.checked && !none.checked);
        idle();
    }


    function test_captureWithColourMarkerListsImages() {
        UserOpts.colorMarkerVisible = true;
        var colour = part(page, "colorBox");
        if (!colour.checked)
            click(colour);
        verify(UserOpts.colorMarker);
        // A short preview exposure, whatever an earlier automatic exposure found.
        CamOpts.gelTSCurExposurePre = 20;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        MainCtrl._GelTSPreExpChanged(20);
        var exposure = 20;
        click(part(page, "captureButton"));
        var progress = page.progressDialog;
        tryVerify(function() { return progress.visible }, 10000);
        // The frame, 800 ms and 20 s for the colour marker.
        compare(progress.totalTime, exposure + 800 + 20000);
        tryVerify(function() { return page.captureFinished }, 60000, "the capture ends");
        verify(!progress.visible);
        compare(page.imageModel.count, 2);
        var frame = page.imageModel.get(0);
        var marker = page.imageModel.get(1);
        compare(frame.file, "");
        verify(frame.bin > 0);
        verify(frame.exposure > 0);
        compare(marker.file, marker.path);
        verify(marker.path.indexOf("_Color") > 0, marker.path);
        compare(page.pseudoColorCount, 1);
        // The list makes its rows when it lays itself out after the last entry.
        tryVerify(function() { return findChild(page, "entryParams_0") !== null && findChild(page, "entryParams_1") !== null }, 5000);
        var params = part(page, "entryParams_0");
        verify(params.visible);
        verify(params.text.indexOf("Resolution/Sensitivity: " + frame.bin + "*" + frame.bin) === 0, params.text);
        verify(params.text.indexOf("Exposure: ") > 0);
        verify(!part(page, "entryParams_1").visible);
        // Both files are in the experiment's folder.
        var listing = testProbe.run("ls", [page.imageSavePath]);
        verify(listing.indexOf(frame.path.substring(frame.path.lastIndexOf("/") + 1)) >= 0, listing);
        verify(listing.indexOf(marker.path.substring(marker.path.lastIndexOf("/") + 1)) >= 0, listing);
        // The light went off with the end of the capture.
        for (var i = 0; i < page.lights.length; ++i)
            verify(!lightButton(page.lights[i]).checked);
        colour.checked = false;
        UserOpts.colorMarker = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarker);
    }

    // A capture the controller refuses (the experiment row cannot be written) is said to the
    // operator; the button works again once the store takes rows.
    function test_refusedCaptureIsSaidAndTheButtonWorksAgain() {
        leave();
        enter();
        var store = testProbe.appDir() + "/Databases/Experiment.db";
        var refuse = "CREATE TRIGGER refuseGel BEFORE INSERT ON GelExperiment BEGIN SELECT RAISE(ABORT, 'refused'); END;";
        testProbe.run("sqlite3", ["-batch", store, refuse]);
        verify(testProbe.run("sqlite3", ["-batch", store, "SELECT name FROM sqlite_master WHERE type = 'trigger'"])
               .indexOf("refuseGel") >= 0);
        var aeBox = part(page, "aeBox");
        if (aeBox.checked)
            click(aeBox);
        CamOpts.gelTSCurExposurePre = 20;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        MainCtrl._GelTSPreExpChanged(20);
        var rowsBefore = testProbe.run("sqlite3", ["-batch", store, "SELECT count(*) FROM GelExperiment"]).trim();
        var button = part(page, "captureButton");
        mouseClick(button);
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened }, 5000);
        verify(message.bodyText.indexOf("could not be recorded") > 0, message.bodyText);
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        verify(!page.progressDialog.visible);
        verify(!page.captureFinished);
        verify(button.visible && button.enabled);
        verify(page.previewing);

        testProbe.run("sqlite3", ["-batch", store, "DROP TRIGGER refuseGel;"]);
        experimentStarted = Date.now();
        mouseClick(button);
        tryVerify(function() { return page.captureFinished }, 60000, "the second press captures");
        compare(testProbe.run("sqlite3", ["-batch", store, "SELECT count(*) FROM GelExperiment"]).trim(),
                String(Number(rowsBefore) + 1));
        verify(page.imageSavePath !== "");
        leaveForTheNextExperiment();
    }

    // A file export from the page ends with the success message and the file written.
    function test_exportSaysSuccess() {
        if (!page.captureFinished) {
            CamOpts.gelTSCurExposurePre = 20;
            CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
            MainCtrl._GelTSPreExpChanged(20);
            experimentStarted = Date.now();
            click(part(page, "captureButton"));
            tryVerify(function() { return page.captureFinished }, 60000, "the capture ends");
        }
        page.selectEntry(0);
        click(part(page, "exportButton"));
        var exporter = null;
        tryVerify(function() { exporter = overlayDialog(window, "exportDialog"); return exporter && exporter.opened });
        var target = testProbe.appDir() + "/gel_export.png";
        exporter.fileChosen("file://" + target, 5);
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened }, 5000);
        compare(message.titleText, "Success");
        compare(message.bodyText, "Export success!");
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        tryVerify(function() { return testProbe.run("ls", [target]).trim() === target }, 10000, "the file is written");
        leaveForTheNextExperiment();
    }

    function test_listOperationsCallTheController() {
        if (page.imageModel.count < 2)
            test_captureWithColourMarkerListsImages();
        page.imageOps = recorder();
        var entry = page.imageModel.get(1);
        var oldPath = entry.path;
        var folder = oldPath.substring(0, oldPath.lastIndexOf("/") + 1);

        // Rename through the rename dialog.
        page.selectEntry(1);
        click(part(page, "renameButton"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "renameDialog"); return dialog && dialog.opened });
        var field = findChild(dialog.contentItem, "nameField");
        compare(field.text, oldPath.substring(folder.length, oldPath.length - 4));
        field.text = "marker_Color";
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return overlayDialog(window, "renameDialog") === null }, 5000, dialog.errorText);
        compare(calls.length, 1);
        compare(calls[0], ["updateImageName", EnumOBJ.Gel, oldPath, folder + "marker_Color.tif"]);
        compare(page.imageModel.get(1).path, folder + "marker_Color.tif");

        // Export hands the selected file to the controller.
        page.selectEntry(0);
        click(part(page, "exportButton"));
        compare(calls[1], ["_GelUpdateCurImageName", page.imageModel.get(0).path]);
        var exporter = null;
        tryVerify(function() { exporter = overlayDialog(window, "exportDialog"); return exporter && exporter.opened });
        verify(exporter.curImageName !== "" && page.imageModel.get(0).path.indexOf(exporter.curImageName) >= 0);
        exporter.close();
        tryVerify(function() { return overlayDialog(window, "exportDialog") === null });

        // The page shows no delete button; its delete refuses the first image and an empty
        // choice, and hands the rest last first.
        verify(!part(page, "deleteButton").visible, "no delete button on the gel page");
        verify(part(page, "renameButton").visible);
        var message;
        page.deleteChecked();
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
        compare(message.bodyText, "Please select at least one image!");
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        click(part(page, "entryCheck_0"));
        page.deleteChecked();
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
        compare(message.bodyText, "The first image cannot be deleted!");
        click(findChild(message.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        click(part(page, "entryCheck_0"));
        compare(calls.length, 2);
        // The colour marker is a file: named by its path, not counted as a frame.
        var markerPath = page.imageModel.get(1).path;
        click(part(page, "entryCheck_1"));
        page.deleteChecked();
        compare(calls[2], ["_GelTSDeleteImage", [markerPath]]);
        compare(page.imageModel.count, 1);
        compare(page.pseudoColorCount, 0);
        page.imageOps = MainCtrl;
    }

    function test_histogramSlidersKeepApart_data() {
        return [
            { tag: "left pushed onto the right", left: 40000, right: 40000, moveLeft: true, wantLeft: 39999, wantRight: 40000 },
            { tag: "right pushed below the left", left: 1000, right: 5000, moveLeft: false, to: 500, wantLeft: 1000, wantRight: 1001 },
            { tag: "left past the top", left: 0, right: 65535, moveLeft: true, to: 70000, wantLeft: 65534, wantRight: 65535 },
            { tag: "right to zero", left: 0, right: 65535, moveLeft: false, to: 0, wantLeft: 0, wantRight: 1 }
        ];
    }
    function test_histogramSlidersKeepApart(row) {
        var histogram = findChild(page, "leftSlider").parent.parent;
        histogram.setRange(0, 65535);
        histogram.setRight(row.right);
        histogram.setLeft(row.left);
        if (row.moveLeft)
            histogram.setLeft(row.to === undefined ? row.right : row.to);
        else
            histogram.setRight(row.to);
        compare(histogram.leftValue, row.wantLeft);
        compare(histogram.rightValue, row.wantRight);
    }

    // The filter settings say which UV sources are fitted; the page follows when they close.
    function test_moreSettingEnablesFittedLights() {
        var uv254 = lightButton(EnumOBJ.UV254);
        verify(uv254.enabled);
        click(part(page, "moreSettingButton"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "gelMoreSettingDialog"); return dialog && dialog.opened });
        click(findChild(dialog.contentItem, "uv254RowCheck"));
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return !uv254.enabled }, 2000);
        click(part(page, "moreSettingButton"));
        tryVerify(function() { dialog = overlayDialog(window, "gelMoreSettingDialog"); return dialog && dialog.opened });
        click(findChild(dialog.contentItem, "uv254RowCheck"));
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return uv254.enabled }, 2000);
    }

}
