import QtQuick 2.15

// A circular hit area: only a point inside the circle counts as hovering, pressing or clicking.
Item {
    id: root
    property bool containsMouse: {
        if (!area.containsMouse)
            return false;
        var dx = area.mouseX - width / 2;
        var dy = area.mouseY - height / 2;
        var r = Math.min(width, height) / 2;
        return dx * dx + dy * dy < r * r;
    }
    readonly property bool pressed: containsMouse && area.pressed
    signal clicked()

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: {
            if (root.containsMouse)
                root.clicked();
        }
    }
}
