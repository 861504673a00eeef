import QtQuick 2.15
import "../components"

// Stand-in of the image library page: the function the page frame calls.
PendingPage {
    objectName: "MultiFluorescenceImagesPage"
    title: qsTr("Multi-Fluorescence Images")

    function updateListView(reload) { console.log("MultiFluorescenceImagesPage.updateListView", reload) }
}
