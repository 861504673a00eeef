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

    function setUpFile() {
        savedAuthority = MainCtrl.authorityType;
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS695_Auto;
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.curFocusGel = 1500;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusGel);
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
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
}
