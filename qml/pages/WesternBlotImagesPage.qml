import QtQuick 2.15
import "../components"

// Stand-in of the image library page: the function the page frame calls.
PendingPage {
    objectName: "WesternBlotImagesPage"
    title: qsTr("Western Blot Images")

    function updateListView(reload) { console.log("WesternBlotImagesPage.updateListView", reload) }
}
