import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"

// Region selector over a shown image: drag to span a rectangle, drag inside it to move it,
// confirm to report it in image pixels (screen pixels divided by m_MScale).
Item {
    id: chooser
    objectName: "screenChoose"
    property real m_MScale: 0
    property rect selection: Qt.rect(0, 0, 0, 0)
    readonly property bool confirmable: selection.width > 10 && selection.height > 10
    signal sigClose()
    signal sigRoiSetting(int x, int y, int width, int height)

    function inside(px, py) {
        return px > selection.x && px < selection.x + selection.width
            && py > selection.y && py < selection.y + selection.height;
    }
    function confirm() {
        if (m_MScale === 0) {
            console.error("ScreenChoose: no image scale, region not set");
            return;
        }
        sigRoiSetting(Math.round(selection.x / m_MScale), Math.round(selection.y / m_MScale),
                      Math.round(selection.width / m_MScale), Math.round(selection.height / m_MScale));
        visible = false;
    }

    Rectangle {
        anchors.fill: parent
        color: "#4D000000"
    }
    Rectangle {
        objectName: "selectionFrame"
        x: chooser.selection.x
        y: chooser.selection.y
        width: chooser.selection.width
        height: chooser.selection.height
        color: "transparent"
        border.width: 2
        border.color: "#00FF00"
    }
    MouseArea {
        anchors.fill: parent
        property point start
        property bool moving: false
        property point grab
        onPressed: {
            moving = chooser.inside(mouse.x, mouse.y);
            if (moving) {
                grab = Qt.point(mouse.x - chooser.selection.x, mouse.y - chooser.selection.y);
            } else {
                start = Qt.point(mouse.x, mouse.y);
                chooser.selection = Qt.rect(mouse.x, mouse.y, 0, 0);
            }
        }
        onPositionChanged: {
            var px = Math.max(0, Math.min(chooser.width, mouse.x));
            var py = Math.max(0, Math.min(chooser.height, mouse.y));
            if (moving) {
                var nx = Math.max(0, Math.min(chooser.width - chooser.selection.width, px - grab.x));
                var ny = Math.max(0, Math.min(chooser.height - chooser.selection.height, py - grab.y));
                chooser.selection = Qt.rect(nx, ny, chooser.selection.width, chooser.selection.height);
            } else {
                chooser.selection = Qt.rect(Math.min(start.x, px), Math.min(start.y, py),
                                            Math.abs(px - start.x), Math.abs(py - start.y));
            }
        }
    }
    Row {
        id: actions
        objectName: "selectionActions"
        visible: chooser.confirmable
        readonly property real bottomEdge: chooser.selection.y + chooser.selection.height
        x: Math.max(0, chooser.selection.x + chooser.selection.width - width)
        y: bottomEdge + height <= chooser.height ? bottomEdge : bottomEdge - height
        spacing: 0
        Button {
            objectName: "confirmButton"
            width: 60
            height: 30
            padding: 0
            background: Rectangle { color: "#FFFFFF" }
            contentItem: Image { source: "qrc:/Image/gou.png"; fillMode: Image.PreserveAspectFit }
            onClicked: chooser.confirm()
        }
        Button {
            objectName: "cancelButton"
            width: 60
            height: 30
            padding: 0
            background: Rectangle { color: "#FFFFFF" }
            contentItem: Image { source: "qrc:/Image/cha.png"; fillMode: Image.PreserveAspectFit }
            onClicked: chooser.sigClose()
        }
    }
}
