import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import an.qt.ImagePaintedItem 1.0
import "../components"
import "../js/WesternBlot.js" as WB

// The Western-blot page's controls: the picture with its parameter line and beautify slider on
// the left; camera, capture mode, capture buttons, image list and histogram on the right.
Item {
    id: view
    required property bool kestrix
    required property bool fl9bw
    required property bool previewing
    required property bool captureFinished
    required property bool lighton
    required property bool singleCaptureVisible
    required property bool isProcess
    required property bool rangeOn
    required property string temperatureText
    required property Item overlayItem
    required property WBImageActions actions
    required property bool histogramShow
    property alias imageItem: imageItem
    property alias imageList: images.imageList
    property alias imageModel: images.imageModel
    property alias cameraBar: cameraBar
    property alias mode: mode
    // The estimation region drawn, as fractions of the picture.
    signal rangeDrawn(var fractions)
    signal captureClicked()
    signal backClicked(bool retake)
    signal moreClicked()
    signal stretchChosen(real low, real high)
    signal auditRequested(string chinese, string english)
    readonly property real panelWidth: Style.s(440)
    readonly property var selected: imageList.currentIndex >= 0 && imageList.currentIndex < imageModel.count
                                    ? imageModel.get(imageList.currentIndex) : null

    // ---- picture ----
    Rectangle {
        id: pictureBox
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: infoBar.top
        anchors.right: panel.left
        anchors.margins: Style.s(10)
        color: "#111111"
        clip: true
        ImagePaintedItem {
            id: imageItem
            objectName: "imageItem"
            anchors.centerIn: parent
            width: pictureBox.width
            height: pictureBox.height
            mWidth: pictureBox.width
            mHeight: pictureBox.height
            imageIndex: -3
            mScale: 1.0
            mAdapt: true
        }
        WheelHandler { onWheel: pictureBox.zoomBy(event.angleDelta.y > 0 ? 1.2 : 1 / 1.2) }
        // The estimation region: drawn with the mouse while "Range" is checked.
        MouseArea {
            id: rangeArea
            objectName: "rangeArea"
            anchors.fill: parent
            enabled: view.rangeOn && !view.captureFinished
            property point start
            onPressed: { start = Qt.point(mouse.x, mouse.y); rangeRect.show(start, start) }
            onPositionChanged: rangeRect.show(start, Qt.point(mouse.x, mouse.y))
            onReleased: view.rangeReleased(start, Qt.point(mouse.x, mouse.y))
        }
        Rectangle {
            id: rangeRect
            objectName: "rangeRect"
            visible: view.rangeOn && width > 0
            color: "transparent"
            border.color: "red"
            border.width: 2
            function show(a, b) {
                x = Math.min(a.x, b.x);
                y = Math.min(a.y, b.y);
                width = Math.abs(b.x - a.x);
                height = Math.abs(b.y - a.y);
            }
            function clear() { width = 0; height = 0 }
        }
        function zoomBy(factor) {
            imageItem.mAdapt = false;
            imageItem.mScale = Math.max(0.1, Math.min(5, imageItem.mScale * factor));
            imageItem.updateImage();
        }
        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: Style.s(8)
            spacing: Style.s(6)
            NormalButton { objectName: "zoomInButton"; text: "+"; implicitWidth: Style.s(40); onClicked: pictureBox.zoomBy(1.2) }
            NormalButton { objectName: "zoomOutButton"; text: "-"; implicitWidth: Style.s(40); onClicked: pictureBox.zoomBy(1 / 1.2) }
            NormalButton {
                objectName: "fitButton"
                text: qsTr("Fit")
                onClicked: { imageItem.mAdapt = true; imageItem.mOrigin = false; imageItem.updateImage() }
            }
        }
    }

    // ---- parameter line and beautify slider under the picture ----
    Column {
        id: infoBar
        anchors.left: parent.left
        anchors.right: panel.left
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(10)
        spacing: Style.s(4)
        visible: view.selected !== null
        height: visible ? implicitHeight : 0
        Row {
            spacing: Style.s(24)
            Repeater {
                model: view.selected
                       ? [qsTr("Resolution/Sensitivity: ") + (view.selected.bin === -1 ? "" : view.selected.bin + "*" + view.selected.bin),
                          qsTr("Exposure: ") + WB.paramText(view.selected.exposure, "ms"),
                          qsTr("Gain: ") + WB.paramText(view.selected.gain)]
                       : []
                Text {
                    objectName: "paramText_" + index
                    text: modelData
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontSmall
                    color: Style.textDark
                }
            }
            Text {
                objectName: "temperatureText"
                visible: view.captureFinished && view.temperatureText !== ""
                text: view.temperatureText
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                color: Style.textDark
            }
        }
        Row {
            spacing: Style.s(8)
            visible: UserOpts.isBeautifyPictures && view.captureFinished
                     && WB.beautifyOffered(view.imageList.currentIndex, view.singleCaptureVisible,
                                           !UserOpts.markerCapture, UserOpts.multiCapCount)
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Beautify Level:")
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                color: Style.textDark
            }
            MySlider {
                id: beautify
                objectName: "beautifySlider"
                width: Style.s(220)
                from: 0
                to: 100
                stepSize: 1
                mColor: Style.blue
                onMoved: view.sharpen(Math.round(value), false)
                onPressedChanged: if (!pressed) view.sharpen(Math.round(value), true)
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: Math.round(beautify.value) + "%"
                font.family: Style.fontFamily
                font.pixelSize: Style.fontSmall
                color: Style.textGrey
            }
            NormalButton { text: qsTr("Reset"); onClicked: { beautify.value = 0; view.sharpen(0, true) } }
        }
    }
    // Fractions of the picture as the item shows it (its fitted rectangle inside the box).
    function rangeReleased(a, b) {
        var r = imageItem.getTempRect();
        var origin = imageItem.mapToItem(pictureBox, r.x, r.y);
        var f = WB.rangeFractions(a, b, { x: origin.x, y: origin.y, width: r.width, height: r.height });
        if (f)
            view.rangeDrawn(f);
        else
            rangeRect.clear();
    }
    function clearRange() { rangeRect.clear() }
    function sharpen(level, save) {
        UserOpts.sharpenLevel = level;
        if (save)
            UserOpts.saveUserOptsByName(UserOpts.OPT_SharpenLevel);
        imageItem.updateImage();
    }

    // ---- controls ----
    Flickable {
        id: panel
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: view.panelWidth
        contentHeight: column.height + Style.s(20)
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        Column {
            id: column
            width: parent.width - Style.s(24)
            x: Style.s(10)
            y: Style.s(10)
            spacing: Style.s(8)

            WBCameraBar {
                id: cameraBar
                width: parent.width
                visible: !view.captureFinished
                kestrix: view.kestrix
                fl9bw: view.fl9bw
                previewing: view.previewing
                captureFinished: view.captureFinished
                lighton: view.lighton
                overlayItem: view.overlayItem
            }
            WBCaptureMode {
                id: mode
                width: parent.width
                visible: !view.captureFinished
                kestrix: view.kestrix
                single: view.singleCaptureVisible
                programmeMode: view.isProcess
                rangeOn: view.rangeOn
                overlayItem: view.overlayItem
            }
            Row {
                spacing: Style.s(6)
                NormalBlueButton {
                    objectName: "captureButton"
                    visible: !view.captureFinished
                    text: qsTr("Capture")
                    onClicked: view.captureClicked()
                }
                NormalButton {
                    objectName: "backButton"
                    visible: view.captureFinished
                    text: qsTr("Back")
                    onClicked: view.backClicked(false)
                }
                NormalButton {
                    objectName: "reCaptureButton"
                    visible: view.captureFinished
                    text: qsTr("ReCapture")
                    onClicked: view.backClicked(true)
                }
                NormalButton {
                    objectName: "exportButton"
                    visible: view.captureFinished
                    text: qsTr("Export")
                    onClicked: view.actions.exportSelected()
                }
            }
            WBImageList {
                id: images
                width: parent.width
                kestrix: view.kestrix
                actions: view.actions
                onMoreClicked: view.moreClicked()
            }
            GelHistogram {
                id: histogram
                width: parent.width
                visible: view.histogramShow
                expMode: EnumOBJ.WB
                onStretchChosen: view.stretchChosen(low, high)
                onAuditRequested: view.auditRequested(chinese, english)
            }
        }
    }
}
