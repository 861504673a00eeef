.pragma library
// Audit-trail rows of the shell, written with the call shape of the audit-trail store:
// dbInsert(module, content, handler, languageId), the module a pair [Chinese, English]. Until
// that store exists the rows are kept in memory for the process and logged.

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

var rows = [];

function two(v) { return v < 10 ? "0" + v : String(v) }
function localTime() {
    var d = new Date();
    return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate()) + " "
            + two(d.getHours()) + ":" + two(d.getMinutes()) + ":" + two(d.getSeconds());
}

function dbInit() {}

// Nothing is written without a handler (nobody logged in); returns the new row's id.
function dbInsert(module, content, handler, languageId) {
    if (handler === undefined || handler === null || String(handler) === "")
        return undefined;
    var row = { id: rows.length + 1, module: module[languageId], content: String(content),
                handler: String(handler), languageId: languageId, dateTime: localTime() };
    rows.push(row);
    console.log("audit:", row.module, row.content, row.handler, row.languageId);
    return row.id;
}

// The rows written so far, oldest first (copies).
function insertedRows() { return rows.slice() }
