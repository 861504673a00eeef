import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0

// Audit rows keep their own language whatever the interface shows: a binning chosen on the
// multi-fluorescence page while the interface is in Chinese.
ShellTestCase {
    name: "AuditLabels"
    property var window: null
    property var page: null

    function setUpFile() {
        window = makeWindow(true);
        page = window.mainPage.body.pages[5];
    }
    function tearDownFile() {
        translatorControl.loadLanguage(UserOpts.English);
        if (page.entered) {
            click(part(window.mainPage.head, "backButton"));
            tryVerify(function() { return !page.entered });
        }
        window.destroy();
    }

    function test_binningRowsInTheirLanguage_data() {
        return [
            { tag: "Chinese shown", language: UserOpts.Chinese, shown: "高分辨率(1*1)" },
            { tag: "English shown", language: UserOpts.English, shown: "High resolution(1*1)" }
        ];
    }
    function test_binningRowsInTheirLanguage(row) {
        if (!page.entered)
            click(part(window.mainPage.body.homePage, "fluButton"));
        tryVerify(function() { return page.visible && page.entered });
        tryVerify(function() { return page.previewing }, 10000, "the preview runs");
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible }, 10000, "the dialogs close");
        translatorControl.loadLanguage(row.language);
        var settings = part(page, "cameraSettingButton");
        if (!part(page, "binning_0").visible)
            click(settings);
        var button = part(page, "binning_0");
        tryVerify(function() { return button.visible });
        compare(button.text, row.shown);
        var mark = auditMark();
        click(button);
        var rows = auditSince(mark).filter(function(r) { return r.content.indexOf("像素合并") === 0 || r.content.indexOf("Binning") === 0 });
        compare(rows.map(function(r) { return [r.languageId, r.content] }),
                [[0, "像素合并: 高分辨率(1*1)"], [1, "BinningHigh resolution(1*1)"]]);
        translatorControl.loadLanguage(UserOpts.English);
        // Automatic exposure follows the choice; let it end before the next case.
        tryVerify(function() { return !page.aeDialog.visible && !page.cameraDialog.visible }, 30000, "the camera settles");
    }
}
