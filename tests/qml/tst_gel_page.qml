import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// The gel capture page on the virtual cabinet (an S60: the board does not detect the light
// table, the operator chooses the light): preview, lights and filters, automatic exposure,
// capture with colour marker, the image list.
ShellTestCase {
    id: test
    name: "GelPage"
    property var window: null
    property var page: null

    // Lamp bits of the virtual cabinet.
    readonly property int lampSource: 1 << 1
    readonly property int lampUV302: 1 << 2
    readonly property int lampUV254: 1 << 4
    readonly property int lampUV365: 1 << 5

    SignalSpy { id: frames; target: MainCtrl; signalName: "imageChanged" }
    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }

    function setUpFile() {
        UserOpts.uv254nmSelected = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmSelected);
        UserOpts.uv365nmSelected = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV365nmSelected);
        UserOpts.autoMatchFilter = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
        page.loadFittedLights();
    }
    function tearDownFile() {
        if (page.entered)
            leave();
        window.destroy();
    }

    function enter() {
        click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.visible && page.entered });
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return overlayDialog(window, "cameraDialog") === null || !overlayDialog(window, "cameraDialog").visible }, 5000);
    }
    function leave() {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
    }
    function lightButton(type) { return part(page, "light_" + type) }

    function test_enterAndLeaveRunAndStopThePreview() {
        frames.clear();
        enter();
        verify(frames.count > 0);
        compare(MainCtrl.expMode, EnumOBJ.Gel);
        verify(lightButton(EnumOBJ.White).checked);
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) !== 0 }, 5000, "the white light is on");
        leave();
        var after = frames.count;
        wait(200);
        compare(frames.count, after, "no frame after leaving");
        // The exit switches the light off.
        tryVerify(function() { return (testProbe.cabinetLamps() & lampSource) === 0 }, 5000, "the light is off");
    }
}
