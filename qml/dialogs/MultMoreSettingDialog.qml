import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS

// Filters of the fluorescence lights. The sensing configurations carry a seven-place wheel
// whose 715 nm filter makes way for the colour marker when that is fitted; the combo index is
// the button index of the capture page.
MoreSettingFrame {
    id: dialog
    objectName: "multMoreSettingDialog"
    readonly property bool sensing: MainCtrl.hasDoor && !MainCtrl.isSingleGel
    readonly property var wheel: sensing ? ["NoFilter", "535nm", "590nm", "605nm", "700nm", "715nm", "810nm"]
                                         : ["NoFilter", "535nm", "590nm", "605nm", "700nm", "840nm"]
    property bool colorMarkerVisible: false
    readonly property var fitted: sensing && colorMarkerVisible ? wheel.filter(function(f) { return f !== "715nm" }) : wheel

    function save() {
        UserOpts.autoMatchFilter = autoMatchBox.checked;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.whiteLightFilterPos = whiteRow.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
        UserOpts.r625nmFilterPos = r625Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_R625nmFilterPos);
        UserOpts.g520nmFilterPos = g520Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_G520nmFilterPos);
        UserOpts.b470nmFilterPos = b470Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_B470nmFilterPos);
        UserOpts.ir660nmFilterPos = ir660Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IR660nmFilterPos);
        UserOpts.ir740nmFilterPos = ir740Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IR740nmFilterPos);
        Audit.write(ATJS.ModuleType.Capture_Flu, "保存更多设置: 自动匹配滤光片 " + autoMatchBox.checked,
                    "Save more setting: Auto match filter " + autoMatchBox.checked);
        accept();
    }
    onSaveClicked: save()

    Component.onCompleted: {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ColorMarkerVisible);
        colorMarkerVisible = UserOpts.colorMarkerVisible;
        var names = [UserOpts.OPT_WhiteLightFilterPos, UserOpts.OPT_R625nmFilterPos, UserOpts.OPT_G520nmFilterPos,
                     UserOpts.OPT_B470nmFilterPos, UserOpts.OPT_IR660nmFilterPos, UserOpts.OPT_IR740nmFilterPos];
        for (var i = 0; i < names.length; ++i)
            UserOpts.loadUserOptsByName(names[i]);
        whiteRow.currentIndex = UserOpts.whiteLightFilterPos;
        r625Row.currentIndex = UserOpts.r625nmFilterPos;
        g520Row.currentIndex = UserOpts.g520nmFilterPos;
        b470Row.currentIndex = UserOpts.b470nmFilterPos;
        ir660Row.currentIndex = UserOpts.ir660nmFilterPos;
        ir740Row.currentIndex = UserOpts.ir740nmFilterPos;
    }

    FilterRow { id: whiteRow; objectName: "whiteRow"; label: qsTr("White Light"); mModel: dialog.wheel; mEffectiveModels: ["NoFilter"] }
    FilterRow { id: r625Row; objectName: "r625Row"; label: qsTr("R625nm"); mModel: dialog.wheel; mEffectiveModels: dialog.fitted }
    FilterRow { id: g520Row; objectName: "g520Row"; label: qsTr("G520nm"); mModel: dialog.wheel; mEffectiveModels: dialog.fitted }
    FilterRow { id: b470Row; objectName: "b470Row"; label: qsTr("B470nm"); mModel: dialog.wheel; mEffectiveModels: dialog.fitted }
    FilterRow {
        id: ir660Row
        objectName: "ir660Row"
        visible: dialog.sensing
        label: qsTr("IR660nm")
        mModel: dialog.wheel
        mEffectiveModels: dialog.fitted
    }
    FilterRow { id: ir740Row; objectName: "ir740Row"; label: qsTr("IR740nm"); mModel: dialog.wheel; mEffectiveModels: dialog.fitted }
}
