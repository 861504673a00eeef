import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/dialogs"
import "qrc:/js/ATDatabase.js" as ATJS

// The capture setting dialogs: what each one saves, sends and tells its host.
Item {
    id: host
    width: 1100
    height: 800

    Component { id: blueComponent; AdaptBlueDialog {} }
    Component { id: focusComponent; FocusSettingDialog {} }
    Component { id: exposureComponent; ExposureSettingDialog {} }
    Component { id: gelMoreComponent; GelMoreSettingDialog {} }
    Component { id: multMoreComponent; MultMoreSettingDialog {} }
    Component { id: spyComponent; SignalSpy {} }

    ShellTestCase {
        name: "GelDialogs"
        when: windowShown
        property int savedAuthority: 0

        function setUpFile() {
            savedAuthority = MainCtrl.authorityType;
            // The audit rows are written for the logged-in user.
            UserOpts.lastLoginUser = "admin";
        }
        function cleanupEach() { MainCtrl.authorityType = savedAuthority }

        function spy(target, signalName) {
            return createTemporaryObject(spyComponent, host, { target: target, signalName: signalName });
        }
        function opened(component) {
            var dialog = createTemporaryObject(component, host);
            verify(dialog !== null);
            dialog.open();
            tryCompare(dialog, "opened", true);
            return dialog;
        }

        function test_popupHangsUnderItsButton() {
            var dialog = opened(blueComponent);
            dialog.setCoordi(900, 100, 860, 40);
            compare(dialog.x, 900 - dialog.width);
            compare(dialog.y, 140);
            compare(dialog.leftOffset, 860 - dialog.x);
        }

        function test_blueLightSteps_data() {
            return [
                { tag: "up to the top", start: 95, button: "bluePlusButton", first: 100 },
                { tag: "down to zero", start: 5, button: "blueMinusButton", first: 0 },
                { tag: "down by ten", start: 50, button: "blueMinusButton", first: 40 }
            ];
        }
        function test_blueLightSteps(row) {
            UserOpts.bluePercent = row.start;
            UserOpts.saveUserOptsByName(UserOpts.OPT_BluePercent);
            var dialog = opened(blueComponent);
            var sent = spy(dialog, "openBlueLight");
            var slider = findChild(dialog.contentItem, "blueSlider");
            // Loading the saved value is no choice of the operator.
            compare(slider.value, row.start);
            compare(sent.count, 0);
            var button = findChild(dialog.contentItem, row.button);
            click(button);
            compare(sent.count, 1);
            compare(sent.signalArguments[0][0], row.first);
            UserOpts.bluePercent = -1;
            UserOpts.loadUserOptsByName(UserOpts.OPT_BluePercent);
            compare(UserOpts.bluePercent, row.first);
            // A second press within the pause does nothing.
            verify(!button.enabled);
            mouseClick(button);
            compare(sent.count, 1);
            compare(slider.value, row.first);
            tryCompare(button, "enabled", true, 2000);
        }
        function test_blueLightSliderRelease() {
            UserOpts.bluePercent = 30;
            UserOpts.saveUserOptsByName(UserOpts.OPT_BluePercent);
            var dialog = opened(blueComponent);
            var sent = spy(dialog, "openBlueLight");
            var slider = findChild(dialog.contentItem, "blueSlider");
            settle(slider);
            mouseDrag(slider, slider.width * 0.3, slider.height / 2, slider.width * 0.4, 0);
            compare(sent.count, 1);
            compare(sent.signalArguments[0][0], Math.round(slider.value));
            verify(slider.value > 30);
            verify(!slider.enabled);
            tryCompare(slider, "enabled", true, 2000);
        }

        function focusLimits(min, max, current) {
            UserOpts.focusMin = min;
            UserOpts.focusMax = max;
            UserOpts.focusCurrentAddr = current;
            UserOpts.saveFocusOpts();
        }
        function test_focusSteps_data() {
            return [
                { tag: "creation range, down stops at its end", current: 1250, button: "focusMinusButton", manual: false, to: 1200, from: 1200, upTo: 2800 },
                { tag: "creation range, up stops at its end", current: 2750, button: "focusPlusButton", manual: false, to: 2800, from: 1200, upTo: 2800 },
                { tag: "manual range, down by 80", current: 1250, button: "focusMinusButton", manual: true, to: 1170, from: 1000, upTo: 3000 }
            ];
        }
        function test_focusSteps(row) {
            focusLimits(1000, 3000, row.current);
            var dialog = opened(focusComponent);
            var moved = spy(dialog, "sig_FocusMove");
            dialog.setCoordi(900, 100, 860, 40, false);
            compare(dialog.isAuto, false);
            if (row.manual) {
                click(findChild(dialog.contentItem, "autoButton"));
                click(findChild(dialog.contentItem, "manualButton"));
            }
            var slider = findChild(dialog.contentItem, "focusSlider");
            compare(slider.from, row.from);
            compare(slider.to, row.upTo);
            compare(moved.count, 0);
            click(findChild(dialog.contentItem, row.button));
            compare(moved.count, 1);
            compare(moved.signalArguments[0][0], row.to);
            compare(findChild(dialog.contentItem, "focusText").text, String(row.to));
            UserOpts.loadUserOptsByName(UserOpts.OPT_FocusCurrentAddr);
            compare(UserOpts.focusCurrentAddr, row.to);
        }
        function test_focusAutoAndReportedPosition() {
            focusLimits(1000, 3000, 2000);
            var dialog = opened(focusComponent);
            var af = spy(dialog, "sig_AutoFocus");
            dialog.setCoordi(900, 100, 860, 40, true);
            var button = findChild(dialog.contentItem, "afButton");
            verify(button.visible);
            click(button);
            compare(af.count, 1);
            dialog.setFocusText(1234);
            compare(findChild(dialog.contentItem, "focusText").text, "1234");
        }

        function test_exposureModes_data() {
            return [
                { tag: "single gel, standard", authority: EnumOBJ.GelTS20BW, button: "standardButton", acts: true, mode: 1, exposure: 50 },
                { tag: "single gel, hi res", authority: EnumOBJ.GelTS20BW, button: "hiResButton", acts: true, mode: 0, exposure: 100 },
                { tag: "other configuration", authority: EnumOBJ.AllAuthorityTS, button: "standardButton", acts: false }
            ];
        }
        function test_exposureModes(row) {
            MainCtrl.authorityType = row.authority;
            CamOpts.gelTSDefExposurePre = "100,50";
            CamOpts.saveCamOptsByName(CamOpts.GelTS_DefExposurePre);
            CamOpts.gelTSCurBinning = 0;
            CamOpts.gelTSCurExposurePre = 333;
            CamOpts.gelTSCurGain = 7;
            CamOpts.saveCurGelTSCamOpts();
            var dialog = opened(exposureComponent);
            var shown = spy(dialog, "sig_ShowCameraSettingDialog");
            dialog.setCoordi(900, 100, 860, 40, false);
            click(findChild(dialog.contentItem, row.button));
            CamOpts.loadCurGelTSCamOpts();
            var box = findChild(dialog.contentItem, "exposureBox");
            if (row.acts) {
                compare(shown.count, 1);
                compare(box.value, row.exposure);
                compare(CamOpts.gelTSCurExposurePre, row.exposure);
                compare(CamOpts.gelTSCurBinning, row.mode === 0 ? 0 : MainCtrl.sum2BinIndex);
                compare(CamOpts.gelTSCurGain, 7);
            } else {
                compare(shown.count, 0);
                compare(box.value, 333);
                compare(CamOpts.gelTSCurExposurePre, 333);
                compare(CamOpts.gelTSCurBinning, 0);
            }
        }
        function test_exposureGainActsEverywhere_data() {
            return [
                { tag: "single gel", authority: EnumOBJ.GelTS20BW },
                { tag: "other configuration", authority: EnumOBJ.AllAuthorityTS }
            ];
        }
        function test_exposureGainActsEverywhere(row) {
            MainCtrl.authorityType = row.authority;
            CamOpts.gelTSCurGain = 10;
            CamOpts.saveCamOptsByName(CamOpts.GelTS_CurGain);
            var dialog = opened(exposureComponent);
            dialog.setCoordi(900, 100, 860, 40, false);
            var gain = findChild(dialog.contentItem, "gainBox");
            settle(gain);
            mouseClick(gain, gain.width - 5, gain.height / 2);
            compare(gain.value, 11);
            CamOpts.gelTSCurGain = 0;
            CamOpts.loadCamOptsByName(CamOpts.GelTS_CurGain);
            compare(CamOpts.gelTSCurGain, 11);
        }
        function test_exposureManualReloadsAndAutoAsks() {
            MainCtrl.authorityType = EnumOBJ.GelTS20BW;
            CamOpts.gelTSCurExposurePre = 120;
            CamOpts.gelTSCurGain = 20;
            CamOpts.saveCurGelTSCamOpts();
            var dialog = opened(exposureComponent);
            var ae = spy(dialog, "sig_AutoExposure");
            dialog.setCoordi(900, 100, 860, 40, true);
            // Saved behind the open dialog: switching to manual shows the file's values.
            CamOpts.gelTSCurExposurePre = 240;
            CamOpts.gelTSCurGain = 40;
            CamOpts.saveCurGelTSCamOpts();
            click(findChild(dialog.contentItem, "aeButton"));
            compare(ae.count, 1);
            click(findChild(dialog.contentItem, "manualButton"));
            compare(findChild(dialog.contentItem, "exposureBox").value, 240);
            compare(findChild(dialog.contentItem, "gainBox").value, 40);
        }
        function test_exposureReset_data() {
            return [
                { tag: "default hi res", def: 0, exposure: 100, hiRes: true, standard: false },
                { tag: "default standard", def: 1, exposure: 50, hiRes: false, standard: true },
                { tag: "default of no mode", def: 3, exposure: 240, hiRes: false, standard: false }
            ];
        }
        function test_exposureReset(row) {
            MainCtrl.authorityType = EnumOBJ.GelTS20BW;
            CamOpts.loadDefGelTSCamOpts();
            CamOpts.gelTSDefBinning = row.def;
            CamOpts.gelTSDefExposurePre = "100,50";
            CamOpts.saveDefGelTSCamOpts();
            CamOpts.gelTSCurExposurePre = 240;
            CamOpts.saveCurGelTSCamOpts();
            var dialog = opened(exposureComponent);
            dialog.setCoordi(900, 100, 860, 40, false);
            click(findChild(dialog.contentItem, "resetButton"));
            compare(findChild(dialog.contentItem, "exposureBox").value, row.exposure);
            compare(findChild(dialog.contentItem, "gainBox").value, CamOpts.gelTSDefGain);
            compare(findChild(dialog.contentItem, "hiResButton").checked, row.hiRes);
            compare(findChild(dialog.contentItem, "standardButton").checked, row.standard);
        }

        function test_gelMoreSettingRoundTrip_data() {
            return [
                { tag: "sensing, blue shown", authority: EnumOBJ.GelAndWBTS695_Auto, blueShown: true },
                { tag: "plain, blue hidden and still saved", authority: EnumOBJ.GelAndWBTS, blueShown: false }
            ];
        }
        function test_gelMoreSettingRoundTrip(row) {
            MainCtrl.authorityType = row.authority;
            var names = ["whiteLightFilterPos", "uv302nmFilterPos", "uv254nmFilterPos", "uv365nmFilterPos", "blueFilterPos"];
            UserOpts.autoMatchFilter = false;
            UserOpts.saveUserOptsByName(UserOpts.OPT_AutoMatchFilter);
            UserOpts.whiteLightFilterPos = 0; UserOpts.saveUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
            UserOpts.uv302nmFilterPos = 2; UserOpts.saveUserOptsByName(UserOpts.OPT_UV302nmFilterPos);
            UserOpts.uv254nmFilterPos = 0; UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmFilterPos);
            UserOpts.uv365nmFilterPos = 2; UserOpts.saveUserOptsByName(UserOpts.OPT_UV365nmFilterPos);
            UserOpts.blueFilterPos = 2; UserOpts.saveUserOptsByName(UserOpts.OPT_BlueFilterPos);
            UserOpts.uv254nmSelected = false; UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmSelected);
            UserOpts.uv365nmSelected = true; UserOpts.saveUserOptsByName(UserOpts.OPT_UV365nmSelected);

            var dialog = opened(gelMoreComponent);
            var c = dialog.contentItem;
            compare(findChild(c, "blueRow").visible, row.blueShown);
            compare(findChild(c, "autoMatchBox").checked, false);
            compare(findChild(c, "uv302RowCombo").currentIndex, 2);
            compare(findChild(c, "uv365RowCheck").checked, true);
            compare(findChild(c, "blueRowCombo").currentIndex, 2);
            // Only the two gel filters can be chosen.
            var combo = findChild(c, "whiteRowCombo");
            verify(combo.isEffective(0) && combo.isEffective(2));
            verify(!combo.isEffective(1) && !combo.isEffective(3) && !combo.isEffective(5));

            click(findChild(c, "autoMatchBox"));
            findChild(c, "whiteRowCombo").currentIndex = 2;
            findChild(c, "uv302RowCombo").currentIndex = 0;
            click(findChild(c, "uv254RowCheck"));
            findChild(c, "uv254RowCombo").currentIndex = 2;
            var mark = auditMark();
            click(findChild(c, "saveButton"));
            tryCompare(dialog, "visible", false);

            for (var i = 0; i < names.length; ++i)
                UserOpts[names[i]] = -1;
            var opts = [UserOpts.OPT_AutoMatchFilter, UserOpts.OPT_WhiteLightFilterPos, UserOpts.OPT_UV302nmFilterPos,
                        UserOpts.OPT_UV254nmSelected, UserOpts.OPT_UV254nmFilterPos, UserOpts.OPT_UV365nmFilterPos,
                        UserOpts.OPT_BlueFilterPos];
            for (i = 0; i < opts.length; ++i)
                UserOpts.loadUserOptsByName(opts[i]);
            compare(UserOpts.autoMatchFilter, true);
            compare(UserOpts.whiteLightFilterPos, 2);
            compare(UserOpts.uv302nmFilterPos, 0);
            compare(UserOpts.uv254nmSelected, true);
            compare(UserOpts.uv254nmFilterPos, 2);
            compare(UserOpts.uv365nmFilterPos, 2);
            compare(UserOpts.blueFilterPos, 2);
            var rows = auditSince(mark);
            compare(rows.length, 2);
            compare(rows[0].content, "保存更多设置: 自动匹配滤光片 true");
            compare(rows[1].content, "Save more setting: Auto match filter true");
            compare(rows[1].module, ATJS.ModuleType.Capture_Gel[1]);
        }
        function test_moreSettingCrossKeepsFile() {
            UserOpts.whiteLightFilterPos = 0;
            UserOpts.saveUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
            var dialog = opened(gelMoreComponent);
            findChild(dialog.contentItem, "whiteRowCombo").currentIndex = 2;
            var mark = auditMark();
            click(findChild(dialog.contentItem, "closeButton"));
            tryCompare(dialog, "visible", false);
            UserOpts.loadUserOptsByName(UserOpts.OPT_WhiteLightFilterPos);
            compare(UserOpts.whiteLightFilterPos, 0);
            compare(auditSince(mark).length, 0);
        }

        function test_multMoreSettingWheel_data() {
            return [
                { tag: "sensing with colour marker", authority: EnumOBJ.AllAuthorityTS695_Auto, marker: true,
                  count: 7, hidden: [5], ir660: true, choose: 6 },
                { tag: "sensing without colour marker", authority: EnumOBJ.AllAuthorityTSFL9BW_Manual, marker: false,
                  count: 7, hidden: [], ir660: true, choose: 5 },
                { tag: "plain", authority: EnumOBJ.AllAuthorityTS, marker: true, count: 6, hidden: [], ir660: false, choose: 5 }
            ];
        }
        function test_multMoreSettingWheel(row) {
            MainCtrl.authorityType = row.authority;
            UserOpts.colorMarkerVisible = row.marker;
            UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarkerVisible);
            UserOpts.r625nmFilterPos = 1;
            UserOpts.saveUserOptsByName(UserOpts.OPT_R625nmFilterPos);
            var dialog = opened(multMoreComponent);
            var c = dialog.contentItem;
            compare(findChild(c, "ir660Row").visible, row.ir660);
            var combo = findChild(c, "r625RowCombo");
            compare(combo.count, row.count);
            compare(combo.currentIndex, 1);
            for (var i = 0; i < row.count; ++i)
                compare(combo.isEffective(i), row.hidden.indexOf(i) < 0, "entry " + i);
            var white = findChild(c, "whiteRowCombo");
            verify(white.isEffective(0) && !white.isEffective(1));
            combo.currentIndex = row.choose;
            var mark = auditMark();
            click(findChild(c, "saveButton"));
            tryCompare(dialog, "visible", false);
            UserOpts.r625nmFilterPos = -1;
            UserOpts.loadUserOptsByName(UserOpts.OPT_R625nmFilterPos);
            compare(UserOpts.r625nmFilterPos, row.choose);
            var rows = auditSince(mark);
            compare(rows.length, 2);
            compare(rows[1].module, ATJS.ModuleType.Capture_Flu[1]);
        }
    }
}
