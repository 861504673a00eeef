import QtQuick 2.15
import QtQuick.LocalStorage 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/ATDatabase.js" as ATJS
import "qrc:/js/Audit.js" as Audit
import "qrc:/js/UMDatabase.js" as UMJS

// The audit trail: the pair of rows of every event, the page's filters, paging and handler list,
// and the PDF export, on the real database file.
ShellTestCase {
    name: "Audit"
    property var window: null
    property var page: null

    function setUpFile() {
        window = makeWindow(true);
        page = part(window, "IC_AuditTrailPage");
        verify(UMJS.dbInsert("tf1", "pw-tf1", "Time Filter", "3", false, 1) > 0);
        verify(UMJS.dbInsert("pg101", "pw-pg", "Pages", "3", false, 1) > 0);
        verify(UMJS.dbInsert("ex1", "pw-ex1", "No Export", "3", false, 1) > 0);
        // Rows of known times and handlers, written as the store writes them.
        var rows = [];
        for (var i = 0; i < 101; ++i)
            rows.push(["pg101", "2031-05-05 10:00:00", "page row " + (i + 1)]);
        rows.push(["tf1", "2030-01-01 10:00:00", "first"], ["tf1", "2030-01-02 10:00:00", "second"],
                  ["tf1", "2030-01-03 10:00:00", "third"]);
        rows.push(["x' OR '1'='1", "2030-02-01 00:00:00", "quoted 1"], ["x' OR '1'='1", "2030-02-01 00:00:01", "quoted 2"]);
        var db = auditDb();
        db.transaction(function(tx) {
            for (var r = 0; r < rows.length; ++r)
                for (var language = 0; language < 2; ++language)
                    tx.executeSql("INSERT INTO AuditTrailTable (module, content, handler, languageId, dateTime) VALUES(?, ?, ?, ?, ?)",
                                  [ATJS.ModuleType.System[language], rows[r][2] + (language === 0 ? " 中" : " en"), rows[r][0],
                                   language, rows[r][1]]);
        });
        click(part(window, "auditButton"));
        tryVerify(function() { return page.visible });
    }
    function tearDownFile() { window.destroy() }
    function initEach() {
        UserOpts.language = UserOpts.English;
        page.resetSearchCondition();
        page.searchByPage();
    }
    function takeMessage() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened },
                  5000, "a message opens");
        var text = dialog.bodyText;
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    function listed() {
        var list = part(page, "auditList");
        var rows = [];
        for (var i = 0; i < list.count; ++i)
            rows.push(list.model.get(i));
        return rows;
    }
    function chooseHandler(name) {
        var combo = part(page, "handlerCombo");
        for (var i = 0; i < combo.count; ++i)
            if (combo.textAt(i) === name)
                combo.currentIndex = i;
        compare(combo.currentText, name);
    }

    function test_eventWritesOnePairPerModule_data() {
        var keys = Object.keys(ATJS.ModuleType);
        return keys.map(function(key) { return { tag: key, module: ATJS.ModuleType[key] } });
    }
    function test_eventWritesOnePairPerModule(row) {
        var mark = auditMark();
        verify(Audit.write(row.module, "中文 " + row.tag, "English " + row.tag));
        var rows = auditSince(mark);
        compare(rows.map(function(r) { return [r.module, r.content, r.languageId, r.handler] }),
                [[row.module[0], "中文 " + row.tag, 0, "admin"], [row.module[1], "English " + row.tag, 1, "admin"]]);
        compare(rows[0].dateTime, rows[1].dateTime);
        verify(/^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}$/.test(rows[0].dateTime), rows[0].dateTime);
    }

    function test_noHandlerWritesNothing() {
        var mark = auditMark();
        compare(ATJS.dbInsert(ATJS.ModuleType.System, "x", "", 1), undefined);
        compare(ATJS.dbInsertPair(ATJS.ModuleType.System, "x", "y", ""), undefined);
        compare(auditSince(mark).length, 0);
    }

    // Both rows or neither: a failure of the second undoes the first, is logged as critical and
    // shown to the operator.
    function test_pairIsOneTransaction() {
        var db = auditDb();
        db.transaction(function(tx) {
            tx.executeSql("CREATE TRIGGER refuseEnglish BEFORE INSERT ON AuditTrailTable WHEN NEW.content = 'boom-en' "
                          + "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        });
        var mark = auditMark();
        testProbe.expectWarning("Error insert table in database: ");
        compare(Audit.write(ATJS.ModuleType.Setting, "boom-zh", "boom-en"), false);
        compare(auditSince(mark).length, 0);
        compare(takeMessage(), "The audit trail could not be written: boom-en");
        db.transaction(function(tx) { tx.executeSql("DROP TRIGGER refuseEnglish") });
    }

    // A store without room (a full disk) refuses the event; it is kept and written, with its own
    // time, before the next one, instead of being lost.
    function test_eventWithoutRoomIsWrittenLater() {
        var db = auditDb();
        db.transaction(function(tx) {
            var pages = tx.executeSql("PRAGMA page_count").rows.item(0).page_count;
            tx.executeSql("PRAGMA max_page_count = " + pages);
        });
        var mark = auditMark();
        var filler = new Array(9000).join("f");
        testProbe.expectWarning("audit event kept for the next write: Capture/Gel, no room");
        compare(Audit.write(ATJS.ModuleType.Capture_Gel, "没有空间" + filler, "no room" + filler), false);
        compare(takeMessage().indexOf("The audit trail could not be written: no room"), 0);
        compare(auditSince(mark).length, 0);
        db.transaction(function(tx) { tx.executeSql("PRAGMA max_page_count = 1073741823") });
        verify(Audit.write(ATJS.ModuleType.System, "有空间", "room again"));
        compare(auditSince(mark).map(function(r) { return [r.module, r.content.substr(0, 7), r.languageId] }),
                [[ATJS.ModuleType.Capture_Gel[0], "没有空间fff", 0], [ATJS.ModuleType.Capture_Gel[1], "no roomf", 1],
                 [ATJS.ModuleType.System[0], "有空间", 0], [ATJS.ModuleType.System[1], "room again", 1]].map(
                    function(r) { return [r[0], r[1].substr(0, 7), r[2]] }));
        // The failure reported is the disk's, not the savepoint the full disk took with it.
        verify(testProbe.logCount("Error insert table in database: Error: database or disk is full") > 0);
        compare(testProbe.logCount("Error insert table in database: Error: no such savepoint"), 0);
    }

    function test_paging_data() {
        return [
            { tag: "no rows", handler: "nobody", total: 0, pages: 0, shown: 0 },
            { tag: "101 rows", handler: "pg101", total: 101, pages: 2, shown: 100 }
        ];
    }
    function test_paging(row) {
        page.search_handler = row.handler;
        page.searchByPage();
        compare([page.total, page.pages, page.current], [row.total, row.pages, 1]);
        compare(part(page, "pagesText").text, "Total " + row.pages + " pages ");
        compare(part(page, "auditList").count, row.shown);
        if (row.pages < 2) {
            click(part(page, "nextButton"));
            compare(page.current, 1);
            return;
        }
        // Newest first, numbered from 1 on every page.
        compare(listed()[0].content, "page row 101 en");
        compare(listed()[0].m_id, 1);
        click(part(page, "nextButton"));
        compare(page.current, 2);
        compare(listed().map(function(r) { return [r.m_id, r.content] }), [[1, "page row 1 en"]]);
        click(part(page, "nextButton"));
        compare(page.current, 2);
        click(part(page, "previousButton"));
        compare(page.current, 1);
    }

    function test_pageFieldIsClamped_data() {
        return [
            { tag: "below", text: "0", page: 1 },
            { tag: "above", text: "999", page: 2 },
            { tag: "inside", text: " 2 ", page: 2 },
            { tag: "not a number", text: "abc", page: 1 },
            { tag: "statement", text: "1; DROP TABLE AuditTrailTable", page: 1 }
        ];
    }
    function test_pageFieldIsClamped(row) {
        page.search_handler = "pg101";
        page.searchByPage();
        part(page, "pageField").text = row.text;
        click(part(page, "turnButton"));
        compare(page.current, row.page);
        verify(part(page, "auditList").count > 0);
    }

    function test_timeAndHandlerFilters_data() {
        return [
            { tag: "from the second day", start: "2030-01-02 10:00:00", end: "", contents: ["third en", "second en"] },
            { tag: "end inclusive", start: "", end: "2030-01-02 10:00:00", contents: ["second en", "first en"] },
            { tag: "both", start: "2030-01-02 00:00:00", end: "2030-01-02 23:59:59", contents: ["second en"] },
            { tag: "start after end", start: "2030-01-03 00:00:00", end: "2030-01-01 00:00:00", contents: [] }
        ];
    }
    function test_timeAndHandlerFilters(row) {
        part(page, "startField").text = row.start;
        part(page, "endField").text = row.end;
        chooseHandler("tf1");
        click(part(page, "searchButton"));
        compare(listed().map(function(r) { return r.content }), row.contents);
        compare(page.pages, row.contents.length > 0 ? 1 : 0);
    }

    // Filter values are bound: a quote in a handler name or a time stays data.
    function test_filterValuesStayData() {
        page.search_handler = "x' OR '1'='1";
        page.searchByPage();
        compare(listed().map(function(r) { return r.content }), ["quoted 2 en", "quoted 1 en"]);
        // Spliced into the text this start time would match every row.
        compare(ATJS.dbReadInfo("2099' OR '1'='1", "", "", 1).length, 0);
        compare(ATJS.dbCountByPage("", "", "admin' --", 1), 0);
        verify(ATJS.dbCountByPage("", "", "", 1) > 100, "the table is still there");
    }

    // The page shows the rows of the interface language only.
    function test_languageOfRows() {
        page.search_handler = "tf1";
        UserOpts.language = UserOpts.Chinese;
        page.searchByPage();
        compare(listed().map(function(r) { return r.module + " " + r.content }), ["系统 third 中", "系统 second 中", "系统 first 中"]);
        UserOpts.language = UserOpts.English;
        page.searchByPage();
        compare(listed()[0].module, "System");
    }

    function test_handlerListHoldsEveryUser() {
        page.updateUserCombox();
        var combo = part(page, "handlerCombo");
        var names = [];
        for (var i = 0; i < combo.count; ++i)
            names.push(combo.textAt(i));
        compare(names, UMJS.dbReadAll().map(function(u) { return u.userName }));
        compare(combo.currentIndex, -1);
    }

    function test_exportWritesTheReport() {
        part(page, "startField").text = "2030-01-01 00:00:00";
        chooseHandler("tf1");
        click(part(page, "exportButton"));
        var dialog = part(page, "auditTrailExport");
        tryCompare(dialog, "opened", true);
        // The row recording the export is counted too.
        compare(dialog.infoStr, "  Find from 2030-01-01 00:00:00 to now, handler is tf1 , total 4 pieces of data.");
        dialog.updateInfo("", "", "");
        var expected = ATJS.dbCountByPage("", "", "", UserOpts.English) + 1;
        compare(dialog.infoStr, "  Find total " + expected + " pieces of data.");

        var path = testProbe.appDir() + "/audit report.pdf";
        var mark = auditMark();
        verify(dialog.fileChosen("file://" + encodeURI(path)));
        compare(auditSince(mark).map(function(r) { return r.content }),
                ["审计追踪导出: file://" + encodeURI(testProbe.appDir()), "Audit trail export: file://" + encodeURI(testProbe.appDir())]);
        var info = testProbe.run("pdfinfo", [path]);
        var pages = parseInt(/Pages:\s+(\d+)/.exec(info)[1], 10);
        compare(pages, 1 + Math.ceil(Math.max(0, expected - 37) / 39));
        // Newest first: the first row is the export itself.
        var text = testProbe.run("pdftotext", ["-layout", path, "-"]);
        var afterHeadings = text.substring(text.indexOf("operateTime") + "operateTime".length).trim();
        verify(afterHeadings.indexOf("1") === 0 && afterHeadings.split("\n")[0].indexOf("Audit trail export: file://") > 0,
               afterHeadings.split("\n")[0]);
        compare(takeMessage(), "Exoport success!");
        tryCompare(dialog, "visible", false);
        testProbe.run("cp", [path, testProbe.screensDir() + "/audit_report.pdf"]);
    }

    // A failed export keeps its "export" row and adds one saying it failed.
    function test_failedExportIsRecorded() {
        var dialog = part(page, "auditTrailExport");
        dialog.updateInfo("", "", "");
        var url = "file:///nonexistent-folder/r.pdf";
        var mark = auditMark();
        compare(dialog.fileChosen(url), false);
        compare(auditSince(mark).filter(function(r) { return r.languageId === 1 }).map(function(r) { return r.content }),
                ["Audit trail export: file:///nonexistent-folder", "Audit trail export failed: " + url]);
        compare(takeMessage(), "Export failed. Please close pdf first");
    }

    // Without the export right the export is refused even when called.
    function test_exportRefusedWithoutTheRight() {
        window.loggedOut();
        logIn(window, "ex1", "pw-ex1");
        var dialog = part(page, "auditTrailExport");
        dialog.updateInfo("", "", "");
        var path = testProbe.appDir() + "/refused.pdf";
        var mark = auditMark();
        compare(dialog.fileChosen("file://" + path), false);
        compare(takeMessage(), "Permission denied!");
        compare(testProbe.run("ls", [path]), "");
        compare(auditSince(mark)[1].content, "Permission denied: audit trail export");
        window.loggedOut();
        logIn(window);
        click(part(window, "auditButton"));
    }

    function test_timerSelector_data() {
        return [
            { tag: "leap February", text: "2024-02-10 01:02:03", days: 29, moveTo: -1, result: "2024-02-10 01:02:03" },
            { tag: "common February", text: "2023-02-10 01:02:03", days: 28, moveTo: -1, result: "2023-02-10 01:02:03" },
            { tag: "31 March to February", text: "2024-03-31 23:59:59", days: 31, moveTo: 1, result: "2024-02-29 23:59:59" },
            { tag: "31 March to April", text: "2023-03-31 00:00:00", days: 31, moveTo: 3, result: "2023-04-30 00:00:00" }
        ];
    }
    function test_timerSelector(row) {
        var component = Qt.createComponent("qrc:/dialogs/TimerSelector.qml");
        var dialog = createTemporaryObject(component, window.overlay);
        // Open, as the page uses it: the wheels are shown while they are turned.
        dialog.open();
        tryCompare(dialog, "opened", true);
        dialog.updateSpecifiedDate("");
        dialog.updateSpecifiedDate(row.text);
        wait(0);
        compare(findChild(dialog.contentItem, "dayWheel").days, row.days);
        compare(dialog.getSelectTime(), row.text);
        if (row.moveTo >= 0)
            findChild(dialog.contentItem, "monthWheel").currentIndex = row.moveTo;
        wait(0);
        compare(dialog.getSelectTime(), row.result);
        compare(findChild(dialog.contentItem, "dayWheel").currentIndex, parseInt(row.result.substring(8, 10), 10) - 1);
        var date = createTemporaryObject(Qt.createComponent("qrc:/dialogs/DateSelector.qml"), window.overlay);
        date.updateSpecifiedDate(row.text);
        compare(date.getSelectDate(), row.text.substring(0, 10));
    }
}
