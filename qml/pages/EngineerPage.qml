import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Configuration.js" as Config
import "../js/NumberRules.js" as Rules
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/Popups.js" as Popups

// The engineer interface: behind a fixed password, the capture ranges, focus start positions,
// exposure targets and the colour-marker switch.
Item {
    id: page
    objectName: "EngineerPage"
    property bool unlocked: false
    readonly property bool tipsVisible: Config.engineerTipsVisible(MainCtrl)

    function showError(text) {
        return Popups.message(page.Overlay.overlay, "qrc:/Image/error.png", qsTr("Error"), text, false);
    }
    function lock() {
        unlocked = false;
        passwordField.text = "";
    }
    function confirmPassword() {
        if (passwordField.text === "plorvek") {
            fillForm();
            unlocked = true;
        } else {
            showError(qsTr("Password error!"));
        }
    }
    function fillForm() {
        var fields = [[gelX, UserOpts.OPT_GelX, "gelX"], [gelY, UserOpts.OPT_GelY, "gelY"],
                      [gelW, UserOpts.OPT_GelW, "gelW"], [gelH, UserOpts.OPT_GelH, "gelH"],
                      [wbX, UserOpts.OPT_WBX, "wbX"], [wbY, UserOpts.OPT_WBY, "wbY"],
                      [wbW, UserOpts.OPT_WBW, "wbW"], [wbH, UserOpts.OPT_WBH, "wbH"],
                      [fluX, UserOpts.OPT_FluX, "fluX"], [fluY, UserOpts.OPT_FluY, "fluY"],
                      [fluW, UserOpts.OPT_FluW, "fluW"], [fluH, UserOpts.OPT_FluH, "fluH"],
                      [focusGel, UserOpts.OPT_LastFocusGel, "lastFocusGel"],
                      [focusUpWb, UserOpts.OPT_LastFocusUpWb, "lastFocusUpWb"],
                      [focusDownWb, UserOpts.OPT_LastFocusDownWb, "lastFocusDownWb"],
                      [focusFul, UserOpts.OPT_LastFocusFul, "lastFocusFul"],
                      [grayTarget, UserOpts.OPT_GrayTarget, "grayTarget"]];
        for (var i = 0; i < fields.length; ++i) {
            UserOpts.loadUserOptsByName(fields[i][1]);
            fields[i][0].text = String(UserOpts[fields[i][2]]);
        }
        averageGray.text = String(UserOpts.averageGrayThd);
        UserOpts.loadUserOptsByName(UserOpts.OPT_ColorMarkerVisible);
        colorMarkerPair.setValue(UserOpts.colorMarkerVisible);
    }
    // Checks the fields of a group in order; the first bad one stops the save with its message.
    // entries: [field, option, property, low, high]
    function saveGroup(entries) {
        var values = [];
        for (var i = 0; i < entries.length; ++i) {
            var result = Rules.parseWhole(entries[i][0].text, entries[i][3], entries[i][4]);
            if (!result.ok) {
                showError(qsTranslate("EngineerPage", result.error));
                return false;
            }
            values.push(result.value);
        }
        for (i = 0; i < entries.length; ++i) {
            UserOpts[entries[i][2]] = values[i];
            UserOpts.saveUserOptsByName(entries[i][1]);
        }
        lock();
        return true;
    }
    function saveGelRange() {
        if (!saveGroup([[gelX, UserOpts.OPT_GelX, "gelX"], [gelY, UserOpts.OPT_GelY, "gelY"],
                        [gelW, UserOpts.OPT_GelW, "gelW"], [gelH, UserOpts.OPT_GelH, "gelH"]]))
            return;
        // A new gel range makes the stored flat-field references useless.
        UserOpts.isFFCOpen = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsFFCOpen);
        MainCtrl.removeCorrectionData();
    }
    function saveWbRange() {
        saveGroup([[wbX, UserOpts.OPT_WBX, "wbX"], [wbY, UserOpts.OPT_WBY, "wbY"],
                   [wbW, UserOpts.OPT_WBW, "wbW"], [wbH, UserOpts.OPT_WBH, "wbH"]]);
    }
    function saveFluRange() {
        saveGroup([[fluX, UserOpts.OPT_FluX, "fluX"], [fluY, UserOpts.OPT_FluY, "fluY"],
                   [fluW, UserOpts.OPT_FluW, "fluW"], [fluH, UserOpts.OPT_FluH, "fluH"]]);
    }
    function saveFocus() {
        saveGroup([[focusGel, UserOpts.OPT_LastFocusGel, "lastFocusGel"],
                   [focusUpWb, UserOpts.OPT_LastFocusUpWb, "lastFocusUpWb"],
                   [focusDownWb, UserOpts.OPT_LastFocusDownWb, "lastFocusDownWb"],
                   [focusFul, UserOpts.OPT_LastFocusFul, "lastFocusFul"]]);
    }
    function saveGrayTarget() {
        saveGroup([[grayTarget, UserOpts.OPT_GrayTarget, "grayTarget", 50, 200]]);
    }
    function saveAverageGray() {
        var result = Rules.parseWhole(averageGray.text, 1, 500);
        if (!result.ok) {
            showError(qsTranslate("EngineerPage", result.error));
            return;
        }
        UserOpts.averageGrayThd = result.value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AverageGrayThd);
        MainCtrl._GelTS20BWSetAverageGrayThd(result.value);
        lock();
    }
    function saveColorMarker() {
        var on = colorMarkerPair.yes;
        UserOpts.colorMarkerVisible = on;
        if (!on) {
            UserOpts.colorMarker = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarker);
        }
        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarkerVisible);
        Audit.write(ATJS.ModuleType.Setting, "彩色Marker: " + Audit.openClose(on), "Color Marker: " + Audit.openCloseEn(on));
        lock();
    }

    onVisibleChanged: if (!visible) lock()

    // Texts the checks return, for the translation.
    readonly property var messages: [QT_TRANSLATE_NOOP("EngineerPage", "Input error!"),
                                     QT_TRANSLATE_NOOP("EngineerPage", "Out of range!")]

    component NumberField: Row {
        id: numberRow
        property alias label: caption.text
        property alias placeholderText: field.placeholderText
        property alias text: field.text
        property alias field: field
        // Bounds of an int: longer numbers are refused as they are typed, never wrapped.
        property int low: -2147483647 - 1
        property int high: 2147483647
        spacing: Style.s(6)
        Text {
            id: caption
            anchors.verticalCenter: parent.verticalCenter
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Style.textGrey
        }
        TextField {
            id: field
            width: Style.s(84)
            height: Style.s(32)
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            selectByMouse: true
            validator: IntValidator { bottom: numberRow.low; top: numberRow.high }
            onPressed: MainCtrl.showScreenKeyboard(true)
            Keys.onReturnPressed: MainCtrl.showScreenKeyboard(false)
            Keys.onEnterPressed: MainCtrl.showScreenKeyboard(false)
        }
    }
    // One group of the form: its title with "Save" and the tip, then its fields.
    component Group: Column {
        id: group
        property alias title: titleText.text
        property alias tip: tipText.text
        property alias saveName: saveButton.objectName
        default property alias fields: fieldRow.data
        signal save()
        spacing: Style.s(6)
        Row {
            spacing: Style.s(14)
            Text {
                id: titleText
                anchors.verticalCenter: parent.verticalCenter
                font.family: Style.fontFamily
                font.pixelSize: Style.fontNormal
                font.weight: Font.Medium
                color: Style.textDark
            }
            BlueRectButton {
                id: saveButton
                implicitHeight: Style.s(30)
                text: qsTr("Save")
                onClicked: group.save()
            }
            Text {
                id: tipText
                anchors.verticalCenter: parent.verticalCenter
                visible: page.tipsVisible
                font.family: Style.fontFamily
                font.pixelSize: Style.s(13)
                color: "#E08A00"
            }
        }
        Flow {
            id: fieldRow
            width: page.width - Style.s(60)
            leftPadding: Style.s(16)
            spacing: Style.s(12)
        }
    }
    component Note: Text {
        height: Style.s(32)
        verticalAlignment: Text.AlignVCenter
        font.family: Style.fontFamily
        font.pixelSize: Style.s(13)
        color: Style.textGrey
    }

    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("Engineer Interface")
    }

    Row {
        objectName: "lockedForm"
        visible: !page.unlocked
        anchors.top: crumb.bottom
        anchors.topMargin: Style.s(80)
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: Style.s(12)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Engineer Password: ")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textDark
        }
        TextField {
            id: passwordField
            objectName: "passwordField"
            width: Style.s(240)
            height: Style.s(38)
            echoMode: TextInput.Password
            placeholderText: qsTr("Engineer password")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            onPressed: MainCtrl.showScreenKeyboard(true)
            Keys.onReturnPressed: MainCtrl.showScreenKeyboard(false)
            Keys.onEnterPressed: MainCtrl.showScreenKeyboard(false)
        }
        NormalBlueButton {
            objectName: "confirmButton"
            anchors.verticalCenter: parent.verticalCenter
            text: qsTr("Comfirm")
            onClicked: page.confirmPassword()
        }
    }

    Flickable {
        objectName: "engineerForm"
        visible: page.unlocked
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        contentHeight: form.height + Style.s(20)
        contentWidth: Math.max(width, form.width + Style.s(40))
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        ScrollBar.horizontal: ScrollBar {}
        Column {
            id: form
            x: Style.s(30)
            topPadding: Style.s(12)
            spacing: Style.s(12)
            Group {
                title: qsTr("Gel Range Setting: ")
                tip: qsTr("Effective after restart ")
                saveName: "saveGelRange"
                onSave: page.saveGelRange()
                NumberField { id: gelX; objectName: "gelX"; label: qsTr("X Offset: "); placeholderText: qsTr("gel X") }
                NumberField { id: gelY; objectName: "gelY"; label: qsTr("Y Offset: "); placeholderText: qsTr("gel Y") }
                NumberField { id: gelW; objectName: "gelW"; label: qsTr("Width Offset: "); placeholderText: qsTr("gel Width") }
                NumberField { id: gelH; objectName: "gelH"; label: qsTr("Heigh Offset: "); placeholderText: qsTr("gel Heigh") }
            }
            Group {
                title: qsTr("WB Range Setting: ")
                tip: qsTr("Effective after restart ")
                saveName: "saveWbRange"
                onSave: page.saveWbRange()
                NumberField { id: wbX; objectName: "wbX"; label: qsTr("X Offset: "); placeholderText: qsTr("WB X") }
                NumberField { id: wbY; objectName: "wbY"; label: qsTr("Y Offset: "); placeholderText: qsTr("WB Y") }
                NumberField { id: wbW; objectName: "wbW"; label: qsTr("Width Offset: "); placeholderText: qsTr("WB Width") }
                NumberField { id: wbH; objectName: "wbH"; label: qsTr("Heigh Offset: "); placeholderText: qsTr("WB Heigh") }
            }
            Group {
                title: qsTr("Flu Range Setting: ")
                tip: qsTr("Effective after restart ")
                saveName: "saveFluRange"
                onSave: page.saveFluRange()
                NumberField { id: fluX; objectName: "fluX"; label: qsTr("X Offset: "); placeholderText: qsTr("Flu X") }
                NumberField { id: fluY; objectName: "fluY"; label: qsTr("Y Offset: "); placeholderText: qsTr("Flu Y") }
                NumberField { id: fluW; objectName: "fluW"; label: qsTr("Width Offset: "); placeholderText: qsTr("Flu Width") }
                NumberField { id: fluH; objectName: "fluH"; label: qsTr("Heigh Offset: "); placeholderText: qsTr("Flu Heigh") }
            }
            Group {
                title: qsTr("Focus Setting: ")
                tip: qsTr("Effective after exist ")
                saveName: "saveFocus"
                onSave: page.saveFocus()
                NumberField { id: focusGel; objectName: "focusGel"; label: qsTr("Gel Focus: "); placeholderText: qsTr("Gel Focus") }
                NumberField { id: focusUpWb; objectName: "focusUpWb"; label: qsTr("WB Up Focus: "); placeholderText: qsTr("WB Up Focus") }
                NumberField { id: focusDownWb; objectName: "focusDownWb"; label: qsTr("WB Down Focus: "); placeholderText: qsTr("WB Down Focus") }
                NumberField { id: focusFul; objectName: "focusFul"; label: qsTr("Mul Focus: "); placeholderText: qsTr("Mul Focus") }
            }
            Group {
                title: qsTr("Target Gray Setting: ")
                tip: qsTr("Effective after exist ")
                saveName: "saveGrayTarget"
                onSave: page.saveGrayTarget()
                NumberField { id: grayTarget; objectName: "grayTarget"; placeholderText: "50-200" }
                Note { text: qsTr("Default 100, Range 50-200, The higher value, the longer estimated time") }
            }
            Group {
                objectName: "averageGrayRow"
                visible: Config.averageGrayVisible(MainCtrl, MainCtrl.sum2BinIndex)
                title: qsTr("Average Gray Thd Setting: ")
                tip: qsTr("Effective after exist ")
                saveName: "saveAverageGray"
                onSave: page.saveAverageGray()
                NumberField { id: averageGray; objectName: "averageGray"; placeholderText: "1-500" }
                Note { text: qsTr("Default 5. Range 1-500, The higher value, the lighter preview exposure") }
            }
            Group {
                title: qsTr("Color Marker Setting: ")
                tip: qsTr("Effective after exist ")
                saveName: "saveColorMarker"
                onSave: page.saveColorMarker()
                YesNoPair {
                    id: colorMarkerPair
                    objectName: "colorMarkerPair"
                    enabled: !!AuthorityComponent.authColorMarkerVisible
                }
            }
        }
    }
}
