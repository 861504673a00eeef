import QtQuick 2.15
import QtTest 1.15
import an.qt.UserOpts 1.0
import "qrc:/js/ATDatabase.js" as ATJS
import "qrc:/js/Audit.js" as Audit

// An audit-trail file with a sound header and damaged pages: found at open, logged as critical,
// told to the operator, and left exactly as it was found (no event is written into it).
ShellTestCase {
    name: "AuditStore"
    property var window: null
    property string file: ""

    function md5() { return testProbe.run("md5sum", [file]).split(" ")[0] }

    function setUpFile() {
        var folder = testProbe.appDir() + "/Databases";
        file = folder + "/" + Qt.md5("AuditTrailDB") + ".sqlite";
        testProbe.run("mkdir", ["-p", folder]);
        // The file as the program leaves it: its table, many rows, the local-storage description.
        testProbe.sqlite("AuditTrailDB",
                         "CREATE TABLE AuditTrailTable (id INTEGER PRIMARY KEY AUTOINCREMENT, module TEXT, content TEXT, "
                         + "handler TEXT, dateTime DATETIME DEFAULT CURRENT_TIMESTAMP, languageId INTEGER);"
                         + "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 400) "
                         + "INSERT INTO AuditTrailTable (module, content, handler, languageId, dateTime) "
                         + "SELECT 'System', hex(randomblob(100)), 'admin', x % 2, '2030-01-01 00:00:00' FROM n;");
        var ini = "Databases/" + Qt.md5("AuditTrailDB") + ".ini";
        testProbe.setIniValue(ini, "Name", "AuditTrailDB");
        testProbe.setIniValue(ini, "Version", "1.0");
        testProbe.setIniValue(ini, "Description", "Save AuditTrail information");
        testProbe.setIniValue(ini, "EstimatedSize", "100000000");
        testProbe.setIniValue(ini, "Driver", "QSQLITE");
        // Rows' pages overwritten; the header (page 1) stays sound.
        verify(testProbe.run("sh", ["-c", "head -c 6000 /dev/zero | tr '\\000' 'x' | dd of='" + file
                                        + "' bs=1 seek=9000 conv=notrunc status=none && echo done"]).indexOf("done") === 0);
        testProbe.expectWarning("AuditTrailDB完整性检查失败，文件未作改动。");
        testProbe.expectWarning("audit event not written, the store is damaged: System");
    }
    function tearDownFile() { if (window) window.destroy() }

    function takeMessage() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened },
                  5000, "a message opens");
        var text = dialog.bodyText;
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }

    function test_damagedStoreIsToldAndLeftAlone() {
        var before = md5();
        verify(before.length === 32, before);
        // The window's audit page opens the store: the damage is told before anyone logs in, and
        // the login's own event is not written.
        window = makeWindow(false);
        compare(takeMessage(),
                "The audit trail store is damaged; no audit event is written into it until it is repaired or replaced.");
        logIn(window);
        verify(testProbe.logCount("AuditTrailDB完整性检查失败，文件未作改动。") >= 1);
        testProbe.expectWarning("audit event not written, the store is damaged: Setting, later");
        compare(Audit.write(ATJS.ModuleType.Setting, "之后", "later"), false);
        testProbe.expectWarning("audit event not written, the store is damaged: Setting, 单行, admin");
        compare(ATJS.dbInsert(ATJS.ModuleType.Setting, "单行", "admin", 0), 0);
        compare(md5(), before);
    }
}
