import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS

// Filters of the gel lights: whether the page matches the filter to the light, and which of
// the two gel filters goes with each light source.
MoreSettingFrame {
    id: dialog
    objectName: "gelMoreSettingDialog"
    // The Blue470 light exists on the sensing configurations.
    readonly property bool blueShown: MainCtrl.hasDoor && !MainCtrl.isSingleGel
    readonly property var gelFilters: ["NoFilter", "590nm"]

    function save() {
        UserOpts.autoMatchFilter = autoMatchBox.checked;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
        UserOpts.whiteLightFilterPos = whiteRow.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
        UserOpts.uv302nmFilterPos = uv302Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV302nmFilterPos);
        UserOpts.uv254nmSelected = uv254Row.checked;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmSelected);
        UserOpts.uv254nmFilterPos = uv254Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmFilterPos);
        UserOpts.uv365nmSelected = uv365Row.checked;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV365nmSelected);
        UserOpts.uv365nmFilterPos = uv365Row.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV365nmFilterPos);
        // Saved with the hidden row as well: the row keeps what the file held.
        UserOpts.blueFilterPos = blueRow.currentIndex;
        UserOpts.saveUserOptsByName(UserOpts.OPT_BlueFilterPos);
        Audit.write(ATJS.ModuleType.Capture_Gel, "保存更多设置: 自动匹配滤光片 " + autoMatchBox.checked,
                    "Save more setting: Auto match filter " + autoMatchBox.checked);
        accept();
    }
    onSaveClicked: save()

    Component.onCompleted: {
        var names = [UserOpts.OPT_WhiteLightFilterPos, UserOpts.OPT_UV302nmFilterPos, UserOpts.OPT_UV254nmSelected,
                     UserOpts.OPT_UV254nmFilterPos, UserOpts.OPT_UV365nmSelected, UserOpts.OPT_UV365nmFilterPos,
                     UserOpts.OPT_BlueFilterPos];
        for (var i = 0; i < names.length; ++i)
            UserOpts.loadUserOptsByName(names[i]);
        whiteRow.currentIndex = UserOpts.whiteLightFilterPos;
        uv302Row.currentIndex = UserOpts.uv302nmFilterPos;
        uv254Row.checked = UserOpts.uv254nmSelected;
        uv254Row.currentIndex = UserOpts.uv254nmFilterPos;
        uv365Row.checked = UserOpts.uv365nmSelected;
        uv365Row.currentIndex = UserOpts.uv365nmFilterPos;
        blueRow.currentIndex = UserOpts.blueFilterPos;
    }

    FilterRow { id: whiteRow; objectName: "whiteRow"; label: qsTr("White Light"); mEffectiveModels: dialog.gelFilters }
    FilterRow { id: uv302Row; objectName: "uv302Row"; label: qsTr("UV302"); mEffectiveModels: dialog.gelFilters }
    FilterRow { id: uv254Row; objectName: "uv254Row"; label: qsTr("UV254"); checkable: true; mEffectiveModels: dialog.gelFilters }
    FilterRow { id: uv365Row; objectName: "uv365Row"; label: qsTr("UV365"); checkable: true; mEffectiveModels: dialog.gelFilters }
    FilterRow {
        id: blueRow
        objectName: "blueRow"
        visible: dialog.blueShown
        label: qsTr("Blue470")
        mEffectiveModels: dialog.gelFilters
    }
}
