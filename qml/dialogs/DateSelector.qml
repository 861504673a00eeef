import QtQuick 2.15

// A date on three wheels (Year, Month, Day); both getters give "yyyy-MM-dd".
TimerSelector {
    objectName: "dateSelector"
    showTime: false
    function getSelectDate() { return getSelectTime() }
}
