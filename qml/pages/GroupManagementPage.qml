import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/UserStore.js" as UserStore
import "../js/GMDatabase.js" as GMJS
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups

// "Group Manage": the groups, their members, and add, edit and delete behind the signature.
// "Origin Group" (id 1) and groups with members are never deleted.
Item {
    id: page
    objectName: "GroupManagementPage"
    property bool isNew: false
    property bool isEdit: false
    property bool isDetail: false
    property int editedId: 0
    property string oldName: ""
    readonly property var selected: table.currentIndex < 0 || table.currentIndex >= listModel.count
                                    ? null : listModel.get(table.currentIndex)

    function warn(text) {
        Popups.message(page.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, false);
    }
    function refresh() {
        GMJS.dbInit();
        listModel.clear();
        GMJS.dbReadAll(listModel);
        table.currentIndex = -1;
        updateButtons();
    }
    function updateButtons() {
        var row = selected;
        detailButton.enabled = row !== null && !!AuthorityComponent.authGroupView;
        addButton.enabled = !!AuthorityComponent.authGroupNew;
        editButton.enabled = row !== null && !!AuthorityComponent.authGroupEdit;
        deleteButton.enabled = row !== null && row.id !== 1 && !!AuthorityComponent.authGroupDelete;
    }
    function backHome() {
        isNew = false;
        isEdit = false;
        isDetail = false;
        groupNameField.text = "";
        listModel_detail.clear();
        refresh();
    }
    function enterAdd() {
        groupNameField.text = "";
        groupNameField.readOnly = false;
        isNew = true;
    }
    function enterEdit() {
        if (!selected)
            return;
        editedId = selected.id;
        oldName = selected.groupName;
        groupNameField.text = oldName;
        groupNameField.readOnly = false;
        isEdit = true;
    }
    function enterDetail() {
        if (!selected)
            return;
        groupNameField.text = selected.groupName;
        groupNameField.readOnly = true;
        listModel_detail.clear();
        GMJS.dbReadAllByGroupId(selected.id, listModel_detail);
        isDetail = true;
    }
    function deleteSelected() {
        var row = selected;
        if (!row)
            return;
        var id = row.id;
        var name = row.groupName;
        CLJS.showCheckLogin(function() {
            if (GMJS.dbGetUserNameByGroupId(id).length > 0) {
                page.warn(qsTr("Group Name has been used By account!"));
                return;
            }
            if (!GMJS.dbDeleteRow(id))
                return;
            refresh();
            Audit.write(ATJS.ModuleType.Setting, "删除组: " + name, "Delete group: " + name);
        });
    }
    function check() {
        var name = groupNameField.text;
        if (name.trim() === "")
            return qsTr("Group Name can't be empty!");
        if (GMJS.dbReadAllGroupName().indexOf(name) >= 0 && !(isEdit && name === oldName))
            return qsTr("Group Name already exists!");
        return "";
    }
    function save() {
        var problem = check();
        if (problem !== "") {
            warn(problem);
            return;
        }
        var name = groupNameField.text;
        var adding = isNew;
        var id = editedId;
        CLJS.showCheckLogin(function() {
            if (adding) {
                if (GMJS.dbInsert(name) === 0)
                    return;
                Audit.write(ATJS.ModuleType.Setting, "新增组: " + name, "Add new group: " + name);
            } else {
                if (!GMJS.dbUpdate(id, name))
                    return;
                Audit.write(ATJS.ModuleType.Setting, "修改组信息: " + name, "Edit group infomation: " + name);
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
    ListModel { id: listModel_detail }

    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("Group Manage") + (page.isNew ? "  ›  " + qsTr("New") : page.isEdit ? "  ›  " + qsTr("Edit")
                                          : page.isDetail ? "  ›  " + qsTr("Detail") : "")
    }

    Item {
        id: home
        objectName: "homeView"
        visible: !page.isNew && !page.isEdit && !page.isDetail
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(16)
        Row {
            id: actions
            spacing: Style.s(12)
            NormalBlueButton { id: detailButton; objectName: "detailButton"; text: qsTr("Detail"); enabled: false; onClicked: page.enterDetail() }
            NormalBlueButton { id: addButton; objectName: "addButton"; text: qsTr("Add"); onClicked: page.enterAdd() }
            NormalBlueButton { id: editButton; objectName: "editButton"; text: qsTr("Edit"); enabled: false; onClicked: page.enterEdit() }
            NormalBlueButton { id: deleteButton; objectName: "deleteButton"; text: qsTr("Delete"); enabled: false; onClicked: page.deleteSelected() }
        }
        SimpleTable {
            id: table
            objectName: "groupTable"
            anchors.top: actions.bottom
            anchors.topMargin: Style.s(12)
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            model: listModel
            columns: [{ title: qsTr("Group Name"), role: "groupName", share: 1 }, { title: qsTr("Create Time"), role: "createTime", share: 1 }]
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
            anchors.horizontalCenter: parent.horizontalCenter
            y: Style.s(30)
            spacing: Style.s(16)
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Group Name")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textDark
            }
            KeyboardField { id: groupNameField; objectName: "groupNameField"; width: Style.s(300) }
        }
        Text {
            id: memberTitle
            visible: page.isDetail
            anchors.top: nameRow.bottom
            anchors.topMargin: Style.s(20)
            text: qsTr("Group Member")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            font.weight: Font.Medium
            color: Style.textDark
        }
        SimpleTable {
            objectName: "memberTable"
            visible: page.isDetail
            selectable: false
            anchors.top: memberTitle.bottom
            anchors.topMargin: Style.s(10)
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: buttons.top
            anchors.bottomMargin: Style.s(16)
            model: listModel_detail
            columns: [{ title: qsTr("User Name"), role: "userName", share: 1 }, { title: qsTr("Name"), role: "name", share: 1 }]
        }
        Row {
            id: buttons
            anchors.horizontalCenter: parent.horizontalCenter
            y: page.isDetail ? parent.height - height : nameRow.y + nameRow.height + Style.s(40)
            spacing: Style.s(24)
            NormalBlueRectButton { objectName: "cancelButton"; width: Style.s(120); text: qsTr("Cancel"); onClicked: page.backHome() }
            NormalBlueButton { objectName: "saveButton"; visible: !page.isDetail; width: Style.s(120); text: qsTr("Save"); onClicked: page.save() }
        }
    }
}
