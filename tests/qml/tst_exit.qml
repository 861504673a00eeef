import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/ATDatabase.js" as ATJS

// The exit sequence: audit rows, leaving the experiment, door release on every known
// configuration, camera close by camera family, then the end of the program.
ShellTestCase {
    name: "Exit"
    property var window: null
    property var head: null
    property int quits: 0

    function setUpFile() {
        window = makeWindow(true);
        head = window.mainPage.head;
        head.quitAction = function() { quits += 1 };
    }
    function tearDownFile() {
        window.destroy();
    }
    function initEach() {
        quits = 0;
        head.quitClicked = false;
        MainCtrl.expMode = EnumOBJ.Unknow_ExpMode;
        testProbe.clearLog();
    }
    function cleanupEach() {
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        MainCtrl.expMode = EnumOBJ.Unknow_ExpMode;
    }

    function confirmExit() {
        click(part(window, "userButton"));
        click(part(window, "exitItem"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        compare(dialog.bodyText, "Confirm exit?");
        compare(dialog.titleText, "Warning");
        verify(findChild(dialog.contentItem, "yesButton").visible);
        click(findChild(dialog.contentItem, "yesButton"));
    }

    function test_exitByConfiguration_data() {
        return [
            { tag: "S60 home: no door lock, released all the same", authority: EnumOBJ.AllAuthorityTS,
              mode: EnumOBJ.Unknow_ExpMode, doors: 1, tucsen: 1, kestrix: 0 },
            { tag: "GelTS20BW home: door", authority: EnumOBJ.GelTS20BW, mode: EnumOBJ.Unknow_ExpMode,
              doors: 1, tucsen: 1, kestrix: 0 },
            { tag: "695 manual: door", authority: EnumOBJ.WBTS695_Manual, mode: EnumOBJ.Unknow_ExpMode,
              doors: 1, tucsen: 1, kestrix: 0 },
            { tag: "WBQI: Kestrix camera", authority: EnumOBJ.WBQI, mode: EnumOBJ.Unknow_ExpMode,
              doors: 1, tucsen: 0, kestrix: 1 },
            { tag: "S60 inside Western blot", authority: EnumOBJ.AllAuthorityTS, mode: EnumOBJ.WB,
              doors: 1, tucsen: 1, kestrix: 0 },
            // The machine-error state still ends, touching neither door nor camera.
            { tag: "unknown configuration", authority: EnumOBJ.Unknow_AuthorityType, mode: EnumOBJ.WB,
              doors: 0, tucsen: 0, kestrix: 0 }
        ];
    }
    function test_exitByConfiguration(row) {
        MainCtrl.authorityType = row.authority;
        MainCtrl.expMode = row.mode;
        var before = auditMark();
        confirmExit();
        verify(head.quitClicked);
        var rows = auditSince(before);
        compare(rows.length, 2);
        compare([rows[0].module, rows[0].content, rows[0].handler, rows[0].languageId], ["系统", "用户退出", "admin", 0]);
        compare([rows[1].module, rows[1].content, rows[1].handler, rows[1].languageId], ["System", "User Logout", "admin", 1]);
        tryCompare(this, "quits", 1, 5000);
        // The door frame is handed to the serial thread before the camera closes.
        tryVerify(function() { return testProbe.doorReleaseFrames() === row.doors }, 2000);
        compare(testProbe.logCount("解锁."), row.doors);
        compare(testProbe.logCount("反初始化Api"), row.tucsen);
        // The Kestrix camera's close ends its library.
        compare(testProbe.logCount("反初始化相机。"), row.kestrix);
    }

    function test_exitWaitsForTheExperimentToBeLeft() {
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        MainCtrl.expMode = EnumOBJ.Gel;
        head.exitWaitLimit = 5000;
        // The flow's own answer is held back: the page must wait until the test gives it.
        testProbe.holdControllerSignals(true);
        confirmExit();
        verify(head.exitWaiting);
        wait(0);
        compare(quits, 0);
        testProbe.holdControllerSignals(false);
        MainCtrl.previewStoped();
        tryCompare(this, "quits", 1, 2000);
        head.exitWaitLimit = 10000;
    }

    function test_exitGoesOnWhenTheControllerNeverAnswers() {
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        MainCtrl.expMode = EnumOBJ.Mult;
        head.exitWaitLimit = 300;
        testProbe.holdControllerSignals(true);
        confirmExit();
        tryCompare(this, "quits", 1, 3000);
        testProbe.holdControllerSignals(false);
        compare(testProbe.logCount("experiment not left in time"), 1);
        head.exitWaitLimit = 10000;
    }

    function test_noOnTheQuestionKeepsRunning() {
        click(part(window, "userButton"));
        click(part(window, "exitItem"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        click(findChild(dialog.contentItem, "noButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        wait(650);
        compare(quits, 0);
        verify(!head.quitClicked);
    }
}
