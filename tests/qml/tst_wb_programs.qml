import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import "qrc:/js/FormulaDB.js" as FLJS

// Exposure programmes of the Western-blot page in "FormulaDB": the list, the editor and the
// save from the manual plan, read back from the database file.
ShellTestCase {
    id: test
    name: "WBPrograms"
    property var window: null
    property var page: null

    function setUpFile() {
        window = makeWindow(true);
        page = window.mainPage.body.pages[4];
        window.mainPage.body.slot_ChangePage(4);
    }
    function tearDownFile() {
        window.mainPage.body.slot_ChangePage(0);
        window.destroy();
    }
    function initEach() {
        FLJS.dbInit();
        db("delete from formulaTable");
    }
    function db(sql) { return testProbe.sqlite("FormulaDB", sql).trim() }
    function stored() { return db("select name, captureCount, integralAccumulate, detail from formulaTable order by id") }
    function warningText() {
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
        var text = findChild(message.contentItem, "messageText").text;
        message.close();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    function openList() {
        var list = page.mode.openProgrammeList();
        tryCompare(list, "opened", true);
        return list;
    }
    function closeDialog(dialog) {
        click(findChild(dialog.contentItem, "closeButton"));
        tryVerify(function() { return !dialog.visible });
    }
    function editorOf(list, edit) {
        click(findChild(list.contentItem, edit ? "editButton" : "addButton"));
        var editor = null;
        tryVerify(function() { editor = overlayDialog(window, "programEditorDialog"); return editor && editor.opened });
        return editor;
    }
    function setRows(editor, times) {
        editor.rows.clear();
        for (var i = 0; i < times.length; ++i)
            editor.rows.append({ minute: times[i][0], second: times[i][1], millisecond: times[i][2] });
    }
    function selectRow(list, index) {
        var row = findChild(list.table, "row" + index);
        verify(row, "row " + index);
        click(row, row.width / 2, row.height / 2);
        compare(list.table.currentIndex, index);
    }

    // Names and times are data: quotes and SQL in a name are stored as typed.
    function test_addEditDeleteRoundTrip() {
        var list = openList();
        var editor = editorOf(list, false);
        compare(editor.rows.count, 2);
        var name = "Blot'); DROP TABLE formulaTable;--";
        editor.nameField.text = "  " + name + "  ";
        setRows(editor, [[0, 1, 0], [0, 3, 0], [1, 0, 500]]);
        click(editor.integralBox);
        var mark = auditMark();
        click(findChild(editor.contentItem, "saveButton"));
        tryVerify(function() { return !editor.visible });
        compare(stored(), name + "|3|1|1000,3000,60500");
        compare(auditSince(mark)[1].content, "Create program： " + name);
        // The list reads it back with its shown times.
        tryCompare(list.rows, "count", 1);
        compare(list.rows.get(0).detailShown, "1s,3s,60.500s");
        compare(list.rows.get(0).accumulateMark, "√");

        selectRow(list, 0);
        editor = editorOf(list, true);
        compare(editor.nameField.text, name);
        compare(editor.rows.count, 3);
        compare([editor.rows.get(2).minute, editor.rows.get(2).second, editor.rows.get(2).millisecond], [1, 0, 500]);
        verify(editor.integralBox.checked);
        editor.nameField.text = "Long";
        setRows(editor, [[0, 2, 0], [0, 4, 0]]);
        mark = auditMark();
        click(findChild(editor.contentItem, "saveButton"));
        tryVerify(function() { return !editor.visible });
        compare(stored(), "Long|2|1|2000,4000");
        compare(auditSince(mark)[1].content, "Update program： Long");

        selectRow(list, 0);
        mark = auditMark();
        click(findChild(list.contentItem, "deleteButton"));
        compare(warningText(), "Delete success!");
        compare(stored(), "");
        compare(list.table.currentIndex, -1, "no selection after the only one");
        compare(auditSince(mark)[1].content, "Delete program： Long");
        click(findChild(list.contentItem, "deleteButton"));
        compare(warningText(), "Please select one program!");
        click(findChild(list.contentItem, "editButton"));
        compare(warningText(), "Please select one program!");
        closeDialog(list);
    }

    function test_deleteMovesTheSelectionUp() {
        FLJS.dbInsert("a", 2, false, "1000,2000");
        FLJS.dbInsert("b", 2, false, "1000,3000");
        FLJS.dbInsert("c", 2, true, "1000,4000");
        var list = openList();
        selectRow(list, 2);
        click(findChild(list.contentItem, "deleteButton"));
        compare(warningText(), "Delete success!");
        compare(list.table.currentIndex, 1);
        compare(db("select group_concat(name) from formulaTable"), "a,b");
        closeDialog(list);
    }

    function test_editorRefusals_data() {
        return [
            { tag: "empty name", name: "  ", rows: [[0, 1, 0]], warning: "Program name cannot be empty!" },
            { tag: "no row", name: "x", rows: [], warning: "Program cannot be empty!" },
            { tag: "first zero", name: "x", rows: [[0, 0, 0], [0, 1, 0]], warning: "Program cannot be zero!" },
            { tag: "equal neighbours", name: "x", rows: [[0, 1, 0], [0, 1, 0]], warning: "Program needs to be incremented!" },
            { tag: "later zero", name: "x", rows: [[0, 1, 0], [0, 0, 0]], warning: "Program needs to be incremented!" },
            { tag: "duplicate, blanks around", name: " taken ", rows: [[0, 1, 0]], warning: "Program name cannot be duplicated!" }
        ];
    }
    function test_editorRefusals(row) {
        FLJS.dbInsert("taken", 1, false, "1000");
        var list = openList();
        var editor = editorOf(list, false);
        editor.nameField.text = row.name;
        setRows(editor, row.rows);
        click(findChild(editor.contentItem, "saveButton"));
        compare(warningText(), row.warning);
        verify(editor.opened, "the editor stays open");
        compare(stored(), "taken|1|0|1000");
        closeDialog(editor);
        closeDialog(list);
    }

    function test_renameChecksOtherNamesOnly() {
        FLJS.dbInsert("one", 1, false, "1000");
        FLJS.dbInsert("two", 1, false, "2000");
        var list = openList();
        selectRow(list, 0);
        var editor = editorOf(list, true);
        click(findChild(editor.contentItem, "saveButton"));
        tryVerify(function() { return !editor.visible }, 5000, "its own name needs no check");
        selectRow(list, 0);
        editor = editorOf(list, true);
        editor.nameField.text = "two";
        click(findChild(editor.contentItem, "saveButton"));
        compare(warningText(), "Program name cannot be duplicated!");
        closeDialog(editor);
        closeDialog(list);
        compare(db("select group_concat(name) from formulaTable"), "one,two");
    }

    function test_saveTheManualPlan() {
        page.mode.setSingle(false);
        part(page, "countBox").value = 3;
        part(page, "firstUnit").currentIndex = UserOpts.Second;
        part(page, "firstBox").value = 2;
        part(page, "deltaUnit").currentIndex = UserOpts.Millisecond;
        part(page, "deltaBox").value = 500;
        var dialog = page.mode.openSaveDialog();
        tryCompare(dialog, "opened", true);
        compare([dialog.captureCount, dialog.firstTime, dialog.increment], [3, 2000, 500]);
        click(findChild(dialog.contentItem, "saveButton"));
        compare(dialog.errorText, "Name cannot be empty.");
        dialog.nameField.text = "plan";
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return !dialog.visible });
        compare(stored(), "plan|3|" + (part(page, "accumulateBox").checked ? 1 : 0) + "|2000,2500,3000");
        // The page's drop-down has it.
        compare(page.mode.programmes.count, 1);
        dialog = page.mode.openSaveDialog();
        tryCompare(dialog, "opened", true);
        dialog.nameField.text = "plan";
        click(findChild(dialog.contentItem, "saveButton"));
        compare(dialog.errorText, "Name cannot be duplicate.");
        closeDialog(dialog);
        page.mode.setSingle(true);
    }

    // "Camera Cooling" and "Marker Capture" are stored inverted; the close cross keeps all.
    function test_moreSettingSavesTheInvertedKeys() {
        UserOpts.cameraCooling = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        UserOpts.markerCapture = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        var dialog = page.cameraBar.openMoreSetting();
        tryCompare(dialog, "opened", true);
        click(findChild(dialog.contentItem, "coolingRow_second"));
        click(findChild(dialog.contentItem, "backgroundRow_second"));
        click(findChild(dialog.contentItem, "closeButton"));
        tryVerify(function() { return !dialog.visible });
        compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/cameraCooling"), "false");

        dialog = page.cameraBar.openMoreSetting();
        tryCompare(dialog, "opened", true);
        click(findChild(dialog.contentItem, "coolingRow_second"));
        click(findChild(dialog.contentItem, "markerRow_second"));
        click(findChild(dialog.contentItem, "stretchRow_first"));
        var mark = auditMark();
        click(findChild(dialog.contentItem, "saveButton"));
        tryVerify(function() { return !dialog.visible });
        compare(UserOpts.cameraCooling, true, "No: no cooling wait");
        compare(UserOpts.markerCapture, true, "No: no marker frame");
        compare(UserOpts.isAutoStretch, false);
        compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/markerCapture"), "true");
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[1].content, "Save more setting");
    }
}
