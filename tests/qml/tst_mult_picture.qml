import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// The multi-fluorescence page's picture through two channel captures on the Tucsen cabinet (an
// S60): each capture shows its stretched frame fitted, a list click shows that entry, Org/Auto
// and the level sliders re-render it, a stain and a merge show their result (the merge clears
// the check marks), and deleting the stained entry keeps every other file and row.
ShellTestCase {
    id: test
    name: "MultPicture"
    property var window: null
    property var page: null
    PictureProbe { id: probe; test: test }

    function setUpFile() {
        // Auto shows the range the controller finds only with automatic stretch on.
        UserOpts.isAutoStretch = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsAutoStretch);
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        window = makeWindow(true);
        page = window.mainPage.body.pages[5];
        click(part(window.mainPage.body.homePage, "fluButton"));
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
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible }, 6000);
    }
    function item() { return page.imageItem }
    function fileName(path) { return path.substring(path.lastIndexOf("/") + 1) }
    function fileExists(path) { return testProbe.run("ls", [path]).trim() === path }
    function rowImages() {
        return testProbe.run("sqlite3", ["-batch", testProbe.appDir() + "/Databases/Experiment.db",
                                         "select imageNames from MultExperiment where name = '" + MainCtrl.curExpName + "'"]).trim();
    }
    function captureWith(light, exposure) {
        if (page.curLightType !== light) {
            page.lightClicked(light, true);
            // The board's echo, then the wheel: a capture before them would take the old light.
            tryVerify(function() { return MainCtrl.litLight() === light }, 10000, "the board switched the light");
            previewReady();
        }
        page.showPreviewExposure(exposure);
        page.storePreviewExposure();
        var count = page.imageModel.count;
        click(part(page, "captureButton"));
        tryVerify(function() { return page.captureFinished && page.imageModel.count === count + 1 }, 30000, "the capture ends");
    }
    function clickEntry(index) {
        var row = null;
        tryVerify(function() { row = findChild(page.imageList, "imageEntry_" + index); return row !== null }, 5000);
        click(row, row.width * 0.6, row.height / 2);
        compare(page.imageList.currentIndex, index);
    }
    function marks() {
        var list = [];
        for (var i = 0; i < page.imageModel.count; ++i)
            list.push(page.imageModel.get(i).marked);
        return list;
    }
    function bothLanguages(name) {
        for (var i = 0; i < 2; ++i) {
            var zh = i === 0;
            translatorControl.loadLanguage(zh ? UserOpts.Chinese : UserOpts.English);
            settle(window.contentItem);
            var path = testProbe.screensDir() + "/" + (zh ? "zh_1.0" : "en_1.0") + "_mult_picture_" + name + ".png";
            var saved = null;
            verify(window.contentItem.parent.grabToImage(function(result) { saved = result.saveToFile(path) }));
            tryVerify(function() { return saved !== null }, 5000);
            verify(saved, path);
        }
    }

    function test_a_eachCaptureShowsItsFrameFitted() {
        click(part(page, "zoomInButton"));
        captureWith(EnumOBJ.White, 40);
        compare(item().imageIndex, 0);
        var first = probe.verifyFitted(item());
        bothLanguages("capture");
        click(part(page, "backButton"));
        tryVerify(function() { return !page.captureFinished }, 10000);
        previewReady();
        captureWith(EnumOBJ.G520nm, 400);
        compare(page.imageList.currentIndex, 1);
        compare(item().imageIndex, 1);
        probe.verifyFitted(item());

        clickEntry(0);
        compare(item().imageIndex, 0);
        var one = probe.shown(item());
        clickEntry(1);
        compare(item().imageIndex, 1);
        probe.waitFor(item(), function(s) { return s.digest !== one.digest }, "the second channel's picture");
        clickEntry(0);
        probe.waitFor(item(), function(s) { return s.digest === one.digest }, "the first channel again");
        verify(first.painted > 0);
    }

    function test_b_levelsReRenderThePicture() {
        clickEntry(1);
        var panel = part(page, "rightSlider").parent.parent;
        tryVerify(function() { return panel.visible });
        // A fluorescence capture records the full range: Auto and Org show the same picture.
        click(part(page, "autoButton"));
        var auto = probe.shown(item());
        compare([panel.leftValue, panel.rightValue], [0, 65535]);
        click(part(page, "orgButton"));
        compare([panel.leftValue, panel.rightValue], [0, 65535]);
        var org = probe.waitFor(item(), function(s) { return s.digest === auto.digest }, "Org as Auto");
        probe.dragHandle(part(page, "rightSlider"), -part(page, "rightSlider").width * 0.7);
        verify(panel.rightValue < 40000, "dragged " + panel.rightValue);
        probe.waitFor(item(), function(s) { return s.mean > org.mean + 5 }, "the picture brightens");
        bothLanguages("levels");
        click(part(page, "autoButton"));
    }

    function test_c_stainMergeAndDeleteTheStain() {
        var frames = [page.imageModel.get(0).path, page.imageModel.get(1).path];
        var rowBefore = rowImages();
        verify(rowBefore.indexOf(fileName(frames[0])) >= 0 && rowBefore.indexOf(fileName(frames[1])) >= 0, rowBefore);

        click(part(page, "entryCheck_0"));
        click(part(page, "stainRedButton"));
        tryVerify(function() { return page.imageModel.count === 3 }, 10000, "the stained picture is listed");
        var stained = page.imageModel.get(2).path;
        compare(page.imageList.currentIndex, 2);
        compare(item().imageIndex, -4);
        probe.waitFor(item(), function(s) { return s.reddish > 0 && s.bluish === 0 && s.red > s.green && s.red > s.blue },
                      "the red stain is shown");

        click(part(page, "entryCheck_1"));
        compare(marks(), [true, true, false]);
        click(part(page, "mergeButton"));
        tryVerify(function() { return page.imageModel.count === 4 }, 10000, "the merged picture is listed");
        var merged = page.imageModel.get(3).path;
        compare(item().imageIndex, -4);
        compare(item().imageName, merged);
        probe.shown(item());
        compare(marks(), [false, false, false, false]);

        click(part(page, "entryCheck_2"));
        click(part(page, "deleteButton"));
        compare(page.imageModel.count, 3);
        verify(!fileExists(stained), stained);
        for (var k = 0; k < 2; ++k)
            verify(fileExists(frames[k]), frames[k]);
        verify(fileExists(merged), merged);
        compare([page.imageModel.get(0).path, page.imageModel.get(1).path, page.imageModel.get(2).path],
                [frames[0], frames[1], merged]);
        compare(rowImages(), rowBefore);
        compare(page.colorAMergeCount, 1);
    }
}
