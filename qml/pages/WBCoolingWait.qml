import QtQuick 2.15
import an.qt.MainCtrl 1.0
import "../components"
import "../dialogs"
import "../js/WesternBlot.js" as WB

// The wait for the camera to cool before the preview: a dialog with the temperature, polled
// every second (the first poll at once). Closing the dialog leaves the page.
Item {
    id: wait
    required property bool kestrix
    required property Item overlayItem
    // Waiting now: from start() to the camera's cooling or the dialog's closing.
    property bool active: false
    property alias dialog: coolingDialog
    signal cooled()
    signal abandoned()

    function start() {
        active = true;
        coolingDialog.text = qsTr("Camera Cooling...");
        coolingDialog.open();
        timer.restart();
        poll();
    }
    function stop() {
        active = false;
        timer.stop();
        coolingDialog.close();
    }
    function poll() {
        if (!active)
            return;
        var t = WB.temperatureOf(kestrix ? MainCtrl._WBQIGetTem() : MainCtrl._WBTSGetTem(), kestrix);
        coolingText.value = WB.coolingText(t);
        if (t < 20 && WB.coolingDone(WB.mappedTemperature(t))) {
            stop();
            cooled();
        }
    }

    Timer { id: timer; interval: 1000; repeat: true; onTriggered: wait.poll() }
    LoadingDialog {
        id: coolingDialog
        objectName: "coolingDialog"
        parent: wait.overlayItem
        width: Style.s(260)
        height: Style.s(190)
        onDialogClosedSignal: {
            wait.stop();
            wait.abandoned();
        }
        Text {
            id: coolingText
            objectName: "coolingText"
            // Bound, so that the label follows a change of language.
            property string value: ""
            text: value === "" ? "" : qsTr("Camera Temp:") + " " + value
            parent: coolingDialog.contentItem
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textDark
        }
    }
}
