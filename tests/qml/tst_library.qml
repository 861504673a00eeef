import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/Library.js" as Lib

// The three image-library pages on a prepared library: dates, experiments and thumbnails from
// the folders and the store, ticking at three levels, the actions' checks, the detail view and
// the batch export with its progress and cancel.
ShellTestCase {
    name: "Library"
    property var window: null
    property string today: Lib.defaultEnd(new Date())
    property string yesterday: Lib.dateText(new Date(new Date().getFullYear(), new Date().getMonth(), new Date().getDate() - 1))
    property var prepared: ({})

    SignalSpy { id: breakSpy; target: MainCtrl; signalName: "sig_exportBreak" }
    SignalSpy { id: deleteSpy; target: MainCtrl; signalName: "deleteFinished" }

    function setUpFile() {
        window = makeWindow(true);
        // Two days of each mode; the newest day has two experiments, one without pictures.
        var modes = [EnumOBJ.Gel, EnumOBJ.WB, EnumOBJ.Mult];
        for (var m = 0; m < modes.length; ++m) {
            var p = {};
            p.old = testProbe.addExperiment(modes[m], yesterday, "Old" + m, 2, 420, 300);
            p.main = testProbe.addExperiment(modes[m], today, "Main" + m, 3, 420, 300);
            p.empty = testProbe.addExperiment(modes[m], today, "Empty" + m, 0);
            prepared[modes[m]] = p;
        }
        // Outside the default search range: many pictures for the batch export.
        var longAgo = Lib.dateText(new Date(new Date().getFullYear(), new Date().getMonth(), new Date().getDate() - 30));
        prepared.batch = testProbe.addExperiment(EnumOBJ.Gel, longAgo, "Batch", 150);
    }
    function tearDownFile() {
        window.destroy();
    }

    function pageOf(mode) {
        var body = window.mainPage.body;
        return mode === EnumOBJ.Gel ? body.pages[6] : mode === EnumOBJ.WB ? body.pages[7] : body.pages[8];
    }
    // As the head bar does: the mode, then the page.
    function enter(mode) {
        MainCtrl.expMode = mode;
        window.mainPage.body.slot_ChangePage(6 + mode);
        var page = pageOf(mode);
        tryCompare(page.dateModel, "count", 2);
        tryVerify(function() { return overlayDialog(window, "loadingDialog") === null }, 5000, "loading closes");
        tryVerify(function() { return page.dateModel.get(0).exps.count === 2
                               && page.dateModel.get(0).exps.get(1).images.count === 3
                               && page.dateModel.get(1).exps.get(0).images.count >= 2 }, 5000, "thumbnails listed");
        return page;
    }
    function message() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        return dialog;
    }
    function closeMessage() {
        var dialog = message();
        var text = dialog.bodyText;
        dialog.accept();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    function thumbs(page) {
        var found = [];
        var walk = function(item) {
            if (item.objectName === "thumb")
                found.push(item);
            for (var i = 0; i < item.children.length; ++i)
                walk(item.children[i]);
        };
        walk(page);
        return found;
    }

    function test_pages_data() {
        return [
            { tag: "gel", mode: EnumOBJ.Gel, binning: "Resolution/Sensitivity: 2*2", origin: false },
            { tag: "western blot", mode: EnumOBJ.WB, binning: "Binning: 4*4,", origin: true },
            { tag: "fluorescence", mode: EnumOBJ.Mult, binning: "Binning: 2*2", origin: false }
        ];
    }
    // Dates newest first, the experiments of a day, each with its pictures (or one entry naming
    // its folder), thumbnails decoded in the background at their shown size.
    function test_pages(row) {
        var page = enter(row.mode);
        var p = prepared[row.mode];
        compare(page.dateModel.get(0).date, today);
        compare(page.dateModel.get(1).date, yesterday);
        var day = page.dateModel.get(0).exps;
        compare(day.get(1).name, "Main" + row.mode);
        compare(day.get(1).folder, p.main.folder);
        compare(day.get(1).images.get(2).source, p.main.files[2]);
        compare(day.get(0).images.count, 1);
        compare(day.get(0).images.get(0).source, p.empty.folder);
        // A late report of an older search (another folder) does not join the row.
        page.addThumbnail(0, 1, "/elsewhere/" + "img_9.tif");
        compare(day.get(1).images.count, 3);
        settle(page);
        var shown = thumbs(page);
        verify(shown.length >= 5, "thumbnails made: " + shown.length);
        for (var i = 0; i < shown.length; ++i) {
            if (shown[i].folderEntry)
                continue;
            verify(shown[i].picture.asynchronous);
            tryCompare(shown[i].picture, "status", Image.Ready, 5000);
            verify(Math.abs(shown[i].picture.sourceSize.width - shown[i].picture.width) < 1);
            verify(shown[i].picture.implicitWidth <= page.thumbWidth);
        }

        // Ticking: a day ticks all its pictures; unticking one unticks its experiment, day and All.
        // (The Western-blot day before may hold a merged picture of another test.)
        var older = page.dateModel.get(1).exps.get(0).images;
        page.checkAll(true);
        compare(page.selectedImageNameList.length, 4 + older.count);
        page.toggleThumb(0, 1, 0);
        verify(!page.allChecked);
        verify(!page.dateModel.get(0).checked);
        verify(!day.get(1).checked);
        compare(page.selectedImageNameList.length, 3 + older.count);
        verify(page.selectedImageNameList.indexOf(p.main.files[0]) < 0);
        page.checkExp(0, 1, false);
        compare(page.dateModel.get(0).count, 1);
        page.checkDate(0, false);
        compare(page.selectedImageNameList.length, older.count);
        for (var o = 0; o < p.old.files.length; ++o)
            verify(page.selectedImageNameList.indexOf(p.old.files[o]) >= 0);

        // The detail view of one picture: parameters, position in the folder, steps, zoom limits.
        page.checkAll(false);
        page.thumbClicked(0, 1, 1);
        page.thumbClicked(0, 1, 1);
        var detail = page.detailView;
        tryCompare(detail, "visible", true);
        compare(detail.fileName, "img_1.tif");
        compare(part(detail, "counterText").text, "2/3");
        compare(part(detail, "binningText").text, row.binning);
        compare(part(detail, "exposureText").text, "Exposure(ms): 20");
        verify(page.dateModel.get(0).exps.get(1).images.get(1).checked, "the first click ticks, the second opens");
        detail.step(1);
        compare(part(detail, "counterText").text, "3/3");
        verify(!part(detail, "nextButton").enabled);
        detail.step(-2);
        verify(!part(detail, "previousButton").enabled);
        detail.item.mScale = 4.5;
        detail.zoomIn();
        compare(detail.item.mScale, 5);
        detail.item.mScale = 0.11;
        detail.zoomOut();
        compare(detail.item.mScale, 0.1);
        detail.fit();
        detail.close();
        verify(!detail.visible);

        // Two clicks further apart than 300 ms tick and untick, and open nothing.
        page.thumbClicked(0, 1, 2);
        page.lastClickTime -= 400;
        page.thumbClicked(0, 1, 2);
        verify(!detail.visible);
        verify(!page.dateModel.get(0).exps.get(1).images.get(2).checked);
    }

    function test_checks_data() {
        return [
            { tag: "export none", pick: 0, button: "exportButton", text: "Please select at least one image!" },
            { tag: "rename none", pick: 0, button: "renameButton", text: "Please select at least one image!" },
            { tag: "detail two", pick: 2, button: "detailButton", text: "Please select one image!" },
            { tag: "edit none", pick: 0, button: "editButton", text: "Please select one image!" },
            { tag: "delete none", pick: 0, button: "deleteButton", text: "Please select at least one image!" },
            { tag: "merge one", pick: 1, button: "mergeButton", text: "Please select two images for merge!" }
        ];
    }
    // Each action refuses a wrong count with its warning and does nothing else.
    function test_checks(row) {
        var page = enter(EnumOBJ.WB);
        for (var k = 0; k < row.pick; ++k)
            page.toggleThumb(0, 1, k);
        click(part(page, row.button));
        compare(closeMessage(), row.text);
        verify(!page.detailView.visible);
    }

    // A search that finds no day opens no loading dialog and lists nothing.
    function test_empty_search() {
        var page = enter(EnumOBJ.Gel);
        page.beginField.text = "2001-02-01";
        page.endField.text = "2001-02-28";
        page.updateListView(false);
        compare(page.dateModel.count, 0);
        verify(overlayDialog(window, "loadingDialog") === null);
        // Only real days are kept in the date fields.
        page.beginField.text = "2001-02-29";
        page.beginField.editingFinished();
        compare(page.beginField.text, "2001-02-01");
        page.beginField.text = "2004-02-29";
        compare(page.beginField.text, "2004-02-29");
        // A click on a date field opens the day picker on that day; its choice fills the field.
        click(page.endField);
        var picker = part(page, "dateSelector");
        tryCompare(picker, "opened", true);
        picker.updateSpecifiedDate("2003-07-14");
        picker.accept();
        tryCompare(page.endField, "text", "2003-07-14");
        tryCompare(picker, "visible", false);
    }

    // Two Western-blot pictures merge into a new picture of their folder.
    // A picture that cannot be read (here an empty file) opens as an empty view with the
    // message; the next readable one takes the message away.
    function test_unreadable_detail() {
        var page = enter(EnumOBJ.Gel);
        var longAgo = Lib.dateText(new Date(new Date().getFullYear(), new Date().getMonth(), new Date().getDate() - 50));
        var broken = testProbe.addExperiment(EnumOBJ.Gel, longAgo, "Broken", 2);
        testProbe.run("cp", ["/dev/null", broken.files[0]]);
        var detail = page.detailView;
        detail.openImage(broken.files[0], 0, 0);
        tryCompare(detail, "visible", true);
        verify(detail.item.unreadable);
        verify(part(detail, "unreadableText").visible);
        compare(detail.grey, false);
        detail.step(1);
        verify(!detail.item.unreadable);
        verify(!part(detail, "unreadableText").visible);
        detail.close();
    }

    function test_merge() {
        var page = enter(EnumOBJ.WB);
        page.toggleThumb(1, 0, 0);
        page.toggleThumb(1, 0, 1);
        click(part(page, "mergeButton"));
        compare(closeMessage(), "Merge success!");
        tryVerify(function() { return page.dateModel.count === 2 && page.dateModel.get(1).exps.get(0).images.count === 3 },
                  5000, "the merged picture is listed");
    }

    function test_export_limits() {
        compare(Lib.exportCountMessage(301), "Please select less than 300 images!");
        compare(Lib.exportCountMessage(300), "");
        compare(Lib.exportCountMessage(0), "Please select at least one image!");
        var page = enter(EnumOBJ.Gel);
        var many = [];
        for (var i = 0; i < 301; ++i)
            many.push(prepared[EnumOBJ.Gel].main.folder + "x" + i + ".tif");
        page.selectedImageNameList = many;
        page.exportStart();
        compare(closeMessage(), "Please select less than 300 images!");
    }

    // The current experiment's pictures are not deleted; others go through the confirmation to
    // the controller with the page's mode and the selection.
    function test_delete() {
        var page = enter(EnumOBJ.Mult);
        var calls = [];
        page.fileOps = {
            deleteFilesAndExps: function(mode, list) { calls.push([mode, list]) },
            lastDeletion: function() { return { deleted: calls[0][1], experiments: [], failed: [] } }
        };
        MainCtrl.curExpName = "Main" + EnumOBJ.Mult;
        page.toggleThumb(0, 1, 0);
        click(part(page, "deleteButton"));
        compare(closeMessage(), "The image of current experiment can't be deleted!");
        page.toggleThumb(0, 1, 0);
        MainCtrl.curExpName = "";
        page.toggleThumb(1, 0, 1);
        var mark = auditMark();
        click(part(page, "deleteButton"));
        var question = message();
        compare(question.bodyText, "Image files are also deleted and cannot be restored, confirm delete?");
        question.accept();
        tryCompare(calls, "length", 1);
        compare(calls[0][0], EnumOBJ.Mult);
        compare(calls[0][1], [prepared[EnumOBJ.Mult].old.files[1]]);
        // The rows are written when the deletion has ended.
        compare(auditSince(mark).length, 0);
        // (No page in front, so that no page lists again meanwhile.)
        MainCtrl.expMode = EnumOBJ.Unknow_ExpMode;
        MainCtrl.deleteFinished();
        MainCtrl.expMode = EnumOBJ.Mult;
        var rows = auditSince(mark);
        compare(rows[0].content, "图片删除: " + prepared[EnumOBJ.Mult].old.files[1]);
        compare(rows[1].content, "Images delete: " + prepared[EnumOBJ.Mult].old.files[1]);
        page.fileOps = MainCtrl;

        // Through the controller the picture and its entries in the row go (the batch
        // experiment, which no other case counts whole).
        var gelPage = enter(EnumOBJ.Gel);
        var batch = prepared.batch;
        gelPage.selectedImageNameList = [batch.files[0]];
        deleteSpy.clear();
        gelPage.deleteSelected();
        tryVerify(function() { return testProbe.run("ls", [batch.folder]).indexOf("img_0.tif") < 0 });
        tryVerify(function() {
            return MainCtrl.loadExpParamByImageSavePath(EnumOBJ.Gel, batch.folder)[4].indexOf("img_1.tif,") === 0;
        });
        // The page lists again when the deletion has ended (wholly, before it is entered again).
        deleteSpy.wait(5000);
        tryVerify(function() {
            return overlayDialog(window, "loadingDialog") === null && gelPage.dateModel.count === 2
                   && gelPage.dateModel.get(0).exps.count === 2 && gelPage.dateModel.get(0).exps.get(1).images.count === 3
                   && gelPage.dateModel.get(1).exps.get(0).images.count >= 2 }, 5000, "listed again");
        enter(EnumOBJ.Gel);

        // A capture killed before its first frame leaves a row without pictures or folder: its
        // entry removes the row, and the audit trail says so.
        var longAgo = Lib.dateText(new Date(new Date().getFullYear(), new Date().getMonth(), new Date().getDate() - 40));
        var phantom = testProbe.addExperiment(EnumOBJ.Gel, longAgo, "Phantom", 0);
        testProbe.run("rmdir", [phantom.folder]);
        compare(MainCtrl.getDirFilesName(phantom.folder), [""]);
        compare(MainCtrl.loadByDate(EnumOBJ.Gel, longAgo, "", "").length, 1);
        gelPage.selectedImageNameList = [phantom.folder];
        deleteSpy.clear();
        mark = auditMark();
        MainCtrl.expMode = EnumOBJ.Unknow_ExpMode;
        gelPage.deleteSelected();
        deleteSpy.wait(5000);
        MainCtrl.expMode = EnumOBJ.Gel;
        compare(MainCtrl.loadByDate(EnumOBJ.Gel, longAgo, "", "").length, 0);
        rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[0].content, "删除无图像实验: " + phantom.folder);
        compare(rows[1].content, "Experiments without images delete: " + phantom.folder);
        enter(EnumOBJ.Gel);
    }

    // Renames go to the controller with the page's mode and full paths (experiments: both
    // folders), and the row follows.
    function test_renames() {
        var page = enter(EnumOBJ.Gel);
        var calls = [];
        page.fileOps = {
            updateImageName: function(mode, oldPath, newPath) { calls.push(["image", mode, oldPath, newPath]) },
            updateNameAndImgSavePathByUuid: function(mode, uuid, name, oldFolder, newFolder) {
                calls.push(["experiment", mode, uuid, name, oldFolder, newFolder]);
            }
        };
        var p = prepared[EnumOBJ.Gel];
        page.renameImage(p.main.folder, "img_0.tif", "renamed.tif");
        compare(calls[0], ["image", EnumOBJ.Gel, p.main.folder + "img_0.tif", p.main.folder + "renamed.tif"]);
        page.renameExperiment(1, 0, "Older");
        var parent = p.old.folder.substring(0, p.old.folder.length - ("Old0/").length);
        compare(calls[1], ["experiment", EnumOBJ.Gel, p.old.uuid, "Older", parent + "Old0/", parent + "Older/"]);
        compare(page.dateModel.get(1).exps.get(0).name, "Older");
        // A folder that is not <root>/<day>/<name>/ is refused before the controller is asked.
        var exps = page.dateModel.get(1).exps;
        exps.setProperty(0, "folder", "/app/loose/Older/");
        page.renameExperiment(1, 0, "Loose");
        compare(closeMessage(), "The experiment could not be renamed: Older");
        compare(calls.length, 2);
        exps.setProperty(0, "folder", parent + "Older/");

        // A rename the controller refuses changes nothing on the page and says so.
        page.fileOps = {
            updateImageName: function() { return false },
            updateNameAndImgSavePathByUuid: function() { return false }
        };
        var mark = auditMark();
        verify(!page.renameImage(p.main.folder, "img_1.tif", "x.tif"));
        compare(closeMessage(), "The image could not be renamed: img_1.tif");
        page.renameExperiment(1, 0, "Oldest");
        compare(closeMessage(), "The experiment could not be renamed: Older");
        compare(page.dateModel.get(1).exps.get(0).name, "Older");
        compare(auditSince(mark).length, 0);

        // The real controller: onto an existing picture refused, to a free name done.
        page.fileOps = MainCtrl;
        verify(!page.renameImage(p.main.folder, "img_1.tif", "img_2.tif"));
        compare(closeMessage(), "The image could not be renamed: img_1.tif");
        verify(page.renameImage(p.main.folder, "img_1.tif", "lane 2.tif"));
        compare(testProbe.run("ls", ["-1", p.main.folder]), "img_0.tif\nimg_2.tif\nlane 2.tif\n");
        compare(MainCtrl.loadExpParamByImageSavePath(EnumOBJ.Gel, p.main.folder)[4], "img_0.tif,lane 2.tif,img_2.tif,");
    }

    // A strip longer than the page: the thumbnails on screen are asked for first; the ones the
    // view made just out of sight wait until those are decoded, then follow.
    function test_thumbnails_on_screen_first() {
        // Pictures of an experiment outside the search range, shown in today's strip.
        var longAgo = Lib.dateText(new Date(new Date().getFullYear(), new Date().getMonth(), new Date().getDate() - 40));
        // The first ones large, so that decoding those on screen takes a while.
        var large = testProbe.addExperiment(EnumOBJ.Gel, longAgo, "Large", 8, 2400, 1800);
        var small = testProbe.addExperiment(EnumOBJ.Gel, longAgo, "Small", 32, 420, 300);
        var files = large.files.concat(small.files);
        var page = enter(EnumOBJ.Gel);
        var images = page.dateModel.get(0).exps.get(1).images;
        // Watched from the first frame on: no picture out of sight is asked for while one on
        // screen is still being decoded.
        var strip = null, early = [];
        var inStrip = function() {
            return strip ? thumbs(page).filter(function(t) { return t.parent === strip.contentItem }) : [];
        };
        var seen = function(t) { return t.x + t.width > strip.contentX && t.x < strip.contentX + strip.width };
        var watch = function() {
            var made = inStrip();
            var waiting = made.filter(function(t) { return seen(t) && t.picture.status !== Image.Ready });
            if (waiting.length === 0)
                return;
            made.filter(function(t) { return !seen(t) && String(t.picture.source) !== "" }).forEach(function(t) {
                early.push(t.picture.source + " while " + waiting.length + " on screen wait");
            });
        };
        var walk = function(item) {
            for (var i = 0; i < item.children.length && !strip; ++i) {
                if (item.objectName === "expRow_0_1" && item.children[i].objectName === "strip")
                    strip = item.children[i];
                walk(item.children[i]);
            }
        };
        // The rows are made as the page's model fills: looked for until there.
        tryVerify(function() { walk(page); return strip !== null }, 5000, "today's strip");
        var timer = Qt.createQmlObject("import QtQuick 2.15; Timer { interval: 1; repeat: true; running: true }", page);
        timer.triggered.connect(watch);
        for (var f = 0; f < files.length; ++f)
            images.append({ source: files[f], checked: false });
        settle(page);
        compare(strip.count, 3 + files.length);
        watch();
        var made = inStrip();
        var onScreen = made.filter(seen), beyond = made.filter(function(t) { return !seen(t) });
        verify(onScreen.length >= 3, "thumbnails on screen: " + onScreen.length);
        verify(beyond.length >= 1, "the view makes thumbnails out of sight too: " + beyond.length);
        for (var i = 0; i < onScreen.length; ++i)
            tryCompare(onScreen[i].picture, "status", Image.Ready, 10000);
        for (var k = 0; k < beyond.length; ++k)
            tryCompare(beyond[k].picture, "status", Image.Ready, 10000);
        timer.destroy();
        compare(early.length, 0, early.slice(0, 3).join("; "));

        // Dragged into sight, the next ones are asked for and shown; the first stay decoded.
        var first = onScreen[0];
        mouseDrag(strip, strip.width - 20, strip.height / 2, -(strip.width - 60), 0);
        tryVerify(function() { return strip.contentX > page.thumbWidth }, 5000, "the strip scrolls");
        settle(page);
        var now = inStrip().filter(seen).filter(function(t) { return onScreen.indexOf(t) < 0 });
        verify(now.length >= 1, "new thumbnails in sight");
        for (var n = 0; n < now.length; ++n)
            tryCompare(now[n].picture, "status", Image.Ready, 5000);
        if (inStrip().indexOf(first) >= 0)
            compare(first.picture.status, Image.Ready);

        images.remove(3, files.length);
    }

    // The batch export: progress to the end and the success message, one folder per
    // experiment; a cancel stops it before the end.
    function test_batch_export() {
        var page = enter(EnumOBJ.Gel);
        page.checkAll(true);
        var out = testProbe.appDir() + "/exports one";
        var mark = auditMark();
        page.exportFolderChosen("file://" + encodeURI(out));
        compare(closeMessage(), "Export success!");
        compare(testProbe.run("ls", ["-1", out]), "Main0\nOld0\n");
        compare(testProbe.run("ls", ["-1", out + "/Main0"]), "img_0.tif\nimg_1.tif\nimg_2.tif\n");
        var rows = auditSince(mark);
        compare(rows[0].content, "图片导出: " + out);

        breakSpy.clear();
        page.selectedImageNameList = prepared.batch.files;
        page.exportFolderChosen("file://" + encodeURI(testProbe.appDir() + "/exports two"));
        var progress = overlayDialog(window, "exportProcessDialog");
        verify(progress !== null);
        progress.reject();
        tryVerify(function() { return overlayDialog(window, "exportProcessDialog") === null });
        breakSpy.wait(5000);
        verify(overlayDialog(window, "customMessageDialog") === null, "a cancelled export is no success");
        var written = testProbe.run("ls", ["-1", testProbe.appDir() + "/exports two/Batch"]).split("\n").length - 1;
        verify(written < 150, "stopped after " + written);
    }
}
