import QtQuick 2.15
import QtTest 1.15
import QtQuick.LocalStorage 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "qrc:/js/UMDatabase.js" as UMJS
import "qrc:/js/RMDatabase.js" as RMJS
import "qrc:/js/GMDatabase.js" as GMJS
import "qrc:/js/Rights.js" as Rights

// The user, group and role tabs: their checks and texts, what each change writes (rows and
// audit pairs), which buttons each user gets, and the stores refusing what the pages would not
// offer.
ShellTestCase {
    name: "UsersManage"
    property var window: null
    property var settings: null

    function users(sql) { return testProbe.sqlite("UserInfoDB", sql) }
    // Every row of the three tables, read in this process.
    function snapshot() {
        var text = "";
        LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "", 1000000).readTransaction(function(tx) {
            ["userInfoTable", "roleInfoTable", "groupInfoTable"].forEach(function(table) {
                var rs = tx.executeSql("SELECT * FROM " + table + " order by rowid");
                for (var i = 0; i < rs.rows.length; ++i)
                    text += JSON.stringify(rs.rows.item(i)) + "\n";
            });
        });
        return text;
    }
    function setUpFile() {
        window = makeWindow(true);
        settings = window.mainPage.body.settingPage;
        verify(UMJS.dbInsert("op2", "pw-op2", "Op Two", "3", false, 1) > 0);
        click(part(window, "settingButton"));
    }
    function tearDownFile() { window.destroy() }
    function initEach() {
        loginAs("admin", "tarnu");
        UserOpts.isSignature = false;
        click(part(window, "settingButton"));
    }
    function loginAs(name, password) {
        if (window.mainPage.visible && UserOpts.lastLoginUser === name)
            return;
        if (window.mainPage.visible)
            window.loggedOut();
        logIn(window, name, password);
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
    function tab(index, name) {
        settings.selectTab(index);
        settle(window.contentItem);
        return part(window, name);
    }
    function selectRow(page, tableName, key, value) {
        var table = part(page, tableName);
        for (var i = 0; i < table.count; ++i) {
            if (String(table.model.get(i)[key]) === String(value)) {
                table.currentIndex = i;
                table.rowClicked(i);
                return;
            }
        }
        fail("no row " + value);
    }
    function indexIn(combo, text) {
        for (var i = 0; i < combo.count; ++i)
            if (combo.textAt(i) === text)
                return i;
        return -1;
    }
    function contents(mark) { return auditSince(mark).map(function(r) { return r.content }) }

    function test_userChecks_data() {
        return [
            { tag: "empty user name", user: "", password: "p", name: "n", role: "Operator", group: "Origin Group",
              text: "Username can't be empty!" },
            { tag: "existing name", user: "admin", password: "p", name: "n", role: "Operator", group: "Origin Group",
              text: "Username already exists!" },
            { tag: "empty password", user: "u9", password: "", name: "n", role: "Operator", group: "Origin Group",
              text: "Password can't be empty!" },
            { tag: "empty name", user: "u9", password: "p", name: "", role: "Operator", group: "Origin Group",
              text: "Name can't be empty!" },
            { tag: "no role", user: "u9", password: "p", name: "n", role: "", group: "Origin Group",
              text: "Authority can't be empty!" },
            { tag: "no group", user: "u9", password: "p", name: "n", role: "Operator", group: "",
              text: "Group can't be empty!" }
        ];
    }
    function test_userChecks(row) {
        var page = tab(2, "UserManagementPage");
        click(part(page, "addButton"));
        verify(part(page, "editView").visible);
        part(page, "userNameField").text = row.user;
        part(page, "passwordField").text = row.password;
        part(page, "nameField").text = row.name;
        part(page, "roleCombo").currentIndex = indexIn(part(page, "roleCombo"), row.role);
        part(page, "groupCombo").currentIndex = indexIn(part(page, "groupCombo"), row.group);
        var mark = auditMark();
        click(part(page, "saveButton"));
        compare(takeMessage(), row.text);
        verify(part(page, "editView").visible, "the form stays");
        compare(users("SELECT count(*) FROM userInfoTable where userName = 'u9'"), "0");
        compare(auditSince(mark).length, 0);
        click(part(page, "cancelButton"));
    }

    function test_userAddEditDelete() {
        var page = tab(2, "UserManagementPage");
        UserOpts.isSignature = true;
        click(part(page, "addButton"));
        part(page, "userNameField").text = "tech7";
        part(page, "passwordField").text = "first-pw";
        part(page, "nameField").text = "Tech Seven";
        part(page, "roleCombo").currentIndex = indexIn(part(page, "roleCombo"), "Researcher");
        part(page, "groupCombo").currentIndex = indexIn(part(page, "groupCombo"), "Origin Group");
        var mark = auditMark();
        click(part(page, "saveButton"));
        answerSignature(window, true);
        compare(users("SELECT userName, name, authority, isRemember, groupId FROM userInfoTable where userName = 'tech7'"),
                "tech7|Tech Seven|2|0|1");
        compare(contents(mark), ["新增用户: tech7 姓名:Tech Seven", "Add new user: tech7 name:Tech Seven"]);
        verify(part(page, "homeView").visible);
        var firstRecord = users("SELECT passWord FROM userInfoTable where userName = 'tech7'");
        verify(firstRecord.indexOf("pbkdf2-sha256$") === 0 && firstRecord.indexOf("first-pw") < 0);

        // Edit: the password is never shown; left empty it is kept, and no note is written.
        selectRow(page, "userTable", "userName", "tech7");
        click(part(page, "editButton"));
        compare(part(page, "passwordField").text, "");
        verify(!part(page, "userNameField").enabled);
        part(page, "nameField").text = "Tech 7";
        mark = auditMark();
        click(part(page, "saveButton"));
        answerSignature(window, true);
        compare(contents(mark), ["修改用户: tech7 姓名:Tech Seven修改为Tech 7", "Edit user: tech7 name:Tech Seven change to Tech 7"]);
        compare(users("SELECT passWord FROM userInfoTable where userName = 'tech7'"), firstRecord);

        // A new password is stored as a new record and noted.
        selectRow(page, "userTable", "userName", "tech7");
        click(part(page, "editButton"));
        part(page, "passwordField").text = "second-pw";
        mark = auditMark();
        click(part(page, "saveButton"));
        answerSignature(window, true);
        compare(contents(mark), ["修改用户: tech7 姓名:Tech 7修改为Tech 7 密码已修改",
                                 "Edit user: tech7 name:Tech 7 change to Tech 7 Password has been changed"]);
        var secondRecord = users("SELECT passWord FROM userInfoTable where userName = 'tech7'");
        verify(secondRecord !== firstRecord && secondRecord.indexOf("second-pw") < 0);
        compare(users("SELECT count(*) FROM userInfoTable where passWord NOT LIKE 'pbkdf2-sha256$%'"), "0");

        // A refused signature deletes nothing.
        selectRow(page, "userTable", "userName", "tech7");
        click(part(page, "deleteButton"));
        answerSignature(window, false);
        compare(users("SELECT count(*) FROM userInfoTable where userName = 'tech7'"), "1");
        selectRow(page, "userTable", "userName", "tech7");
        mark = auditMark();
        click(part(page, "deleteButton"));
        answerSignature(window, true);
        compare(users("SELECT count(*) FROM userInfoTable where userName = 'tech7'"), "0");
        compare(contents(mark), ["删除用户: tech7", "Delete user: tech7"]);
    }

    function test_userButtons_data() {
        return [
            { tag: "admin, own row", user: "admin", password: "tarnu", row: "admin", buttons: [true, true, false] },
            { tag: "admin, other row", user: "admin", password: "tarnu", row: "op2", buttons: [true, true, true] },
            { tag: "operator, own row", user: "op2", password: "pw-op2", row: "op2", buttons: [false, true, false] },
            { tag: "operator, other row", user: "op2", password: "pw-op2", row: "admin", buttons: [false, false, false] }
        ];
    }
    function test_userButtons(row) {
        loginAs(row.user, row.password);
        click(part(window, "settingButton"));
        var page = tab(2, "UserManagementPage");
        selectRow(page, "userTable", "userName", row.row);
        compare([part(page, "addButton").enabled, part(page, "editButton").enabled, part(page, "deleteButton").enabled],
                row.buttons);
        if (row.user === "op2" && row.row === "op2") {
            // The own row without authUserAuthority: role and group stay.
            click(part(page, "editButton"));
            verify(!part(page, "roleCombo").enabled && !part(page, "groupCombo").enabled);
            click(part(page, "cancelButton"));
        }
    }

    // The stores check the rights themselves: a wrongly enabled control changes nothing.
    function test_storesRefuseWithoutRights_data() {
        return [
            { tag: "add user", act: function() { return UMJS.dbInsert("x1", "p", "x", "3", false, 1) }, refused: 0,
              audit: "Permission denied: add user x1" },
            { tag: "delete admin", act: function() { return UMJS.dbDeleteRow(1) }, refused: false,
              audit: "Permission denied: delete user admin" },
            { tag: "raise own role", act: function() {
                var r = UMJS.dbReadByUserName("op2");
                return UMJS.dbUpdate(r[0], "op2", "", r[3], "1", false, r[6]) }, refused: false,
              audit: "Permission denied: edit user op2" },
            { tag: "add role", act: function() { return RMJS.dbInsert("r1", Rights.administrator) }, refused: 0,
              audit: "Permission denied: add role r1" },
            { tag: "edit role 3", act: function() { return RMJS.dbUpdateById(3, "Operator", Rights.administrator) }, refused: false,
              audit: "Permission denied: edit role Operator" },
            { tag: "add group", act: function() { return GMJS.dbInsert("g1") }, refused: 0,
              audit: "Permission denied: add group g1" },
            { tag: "rename group", act: function() { return GMJS.dbUpdate(1, "Mine") }, refused: false,
              audit: "Permission denied: edit group Origin Group" }
        ];
    }
    function test_storesRefuseWithoutRights(row) {
        loginAs("op2", "pw-op2");
        var mark = auditMark();
        var before = snapshot();
        compare(row.act(), row.refused);
        compare(takeMessage(), "Permission denied!");
        compare(snapshot(), before);
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare([rows[1].content, rows[1].handler, rows[0].languageId], [row.audit, "op2", 0]);
    }

    function test_groupChecks_data() {
        return [
            { tag: "empty", edit: false, name: "", text: "Group Name can't be empty!" },
            { tag: "only spaces", edit: false, name: "   ", text: "Group Name can't be empty!" },
            { tag: "existing", edit: false, name: "Origin Group", text: "Group Name already exists!" },
            { tag: "rename to another existing", edit: true, name: "Origin Group", text: "Group Name already exists!" }
        ];
    }
    function test_groupChecks(row) {
        var page = tab(3, "GroupManagementPage");
        if (GMJS.dbReadAllGroupName().indexOf("Lab B") < 0)
            verify(GMJS.dbInsert("Lab B") > 0);
        page.refresh();
        if (row.edit) {
            selectRow(page, "groupTable", "groupName", "Lab B");
            click(part(page, "editButton"));
        } else {
            click(part(page, "addButton"));
        }
        part(page, "groupNameField").text = row.name;
        click(part(page, "saveButton"));
        compare(takeMessage(), row.text);
        click(part(page, "cancelButton"));
    }

    // A name typed with markup is shown as typed: the cell shows every character of it.
    function test_groupNameShownAsTyped() {
        var page = tab(3, "GroupManagementPage");
        var typed = "<b>Bold</b>";
        if (GMJS.dbReadAllGroupName().indexOf(typed) < 0)
            verify(GMJS.dbInsert(typed) > 0);
        page.refresh();
        var cell = null;
        var walk = function(item) {
            if (cell === null && item.text === typed && item.contentWidth !== undefined)
                cell = item;
            for (var i = 0; cell === null && i < item.children.length; ++i)
                walk(item.children[i]);
        };
        tryVerify(function() { walk(part(page, "groupTable")); return cell !== null }, 5000, "the row is shown");
        var plain = Qt.createQmlObject('import QtQuick 2.15; Text { textFormat: Text.PlainText }', page);
        plain.font = cell.font;
        plain.text = typed;
        compare(cell.contentWidth, plain.contentWidth);

        // And in the group list of the user page, opened by a click.
        var users = tab(2, "UserManagementPage");
        users.refresh();
        var combo = part(users, "groupSearch");
        click(combo);
        tryCompare(combo.popup, "opened", true);
        cell = null;
        tryVerify(function() { walk(combo.popup.contentItem); return cell !== null }, 5000, "the group is listed");
        plain.font = cell.font;
        compare(cell.contentWidth, plain.contentWidth);
        plain.destroy();
        combo.popup.close();
        tryCompare(combo.popup, "visible", false);
    }

    function test_groupAddEditDetailDelete() {
        var page = tab(3, "GroupManagementPage");
        click(part(page, "addButton"));
        part(page, "groupNameField").text = "Lab C";
        var mark = auditMark();
        click(part(page, "saveButton"));
        compare(contents(mark), ["新增组: Lab C", "Add new group: Lab C"]);
        var id = users("SELECT id FROM groupInfoTable where groupName = 'Lab C'");
        // Renaming to its own name is accepted.
        selectRow(page, "groupTable", "groupName", "Lab C");
        click(part(page, "editButton"));
        mark = auditMark();
        click(part(page, "saveButton"));
        compare(contents(mark), ["修改组信息: Lab C", "Edit group infomation: Lab C"]);
        // A member keeps the group from being deleted.
        verify(UMJS.dbInsert("m1", "pw", "Member", "3", false, id) > 0);
        page.refresh();
        selectRow(page, "groupTable", "groupName", "Lab C");
        click(part(page, "detailButton"));
        compare(part(page, "memberTable").count, 1);
        compare(part(page, "memberTable").model.get(0).userName, "m1");
        click(part(page, "cancelButton"));
        selectRow(page, "groupTable", "groupName", "Lab C");
        click(part(page, "deleteButton"));
        compare(takeMessage(), "Group Name has been used By account!");
        compare(users("SELECT count(*) FROM groupInfoTable where id = " + id), "1");
        var m1 = UMJS.dbReadByUserName("m1");
        verify(UMJS.dbDeleteRow(m1[0]));
        page.refresh();
        selectRow(page, "groupTable", "groupName", "Lab C");
        mark = auditMark();
        click(part(page, "deleteButton"));
        compare(contents(mark), ["删除组: Lab C", "Delete group: Lab C"]);
        // "Origin Group" is never deleted, not even through the store.
        selectRow(page, "groupTable", "groupName", "Origin Group");
        verify(!part(page, "deleteButton").enabled);
        compare(GMJS.dbDeleteRow(1), false);
        compare(takeMessage(), "Permission denied!");
        compare(users("SELECT groupName FROM groupInfoTable where id = 1"), "Origin Group");
    }

    function test_roleChecks_data() {
        return [
            { tag: "empty", name: "", text: "Rolename can't be empty!" },
            { tag: "existing", name: "Researcher", text: "Rolename already exists!" }
        ];
    }
    function test_roleChecks(row) {
        var page = tab(4, "RoleManagementPage");
        click(part(page, "addButton"));
        part(page, "roleNameField").text = row.name;
        click(part(page, "saveButton"));
        compare(takeMessage(), row.text);
        click(part(page, "cancelButton"));
    }

    function test_roleAddEditDelete() {
        var page = tab(4, "RoleManagementPage");
        click(part(page, "addButton"));
        part(page, "roleNameField").text = "Viewer";
        click(part(page, "allBox"));
        click(part(page, "right9"));
        verify(!part(page, "allBox").checked, "unchecking one right unchecks All");
        var mark = auditMark();
        click(part(page, "saveButton"));
        compare(contents(mark), ["新增角色: Viewer", "Add new role: Viewer"]);
        var id = parseInt(users("SELECT id FROM roleInfoTable where roleName = 'Viewer'"), 10);
        var flags = Rights.parse(Rights.administrator);
        flags[9] = 0;
        compare(RMJS.dbGetAthorityById(id), Rights.join(flags));

        // Its holder logs in; an edit of the held role changes the enabled controls at once.
        verify(UMJS.dbInsert("viewer1", "pw-v", "V", String(id), false, 1) > 0);
        loginAs("viewer1", "pw-v");
        click(part(window, "settingButton"));
        verify(!part(window, "auditButton").enabled);
        page = tab(4, "RoleManagementPage");
        selectRow(page, "roleTable", "roleName", "Viewer");
        click(part(page, "editButton"));
        verify(!part(page, "allBox").checked);
        click(part(page, "right9"));
        verify(part(page, "allBox").checked === false);
        mark = auditMark();
        click(part(page, "saveButton"));
        compare(contents(mark), ["修改角色: Viewer 权限", "Edit role: Viewer authority"]);
        verify(part(window, "auditButton").enabled);

        // A held role is not deleted.
        loginAs("admin", "tarnu");
        click(part(window, "settingButton"));
        page = tab(4, "RoleManagementPage");
        selectRow(page, "roleTable", "roleName", "Viewer");
        click(part(page, "deleteButton"));
        compare(takeMessage(), "Rolename has been used By account!");
        compare(RMJS.dbReadById(id)[1], "Viewer");
        verify(UMJS.dbDeleteRow(UMJS.dbReadByUserName("viewer1")[0]));
        page.refresh();
        selectRow(page, "roleTable", "roleName", "Viewer");
        mark = auditMark();
        click(part(page, "deleteButton"));
        compare(contents(mark), ["删除角色: Viewer", "Delete role: Viewer"]);
        compare(RMJS.dbReadById(id), []);
    }

    // Role 1 is protected by its id: never deleted, never renamed, edited by "admin" only.
    function test_administratorRoleProtected() {
        var page = tab(4, "RoleManagementPage");
        selectRow(page, "roleTable", "id", 1);
        verify(!part(page, "deleteButton").enabled);
        click(part(page, "editButton"));
        verify(!part(page, "roleNameField").enabled);
        verify(part(page, "saveButton").enabled);
        verify(part(page, "allBox").checked);
        click(part(page, "cancelButton"));
        compare(RMJS.dbDeleteRow(1), false);
        compare(takeMessage(), "Permission denied!");
        compare(RMJS.dbUpdateById(1, "Boss", Rights.administrator), false);
        compare(takeMessage(), "Permission denied!");
        compare(RMJS.dbReadById(1)[1], "Administrator");
    }
}
