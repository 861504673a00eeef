import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.15
import an.qt.UserOpts 1.0

// Base of the page tests: a QML warning raised before or during a test fails it; helpers to
// make the program's window and to find its parts.
// A file's own set-up and tear-down go in setUpFile() and tearDownFile(), per test in initEach()
// and cleanupEach().
TestCase {
    id: base

    function initTestCase() {
        // The test library installs its message handler when the first test case starts.
        testProbe.arm();
        if (typeof base.setUpFile === "function")
            base.setUpFile();
    }
    function cleanupTestCase() {
        if (typeof base.tearDownFile === "function")
            base.tearDownFile();
        wait(0);
        var raised = testProbe.takeWarnings();
        if (raised.length > 0)
            fail("QML warnings:\n" + raised.join("\n"));
    }

    function init() {
        testProbe.arm();
        var early = testProbe.takeWarnings();
        if (early.length > 0)
            fail("QML warnings before the test:\n" + early.join("\n"));
        if (typeof base.initEach === "function")
            base.initEach();
    }
    function cleanup() {
        if (typeof base.cleanupEach === "function")
            base.cleanupEach();
        // The engine reports some errors (those of a binding at creation) from the event loop.
        wait(0);
        var raised = testProbe.takeWarnings();
        if (raised.length > 0)
            fail("QML warnings:\n" + raised.join("\n"));
    }

    // True while an item below root still waits for its layout (a row whose children were shown
    // or hidden is laid out with the next frame).
    function polishPending(root) {
        if (isPolishScheduled(root))
            return true;
        var kids = root.children;
        for (var i = 0; i < kids.length; ++i)
            if (polishPending(kids[i]))
                return true;
        return false;
    }
    // Waits until the layouts of item's window have followed the last change.
    function settle(item) {
        var top = item;
        while (top && top.parent)
            top = top.parent;
        if (top)
            tryVerify(function() { return !polishPending(top) }, 5000, "layouts settle");
    }
    // A click that lands where the item is shown now, not where it was before a layout change.
    function click(item, x, y, button) {
        settle(item);
        mouseClick(item, x, y, button);
    }

    // The program's window at 1280 x 800, logged in when login is true. It starts in English, the
    // language of the texts the tests compare.
    function makeWindow(login) {
        UserOpts.language = UserOpts.English;
        UserOpts.saveUserOptsByName(UserOpts.OPT_Language);
        var component = Qt.createComponent("qrc:/main.qml");
        verify(component.status === Component.Ready, component.errorString());
        var window = component.createObject(null, { visibility: Window.Windowed, width: 1280, height: 800 });
        verify(window !== null);
        tryVerify(function() { return window.visible && window.width === 1280 });
        if (login) {
            mouseClick(part(window, "loginButton"));
            tryVerify(function() { return window.mainPage.visible });
        }
        return window;
    }
    function part(root, name) {
        var found = findChild(root, name);
        verify(found !== null, "no part named " + name);
        return found;
    }
    // The dialog of that name on the window's overlay, or null.
    function overlayDialog(window, name) {
        return findChild(window.overlay, name);
    }
}
