import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0

// The gel page of a cabinet whose board detects the light table and turns a motorised lens:
// the board's report picks the light, autofocus runs from the page.
ShellTestCase {
    id: test
    name: "GelLens"
    property var window: null
    property var page: null
    property int savedAuthority: 0

    SignalSpy { id: focusEnds; target: MainCtrl; signalName: "setAFFinished" }
    SignalSpy { id: boards; target: MainCtrl; signalName: "updateBoardType" }
    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    PictureProbe { id: probe; test: test }
    // Lamp bit of the virtual cabinet's white table.
    readonly property int lampMiniWhite: 1 << 11

    function setUpFile() {
        savedAuthority = MainCtrl.authorityType;
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS695_Auto;
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.curFocusGel = 1500;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusGel);
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
        // The cabinet's own lamp shut-off (minutes, seconds at this time scale) stays out of the way.
        MainCtrl.lightAutoShutDown(255);
    }
    function tearDownFile() {
        stopped.clear();
        if (page.entered)
            click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        // The preview thread has ended before the program ends.
        tryVerify(function() { return stopped.count > 0 }, 10000);
        window.destroy();
        MainCtrl.authorityType = savedAuthority;
    }

    function test_boardReportStartsTheVisitAndAutofocusRuns() {
        verify(page.boardSensing);
        verify(page.lensPanel);
        click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return boards.count > 0 }, 10000, "the board reports its table");
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // The white table: the white light is on, and the wheel was reset on the first visit.
        verify(page.lightRepeater.itemAt(0).checked);
        compare(page.curLightType, EnumOBJ.White);
        tryCompare(page, "curFilterPos", 0, 5000);
        tryVerify(function() { return !page.filterDialog.visible && !page.aeDialog.visible && !page.cameraBar.aeOn }, 20000);
        compare(testProbe.cabinetFilter(), 0);

        // The gel is sharp at 1000; the search starts where the last one ended, a little above.
        UserOpts.lastFocusGel = 1000;
        UserOpts.saveUserOptsByName(UserOpts.OPT_LastFocusGel);
        testProbe.setCabinetFocus(1000, 1075);
        focusEnds.clear();
        click(part(page, "lensAfButton"));
        verify(page.afDialog.visible);
        compare(page.afDialog.text, "Auto Focusing...");
        tryVerify(function() { return focusEnds.count > 0 }, 30000, "the autofocus ends");
        tryVerify(function() { return !page.afDialog.visible }, 2000);
        // The board reports the lens where the search left it: the slider follows.
        tryVerify(function() { return Math.abs(part(page, "lensSlider").value - 1000) <= 45 }, 5000,
                  "lens at " + part(page, "lensSlider").value);

        // A step of the lens by hand shows "Focusing..." until the board reports the lens there.
        var slider = part(page, "lensSlider");
        var plus = null;
        var row = slider.parent;
        for (var i = 0; i < row.children.length; ++i)
            if (row.children[i].text === "+5")
                plus = row.children[i];
        verify(plus !== null);
        mouseClick(plus);
        var lensDialog = page.lensDialog;
        verify(lensDialog.opened);
        compare(lensDialog.text, "Focusing...");
        tryVerify(function() { return !lensDialog.visible }, 5000, "the board reports the lens");
        UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusValue);
        compare(Math.round(slider.value), UserOpts.curFocusValue);
    }

    function enterOnce() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        // The wheel's first move, then its automatic exposure.
        tryVerify(function() { return page.curFilterPos >= 0 }, 5000, "the wheel is reset");
        tryVerify(function() { return !page.filterDialog.visible && !page.aeDialog.visible && !page.cameraBar.aeOn
                                      && !page.lensDialog.visible }, 20000, "the page is idle");
    }
    function plusButton(slider) {
        var row = slider.parent;
        for (var i = 0; i < row.children.length; ++i)
            if (row.children[i].text === "+5")
                return row.children[i];
        return null;
    }

    // A lens move the board misses: after its reply window the slider shows where the lens still
    // stands, "Focusing..." is gone, the stored position is the lens's, and the operator is told.
    function test_unansweredLensMoveKeepsTheLensWhereItIs() {
        enterOnce();
        var slider = part(page, "lensSlider");
        tryVerify(function() { return MainCtrl.confirmedLens() === Math.round(slider.value) }, 5000,
                  "the board confirmed the lens at " + slider.value);
        var before = Math.round(slider.value);
        var errorBefore = MainCtrl.errorCode;
        testProbe.clearLog();
        testProbe.ignoreBoardRequests(0xB2, 1);
        mouseClick(plusButton(slider));
        compare(Math.round(slider.value), before + 5);
        verify(page.lensDialog.opened);
        tryVerify(function() { return testProbe.logCount("镜头指令无应答") > 0 }, 10000, "the missed command is logged");
        tryVerify(function() { return Math.round(slider.value) === before }, 5000, "the slider shows the lens again");
        verify(!page.lensDialog.visible);
        UserOpts.loadUserOptsByName(UserOpts.OPT_CurFocusValue);
        compare(UserOpts.curFocusValue, before);
        compare(MainCtrl.errorCode, errorBefore);
        var message = messageSaying(window, "The cabinet did not answer the lens command.");
        click(findChild(message.contentItem, "okButton"));

        // The board answers again: the same step moves the lens.
        mouseClick(plusButton(slider));
        tryVerify(function() { return MainCtrl.confirmedLens() === before + 5 && !page.lensDialog.visible }, 5000,
                  "the board reports the lens");
        compare(Math.round(slider.value), before + 5);
    }

    // A door release the board misses: the head bar shows the door locked again, painted as
    // before, the page keeps the light the board still has on, and the operator is told.
    function test_unansweredDoorReleaseKeepsTheDoorLocked() {
        enterOnce();
        var head = window.mainPage.head;
        var door = part(window, "doorButton");
        verify(door.enabled);
        tryVerify(function() { return !head.dooropen && !page.dooropen }, 5000, "the door is closed");
        tryVerify(function() { return MainCtrl.litLight() === EnumOBJ.White }, 5000, "the white light is on");
        verify(page.lightRepeater.itemAt(0).checked);
        var closed = probe.grab(door);
        var errorBefore = MainCtrl.errorCode;
        testProbe.clearLog();
        testProbe.ignoreBoardRequests(0xF1, 1);
        click(door);
        verify(head.dooropen && page.dooropen);
        verify(!page.lightRepeater.itemAt(0).checked);
        verify(probe.grab(door).digest !== closed.digest);
        tryVerify(function() { return testProbe.logCount("门指令无应答") > 0 }, 10000, "the missed command is logged");
        tryVerify(function() { return !head.dooropen && !page.dooropen }, 5000, "the door is shown locked again");
        compare(probe.grab(door).digest, closed.digest);
        verify(page.lightRepeater.itemAt(0).checked);
        verify(page.lighton);
        verify(!MainCtrl.confirmedDoorOpen());
        compare(MainCtrl.errorCode, errorBefore);
        var message = messageSaying(window, "The cabinet did not answer the door command.");
        click(findChild(message.contentItem, "okButton"));
        // Nothing was sent for the light: the board has it on as before.
        verify((testProbe.cabinetLamps() & lampMiniWhite) !== 0);
    }
}
