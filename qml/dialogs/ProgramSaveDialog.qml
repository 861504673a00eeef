import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/FormulaDB.js" as FLJS
import "../js/WesternBlot.js" as WB

// Stores the capture page's manual multiple plan (count, first time, increment, accumulation)
// as a named exposure programme.
ProgramDialogFrame {
    id: dialog
    objectName: "programSaveDialog"
    title: qsTr("Program")
    width: Style.s(520)
    height: Style.s(260)
    property int captureCount: 2
    property int firstTime: 0
    property int increment: 0
    property bool integral: false
    // The duplicate check's answer; -1 until the database has answered.
    property int duplicateCount: -1
    property alias nameField: nameField
    readonly property string errorText: errorLine.text

    function save() {
        var name = nameField.text.trim();
        if (name === "") {
            errorLine.text = qsTr("Name cannot be empty.");
            return;
        }
        var detail = WB.manualExposures(captureCount, firstTime, increment).join(",");
        duplicateCount = FLJS.dbIsNameDuplicate(name, -1);
        if (duplicateCount === -1) {
            errorLine.text = qsTr("dbInsert error.");
            return;
        }
        if (duplicateCount > 0) {
            errorLine.text = qsTr("Name cannot be duplicate.");
            duplicateCount = -1;
            return;
        }
        FLJS.dbInsert(name, captureCount, integral, detail);
        audit("新增程序： " + name, "Create program： " + name);
        duplicateCount = -1;
        accept();
    }

    Column {
        width: parent.width
        spacing: Style.s(12)
        Row {
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
                width: Style.s(280)
                placeholderText: qsTr("Program Name")
            }
        }
        Text {
            text: qsTr("Exposure time(s): ") + WB.detailText(WB.manualExposures(dialog.captureCount, dialog.firstTime, dialog.increment).join(","))
            width: parent.width
            elide: Text.ElideRight
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textGrey
        }
        Text {
            id: errorLine
            objectName: "errorLine"
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: "#E04040"
        }
    }
    DialogBlueButton {
        objectName: "saveButton"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        text: qsTr("Save")
        onClicked: dialog.save()
    }
}
