import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0

// Base of the Western-blot page tests on the real controller: the window, entering and
// leaving the page, a settled preview, and the capture settings a test chooses.
ShellTestCase {
    id: base
    property var window: null
    property var page: null
    property alias frames: frames
    property alias stopped: stopped
    property alias started: started
    property alias finished: finished

    SignalSpy { id: frames; target: MainCtrl; signalName: "imageChanged" }
    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }
    SignalSpy { id: started; target: MainCtrl; signalName: "captureStart" }
    SignalSpy { id: finished; target: MainCtrl; signalName: "captureFinished" }

    function setUpPage() {
        UserOpts.cameraCooling = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        window = makeWindow(true);
        page = window.mainPage.body.pages[4];
    }
    function tearDownPage() {
        if (page.entered) {
            if (!page.captureFinished)
                settlePreview();
            leave();
        }
        window.destroy();
    }
    function enter() {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "wbButton"));
        tryVerify(function() { return page.visible && page.entered });
        settlePreview();
    }
    function settlePreview() {
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return page.cameraSetted && !page.cameraDialog.visible }, 10000);
        // The Tucsen preview starts with automatic exposure; in the dark virtual cabinet it climbs
        // to minutes, so the test stops it and sets a short exposure.
        if (page.cameraBar.aeRunning) {
            page.aeDialog.dialogClosedSignal();
            page.aeDialog.close();
        }
        tryVerify(function() { return !page.aeDialog.visible }, 5000);
        page.cameraBar.exposureChosen(40);
        dismissMessages();
    }
    // A warning of the automatic exposure (the virtual scene may settle at a limit).
    function dismissMessages() {
        var message;
        while ((message = overlayDialog(window, "customMessageDialog")) !== null) {
            message.close();
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") !== message });
        }
    }
    function leave() {
        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000, "the preview stops");
    }
    function initEach() {
        if (!page.entered)
            enter();
        else if (page.captureFinished)
            click(part(page, "backButton"));
        settlePreview();
    }
    // The single exposure in ms, without estimation.
    function setSingle(ms) {
        if (!page.singleCaptureVisible)
            click(part(page, "singleButton"));
        page.mode.showSingleTime(ms);
        page.mode.saveSingleTime();
        var aes = part(page, "aesBox");
        if (aes.checked)
            click(aes);
    }
    function setManual(count, firstMs, deltaMs, accumulate) {
        if (page.singleCaptureVisible)
            click(part(page, "multiButton"));
        if (page.isProcess)
            click(part(page, "manualButton"));
        part(page, "countBox").value = count;
        part(page, "countBox").valueModified();
        part(page, "firstUnit").currentIndex = UserOpts.Millisecond;
        part(page, "firstUnit").activated(UserOpts.Millisecond);
        part(page, "deltaUnit").currentIndex = UserOpts.Millisecond;
        part(page, "deltaUnit").activated(UserOpts.Millisecond);
        part(page, "firstBox").value = firstMs;
        part(page, "firstBox").valueModified();
        part(page, "deltaBox").value = deltaMs;
        part(page, "deltaBox").valueModified();
        var acc = part(page, "accumulateBox");
        if (acc.checked !== accumulate)
            click(acc);
    }
    // Experiments are named by the second they start in: one capture a second at most.
    property real lastCapture: 0
    function nextSecond() {
        tryVerify(function() { return Date.now() - lastCapture > 1100 }, 2000);
        lastCapture = Date.now();
    }
    function capture() {
        nextSecond();
        click(part(page, "captureButton"));
    }
    function fileExists(path) { return testProbe.run("ls", [path]).trim() === path }

    function warningText() {
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message && message.opened });
        var text = findChild(message.contentItem, "messageText").text;
        message.close();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    // The window as shown now into build/screens/<prefix>_<name>.png, popups included.
    function shoot(prefix, name) {
        settle(window.contentItem);
        var path = testProbe.screensDir() + "/" + prefix + "_" + name + ".png";
        var saved = null;
        verify(window.contentItem.parent.grabToImage(function(result) { saved = result.saveToFile(path) }));
        tryVerify(function() { return saved !== null }, 5000);
        verify(saved, path);
    }
}
