import QtQuick 2.15
import "../components"

// Stand-in of the image library page: the function the page frame calls.
PendingPage {
    objectName: "GelImagesPage"
    title: qsTr("Gel Images")

    function updateListView(reload) { console.log("GelImagesPage.updateListView", reload) }
}
