import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/GelCapture.js" as Gel

// The gel page's picture through captures on the Tucsen cabinet (an S60): the capture shows its
// stretched frame fitted, Org/Auto and the level sliders re-render it, a list click shows that
// entry, a dyed picture is shown; deleting the dyed entry between two captures, then a frame,
// removes exactly those entries' files and rows.
ShellTestCase {
    id: test
    name: "GelPicture"
    property var window: null
    property var page: null
    PictureProbe { id: probe; test: test }

    function setUpFile() {
        // Auto shows the range the controller finds only with automatic stretch on.
        UserOpts.isAutoStretch = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsAutoStretch);
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.colorMarker = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarker);
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
        page.loadFittedLights();
        testProbe.answerColourChoice("#0076ff");
        click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.visible && page.entered });
        previewReady();
    }
    function tearDownFile() {
        if (page.entered) {
            click(part(window.mainPage.head, "backButton"));
            tryVerify(function() { return !page.entered });
        }
        window.destroy();
    }
    function previewReady() {
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // The wheel's first move ends in automatic exposure.
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
    }
    function item() { return page.imageItem }
    function names() {
        var list = [];
        for (var i = 0; i < page.imageModel.count; ++i)
            list.push(page.imageModel.get(i).file);
        return list;
    }
    function fileName(path) { return path.substring(path.lastIndexOf("/") + 1) }
    function fileExists(path) { return testProbe.run("ls", [path]).trim() === path }
    function copies(name) { return testProbe.run("find", [UserOpts.imageSavePath, "-name", name]).trim() }
    function rowImages() {
        return testProbe.run("sqlite3", ["-batch", testProbe.appDir() + "/Databases/Experiment.db",
                                         "select imageNames from GelExperiment where name = '" + MainCtrl.curExpName + "'"]).trim();
    }
    function lightButton(type) { return part(page, "light_" + type) }
    function captureWith(light, exposure) {
        if (!lightButton(light).checked) {
            click(lightButton(light));
            previewReady();
        }
        CamOpts.gelTSCurExposurePre = exposure;
        CamOpts.saveCamOptsByName(CamOpts.GelTS_CurExposurePre);
        // A slow machine may still be restarting the preview, which ignores the change: ask
        // until the camera has it.
        tryVerify(function() {
            MainCtrl._GelTSPreExpChanged(exposure);
            return Math.abs(MainCtrl._GelTSGetExposure() - exposure) < 0.01;
        }, 10000, "the camera takes the exposure");
        var count = page.imageModel.count;
        click(part(page, "captureButton"));
        tryVerify(function() { return page.captureFinished && page.imageModel.count === count + 1 }, 30000, "the capture ends");
    }
    function back() {
        click(part(page, "backButton"));
        tryVerify(function() { return !page.captureFinished }, 10000);
        previewReady();
    }
    function clickEntry(index) {
        var row = null;
        tryVerify(function() { row = findChild(page.imageList, "imageEntry_" + index); return row !== null }, 5000);
        click(row, row.width * 0.6, row.height / 2);
        compare(page.imageList.currentIndex, index);
    }
    function bothLanguages(name) {
        for (var i = 0; i < 2; ++i) {
            var zh = i === 0;
            translatorControl.loadLanguage(zh ? UserOpts.Chinese : UserOpts.English);
            settle(window.contentItem);
            var path = testProbe.screensDir() + "/" + (zh ? "zh_1.0" : "en_1.0") + "_gel_picture_" + name + ".png";
            var saved = null;
            verify(window.contentItem.parent.grabToImage(function(result) { saved = result.saveToFile(path) }));
            tryVerify(function() { return saved !== null }, 5000);
            verify(saved, path);
        }
    }

    // A new binning changes the picture's size: the live view fits again, zoomed or not.
    function test_0_binningRefitsTheView() {
        click(part(page, "zoomInButton"));
        click(part(page, "zoomInButton"));
        click(part(page, "cameraSettingButton"));
        var other = part(page, "binning_0").checked ? "binning_1" : "binning_0";
        click(part(page, other));
        // The binning change switches automatic exposure on; this test needs only the frames.
        page.startAutoExposure(false);
        tryVerify(function() { return !page.aeDialog.visible }, 5000);
        previewReady();
        probe.verifyFitted(item());
        if (page.cameraBar.shown)
            click(part(page, "cameraSettingButton"));
    }

    function test_a_captureShowsItsStretchedFrameFitted() {
        click(part(page, "zoomInButton"));
        captureWith(EnumOBJ.White, 20);
        compare(page.imageList.currentIndex, 0);
        compare(item().imageIndex, 0);
        probe.verifyFitted(item());
        bothLanguages("capture");
    }

    function test_b_levelsReRenderThePicture() {
        var panel = part(page, "rightSlider").parent.parent;
        verify(panel.visible);
        // A gel capture records the full range: Auto and Org show the same picture.
        click(part(page, "autoButton"));
        var auto = probe.shown(item());
        compare([panel.leftValue, panel.rightValue], [0, 65535]);
        click(part(page, "orgButton"));
        compare([panel.leftValue, panel.rightValue], [0, 65535]);
        var org = probe.waitFor(item(), function(s) { return s.digest === auto.digest }, "Org as Auto");
        // The short capture is dark: the right level goes near the left end.
        probe.dragHandle(part(page, "rightSlider"), -part(page, "rightSlider").width);
        verify(panel.rightValue < 5000, "dragged " + panel.rightValue);
        probe.waitFor(item(), function(s) { return s.mean > org.mean + 5 }, "the picture brightens");
        bothLanguages("levels");
        click(part(page, "autoButton"));
        probe.waitFor(item(), function(s) { return s.digest === auto.digest }, "Auto again");
    }

    // A dyed entry between two captures, then deleted: the frames keep their files and rows.
    function test_c_dyedEntryDeletedBetweenCaptures() {
        click(part(page, "entryCheck_0"));
        click(part(page, "stainButton"));
        tryVerify(function() { return page.imageModel.count === 2 }, 10000, "the dyed picture is listed");
        var dyed = { path: page.imageModel.get(1).path, file: page.imageModel.get(1).file };
        verify(dyed.file !== "");
        compare(item().imageIndex, -4);
        probe.waitFor(item(), function(s) { return s.bluish > s.painted / 100 }, "the dyed picture is shown");
        click(part(page, "entryCheck_0"));

        back();
        captureWith(EnumOBJ.UV302C, 60);
        compare(page.imageList.currentIndex, 2);
        compare(item().imageIndex, 1);
        probe.verifyFitted(item());
        var first = page.imageModel.get(0).path, second = page.imageModel.get(2).path;

        // A list click shows that entry's picture.
        clickEntry(0);
        compare(item().imageIndex, 0);
        var one = probe.shown(item());
        clickEntry(2);
        compare(item().imageIndex, 1);
        probe.waitFor(item(), function(s) { return s.digest !== one.digest }, "the second capture's picture");
        clickEntry(0);
        probe.waitFor(item(), function(s) { return s.digest === one.digest }, "the first capture's picture again");

        var rowBefore = rowImages();
        verify(rowBefore.indexOf(fileName(first)) >= 0 && rowBefore.indexOf(fileName(second)) >= 0, rowBefore);
        click(part(page, "entryCheck_1"));
        page.deleteChecked();
        compare(page.imageModel.count, 2);
        compare(page.pseudoColorCount, 0);
        verify(!fileExists(dyed.path), dyed.path);
        compare(copies(fileName(dyed.path)), "");
        for (var k = 0; k < 2; ++k) {
            var path = [first, second][k];
            verify(fileExists(path), path);
            verify(copies(fileName(path)) !== "", "copy of " + path);
        }
        compare(rowImages(), rowBefore);
        compare([page.imageModel.get(0).path, page.imageModel.get(1).path], [first, second]);

        // Now the second frame, by its entry.
        click(part(page, "entryCheck_1"));
        page.deleteChecked();
        compare(page.imageModel.count, 1);
        verify(!fileExists(second), second);
        verify(fileExists(first), first);
        var rowAfter = rowImages();
        verify(rowAfter.indexOf(fileName(second)) < 0 && rowAfter.indexOf(fileName(first)) >= 0, rowAfter);
        compare(page.imageList.currentIndex, 0);
        compare(item().imageIndex, 0);
        probe.waitFor(item(), function(s) { return s.digest === one.digest }, "the first capture shown");
    }
}
