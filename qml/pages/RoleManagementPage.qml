import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/UserStore.js" as UserStore
import "../js/RMDatabase.js" as RMJS
import "../js/Rights.js" as Rights
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// "Authority Manage": the roles and their 35 rights; add, edit and delete behind the
// signature. Role 1 (the administrator role) is never deleted or renamed, and only the user
// "admin" changes its rights.
Item {
    id: page
    objectName: "RoleManagementPage"
    property bool isNew: false
    property bool isEdit: false
    property int editedId: 0
    property string oldName: ""
    // The 35 check boxes by position.
    property var boxes: []
    readonly property var selected: table.currentIndex < 0 || table.currentIndex >= listModel.count
                                    ? null : listModel.get(table.currentIndex)

    function warn(text) {
        Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false);
    }
    function refresh() {
        RMJS.dbInit();
        listModel.clear();
        RMJS.dbReadAll(listModel);
        table.currentIndex = -1;
        updateButtons();
    }
    function updateButtons() {
        var row = selected;
        addButton.enabled = !!AuthorityComponent.authRoleNew;
        editButton.enabled = row !== null && (!!AuthorityComponent.authRoleEdit || UserOpts.lastLoginUser === "admin");
        deleteButton.enabled = row !== null && row.id !== 1 && !!AuthorityComponent.authRoleDelete;
    }
    function setChecks(flags) {
        for (var i = 0; i < boxes.length; ++i)
            boxes[i].checked = !!flags[i];
        allBox.checked = Rights.holdsAll(flags);
    }
    function checks() {
        var flags = [];
        for (var i = 0; i < boxes.length; ++i)
            flags.push(boxes[i].checked ? 1 : 0);
        return flags;
    }
    function backHome() {
        isNew = false;
        isEdit = false;
        roleNameField.text = "";
        setChecks([]);
        refresh();
    }
    function enterAdd() {
        roleNameField.text = "";
        roleNameField.enabled = true;
        saveButton.enabled = true;
        setChecks([]);
        isNew = true;
    }
    function enterEdit() {
        if (!selected)
            return;
        editedId = selected.id;
        oldName = selected.roleName;
        roleNameField.text = oldName;
        setChecks(Rights.parse(selected.authority));
        var administratorRole = editedId === 1;
        roleNameField.enabled = !administratorRole;
        saveButton.enabled = !administratorRole || UserOpts.lastLoginUser === "admin";
        isEdit = true;
    }
    function deleteSelected() {
        var row = selected;
        if (!row)
            return;
        var id = row.id;
        var name = row.roleName;
        CLJS.showCheckLogin(function() {
            if (RMJS.dbGetUserNameByAuthority(id).length > 0) {
                page.warn(qsTr("Rolename has been used By account!"));
                return;
            }
            if (!RMJS.dbDeleteRow(id))
                return;
            refresh();
            Audit.write(ATJS.ModuleType.Setting, "删除角色: " + name, "Delete role: " + name);
        });
    }
    function check() {
        var name = roleNameField.text;
        if (isNew && name === "")
            return qsTr("Rolename can't be empty!");
        if (RMJS.dbGetAllRoleName().indexOf(name) >= 0 && !(isEdit && name === oldName))
            return qsTr("Rolename already exists!");
        if (isEdit && name === "")
            return qsTr("Rolename can't be empty!");
        return "";
    }
    function save() {
        var problem = check();
        if (problem !== "") {
            warn(problem);
            return;
        }
        var name = roleNameField.text;
        var rights = Rights.join(checks());
        var adding = isNew;
        var id = editedId;
        CLJS.showCheckLogin(function() {
            if (adding) {
                if (RMJS.dbInsert(name, rights) === 0)
                    return;
                Audit.write(ATJS.ModuleType.Setting, "新增角色: " + name, "Add new role: " + name);
            } else {
                if (!RMJS.dbUpdateById(id, name, rights))
                    return;
                if (UserOpts.lastAuthorityId === id)
                    AuthorityComponent.resolveAuthority(rights);
                Audit.write(ATJS.ModuleType.Setting, "修改角色: " + name + " 权限", "Edit role: " + name + " authority");
            }
            page.backHome();
        });
    }

    onVisibleChanged: visible ? refresh() : backHome()
    Component.onCompleted: {
        UserStore.ensureSeeded();
        refresh();
    }

    ListModel { id: listModel }

    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("Authority Manage") + (page.isNew ? "  ›  " + qsTr("New") : page.isEdit ? "  ›  " + qsTr("Edit") : "")
    }

    Item {
        id: home
        objectName: "homeView"
        visible: !page.isNew && !page.isEdit
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(16)
        Row {
            id: actions
            spacing: Style.s(12)
            NormalBlueButton { id: addButton; objectName: "addButton"; text: qsTr("Add"); onClicked: page.enterAdd() }
            NormalBlueButton { id: editButton; objectName: "editButton"; text: qsTr("Edit"); enabled: false; onClicked: page.enterEdit() }
            NormalBlueButton { id: deleteButton; objectName: "deleteButton"; text: qsTr("Delete"); enabled: false; onClicked: page.deleteSelected() }
        }
        SimpleTable {
            id: table
            objectName: "roleTable"
            anchors.top: actions.bottom
            anchors.topMargin: Style.s(12)
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            model: listModel
            columns: [{ title: qsTr("Role Name"), role: "roleName", share: 1 }, { title: qsTr("Update Time"), role: "createTime", share: 1 }]
            onRowClicked: page.updateButtons()
        }
    }

    Item {
        objectName: "editView"
        visible: !home.visible
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(16)
        Row {
            id: nameRow
            spacing: Style.s(16)
            height: Style.s(40)
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Role Name")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textDark
            }
            KeyboardField { id: roleNameField; objectName: "roleNameField"; width: Style.s(300) }
            Item { width: Style.s(30); height: 1 }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("User Authority")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textDark
            }
            RectCheckBox {
                id: allBox
                objectName: "allBox"
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("All")
                onToggled: {
                    for (var i = 0; i < page.boxes.length; ++i)
                        page.boxes[i].checked = checked;
                }
            }
        }
        Flickable {
            anchors.top: nameRow.bottom
            anchors.topMargin: Style.s(10)
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: buttons.top
            anchors.bottomMargin: Style.s(10)
            clip: true
            contentHeight: groups.height
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            Column {
                id: groups
                width: parent.width
                spacing: Style.s(4)
                Repeater {
                    model: Rights.groups
                    // The heading on the left, its rights three to a line on the right.
                    Row {
                        width: groups.width
                        Text {
                            id: heading
                            width: Style.s(170)
                            height: Style.s(26)
                            text: qsTranslate("RoleManagementPage", modelData)
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontNormal
                            font.weight: Font.Medium
                            color: Style.textDark
                            verticalAlignment: Text.AlignVCenter
                            elide: Text.ElideRight
                        }
                        Flow {
                            id: flow
                            width: parent.width - heading.width
                            Repeater {
                                model: Rights.inGroup(modelData)
                                RectCheckBox {
                                    objectName: "right" + modelData.pos
                                    width: flow.width / 3
                                    height: Style.s(26)
                                    text: qsTranslate("RoleManagementPage", modelData.label)
                                    onToggled: if (!checked) allBox.checked = false
                                    Component.onCompleted: page.boxes[modelData.pos] = this
                                }
                            }
                        }
                    }
                }
            }
        }
        Row {
            id: buttons
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottom: parent.bottom
            spacing: Style.s(24)
            NormalBlueRectButton { objectName: "cancelButton"; width: Style.s(120); text: qsTr("Cancel"); onClicked: page.backHome() }
            NormalBlueButton { id: saveButton; objectName: "saveButton"; width: Style.s(120); text: qsTr("Save"); onClicked: page.save() }
        }
    }
}
