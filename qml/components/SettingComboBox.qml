import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Filter choice: one entry per filter-wheel position, so that the index is the position; entries
// for filters not fitted are hidden and cannot be reached by mouse or keyboard.
ComboBox {
    id: control
    property var mModel: ["NoFilter", "535nm", "590nm", "605nm", "700nm", "840nm"]
    property var mEffectiveModels: mModel
    model: mModel
    implicitWidth: Style.s(150)
    implicitHeight: Style.s(35)
    font.family: Style.fontFamily
    font.pixelSize: Style.fontNormal

    function isEffective(i) {
        return i >= 0 && i < mModel.length && mEffectiveModels.indexOf(mModel[i]) >= 0
    }
    // The nearest fitted entry from `from` in direction step (±1), or -1.
    function nextEffective(from, step) {
        for (var i = from + step; i >= 0 && i < mModel.length; i += step)
            if (isEffective(i))
                return i;
        return -1;
    }
    function moveTo(target) {
        if (target < 0)
            return;
        var at = popup.visible ? highlightedIndex : currentIndex;
        while (at < target) { incrementCurrentIndex(); ++at; }
        while (at > target) { decrementCurrentIndex(); --at; }
    }

    Keys.onPressed: {
        var at = popup.visible ? highlightedIndex : currentIndex;
        switch (event.key) {
        case Qt.Key_Down:
            moveTo(nextEffective(at, 1)); event.accepted = true; break;
        case Qt.Key_Up:
            moveTo(nextEffective(at, -1)); event.accepted = true; break;
        case Qt.Key_Home: case Qt.Key_PageUp:
            moveTo(nextEffective(-1, 1)); event.accepted = true; break;
        case Qt.Key_End: case Qt.Key_PageDown:
            moveTo(nextEffective(mModel.length, -1)); event.accepted = true; break;
        default:
            // Typed letters would search every entry, hidden ones included.
            if (event.text !== "" && event.text.trim() !== "")
                event.accepted = true;
        }
    }

    delegate: ItemDelegate {
        width: control.width
        height: control.isEffective(index) ? Style.s(35) : 0
        visible: control.isEffective(index)
        enabled: visible
        text: modelData
        font: control.font
        highlighted: control.highlightedIndex === index
    }
    popup: Popup {
        y: control.height
        width: control.width
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
