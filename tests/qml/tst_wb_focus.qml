import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0

// The Western-blot page of a cabinet with the board-driven lens: autofocus with its dialog, its
// cancel, and the lens position the board reports kept for the next visit.
WBPageCase {
    id: test
    name: "WBFocus"
    property int savedAuthority: 0

    SignalSpy { id: focusEnds; target: MainCtrl; signalName: "setAFFinished" }

    function setUpFile() {
        savedAuthority = MainCtrl.authorityType;
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS695_Auto;
        UserOpts.curFocusWB = 1500;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusWB);
        setUpPage();
    }
    function tearDownFile() {
        tearDownPage();
        MainCtrl.authorityType = savedAuthority;
    }
    function initEach() {
        if (!page.entered)
            enter();
    }

    function test_a_cancelThenSearchToTheEnd() {
        verify(MainCtrl.hasMotorLens);
        var af = part(page, "afButton");
        verify(af.visible);
        // Cancel: the search stops, nothing is said.
        testProbe.setCabinetFocus(1000, 1500);
        focusEnds.clear();
        click(af);
        verify(page.afDialog.opened);
        compare(page.afDialog.text, "Auto Focusing...");
        var cancel = findChild(page.afDialog.contentItem, "cancelButton");
        verify(cancel.visible && cancel.enabled);
        mouseClick(cancel);
        tryVerify(function() { return focusEnds.count > 0 }, 30000, "the search stops");
        tryVerify(function() { return !page.afDialog.visible }, 2000);
        compare(overlayDialog(window, "customMessageDialog"), null);

        // A whole search: the slider and curFocusWB follow the lens to the sharp place.
        UserOpts.lastFocusUpWb = 1000;
        UserOpts.saveUserOptsByName(UserOpts.OPT_LastFocusUpWb);
        UserOpts.lastFocusDownWb = 1000;
        UserOpts.saveUserOptsByName(UserOpts.OPT_LastFocusDownWb);
        testProbe.setCabinetFocus(1000, 1075);
        focusEnds.clear();
        click(af);
        verify(page.afDialog.opened);
        cancel = findChild(page.afDialog.contentItem, "cancelButton");
        verify(cancel.enabled, "the dialog's Cancel works again");
        tryVerify(function() { return focusEnds.count > 0 }, 30000, "the autofocus ends");
        tryVerify(function() { return !page.afDialog.visible }, 2000);
        var slider = part(page, "lensSlider");
        tryVerify(function() { return Math.abs(slider.value - 1000) <= 45 }, 5000, "lens at " + slider.value);
        tryCompare(UserOpts, "curFocusWB", Math.round(slider.value), 5000);
        compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/curFocusWB"), String(UserOpts.curFocusWB));
    }
}
