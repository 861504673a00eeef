.pragma library
.import QtQuick.LocalStorage 2.15 as Sql
.import "Rights.js" as Rights
.import "Guard.js" as Guard
.import "Atomic.js" as Atomic
// Roles of "UserInfoDB": a name and a rights string of 35 flags. Role 1 is the administrator
// role: never deleted, never renamed, its rights changed by the user "admin" only.

function dbGetHandle() {
    return Sql.LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "Save user information", 1000000);
}

function dbInit() {
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("CREATE TABLE IF NOT EXISTS roleInfoTable (id INTEGER PRIMARY KEY AUTOINCREMENT, roleName TEXT UNIQUE, "
                          + "authority TEXT, create_time DATETIME DEFAULT CURRENT_TIMESTAMP)");
        });
    } catch (err) {
        console.log("Error creating table in database: " + err);
    }
}

// The three roles of a first start, ids 1 to 3, written only into an empty table: roles that
// exist are never dropped. True when seeded.
function dbInitData() {
    dbInit();
    var seeded = false;
    Atomic.run(dbGetHandle(), function(tx) {
        if (tx.executeSql("SELECT count(*) as n FROM roleInfoTable").rows.item(0).n > 0)
            return;
        console.log("Permission table initialization start");
        var seed = [[1, "Administrator", Rights.administrator], [2, "Researcher", Rights.researcher],
                    [3, "Operator", Rights.operator]];
        for (var i = 0; i < seed.length; ++i)
            tx.executeSql("INSERT INTO roleInfoTable (id, roleName, authority) VALUES(?, ?, ?)", seed[i]);
        console.log("Permission table initialization end");
        seeded = true;
    });
    return seeded;
}

// The new id, or 0 (a duplicate name, a refusal).
function dbInsert(roleName, authority) {
    if (!Guard.has(Guard.currentUser(), "authRoleNew")) {
        Guard.refuse("新增角色 " + roleName, "add role " + roleName);
        return 0;
    }
    var id = 0;
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("INSERT INTO roleInfoTable (roleName, authority) VALUES(?, ?)", [String(roleName), String(authority)]);
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
        var rs = tx.executeSql("SELECT id, roleName, authority, create_time FROM roleInfoTable order by id");
        for (var i = 0; i < rs.rows.length; ++i) {
            var r = rs.rows.item(i);
            rows.push({ id: r.id, roleName: r.roleName, authority: r.authority, createTime: r.create_time });
        }
    });
    if (model)
        for (var j = 0; j < rows.length; ++j)
            model.append(rows[j]);
    return rows;
}

// [id, roleName, authority, create_time], or [] when there is no such role.
function dbReadById(roleId) {
    var row = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT id, roleName, authority, create_time FROM roleInfoTable where id = ?", [parseInt(roleId, 10)]);
        if (rs.rows.length > 0) {
            var r = rs.rows.item(0);
            row = [r.id, r.roleName, r.authority, r.create_time];
        }
    });
    return row;
}

function dbGetAllRoleName() {
    var names = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT roleName FROM roleInfoTable");
        for (var i = 0; i < rs.rows.length; ++i)
            names.push(rs.rows.item(i).roleName);
    });
    return names;
}

// True when written. Needs authRoleEdit (the user "admin" may always edit); role 1 keeps its
// name and only "admin" changes it.
function dbUpdateById(id, roleName, authority) {
    var user = Guard.currentUser();
    var roleId = parseInt(id, 10);
    var old = dbReadById(roleId);
    if (old.length === 0)
        return false;
    var isAdmin = !!user && user.userName === "admin";
    var allowed = isAdmin || Guard.has(user, "authRoleEdit");
    if (roleId === 1)
        allowed = isAdmin && String(roleName) === old[1];
    if (!allowed)
        return Guard.refuse("修改角色 " + old[1], "edit role " + old[1]);
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("update roleInfoTable set roleName = ?, authority = ?, create_time = CURRENT_TIMESTAMP where id = ?",
                      [String(roleName), String(authority), roleId]);
    });
    return true;
}

// True when deleted. Needs authRoleDelete; role 1 and a role any user holds are never deleted.
function dbDeleteRow(id) {
    var roleId = parseInt(id, 10);
    var old = dbReadById(roleId);
    if (old.length === 0)
        return false;
    if (roleId === 1 || !Guard.has(Guard.currentUser(), "authRoleDelete"))
        return Guard.refuse("删除角色 " + old[1], "delete role " + old[1]);
    if (dbGetUserNameByAuthority(roleId).length > 0)
        return false;
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("delete from roleInfoTable where id = ?", [roleId]);
    });
    return true;
}

function dbGetUserNameByAuthority(id) {
    var names = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT userName FROM userInfoTable where authority = ?", [String(parseInt(id, 10))]);
        for (var i = 0; i < rs.rows.length; ++i)
            names.push(rs.rows.item(i).userName);
    });
    return names;
}

// The rights string of a role; "" when the role does not exist.
function dbGetAthorityById(id) {
    var text = "";
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT authority FROM roleInfoTable where id = ?", [parseInt(id, 10)]);
        if (rs.rows.length > 0)
            text = rs.rows.item(0).authority;
    });
    return text;
}
