import QtQuick 2.15
import "../components"

// Stand-in of a settings tab whose page comes later.
Item {
    objectName: "RoleManagementPage"
    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("Authority Manage")
    }
    PendingPage {
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        title: qsTr("Authority Manage")
    }
}
