import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/FormulaDB.js" as FLJS
import "../js/WesternBlot.js" as WB
import "../js/Popups.js" as Popups

// The stored exposure programmes: a table of name, count, accumulation and times; add, edit
// and delete.
ProgramDialogFrame {
    id: dialog
    objectName: "programListDialog"
    title: qsTr("Program")
    width: Style.s(820)
    height: Style.s(600)
    property alias table: table
    property alias rows: rowsModel

    function reload() {
        rowsModel.clear();
        var rows = FLJS.readRows();
        for (var i = 0; i < rows.length; ++i) {
            var r = rows[i];
            r.detailShown = WB.detailText(r.detail);
            // A mark the user cannot change.
            r.accumulateMark = r.integralAccumulate === 1 ? "√" : "";
            rowsModel.append(r);
        }
        table.currentIndex = -1;
    }
    Component.onCompleted: { FLJS.dbInit(); reload() }

    function deleteSelected() {
        var index = table.currentIndex;
        if (index < 0 || index >= rowsModel.count) {
            warn(qsTr("Please select one program!"));
            return;
        }
        var row = rowsModel.get(index);
        var name = row.name, id = row.id;
        audit("删除程序： " + name, "Delete program： " + name);
        rowsModel.remove(index);
        FLJS.dbDeleteRow(id);
        table.currentIndex = index - 1;
        Popups.message(dialog.Overlay.overlay, "qrc:/Image/success.png", qsTr("Tips"), qsTr("Delete success!"), false);
    }
    Component { id: editorComponent; ProgramEditorDialog {} }
    function openEditor(edit) {
        var index = table.currentIndex;
        if (edit && (index < 0 || index >= rowsModel.count)) {
            warn(qsTr("Please select one program!"));
            return null;
        }
        var editor = editorComponent.createObject(dialog.Overlay.overlay, { auditHost: dialog.auditHost });
        if (edit)
            editor.fill(rowsModel.get(index));
        else
            editor.fillEmpty();
        editor.closed.connect(function() { reload(); editor.destroy() });
        editor.open();
        return editor;
    }

    ListModel { id: rowsModel }
    SimpleTable {
        id: table
        objectName: "programTable"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: buttons.top
        anchors.bottomMargin: Style.s(12)
        border.color: Style.border
        model: rowsModel
        columns: [{ title: qsTr("Name"), role: "name", share: 3 }, { title: qsTr("Capture Count"), role: "captureCount", share: 2 },
                  { title: qsTr("Integral Accumulate"), role: "accumulateMark", share: 2 },
                  { title: qsTr("Detail(s)"), role: "detailShown", share: 5 }]
    }
    Row {
        id: buttons
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        spacing: Style.s(12)
        DialogBlueButton { objectName: "addButton"; text: qsTr("Add"); onClicked: dialog.openEditor(false) }
        DialogBlueButton { objectName: "editButton"; text: qsTr("Edit"); onClicked: dialog.openEditor(true) }
        DialogBlueButton { objectName: "deleteButton"; text: qsTr("Delete"); onClicked: dialog.deleteSelected() }
    }
}
