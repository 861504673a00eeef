import QtQuick 2.15
import "../components"

// Stand-in of the multi-fluorescence capture page: the functions the page frame calls.
PendingPage {
    id: page
    objectName: "MultiFluorescenceCapturePage"
    title: qsTr("Multi-Fluorescence Capture")
    signal sig_SwitchCheckedBtn()

    function enterPage() { console.log("MultiFluorescenceCapturePage.enterPage") }
    function exitPage() { console.log("MultiFluorescenceCapturePage.exitPage") }
    function door_release() { console.log("MultiFluorescenceCapturePage.door_release") }
    function updateLightStatus(open) { console.log("MultiFluorescenceCapturePage.updateLightStatus", open) }
}
