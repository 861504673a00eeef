import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Time unit of an exposure field.
ComboBox {
    id: control
    model: [qsTr("Ms"), qsTr("S"), qsTr("M")]
    implicitWidth: Style.s(70)
    implicitHeight: Style.s(37)
    font.family: Style.fontFamily
    font.pixelSize: Style.fontNormal
    delegate: ItemDelegate {
        width: Style.s(104)
        height: Style.s(37)
        text: modelData
        font: control.font
        highlighted: control.highlightedIndex === index
    }
    popup: Popup {
        x: control.width - width
        y: control.height + 5
        width: Style.s(104)
        implicitHeight: contentItem.implicitHeight
        padding: 0
        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.popup.visible ? control.delegateModel : null
            currentIndex: control.highlightedIndex
        }
        background: Rectangle { border.color: Style.border; radius: 4 }
    }
}
