import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.LocalFolders 1.0
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import "../components"
import "../js/ATDatabase.js" as ATJS
import "../js/Audit.js" as Audit
import "../js/Guard.js" as Guard
import "../js/Popups.js" as Popups
import "../js/Paths.js" as Paths
import "../js/Choosers.js" as Choosers

// Export of the audit rows under the page's filters to a PDF report: a summary of what will be
// exported, a file name, then the report. The export itself is recorded first; a failed one is
// recorded as failed.
Dialog {
    id: dialog
    objectName: "auditTrailExport"
    property string startTime: ""
    property string endTime: ""
    property string handler: ""
    property string infoStr: ""
    property int total: 0
    // The answer of the last export (for the caller): true, false, or undefined before one.
    property var lastResult: undefined

    function updateInfo(start, end, who) {
        startTime = start || "";
        endTime = end || "";
        handler = who || "";
        // The row recording this export is counted too.
        total = ATJS.dbCountByPage(startTime, endTime, handler, UserOpts.language) + 1;
        var text = qsTr("  Find");
        if (startTime !== "")
            text += qsTr(" from ") + startTime + qsTr(" to") + (endTime === "" ? qsTr(" now,") : " " + endTime + ",");
        if (handler !== "")
            text += qsTr(" handler is ") + handler + qsTr(" ,");
        text += qsTr(" total ") + total + qsTr(" pieces of data.");
        infoStr = text;
    }

    // The report file chosen (a URL or a path); a name without ".pdf" gets it.
    function fileChosen(fileUrl) {
        var path = Paths.urlToLocalPath(fileUrl);
        if (!/\.pdf$/i.test(path))
            path += ".pdf";
        var url = Paths.localPathToUrl(path);
        var folder = url.substring(0, url.lastIndexOf("/"));
        if (!Guard.has(Guard.currentUser(), "authAuditTrailExport")) {
            Guard.refuse("审计追踪导出", "audit trail export");
            lastResult = false;
            return false;
        }
        Audit.write(ATJS.ModuleType.System, "审计追踪导出: " + folder, "Audit trail export: " + folder);
        var rows = ATJS.dbReadInfo(startTime, endTime, handler, UserOpts.language);
        var ok = MainCtrl.exportAuditTrail(url, rows, infoStr);
        if (!ok)
            Audit.write(ATJS.ModuleType.System, "审计追踪导出失败: " + url, "Audit trail export failed: " + url);
        lastResult = ok;
        var message = Popups.message(dialog.Overlay.overlay, ok ? "qrc:/Image/success.png" : "qrc:/Image/error.png", qsTr("Tips"),
                                     ok ? qsTr("Exoport success!") : qsTr("Export failed. Please close pdf first"), false);
        if (message)
            message.accepted.connect(function() { dialog.close() });
        return ok;
    }

    function two(v) { return v < 10 ? "0" + v : String(v) }
    function today() {
        var d = new Date();
        return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate());
    }

    modal: true
    closePolicy: Popup.NoAutoClose
    width: Style.s(620)
    height: Style.s(260)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(20)
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    // The export folder (else the desktop) with today's date as the proposed name.
    function proposedFolder() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        return UserOpts.exportPath !== "" ? UserOpts.exportPath : LocalFolders.desktop();
    }
    function makeChooser() {
        return Choosers.make(dialog.Overlay.overlay, { nameFilters: ["*.pdf"], selectedFilterIndex: 0,
                                                       folder: proposedFolder(), fileName: today() });
    }

    contentItem: Item {
        Text {
            id: title
            text: qsTr("Audit Trail Export")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontTitle
            font.weight: Font.Medium
            color: Style.textDark
        }
        Text {
            objectName: "closeButton"
            anchors.right: parent.right
            anchors.verticalCenter: title.verticalCenter
            text: "✕"
            font.pixelSize: Style.fontTitle
            color: Style.textGrey
            MouseArea {
                anchors.fill: parent
                anchors.margins: -Style.s(8)
                onClicked: dialog.reject()
            }
        }
        Text {
            id: info
            objectName: "infoText"
            anchors.top: title.bottom
            anchors.topMargin: Style.s(24)
            width: parent.width
            text: dialog.infoStr
            wrapMode: Text.WordWrap
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
        }
        Text {
            anchors.top: info.bottom
            anchors.topMargin: Style.s(12)
            width: parent.width
            text: qsTr("Tips: It is recommended to export a maximum of 4000 pieces of data, otherwise you will wait for a long time")
            wrapMode: Text.WordWrap
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textGrey
        }
        NormalBlueButton {
            objectName: "exportButton"
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            text: qsTr("Export")
            onClicked: Choosers.open(dialog.makeChooser(), function(path) { dialog.fileChosen(path) })
        }
    }
}
