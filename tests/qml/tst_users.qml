import QtQuick 2.15
import QtQuick.LocalStorage 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "qrc:/js/UMDatabase.js" as UMJS
import "qrc:/js/RMDatabase.js" as RMJS
import "qrc:/js/GMDatabase.js" as GMJS
import "qrc:/js/UserStore.js" as UserStore
import "qrc:/js/Rights.js" as Rights
import "qrc:/js/CheckLoginFunctions.js" as CLJS

// Users, roles and groups: the first start, login, rights per role, the signature gate, and the
// stores' own guards, on the real database files of a private application folder.
ShellTestCase {
    name: "Users"
    property var window: null
    property var settings: null
    // The tables right after the first start, before any test changed them.
    property var firstStart: ({})

    function users(sql) { return testProbe.sqlite("UserInfoDB", sql) }
    function setUpFile() {
        window = makeWindow(false);
        settings = window.mainPage.body.settingPage;
        firstStart = {
            users: users("SELECT rowid, userName, name, authority, isRemember, groupId FROM userInfoTable"),
            roles: users("SELECT id, roleName, authority FROM roleInfoTable order by id"),
            groups: users("SELECT id, groupName FROM groupInfoTable"),
            passwords: users("SELECT passWord FROM userInfoTable")
        };
        logIn(window);
        // Users of each seeded role for the tests below.
        compare(UMJS.dbInsert("res1", "pw-res1", "Researcher One", "2", false, 1) > 0, true);
        compare(UMJS.dbInsert("op1", "pw-op1", "Operator One", "3", false, 1) > 0, true);
    }
    function tearDownFile() {
        window.destroy();
    }
    function initEach() {
        loginAs("admin", "tarnu");
        UserOpts.isSignature = false;
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        testProbe.clearLog();
    }

    function loginAs(name, password) {
        if (window.mainPage.visible && UserOpts.lastLoginUser === name)
            return;
        if (window.mainPage.visible)
            window.loggedOut();
        logIn(window, name, password);
    }
    // The text of the open message dialog, which is then closed.
    function takeMessage() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened },
                  5000, "a message opens");
        var text = dialog.bodyText;
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    function userPage() { settings.selectTab(2); click(part(window, "settingButton")); settle(window.contentItem); return part(window, "UserManagementPage") }
    function groupPage() { settings.selectTab(3); click(part(window, "settingButton")); settle(window.contentItem); return part(window, "GroupManagementPage") }
    function rolePage() { settings.selectTab(4); click(part(window, "settingButton")); settle(window.contentItem); return part(window, "RoleManagementPage") }
    function selectRow(page, tableName, key, value) {
        var table = part(page, tableName);
        for (var i = 0; i < table.count; ++i) {
            if (String(table.model.get(i)[key]) === String(value)) {
                table.currentIndex = i;
                table.rowClicked(i);
                return i;
            }
        }
        fail("no row " + value);
    }

    function test_firstStartSeedsAdminRolesAndGroup() {
        compare(firstStart.users, "1|admin|admin|1|0|1");
        compare(firstStart.roles.split("\n"), ["1|Administrator|" + Rights.administrator, "2|Researcher|" + Rights.researcher,
                                               "3|Operator|" + Rights.operator]);
        compare(firstStart.groups, "1|Origin Group");
        // Stored as a salted record, never as the password itself.
        verify(firstStart.passwords.indexOf("pbkdf2-sha256$500000$") === 0, firstStart.passwords);
        verify(firstStart.passwords.indexOf("tarnu") < 0);
        compare([testProbe.iniValue("Ini/userOption.ini", "UserOption/alreadyEnterUM"),
                 testProbe.iniValue("Ini/userOption.ini", "UserOption/alreadyEnterRM"),
                 testProbe.iniValue("Ini/userOption.ini", "UserOption/alreadyEnterGM")], ["true", "true", "true"]);
        // A second start changes nothing.
        var before = users("SELECT rowid, userName, passWord, authority FROM userInfoTable order by rowid") + users("SELECT * FROM roleInfoTable");
        UserStore.ensureSeeded();
        compare(users("SELECT rowid, userName, passWord, authority FROM userInfoTable order by rowid") + users("SELECT * FROM roleInfoTable"), before);
    }

    // Seeding keeps tables that hold rows, whatever the option flags say.
    function test_seedingKeepsRolesWhenFlagsAreMissing() {
        var id = RMJS.dbInsert("Keeper", Rights.operator);
        verify(id > 3);
        testProbe.setIniValue("Ini/userOption.ini", "UserOption/alreadyEnterRM", "false");
        testProbe.setIniValue("Ini/userOption.ini", "UserOption/alreadyEnterGM", "false");
        UserStore.ensureSeeded();
        compare(RMJS.dbReadById(id)[1], "Keeper");
        compare(users("SELECT count(*) FROM groupInfoTable where id = 1"), "1");
        verify(RMJS.dbDeleteRow(id));
    }

    function test_login_data() {
        return [
            { tag: "right password", user: "admin", password: "tarnu", ok: true },
            { tag: "wrong password", user: "admin", password: "tarnu2", ok: false },
            { tag: "empty password", user: "admin", password: "", ok: false },
            { tag: "another user's password", user: "op1", password: "tarnu", ok: false },
            { tag: "no user chosen", user: "", password: "tarnu", ok: false }
        ];
    }
    function test_login(row) {
        window.loggedOut();
        var mark = auditMark();
        typeLogin(window, row.user, row.password);
        if (row.ok) {
            tryVerify(function() { return window.mainPage.visible });
            compare(window.curUserName, row.user);
            compare(UserOpts.lastPassword, "", "the password is not kept");
            var rows = auditSince(mark);
            compare(rows.map(function(r) { return [r.module, r.content, r.languageId, r.handler] }),
                    [["系统", "用户登录", 0, row.user], ["System", "User Login", 1, row.user]]);
        } else {
            verify(part(window.loginPage, "errorBox").visible);
            compare(part(window.loginPage, "errorBox").text, "Password Error");
            verify(window.loginPage.visible);
            compare(auditSince(mark).length, 0);
            // Choosing a user again hides the error.
            window.loginPage.chooseUser("admin");
            verify(!part(window.loginPage, "errorBox").visible);
        }
    }

    function test_keyConfirms_data() {
        return [{ tag: "Return", key: Qt.Key_Return }, { tag: "Enter", key: Qt.Key_Enter }];
    }
    // Return or Enter in the password field logs in, and confirms the signature dialog.
    function test_keyConfirms(row) {
        window.loggedOut();
        window.loginPage.chooseUser("admin");
        var field = part(window.loginPage, "passwordField");
        click(field);
        for (var i = 0; i < "tarnu".length; ++i)
            keyClick("tarnu".charAt(i));
        keyClick(row.key);
        tryVerify(function() { return window.mainPage.visible }, 5000, "logged in");

        var confirmed = false;
        UserOpts.isSignature = true;
        CLJS.showCheckLogin(function() { confirmed = true });
        var dialog = signatureDialog(window);
        var signature = findChild(dialog.contentItem, "passwordField");
        click(signature);
        for (var j = 0; j < "tarnu".length; ++j)
            keyClick("tarnu".charAt(j));
        keyClick(row.key);
        tryVerify(function() { return confirmed }, 5000, "the signature is confirmed");
        UserOpts.isSignature = false;
    }

    // "Remember" keeps the user name for the next start, never the password.
    function test_rememberKeepsNameOnly() {
        window.loggedOut();
        window.loginPage.chooseUser("op1");
        part(window.loginPage, "rememberBox").checked = true;
        part(window.loginPage, "passwordField").text = "pw-op1";
        click(part(window, "loginButton"));
        tryVerify(function() { return window.mainPage.visible });
        compare(users("SELECT isRemember FROM userInfoTable where userName = 'op1'"), "1");
        window.loggedOut();
        compare(part(window.loginPage, "userCombo").currentText, "op1");
        verify(part(window.loginPage, "rememberBox").checked);
        compare(part(window.loginPage, "passwordField").text, "");
        compare(UMJS.dbReadByUserName("op1")[UserOpts.PassWord], "");
        logIn(window, "op1", "pw-op1");
    }

    // The controls bound to rights follow the role of who logs in.
    function test_rightsPerRole_data() {
        return [
            { tag: "Administrator", user: "admin", password: "tarnu",
              enabled: [true, true, true, true, true, true, true] },
            { tag: "Researcher", user: "res1", password: "pw-res1",
              enabled: [true, true, true, false, false, true, false] },
            { tag: "Operator", user: "op1", password: "pw-op1",
              enabled: [true, true, false, false, false, false, false] }
        ];
    }
    function test_rightsPerRole(row) {
        loginAs(row.user, row.password);
        var device = settings.deviceSettingPage;
        var audit = part(window, "IC_AuditTrailPage");
        var controls = [part(window, "gelButton"), part(window, "imageButton"), part(window, "auditButton"),
                        part(device, "chineseButton"), findChild(part(device, "signaturePair"), "yes"),
                        part(audit, "exportButton"), part(part(window, "DocumentTitlePage"), "saveButton")];
        compare(controls.map(function(c) { return c.enabled }), row.enabled);
    }

    // A user whose role does not exist gets no rights and is told so.
    function test_missingRoleGivesNoRights() {
        verify(UMJS.dbInsert("lost1", "pw-lost1", "Lost", "99", false, 1) > 0);
        window.loggedOut();
        typeLogin(window, "lost1", "pw-lost1");
        tryVerify(function() { return window.mainPage.visible });
        compare(takeMessage(), "The role of this user does not exist, so no rights are granted.");
        for (var i = 0; i < Rights.count; ++i)
            compare(AuthorityComponent[Rights.list[i].name], 0, Rights.list[i].name);
        verify(!part(window, "auditButton").enabled);
        // Nor can the store be made to act for this user.
        compare(UMJS.dbInsert("sneak", "x", "x", "1", false, 1), 0);
        compare(takeMessage(), "Permission denied!");
    }

    // A row of an older store still holding the plain password logs in once and is rewritten.
    function test_plainOlderPasswordRehashedAtLogin() {
        var db = LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "", 1000000);
        db.transaction(function(tx) {
            tx.executeSql("INSERT INTO userInfoTable VALUES(?, ?, ?, ?, ?, ?)", ["old1", "plain77", "Old", "3", 0, 1]);
        });
        compare(users("SELECT passWord FROM userInfoTable where userName = 'old1'"), "plain77");
        window.loggedOut();
        logIn(window, "old1", "plain77");
        var stored = users("SELECT passWord FROM userInfoTable where userName = 'old1'");
        verify(stored.indexOf("pbkdf2-sha256$") === 0, stored);
        verify(stored.indexOf("plain77") < 0);
        window.loggedOut();
        logIn(window, "old1", "plain77");
        // The record itself is no password.
        window.loggedOut();
        typeLogin(window, "old1", stored);
        verify(part(window.loginPage, "errorBox").visible);
    }

    // Older users whose authority is a list of rights get the role with the same list.
    function test_olderRightListsMapToRoles() {
        var flags = Rights.parse(Rights.researcher);
        flags[10] = 1;
        var own = Rights.join(flags);
        var db = LocalStorage.openDatabaseSync("UserInfoDB", "1.0", "", 1000000);
        db.transaction(function(tx) {
            tx.executeSql("INSERT INTO userInfoTable VALUES(?, ?, ?, ?, ?, ?)", ["mAll", "x", "A", Rights.administrator, 0, 1]);
            tx.executeSql("INSERT INTO userInfoTable VALUES(?, ?, ?, ?, ?, ?)", ["mRes", "x", "R", Rights.researcher, 0, 1]);
            tx.executeSql("INSERT INTO userInfoTable VALUES(?, ?, ?, ?, ?, ?)", ["mOwn", "x", "O", own, 0, 1]);
            tx.executeSql("INSERT INTO userInfoTable VALUES(?, ?, ?, ?, ?, ?)", ["mShort", "x", "S", "1,1,1,1", 0, 1]);
        });
        userPage();
        compare(users("SELECT authority FROM userInfoTable where userName = 'mAll'"), "1");
        compare(users("SELECT authority FROM userInfoTable where userName = 'mRes'"), "2");
        var ownRole = users("SELECT authority FROM userInfoTable where userName = 'mOwn'");
        compare(RMJS.dbReadById(ownRole)[1], "Migrated mOwn");
        compare(RMJS.dbGetAthorityById(ownRole), own);
        var shortRole = users("SELECT authority FROM userInfoTable where userName = 'mShort'");
        verify(shortRole !== "1", "a short list is not every right");
        compare(RMJS.dbGetAthorityById(shortRole), Rights.join([1, 1, 1, 1]));
    }

    function test_signatureGate_data() {
        return [
            { tag: "off: runs at once", signature: false, answer: "none", ran: 1, refused: 0 },
            { tag: "on: right password", signature: true, answer: "tarnu", ran: 1, refused: 0 },
            { tag: "on: cancel", signature: true, answer: "cancel", ran: 0, refused: 1 }
        ];
    }
    function test_signatureGate(row) {
        UserOpts.isSignature = row.signature;
        var ran = 0, refused = 0;
        CLJS.showCheckLogin(function() { ++ran }, function() { ++refused });
        if (row.answer === "none") {
            compare(ran, 1, "ran before any dialog");
            var shown = overlayDialog(window, "checkLoginDialog");
            verify(shown === null || !shown.visible);
        } else {
            var dialog = signatureDialog(window);
            compare(findChild(dialog.contentItem, "userField").text, "admin");
            answerSignature(window, row.answer !== "cancel", row.answer);
        }
        compare([ran, refused], [row.ran, row.refused]);
    }

    // A wrong password keeps the dialog open; a password changed on the user page counts at once.
    function test_signatureChecksTheStoredPassword() {
        loginAs("res1", "pw-res1");
        UserOpts.isSignature = true;
        var ran = 0;
        CLJS.showCheckLogin(function() { ++ran });
        var dialog = signatureDialog(window);
        findChild(dialog.contentItem, "passwordField").text = "nope";
        click(findChild(dialog.contentItem, "okButton"));
        verify(findChild(dialog.contentItem, "errorBox").visible);
        verify(dialog.opened);
        compare(ran, 0);
        findChild(dialog.contentItem, "passwordField").text = "pw-res1";
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "checkLoginDialog") === null });
        compare(ran, 1);

        // res1 changes the own password (authUserEdit): the old one no longer signs.
        UserOpts.isSignature = false;
        var row = UMJS.dbReadByUserName("res1");
        verify(UMJS.dbUpdate(row[0], "res1", "pw-res1-new", row[3], row[4], row[5], row[6]));
        UserOpts.isSignature = true;
        CLJS.showCheckLogin(function() { ++ran });
        dialog = signatureDialog(window);
        findChild(dialog.contentItem, "passwordField").text = "pw-res1";
        click(findChild(dialog.contentItem, "okButton"));
        verify(findChild(dialog.contentItem, "errorBox").visible);
        answerSignature(window, true, "pw-res1-new");
        compare(ran, 2);
        UserOpts.isSignature = false;
        verify(UMJS.dbUpdate(row[0], "res1", "pw-res1", row[3], row[4], row[5], row[6]));
    }

    // Search texts are data: quotes and wildcards match themselves.
    function test_searchTextStaysData_data() {
        return [
            { tag: "quote and statement", text: "a'; DROP TABLE userInfoTable; --", names: [] },
            { tag: "percent", text: "%", names: [] },
            { tag: "underscore", text: "_", names: [] },
            { tag: "plain part", text: "es1", names: ["res1"] }
        ];
    }
    function test_searchTextStaysData(row) {
        var page = userPage();
        part(page, "nameSearch").text = row.text;
        click(part(page, "searchButton"));
        var table = part(page, "userTable");
        var names = [];
        for (var i = 0; i < table.count; ++i)
            names.push(table.model.get(i).userName);
        compare(names, row.names);
        compare(users("SELECT count(*) FROM userInfoTable where userName = 'admin'"), "1");
        click(part(page, "resetButton"));
    }
}
