.pragma library
.import QtQuick.LocalStorage 2.15 as Sql
.import "Guard.js" as Guard
// Groups of "UserInfoDB". Group 1 ("Origin Group") is never deleted.

function dbGetHandle() {
    return Sql.LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "Save group information", 1000000);
}

function dbInit() {
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("CREATE TABLE IF NOT EXISTS groupInfoTable (id INTEGER PRIMARY KEY AUTOINCREMENT, groupName TEXT UNIQUE, "
                          + "create_time DATETIME DEFAULT CURRENT_TIMESTAMP)");
        });
    } catch (err) {
        console.log("Error creating table in database: " + err);
    }
}

// "Origin Group" as id 1, written only into an empty table. True when seeded.
function dbInitData() {
    dbInit();
    var seeded = false;
    dbGetHandle().transaction(function(tx) {
        if (tx.executeSql("SELECT count(*) as n FROM groupInfoTable").rows.item(0).n > 0)
            return;
        console.log("Group Managerment table initialization start");
        tx.executeSql("INSERT INTO groupInfoTable (id, groupName) VALUES (?, ?)", [1, "Origin Group"]);
        console.log("Group Managerment table initialization end");
        seeded = true;
    });
    return seeded;
}

// The new id, or 0 (a duplicate name, a refusal).
function dbInsert(groupName) {
    if (!Guard.has(Guard.currentUser(), "authGroupNew")) {
        Guard.refuse("新增组 " + groupName, "add group " + groupName);
        return 0;
    }
    var id = 0;
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("INSERT INTO groupInfoTable (groupName) VALUES (?)", [String(groupName)]);
            id = parseInt(tx.executeSql("SELECT last_insert_rowid() as id").rows.item(0).id, 10);
        });
    } catch (err) {
        console.log("Error insert table in database: " + err);
        return 0;
    }
    return id;
}

function dbReadAll(model) {
    var rows = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT id, groupName, create_time FROM groupInfoTable order by id");
        for (var i = 0; i < rs.rows.length; ++i) {
            var r = rs.rows.item(i);
            rows.push({ id: r.id, groupName: r.groupName, createTime: r.create_time });
        }
    });
    if (model)
        for (var j = 0; j < rows.length; ++j)
            model.append(rows[j]);
    return rows;
}

function dbReadAllGroupName() {
    var names = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT groupName FROM groupInfoTable order by id");
        for (var i = 0; i < rs.rows.length; ++i)
            names.push(rs.rows.item(i).groupName);
    });
    return names;
}

// Members of a group: {id, userName, name}.
function dbReadAllByGroupId(groupId, model) {
    var rows = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT rowid, userName, name FROM userInfoTable where groupId = ? order by rowid",
                               [parseInt(groupId, 10)]);
        for (var i = 0; i < rs.rows.length; ++i) {
            var r = rs.rows.item(i);
            rows.push({ id: r.rowid, userName: r.userName, name: r.name });
        }
    });
    if (model)
        for (var j = 0; j < rows.length; ++j)
            model.append(rows[j]);
    return rows;
}

// True when written. Needs authGroupEdit.
function nameOfGroup(groupId) {
    var name = String(groupId);
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT groupName FROM groupInfoTable where id = ?", [groupId]);
        if (rs.rows.length > 0)
            name = rs.rows.item(0).groupName;
    });
    return name;
}

function dbUpdate(id, groupName) {
    var groupId = parseInt(id, 10);
    if (!Guard.has(Guard.currentUser(), "authGroupEdit")) {
        var old = nameOfGroup(groupId);
        return Guard.refuse("修改组 " + old, "edit group " + old);
    }
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("update groupInfoTable set groupName = ? where id = ?", [String(groupName), groupId]);
    });
    return true;
}

// True when deleted. Needs authGroupDelete; group 1 and a group with members are never deleted.
function dbDeleteRow(id) {
    var groupId = parseInt(id, 10);
    if (groupId === 1 || !Guard.has(Guard.currentUser(), "authGroupDelete")) {
        var old = nameOfGroup(groupId);
        return Guard.refuse("删除组 " + old, "delete group " + old);
    }
    if (dbGetUserNameByGroupId(groupId).length > 0)
        return false;
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("delete from groupInfoTable where id = ?", [groupId]);
    });
    return true;
}

function dbGetUserNameByGroupId(id) {
    var names = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT userName FROM userInfoTable where groupId = ?", [parseInt(id, 10)]);
        for (var i = 0; i < rs.rows.length; ++i)
            names.push(rs.rows.item(i).userName);
    });
    return names;
}
