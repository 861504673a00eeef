import QtQuick 2.15
import QtQuick.Controls 2.15
import QtCharts 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "../components"
import "../js/GelCapture.js" as Gel

// Histogram of the shown capture with the two stretch sliders; "Org" ("Raw" on the Western-blot
// page) shows the full range, "Auto" the range the controller found. Serves the gel, the
// multi-fluorescence and the Western-blot page.
Column {
    id: panel
    // The page's mode: the controller keeps one histogram series per mode.
    required property int expMode
    // The levels chosen, for the page to show the picture stretched to them.
    signal stretchChosen(real low, real high)
    signal auditRequested(string chinese, string english)
    property int autoMin: 0
    property int autoMax: 65535
    readonly property alias leftValue: leftSlider.value
    readonly property alias rightValue: rightSlider.value
    spacing: Style.s(4)

    // The sliders never meet: the left stays at least one level below the right.
    function setLeft(value) {
        leftSlider.value = Gel.clampLeft(value, rightSlider.value);
        stretchChosen(leftSlider.value, rightSlider.value);
    }
    function setRight(value) {
        rightSlider.value = Gel.clampRight(value, leftSlider.value);
        stretchChosen(leftSlider.value, rightSlider.value);
    }
    function setRange(low, high) {
        leftSlider.value = 0;
        rightSlider.value = 65535;
        setRight(high);
        setLeft(low);
    }
    function released(isLeft) {
        var value = Math.round(isLeft ? leftSlider.value : rightSlider.value);
        auditRequested("直方图拉伸: " + (isLeft ? "左 " : "右 ") + value, "Histogram stretching: " + (isLeft ? "Left " : "Right ") + value);
    }

    // Without automatic stretch the Western-blot page shows its captures raw, and says so.
    property bool rawShown: false
    Timer {
        id: applyLater
        interval: 10
        onTriggered: {
            if (panel.rawShown)
                panel.setRange(0, 65535);
            else
                panel.setRange(panel.autoMin, panel.autoMax);
        }
    }
    Connections {
        target: MainCtrl
        function onChangeAxisYMaxAndSliderValue(isAuto, axisYMax, min, max) {
            if (MainCtrl.expMode !== panel.expMode)
                return;
            panel.autoMin = min;
            panel.autoMax = max;
            if (panel.expMode === EnumOBJ.WB)
                UserOpts.loadUserOptsByName(UserOpts.OPT_IsAutoStretch);
            panel.rawShown = panel.expMode === EnumOBJ.WB && !UserOpts.isAutoStretch;
            autoButton.checked = isAuto && !panel.rawShown;
            orgButton.checked = !autoButton.checked;
            axisY.max = Math.max(1, axisYMax);
            applyLater.restart();
        }
    }

    ChartView {
        id: chart
        width: parent.width
        height: Style.s(120)
        legend.visible: false
        antialiasing: false
        margins { top: 0; bottom: 0; left: 0; right: 0 }
        ValueAxis { id: axisX; min: 0; max: 65535; labelsVisible: false; gridVisible: false }
        ValueAxis { id: axisY; min: 0; max: 1; labelsVisible: false; gridVisible: false }
        LineSeries {
            id: series
            axisX: axisX
            axisY: axisY
            color: Style.blue
        }
        Component.onCompleted: {
            if (panel.expMode === EnumOBJ.WB)
                MainCtrl.setLineSeries(series);
            else if (panel.expMode === EnumOBJ.Mult)
                MainCtrl.setMultLineSeries(series);
            else
                MainCtrl.setGelLineSeries(series);
        }
    }
    Row {
        spacing: Style.s(2)
        NormalButton { objectName: "leftDownButton"; text: "<"; implicitWidth: Style.s(28); onClicked: panel.setLeft(leftSlider.value - 300) }
        MySlider {
            id: leftSlider
            objectName: "leftSlider"
            width: (panel.width - Style.s(130)) / 2
            from: 0
            to: 65534
            value: 0
            mColor: Style.blue
            onMoved: panel.setLeft(value)
            onPressedChanged: if (!pressed) panel.released(true)
        }
        NormalButton { objectName: "leftUpButton"; text: ">"; implicitWidth: Style.s(28); onClicked: panel.setLeft(leftSlider.value + 300) }
        NormalButton { objectName: "rightDownButton"; text: "<"; implicitWidth: Style.s(28); onClicked: panel.setRight(rightSlider.value - 300) }
        MySlider {
            id: rightSlider
            objectName: "rightSlider"
            width: (panel.width - Style.s(130)) / 2
            from: 1
            to: 65535
            value: 65535
            mColor: Style.blue
            onMoved: panel.setRight(value)
            onPressedChanged: if (!pressed) panel.released(false)
        }
        NormalButton { objectName: "rightUpButton"; text: ">"; implicitWidth: Style.s(28); onClicked: panel.setRight(rightSlider.value + 300) }
    }
    Row {
        spacing: Style.s(6)
        NormalButton {
            id: orgButton
            objectName: "orgButton"
            checkable: true
            autoExclusive: true
            text: panel.expMode === EnumOBJ.WB ? qsTr("Raw") : qsTr("Org")
            onClicked: panel.setRange(0, 65535)
        }
        NormalButton {
            id: autoButton
            objectName: "autoButton"
            checkable: true
            autoExclusive: true
            checked: true
            text: qsTr("Auto")
            onClicked: panel.setRange(panel.autoMin, panel.autoMax)
        }
        Text {
            objectName: "rangeText"
            anchors.verticalCenter: parent.verticalCenter
            text: Math.round(leftSlider.value) + " - " + Math.round(rightSlider.value)
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textGrey
        }
    }
}
