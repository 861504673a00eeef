.pragma library
.import QtQuick.LocalStorage 2.15 as Sql
.import an.qt.MainCtrl 1.0 as Ctrl
.import "Rights.js" as Rights
.import "Guard.js" as Guard
.import "Atomic.js" as Atomic
// Users of the local-storage database "UserInfoDB". Passwords are kept as salted PBKDF2
// records made natively (MainCtrl.hashPassword); no read hands a stored password out.

function dbGetHandle() {
    return Sql.LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "Save user information", 1000000);
}

function dbInit() {
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("CREATE TABLE IF NOT EXISTS userInfoTable (userName TEXT UNIQUE, passWord TEXT, name TEXT, "
                          + "authority TEXT, isRemember BOOL, groupId INTEGER DEFAULT 1)");
            var rs = tx.executeSql("PRAGMA table_info (userInfoTable)");
            var hasGroup = false;
            for (var i = 0; i < rs.rows.length; ++i)
                hasGroup = hasGroup || rs.rows.item(i).name === "groupId";
            if (!hasGroup)
                tx.executeSql("ALTER TABLE userInfoTable ADD COLUMN groupId INTEGER DEFAULT 1");
        });
    } catch (err) {
        console.log("Error creating table in database: " + err);
    }
}

function isRecord(text) { return String(text).indexOf("pbkdf2-sha256$") === 0 }

var listColumns = "SELECT rowid, userName, name, authority, isRemember, groupId FROM userInfoTable";

function rowObject(r) {
    return { id: r.rowid, userName: r.userName, name: r.name, authority: String(r.authority),
             isRemember: !!r.isRemember, groupId: r.groupId, groupName: "", roleName: "" };
}
function readList(sql, args) {
    var rows = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql(sql, args);
        for (var i = 0; i < rs.rows.length; ++i)
            rows.push(rowObject(rs.rows.item(i)));
    });
    return rows;
}
function fill(model, rows, clear) {
    if (!model)
        return;
    if (clear)
        model.clear();
    for (var i = 0; i < rows.length; ++i)
        model.append(rows[i]);
}

// The row object of a user; null when there is none. Internal: for the checks below.
function rowByName(tx, userName) {
    var rs = tx.executeSql("SELECT rowid, userName, name, authority, isRemember, groupId FROM userInfoTable where userName = ?",
                           [String(userName)]);
    return rs.rows.length > 0 ? rowObject(rs.rows.item(0)) : null;
}
function rowById(tx, rowid) {
    var rs = tx.executeSql("SELECT rowid, userName, name, authority, isRemember, groupId FROM userInfoTable where rowid = ?",
                           [parseInt(rowid, 10)]);
    return rs.rows.length > 0 ? rowObject(rs.rows.item(0)) : null;
}

// Inserts without a rights check: the first-start seed.
function insertRow(userName, passWord, name, authority, isRemember, groupId) {
    var record = Ctrl.MainCtrl.hashPassword(String(passWord));
    if (record === "") {
        console.log("Error insert table in database: password record not made");
        return 0;
    }
    var id = 0;
    try {
        dbGetHandle().transaction(function(tx) {
            tx.executeSql("INSERT INTO userInfoTable VALUES(?, ?, ?, ?, ?, ?)",
                          [String(userName), record, String(name), String(authority), !!isRemember, parseInt(groupId, 10) || 1]);
            id = parseInt(tx.executeSql("SELECT last_insert_rowid() as id").rows.item(0).id, 10);
        });
    } catch (err) {
        console.log("Error insert table in database: " + err);
        return 0;
    }
    return id;
}

// The new rowid, or 0 (a duplicate name, a refusal).
function dbInsert(userName, passWord, name, authority, isRemember, groupId) {
    var user = Guard.currentUser();
    if (!Guard.isSuper(user) && !Guard.has(user, "authUserNew")) {
        Guard.refuse("新增用户 " + userName, "add user " + userName);
        return 0;
    }
    return insertRow(userName, passWord, name, authority, isRemember, groupId);
}

function dbReadAll(model) {
    var rows = readList(listColumns + " order by rowid", []);
    fill(model, rows, false);
    return rows;
}

