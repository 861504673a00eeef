.pragma library
.import QtQuick.LocalStorage 2.15 as Sql
.import an.qt.UserOpts 1.0 as Options
.import "Rights.js" as Rights
.import "Audit.js" as Audit
.import "ATDatabase.js" as ATJS
.import "Popups.js" as Popups
// What the logged-in user may change, read from the store at the moment of the change: the
// stores check it themselves, so a control that is wrongly enabled cannot change data.

function dbGetHandle() {
    return Sql.LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "Save user information", 1000000);
}

// {userName, authority, groupId} of the logged-in user, or null (nobody, or no such row).
function currentUser() {
    var name = String(Options.UserOpts.lastLoginUser);
    if (name === "")
        return null;
    var user = null;
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT userName, authority, groupId FROM userInfoTable where userName = ?", [name]);
        if (rs.rows.length > 0) {
            var r = rs.rows.item(0);
            user = { userName: r.userName, authority: String(r.authority), groupId: r.groupId };
        }
    });
    return user;
}

// The flags of a role, or null when the role does not exist.
function rightsOf(roleId) {
    var id = parseInt(roleId, 10);
    if (isNaN(id))
        return null;
    var text = null;
    dbGetHandle().readTransaction(function(tx) {
        var rs = tx.executeSql("SELECT authority FROM roleInfoTable where id = ?", [id]);
        if (rs.rows.length > 0)
            text = rs.rows.item(0).authority;
    });
    return text === null ? null : Rights.parse(text);
}

function has(user, rightName) {
    if (!user)
        return false;
    var flags = rightsOf(user.authority);
    return !!(flags && flags[Rights.index[rightName]]);
}
// The user "admin" and holders of role 1 manage every user.
function isSuper(user) {
    return !!user && (user.userName === "admin" || user.authority === "1");
}

// Refuses an action: a log line, two audit rows and a message to the operator. Returns false.
function refuse(chinese, english) {
    console.log("Permission denied: " + english);
    Audit.write(ATJS.ModuleType.Setting, "权限不足, 已拒绝: " + chinese, "Permission denied: " + english);
    Popups.notify("qrc:/Image/warning.png", qsTr("Warning"), qsTr("Permission denied!"));
    return false;
}
