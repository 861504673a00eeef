import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.15
import an.qt.UserOpts 1.0
import an.qt.MainCtrl 1.0
import QtQuick.LocalStorage 2.15
import "qrc:/js/ATDatabase.js" as ATJS

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
        if (login)
            logIn(window);
        return window;
    }
    // Logs in through the login page (admin with the first-start password unless told
    // otherwise) and waits for the main page.
    function logIn(window, userName, password) {
        typeLogin(window, userName, password);
        tryVerify(function() { return window.mainPage.visible }, 5000, "logged in");
    }
    // Chooses the user, types the password and presses "Login".
    function typeLogin(window, userName, password) {
        var page = window.loginPage;
        // The test's cabinet came up before the window existed: tell the page so.
        if (!page.initFinished)
            MainCtrl.camInitFinish();
        tryVerify(function() { return page.initFinished });
        page.chooseUser(userName === undefined ? "admin" : userName);
        part(page, "passwordField").text = password === undefined ? "tarnu" : password;
        click(part(window, "loginButton"));
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
    // The message dialog that says text, once it is open; other messages shown before it (an
    // automatic exposure's result) are closed.
    function messageSaying(window, text) {
        var found = null;
        tryVerify(function() {
            var dialog = overlayDialog(window, "customMessageDialog");
            if (dialog && dialog.opened && dialog.bodyText !== text)
                dialog.close();
            else if (dialog && dialog.opened)
                found = dialog;
            return found !== null;
        }, 10000, "a message says: " + text);
        return found;
    }

    // The texts of all messages open on the window once one has opened, each closed in turn: a
    // test that expects one message sees a second one told in the same breath.
    function takeMessages(window) {
        tryVerify(function() { var d = overlayDialog(window, "customMessageDialog"); return d !== null && d.opened },
                  10000, "a message opens");
        var texts = [];
        var dialog;
        while ((dialog = overlayDialog(window, "customMessageDialog")) !== null) {
            texts.push(dialog.bodyText);
            dialog.close();
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") !== dialog }, 5000);
        }
        return texts;
    }

    // Audit rows as stored in the database file, read apart from the store's own reads: the last
    // id now, and the rows after such a mark, oldest first.
    function auditDb() {
        ATJS.dbInit();
        return LocalStorage.openDatabaseSync("AuditTrailDB", "1.0", "Save AuditTrail information", 100000000);
    }
    function auditMark() {
        var mark = 0;
        auditDb().readTransaction(function(tx) {
            mark = tx.executeSql("SELECT coalesce(max(id), 0) as m FROM AuditTrailTable").rows.item(0).m;
        });
        return mark;
    }
    function auditSince(mark) {
        var rows = [];
        auditDb().readTransaction(function(tx) {
            var rs = tx.executeSql("SELECT id, module, content, handler, languageId, dateTime FROM AuditTrailTable "
                                   + "where id > ? order by id", [mark]);
            for (var i = 0; i < rs.rows.length; ++i)
                rows.push(rs.rows.item(i));
        });
        return rows;
    }

    // The open signature dialog of the window (waits for it).
    function signatureDialog(window) {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "checkLoginDialog"); return dialog !== null && dialog.opened },
                  5000, "the signature dialog opens");
        return dialog;
    }
    // Answers the signature dialog: the password (the first-start one unless told) and "OK", or
    // "Cancel"; waits until it has gone.
    function answerSignature(window, confirm, password) {
        var dialog = signatureDialog(window);
        if (confirm) {
            findChild(dialog.contentItem, "passwordField").text = password === undefined ? "tarnu" : password;
            click(findChild(dialog.contentItem, "okButton"));
        } else {
            click(findChild(dialog.contentItem, "cancelButton"));
        }
        tryVerify(function() { return overlayDialog(window, "checkLoginDialog") === null }, 5000, "the signature dialog closes");
    }
}