// A name search matches the text literally ("%" and "_" are no wildcards here).
function likePattern(text) {
    return "%" + String(text).replace(/[\\%_]/g, function(c) { return "\\" + c }) + "%";
}
function dbReadUserInfoByCondition(userName, authority, groupId, model) {
    var conditions = [];
    var args = [];
    if (userName !== undefined && userName !== null && String(userName) !== "") {
        conditions.push("userName LIKE ? ESCAPE '\\'");
        args.push(likePattern(userName));
    }
    if (authority !== undefined && authority !== null && String(authority) !== "") {
        conditions.push("authority = ?");
        args.push(String(authority));
    }
    if (groupId !== undefined && groupId !== null && String(groupId) !== "") {
        conditions.push("groupId = ?");
        args.push(parseInt(groupId, 10));
    }
    var sql = listColumns + (conditions.length > 0 ? " WHERE " + conditions.join(" AND ") : "") + " order by rowid";
    var rows = readList(sql, args);
    fill(model, rows, true);
    return rows;
}

function dbReadAllByGroupId(groupId, model) {
    var rows = readList(listColumns + " where groupId = ? order by rowid", [parseInt(groupId, 10)]);
    fill(model, rows, false);
    return rows;
}

function readNames(sql, key) {
    var rows = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql(sql);
        for (var i = 0; i < rs.rows.length; ++i)
            rows.push({ id: rs.rows.item(i).id, name: rs.rows.item(i)[key] });
    });
    return rows;
}
function dbReadAllRoleName(model) {
    var rows = readNames("SELECT id, roleName FROM roleInfoTable order by id", "roleName");
    if (model) {
        model.clear();
        for (var i = 0; i < rows.length; ++i)
            model.append({ id: rows[i].id, roleName: rows[i].name });
    }
    return rows;
}
function dbReadAllGroupName(model) {
    var rows = readNames("SELECT id, groupName FROM groupInfoTable order by id", "groupName");
    if (model) {
        model.clear();
        for (var i = 0; i < rows.length; ++i)
            model.append({ id: rows[i].id, groupName: rows[i].name });
    }
    return rows;
}

// The row as an array by UserOpts.UserInfoType; its password position is always "" (the
// record stays in the store: see dbVerifyPassword). Empty when there is no such user.
function dbReadByUserName(userName) {
    var row = null;
    dbGetHandle().readTransaction(function(tx) { row = rowByName(tx, userName) });
    if (!row) {
        console.log("results 没有数据");
        return [];
    }
    return [row.id, row.userName, "", row.name, row.authority, row.isRemember, row.groupId];
}

// Whether password is the user's. A row of an older store that still holds the plain password
// is accepted once and rewritten as a record; so is a record of fewer iterations than now.
function dbVerifyPassword(userName, password) {
    var stored = null;
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT passWord FROM userInfoTable where userName = ?", [String(userName)]);
        if (rs.rows.length > 0)
            stored = rs.rows.item(0).passWord;
    });
    if (stored === null || stored === undefined || String(password) === "")
        return false;
    stored = String(stored);
    var ok = isRecord(stored) ? Ctrl.MainCtrl.verifyPassword(String(password), stored) : stored === String(password);
    if (ok && Ctrl.MainCtrl.passwordNeedsRehash(stored)) {
        var record = Ctrl.MainCtrl.hashPassword(String(password));
        if (record !== "") {
            dbGetHandle().transaction(function(tx) {
                tx.executeSql("update userInfoTable set passWord = ? where userName = ?", [record, String(userName)]);
            });
            console.log("password of " + userName + " stored as a record");
        }
    }
    return ok;
}

// Login keeps the "Remember" choice (the user name only is remembered, never the password).
function dbSetRemember(userName, isRemember) {
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("update userInfoTable set isRemember = ? where userName = ?", [!!isRemember, String(userName)]);
    });
}

function dbGetAllUserName() {
    var names = [];
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT userName FROM userInfoTable");
        for (var i = 0; i < rs.rows.length; ++i)
            names.push(rs.rows.item(i).userName);
    });
    return names;
}

