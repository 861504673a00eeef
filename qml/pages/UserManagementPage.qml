import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/UserStore.js" as UserStore
import "../js/UMDatabase.js" as UMJS
import "../js/RMDatabase.js" as RMJS
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// "User Manage": the users with their role and group; add, edit and delete behind the
// signature. Passwords are never shown: an empty password field on "Edit" keeps the password.
Item {
    id: page
    objectName: "UserManagementPage"
    property bool isNew: false
    property bool isEdit: false
    // The edited user's name as it was when "Edit" was pressed.
    property string oldName: ""
    property var editedRow: []
    readonly property bool editing: isNew || isEdit
    readonly property var selected: table.currentIndex < 0 || table.currentIndex >= listModel.count
                                    ? null : listModel.get(table.currentIndex)

    function warn(text) {
        Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false);
    }
    function nameOf(model, key, id) {
        for (var i = 0; i < model.count; ++i)
            if (String(model.get(i).id) === String(id))
                return model.get(i)[key];
        return "";
    }
    function fillNames() {
        for (var i = 0; i < listModel.count; ++i) {
            var row = listModel.get(i);
            listModel.setProperty(i, "roleName", nameOf(listModel_role, "roleName", row.authority));
            listModel.setProperty(i, "groupName", nameOf(listModel_group, "groupName", row.groupId));
        }
    }
    function refresh() {
        UMJS.dbInit();
        listModel.clear();
        UMJS.dbReadAll(listModel);
        UMJS.dbReadAllGroupName(listModel_group);
        UMJS.dbReadAllRoleName(listModel_role);
        fillNames();
        table.currentIndex = -1;
        updateButtons();
    }
    function search() {
        var role = roleSearch.currentIndex < 0 ? "" : listModel_role.get(roleSearch.currentIndex).id;
        var group = groupSearch.currentIndex < 0 ? "" : listModel_group.get(groupSearch.currentIndex).id;
        UMJS.dbReadUserInfoByCondition(nameSearch.text.trim(), role, group, listModel);
        fillNames();
        table.currentIndex = -1;
        updateButtons();
    }
    function resetSearch() {
        nameSearch.text = "";
        roleSearch.currentIndex = -1;
        groupSearch.currentIndex = -1;
        refresh();
    }
    function isManager() {
        return UserOpts.lastLoginUser === "admin" || UserOpts.lastAuthorityId === 1;
    }
    function updateButtons() {
        var row = selected;
        if (isManager()) {
            addButton.enabled = true;
            editButton.enabled = row !== null;
            deleteButton.enabled = row !== null && row.userName !== "admin";
            return;
        }
        var own = row !== null && row.userName === UserOpts.lastLoginUser;
        addButton.enabled = !!AuthorityComponent.authUserNew;
        editButton.enabled = own && !!AuthorityComponent.authUserEdit;
        deleteButton.enabled = own && !!AuthorityComponent.authUserDelete;
    }
    function backHome() {
        isNew = false;
        isEdit = false;
        userNameField.text = "";
        passwordField.text = "";
        nameField.text = "";
        roleCombo.currentIndex = -1;
        groupCombo.currentIndex = -1;
        refresh();
    }
    function indexOfId(model, id) {
        for (var i = 0; i < model.count; ++i)
            if (String(model.get(i).id) === String(id))
                return i;
        return -1;
    }
    function enterAdd() {
        UMJS.dbReadAllGroupName(listModel_group);
        UMJS.dbReadAllRoleName(listModel_role);
        userNameField.enabled = true;
        roleCombo.enabled = true;
        groupCombo.enabled = true;
        passwordField.enabled = true;
        isNew = true;
    }
    function enterEdit() {
        if (!selected)
            return;
        UMJS.dbReadAllGroupName(listModel_group);
        UMJS.dbReadAllRoleName(listModel_role);
        editedRow = UMJS.dbReadByUserName(selected.userName);
        if (editedRow.length === 0)
            return;
        userNameField.text = editedRow[UserOpts.UserName];
        nameField.text = editedRow[UserOpts.Name];
        passwordField.text = "";
        oldName = editedRow[UserOpts.Name];
        roleCombo.currentIndex = indexOfId(listModel_role, editedRow[UserOpts.Authority]);
        groupCombo.currentIndex = indexOfId(listModel_group, editedRow[UserOpts.GroupId]);
        userNameField.enabled = false;
        var fixedRole = editedRow[UserOpts.UserName] === "admin" || !AuthorityComponent.authUserAuthority;
        roleCombo.enabled = !fixedRole;
        groupCombo.enabled = !fixedRole;
        passwordField.enabled = !(UserOpts.lastLoginUser !== "admin" && editedRow[UserOpts.UserName] === "admin");
        isEdit = true;
    }
    function deleteSelected() {
        var row = selected;
        if (!row)
            return;
        var id = row.id;
        var name = row.userName;
        CLJS.showCheckLogin(function() {
            if (!UMJS.dbDeleteRow(id))
                return;
            refresh();
            Audit.write(ATJS.ModuleType.Setting, "删除用户: " + name, "Delete user: " + name);
        });
    }
    // The first failed check's text, or "".
    function check() {
        var userName = userNameField.text;
        if (isNew) {
            if (userName === "")
                return qsTr("Username can't be empty!");
            if (UMJS.dbGetAllUserName().indexOf(userName) >= 0)
                return qsTr("Username already exists!");
            if (passwordField.text === "")
                return qsTr("Password can't be empty!");
        }
        if (nameField.text === "")
            return qsTr("Name can't be empty!");
        if (roleCombo.currentIndex < 0)
            return qsTr("Authority can't be empty!");
        if (groupCombo.currentIndex < 0)
            return qsTr("Group can't be empty!");
        return "";
    }
    function save() {
        var problem = check();
        if (problem !== "") {
            warn(problem);
            return;
        }
        var userName = userNameField.text;
        var password = passwordField.text;
        var name = nameField.text;
        var role = String(listModel_role.get(roleCombo.currentIndex).id);
        var group = String(listModel_group.get(groupCombo.currentIndex).id);
        var adding = isNew;
        var row = editedRow;
        var previousName = oldName;
        CLJS.showCheckLogin(function() {
            if (adding) {
                if (UMJS.dbInsert(userName, password, name, role, false, group) === 0)
                    return;
                Audit.write(ATJS.ModuleType.Setting, "新增用户: " + userName + " 姓名:" + name,
                            "Add new user: " + userName + " name:" + name);
            } else {
                if (!UMJS.dbUpdate(row[UserOpts.Rowid], userName, password, name, role, row[UserOpts.IsRemember], group))
                    return;
                if (userName === UserOpts.lastLoginUser) {
                    UserOpts.lastAuthorityId = parseInt(role, 10);
                    var rights = RMJS.dbGetAthorityById(role);
                    if (rights === "")
                        AuthorityComponent.clear();
                    else
                        AuthorityComponent.resolveAuthority(rights);
                }
                var changed = password !== "";
                Audit.write(ATJS.ModuleType.Setting,
                            "修改用户: " + userName + " 姓名:" + previousName + "修改为" + name + (changed ? " 密码已修改" : ""),
                            "Edit user: " + userName + " name:" + previousName + " change to " + name
                            + (changed ? " Password has been changed" : ""));
            }
            page.backHome();
        });
    }

    // Showing or hiding the page also moves users of an older store to roles (in the seeding).
    onVisibleChanged: {
        UserStore.ensureSeeded();
        if (visible)
            refresh();
        else
            backHome();
    }
    Component.onCompleted: {
        UserStore.ensureSeeded();
        refresh();
    }

    ListModel { id: listModel }
    ListModel { id: listModel_role }
    ListModel { id: listModel_group }

    component Label: Text {
        height: Style.s(38)
        verticalAlignment: Text.AlignVCenter
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.textDark
    }
    component FormRow: Row {
        property alias label: caption.text
        spacing: Style.s(16)
        height: Style.s(40)
        Text {
            id: caption
            width: Style.s(260)
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignRight
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
            elide: Text.ElideLeft
        }
    }

    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("User Manage") + (page.isNew ? "  ›  " + qsTr("New") : page.isEdit ? "  ›  " + qsTr("Edit") : "")
    }

    Item {
        id: home
        objectName: "homeView"
        visible: !page.editing
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(16)
        Flow {
            id: searchBar
            width: parent.width
            spacing: Style.s(8)
            Label { text: qsTr("UserName:") }
            KeyboardField { id: nameSearch; objectName: "nameSearch"; width: Style.s(120); placeholderText: qsTr("userName") }
            Label { text: qsTr("Role:") }
            ListComboBox {
                id: roleSearch
                objectName: "roleSearch"
                width: Style.s(120)
                model: listModel_role
                textRole: "roleName"
                currentIndex: -1
            }
            Label { text: qsTr("Group:") }
            ListComboBox {
                id: groupSearch
                objectName: "groupSearch"
                width: Style.s(120)
                model: listModel_group
                textRole: "groupName"
                currentIndex: -1
            }
            NormalBlueButton { objectName: "searchButton"; width: Style.s(80); text: qsTr("Search"); onClicked: page.search() }
            NormalBlueRectButton { objectName: "resetButton"; width: Style.s(80); text: qsTr("Reset"); onClicked: page.resetSearch() }
        }
        Row {
            id: actions
            anchors.top: searchBar.bottom
            anchors.topMargin: Style.s(12)
            spacing: Style.s(12)
            NormalBlueButton { id: addButton; objectName: "addButton"; text: qsTr("Add"); onClicked: page.enterAdd() }
            NormalBlueButton { id: editButton; objectName: "editButton"; text: qsTr("Edit"); enabled: false; onClicked: page.enterEdit() }
            NormalBlueButton { id: deleteButton; objectName: "deleteButton"; text: qsTr("Delete"); enabled: false; onClicked: page.deleteSelected() }
        }
        SimpleTable {
            id: table
            objectName: "userTable"
            anchors.top: actions.bottom
            anchors.topMargin: Style.s(12)
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            model: listModel
            columns: [{ title: qsTr("User Name"), role: "userName", share: 1 }, { title: qsTr("Name"), role: "name", share: 1 },
                      { title: qsTr("Role"), role: "roleName", share: 1 }, { title: qsTr("Group"), role: "groupName", share: 1 }]
            onRowClicked: page.updateButtons()
        }
    }

    Column {
        id: form
        objectName: "editView"
        visible: page.editing
        anchors.top: crumb.bottom
        anchors.topMargin: Style.s(40)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: Style.s(16)
        FormRow {
            label: qsTr("User Name(start with letter)")
            KeyboardField {
                id: userNameField
                objectName: "userNameField"
                width: Style.s(300)
                maximumLength: 20
                validator: RegularExpressionValidator { regularExpression: /[A-Za-z][A-Za-z0-9]{0,19}/ }
            }
        }
        FormRow {
            label: qsTr("Password")
            KeyboardField {
                id: passwordField
                objectName: "passwordField"
                width: Style.s(300)
                maximumLength: 20
                echoMode: TextInput.Password
                placeholderText: page.isEdit ? qsTr("Unchanged") : ""
            }
        }
        FormRow {
            label: qsTr("Name")
            KeyboardField { id: nameField; objectName: "nameField"; width: Style.s(300) }
        }
        FormRow {
            label: qsTr("Role Information")
            ListComboBox {
                id: roleCombo
                objectName: "roleCombo"
                width: Style.s(300)
                model: listModel_role
                textRole: "roleName"
                currentIndex: -1
            }
        }
        FormRow {
            label: qsTr("Group Information")
            ListComboBox {
                id: groupCombo
                objectName: "groupCombo"
                width: Style.s(300)
                model: listModel_group
                textRole: "groupName"
                currentIndex: -1
            }
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Style.s(24)
            NormalBlueRectButton { objectName: "cancelButton"; width: Style.s(120); text: qsTr("Cancel"); onClicked: page.backHome() }
            NormalBlueButton { objectName: "saveButton"; width: Style.s(120); text: qsTr("Save"); onClicked: page.save() }
        }
    }
}
