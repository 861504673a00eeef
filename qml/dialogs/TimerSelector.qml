import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"
import "../js/TimeRules.js" as TimeRules

// Date and time on six wheels (Year 2000-2099, Month, Day, Hour, Min, Sec). "Clear" asks the
// owner to empty its field and stays open; "Now" turns the wheels to now; "OK" accepts.
Dialog {
    id: dialog
    objectName: "timerSelector"
    property bool showTime: true
    signal clearTextSignal()

    function setFields(t) {
        yearWheel.currentIndex = t.year - 2000;
        monthWheel.currentIndex = t.month - 1;
        dayWheel.days = TimeRules.daysInMonth(t.year, t.month);
        dayWheel.currentIndex = t.day - 1;
        hourWheel.currentIndex = t.hour;
        minuteWheel.currentIndex = t.minute;
        secondWheel.currentIndex = t.second;
    }
    function fields() {
        return { year: 2000 + yearWheel.currentIndex, month: monthWheel.currentIndex + 1, day: dayWheel.currentIndex + 1,
                 hour: hourWheel.currentIndex, minute: minuteWheel.currentIndex, second: secondWheel.currentIndex };
    }
    function updateDate() { setFields(TimeRules.now()) }
    function updateSpecifiedDate(text) { setFields(TimeRules.parse(text)) }
    function getSelectTime() { return showTime ? TimeRules.formatTime(fields()) : TimeRules.formatDate(fields()) }
    // The day wheel follows the month's length and keeps the day where it can.
    function monthOrYearChanged() {
        var year = 2000 + yearWheel.currentIndex;
        var month = monthWheel.currentIndex + 1;
        var day = TimeRules.clampDay(year, month, dayWheel.currentIndex + 1);
        dayWheel.days = TimeRules.daysInMonth(year, month);
        dayWheel.currentIndex = day - 1;
    }

    modal: true
    closePolicy: Popup.CloseOnEscape
    // Wide enough for the four buttons when only the date wheels are shown.
    width: Math.max(Style.s(showTime ? 520 : 320), buttonRow.implicitWidth + leftPadding + rightPadding)
    height: Style.s(255)
    padding: Style.s(14)
    header: null
    footer: null
    background: Rectangle { radius: Style.s(8); color: Style.white; border.color: Style.border }

    component Wheel: Column {
        id: wheel
        property alias currentIndex: tumbler.currentIndex
        property alias model: tumbler.model
        property alias count: tumbler.count
        property alias label: caption.text
        property int offset: 0
        // Entries from this one on are out of range (the days a month lacks): shown faded, and
        // the wheel turns back from them. The wheel's model never changes while it is shown,
        // since a replaced model leaves the wheel showing its old place.
        property int days: tumbler.count
        signal moved()
        // Steps along the wheel, round past either end as a drag does; a day the month lacks
        // is passed over.
        function turn(steps) {
            var n = Math.max(1, days);
            tumbler.currentIndex = ((tumbler.currentIndex + steps) % n + n) % n;
        }
        Text {
            id: caption
            anchors.horizontalCenter: parent.horizontalCenter
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textGrey
        }
        Tumbler {
            id: tumbler
            width: Style.s(70)
            height: Style.s(170)
            visibleItemCount: 5
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            delegate: Text {
                text: (index + wheel.offset < 10 ? "0" : "") + (index + wheel.offset)
                font: tumbler.font
                color: Tumbler.tumbler.currentIndex === index ? Style.blue
                     : index >= wheel.days ? Style.textDisabled : Style.textGrey
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                opacity: 1.0 - Math.abs(Tumbler.displacement) / (tumbler.visibleItemCount / 2)
                // A click takes the entry (not a day the month lacks). The handler only watches
                // the press, so a drag still turns the wheel.
                TapHandler {
                    onTapped: if (index < wheel.days) tumbler.currentIndex = index
                }
            }
            // The mouse wheel turns it one entry per notch (up: the entry before).
            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.NoButton
                property int rest: 0
                onWheel: function(event) {
                    rest += event.angleDelta.y;
                    var steps = Math.trunc(rest / 120);
                    rest -= steps * 120;
                    if (steps !== 0)
                        wheel.turn(-steps);
                }
            }
            onCurrentIndexChanged: {
                if (currentIndex >= wheel.days)
                    currentIndex = wheel.days - 1;
                else
                    wheel.moved();
            }
        }
    }

    contentItem: Column {
        spacing: Style.s(10)
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Style.s(6)
            Wheel { id: yearWheel; objectName: "yearWheel"; label: qsTr("Year"); model: 100; offset: 2000; onMoved: dialog.monthOrYearChanged() }
            Wheel { id: monthWheel; objectName: "monthWheel"; label: qsTr("Month"); model: 12; offset: 1; onMoved: dialog.monthOrYearChanged() }
            Wheel { id: dayWheel; objectName: "dayWheel"; label: qsTr("Day"); model: 31; days: 31; offset: 1 }
            Wheel { id: hourWheel; label: qsTr("Hour"); model: 24; visible: dialog.showTime }
            Wheel { id: minuteWheel; label: qsTr("Min"); model: 60; visible: dialog.showTime }
            Wheel { id: secondWheel; label: qsTr("Sec"); model: 60; visible: dialog.showTime }
        }
        Row {
            id: buttonRow
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: Style.s(12)
            DialogBlueButton { objectName: "clearButton"; text: qsTr("Clear"); onClicked: dialog.clearTextSignal() }
            DialogBlueButton { objectName: "nowButton"; text: qsTr("Now"); onClicked: dialog.updateDate() }
            DialogBlueButton { objectName: "okButton"; text: qsTr("OK"); onClicked: dialog.accept() }
            DialogBlueButton { objectName: "cancelButton"; text: qsTr("Cancel"); onClicked: dialog.reject() }
        }
    }
}
