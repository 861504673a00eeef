import QtQuick 2.15
import "../components"

// One light source of a "More Setting" dialog: its name (or a check box saying that the light
// is fitted) and the filter that goes with it. The combo's index is the stored value.
Row {
    id: row
    property string label: ""
    property bool checkable: false
    property alias checked: check.checked
    property alias combo: combo
    property alias currentIndex: combo.currentIndex
    property alias mModel: combo.mModel
    property alias mEffectiveModels: combo.mEffectiveModels
    spacing: Style.s(12)
    Item {
        width: Style.s(160)
        height: combo.height
        Text {
            anchors.verticalCenter: parent.verticalCenter
            visible: !row.checkable
            text: row.label
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textGrey
        }
        RectCheckBox {
            id: check
            objectName: row.objectName + "Check"
            anchors.verticalCenter: parent.verticalCenter
            visible: row.checkable
            text: row.label
        }
    }
    SettingComboBox {
        id: combo
        objectName: row.objectName + "Combo"
        width: Style.s(220)
    }
}
