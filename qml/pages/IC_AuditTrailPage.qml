import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../dialogs"
import "../js/ATDatabase.js" as ATJS
import "../js/UMDatabase.js" as UMJS

// The audit trail in the interface language, a hundred rows to a page, newest first, with
// filters on time and handler; "Export" writes the filtered rows to a PDF report.
Rectangle {
    id: page
    objectName: "IC_AuditTrailPage"
    color: Style.windowColor
    property int current: 1
    readonly property int size: 100
    property int total: 0
    property int pages: 0
    // Filters applied by the last search.
    property string startTime: ""
    property string endTime: ""
    property string search_handler: ""
    // The time field the picker serves.
    property var pickerField: null
    readonly property var columns: [
        { title: QT_TR_NOOP("Id"), role: "m_id", share: 1 },
        { title: QT_TR_NOOP("Module"), role: "module", share: 2 },
        { title: QT_TR_NOOP("Content"), role: "content", share: 3 },
        { title: QT_TR_NOOP("Handler"), role: "handler", share: 1 },
        { title: QT_TR_NOOP("OperatingTime"), role: "operatingTime", share: 2 }
    ]

    function searchByPage() {
        audit_listModel.clear();
        var language = UserOpts.language;
        ATJS.dbReadInfoByPage(current, size, startTime, endTime, search_handler, language, audit_listModel);
        total = ATJS.dbCountByPage(startTime, endTime, search_handler, language);
        pages = ATJS.pageCount(total, size);
        pageField.text = "";
        list.positionViewAtBeginning();
    }
    function resetSearchCondition() {
        startField.text = "";
        endField.text = "";
        pageField.text = "";
        startTime = "";
        endTime = "";
        search_handler = "";
        handlerCombo.currentIndex = -1;
        current = 1;
    }
    function updateUserCombox() {
        handlerModel.clear();
        UMJS.dbReadAll(handlerModel);
        handlerCombo.currentIndex = -1;
    }
    function search() {
        current = 1;
        startTime = startField.text;
        endTime = endField.text;
        search_handler = handlerCombo.currentIndex < 0 ? "" : handlerModel.get(handlerCombo.currentIndex).userName;
        searchByPage();
    }
    function turnTo(value) {
        current = ATJS.clampPage(value, pages, current);
        searchByPage();
    }
    function openPicker(field) {
        pickerField = field;
        var point = field.mapToItem(page, 0, field.height);
        picker.x = Math.min(point.x, page.width - picker.width);
        picker.y = point.y + Style.s(4);
        picker.updateSpecifiedDate(field.text);
        picker.open();
    }
    function openExport() {
        exportDialog.updateInfo(startField.text, endField.text,
                                handlerCombo.currentIndex < 0 ? "" : handlerModel.get(handlerCombo.currentIndex).userName);
        exportDialog.open();
    }

    Component.onCompleted: ATJS.dbInit()

    ListModel { id: audit_listModel }
    ListModel { id: handlerModel }

    TimerSelector {
        id: picker
        parent: page
        onAccepted: if (page.pickerField) page.pickerField.text = getSelectTime()
        onClearTextSignal: if (page.pickerField) page.pickerField.text = ""
    }
    AuditTrailExport {
        id: exportDialog
        parent: page
    }

    component BarText: Text {
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.textDark
    }
    component TimeField: TextField {
        width: Style.s(175)
        height: Style.s(36)
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        readOnly: true
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        MouseArea {
            anchors.fill: parent
            onClicked: page.openPicker(parent)
        }
    }

    Rectangle {
        id: bar
        width: parent.width
        height: Style.s(64)
        color: Style.white
        Row {
            anchors.left: parent.left
            anchors.leftMargin: Style.s(20)
            anchors.verticalCenter: parent.verticalCenter
            spacing: Style.s(10)
            BarText { text: qsTr("Search time:") }
            TimeField { id: startField; objectName: "startField"; placeholderText: qsTr("StartTime") }
            BarText { text: qsTr("to") }
            TimeField { id: endField; objectName: "endField"; placeholderText: qsTr("EndTime") }
            BarText { text: qsTr("Handler") }
            ListComboBox {
                id: handlerCombo
                objectName: "handlerCombo"
                anchors.verticalCenter: parent.verticalCenter
                width: Style.s(130)
                maxRows: 5
                model: handlerModel
                textRole: "userName"
                currentIndex: -1
            }
            NormalBlueButton { objectName: "searchButton"; width: Style.s(80); text: qsTr("Search"); onClicked: page.search() }
            NormalBlueRectButton {
                objectName: "resetButton"
                width: Style.s(80)
                text: qsTr("Reset")
                onClicked: {
                    page.resetSearchCondition();
                    page.searchByPage();
                }
            }
        }
        NormalBlueButton {
            objectName: "exportButton"
            anchors.right: parent.right
            anchors.rightMargin: Style.s(20)
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(80)
            text: qsTr("Export")
            enabled: !!AuthorityComponent.authAuditTrailExport
            onClicked: page.openExport()
        }
    }

    Rectangle {
        id: table
        anchors.top: bar.bottom
        anchors.topMargin: Style.s(10)
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: footer.top
        anchors.margins: Style.s(20)
        color: Style.white
        Row {
            id: heading
            x: Style.s(20)
            height: Style.s(44)
            Repeater {
                model: page.columns
                Text {
                    width: page.width * modelData.share / 10
                    height: heading.height
                    text: qsTr(modelData.title)
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontNormal
                    font.weight: Font.Medium
                    color: Style.textDark
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
            }
        }
        Rectangle { anchors.top: heading.bottom; width: parent.width; height: 1; color: Style.border }
        ListView {
            id: list
            objectName: "auditList"
            anchors.top: heading.bottom
            anchors.topMargin: 1
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            clip: true
            model: audit_listModel
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            delegate: Rectangle {
                width: list.width
                height: Style.s(40)
                color: index % 2 === 1 ? "#F7F9FC" : Style.white
                readonly property var record: model
                Row {
                    x: Style.s(20)
                    height: parent.height
                    Repeater {
                        model: page.columns
                        Text {
                            width: page.width * modelData.share / 10
                            height: parent.height
                            text: String(record[modelData.role])
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontSmall
                            color: Style.textGrey
                            verticalAlignment: Text.AlignVCenter
                            elide: Text.ElideRight
                        }
                    }
                }
            }
        }
    }

    Row {
        id: footer
        anchors.bottom: parent.bottom
        anchors.bottomMargin: Style.s(14)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: Style.s(12)
        height: Style.s(36)
        BarText { objectName: "pagesText"; text: qsTr("Total ") + page.pages + qsTr(" pages ") }
        NormalBlueRectButton {
            objectName: "previousButton"
            width: Style.s(40)
            text: "<"
            onClicked: if (page.current > 1) { page.current -= 1; page.searchByPage() }
        }
        BarText { objectName: "currentText"; text: page.current }
        NormalBlueRectButton {
            objectName: "nextButton"
            width: Style.s(40)
            text: ">"
            onClicked: if (page.current < page.pages) { page.current += 1; page.searchByPage() }
        }
        KeyboardField {
            id: pageField
            objectName: "pageField"
            width: Style.s(70)
            anchors.verticalCenter: parent.verticalCenter
            onAccepted: page.turnTo(text)
        }
        NormalBlueRectButton { objectName: "turnButton"; width: Style.s(80); text: qsTr("Turn"); onClicked: page.turnTo(pageField.text) }
    }
}
