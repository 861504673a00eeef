import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Slider in steps of 1: grey groove, the part before the handle in mColor.
Slider {
    id: control
    property color mColor: "#FFFFFF"
    property real handleWidth: Style.s(20)
    property real handleHeight: Style.s(20)
    stepSize: 1
    background: Rectangle {
        x: control.leftPadding
        y: control.topPadding + control.availableHeight / 2 - height / 2
        width: control.availableWidth
        height: Style.s(4)
        radius: height / 2
        color: "#AAAAAA"
        Rectangle {
            width: control.visualPosition * parent.width
            height: parent.height
            radius: parent.radius
            color: control.mColor
        }
    }
    handle: Rectangle {
        x: control.leftPadding + control.visualPosition * (control.availableWidth - width)
        y: control.topPadding + control.availableHeight / 2 - height / 2
        width: control.handleWidth
        height: control.handleHeight
        radius: width / 2
        color: control.pressed ? "#F0F0F0" : "#FFFFFF"
        border.color: "#CCCCCC"
    }
}
