import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import "qrc:/js/WesternBlot.js" as WB

// The picture of the Western-blot page through a capture, on the cabinet the file runs on: the
// capture shows its stretched frame fitted, a list click shows that entry, the level sliders and
// Raw/Auto re-render it, zoom and fit act on it, a pseudo-colour picture is shown and deleted
// without touching the other files. Pictures go to build/screens/ as <prefix>_<screens>_*.png.
WBPageCase {
    id: test
    property string screens: "wb_picture"
    PictureProbe { id: probe; test: test }
    property alias probe: probe

    function setUpFile() {
        // Auto shows the range the controller finds only with automatic stretch on.
        UserOpts.isAutoStretch = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsAutoStretch);
        UserOpts.markerCapture = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setUpPage();
    }
    function tearDownFile() { tearDownPage() }

    function item() { return page.imageItem }
    function names() {
        var list = [];
        for (var i = 0; i < page.imageModel.count; ++i)
            list.push(page.imageModel.get(i).file);
        return list;
    }
    function frameEntries() {
        var list = [];
        for (var i = 0; i < page.imageModel.count; ++i)
            if (page.imageModel.get(i).file === "")
                list.push(i);
        return list;
    }
    function clickEntry(index) {
        var row = null;
        tryVerify(function() { row = findChild(page.imageList, "imageEntry_" + index); return row !== null }, 5000);
        page.imageList.positionViewAtIndex(index, ListView.Contain);
        click(row, row.width * 0.6, row.height / 2);
        compare(page.imageList.currentIndex, index);
    }
    function captured() {
        if (page.captureFinished && page.imageModel.count > 0)
            return;
        setSingle(300);
        capture();
        tryVerify(function() { return page.captureFinished }, 30000, "the capture ends");
        verify(frameEntries().length >= 2, "marker and sample frames listed");
    }
    // The sample frame of the single capture (the marker frame and the merge come with it).
    function sampleEntry() {
        for (var i = 0; i < page.imageModel.count; ++i)
            if (page.imageModel.get(i).file === "" && page.imageModel.get(i).exposure === 300)
                return i;
        fail("no sample frame listed");
    }
    function histogram() { return part(page, "rightSlider").parent.parent }
    function bothLanguages(name) {
        translatorControl.loadLanguage(UserOpts.Chinese);
        shoot("zh_1.0", screens + "_" + name);
        translatorControl.loadLanguage(UserOpts.English);
        shoot("en_1.0", screens + "_" + name);
    }

    function test_a_captureShowsItsStretchedFrameFitted() {
        testProbe.clearLog();
        captured();
        // Each picture report found its frame's histogram record, also the sample's, which comes
        // while the merge is already listed but not yet written.
        compare(testProbe.logCount("no histogram for image index"), 0, "a report drawn without its record");
        // The capture ends on its merge, shown as the controller stretched it, and fitted.
        var selected = page.imageList.currentIndex;
        compare(selected, page.imageModel.count - 1);
        var entry = page.imageModel.get(selected);
        verify(String(entry.path).indexOf("_Merge") >= 0, "the merge is selected last: " + entry.path);
        compare(item().imageIndex, entry.file === "" ? WB.frameIndex(selected, names()) : -4);
        var s = probe.verifyFitted(item());
        verify(s.painted > 0);
        // The marker frame, taken with the lamp lit, carries the merge: a lit membrane, not black.
        verify(s.mean > 20, "the marker shows in the merge " + JSON.stringify(s));
        bothLanguages("capture");
        clickEntry(0);
        compare(page.imageModel.get(0).exposure, 40);
        var marker = probe.shown(item());
        verify(marker.mean > 20, "the marker frame is lit " + JSON.stringify(marker));
        // The sample, as the operator looks at it first.
        clickEntry(sampleEntry());
        probe.verifyFitted(item());
        bothLanguages("capture_sample");
    }

    // Each entry shows its own picture, and the same one again when chosen again.
    function test_b_listClickShowsThatEntry() {
        captured();
        var frames = frameEntries();
        var a = frames[0], b = frames[1];
        clickEntry(a);
        compare(item().imageIndex, WB.frameIndex(a, names()));
        var first = probe.shown(item());
        clickEntry(b);
        compare(item().imageIndex, WB.frameIndex(b, names()));
        var second = probe.waitFor(item(), function(s) { return s.digest !== first.digest }, "the other entry's picture");
        clickEntry(a);
        probe.waitFor(item(), function(s) { return s.digest === first.digest }, "the first picture again");
        verify(second.painted > 0);
    }

    // Raw shows the full range and Auto the range the controller found; pulling the right level
    // down brightens the picture.
    function test_c_levelsReRenderThePicture() {
        captured();
        clickEntry(sampleEntry());
        var panel = histogram();
        tryVerify(function() { return panel.visible }, 5000);
        click(part(page, "autoButton"));
        var auto = probe.shown(item());
        var range = [panel.leftValue, panel.rightValue];
        verify(range[0] !== 0 || range[1] !== 65535, "the controller found a narrower range " + range);
        click(part(page, "orgButton"));
        compare([panel.leftValue, panel.rightValue], [0, 65535]);
        probe.waitFor(item(), function(s) { return s.digest !== auto.digest }, "Raw differs from Auto");
        click(part(page, "autoButton"));
        probe.waitFor(item(), function(s) { return s.digest === auto.digest }, "Auto again");

        // A camera frame not already white at Raw (the sample's background may be).
        var frames = frameEntries(), raw = null;
        for (var i = 0; i < frames.length && raw === null; ++i) {
            if (page.imageModel.get(frames[i]).exposure === -1)
                continue;
            clickEntry(frames[i]);
            click(part(page, "orgButton"));
            var s = probe.waitFor(item(), function(t) { return t.painted > 0 && panel.rightValue === 65535 }, "Raw");
            if (s.mean < 200)
                raw = s;
        }
        verify(raw !== null, "a frame with room to brighten");
        probe.dragHandle(part(page, "rightSlider"), -part(page, "rightSlider").width * 0.9);
        verify(panel.rightValue < 20000, "dragged " + panel.rightValue);
        probe.waitFor(item(), function(t) { return t.mean > raw.mean + 5 }, "the picture brightens from " + raw.mean);
        bothLanguages("levels");
    }

    // Zoom in makes the picture larger than the box, Fit brings it back, zoom out shrinks it.
    function test_d_zoomAndFit() {
        captured();
        clickEntry(sampleEntry());
        click(part(page, "fitButton"));
        probe.verifyFitted(item());
        var fitted = item().getTempRect();
        click(part(page, "zoomInButton"));
        tryVerify(function() { return item().getTempRect().width > fitted.width + 2 }, 5000, "zoomed in");
        click(part(page, "fitButton"));
        tryVerify(function() { return item().getTempRect().width === fitted.width }, 5000, "fitted again");
        click(part(page, "zoomOutButton"));
        tryVerify(function() { return item().getTempRect().width < fitted.width - 2 }, 5000, "zoomed out");
        click(part(page, "fitButton"));
        probe.verifyFitted(item());
    }

    function copies(fileName) {
        return testProbe.run("find", [testProbe.appDir(), UserOpts.imageSavePath, "-name", fileName]).trim();
    }
    // A pseudo-colour picture is shown in colour; deleting it removes its file and its copy and
    // nothing else.
    function test_e_pseudoColourShownThenDeletedAlone() {
        captured();
        var source = sampleEntry();
        clickEntry(source);
        click(part(page, "entryCheck_" + source));
        var before = page.imageModel.count;
        click(part(page, "pseudoButton"));
        tryVerify(function() { return page.imageModel.count === before + 1 }, 10000, "the pseudo-colour picture is listed");
        var pseudo = { path: page.imageModel.get(before).path, file: page.imageModel.get(before).file };
        verify(pseudo.file !== "");
        compare(page.imageList.currentIndex, before);
        compare(item().imageIndex, -4);
        var s = probe.waitFor(item(), function(t) { return t.coloured > t.painted / 100 },
                              "the pseudo colours are shown");
        verify(s.painted > 0);

        var kept = [];
        for (var i = 0; i < before; ++i)
            kept.push(page.imageModel.get(i).path);
        click(part(page, "entryCheck_" + source));
        click(part(page, "entryCheck_" + before));
        click(part(page, "deleteButton"));
        compare(page.imageModel.count, before);
        verify(!fileExists(pseudo.path), pseudo.path);
        compare(copies(pseudo.path.substring(pseudo.path.lastIndexOf("/") + 1)), "");
        for (var k = 0; k < kept.length; ++k) {
            verify(fileExists(kept[k]), kept[k]);
            compare(page.imageModel.get(k).path, kept[k]);
        }
        // The picture shown is the entry now last.
        compare(page.imageList.currentIndex, before - 1);
        probe.shown(item());
    }

    // A new binning changes the picture's size: the live view fits again, zoomed or not.
    function test_f_binningRefitsTheView() {
        click(part(page, "zoomInButton"));
        click(part(page, "zoomInButton"));
        var other = part(page, "binning_0").checked ? "binning_1" : "binning_0";
        frames.clear();
        click(part(page, other));
        tryVerify(function() { return frames.count > 1 }, 10000, "frames of the new binning");
        probe.verifyFitted(item());
    }
}
