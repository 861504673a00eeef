.pragma library
.import QtQuick.LocalStorage 2.15 as Sql
.import "Popups.js" as Popups
.import "Atomic.js" as Atomic
// The audit trail: one table of rows in the local-storage database "AuditTrailDB". Every
// audited event is stored twice, Chinese (languageId 0) and English (1); readers see one
// language. Every value reaches SQL as a bound parameter.

var ModuleType = {
    System: ["系统", "System"],
    Capture_Gel: ["采集/凝胶成像", "Capture/Gel"],
    Images_Gel: ["图库/凝胶成像", "Images/Gel"],
    Capture_Western: ["采集/发光成像", "Capture/WB"],
    Images_Western: ["图库/发光成像", "Images/WB"],
    Capture_Flu: ["采集/荧光成像", "Capture/Flu"],
    Images_Flu: ["图库/荧光成像", "Images/Flu"],
    Setting: ["设置", "Setting"]
};

var initialised = false;
// Set when the file fails SQLite's quick check at open: nothing is written into it then, so that
// what a recovery can still read is kept as it was found.
var damaged = false;
// Events whose rows found no room (a full disk): written, with their own time, before the next
// event, so that a full disk delays them instead of losing them. Bounded: a disk that stays full
// keeps only the latest.
var pending = [];
var kMaxPending = 1000;
var damageTold = false;

// Once the window can show it (the store may be opened before the window is complete).
function tellDamaged() {
    if (damageTold)
        return;
    damageTold = Popups.notify("qrc:/Image/error.png", qsTr("Error"),
                               qsTr("The audit trail store is damaged; no audit event is written into it until it is repaired or replaced."))
            !== null;
}

function dbGetHandle() {
    return Sql.LocalStorage.openDatabaseSync("AuditTrailDB", "1.0", "Save AuditTrail information", 100000000);
}

function two(v) { return v < 10 ? "0" + v : String(v) }
function localTime() {
    var d = new Date();
    return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate()) + " "
            + two(d.getHours()) + ":" + two(d.getMinutes()) + ":" + two(d.getSeconds());
}

// Creates the table and the indexes the page's reads need: one language newest first, one
// language in a time range, one language of one handler.
// What PRAGMA quick_check finds wrong (nothing for a sound file); reads every page, writes none.
function integrityProblems(db) {
    var problems = [];
    try {
        // The engine refuses a pragma in a read transaction; this one writes nothing either way.
        db.transaction(function(tx) {
            var rs = tx.executeSql("PRAGMA quick_check(5)");
            for (var i = 0; i < rs.rows.length; ++i) {
                var finding = String(rs.rows.item(i).quick_check);
                if (finding !== "ok")
                    problems.push(finding);
            }
        });
    } catch (err) {
        problems.push(String(err));
    }
    return problems;
}

function dbInit() {
    try {
        var problems = integrityProblems(dbGetHandle());
        if (problems.length > 0) {
            damaged = true;
            initialised = true;
            console.error("AuditTrailDB完整性检查失败，文件未作改动。 " + problems.join("; "));
            tellDamaged();
            return;
        }
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("CREATE TABLE IF NOT EXISTS AuditTrailTable (id INTEGER PRIMARY KEY AUTOINCREMENT, module TEXT, "
                          + "content TEXT, handler TEXT, dateTime DATETIME DEFAULT CURRENT_TIMESTAMP, languageId INTEGER)");
            tx.executeSql("CREATE INDEX IF NOT EXISTS AuditTrailLanguageId ON AuditTrailTable (languageId, id)");
            tx.executeSql("CREATE INDEX IF NOT EXISTS AuditTrailLanguageTime ON AuditTrailTable (languageId, dateTime)");
            tx.executeSql("CREATE INDEX IF NOT EXISTS AuditTrailLanguageHandler ON AuditTrailTable (languageId, handler)");
        });
        initialised = true;
    } catch (err) {
        console.log("Error creating table in database: " + err);
    }
}
function ensureInit() {
    if (!initialised)
        dbInit();
}

function hasHandler(handler) {
    return handler !== undefined && handler !== null && String(handler) !== "";
}

// One row; nothing (undefined) without a handler; the new id, or 0 after logging the error.
function dbInsert(module, content, handler, languageId) {
    if (!hasHandler(handler))
        return undefined;
    ensureInit();
    if (damaged) {
        console.error("audit event not written, the store is damaged: " + module[1] + ", " + content + ", " + handler);
        return 0;
    }
    var id = 0;
    try {
        dbGetHandle().transaction(function(tx) {
            id = insertRow(tx, module, content, handler, languageId, localTime());
        });
    } catch (err) {
        console.log("Error insert table in database: " + err);
        return 0;
    }
    return id;
}
function insertRow(tx, module, content, handler, languageId, time) {
    var rs = tx.executeSql("INSERT INTO AuditTrailTable (module, content, handler, languageId, dateTime) VALUES(?, ?, ?, ?, ?)",
                           [module[languageId], String(content), String(handler), languageId, time]);
    return parseInt(rs.insertId, 10);
}

