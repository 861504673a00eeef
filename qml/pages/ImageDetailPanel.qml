import QtQuick 2.15
import QtQuick.Controls 2.15
import QtCharts 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Library.js" as Lib

// Beside the detail picture: its capture parameters, the histogram with the two range sliders,
// Raw and Auto, the beautify level (Western blot) and the picture's actions.
Rectangle {
    id: panel
    property var view: null
    property alias leftSlider: leftSlider
    property alias rightSlider: rightSlider
    property alias axisY: axisY
    property alias minText: minText
    property alias maxText: maxText
    property alias rawButton: rawButton
    property alias autoButton: autoButton
    property alias beautify: beautify
    property alias series: series
    anchors.right: parent.right
    anchors.top: parent.top
    anchors.bottom: parent.bottom
    anchors.margins: Style.s(12)
    width: Style.s(360)
    color: Style.white
    radius: Style.s(6)

    component Label: Text {
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        color: Style.textDark
        elide: Text.ElideRight
    }
    component StepButton: NormalBlueRectButton {
        width: Style.s(40)
        implicitHeight: Style.s(28)
    }
    component ActionButton: NormalBlueButton {
        width: Style.s(100)
        implicitHeight: Style.s(34)
    }

    function moveLeft(value) {
        var left = Lib.clampLeft(value, rightSlider.value);
        leftSlider.value = left;
        showRange(left, rightSlider.value);
        panel.view.item.updateDetailImageShow(left, rightSlider.value);
    }
    function moveRight(value) {
        var right = Lib.clampRight(leftSlider.value, value);
        rightSlider.value = right;
        showRange(leftSlider.value, right);
        panel.view.item.updateDetailImageShow(leftSlider.value, right);
    }
    // The level labels name the range the picture is stretched with.
    function showRange(low, high) {
        minText.text = Math.round(low);
        maxText.text = Math.round(high);
    }

    Column {
        anchors.fill: parent
        anchors.margins: Style.s(12)
        spacing: Style.s(6)
        Label {
            objectName: "binningText"
            width: parent.width
            text: (panel.view.page && panel.view.page.gelLabels ? qsTr("Resolution/Sensitivity") : qsTr("Binning")) + ": "
                  + panel.view.shownParams.binning
        }
        Label { objectName: "exposureText"; width: parent.width; text: qsTr("Exposure(ms)") + ": " + panel.view.shownParams.exposure }
        Label { objectName: "gainText"; width: parent.width; text: qsTr("Gain") + ": " + panel.view.shownParams.gain }
        Item {
            width: parent.width
            height: Style.s(300)
            visible: panel.view.grey
            ChartView {
                id: chart
                anchors.left: parent.left
                anchors.right: parent.right
                height: Style.s(170)
                legend.visible: false
                antialiasing: false
                margins.left: 0
                margins.right: 0
                margins.top: 0
                margins.bottom: 0
                ValueAxis { id: axisX; min: 0; max: 65535; labelsVisible: false; gridVisible: false }
                ValueAxis { id: axisY; min: 0; max: 1; labelsVisible: false; gridVisible: false }
                LineSeries { id: series; axisX: axisX; axisY: axisY; color: Style.blue; width: 1 }
            }
            Row {
                id: valueRow
                anchors.top: chart.bottom
                width: parent.width
                Label { id: minText; objectName: "minText"; width: parent.width / 2; text: "0" }
                Label { id: maxText; objectName: "maxText"; width: parent.width / 2; text: "65535"; horizontalAlignment: Text.AlignRight }
            }
            Row {
                id: leftRow
                anchors.top: valueRow.bottom
                spacing: Style.s(4)
                StepButton { objectName: "leftDown"; text: "-"; onClicked: panel.moveLeft(leftSlider.value - 300) }
                MySlider {
                    id: leftSlider
                    objectName: "leftSlider"
                    width: Style.s(240)
                    from: 0
                    to: 65534
                    mColor: Style.blue
                    onMoved: panel.moveLeft(value)
                }
                StepButton { objectName: "leftUp"; text: "+"; onClicked: panel.moveLeft(leftSlider.value + 300) }
            }
            Row {
                id: rightRow
                anchors.top: leftRow.bottom
                spacing: Style.s(4)
                StepButton { objectName: "rightDown"; text: "-"; onClicked: panel.moveRight(rightSlider.value - 300) }
                MySlider {
                    id: rightSlider
                    objectName: "rightSlider"
                    width: Style.s(240)
                    from: 1
                    to: 65535
                    value: 65535
                    mColor: Style.blue
                    onMoved: panel.moveRight(value)
                }
                StepButton { objectName: "rightUp"; text: "+"; onClicked: panel.moveRight(rightSlider.value + 300) }
            }
            Row {
                anchors.top: rightRow.bottom
                anchors.topMargin: Style.s(4)
                spacing: Style.s(10)
                ButtonGroup { id: stretchGroup }
                CircleCheckBox {
                    id: rawButton
                    objectName: "rawButton"
                    text: qsTr("Raw")
                    ButtonGroup.group: stretchGroup
                    onClicked: panel.view.raw()
                }
                CircleCheckBox {
                    id: autoButton
                    objectName: "autoButton"
                    text: qsTr("Auto")
                    ButtonGroup.group: stretchGroup
                    onClicked: panel.view.auto()
                }
            }
        }
        Row {
            id: beautify
            objectName: "beautifyRow"
            visible: false
            spacing: Style.s(6)
            Label { anchors.verticalCenter: parent.verticalCenter; text: qsTr("Beautify Level:") }
            MySlider {
                id: beautySlider
                objectName: "beautySlider"
                width: Style.s(140)
                from: 0
                to: 100
                mColor: Style.blue
                onMoved: panel.setBeautify(value)
            }
            Label { anchors.verticalCenter: parent.verticalCenter; text: Math.round(beautySlider.value) + "%" }
            RenameButton { objectName: "beautyReset"; text: qsTr("Reset"); onClicked: { beautySlider.value = 0; panel.setBeautify(0) } }
        }
        Grid {
            columns: 3
            spacing: Style.s(8)
            ActionButton {
                objectName: "genButton"
                text: qsTr("Gen")
                onClicked: panel.view.generate()
            }
            ActionButton {
                objectName: "detailExportButton"
                text: qsTr("Export")
                enabled: !!AuthorityComponent.authImageExport
                onClicked: panel.view.exportStart()
            }
            ActionButton {
                objectName: "detailRenameButton"
                text: qsTr("Rename")
                enabled: !!AuthorityComponent.authImageRename
                // The current experiment's pictures are renamed on its capture page.
                visible: panel.view.renameShown
                onClicked: panel.view.renameStart()
            }
            ActionButton {
                objectName: "closeButton"
                text: qsTr("Close")
                onClicked: panel.view.close()
            }
        }
    }
    function setBeautify(value) {
        UserOpts.curDetailSharpenLevel = Math.round(value);
        panel.view.item.updateDetailImageShow(leftSlider.value, rightSlider.value);
    }
}
