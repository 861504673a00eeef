import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "qrc:/js/Pages.js" as Pages
import "qrc:/js/ATDatabase.js" as ATJS

// The settings page: tabs, and each option's way from the page into Ini/userOption.ini and back
// onto a page made anew.
ShellTestCase {
    name: "Settings"
    property var window: null
    property var settings: null
    property var device: null
    property int auditBefore: 0
    readonly property string userFile: "Ini/userOption.ini"

    function setUpFile() {
        window = makeWindow(true);
        settings = window.mainPage.body.settingPage;
        device = settings.deviceSettingPage;
        click(part(window, "settingButton"));
        tryCompare(settings, "visible", true);
    }
    function tearDownFile() {
        window.destroy();
    }
    function initEach() {
        auditBefore = auditMark();
        testProbe.clearLog();
        settings.selectTab(0);
        settle(window.contentItem);
    }
    function cleanupEach() {
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        AuthorityComponent.authImageClean = 1;
        UserOpts.isSignature = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsSignature);
    }
    function stored(key) { return testProbe.iniValue(userFile, "UserOption/" + key) }
    function newAudit() { return auditSince(auditBefore) }
    function auditContents() { return newAudit().map(function(r) { return r.content }) }
    // A device settings page made anew, as at the next start.
    function freshDevicePage() {
        var component = Qt.createComponent("qrc:/pages/DeviceSettingPage.qml");
        verify(component.status === Component.Ready, component.errorString());
        var page = createTemporaryObject(component, window.contentItem, { width: 1000, height: 700, visible: false });
        verify(page !== null);
        return page;
    }
    function pairButton(page, pairName, yes) {
        return findChild(part(page, pairName), yes ? "yes" : "no");
    }

    function test_tabsShowOneSubPage() {
        var names = ["DeviceSettingPage", "DocumentTitlePage", "UserManagementPage", "GroupManagementPage",
                     "RoleManagementPage", "SystemInfoPage", "EngineerPage"];
        for (var i = 0; i < names.length; ++i) {
            click(part(settings, "tab" + i));
            for (var j = 0; j < names.length; ++j)
                compare(part(settings, names[j]).visible, i === j, names[j]);
        }
        // Hidden and shown again, the page opens on "Device Setting".
        click(part(window, "homeButton"));
        click(part(window, "settingButton"));
        compare(settings.currentTab, 0);
        verify(part(settings, "DeviceSettingPage").visible);
    }

    function test_switchesRoundTrip_data() {
        return [
            { tag: "keyboard", pair: "keyboardPair", key: "isAutoKeyboard", zh: "自动键盘: ", en: "Auto Keyboard: " },
            { tag: "watermark", pair: "watermarkPair", key: "isExportWatermark", zh: "导出水印: ", en: "Export Watermark: " },
            { tag: "beautify", pair: "beautifyPair", key: "isBeautifyPictures", zh: "图片优化: ", en: "BeautifyPictures: " },
            { tag: "auto capture", pair: "autoCapturePair", key: "autoCapture", zh: "关门自动采集: ",
              en: "Auto Capture On Close: ", authority: EnumOBJ.GelTS20BW },
            { tag: "change path every login", pair: "changePathPair", key: "isChangPathEveryTime" }
        ];
    }
    function test_switchesRoundTrip(row) {
        if (row.authority !== undefined)
            MainCtrl.authorityType = row.authority;
        settle(window.contentItem);
        var start = part(device, row.pair).yes;
        for (var pass = 0; pass < 2; ++pass) {
            // Away from the shown value first, then back.
            var on = pass === 0 ? !start : start;
            auditBefore = auditMark();
            click(pairButton(device, row.pair, on));
            compare(stored(row.key), on ? "true" : "false");
            if (row.zh !== undefined)
                compare(auditContents(), [row.zh + (on ? "打开" : "关闭"), row.en + (on ? "Open" : "Close")]);
            else
                compare(newAudit().length, 0);
            // A page made anew shows the stored value, not what memory holds.
            UserOpts[row.key] = !on;
            var page = freshDevicePage();
            compare(part(page, row.pair).yes, on);
            compare(pairButton(page, row.pair, on).checked, true);
        }
    }

    function test_clickingTheCheckedChoiceChangesNothing() {
        click(pairButton(device, "watermarkPair", true));
        auditBefore = auditMark();
        click(pairButton(device, "watermarkPair", true));
        compare(newAudit().length, 0);
    }

    // Days typed key by key into the clean-up field (7 to 60): "14" gives 14, not 60 by way of
    // "1" taken as 7; a value below the range left in the field becomes the lowest.
    function test_imageCleanDaysTyped() {
        var box = Qt.createQmlObject('import "qrc:/components"; ArrowSpinBox { from: 7; to: 60; value: 30 }',
                                     window.contentItem);
        box.x = 20;
        box.y = 20;
        click(box);
        box.contentItem.selectAll();
        keyClick("1");
        keyClick("4");
        compare(box.value, 14);
        compare(box.contentItem.text, "14");
        box.contentItem.selectAll();
        keyClick("3");
        compare(box.value, 14);
        box.focus = false;
        window.contentItem.forceActiveFocus();
        tryCompare(box, "value", 7);
        compare(box.contentItem.text, "7");
        box.increase();
        compare(box.contentItem.text, "8");
        box.destroy();
    }

    function test_imageCleanTimeKeptInRange_data() {
        return [
            { tag: "zero would remove every image", stored: "0", shown: 7, saved: "7" },
            { tag: "below range", stored: "3", shown: 7, saved: "7" },
            { tag: "in range", stored: "30", shown: 30, saved: "30" },
            { tag: "above range", stored: "90", shown: 7, saved: "7" }
        ];
    }
    function test_imageCleanTimeKeptInRange(row) {
        testProbe.setIniValue(userFile, "UserOption/imageCleanTime", row.stored);
        var page = freshDevicePage();
        compare(part(page, "imageCleanBox").value, row.shown);
        compare(stored("imageCleanTime"), row.saved);
    }

    function test_imageCleanBehindSignature() {
        click(pairButton(device, "imageCleanPair", false));
        UserOpts.imageCleanTime = 7;
        UserOpts.isSignature = true;
        var before = stored("imageClean");
        click(pairButton(device, "imageCleanPair", true));
        answerSignature(window, false);
        // Refused: the buttons return to the stored value, nothing is written.
        verify(!part(device, "imageCleanPair").yes);
        verify(pairButton(device, "imageCleanPair", false).checked);
        compare(stored("imageClean"), before);
        compare(newAudit().length, 0);
        verify(!part(device, "imageCleanBox").enabled);

        click(pairButton(device, "imageCleanPair", true));
        answerSignature(window, true);
        compare(stored("imageClean"), "true");
        compare(auditContents(), ["图像清理: 打开 时间:7天", "Image Clean: Open Time:7days"]);
        verify(part(device, "imageCleanBox").enabled);
        AuthorityComponent.authImageClean = 0;
        verify(!part(device, "imageCleanBox").enabled);
        verify(!part(device, "imageCleanPair").enabled);
    }

    function test_signatureRefusedKeepsNo() {
        click(pairButton(device, "signaturePair", false));
        UserOpts.isSignature = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsSignature);
        auditBefore = auditMark();
        // The signature itself is off, so the gate lets "Yes" through...
        click(pairButton(device, "signaturePair", true));
        compare(stored("isSignature"), "true");
        compare(auditContents(), ["电子签名: 打开", "Electornic Signature: Open"]);
        // ...and switching it off again asks, and a refusal keeps "Yes".
        auditBefore = auditMark();
        click(pairButton(device, "signaturePair", false));
        answerSignature(window, false);
        verify(pairButton(device, "signaturePair", true).checked);
        compare(stored("isSignature"), "true");
        compare(newAudit().length, 0);
    }

    function test_lightShutdownRange_data() {
        return [
            { tag: "WBQI", authority: EnumOBJ.WBQI, max: 5, autoCapture: false, afOffset: false },
            { tag: "WBTS695Mini", authority: EnumOBJ.WBTS695Mini, max: 10, autoCapture: false, afOffset: false },
            { tag: "GelTS20BW", authority: EnumOBJ.GelTS20BW, max: 10, autoCapture: true, afOffset: true },
            { tag: "S60", authority: EnumOBJ.AllAuthorityTS, max: 5, autoCapture: false, afOffset: false }
        ];
    }
    function test_lightShutdownRange(row) {
        MainCtrl.authorityType = row.authority;
        compare(part(device, "lightBox").to, row.max);
        compare(part(device, "autoCaptureRow").visible, row.autoCapture);
        compare(part(device, "afOffsetRow").visible, row.afOffset);
    }

    function test_lightShutdownOk() {
        var box = part(device, "lightBox");
        box.value = 4;
        click(part(device, "lightOkButton"));
        compare(stored("lightAutoShutDownTime"), "4");
        compare(auditContents(), ["修改光源自动关闭时间: 4分钟", "Modify Light Auto Shutdown: 4M"]);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        compare(dialog.bodyText, "Set light auto shutdown success!");
        compare(String(dialog.iconSource), "qrc:/Image/success.png");
        verify(!findChild(dialog.contentItem, "yesButton").visible);
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        // A stored 0 shows and stores 1.
        testProbe.setIniValue(userFile, "UserOption/lightAutoShutDownTime", "0");
        var page = freshDevicePage();
        compare(part(page, "lightBox").value, 1);
        compare(stored("lightAutoShutDownTime"), "1");
    }

    function test_afOffsetStepsFromMinus200ToZero() {
        MainCtrl.authorityType = EnumOBJ.GelTS20BW;
        settle(window.contentItem);
        var box = part(device, "afOffsetBox");
        box.value = -199;
        click(box, 5, box.height / 2);
        compare(box.value, -200);
        compare(stored("afOffset"), "-200");
        click(box, 5, box.height / 2);
        compare(box.value, 0);
        compare(stored("afOffset"), "0");
        click(box, box.width - 5, box.height / 2);
        compare(stored("afOffset"), "1");
    }

    function test_imagePathFromFolderUrl() {
        device.imageFolderChosen("file:///tmp/lab%20images/blots");
        compare(stored("imageSavePath"), "/tmp/lab images/blots");
        compare(part(device, "imagePathText").text, "/tmp/lab images/blots");
        compare(auditContents(), ["修改图片路径: /tmp/lab images/blots", "Modify the image path: /tmp/lab images/blots"]);
        // An empty stored path becomes the desktop folder's "UserImages".
        testProbe.setIniValue(userFile, "UserOption/imageSavePath", "");
        var page = freshDevicePage();
        var path = stored("imageSavePath");
        verify(path.charAt(0) === "/", path);
        verify(/\/UserImages$/.test(path), path);
        compare(part(page, "imagePathText").text, path);
    }

    function test_languageSwitchRetranslates() {
        click(part(device, "englishButton"));
        compare(stored("language"), "1");
        verify(part(device, "englishButton").checked);
        verify(!part(device, "chineseButton").checked);
        compare(part(window, "settingButton").text, "Setting");
        compare(String(part(window.mainPage.body.homePage, "gelButton").pictureSource).indexOf("_en.png") > 0, true);
        click(part(device, "chineseButton"));
        compare(stored("language"), "0");
        compare(part(window, "settingButton").text, "设置");
        compare(part(window, "homeButton").text, "首页");
        // A page made anew applies the stored language.
        var page = freshDevicePage();
        verify(part(page, "chineseButton").checked);
        click(part(device, "englishButton"));
        compare(part(window, "homeButton").text, "Home");
    }

    function test_documentTitle() {
        click(part(settings, "tab1"));
        var page = part(settings, "DocumentTitlePage");
        part(page, "mainTitleField").text = "Blot report";
        part(page, "subTitleField").text = "Lab 3";
        click(part(page, "saveButton"));
        compare(stored("mainTitle"), "Blot report");
        compare(stored("subTitle"), "Lab 3");
        compare(auditContents(), ["主标题修改: Blot report  副标题修改:Lab 3", "Modify main title: Blot report  Modify subtitle:Lab 3"]);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        compare(dialog.bodyText, "Save success!");
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        AuthorityComponent.authDocumentTitleSave = 0;
        verify(!part(page, "saveButton").enabled);
        AuthorityComponent.authDocumentTitleSave = 1;
    }

    function test_systemInfo() {
        click(part(settings, "tab5"));
        var page = part(settings, "SystemInfoPage");
        compare(String(part(page, "picture1").source), "qrc:/Image/sysinfo1_S60.png");
        compare(String(part(page, "picture5").source), "qrc:/Image/sysinfo5_S50.png");
        verify(!part(page, "picture3").visible);
        page.reTranslateUi(UserOpts.English);
        compare(String(part(page, "picture4").source), "qrc:/Image/sysinfo4_en.png");
        page.reTranslateUi(UserOpts.Chinese);
        compare(String(part(page, "picture4").source), "qrc:/Image/sysinfo4.png");
        compare(part(page, "versionText").text, "SoftWare Version: v1.4.6.1106");
        MainCtrl.userManualOpenFailed();
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        compare(dialog.bodyText, "Open user manual failed, please makesure WPS is installed.");
        compare(dialog.height, 150);
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
    }
}
