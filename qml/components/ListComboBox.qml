import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// A combo box of the user pages: its pop-up shows at most maxRows rows and scrolls past them.
ComboBox {
    id: control
    property int maxRows: 6
    implicitWidth: Style.s(200)
    implicitHeight: Style.s(38)
    font.family: Style.fontFamily
    font.pixelSize: Style.fontNormal
    background: Rectangle {
        radius: 4
        color: control.enabled ? Style.white : Style.disabledFill
        border.color: control.activeFocus ? Style.blue : Style.border
    }
    delegate: ItemDelegate {
        id: option
        width: control.width
        height: Style.s(34)
        text: control.textRole ? (Array.isArray(control.model) ? modelData[control.textRole] : model[control.textRole])
                               : modelData
        font: control.font
        highlighted: control.highlightedIndex === index
        // Group and role names are shown as typed, never as markup.
        contentItem: Text {
            text: option.text
            font: option.font
            color: Style.textDark
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
            textFormat: Text.PlainText
        }
    }
    popup: Popup {
        y: control.height
        width: control.width
        implicitHeight: Math.min(control.count, control.maxRows) * Style.s(34) + 2
        padding: 1
        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.popup.visible ? control.delegateModel : null
            currentIndex: control.highlightedIndex
            ScrollBar.vertical: ScrollBar { policy: control.count > control.maxRows ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded }
        }
        background: Rectangle { color: Style.white; border.color: Style.border }
    }
}
