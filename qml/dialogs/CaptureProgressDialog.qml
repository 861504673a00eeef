import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/NumberRules.js" as Rules

// Progress of a capture of totalTime milliseconds: the bar advances 10 every 10 ms and the
// remaining time is shown as mm:ss:zzz at every full 100 ms. Closes only by program.
Popup {
    id: dialog
    objectName: "captureProgressDialog"
    property int totalTime: 0
    property alias value: bar.value
    readonly property string remainingText: remaining.text
    signal cancelCapture()

    modal: true
    dim: false
    closePolicy: Popup.NoAutoClose
    width: Style.s(650)
    height: Style.s(80)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(12)
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    onAboutToShow: {
        bar.value = 0;
        remaining.text = Rules.clockText(totalTime);
        cancelButton.enabled = true;
        tick.start();
    }
    onClosed: tick.stop()

    Timer {
        id: tick
        interval: 10
        repeat: true
        onTriggered: {
            bar.value = Math.min(dialog.totalTime, bar.value + 10);
            if (bar.value % 100 === 0)
                remaining.text = Rules.clockText(dialog.totalTime - bar.value);
            if (bar.value >= dialog.totalTime)
                stop();
        }
    }

    contentItem: Item {
        // Dragging the content moves the dialog.
        DragHandler {
            target: null
            property point start
            onActiveChanged: if (active) start = Qt.point(dialog.x, dialog.y)
            onTranslationChanged: {
                dialog.x = start.x + translation.x;
                dialog.y = start.y + translation.y;
            }
        }
        ProgressBar {
            id: bar
            anchors.left: parent.left
            anchors.right: remaining.left
            anchors.rightMargin: Style.s(12)
            anchors.verticalCenter: parent.verticalCenter
            from: 0
            to: Math.max(1, dialog.totalTime)
        }
        Text {
            id: remaining
            objectName: "remainingText"
            anchors.right: cancelButton.left
            anchors.rightMargin: Style.s(12)
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(110)
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
            horizontalAlignment: Text.AlignHCenter
        }
        DialogBlueButton {
            id: cancelButton
            objectName: "cancelButton"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Cancel")
            onClicked: {
                enabled = false;
                dialog.cancelCapture();
            }
        }
    }
}
