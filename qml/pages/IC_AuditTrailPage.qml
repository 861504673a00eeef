import QtQuick 2.15
import "../components"

// Stand-in of the audit-trail page: the functions the page frame calls when it shows the page.
PendingPage {
    objectName: "IC_AuditTrailPage"
    title: qsTr("Audit Trail")

    function resetSearchCondition() { console.log("IC_AuditTrailPage.resetSearchCondition") }
    function searchByPage() { console.log("IC_AuditTrailPage.searchByPage") }
    function updateUserCombox() { console.log("IC_AuditTrailPage.updateUserCombox") }
}
