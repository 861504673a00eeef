import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/ATDatabase.js" as ATJS

// The engineer interface: the password, the checks of every numeric group and what each group
// saves.
ShellTestCase {
    name: "Engineer"
    property var window: null
    property var page: null
    readonly property string userFile: "Ini/userOption.ini"

    function setUpFile() {
        window = makeWindow(true);
        click(part(window, "settingButton"));
        page = window.mainPage.body.settingPage.engineerPage;
    }
    function tearDownFile() {
        window.destroy();
    }
    function initEach() {
        click(part(window.mainPage.body.settingPage, "tab6"));
        testProbe.clearLog();
    }
    function cleanupEach() {
        closeMessage();
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        click(part(window.mainPage.body.settingPage, "tab0"));
    }
    function stored(key) { return testProbe.iniValue(userFile, "UserOption/" + key) }
    function message() {
        var dialog = overlayDialog(window, "customMessageDialog");
        return dialog !== null && dialog.opened ? dialog.bodyText : "";
    }
    function closeMessage() {
        var dialog = overlayDialog(window, "customMessageDialog");
        if (dialog !== null && dialog.opened) {
            click(findChild(dialog.contentItem, "okButton"));
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        }
    }
    function unlock() {
        part(page, "passwordField").text = "plorvek";
        click(part(page, "confirmButton"));
        verify(page.unlocked);
        settle(window.contentItem);
    }
    function field(name) { return part(page, name).field }

    function test_password() {
        part(page, "passwordField").text = "plorvek ";
        click(part(page, "confirmButton"));
        verify(!page.unlocked);
        tryVerify(function() { return message() === "Password error!" });
        closeMessage();
        unlock();
        verify(part(page, "engineerForm").visible);
        verify(!part(page, "lockedForm").visible);
        // Leaving the tab locks the form and clears the password.
        click(part(window.mainPage.body.settingPage, "tab5"));
        verify(!page.unlocked);
        compare(part(page, "passwordField").text, "");
    }

    function test_targetGray_data() {
        return [
            { tag: "below range", text: "49", message: "Out of range!", saved: false },
            { tag: "above range", text: "201", message: "Out of range!", saved: false },
            { tag: "letter", text: "12a", message: "Input error!", saved: false },
            { tag: "blanks around", text: " 120 ", message: "", saved: true, value: "120" },
            { tag: "lower end", text: "50", message: "", saved: true, value: "50" }
        ];
    }
    function test_targetGray(row) {
        testProbe.setIniValue(userFile, "UserOption/grayTarget", "100");
        unlock();
        field("grayTarget").text = row.text;
        click(part(page, "saveGrayTarget"));
        compare(message(), row.message);
        compare(stored("grayTarget"), row.saved ? row.value : "100");
        // A refused group keeps the form open; a saved one locks it.
        compare(page.unlocked, !row.saved);
    }

    function test_rangesAndFlatField() {
        UserOpts.isFFCOpen = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsFFCOpen);
        unlock();
        field("wbX").text = "10"; field("wbY").text = "20"; field("wbW").text = "-30"; field("wbH").text = "40";
        click(part(page, "saveWbRange"));
        compare([stored("wbX"), stored("wbY"), stored("wbW"), stored("wbH")], ["10", "20", "-30", "40"]);
        compare(stored("isFFCOpen"), "true");
        compare(testProbe.logCount("removeCorrectionData"), 0);

        unlock();
        field("gelX").text = "1"; field("gelY").text = "2"; field("gelW").text = "3"; field("gelH").text = "x";
        click(part(page, "saveGelRange"));
        compare(message(), "Input error!");
        // The first bad field stops the whole group.
        compare(stored("gelX") === "1", false);
        closeMessage();
        field("gelH").text = "4";
        click(part(page, "saveGelRange"));
        compare([stored("gelX"), stored("gelY"), stored("gelW"), stored("gelH")], ["1", "2", "3", "4"]);
        compare(stored("isFFCOpen"), "false");
        compare(testProbe.logCount("removeCorrectionData"), 1);
    }

    // A number longer than an int is refused as it is typed and never saved wrapped.
    function test_longNumbersAreRefused() {
        unlock();
        var input = field("focusGel");
        input.text = "";
        input.forceActiveFocus();
        for (var i = 0; i < 12; ++i)
            keyClick(Qt.Key_9);
        // The validator stops at the width of an int; what it let through is checked on save.
        compare(input.text, "9999999999");
        field("focusUpWb").text = "1700";
        field("focusDownWb").text = "1500";
        field("focusFul").text = "1500";
        var before = stored("lastFocusGel");
        click(part(page, "saveFocus"));
        compare(message(), "Out of range!");
        compare(stored("lastFocusGel"), before);
        closeMessage();
        input.text = "1500";
        click(part(page, "saveFocus"));
        compare([stored("lastFocusGel"), stored("lastFocusUpWb"), stored("lastFocusDownWb"), stored("lastFocusFul")],
                ["1500", "1700", "1500", "1500"]);
    }

    function test_averageGrayRow_data() {
        return [
            { tag: "FL9BW auto", authority: EnumOBJ.WBTSFL9BW_Auto, shown: true, tips: true },
            { tag: "S60", authority: EnumOBJ.AllAuthorityTS, shown: false, tips: true },
            { tag: "Mini FL9BW", authority: EnumOBJ.WBTSFL9BWMini, shown: true, tips: false }
        ];
    }
    function test_averageGrayRow(row) {
        MainCtrl.authorityType = row.authority;
        unlock();
        compare(part(page, "averageGrayRow").visible, row.shown);
        compare(page.tipsVisible, row.tips);
        if (!row.shown)
            return;
        field("averageGray").text = "501";
        click(part(page, "saveAverageGray"));
        compare(message(), "Out of range!");
        closeMessage();
        field("averageGray").text = "12";
        click(part(page, "saveAverageGray"));
        compare(stored("averageGrayThd"), "12");
        verify(!page.unlocked);
    }

    function test_colorMarker() {
        UserOpts.colorMarker = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarker);
        unlock();
        var before = ATJS.insertedRows().length;
        click(findChild(part(page, "colorMarkerPair"), "no"));
        click(part(page, "saveColorMarker"));
        compare(stored("colorMarkerVisible"), "false");
        compare(stored("colorMarker"), "false");
        var rows = ATJS.insertedRows().slice(before);
        compare(rows.map(function(r) { return r.content }), ["彩色Marker: 关闭", "Color Marker: Close"]);
        unlock();
        click(findChild(part(page, "colorMarkerPair"), "yes"));
        click(part(page, "saveColorMarker"));
        compare(stored("colorMarkerVisible"), "true");
        compare(stored("colorMarker"), "false");
    }
}
