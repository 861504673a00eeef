import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/Library.js" as Lib

// The gel image library as the operator meets it, by mouse and keyboard on the real page: the
// detail view's grey levels, renames from the detail view and of several pictures, the date
// picker, and names with markup in them.
ShellTestCase {
    name: "LibraryDetail"
    property var window: null
    property var page: null
    property string today: Lib.defaultEnd(new Date())
    property var lanes: null
    property var marked: null
    // An experiment name as an operator may type it (a folder name cannot hold "/").
    readonly property string markup: "<b>Bold<img src=x>"

    function setUpFile() {
        window = makeWindow(true);
        lanes = testProbe.addExperiment(EnumOBJ.Gel, today, "Lanes", 3, 420, 300);
        marked = testProbe.addExperiment(EnumOBJ.Gel, today, markup, 1, 420, 300);
        page = window.mainPage.body.pages[6];
    }
    function tearDownFile() {
        window.destroy();
    }
    // As the head bar does: the mode, then the page; the day's two experiments listed.
    function initEach() {
        MainCtrl.expMode = EnumOBJ.Gel;
        window.mainPage.body.slot_ChangePage(6);
        page.updateListView(true);
        page.lastClickSource = "";
        tryCompare(page.dateModel, "count", 1);
        tryVerify(function() { return overlayDialog(window, "loadingDialog") === null }, 5000, "loading closes");
        tryVerify(function() { var exps = page.dateModel.get(0).exps;
                               return exps.count === 2 && expOf("Lanes").images.count === 3 }, 5000, "thumbnails listed");
    }
    function cleanupEach() {
        var picker = findChild(page, "dateSelector");
        if (picker.visible) {
            picker.reject();
            tryCompare(picker, "visible", false);
        }
        if (page.detailView.visible)
            page.detailView.close();
        page.resetSearch();
    }

    function expIndexOf(name) {
        var exps = page.dateModel.get(0).exps;
        for (var j = 0; j < exps.count; ++j)
            if (exps.get(j).name === name)
                return j;
        return -1;
    }
    function expOf(name) { return page.dateModel.get(0).exps.get(expIndexOf(name)) }
    function find(root, test) {
        if (test(root))
            return root;
        for (var i = 0; i < root.children.length; ++i) {
            var found = find(root.children[i], test);
            if (found)
                return found;
        }
        return null;
    }
    // The thumbnail of that picture in its experiment's strip.
    function thumbOf(source) {
        var thumb = null;
        tryVerify(function() {
            thumb = find(page, function(item) { return item.objectName === "thumb" && item.source === source });
            return thumb !== null;
        }, 5000, "thumbnail of " + source);
        return thumb;
    }
    // A click on the thumbnail's place in the window: the strip's delegates can be re-created
    // between finding one and clicking it.
    function clickThumb(source) {
        settle(thumbOf(source));
        // Found again after the layouts settle: the one found before may be gone by now.
        var at = null;
        tryVerify(function() {
            var thumb = find(page, function(item) { return item.objectName === "thumb" && item.source === source });
            if (!thumb || typeof thumb.mapToItem !== "function")
                return false;
            at = thumb.mapToItem(null, thumb.width / 2, thumb.height / 2);
            return true;
        }, 5000, "thumbnail of " + source);
        mouseClick(window, at.x, at.y);
    }
    function message() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        return dialog;
    }
    function closeMessage() {
        var dialog = message();
        var text = dialog.bodyText;
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    function renameDialog() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "renameDialog"); return dialog !== null && dialog.opened });
        return dialog;
    }
    // Types the name into the open rename dialog and saves.
    function typeRename(name) {
        var dialog = renameDialog();
        var field = findChild(dialog.contentItem, "nameField");
        tryVerify(function() { return field.activeFocus }, 5000, "the name field takes the keys");
        keyClick(Qt.Key_A, Qt.ControlModifier);
        keyClick(Qt.Key_Delete);
        for (var i = 0; i < name.length; ++i)
            keyClick(name.charAt(i));
        compare(field.text, name);
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return overlayDialog(window, "renameDialog") === null }, 5000, "the rename dialog closes");
    }
    // Opens a picture by clicking its thumbnail twice.
    function openByDoubleClick(source) {
        clickThumb(source);
        clickThumb(source);
        tryCompare(page.detailView, "visible", true);
        compare(page.detailView.fileName, Lib.nameOf(source));
        return page.detailView;
    }
    // The window as it is now, into build/screens.
    function shot(name) {
        settle(window.contentItem);
        var root = window.contentItem.parent;
        root.width = window.width;
        root.height = window.height;
        var saved = null;
        verify(root.grabToImage(function(result) { saved = result.saveToFile(testProbe.screensDir() + "/en_1.0_" + name + ".png") }));
        tryVerify(function() { return saved !== null }, 5000, "picture saved");
        verify(saved, name);
    }
    // The width of text set as plain text in the font, width and elision of item.
    function plainWidth(item, text) {
        var plain = Qt.createQmlObject('import QtQuick 2.15; Text { textFormat: Text.PlainText }', page);
        plain.font = item.font;
        if (item.elide !== Text.ElideNone || item.wrapMode !== Text.NoWrap) {
            plain.width = item.width;
            plain.elide = item.elide;
            plain.wrapMode = item.wrapMode;
        }
        plain.text = text;
        var width = plain.contentWidth;
        plain.destroy();
        return width;
    }

    // Both level labels follow the sliders as they are dragged, stepped, and set by Raw and Auto.
    function test_levelLabelsFollowTheSliders() {
        var detail = openByDoubleClick(lanes.files[1]);
        var left = part(detail, "leftSlider"), right = part(detail, "rightSlider");
        var low = part(detail, "minText"), high = part(detail, "maxText");
        // The stretch the picture was opened with, once the sliders have moved to it.
        tryVerify(function() { return left.value === detail.minValue && right.value === detail.maxValue }, 5000, "opened");
        compare(low.text, String(detail.minValue));
        compare(high.text, String(detail.maxValue));
        verify(detail.maxValue - detail.minValue > 600, "a range to move in: " + detail.minValue + ".." + detail.maxValue);

        var shown = function() { return [low.text, high.text] };
        var sliders = function() { return [String(Math.round(left.value)), String(Math.round(right.value))] };
        var before = left.value;
        mouseDrag(left, left.leftPadding + left.visualPosition * (left.availableWidth - left.handle.width) + left.handle.width / 2,
                  left.height / 2, left.width / 8, 0);
        verify(left.value > before, "the handle dragged to the right: " + before + " to " + left.value);
        compare(shown(), sliders());
        var rightBefore = right.value;
        click(part(detail, "rightDown"));
        compare(right.value, rightBefore - 300);
        compare(shown(), sliders());
        click(part(detail, "leftUp"));
        compare(shown(), sliders());
        // A slider pushed onto the other stops one short of it, and the labels say so.
        mouseDrag(right, right.width - 4, right.height / 2, -right.width, 0);
        compare(right.value, left.value + 1);
        compare(shown(), sliders());

        shot("library_detail_levels");

        click(part(detail, "rawButton"));
        compare(shown(), ["0", "65535"]);
        click(part(detail, "autoButton"));
        compare(shown(), [String(detail.minValue), String(detail.maxValue)]);
    }

    // A picture renamed in the detail view stays selected under its new name: the file on disk,
    // the experiment's row, the strip, the view and the actions that follow use the new path.
    function test_renameInDetailKeepsTheSelection() {
        var old = lanes.files[0];
        clickThumb(old);
        compare(page.selectedImageNameList, [old]);
        click(part(page, "detailButton"));
        var detail = page.detailView;
        tryCompare(detail, "visible", true);
        compare(detail.fileName, "img_0.tif");
        click(part(detail, "detailRenameButton"));
        var mark = auditMark();
        typeRename("first lane");
        var renamed = lanes.folder + "first lane.tif";
        compare(testProbe.run("ls", ["-1", lanes.folder]), "first lane.tif\nimg_1.tif\nimg_2.tif\n");
        compare(MainCtrl.loadExpParamByImageSavePath(EnumOBJ.Gel, lanes.folder)[4], "first lane.tif,img_1.tif,img_2.tif,");
        compare(part(detail, "nameText").text, "Name: first lane.tif");
        compare(part(detail, "counterText").text, "1/3");
        compare(part(detail, "exposureText").text, "Exposure(ms): 10");
        compare(page.selectedImageNameList, [renamed]);
        var images = expOf("Lanes").images;
        var ticked = [];
        for (var k = 0; k < images.count; ++k)
            if (images.get(k).checked)
                ticked.push(images.get(k).source);
        compare(ticked, [renamed]);
        compare(page.dateModel.get(0).count, 1);
        compare(auditSince(mark).map(function(r) { return r.content }),
                ["重命名图片: 旧名: img_0.tif 新名: first lane.tif", "Rename image: Old name: img_0.tif New name: first lane.tif"]);
        click(part(detail, "closeButton"));
        tryCompare(detail, "visible", false);

        // Detail again opens the renamed picture; the name goes back through the list's Rename.
        click(part(page, "detailButton"));
        tryCompare(detail, "visible", true);
        compare(detail.fileName, "first lane.tif");
        click(part(detail, "closeButton"));
        click(part(page, "renameButton"));
        typeRename("img_0");
        compare(testProbe.run("ls", ["-1", lanes.folder]), "img_0.tif\nimg_1.tif\nimg_2.tif\n");
    }

    // Several pictures renamed at once take the name with _0, _1 ... in the order ticked.
    function test_renameSeveralNumbersFromZero() {
        clickThumb(lanes.files[2]);
        clickThumb(lanes.files[0]);
        click(part(page, "renameButton"));
        var mark = auditMark();
        typeRename("run");
        compare(testProbe.run("ls", ["-1", lanes.folder]), "img_1.tif\nrun_0.tif\nrun_1.tif\n");
        // run_0 is the picture ticked first (img_2, exposure 30).
        compare(MainCtrl.loadExpParamByImageSavePath(EnumOBJ.Gel, lanes.folder)[4], "run_1.tif,img_1.tif,run_0.tif,");
        compare(auditSince(mark).map(function(r) { return r.content }).filter(function(c) { return c.indexOf("Rename") === 0 }),
                ["Rename image: Old name: img_2.tif New name: run_0.tif", "Rename image: Old name: img_0.tif New name: run_1.tif"]);
        // The list is read again with nothing selected.
        tryVerify(function() { return expIndexOf("Lanes") >= 0 && expOf("Lanes").images.count === 3 }, 5000, "listed again");
        compare(page.selectedImageNameList, []);
        // Named back once the strip has shown the new names.
        tryVerify(function() {
            return [lanes.folder + "run_0.tif", lanes.folder + "run_1.tif"].every(function(source) {
                return thumbOf(source).picture.status === Image.Ready });
        }, 5000, "the renamed pictures shown");
        verify(MainCtrl.updateImageName(EnumOBJ.Gel, lanes.folder + "run_0.tif", lanes.folder + "img_2.tif"));
        verify(MainCtrl.updateImageName(EnumOBJ.Gel, lanes.folder + "run_1.tif", lanes.folder + "img_0.tif"));
    }

    // The date picker takes a click on a day and the mouse wheel on the month and the year.
    function test_datePickerByMouse() {
        var field = page.endField;
        field.text = "2024-03-14";
        click(field);
        var picker = part(page, "dateSelector");
        tryCompare(picker, "opened", true);
        var wheelOf = function(name) { return findChild(picker.contentItem, name) };
        var entry = function(wheel, label) {
            return find(wheel, function(item) { return item.text === label && item.font !== undefined && item.visible
                                                       && item.opacity > 0.2 && item !== wheel.children[0] });
        };
        // The day below the one shown, once the wheel has turned to the field's day.
        var tumblerOf = function(wheel) { return wheel.children[1] };
        var settled = function(wheel, label) {
            var tumbler = tumblerOf(wheel);
            var current = entry(wheel, label);
            return current !== null && Math.abs(current.mapToItem(tumbler, 0, current.height / 2).y - tumbler.height / 2) < 1;
        };
        tryVerify(function() { return settled(wheelOf("dayWheel"), "14") }, 5000, "the day wheel turned to 14");
        var day = null;
        tryVerify(function() { day = entry(wheelOf("dayWheel"), "15"); return day !== null }, 5000, "day 15 shown");
        shot("library_date_picker");
        // Its buttons lie inside it.
        var cancel = findChild(picker.contentItem, "cancelButton");
        var corner = cancel.mapToItem(picker.contentItem, cancel.width, 0);
        verify(findChild(picker.contentItem, "clearButton").mapToItem(picker.contentItem, 0, 0).x >= 0, "Clear inside");
        verify(corner.x <= picker.contentItem.width, "Cancel inside: " + corner.x + " of " + picker.contentItem.width);
        click(day);
        compare(picker.getSelectDate(), "2024-03-15");
        // One notch up on the month: February (the day stays); two down on the year: 2026.
        var month = wheelOf("monthWheel");
        mouseWheel(month, month.width / 2, month.height / 2, 0, 120);
        compare(picker.getSelectDate(), "2024-02-15");
        var year = wheelOf("yearWheel");
        mouseWheel(year, year.width / 2, year.height / 2, 0, -120);
        mouseWheel(year, year.width / 2, year.height / 2, 0, -120);
        compare(picker.getSelectDate(), "2026-02-15");
        // From the first month a notch up goes round to December.
        mouseWheel(month, month.width / 2, month.height / 2, 0, 120);
        mouseWheel(month, month.width / 2, month.height / 2, 0, 120);
        compare(picker.getSelectDate(), "2026-12-15");
        // In February the day wheel goes round after the 28th.
        mouseWheel(month, month.width / 2, month.height / 2, 0, -120 * 2);
        compare(picker.getSelectDate(), "2026-02-15");
        var dayWheel = wheelOf("dayWheel");
        for (var n = 0; n < 14; ++n)
            mouseWheel(dayWheel, dayWheel.width / 2, dayWheel.height / 2, 0, -120);
        compare(picker.getSelectDate(), "2026-02-01");
        // A drag still turns a wheel (and is no click). Pressed while the wheel still glides to
        // 2026, it would stop short and the drag end there.
        tryVerify(function() { return settled(year, "2026") }, 5000, "the year wheel rests at 2026");
        var yearTumbler = tumblerOf(year);
        var x = yearTumbler.width / 2, y = yearTumbler.height - 10;
        mousePress(yearTumbler, x, y);
        var moving = false;
        for (var m = 1; m <= 8; ++m) {
            mouseMove(yearTumbler, x, y - m * 10, 20);
            moving = moving || yearTumbler.moving;
        }
        mouseRelease(yearTumbler, x, y - 80);
        verify(moving, "the wheel follows the drag");
        tryVerify(function() { return settled(year, picker.getSelectDate().substring(0, 4)) }, 5000, "the year wheel comes to rest");
        verify(picker.getSelectDate().substring(0, 4) !== "2026", "dragged to another year: " + picker.getSelectDate());
        click(findChild(picker.contentItem, "okButton"));
        tryCompare(field, "text", picker.getSelectDate());
        compare(field.text.substring(4), "-02-01");
        tryCompare(picker, "visible", false);
        page.resetSearch();
    }

    // A name with markup is shown as typed: in the list, in the detail view and in a message.
    function test_markupShownAsTyped() {
        var caption = null;
        tryVerify(function() {
            caption = find(page, function(item) { return item.text === markup && item.contentWidth !== undefined });
            return caption !== null;
        }, 5000, "the experiment's row");
        compare(caption.contentWidth, plainWidth(caption, markup));
        var detail = openByDoubleClick(marked.files[0]);
        var path = part(detail, "pathText");
        compare(path.text, "Path: " + marked.folder);
        compare(path.contentWidth, plainWidth(path, path.text));
        click(part(detail, "closeButton"));

        // A rename the controller refuses names the experiment in its message.
        page.fileOps = { updateNameAndImgSavePathByUuid: function() { return false } };
        page.renameExperiment(0, expIndexOf(markup), "Other");
        var dialog = message();
        var body = findChild(dialog.contentItem, "messageText");
        compare(body.text, "The experiment could not be renamed: " + markup);
        compare(body.contentWidth, plainWidth(body, body.text));
        shot("library_markup_message");
        closeMessage();
        page.fileOps = MainCtrl;
    }
}
