import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.EnumOBJ 1.0
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "qrc:/js/Pages.js" as Pages
import "qrc:/js/ATDatabase.js" as ATJS

// The head bar and the page frame: which page shows, which head-bar buttons are offered, and
// what the hosted pages are told, per configuration.
ShellTestCase {
    name: "Navigation"
    property var window: null
    property var head: null
    property var body: null

    function setUpFile() {
        window = makeWindow(false);
    }
    function tearDownFile() {
        window.destroy();
    }
    function initEach() {
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        AuthorityComponent.authImageView = 1;
        AuthorityComponent.authAuditTrail = 1;
        if (!window.mainPage.visible) {
            logIn(window);
        }
        head = window.mainPage.head;
        body = window.mainPage.body;
        if (head.buttonBackVisible)
            click(part(window, "backButton"));
        // The home page takes the configuration each time it is shown.
        click(part(window, "settingButton"));
        click(part(window, "homeButton"));
        tryCompare(body, "shownPage", Pages.HomePage);
        testProbe.clearLog();
    }

    // An experiment page starts its wheel, camera and automatic exposure a moment after it is
    // entered, each behind a modal dialog, and may warn when the exposure settles: a click of the
    // test made meanwhile would land on such a dialog. Waits for the start and closes the warning.
    function started(pageName) {
        var page = part(window, pageName);
        var dialogs = ["filterDialog", "cameraDialog", "aeDialog", "lensDialog", "coolingDialog"];
        tryVerify(function() {
            return page.previewing && page.cameraSetted
                   && dialogs.every(function(name) { return !page[name] || !page[name].visible });
        }, 20000, pageName + " has started");
        var message;
        while ((message = overlayDialog(window, "customMessageDialog")) !== null) {
            message.close();
            tryVerify(function() { return overlayDialog(window, "customMessageDialog") !== message });
        }
    }

    function headFlags() {
        return [head.buttonBackVisible, head.buttonHomeVisible, head.buttonSettingVisible,
                head.buttonCaptureVisible, head.buttonImagesVisible];
    }

    function test_loginShowsMainPageOnHome() {
        verify(!window.loginPage.visible);
        compare(window.curUserName, "admin");
        compare(body.shownPage, Pages.HomePage);
        compare(headFlags(), [false, true, true, false, false]);
        compare(MainCtrl.expMode, EnumOBJ.Unknow_ExpMode);
    }

    function test_enterExperimentFromHome_data() {
        return [
            { tag: "gel", button: "gelButton", page: Pages.GelCapturePage, mode: EnumOBJ.Gel, log: "GelCapturePage" },
            { tag: "western blot", button: "wbButton", page: Pages.WesternBlotCapturePage, mode: EnumOBJ.WB,
              log: "WesternBlotCapturePage" },
            { tag: "multi-fluorescence", button: "fluButton", page: Pages.MultiFluorescenceCapturePage,
              mode: EnumOBJ.Mult, log: "MultiFluorescenceCapturePage" }
        ];
    }
    function test_enterExperimentFromHome(row) {
        click(part(window, row.button));
        tryCompare(body, "shownPage", row.page);
        compare(MainCtrl.expMode, row.mode);
        compare(body.mPageType, row.page);
        compare(headFlags(), [true, false, false, true, true]);
        compare(testProbe.logCount(row.log + ".enterPage"), 1);
        compare(testProbe.logCount(row.log + ".updateLightStatus true"), 1);
        started(row.log);

        // Images of the running experiment keep "Capture"; the capture page is told the light
        // goes off.
        click(part(window, "imagesButton"));
        tryCompare(body, "shownPage", Pages.imagesPageOf(Pages.kindOf(row.page)));
        compare(headFlags(), [true, false, false, true, true]);
        compare(testProbe.logCount(row.log + ".updateLightStatus false"), 1);
        click(part(window, "captureButton"));
        tryCompare(body, "shownPage", row.page);

        // Back leaves the experiment and returns to the main row with "Home" checked.
        click(part(window, "backButton"));
        tryCompare(body, "shownPage", Pages.HomePage);
        compare(headFlags(), [false, true, true, false, false]);
        verify(part(window, "homeButton").checked);
        compare(MainCtrl.expMode, EnumOBJ.Unknow_ExpMode);
        compare(testProbe.logCount(row.log + ".exitPage"), 1);
    }

    function test_imageMenuPerConfiguration_data() {
        return [
            { tag: "all three", authority: EnumOBJ.AllAuthorityTS, height: 180, items: [true, true, true], opened: true },
            { tag: "gel and WB", authority: EnumOBJ.GelAndWBTS695_Auto, height: 130, items: [true, true, false], opened: true },
            { tag: "WBQI opens WB images", authority: EnumOBJ.WBQI, height: 80, items: [false, true, false], opened: false,
              page: Pages.WesternBlotImagesPage, mode: EnumOBJ.WB },
            { tag: "WB only", authority: EnumOBJ.WBTS695Mini, height: 80, items: [false, true, false], opened: false,
              page: Pages.WesternBlotImagesPage, mode: EnumOBJ.WB },
            { tag: "gel only opens gel images", authority: EnumOBJ.GelTS20BW, height: 80, items: [true, false, false],
              opened: false, page: Pages.GelImagesPage, mode: EnumOBJ.Gel }
        ];
    }
    function test_imageMenuPerConfiguration(row) {
        MainCtrl.authorityType = row.authority;
        var menu = part(window, "imageMenu");
        click(part(window, "imageButton"));
        compare(menu.height, row.height);
        compare([menu.entries.gel, menu.entries.wb, menu.entries.flu], row.items);
        if (row.opened) {
            verify(menu.visible);
            click(part(window, "fluImagesItem").visible ? part(window, "fluImagesItem")
                                                             : part(window, "wbImagesItem"));
        }
        tryCompare(menu, "visible", false);
        var expected = row.page !== undefined ? row.page
                     : (row.items[2] ? Pages.MultiFluorescenceImagesPage : Pages.WesternBlotImagesPage);
        tryCompare(body, "shownPage", expected);
        if (row.mode !== undefined)
            compare(MainCtrl.expMode, row.mode);
        // Reached through the menu: Back and "Images", no "Capture"; the list is reloaded once.
        compare(headFlags(), [true, false, false, false, true]);
        verify(part(window, "imagesButton").checked);
        compare(testProbe.logCount("ImagesPage.updateListView true"), 1);
        click(part(window, "backButton"));
        tryCompare(body, "shownPage", Pages.HomePage);
    }

    function test_settingAndAuditPages() {
        click(part(window, "settingButton"));
        tryCompare(body, "shownPage", Pages.SettingPage);
        compare(headFlags(), [false, true, true, false, false]);
        // Opening the audit page resets its filters, searches and re-reads the handlers.
        var audit = part(window, "IC_AuditTrailPage");
        part(audit, "startField").text = "2099-01-01 00:00:00";
        audit.startTime = "2099-01-01 00:00:00";
        audit.current = 3;
        click(part(window, "auditButton"));
        tryCompare(body, "shownPage", Pages.AuditTrailPage);
        compare([part(audit, "startField").text, audit.startTime, audit.current], ["", "", 1]);
        verify(part(audit, "auditList").count > 0, "the login rows are listed");
        verify(part(audit, "handlerCombo").count >= 1);
        click(part(window, "homeButton"));
        tryCompare(body, "shownPage", Pages.HomePage);
    }

    function test_rightsDisableNavigation() {
        AuthorityComponent.authImageView = 0;
        AuthorityComponent.authAuditTrail = 0;
        verify(!part(window, "imageButton").enabled);
        verify(!part(window, "auditButton").enabled);
        verify(!part(window, "imagesButton").enabled);
        verify(part(window, "settingButton").enabled);
    }

    function test_switchToImagesAfterCapture() {
        click(part(window, "wbButton"));
        tryCompare(body, "shownPage", Pages.WesternBlotCapturePage);
        var wbPage = part(window, "WesternBlotCapturePage");
        wbPage.sig_SwitchCheckedBtn();
        tryCompare(body, "shownPage", Pages.WesternBlotImagesPage);
        verify(head.buttonCaptureVisible);
        // The Western-blot page can send the operator home (closing its cooling dialog).
        wbPage.sig_BackToHome();
        tryCompare(body, "shownPage", Pages.HomePage);
        compare(testProbe.logCount("WesternBlotCapturePage.exitPage"), 1);
    }

    function test_doorButton_data() {
        return [
            { tag: "S60 has no door", authority: EnumOBJ.AllAuthorityTS, enabled: false },
            { tag: "WBQI", authority: EnumOBJ.WBQI, enabled: false },
            { tag: "Mini", authority: EnumOBJ.WBTSFL9BWMini, enabled: false },
            { tag: "GelTS20BW", authority: EnumOBJ.GelTS20BW, enabled: true },
            { tag: "all kinds 695 manual", authority: EnumOBJ.AllAuthorityTS695_Manual, enabled: true }
        ];
    }
    function test_doorButton(row) {
        MainCtrl.authorityType = row.authority;
        var door = part(window, "doorButton");
        compare(door.enabled, row.enabled);
        if (!row.enabled)
            return;
        var rowsBefore = auditMark();
        click(part(window, "gelButton"));
        tryCompare(body, "shownPage", Pages.GelCapturePage);
        started("GelCapturePage");
        head.dooropen = false;
        click(door);
        verify(head.dooropen);
        tryVerify(function() { return testProbe.doorReleaseFrames() === 1 }, 5000, "the door-release frame goes to the board");
        compare(testProbe.logCount("GelCapturePage.door_release"), 1);
        var rows = auditSince(rowsBefore);
        compare(rows.length, 2);
        compare([rows[0].module, rows[0].content, rows[0].languageId], ["系统", "点击解锁", 0]);
        compare([rows[1].module, rows[1].content, rows[1].languageId], ["System", "ReleaseDoor Clicked", 1]);
        compare(rows[1].handler, "admin");
    }

    function test_logoutReturnsToLogin() {
        click(part(window, "fluButton"));
        tryCompare(body, "shownPage", Pages.MultiFluorescenceCapturePage);
        started("MultiFluorescenceCapturePage");
        click(part(window, "userButton"));
        click(part(window, "logoutItem"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        compare(dialog.bodyText, "Confirm logout?");
        // What the login page shows is reset: no password, no error, the last user chosen.
        part(window.loginPage, "passwordField").text = "typed";
        part(window.loginPage, "errorBox").visible = true;
        click(findChild(dialog.contentItem, "yesButton"));
        tryCompare(window.loginPage, "visible", true);
        verify(!window.mainPage.visible);
        compare(part(window.loginPage, "passwordField").text, "");
        verify(!part(window.loginPage, "errorBox").visible);
        compare(part(window.loginPage, "userCombo").currentText, "admin");
        compare(testProbe.logCount("MultiFluorescenceCapturePage.exitPage"), 1);
        compare(body.shownPage, Pages.HomePage);
        compare(headFlags(), [false, true, true, false, false]);
    }

    function logoutNow() {
        click(part(window, "userButton"));
        click(part(window, "logoutItem"));
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened });
        click(findChild(dialog.contentItem, "yesButton"));
        tryCompare(window.loginPage, "visible", true);
    }

    // After login: the image folder is asked for when so chosen, and a device error keeps the
    // experiments closed.
    function test_loginAsksForImageFolderAndKeepsDeviceErrors() {
        UserOpts.isChangPathEveryTime = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsChangPathEveryTime);
        MainCtrl.errorCode = EnumOBJ.CameraErr;
        logoutNow();
        logIn(window);
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "imagePathDialog"); return dialog !== null && dialog.opened });
        click(findChild(dialog.contentItem, "okButton"));
        tryVerify(function() { return overlayDialog(window, "imagePathDialog") === null });
        var home = window.mainPage.body.homePage;
        compare([part(home, "gelButton").enabled, part(home, "wbButton").enabled, part(home, "fluButton").enabled],
                [false, false, false]);

        MainCtrl.errorCode = EnumOBJ.NoErr;
        UserOpts.isChangPathEveryTime = false;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsChangPathEveryTime);
        window.mainPage.setHomePageEnable(false);
        logoutNow();
        logIn(window);
        wait(50);
        compare(overlayDialog(window, "imagePathDialog"), null);
        compare([part(home, "gelButton").enabled, part(home, "wbButton").enabled, part(home, "fluButton").enabled],
                [true, true, true]);
    }
}
