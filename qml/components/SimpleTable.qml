import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// A list with a heading row: columns [{title (translated by the caller), role, share}], each
// column share/total of the width. A click selects a row when selectable.
Rectangle {
    id: table
    property var columns: []
    property alias model: list.model
    property alias currentIndex: list.currentIndex
    property alias count: list.count
    property bool selectable: true
    readonly property real shareTotal: {
        var sum = 0;
        for (var i = 0; i < columns.length; ++i)
            sum += columns[i].share;
        return Math.max(1, sum);
    }
    signal rowClicked(int index)
    color: Style.white

    function columnWidth(share) { return (width - Style.s(40)) * share / shareTotal }

    Row {
        id: heading
        x: Style.s(20)
        height: Style.s(44)
        Repeater {
            model: table.columns
            Text {
                width: table.columnWidth(modelData.share)
                height: heading.height
                text: modelData.title
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                font.weight: Font.Medium
                color: Style.textDark
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
            }
        }
    }
    Rectangle { anchors.top: heading.bottom; width: parent.width; height: 1; color: Style.border }
    ListView {
        id: list
        anchors.top: heading.bottom
        anchors.topMargin: 1
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        currentIndex: -1
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        delegate: Rectangle {
            id: rowItem
            objectName: "row" + index
            width: list.width
            height: Style.s(40)
            readonly property var record: model
            color: ListView.isCurrentItem ? "#DCE8FF" : (index % 2 === 1 ? "#F7F9FC" : Style.white)
            Row {
                x: Style.s(20)
                height: parent.height
                Repeater {
                    model: table.columns
                    Text {
                        width: table.columnWidth(modelData.share)
                        height: parent.height
                        text: rowItem.record[modelData.role] === undefined ? "" : String(rowItem.record[modelData.role])
                        // Names are typed by users: shown as typed, never as markup.
                        textFormat: Text.PlainText
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSmall
                        color: Style.textGrey
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                    }
                }
            }
            MouseArea {
                anchors.fill: parent
                enabled: table.selectable
                onClicked: {
                    list.currentIndex = index;
                    table.rowClicked(index);
                }
            }
        }
    }
}
