import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/FormulaDB.js" as FLJS
import "../js/WesternBlot.js" as WB

// Editor of one exposure programme: its name, one row per exposure (minute, second,
// millisecond) and integral accumulation. A new programme is inserted, a stored one updated.
ProgramDialogFrame {
    id: dialog
    objectName: "programEditorDialog"
    title: qsTr("Program")
    width: Style.s(700)
    height: Style.s(600)
    // The stored programme's id and name, -1 and "" for a new one.
    property int editId: -1
    property string storedName: ""
    property alias nameField: nameField
    property alias rows: rowsModel
    property alias integralBox: integralBox
    property int selectedRow: -1

    function fillEmpty() {
        editId = -1;
        storedName = "";
        rowsModel.clear();
        addRow();
        addRow();
    }
    function fill(row) {
        editId = row.id;
        storedName = row.name;
        nameField.text = row.name;
        integralBox.checked = Number(row.integralAccumulate) === 1;
        rowsModel.clear();
        var parts = WB.detailRows(row.detail);
        for (var i = 0; i < parts.length; ++i)
            rowsModel.append(parts[i]);
    }
    function addRow() { rowsModel.append({ minute: 0, second: 0, millisecond: 0 }) }
    function removeLast() { if (rowsModel.count > 0) rowsModel.remove(rowsModel.count - 1) }
    function removeSelected() {
        if (selectedRow < 0 || selectedRow >= rowsModel.count)
            return;
        rowsModel.remove(selectedRow);
        selectedRow = -1;
    }
    function save() {
        var name = nameField.text.trim();
        if (name === "") {
            warn(qsTr("Program name cannot be empty!"));
            return;
        }
        var list = [];
        for (var i = 0; i < rowsModel.count; ++i)
            list.push(rowsModel.get(i));
        var checked = WB.editorTimes(list);
        if (checked.refusal !== "") {
            warn(checked.refusal === "empty" ? qsTr("Program cannot be empty!")
                 : checked.refusal === "zero" ? qsTr("Program cannot be zero!") : qsTr("Program needs to be incremented!"));
            return;
        }
        var detail = checked.times.join(",");
        if ((editId < 0 || name !== storedName) && FLJS.dbIsNameDuplicate(name, 0) > 0) {
            warn(qsTr("Program name cannot be duplicated!"));
            return;
        }
        if (editId < 0) {
            FLJS.dbInsert(name, checked.times.length, integralBox.checked, detail);
            audit("新增程序： " + name, "Create program： " + name);
        } else {
            FLJS.dbUpdate(editId, name, checked.times.length, integralBox.checked, detail);
            audit("更新程序： " + name, "Update program： " + name);
        }
        accept();
    }

    ListModel { id: rowsModel }
    Row {
        id: nameRow
        spacing: Style.s(10)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Program Name: ")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
        }
        KeyboardField {
            id: nameField
            objectName: "nameField"
            width: Style.s(300)
            placeholderText: qsTr("Program Name")
        }
    }
    Row {
        id: heading
        anchors.top: nameRow.bottom
        anchors.topMargin: Style.s(12)
        Repeater {
            model: [qsTr("Number"), qsTr("Minute"), qsTr("Second"), qsTr("Millisecond")]
            Text {
                width: Style.s(150)
                text: modelData
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                color: Style.textDark
            }
        }
    }
    ListView {
        id: rowList
        objectName: "rowList"
        anchors.top: heading.bottom
        anchors.topMargin: Style.s(6)
        anchors.bottom: controls.top
        anchors.bottomMargin: Style.s(10)
        width: parent.width
        clip: true
        model: rowsModel
        ScrollBar.vertical: ScrollBar {}
        delegate: Rectangle {
            id: rowItem
            objectName: "programRow_" + index
            readonly property int row: index
            readonly property var record: model
            width: rowList.width
            height: Style.s(46)
            color: index === dialog.selectedRow ? Style.crumbColor : Style.white
            MouseArea { anchors.fill: parent; onClicked: dialog.selectedRow = index }
            Row {
                anchors.verticalCenter: parent.verticalCenter
                Text {
                    width: Style.s(150)
                    text: index + 1
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontNormal
                    color: Style.textDark
                }
                Repeater {
                    model: [["minute", 59], ["second", 59], ["millisecond", 999]]
                    Item {
                        width: Style.s(150)
                        height: Style.s(40)
                        MySpinBox {
                            objectName: modelData[0] + "Box"
                            from: 0
                            to: modelData[1]
                            value: rowItem.record[modelData[0]]
                            onValueModified: rowsModel.setProperty(rowItem.row, modelData[0], value)
                        }
                    }
                }
            }
        }
    }
    Row {
        id: controls
        anchors.bottom: parent.bottom
        width: parent.width
        spacing: Style.s(10)
        RectCheckBox { id: integralBox; objectName: "integralBox"; text: qsTr("Integral Accumulate") }
        DialogBlueButton { objectName: "addRowButton"; text: qsTr("Add"); onClicked: dialog.addRow() }
        DialogBlueButton { objectName: "removeRowButton"; text: qsTr("Remove"); onClicked: dialog.removeLast() }
        DialogBlueButton { objectName: "delSelectedButton"; text: qsTr("Del Selected"); onClicked: dialog.removeSelected() }
        DialogBlueButton { objectName: "saveButton"; text: qsTr("Save"); onClicked: dialog.save() }
    }
}
