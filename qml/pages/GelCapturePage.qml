import QtQuick 2.15
import "../components"

// Stand-in of the gel capture page: the functions the page frame calls.
PendingPage {
    id: page
    objectName: "GelCapturePage"
    title: qsTr("Gel Capture")
    signal sig_SwitchCheckedBtn()

    function enterPage() { console.log("GelCapturePage.enterPage") }
    function exitPage() { console.log("GelCapturePage.exitPage") }
    function door_release() { console.log("GelCapturePage.door_release") }
    function updateLightStatus(open) { console.log("GelCapturePage.updateLightStatus", open) }
}
