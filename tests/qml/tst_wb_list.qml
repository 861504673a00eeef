import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0

// The image list of the Western-blot page: which controller method each action calls, with
// which frame numbers, and what it refuses. The list is that of a finished capture; the
// controller's list methods are recorded.
ShellTestCase {
    id: test
    name: "WBList"
    property var window: null
    property var page: null
    property var calls: []
    readonly property string folder: "/data/Images/2026-01-01/WBM1/"

    function setUpFile() {
        window = makeWindow(true);
        page = window.mainPage.body.pages[4];
        MainCtrl.expMode = EnumOBJ.WB;
        page.imageOps = recorder();
        // Shown, not entered: no camera runs.
        window.mainPage.body.slot_ChangePage(4);
    }
    function tearDownFile() {
        page.imageOps = MainCtrl;
        page.resetPage();
        window.mainPage.body.slot_ChangePage(0);
        window.destroy();
    }
    function recorder() {
        return {
            _WBTSImageListClicked: function(i) { test.calls.push(["click", i]) },
            _WBTSDeleteImage: function(j) { test.calls.push(["delete", j]) },
            _WBTSDeletePseudoColorImage: function(name) { test.calls.push(["deletePseudo", name]) },
            _WBTSMergeImage: function(list) { test.calls.push(["merge", list.slice()]); return test.folder + "m_Merge.tif" },
            _WBTSPseudoColorImage: function(i) { test.calls.push(["pseudo", i]); return test.folder + "p_Pseudo.tif" },
            _WBTSPesudoMerge: function(list) { test.calls.push(["pseudoMerge", list.slice()]); return test.folder + "pm_Pseudo_Merge.tif" },
            _WBTSGenerateImage: function() { test.calls.push(["gen"]); return test.folder + "g_Gen.tif" },
            updateImageName: function(mode, oldPath, newPath) { test.calls.push(["rename", mode, oldPath, newPath]) }
        };
    }
    // A finished capture: marker (a colour file), three frames, then a pseudo-colour picture and
    // a generated frame added by the operator.
    function initEach() {
        page.resetPage();
        var entries = [["c_Marker.tif", true], ["f1.tif", false], ["f2.tif", false], ["f3.tif", false]];
        for (var i = 0; i < entries.length; ++i)
            page.appendEntry(folder + entries[i][0], 2, 100, 1, entries[i][1] ? folder + entries[i][0] : "");
        page.pseudoColorCount = 1;
        page.mCount = 4;
        page.imageSavePath = folder;
        page.captureFinished = true;
        page.imageModel.append({ title: "p_Pseudo", path: folder + "p_Pseudo.tif", file: folder + "p_Pseudo.tif", bin: -1,
                                 exposure: -1, gain: -1, marked: false });
        page.pseudoColorCount = 2;
        page.imageModel.append({ title: "g_Gen", path: folder + "g_Gen.tif", file: "", bin: -1, exposure: -1, gain: -1, marked: false });
        test.calls = [];
    }
    function check(indexes) {
        for (var i = 0; i < page.imageModel.count; ++i)
            page.imageModel.setProperty(i, "marked", indexes.indexOf(i) >= 0);
    }
    function warningText() {
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
        var text = findChild(message.contentItem, "messageText").text;
        message.close();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }

    function test_clickCountsOnlyColourPicturesBefore_data() {
        return [
            { tag: "first frame after the marker", index: 1, calls: [["click", 0]] },
            { tag: "third frame", index: 3, calls: [["click", 2]] },
            { tag: "generated frame after the pseudo colour", index: 5, calls: [["click", 3]] },
            { tag: "the marker makes no frame call", index: 0, calls: [] },
            { tag: "the pseudo colour makes no frame call", index: 4, calls: [] }
        ];
    }
    function test_clickCountsOnlyColourPicturesBefore(row) {
        page.actions.selectEntry(row.index);
        compare(test.calls, row.calls);
        compare(page.imageList.currentIndex, row.index);
        var entry = page.imageModel.get(row.index);
        // A frame is shown by its frame number, a colour picture as its file.
        compare(page.imageItem.imageIndex, entry.file === "" ? row.calls[0][1] : -4);
        compare(page.histogramShow, entry.file === "");
    }
    // A click on a real list row reaches the same call.
    function test_clickOnTheRow() {
        var row = findChild(page.imageList, "imageEntry_3");
        verify(row);
        click(row, row.width / 2, row.height / 2);
        compare(test.calls, [["click", 2]]);
    }

    function test_actions_data() {
        var f = folder;
        return [
            { tag: "delete nothing", action: "deleteChecked", checked: [], warning: "Please select at least one image!", calls: [] },
            { tag: "delete a camera frame", action: "deleteChecked", checked: [2, 5], warning: "The original image cannot be deleted!", calls: [] },
            { tag: "delete the added ones, last first", action: "deleteChecked", checked: [4, 5], warning: "",
              calls: [["delete", 3], ["deletePseudo", f + "p_Pseudo.tif"], ["click", 2]], count: 4, pseudo: 1 },
            { tag: "merge one", action: "mergeChecked", checked: [1], warning: "Please select two images for merge!", calls: [] },
            { tag: "merge with pseudo", action: "mergeChecked", checked: [1, 4], warning: "Pseudo color images cannot be selected for merge!", calls: [] },
            { tag: "merge with marker", action: "mergeChecked", checked: [0, 2], warning: "Cannot merge to color Marker!", calls: [] },
            { tag: "merge two frames", action: "mergeChecked", checked: [2, 5], warning: "", calls: [["merge", [1, 3]], ["click", 4]], count: 7, pseudo: 2 },
            { tag: "pseudo of two", action: "pseudoColorChecked", checked: [1, 2], warning: "Please select one images for pseudo color!", calls: [] },
            { tag: "pseudo of pseudo", action: "pseudoColorChecked", checked: [4], warning: "Pseudo color images cannot be selected for pseudo color!", calls: [] },
            { tag: "pseudo of a frame", action: "pseudoColorChecked", checked: [3], warning: "", calls: [["pseudo", 2]], count: 7, pseudo: 3 },
            { tag: "pseudo merge without pseudo", action: "pseudoMergeChecked", checked: [1, 2], warning: "Please select one pesudo image!", calls: [] },
            { tag: "pseudo merge", action: "pseudoMergeChecked", checked: [1, 4], warning: "",
              calls: [["pseudoMerge", [f + "f1.tif", f + "p_Pseudo.tif"]]], count: 7, pseudo: 3 },
            { tag: "generate", action: "generateImage", checked: [], warning: "", calls: [["gen"], ["click", 4]], count: 7, pseudo: 2 }
        ];
    }
    function test_actions(row) {
        check(row.checked);
        var mark = auditMark();
        page.actions[row.action]();
        if (row.warning !== "") {
            compare(warningText(), row.warning);
            compare(page.imageModel.count, 6);
            compare(auditSince(mark).length, 0);
        } else {
            compare(page.imageModel.count, row.count);
            compare(page.pseudoColorCount, row.pseudo);
            // A merge leaves no entry checked; the other actions keep the checks.
            var marked = 0;
            for (var i = 0; i < page.imageModel.count; ++i)
                marked += page.imageModel.get(i).marked ? 1 : 0;
            var kept = row.action === "pseudoColorChecked" || row.action === "generateImage";
            compare(marked, kept ? row.checked.length : 0);
        }
        compare(test.calls, row.calls);
    }

    function test_renameCallsTheControllerWithTheFolder() {
        page.actions.selectEntry(2);
        test.calls = [];
        var mark = auditMark();
        page.actions.renameEntry(2, folder + "blot.tif");
        compare(test.calls, [["rename", EnumOBJ.WB, folder + "f2.tif", folder + "blot.tif"]]);
        compare(page.imageModel.get(2).title, "blot");
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[1].content, "Rename image: Old name: f2 New name: blot");
    }

    function test_parameterLine() {
        page.actions.selectEntry(1);
        compare(part(page, "paramText_0").text, "Resolution/Sensitivity: 2*2");
        compare(part(page, "paramText_1").text, "Exposure: 100ms");
        compare(part(page, "paramText_2").text, "Gain: 1");
        page.actions.selectEntry(5);
        compare(part(page, "paramText_0").text, "Resolution/Sensitivity: ");
        compare(part(page, "paramText_1").text, "Exposure: ");
    }
}
