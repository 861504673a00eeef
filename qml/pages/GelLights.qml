import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import an.qt.ImagePaintedItem 1.0
import "../dialogs"
import "../js/GelCapture.js" as Gel

// The gel page's lights and filter wheel: which light is on (by the board's light commands on the
// sensing cabinets), which filter is in, and the wheel moves a light change brings.
QtObject {
    id: lighting
    required property bool boardSensing
    required property bool singleGel
    // Reports that come after the page was left change no light.
    required property bool entered
    required property bool captureFinished
    // The door closing starts automatic exposure instead of switching the lights.
    required property bool doorStartsExposure
    // The wheel's position the main window keeps across pages (-1: not known yet).
    required property int globalFilterPos
    required property var lights
    required property var lightNames
    required property var filterAuditTexts
    required property Repeater lightRepeater
    required property ImagePaintedItem imageItem
    required property LoadingDialog cameraDialog
    required property LoadingDialog filterDialog

    property bool dooropen: false
    property bool cuton: false
    // The first light after entering the page: the wheel turns a full round.
    property bool firstEntered: false
    property int curLightType: EnumOBJ.Unknow_LightType
    property bool lighton: false
    property int curBoardType: 0
    property int curFilterPos: -1
    property int rotateCount: 0
    // A wheel move under way ends in automatic exposure.
    property bool filterExposure: false

    signal audited(string chinese, string english)
    // The preview is to go on under the new light (showing the camera dialog when asked).
    signal previewWanted(bool showDialog)
    signal blueDialogWanted(bool shown)
    signal globalFilterSet(int pos)
    // The wheel stopped after a move that ends in automatic exposure.
    signal wheelExposureWanted()
    // The door closed on a preview.
    signal exposureWanted()
    // The door closed: a capture follows when automatic capture is on.
    signal autoCaptureArmed()
    // The board named its light after the page was entered: the preview starts.
    signal previewStartWanted()
    signal warning(string text)

    property Timer filterMatchPause: Timer { interval: 300; onTriggered: lighting.rotateFilter() }
    property Timer secondMove: Timer {
        property int target: 0
        interval: 4500
        function restartFor(pos) { target = pos; restart() }
        onTriggered: MainCtrl._GelTSFilterChanged(target)
    }
    property Timer filterTimer: Timer { onTriggered: lighting.filterDialog.close() }

    function setLightChecked(type) {
        for (var i = 0; i < lightRepeater.count; ++i)
            lightRepeater.itemAt(i).checked = lights[i] === type;
        if (type !== EnumOBJ.Blue)
            blueDialogWanted(false);
    }
    // The light the board last confirmed, as the buttons and the next capture's name have it.
    function showConfirmedLight() {
        setLightChecked(MainCtrl.litLight());
        curLightType = MainCtrl.litLight();
        lighton = curLightType !== EnumOBJ.Unknow_LightType;
    }
    function lightAudit(type, on) {
        var names = lightNames[type];
        audited("光源设置: " + names[0] + (on ? "开" : "关"), "Light settings: " + names[1] + " light " + (on ? "on" : "off"));
    }
    function lightClicked(type, checked) {
        if (checked) {
            setLightChecked(type);
            chooseLight(type);
            lightAudit(type, true);
        } else {
            if (boardSensing)
                MainCtrl.lightCmd(type, false);
            else
                MainCtrl.lightChange(false);
            blueDialogWanted(false);
            lighton = false;
            curLightType = EnumOBJ.Unknow_LightType;
            lightAudit(type, false);
        }
    }
    function chooseLight(type) {
        curLightType = type;
        if (!boardSensing) {
            var match = Gel.matchedFilter(type, UserOpts.autoMatchFilter, MainCtrl.isInFFC(), UserOpts);
            if (match >= 0 && match !== curFilterPos) {
                rotateCount = Gel.rotateCount(curFilterPos, match);
                MainCtrl._GelTSLightChanged(type, true, match);
                curFilterPos = match;
                imageItem.curFilterPosition = match;
                showFilterDialog();
                previewWanted(false);
            } else {
                MainCtrl._GelTSLightChanged(type, false, 0);
                previewWanted(true);
            }
            lighton = true;
            return;
        }
        var on = false;
        if (type === EnumOBJ.White) {
            curBoardType = 1;
            on = !dooropen;
        } else if (type === EnumOBJ.UV302 || type === EnumOBJ.Blue) {
            curBoardType = type === EnumOBJ.UV302 ? 2 : 3;
            on = !dooropen || cuton;
        } else {
            curBoardType = 4;
            on = !dooropen;
        }
        blueDialogWanted(type === EnumOBJ.Blue);
        if (on) {
            MainCtrl.lightCmd(type, true);
            if (type === EnumOBJ.Blue) {
                UserOpts.loadUserOptsByName(UserOpts.OPT_BluePercent);
                MainCtrl._GelTS20BWOpenBlueLight(UserOpts.bluePercent);
            }
            lighton = true;
            if (!singleGel)
                filterMatchPause.restart();
        } else if (dooropen && cuton && lighton) {
            MainCtrl.lightCmd(type, false);
            lighton = false;
        }
        previewWanted(true);
    }
    // A strength chosen in the blue light's pop-up, applied as the light is switched on.
    function blueChosen(value) {
        if (curLightType === EnumOBJ.Blue && (!dooropen || cuton))
            MainCtrl._GelTS20BWOpenBlueLight(value);
    }
    function chooseFilter(i) {
        if (i === curFilterPos)
            return;
        MainCtrl._GelTSFilterChanged(i);
        rotateCount = Gel.rotateCount(curFilterPos < 0 ? 0 : curFilterPos, i);
        curFilterPos = i;
        imageItem.curFilterPosition = i;
        audited("滤光片切换: " + filterAuditTexts[i], "Filter change: " + filterAuditTexts[i]);
        showFilterDialog();
    }
    // The wheel's move ends in automatic exposure (the new filter passes another share of the
    // light), unless the caller sets the exposure itself.
    function showFilterDialog(noExposure) {
        cameraDialog.close();
        filterExposure = noExposure !== true;
        filterDialog.text = qsTr("Filter Switching...");
        filterDialog.open();
        filterTimer.interval = Gel.filterDialogMs(rotateCount);
        filterTimer.restart();
    }
    // The wheel reported its stop.
    function filterArrived() {
        filterTimer.stop();
        filterDialog.close();
    }
    // The filter dialog closed.
    function wheelStopped() {
        if (!filterExposure)
            return;
        filterExposure = false;
        wheelExposureWanted();
    }
    // The filter of the light that is on, after a light change of the sensing groups.
    function rotateFilter() {
        // The calibration turns the wheel itself.
        if (MainCtrl.isInFFC())
            return;
        UserOpts.loadUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        var target = Gel.matchedFilter(curLightType, UserOpts.autoMatchFilter, MainCtrl.isInFFC(), UserOpts);
        var global = globalFilterPos;
        if (target >= 0 && target !== curFilterPos) {
            if (global === -1 && curFilterPos === -1) {
                console.log("首次进入软件，进入凝胶成像模式。");
                MainCtrl._GelTSFilterChanged(EnumOBJ.F_Reset);
                rotateCount = 7;
                if (target !== 0)
                    secondMove.restartFor(target);
            } else {
                rotateCount = firstEntered ? 7 : Gel.rotateCount(curFilterPos < 0 ? global : curFilterPos, target);
                MainCtrl._GelTSFilterChanged(target);
            }
            curFilterPos = target;
            showFilterDialog();
        } else if (curFilterPos === -1 || target < 0) {
            MainCtrl._GelTSFilterChanged(EnumOBJ.F_Reset);
            rotateCount = global === -1 ? 7 : Gel.rotateCount(global, 0);
            console.log(global === -1 ? "初次进入界面。" : "无需旋转，初次进入界面。");
            curFilterPos = 0;
            globalFilterSet(0);
            showFilterDialog();
        }
        imageItem.curFilterPosition = curFilterPos;
    }

    // The board's reports on the door, the lights and the light board fitted.
    property Connections boardEvents: Connections {
        target: MainCtrl
        function onDoorStatusChange(open) {
            lighting.dooropen = open;
            if (!lighting.entered)
                return;
            // These cabinets only start automatic exposure when the door closes on a preview.
            if (lighting.doorStartsExposure) {
                if (!open && !lighting.captureFinished && !lighting.singleGel)
                    lighting.exposureWanted();
                return;
            }
            if (!lighting.boardSensing)
                return;
            if (open && lighting.curLightType !== EnumOBJ.Unknow_LightType) {
                lighting.setLightChecked(-1);
                MainCtrl.lightCmd(lighting.curLightType, false);
            } else if (!open) {
                lighting.autoCaptureArmed();
                MainCtrl.requestBoardType();
            }
        }
        function onCutStatusChange(on) {
            lighting.cuton = on;
            if (!lighting.entered || !lighting.boardSensing)
                return;
            if (on)
                MainCtrl.requestBoardType();
            else if (lighting.lighton && lighting.curLightType !== EnumOBJ.White) {
                MainCtrl.lightCmd(lighting.curLightType, false);
                lighting.setLightChecked(-1);
                // No light: nothing to expose for.
                lighting.filterExposure = false;
                lighting.filterDialog.close();
            }
        }
        function onLightStatusChange(on) {
            if (!on) {
                lighting.setLightChecked(-1);
                lighting.lighton = false;
                // The next capture is not named after a light that is off.
                lighting.curLightType = EnumOBJ.Unknow_LightType;
            }
        }
        // The board did not answer a light command: the buttons show the light it last confirmed.
        function onLightCommandUnanswered(lightType, on) {
            lighting.showConfirmedLight();
            if (lighting.entered)
                lighting.warning(qsTr("The cabinet did not answer the light command."));
        }
        // A command told missed was carried out after all: the buttons follow the cabinet.
        function onBoardConfirmedLate() {
            if (!lighting.entered)
                return;
            lighting.showConfirmedLight();
            if (MainCtrl.confirmedFilter() >= 0) {
                lighting.curFilterPos = MainCtrl.confirmedFilter();
                lighting.imageItem.curFilterPosition = lighting.curFilterPos;
            }
        }
        // The board did not turn the wheel: the buttons show the filter it last confirmed.
        function onFilterCommandUnanswered(position, withLight) {
            if (!lighting.entered)
                return;
            lighting.curFilterPos = position;
            lighting.imageItem.curFilterPosition = position;
            lighting.filterExposure = false;
            lighting.filterTimer.stop();
            lighting.filterDialog.close();
            // A light sent with the filter has said it already.
            if (!withLight)
                lighting.warning(qsTr("The cabinet did not answer the filter command."));
        }
        // The door stayed locked, and with it the light the board still has on.
        function onDoorCommandUnanswered(open) {
            lighting.dooropen = open;
            if (lighting.entered && lighting.boardSensing && !open) {
                lighting.setLightChecked(MainCtrl.litLight());
                lighting.lighton = MainCtrl.litLight() !== EnumOBJ.Unknow_LightType;
            }
        }
        function onTempWarning() {
            if (!lighting.entered)
                return;
            lighting.warning(qsTr("Temperature too high, light turned off!"));
            lighting.setLightChecked(-1);
        }
        function onUpdateBoardType(boardType) {
            lighting.curBoardType = boardType;
            if (!lighting.entered || !lighting.boardSensing)
                return;
            var light = boardType === 1 ? EnumOBJ.White : boardType === 2 ? EnumOBJ.UV302 : boardType === 3 ? EnumOBJ.Blue : -1;
            if (light >= 0) {
                lighting.setLightChecked(light);
                lighting.chooseLight(light);
            } else {
                MainCtrl.lightCmd(EnumOBJ.Unknow_LightType, false);
            }
            if (lighting.firstEntered) {
                if (lighting.singleGel)
                    lighting.firstEntered = false;
                lighting.previewStartWanted();
                if (!lighting.singleGel && light < 0)
                    lighting.rotateFilter();
                lighting.firstEntered = false;
            } else {
                lighting.previewWanted(true);
            }
        }
    }
}
