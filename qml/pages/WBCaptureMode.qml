import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import an.qt.MainCtrl 1.0
import "../components"
import "../dialogs"
import "../js/WesternBlot.js" as WB
import "../js/FormulaDB.js" as FLJS

// Single or multiple capture: the single exposure with its automatic estimate, the manual
// multiple plan (count, first and delta time, accumulation) or a stored exposure programme.
Column {
    id: mode
    required property bool kestrix
    // Single capture, and a stored programme for the multiple one: the page holds both.
    required property bool single
    required property bool programmeMode
    required property bool rangeOn
    required property Item overlayItem
    property bool loading: false
    property alias aesChecked: aesBox.checked
    property alias programmes: programmeModel
    // The manual plan before a programme was chosen.
    property int originMultiCapture: 0
    property bool originIntergralAcc: true
    property string originExpTimes: ""
    signal singleChosen(bool value)
    signal programmeModeChosen(bool on)
    signal modeClicked(bool single)
    signal rangeClicked(bool on)
    signal audited(string chinese, string english)
    spacing: Style.s(6)

    ListModel { id: programmeModel }

    function setSingle(value) {
        singleChosen(value);
        MainCtrl.singleCaptureVisible = value;
        if (!value) {
            UserOpts.integralAccumulate = true;
            UserOpts.saveUserOptsByName(UserOpts.OPT_IntegralAccumulate);
            accumulateBox.checked = true;
        }
    }
    function load() {
        loading = true;
        var names = [UserOpts.OPT_SingleCapExpTime, UserOpts.OPT_MultiCapCount, UserOpts.OPT_MultiCapFirstTime,
                     UserOpts.OPT_MultiCapFirstTimeUnit, UserOpts.OPT_MultiCapDeltaTime, UserOpts.OPT_MultiCapDeltaTimeUnit,
                     UserOpts.OPT_IntegralAccumulate];
        for (var i = 0; i < names.length; ++i)
            UserOpts.loadUserOptsByName(names[i]);
        showSingleTime(UserOpts.singleCapExpTime);
        countBox.value = UserOpts.multiCapCount;
        firstUnit.currentIndex = UserOpts.multiCapFirstTimeUnit;
        firstBox.value = UserOpts.multiCapFirstTime;
        deltaUnit.currentIndex = UserOpts.multiCapDeltaTimeUnit;
        deltaBox.value = UserOpts.multiCapDeltaTime;
        accumulateBox.checked = UserOpts.integralAccumulate;
        loading = false;
        reloadProgrammes();
    }
    function retranslateUnits() {
        var first = firstUnit.currentIndex, delta = deltaUnit.currentIndex;
        var units = [qsTranslate("CaptureComboBox", "Ms"), qsTranslate("CaptureComboBox", "S"), qsTranslate("CaptureComboBox", "M")];
        firstUnit.model = units;
        deltaUnit.model = units;
        firstUnit.currentIndex = first;
        deltaUnit.currentIndex = delta;
    }

    // ---- single ----
    function showSingleTime(ms) {
        var parts = WB.splitMs(ms);
        loading = true;
        minuteBox.value = parts.minute;
        secondBox.value = parts.second;
        msBox.value = parts.millisecond;
        loading = false;
    }
    function saveSingleTime() {
        storeSingleTime();
        auditSingleTime();
    }
    function storeSingleTime() {
        UserOpts.singleCapExpTime = WB.joinMs(minuteBox.value, secondBox.value, msBox.value);
        UserOpts.saveUserOptsByName(UserOpts.OPT_SingleCapExpTime);
    }
    function auditSingleTime() {
        audit("曝光时间设置: " + minuteBox.value + "分" + secondBox.value + "秒" + msBox.value + "毫秒",
                   "Exposure Setting: " + minuteBox.value + "m" + secondBox.value + "s" + msBox.value + "ms");
    }
    // Stored on every keystroke, audited once per edited value.
    function singleTimeEdited() { if (!loading) storeSingleTime() }
    function singleTimeAudit() { if (!loading) auditSingleTime() }

    // ---- multiple, manual ----
    // Every manual change makes the threads use the manual plan again.
    function manualChanged(option, apply) {
        if (loading)
            return;
        apply();
        UserOpts.saveUserOptsByName(option);
        UserOpts.multiCapExpTimesChanged = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimesChanged);
    }
    function manualPlan() {
        return { count: countBox.value, first: firstBox.value * WB.unitMs(firstUnit.currentIndex),
                 delta: deltaBox.value * WB.unitMs(deltaUnit.currentIndex), accumulate: accumulateBox.checked };
    }

    // The whole capture's time as the progress shows it, from the stored plan.
    function plannedTotalMs(previewExposure) {
        var names = [UserOpts.OPT_SingleCapExpTime, UserOpts.OPT_MarkerCapture, UserOpts.OPT_MultiCapExpTimesChanged,
                     UserOpts.OPT_MultiCapExpTimes, UserOpts.OPT_MultiCapCount, UserOpts.OPT_IntegralAccumulate,
                     UserOpts.OPT_ColorMarker];
        for (var i = 0; i < names.length; ++i)
            UserOpts.loadUserOptsByName(names[i]);
        var plan = manualPlan();
        return WB.captureTotalMs({ kestrix: kestrix, single: single, singleExp: UserOpts.singleCapExpTime,
                                   preview: previewExposure, marker: !UserOpts.markerCapture,
                                   timesChanged: UserOpts.multiCapExpTimesChanged, expTimes: UserOpts.multiCapExpTimes,
                                   count: UserOpts.multiCapCount, first: plan.first, delta: plan.delta,
                                   accumulate: UserOpts.integralAccumulate,
                                   colorMarker: !kestrix && UserOpts.colorMarkerVisible && UserOpts.colorMarker });
    }

    // ---- multiple, programme ----
    function reloadProgrammes() {
        var chosen = programmeBox.currentIndex >= 0 && programmeBox.currentIndex < programmeModel.count
                     ? programmeModel.get(programmeBox.currentIndex).id : -1;
        FLJS.dbInit();
        programmeModel.clear();
        FLJS.dbReadForCombox(programmeModel);
        var index = -1;
        for (var i = 0; i < programmeModel.count; ++i)
            if (programmeModel.get(i).id === chosen)
                index = i;
        programmeBox.currentIndex = index;
    }
    function hasProgramme() { return programmeBox.currentIndex >= 0 && programmeBox.currentIndex < programmeModel.count }
    function chooseProgramme(index) { programmeBox.currentIndex = index }
    // Writes the chosen programme where the capture threads read it; false without one.
    function applyProgramme() {
        if (!hasProgramme())
            return false;
        var o = WB.programmeOptions(programmeModel.get(programmeBox.currentIndex));
        UserOpts.multiCapExpTimesChanged = o.multiCapExpTimesChanged;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimesChanged);
        UserOpts.multiCapCount = o.multiCapCount;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapCount);
        UserOpts.integralAccumulate = o.integralAccumulate;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IntegralAccumulate);
        UserOpts.multiCapExpTimes = o.multiCapExpTimes;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimes);
        return true;
    }
    function setProgrammeMode(on) {
        if (on === programmeMode)
            return;
        if (on) {
            UserOpts.loadUserOptsByName(UserOpts.OPT_MultiCapCount);
            UserOpts.loadUserOptsByName(UserOpts.OPT_IntegralAccumulate);
            UserOpts.loadUserOptsByName(UserOpts.OPT_MultiCapExpTimes);
            originMultiCapture = UserOpts.multiCapCount;
            originIntergralAcc = UserOpts.integralAccumulate;
            originExpTimes = UserOpts.multiCapExpTimes;
            reloadProgrammes();
        } else {
            // Back to the manual plan as it was: the programme's count and accumulation go.
            UserOpts.multiCapExpTimesChanged = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimesChanged);
            UserOpts.multiCapCount = originMultiCapture;
            UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapCount);
            UserOpts.integralAccumulate = originIntergralAcc;
            UserOpts.saveUserOptsByName(UserOpts.OPT_IntegralAccumulate);
            // A programme overwrote the exposure list; the manual one comes back with the rest.
            UserOpts.multiCapExpTimes = originExpTimes;
            UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimes);
            loading = true;
            countBox.value = originMultiCapture;
            accumulateBox.checked = originIntergralAcc;
            loading = false;
        }
        programmeModeChosen(on);
    }
    // The programme dialogs write their audit rows through audit().
    function audit(chinese, english) { audited(chinese, english) }
    Component { id: listComponent; ProgramListDialog {} }
    Component { id: saveComponent; ProgramSaveDialog {} }
    function openProgrammeList() {
        var dialog = listComponent.createObject(overlayItem, { auditHost: mode });
        dialog.closed.connect(function() { reloadProgrammes(); dialog.destroy() });
        dialog.open();
        return dialog;
    }
    function openSaveDialog() {
        var plan = manualPlan();
        var dialog = saveComponent.createObject(overlayItem, { auditHost: mode, captureCount: plan.count,
                                                                 firstTime: plan.first, increment: plan.delta,
                                                                 integral: plan.accumulate });
        dialog.closed.connect(function() { reloadProgrammes(); dialog.destroy() });
        dialog.open();
        return dialog;
    }

    // ---- controls ----
    Row {
        spacing: Style.s(6)
        BlueRectButton {
            objectName: "singleButton"
            checkable: true
            checked: mode.single
            text: qsTr("Single")
            onClicked: { checked = Qt.binding(function() { return mode.single }); mode.modeClicked(true) }
        }
        BlueRectButton {
            objectName: "multiButton"
            checkable: true
            checked: !mode.single
            text: qsTr("Multi")
            onClicked: { checked = Qt.binding(function() { return !mode.single }); mode.modeClicked(false) }
        }
    }
    Row {
        visible: mode.single
        spacing: Style.s(4)
        CaptureSpinBox { id: minuteBox; objectName: "minuteBox"; from: 0; to: 59; onValueModified: mode.singleTimeEdited(); onValueEdited: mode.singleTimeAudit() }
        Text { anchors.verticalCenter: parent.verticalCenter; text: qsTr("M"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        CaptureSpinBox { id: secondBox; objectName: "secondBox"; from: 0; to: 59; onValueModified: mode.singleTimeEdited(); onValueEdited: mode.singleTimeAudit() }
        Text { anchors.verticalCenter: parent.verticalCenter; text: qsTr("S"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        CaptureSpinBox { id: msBox; objectName: "msBox"; from: 0; to: 999; mMaximumLength: 3; onValueModified: mode.singleTimeEdited(); onValueEdited: mode.singleTimeAudit() }
        Text { anchors.verticalCenter: parent.verticalCenter; text: qsTr("Ms"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
    }
    Row {
        visible: mode.single
        spacing: Style.s(10)
        NormalButton {
            objectName: "zeroButton"
            text: qsTr("Zero")
            onClicked: { mode.showSingleTime(0); mode.saveSingleTime() }
        }
        NormalButton {
            objectName: "rangeButton"
            visible: !mode.kestrix
            checkable: true
            checked: mode.rangeOn
            text: qsTr("Range")
            onClicked: { mode.rangeClicked(checked); checked = Qt.binding(function() { return mode.rangeOn }) }
        }
        RectCheckBox {
            id: aesBox
            objectName: "aesBox"
            checked: true
            text: qsTr("AES")
            onClicked: mode.audited("自动预估: " + (checked ? "勾选" : "取消勾选"), "Auto Estimate: " + (checked ? "Check" : "Uncheck"))
        }
    }
    Row {
        visible: !mode.single
        spacing: Style.s(6)
        BlueRectButton {
            objectName: "programButton"
            checkable: true
            checked: mode.programmeMode
            text: qsTr("Program")
            onClicked: { checked = Qt.binding(function() { return mode.programmeMode }); mode.setProgrammeMode(true) }
        }
        BlueRectButton {
            objectName: "manualButton"
            checkable: true
            checked: !mode.programmeMode
            text: qsTr("Manual")
            onClicked: { checked = Qt.binding(function() { return !mode.programmeMode }); mode.setProgrammeMode(false) }
        }
    }
    Grid {
        visible: !mode.single && !mode.programmeMode
        columns: 3
        rowSpacing: Style.s(4)
        columnSpacing: Style.s(6)
        verticalItemAlignment: Grid.AlignVCenter
        Text { text: qsTr("Capture\nCount:"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        CaptureSpinBox {
            id: countBox
            objectName: "countBox"
            from: 2
            to: 99
            onValueModified: mode.manualChanged(UserOpts.OPT_MultiCapCount, function() { UserOpts.multiCapCount = value })
        }
        Item { width: 1; height: 1 }
        Text { text: qsTr("First\nTime:"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        CaptureSpinBox {
            id: firstBox
            objectName: "firstBox"
            from: 1
            to: WB.unitMax(firstUnit.currentIndex)
            mMaximumLength: 3
            onValueModified: mode.manualChanged(UserOpts.OPT_MultiCapFirstTime, function() { UserOpts.multiCapFirstTime = value })
        }
        CaptureComboBox {
            id: firstUnit
            objectName: "firstUnit"
            onActivated: mode.manualChanged(UserOpts.OPT_MultiCapFirstTimeUnit, function() {
                UserOpts.multiCapFirstTimeUnit = index;
                firstBox.value = Math.min(firstBox.value, WB.unitMax(index));
                UserOpts.multiCapFirstTime = firstBox.value;
                UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapFirstTime);
            })
        }
        Text { text: qsTr("Delta\nTime:"); font.family: Style.fontFamily; font.pixelSize: Style.fontSmall; color: Style.textDark }
        CaptureSpinBox {
            id: deltaBox
            objectName: "deltaBox"
            from: 1
            to: WB.unitMax(deltaUnit.currentIndex)
            mMaximumLength: 3
            onValueModified: mode.manualChanged(UserOpts.OPT_MultiCapDeltaTime, function() { UserOpts.multiCapDeltaTime = value })
        }
        CaptureComboBox {
            id: deltaUnit
            objectName: "deltaUnit"
            onActivated: mode.manualChanged(UserOpts.OPT_MultiCapDeltaTimeUnit, function() {
                UserOpts.multiCapDeltaTimeUnit = index;
                deltaBox.value = Math.min(deltaBox.value, WB.unitMax(index));
                UserOpts.multiCapDeltaTime = deltaBox.value;
                UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapDeltaTime);
            })
        }
    }
    Row {
        visible: !mode.single && !mode.programmeMode
        spacing: Style.s(10)
        RectCheckBox {
            id: accumulateBox
            objectName: "accumulateBox"
            text: qsTr("Integral Accumulate")
            onClicked: mode.manualChanged(UserOpts.OPT_IntegralAccumulate, function() { UserOpts.integralAccumulate = checked })
        }
        NormalButton { objectName: "saveProgramButton"; text: qsTr("Save"); onClicked: mode.openSaveDialog() }
    }
    Row {
        visible: !mode.single && mode.programmeMode
        spacing: Style.s(6)
        ComboBox {
            id: programmeBox
            objectName: "programmeBox"
            width: Style.s(220)
            model: programmeModel
            textRole: "name"
            currentIndex: -1
            displayText: currentIndex >= 0 ? currentText : ""
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
        }
        NormalButton { objectName: "manageButton"; text: qsTr("Manage"); onClicked: mode.openProgrammeList() }
    }
    Text {
        objectName: "programmeTimes"
        visible: !mode.single && mode.programmeMode && mode.hasProgramme()
        width: mode.width
        wrapMode: Text.Wrap
        text: mode.hasProgramme() ? qsTr("Exposure time(s): ") + WB.detailText(programmeModel.get(programmeBox.currentIndex).detail) : ""
        font.family: Style.fontFamily
        font.pixelSize: Style.fontSmall
        color: Style.textGrey
    }
}
