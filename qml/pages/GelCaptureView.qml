import QtQuick 2.15
import QtQuick.Controls 2.15
import QtCharts 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import an.qt.ImagePaintedItem 1.0
import "../components"
import "../dialogs"
import "../js/GelCapture.js" as Gel

// A capture page's controls: the picture with its zoom on the left, lights, filters, camera
// settings, capture and the image list on the right. It shows what its page tells it and asks
// the page through its signals. The gel page and the multi-fluorescence page (multMode) share it.
Item {
    id: view
    // ---- what the page tells ----
    required property bool multMode
    required property bool singleGel
    required property bool fl9bw
    required property bool boardSensing
    required property bool lensPanel
    required property bool captureFinished
    required property bool histogramShow
    required property bool cutOn
    // The light types offered, and their names by type ([chinese, english, shown]).
    required property var lights
    required property var lightNames
    required property bool uv254Enabled
    required property bool uv365Enabled
    // The filter buttons' texts and which of them the cabinet has.
    required property var filterTexts
    required property var shownFilters
    required property int curFilterPos
    required property int curLightType
    required property bool exposureAuto
    required property bool focusAuto
    required property bool ffcVisible
    // The page's filter dialog: the calibration turns the wheel and waits for it.
    required property Popup filterDialog

    // ---- what it asks of the page ----
    signal lightClicked(int type, bool on)
    signal filterChosen(int index)
    signal blueChosen(int value)
    signal moreSettingClosed()
    signal captureClicked()
    signal backRequested(bool retake)
    signal auditRequested(string chinese, string english)
    signal autoExposureRequested(bool on)
    signal aePollStopRequested()
    signal lensAutoFocusRequested()
    signal smbusAutoFocusRequested()
    // The lens is moving: the page shows it until the board reports.
    signal lensMoving()
    // The exposure pop-up set a new binning.
    signal cameraSettingChanged()
    signal exposurePopupOpened(var dialog)
    signal exposurePopupClosed(bool isAuto)
    signal focusPopupOpened(var dialog)
    signal focusPopupClosed(bool isAuto)
    // The multi-fluorescence exposure boxes: every change, and once per edited value.
    signal exposureBoxModified()
    signal exposureBoxEdited()
    // The camera bar showed a new preview exposure (multi-fluorescence).
    signal previewExposureShown(real exposure)
    signal cutChosen(int cutX, int cutY, int cutWidth, int cutHeight)
    signal cutRemovalRequested()
    signal ffcToggled(bool shown)
    // The calibration turned the wheel to position, rotations steps from where it was.
    signal calibrationFilterTurned(int position, int rotations)
    signal stretchChosen(real low, real high)
    signal entrySelected(int index)
    signal renameRequested()
    signal deleteRequested()
    signal exportRequested()
    signal editRequested()
    signal generateRequested()
    // colour is "" for the gel page's own staining.
    signal stainRequested(string colour)
    signal mergeRequested()

    property alias imageItem: imageItem
    property alias imageList: imageListPart.entries
    property alias imageModel: imageModel
    property alias lightRepeater: lightRepeater
    property alias aeBox: aeBox
    property alias afBox: afBox
    property alias colorBox: colorBox
    property alias cameraBar: cameraBar
    property alias lensSlider: lensSlider
    property alias wizard: wizard
    property alias minuteBox: minuteBox
    property alias secondBox: secondBox
    property alias milliBox: milliBox
    readonly property real panelWidth: Style.s(430)

    ListModel { id: imageModel }

    // ---- picture ----
    Rectangle {
        id: pictureBox
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.right: panel.left
        anchors.margins: Style.s(10)
        color: "#111111"
        clip: true
        ImagePaintedItem {
            id: imageItem
            objectName: "imageItem"
            // The item sizes itself to the fitted picture inside the box it is given.
            anchors.centerIn: parent
            width: pictureBox.width
            height: pictureBox.height
            mWidth: pictureBox.width
            mHeight: pictureBox.height
            imageIndex: -3
            mScale: 1.0
            mAdapt: true
        }
        PinchArea {
            objectName: "pinchArea"
            anchors.fill: parent
            property real startScale: 1
            onPinchStarted: startScale = imageItem.mScale
            onPinchUpdated: view.pinchZoom(startScale, pinch.scale)
        }
        WheelHandler {
            onWheel: view.zoomStep(event.angleDelta.y > 0)
        }

        // The whole picture small, with the part the box shows framed, while it does not fit.
        Rectangle {
            id: overview
            objectName: "overview"
            readonly property var shownPart: Gel.visibleFraction(imageItem.x, imageItem.y, imageItem.width, imageItem.height,
                                                                 pictureBox.width, pictureBox.height)
            visible: view.zoomed && !cutChooser.visible
                     && Gel.overviewNeeded(imageItem.width, imageItem.height, pictureBox.width, pictureBox.height)
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.margins: Style.s(8)
            width: Style.s(158)
            height: Math.round(width * imageItem.height / Math.max(1, imageItem.width))
            color: "#000000"
            border.width: 1
            border.color: "#CCCCCC"
            // The same picture again, fitted small; drawn again whenever the large one is.
            ImagePaintedItem {
                id: overviewPicture
                objectName: "overviewPicture"
                x: 1
                y: 1
                width: overview.width - 2
                height: overview.height - 2
                mWidth: width
                mHeight: height
                imageIndex: -3
                mScale: 1.0
                mAdapt: true
            }
            function refresh() {
                if (!visible)
                    return;
                overviewPicture.imageIndex = imageItem.imageIndex;
                overviewPicture.imageName = imageItem.imageName;
                overviewPicture.curFilterPosition = imageItem.curFilterPosition;
                overviewPicture.mAdapt = true;
                overviewPicture.updateImage();
            }
            onVisibleChanged: refresh()
            onWidthChanged: refresh()
            onHeightChanged: refresh()
            Connections {
                target: imageItem
                function onWidthChanged() { overview.refresh() }
                function onHeightChanged() { overview.refresh() }
                function onImageIndexChanged() { overview.refresh() }
            }
            Rectangle {
                objectName: "overviewFrame"
                x: 1 + overview.shownPart.x * (overview.width - 2)
                y: 1 + overview.shownPart.y * (overview.height - 2)
                width: overview.shownPart.width * (overview.width - 2)
                height: overview.shownPart.height * (overview.height - 2)
                color: "transparent"
                border.width: 2
                border.color: "#FF3030"
            }
        }

        // The cut region is drawn over the picture as the box shows it.
        ScreenChoose {
            id: cutChooser
            visible: false
            z: 2
            property point offset: Qt.point(0, 0)
            onSigClose: view.closeCut()
            onSigRoiSetting: {
                var s = imageItem.mScale;
                view.cutChosen(x + Math.round(offset.x / s), y + Math.round(offset.y / s), width, height);
            }
        }

        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: Style.s(8)
            spacing: Style.s(6)
            z: 3
            NormalButton {
                id: cutButton
                objectName: "cutButton"
                visible: view.singleGel
                text: qsTr("Cut")
                checkable: true
                checked: view.cutOn || cutChooser.visible
                onClicked: {
                    checked = Qt.binding(function() { return view.cutOn || cutChooser.visible });
                    if (view.cutOn)
                        view.cutRemovalRequested();
                    else if (cutChooser.visible)
                        view.closeCut();
                    else
                        view.openCut();
                }
            }
            NormalButton { objectName: "zoomInButton"; text: "+"; implicitWidth: Style.s(40); onClicked: view.zoomStep(true) }
            NormalButton { objectName: "zoomOutButton"; text: "-"; implicitWidth: Style.s(40); onClicked: view.zoomStep(false) }
            NormalButton {
                objectName: "fitButton"
                text: qsTr("Fit")
                onClicked: view.fitView()
            }
            NormalButton {
                objectName: "originButton"
                text: "1:1"
                onClicked: { view.closeCut(); view.zoomed = true; imageItem.mAdapt = false; imageItem.mOrigin = true; imageItem.mScale = 1; imageItem.updateImage() }
            }
        }
    }

    // ---- zoom ----
    // Zoomed by the operator (the overview may show); fitting ends it.
    property bool zoomed: false
    property alias cutChooser: cutChooser
    property alias overview: overview
    // A region being drawn belongs to the picture as it was shown: a zoom drops it.
    function zoomTo(scale) {
        closeCut();
        zoomed = true;
        imageItem.mAdapt = false;
        imageItem.mOrigin = false;
        imageItem.mScale = scale;
        imageItem.updateImage();
    }
    // A pinch that began at startScale and has spread by pinchScale.
    function pinchZoom(startScale, pinchScale) { zoomTo(Gel.pinchZoom(startScale, pinchScale)) }
    function zoomStep(zoomIn) { zoomTo(Gel.zoomStepped(imageItem.mScale, zoomIn, view.singleGel)) }
    function fitView() {
        closeCut();
        zoomed = false;
        imageItem.mAdapt = true;
        imageItem.mOrigin = false;
        imageItem.updateImage();
    }

    // ---- cut region ----
    // The chooser covers the part of the drawn picture that the box shows; false when no
    // picture has been drawn yet.
    function openCut() {
        var r = imageItem.getTempRect();
        if (r.width <= 0 || r.height <= 0 || imageItem.mScale <= 0)
            return false;
        var origin = imageItem.mapToItem(pictureBox, r.x, r.y);
        var left = Math.max(0, origin.x), top = Math.max(0, origin.y);
        var right = Math.min(pictureBox.width, origin.x + r.width);
        var bottom = Math.min(pictureBox.height, origin.y + r.height);
        if (right - left < 1 || bottom - top < 1)
            return false;
        cutChooser.x = left;
        cutChooser.y = top;
        cutChooser.width = right - left;
        cutChooser.height = bottom - top;
        cutChooser.offset = Qt.point(left - origin.x, top - origin.y);
        cutChooser.m_MScale = imageItem.mScale;
        cutChooser.selection = Qt.rect(0, 0, 0, 0);
        cutChooser.visible = true;
        return true;
    }
    function closeCut() { cutChooser.visible = false }

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
        // At the larger scale the histogram lies below the fold: the bar shows there is more.
        ScrollBar.vertical: ScrollBar { policy: panel.contentHeight > panel.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded }
        Column {
            id: column
            width: parent.width - Style.s(20)
            x: Style.s(10)
            y: Style.s(10)
            spacing: Style.s(8)

            Text { text: qsTr("Light"); font.family: Style.fontFamily; font.pixelSize: Style.fontLarge; color: Style.textDark }
            Flow {
                width: parent.width
                spacing: Style.s(4)
                Repeater {
                    id: lightRepeater
                    model: view.lights
                    LightButton {
                        objectName: "light_" + modelData
                        mText: view.lightNames[modelData][2]
                        enabled: modelData === EnumOBJ.UV254 ? view.uv254Enabled
                                 : modelData === EnumOBJ.UV365 ? view.uv365Enabled : true
                        onClicked: view.lightClicked(modelData, checked)
                    }
                }
            }
            Flow {
                visible: !view.singleGel
                width: parent.width
                spacing: Style.s(4)
                Repeater {
                    id: filterRepeater
                    model: view.filterTexts
                    FilterButton {
                        objectName: "filter_" + index
                        visible: Boolean(view.shownFilters[index])
                        checked: view.curFilterPos === index
                        mText: modelData
                        onClicked: { checked = Qt.binding(function() { return view.curFilterPos === index }); view.filterChosen(index) }
                    }
                }
                NormalButton {
                    objectName: "moreSettingButton"
                    text: qsTr("More Setting")
                    onClicked: view.openMoreSetting()
                }
            }
            Row {
                visible: view.singleGel
                spacing: Style.s(6)
                NormalButton {
                    id: exposureButton
                    objectName: "exposureButton"
                    text: view.exposureAuto ? qsTr("Exposure (Auto)") : qsTr("Exposure (Manual)")
                    onClicked: view.openPopup(exposureComponent, exposureButton, view.exposureAuto)
                }
                NormalButton {
                    id: focusButton
                    objectName: "focusButton"
                    text: view.focusAuto ? qsTr("Focus (Auto)") : qsTr("Focus (Manual)")
                    onClicked: view.openPopup(focusComponent, focusButton, view.focusAuto)
                }
            }

            // The multi-fluorescence preview exposure: minutes, seconds, milliseconds.
            Row {
                visible: view.multMode && !view.captureFinished
                spacing: Style.s(3)
                Text { anchors.verticalCenter: parent.verticalCenter; text: qsTr("Exposure"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
                MySpinBox { id: minuteBox; objectName: "minuteBox"; implicitWidth: Style.s(96); from: 0; to: 59; onValueModified: view.exposureBoxModified(); onValueEdited: view.exposureBoxEdited() }
                Text { anchors.verticalCenter: parent.verticalCenter; text: "M"; font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textGrey }
                MySpinBox { id: secondBox; objectName: "secondBox"; implicitWidth: Style.s(96); from: 0; to: 59; onValueModified: view.exposureBoxModified(); onValueEdited: view.exposureBoxEdited() }
                Text { anchors.verticalCenter: parent.verticalCenter; text: "S"; font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textGrey }
                MySpinBox {
                    id: milliBox
                    objectName: "milliBox"
                    implicitWidth: Style.s(104)
                    from: 0
                    to: 999
                    textFromValue: function(value) { return ("00" + value).slice(-3) }
                    onValueModified: view.exposureBoxModified()
                    onValueEdited: view.exposureBoxEdited()
                }
                Text { anchors.verticalCenter: parent.verticalCenter; text: "ms"; font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textGrey }
            }

            GelCameraBar {
                id: cameraBar
                width: parent.width
                visible: !view.singleGel && !view.captureFinished
                multMode: view.multMode
                fl9bw: view.fl9bw
                // A new binning changes the picture's size.
                onBinningChanging: imageItem.mAdapt = true
                onAuditRequested: view.auditRequested(chinese, english)
                onPreviewExposureShown: view.previewExposureShown(exposure)
                onAutoExposureRequested: view.autoExposureRequested(on)
            }

            Row {
                visible: view.lensPanel && !view.captureFinished
                spacing: Style.s(4)
                NormalButton { text: "-5"; implicitWidth: Style.s(44); onClicked: lensSlider.moveTo(lensSlider.value - 5) }
                MySlider {
                    id: lensSlider
                    objectName: "lensSlider"
                    width: column.width - Style.s(200)
                    from: 1000
                    to: 3500
                    mColor: Style.blue
                    function moveTo(value) {
                        value = Math.max(from, Math.min(to, Math.round(value)));
                        lensSlider.value = value;
                        UserOpts.curFocusValue = value;
                        UserOpts.saveUserOptsByName(UserOpts.OPT_CurFocusValue);
                        MainCtrl.lensCtrl(value);
                        view.lensMoving();
                    }
                    onPressedChanged: if (!pressed) moveTo(value)
                }
                NormalButton { text: "+5"; implicitWidth: Style.s(44); onClicked: lensSlider.moveTo(lensSlider.value + 5) }
                NormalBlueButton { objectName: "lensAfButton"; text: qsTr("AF"); onClicked: view.lensAutoFocusRequested() }
            }

            Row {
                spacing: Style.s(10)
                visible: !view.captureFinished
                RectCheckBox {
                    id: colorBox
                    objectName: "colorBox"
                    visible: UserOpts.colorMarkerVisible && !view.multMode
                    text: qsTr("Color")
                    ToolTip.visible: hovered
                    ToolTip.text: qsTr("Color shooting requires an additional 20s.")
                    onClicked: {
                        UserOpts.colorMarker = checked;
                        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarker);
                        view.auditRequested("彩色: " + (checked ? "勾选" : "取消勾选"), "Color: " + (checked ? "Check" : "Uncheck"));
                    }
                }
                RectCheckBox {
                    id: aeBox
                    objectName: "aeBox"
                    // Room for the longer label of the multi-fluorescence page.
                    width: implicitWidth + Style.s(12)
                    visible: !view.singleGel
                    text: view.multMode ? qsTr("Auto Exposure") : qsTr("AE")
                    onClicked: view.auditRequested("自动曝光: " + (checked ? "勾选" : "取消勾选"), "Automatic exposure: " + (checked ? "Check" : "Uncheck"))
                }
                RectCheckBox {
                    id: afBox
                    objectName: "afBox"
                    visible: view.lensPanel && !view.multMode
                    text: qsTr("AF")
                    onClicked: view.auditRequested("自动对焦: " + (checked ? "勾选" : "取消勾选"), "Automatic Focus: " + (checked ? "Check" : "Uncheck"))
                }
                NormalBlueButton {
                    objectName: "captureButton"
                    text: qsTr("Capture")
                    onClicked: view.captureClicked()
                }
            }
            // ---- flat-field calibration (gel page) ----
            NormalButton {
                objectName: "ffcButton"
                visible: !view.multMode
                checkable: true
                checked: view.ffcVisible
                text: qsTr("Flat Field Calibrate")
                onClicked: view.ffcToggled(checked)
            }
            FlatFieldWizard {
                id: wizard
                width: parent.width
                visible: !view.multMode && view.ffcVisible && !view.captureFinished
                singleGel: view.singleGel
                fl9bw: view.fl9bw
                boardSensing: view.boardSensing
                captureFinished: view.captureFinished
                curFilterPos: view.curFilterPos
                curLightType: view.curLightType
                cameraBar: view.cameraBar
                filterDialog: view.filterDialog
                onLightClicked: view.lightClicked(type, on)
                onAutoExposureRequested: view.autoExposureRequested(on)
                onAePollStopRequested: view.aePollStopRequested()
                onFilterTurned: view.calibrationFilterTurned(position, rotations)
                onCloseRequested: view.ffcToggled(false)
            }
            Row {
                spacing: Style.s(6)
                visible: view.captureFinished
                NormalButton { objectName: "backButton"; text: qsTr("Back"); onClicked: view.backRequested(false) }
                NormalButton { objectName: "reCaptureButton"; text: qsTr("ReCapture"); onClicked: view.backRequested(true) }
                NormalButton { objectName: "exportButton"; text: qsTr("Export"); onClicked: view.exportRequested() }
                NormalButton { objectName: "editButton"; text: qsTr("Edit"); onClicked: view.editRequested() }
            }

            // ---- image list ----
            GelImageList {
                id: imageListPart
                width: parent.width
                multMode: view.multMode
                imageModel: view.imageModel
                onEntrySelected: view.entrySelected(index)
                onRenameRequested: view.renameRequested()
                onDeleteRequested: view.deleteRequested()
                onGenerateRequested: view.generateRequested()
                onStainRequested: view.stainRequested(colour)
                onMergeRequested: view.mergeRequested()
            }

            // ---- histogram ----
            GelHistogram {
                id: histogram
                width: parent.width
                visible: view.histogramShow
                expMode: view.multMode ? EnumOBJ.Mult : EnumOBJ.Gel
                onStretchChosen: view.stretchChosen(low, high)
                onAuditRequested: view.auditRequested(chinese, english)
            }
        }
    }

    Component { id: exposureComponent; ExposureSettingDialog {} }
    Component { id: focusComponent; FocusSettingDialog {} }
    Component { id: blueComponent; AdaptBlueDialog {} }
    Component { id: moreComponent; GelMoreSettingDialog {} }
    Component { id: multMoreComponent; MultMoreSettingDialog {} }

    function openPopup(component, button, auto) {
        var dialog = component.createObject(view.Overlay.overlay);
        var corner = button.mapToItem(null, button.width, 0);
        var mid = button.mapToItem(null, button.width / 2, 0);
        dialog.setCoordi(corner.x, corner.y, mid.x, button.height, auto);
        if (dialog.sig_AutoExposure) {
            dialog.sig_AutoExposure.connect(function() { view.autoExposureRequested(true) });
            view.exposurePopupOpened(dialog);
            dialog.sig_ShowCameraSettingDialog.connect(function() { view.cameraSettingChanged() });
            dialog.closed.connect(function() { view.exposurePopupClosed(dialog.isAuto); dialog.destroy() });
        } else {
            dialog.sig_AutoFocus.connect(function() { view.smbusAutoFocusRequested() });
            view.focusPopupOpened(dialog);
            dialog.sig_FocusMove.connect(function(value) { MainCtrl._FocusChanged(value); view.lensMoving() });
            dialog.closed.connect(function() { view.focusPopupClosed(dialog.isAuto); dialog.destroy() });
        }
        dialog.open();
        return dialog;
    }
    // The blue light's strength pop-up hangs under the Blue470 button while that light is chosen.
    property var blueDialog: null
    function showBlueDialog(shown) {
        if (!shown) {
            if (blueDialog)
                blueDialog.close();
            return;
        }
        var index = view.lights.indexOf(EnumOBJ.Blue);
        if (blueDialog || index < 0)
            return;
        var button = lightRepeater.itemAt(index);
        var dialog = blueComponent.createObject(view.Overlay.overlay);
        var corner = button.mapToItem(null, button.width, 0);
        var mid = button.mapToItem(null, button.width / 2, 0);
        dialog.setCoordi(corner.x, corner.y, mid.x, button.height);
        dialog.openBlueLight.connect(function(value) { view.blueChosen(value) });
        dialog.closed.connect(function() { view.blueDialog = null; dialog.destroy() });
        blueDialog = dialog;
        dialog.open();
    }
    function openMoreSetting() {
        var dialog = (view.multMode ? multMoreComponent : moreComponent).createObject(view.Overlay.overlay);
        dialog.closed.connect(function() {
            view.moreSettingClosed();
            dialog.destroy();
        });
        dialog.open();
        return dialog;
    }
}
