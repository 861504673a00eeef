.pragma library
.import QtQuick.LocalStorage 2.15 as Sql
// Exposure programmes of the multiple Western-blot capture in "FormulaDB". Every value goes in
// as a bound parameter: names and exposure texts are data.

function dbGetHandle() {
    return Sql.LocalStorage.openDatabaseSync("FormulaDB", "1.0", "Save Formula information", 100000000);
}

function dbInit() {
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("CREATE TABLE IF NOT EXISTS formulaTable (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
                          + "captureCount INTEGER, integralAccumulate INTEGER, detail TEXT)");
        });
    } catch (err) {
        console.log("Error creating table in database: " + err);
    }
}

function flag(value) { return value === true || Number(value) === 1 ? 1 : 0 }

function dbInsert(name, captureCount, integralAccumulate, detail) {
    var id = 0;
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("INSERT INTO formulaTable (name, captureCount, integralAccumulate, detail) VALUES(?, ?, ?, ?)",
                          [String(name), Number(captureCount), flag(integralAccumulate), String(detail)]);
            id = parseInt(tx.executeSql("SELECT last_insert_rowid() as id").rows.item(0).id, 10);
        });
    } catch (err) {
        console.log("Error insert table in database: " + err);
    }
    return id;
}

function dbUpdate(id, name, captureCount, integralAccumulate, detail) {
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("update formulaTable SET name = ?, captureCount = ?, integralAccumulate = ?, detail = ? WHERE id = ?",
                          [String(name), Number(captureCount), flag(integralAccumulate), String(detail), Number(id)]);
        });
    } catch (err) {
        console.log("Error insert table in database: " + err);
    }
}

function readRows() {
    var rows = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT id, name, captureCount, integralAccumulate, detail FROM formulaTable order by id");
        for (var i = 0; i < rs.rows.length; ++i) {
            var r = rs.rows.item(i);
            rows.push({ id: r.id, name: String(r.name), captureCount: Number(r.captureCount),
                        integralAccumulate: Number(r.integralAccumulate), detail: String(r.detail) });
        }
    });
    return rows;
}
// Appends every programme to a ListModel (the programme list's table).
function dbReadAll(model) {
    var rows = readRows();
    for (var i = 0; i < rows.length; ++i)
        model.append(rows[i]);
    return rows.length;
}
// The same rows for the capture page's drop-down.
function dbReadForCombox(model) { return dbReadAll(model) }

function dbDeleteRow(rowid) {
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("delete from formulaTable where id = ?", [Number(rowid)]);
    });
}

// Number of programmes of that name; fallback when the database does not answer.
function dbIsNameDuplicate(name, fallback) {
    var count = fallback === undefined ? -1 : fallback;
    try {
        dbGetHandle().readTransaction(function(tx) {
            count = tx.executeSql("SELECT COUNT(*) as n from formulaTable where name = ?", [String(name)]).rows.item(0).n;
        });
    } catch (err) {
        console.log("Error dbIsNameDuplicate in database: " + err);
    }
    return count;
}
