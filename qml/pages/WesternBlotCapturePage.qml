import QtQuick 2.15
import "../components"

// Stand-in of the Western-blot capture page: the functions the page frame calls.
PendingPage {
    id: page
    objectName: "WesternBlotCapturePage"
    title: qsTr("Western Blot Capture")
    signal sig_SwitchCheckedBtn()
    signal sig_BackToHome()

    function enterPage() { console.log("WesternBlotCapturePage.enterPage") }
    function exitPage() { console.log("WesternBlotCapturePage.exitPage") }
    function door_release() { console.log("WesternBlotCapturePage.door_release") }
    function updateLightStatus(open) { console.log("WesternBlotCapturePage.updateLightStatus", open) }
    function reTranslateUi(language) { console.log("WesternBlotCapturePage.reTranslateUi", language) }
}