// Updates a user; an empty passWord keeps the stored one. True when written. The logged-in
// user must be "admin", hold role 1, or edit their own row with authUserEdit; a change of role
// or group also needs authUserAuthority and is never made to "admin".
function dbUpdate(rowid, userName, passWord, name, authority, isRemember, groupId) {
    var user = Guard.currentUser();
    var target = null;
    dbGetHandle().readTransaction(function(tx) { target = rowById(tx, rowid) });
    if (!target)
        return false;
    var own = !!user && user.userName === target.userName;
    var roleChange = String(authority) !== target.authority || parseInt(groupId, 10) !== target.groupId;
    var allowed = Guard.isSuper(user) || (own && Guard.has(user, "authUserEdit"));
    if (roleChange)
        allowed = allowed && target.userName !== "admin" && Guard.has(user, "authUserAuthority");
    if (String(userName) !== target.userName)
        allowed = false;
    if (!allowed)
        return Guard.refuse("修改用户 " + target.userName, "edit user " + target.userName);
    var record = "";
    if (passWord !== undefined && passWord !== null && String(passWord) !== "") {
        record = Ctrl.MainCtrl.hashPassword(String(passWord));
        if (record === "")
            return false;
    }
    Atomic.run(dbGetHandle(), function(tx) {
        if (record !== "")
            tx.executeSql("update userInfoTable set passWord = ? where rowid = ?", [record, target.id]);
        tx.executeSql("update userInfoTable set name = ?, authority = ?, isRemember = ?, groupId = ? where rowid = ?",
                      [String(name), String(authority), !!isRemember, parseInt(groupId, 10) || 1, target.id]);
    });
    return true;
}

// True when deleted. "admin" is never deleted; others by "admin" and holders of role 1, or
// by themselves with authUserDelete.
function dbDeleteRow(rowid) {
    var user = Guard.currentUser();
    var target = null;
    dbGetHandle().readTransaction(function(tx) { target = rowById(tx, rowid) });
    if (!target)
        return false;
    var own = !!user && user.userName === target.userName;
    if (target.userName === "admin" || !(Guard.isSuper(user) || (own && Guard.has(user, "authUserDelete"))))
        return Guard.refuse("删除用户 " + target.userName, "delete user " + target.userName);
    dbGetHandle().transaction(function(tx) {
        tx.executeSql("delete from userInfoTable where rowid = ?", [target.id]);
    });
    return true;
}

// Users of an older store whose authority is still a list of flags get the role with the same
// rights (role 1 only for a list of every right); a list no role matches gets a role of its
// own, "Migrated <user>", so nobody gains or loses a right. Returns how many were moved.
function dbUpdateAthorityToAdmin() {
    var moved = 0;
    Atomic.run(dbGetHandle(), function(tx) {
        var rs = tx.executeSql("SELECT rowid, userName, authority FROM userInfoTable where authority LIKE ?", ["%,%"]);
        if (rs.rows.length === 0)
            return;
        var roles = [];
        var rr = tx.executeSql("SELECT id, authority FROM roleInfoTable order by id");
        for (var i = 0; i < rr.rows.length; ++i)
            roles.push({ id: rr.rows.item(i).id, authority: rr.rows.item(i).authority });
        for (var j = 0; j < rs.rows.length; ++j) {
            var u = rs.rows.item(j);
            var roleId = Rights.roleForFlagList(u.authority, roles);
            if (roleId === 0) {
                var rights = Rights.join(Rights.parse(u.authority));
                tx.executeSql("INSERT INTO roleInfoTable (roleName, authority) VALUES(?, ?)", ["Migrated " + u.userName, rights]);
                roleId = parseInt(tx.executeSql("SELECT last_insert_rowid() as id").rows.item(0).id, 10);
                roles.push({ id: roleId, authority: rights });
            }
            tx.executeSql("UPDATE userInfoTable SET authority = ? where rowid = ?", [String(roleId), u.rowid]);
            console.log("user " + u.userName + " moved from a list of rights to role " + roleId);
            ++moved;
        }
    });
    return moved;
}
