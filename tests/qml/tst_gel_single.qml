import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0

// The gel page of the single-gel cabinet: its exposure and focus pop-ups hang under their
// buttons, and the page keeps the mode the operator left them in.
ShellTestCase {
    id: test
    name: "GelSingle"
    property var window: null
    property var page: null
    property int savedAuthority: 0

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }

    function setUpFile() {
        savedAuthority = MainCtrl.authorityType;
        MainCtrl.authorityType = EnumOBJ.GelTS20BW;
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
    }
    function tearDownFile() {
        stopped.clear();
        if (page.entered)
            click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
        window.destroy();
        MainCtrl.authorityType = savedAuthority;
    }

    function test_popupsKeepTheirMode_data() {
        return [
            { tag: "exposure", button: "exposureButton", dialog: "exposureSettingDialog", state: "exposureAuto",
              manualText: "Exposure (Manual)" },
            { tag: "focus", button: "focusButton", dialog: "focusSettingDialog", state: "focusAuto",
              manualText: "Focus (Manual)" }
        ];
    }
    function test_popupsKeepTheirMode(row) {
        verify(page.singleGel);
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return !page.cameraDialog.visible }, 5000);
        var button = part(page, row.button);
        verify(button.visible);
        compare(page[row.state], true);
        click(button);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, row.dialog); return dialog && dialog.opened });
        compare(dialog.isAuto, true);
        // Under the button, its right edge at the button's right edge.
        var corner = button.mapToItem(null, button.width, button.height);
        compare(dialog.x + dialog.width, corner.x);
        compare(dialog.y, corner.y);
        click(findChild(dialog.contentItem, "manualButton"));
        dialog.close();
        tryVerify(function() { return overlayDialog(window, row.dialog) === null });
        compare(page[row.state], false);
        compare(button.text, row.manualText);
        click(button);
        tryVerify(function() { dialog = overlayDialog(window, row.dialog); return dialog && dialog.opened });
        compare(dialog.isAuto, false);
        verify(findChild(dialog.contentItem, "manualButton").checked);
        dialog.close();
        tryVerify(function() { return overlayDialog(window, row.dialog) === null });
    }
}
