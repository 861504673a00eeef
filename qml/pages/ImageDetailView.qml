import QtQuick 2.15
import QtQuick.Controls 2.15
import QtCharts 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import an.qt.DetailImageItem 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Library.js" as Lib
import "../js/Paths.js" as Paths
import "../js/Choosers.js" as Choosers
import an.qt.LocalFolders 1.0

// One stored picture of an image-library page: zoom, overview, histogram with the grey-level
// range, generated copy, export and rename; previous and next step through its folder.
Rectangle {
    id: view
    property var page: null
    property string folder: ""
    property var fileNames: []
    property int currentIndex: -1
    property int dateIndex: 0
    property int expIndex: 0
    property var parameterList: []
    property int minValue: 0
    property int maxValue: 65535
    property bool grey: true
    property var shownParams: ({ binning: "", exposure: "", gain: "" })
    // Pictures of the experiment being captured are renamed on its capture page.
    property bool renameShown: true
    readonly property string fileName: currentIndex >= 0 && currentIndex < fileNames.length ? fileNames[currentIndex] : ""
    readonly property alias item: detailItem
    signal updateImageList(int expDateIndex, int expNameIndex, string imageSavePath)
    color: Style.windowColor

    function active() { return visible && page && MainCtrl.expMode === page.pageMode }
    function restretches() { return Lib.restretches(page.restretchTypes, MainCtrl) }

    function openImage(path, i, j) {
        dateIndex = i;
        expIndex = j;
        folder = Lib.folderOf(path);
        fileNames = MainCtrl.getDirFilesName(folder);
        currentIndex = Math.max(0, fileNames.indexOf(Lib.nameOf(path)));
        parameterList = MainCtrl.loadExpParamByImageSavePath(page.pageMode, folder);
        var experiment = LocalFolders.experimentNameOf(folder);
        renameShown = experiment === "" || experiment !== MainCtrl.curExpName;
        visible = true;
        showCurrent();
    }
    function showCurrent() {
        var path = folder + fileName;
        detailItem.mWidth = imageBox.width;
        detailItem.mHeight = imageBox.height;
        detailItem.mScale = 1.0;
        if (page.fitsWithOrigin)
            detailItem.mOrigin = true;
        else
            detailItem.mAdapt = true;
        detailItem.setDetailImage(path);
        overviewItem.mWidth = Style.s(158);
        overviewItem.mHeight = Style.s(158);
        overviewItem.mAdapt = true;
        overviewItem.setDetailImage(path);
        detailItem.updateHistogramInfo();
        shownParams = Lib.paramsOf(parameterList, fileName, page.wholeBinning);
    }
    function step(delta) {
        var next = currentIndex + delta;
        if (next < 0 || next >= fileNames.length)
            return;
        currentIndex = next;
        showCurrent();
    }
    function setScale(scale) {
        detailItem.mScale = scale;
        detailItem.updateImage();
    }
    function zoomIn() { setScale(Lib.zoomIn(detailItem.mScale)) }
    function zoomOut() { setScale(Lib.zoomOut(detailItem.mScale)) }
    function fit() {
        detailItem.mWidth = imageBox.width;
        detailItem.mHeight = imageBox.height;
        detailItem.mAdapt = true;
        detailItem.updateImage();
    }
    function oneToOne() { setScale(1.0) }
    function setRange(left, right) {
        leftSlider.value = left;
        rightSlider.value = right;
        panel.showRange(left, right);
        detailItem.updateDetailImageShow(left, right);
    }
    function raw() {
        if (restretches())
            detailItem.updateDetailImageShow(0, 65535);
        leftSlider.value = 0;
        rightSlider.value = 65535;
        panel.showRange(0, 65535);
        rawButton.checked = true;
    }
    function auto() {
        if (restretches())
            detailItem.updateDetailImageShow(minValue, maxValue);
        leftSlider.value = minValue;
        rightSlider.value = maxValue;
        panel.showRange(minValue, maxValue);
        autoButton.checked = true;
    }
    function generate() {
        if (detailItem._WBTSGenerateImage())
            page.success(qsTr("Generate success!"));
        else
            page.warn(qsTr("The image could not be generated!"));
    }
    readonly property var exportFilters: ["600dpi (*.tif)", "300dpi (*.tif)", "*.bmp", "*.jpg", "*.png"]
    function exportStart() {
        var chooser = makeChooser();
        Choosers.open(chooser, function(path, index) { view.exportChosen(path, index) });
        return chooser;
    }
    function makeChooser() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        var start = UserOpts.exportPath !== "" ? UserOpts.exportPath : LocalFolders.desktop();
        return Choosers.make(view.Overlay.overlay, { nameFilters: exportFilters, selectedFilterIndex: 0, folder: start,
                                                     fileName: Lib.baseName(fileName) });
    }
    // The file chosen (a URL or a path) with the index of its filter; a file not written is said
    // and recorded as such.
    function exportChosen(fileUrl, index) {
        var file = Paths.urlToLocalPath(fileUrl);
        if (!detailItem.exportImage(Paths.localPathToUrl(file), index)) {
            page.warn(qsTr("Export failed: %1 could not be written.").arg(file));
            page.audit("图片导出失败: " + file, "Images export failed: " + file);
            return false;
        }
        page.success(qsTr("Export success!"));
        page.audit("图片导出: " + file, "Images export: " + file);
        UserOpts.exportPath = file.substring(0, file.lastIndexOf("/"));
        UserOpts.saveUserOptsByName(UserOpts.OPT_ExportPath);
        return true;
    }
    function renameStart() {
        var dialog = page.openRename(1, Lib.baseName(fileName), folder, []);
        dialog.updateNewName.connect(function(newName) { view.renamed(newName) });
    }
    function renamed(newName) {
        var oldName = fileName;
        if (page.fileOps.updateImageName(page.pageMode, folder + oldName, folder + newName) === false) {
            page.warn(qsTr("The image could not be renamed: %1").arg(oldName));
            return;
        }
        parameterList = MainCtrl.loadExpParamByImageSavePath(page.pageMode, folder);
        fileNames = MainCtrl.getDirFilesName(folder);
        currentIndex = Math.max(0, fileNames.indexOf(newName));
        shownParams = Lib.paramsOf(parameterList, fileName, page.wholeBinning);
        page.imageRenamed(folder + oldName, folder + newName);
        updateImageList(dateIndex, expIndex, folder);
        page.audit("重命名图片: 旧名: " + oldName + " 新名: " + newName, "Rename image: Old name: " + oldName + " New name: " + newName);
    }
    function mergeImages(list) { detailItem.mergeImage(list) }
    function close(refresh) {
        var generated = detailItem.isGenerate;
        visible = false;
        folder = "";
        fileNames = [];
        currentIndex = -1;
        if (generated) {
            detailItem.isGenerate = false;
            if (refresh !== false)
                page.updateListView(true);
        }
    }

    onUpdateImageList: if (page) page.reloadThumbnails(expDateIndex, expNameIndex)


    Connections {
        target: detailItem
        function onChangeAxisYMaxAndSliderValueDetail(isAuto, axisYMax, min, max) {
            if (!view.active())
                return;
            view.minValue = min;
            view.maxValue = max;
            axisY.max = Math.max(1, axisYMax);
            var wb = view.page.wholeBinning;
            var stretch = UserOpts.isDetailStretch;
            var showValues = !wb || !isAuto || stretch;
            minText.text = showValues ? min : 0;
            maxText.text = showValues ? max : 65535;
            if (wb ? stretch : isAuto)
                autoButton.checked = true;
            else
                rawButton.checked = true;
            beautify.visible = wb && isAuto && UserOpts.isDetailSharpend;
            sliderTimer.low = (!wb || stretch) ? min : 0;
            sliderTimer.high = (!wb || stretch) ? max : 65535;
            sliderTimer.restart();
        }
        function onIsGrayImage(flag) { view.grey = flag }
        function onMergeNewImage() {
            if (MainCtrl.expMode !== view.page.pageMode)
                return;
            view.page.success(qsTr("Merge success!"));
            view.page.updateListView(true);
        }
    }
    Timer {
        id: sliderTimer
        interval: 10
        property int low: 0
        property int high: 65535
        onTriggered: {
            leftSlider.value = low;
            rightSlider.value = high;
        }
    }

    // ---- The picture
    Rectangle {
        id: imageBox
        objectName: "imageBox"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: infoBar.top
        anchors.right: panel.left
        anchors.margins: Style.s(12)
        color: "#1E1E1E"
        clip: true
        Flickable {
            id: flick
            anchors.fill: parent
            contentWidth: Math.max(width, detailItem.width)
            contentHeight: Math.max(height, detailItem.height)
            boundsBehavior: Flickable.StopAtBounds
            DetailImageItem {
                id: detailItem
                objectName: "detailItem"
                x: Math.max(0, (flick.width - width) / 2)
                y: Math.max(0, (flick.height - height) / 2)
            }
        }
        Text {
            objectName: "unreadableText"
            anchors.centerIn: parent
            width: parent.width - Style.s(40)
            visible: detailItem.unreadable
            text: qsTr("This picture cannot be shown: its file is missing, damaged or too large.")
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            color: Style.textLight
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
        }
        PinchArea {
            anchors.fill: parent
            property real last: 1
            onPinchStarted: last = 1
            onPinchUpdated: {
                var cap = MainCtrl.isSingleGel ? 1.5 : 5;
                view.setScale(Lib.pinched(detailItem.mScale, pinch.scale / last, cap));
                last = pinch.scale;
            }
            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.NoButton
                onWheel: wheel.angleDelta.y > 0 ? view.zoomIn() : view.zoomOut()
            }
        }
        // The overview while the picture is larger than the view, with the part shown framed.
        Rectangle {
            id: overview
            objectName: "overview"
            visible: detailItem.width > imageBox.width || detailItem.height > imageBox.height
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: Style.s(8)
            width: Style.s(158)
            height: overviewItem.height > 0 ? overviewItem.height : Style.s(100)
            color: "#000000"
            border.color: Style.white
            DetailImageItem { id: overviewItem }
            Rectangle {
                color: "transparent"
                border.color: "#FF3B30"
                border.width: 2
                x: flick.contentWidth > 0 ? flick.contentX / flick.contentWidth * overview.width : 0
                y: flick.contentHeight > 0 ? flick.contentY / flick.contentHeight * overview.height : 0
                width: flick.contentWidth > 0 ? Math.min(1, flick.width / flick.contentWidth) * overview.width : 0
                height: flick.contentHeight > 0 ? Math.min(1, flick.height / flick.contentHeight) * overview.height : 0
            }
        }
    }
    ImageDetailBar {
        id: infoBar
        view: view
        anchors.left: parent.left
        anchors.right: panel.left
        anchors.bottom: parent.bottom
        anchors.margins: Style.s(12)
    }
    ImageDetailPanel { id: panel; view: view }
    property alias leftSlider: panel.leftSlider
    property alias rightSlider: panel.rightSlider
    property alias axisY: panel.axisY
    property alias minText: panel.minText
    property alias maxText: panel.maxText
    property alias rawButton: panel.rawButton
    property alias autoButton: panel.autoButton
    property alias beautify: panel.beautify
    property alias series: panel.series
    Component.onCompleted: detailItem.setDetaiLineSeries(panel.series)
}