// The two rows of one event (Chinese, then English) in one transaction: both are stored or
// neither. A failure is logged as critical and shown to the operator. Returns true when
// stored; undefined without a handler.
function dbInsertPair(module, chinese, english, handler) {
    if (!hasHandler(handler))
        return undefined;
    ensureInit();
    if (damaged) {
        console.error("audit event not written, the store is damaged: " + module[1] + ", " + english + ", " + handler);
        tellDamaged();
        return false;
    }
    var event = { module: module, chinese: chinese, english: english, handler: handler, time: localTime() };
    try {
        Atomic.run(dbGetHandle(), function(tx) {
            for (var i = 0; i < pending.length; ++i)
                insertEvent(tx, pending[i]);
            insertEvent(tx, event);
        });
        pending = [];
        return true;
    } catch (err) {
        var noRoom = /full/i.test(String(err));
        console.error("Error insert table in database: " + err + (noRoom ? " (audit event kept for the next write: "
                                                                          : " (lost audit event: ")
                      + module[1] + ", " + english + ", " + handler + ")");
        if (noRoom) {
            pending.push(event);
            if (pending.length > kMaxPending)
                pending.shift();
        }
        Popups.notify("qrc:/Image/error.png", qsTr("Error"),
                      qsTr("The audit trail could not be written: ") + english);
        return false;
    }
}
function insertEvent(tx, event) {
    insertRow(tx, event.module, event.chinese, event.handler, 0, event.time);
    insertRow(tx, event.module, event.english, event.handler, 1, event.time);
}

// The WHERE clause of the reads and its bound values. Times compare as text (the fixed format
// orders correctly); both bounds are inclusive.
function filterClause(startTime, endTime, handler, languageId) {
    var sql = " where languageId = ?";
    var args = [parseInt(languageId, 10) || 0];
    if (startTime !== undefined && startTime !== null && String(startTime) !== "") {
        sql += " and dateTime >= ?";
        args.push(String(startTime));
    }
    if (endTime !== undefined && endTime !== null && String(endTime) !== "") {
        sql += " and dateTime <= ?";
        args.push(String(endTime));
    }
    if (hasHandler(handler)) {
        sql += " and handler = ?";
        args.push(String(handler));
    }
    return { sql: sql, args: args };
}

// A whole number from 1 to max from a page count or a typed text; fallback when it is no number.
function clampPage(value, max, fallback) {
    var n = parseInt(String(value).trim(), 10);
    if (isNaN(n))
        return fallback;
    return Math.max(1, Math.min(n, Math.max(1, max)));
}
// Pages of size rows for total rows (0 when there are none).
function pageCount(total, size) {
    return total <= 0 ? 0 : Math.ceil(total / size);
}

function readRows(sql, args) {
    ensureInit();
    var rows = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql(sql, args);
        for (var i = 0; i < rs.rows.length; ++i) {
            var r = rs.rows.item(i);
            rows.push({ m_id: i + 1, module: r.module, content: r.content, handler: r.handler,
                        operatingTime: r.dateTime });
        }
    });
    return rows;
}

// One page of rows, newest first; m_id counts from 1 on every page. Appended to model when one
// is given; returned too.
function dbReadInfoByPage(current, size, startTime, endTime, handler, languageId, model) {
    var pageSize = Math.max(1, Math.min(parseInt(size, 10) || 100, 1000));
    var page = clampPage(current, Number.MAX_SAFE_INTEGER, 1);
    var filter = filterClause(startTime, endTime, handler, languageId);
    var rows = readRows("SELECT id, module, content, handler, dateTime FROM AuditTrailTable" + filter.sql
                        + " order by id DESC limit ? offset ?", filter.args.concat([pageSize, (page - 1) * pageSize]));
    if (model)
        for (var i = 0; i < rows.length; ++i)
            model.append(rows[i]);
    return rows;
}

// Rows under the filters; callback(count) is called before returning, and the count returned.
function dbCountByPage(startTime, endTime, handler, languageId, callback) {
    ensureInit();
    var filter = filterClause(startTime, endTime, handler, languageId);
    var count = 0;
    dbGetHandle().readTransaction(function(tx) {
        count = tx.executeSql("select count(*) as total from AuditTrailTable" + filter.sql, filter.args).rows.item(0).total;
    });
    if (callback)
        callback(count);
    return count;
}

// Every row under the filters, newest first.
function dbReadInfo(startTime, endTime, handler, languageId) {
    var filter = filterClause(startTime, endTime, handler, languageId);
    var rows = readRows("SELECT id, module, content, handler, dateTime FROM AuditTrailTable" + filter.sql + " order by id DESC",
                        filter.args);
    console.log("查询结束");
    return rows;
}
