import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/CheckLoginFunctions.js" as CLJS

// Pictures of the window for people to look at: the home page, every settings tab and every
// common dialog, in Chinese and English, at scale 1.0 and 1.2, 1280 x 800, into build/screens.
ShellTestCase {
    name: "Screens"
    property var window: null

    function setUpFile() {
        window = makeWindow(false);
    }
    function tearDownFile() {
        if (!window.mainPage.visible)
            logIn(window);
        applyLanguage(UserOpts.Chinese);
        window.destroy();
        testProbe.setScaleRatio(1.0);
    }

    function shoot(prefix, name) {
        settle(window.contentItem);
        var path = testProbe.screensDir() + "/" + prefix + "_" + name + ".png";
        // The window's root item holds the pages and the popups above them.
        var root = window.contentItem.parent;
        root.width = window.width;
        root.height = window.height;
        var saved = null;
        verify(root.grabToImage(function(result) { saved = result.saveToFile(path) }));
        tryVerify(function() { return saved !== null }, 5000);
        verify(saved, path);
    }
    // As the operator does: the language buttons of the device settings.
    function applyLanguage(language) {
        click(part(window, "settingButton"));
        var device = window.mainPage.body.settingPage.deviceSettingPage;
        settle(window.contentItem);
        click(part(device, language === UserOpts.English ? "englishButton" : "chineseButton"));
        compare(UserOpts.language, language);
    }
    function dialogFrom(url, properties) {
        var component = Qt.createComponent(url);
        verify(component.status === Component.Ready, component.errorString());
        var dialog = component.createObject(window.overlay, properties || {});
        verify(dialog !== null);
        return dialog;
    }
    function shootDialog(prefix, name, dialog) {
        dialog.open();
        tryCompare(dialog, "opened", true);
        shoot(prefix, name);
        dialog.close();
        tryCompare(dialog, "visible", false);
        dialog.destroy();
    }

    function test_screens_data() {
        return [
            { tag: "zh 1.0", language: UserOpts.Chinese, scale: 1.0, prefix: "zh_1.0" },
            { tag: "en 1.0", language: UserOpts.English, scale: 1.0, prefix: "en_1.0" },
            { tag: "zh 1.2", language: UserOpts.Chinese, scale: 1.2, prefix: "zh_1.2" },
            { tag: "en 1.2", language: UserOpts.English, scale: 1.2, prefix: "en_1.2" }
        ];
    }
    function test_screens(row) {
        testProbe.setScaleRatio(row.scale);
        if (!window.mainPage.visible)
            logIn(window);
        applyLanguage(row.language);
        var settings = window.mainPage.body.settingPage;
        click(part(window, "homeButton"));
        shoot(row.prefix, "home");

        click(part(window, "imageButton"));
        shoot(row.prefix, "home_image_menu");
        part(window, "imageMenu").close();
        click(part(window, "userButton"));
        shoot(row.prefix, "home_user_menu");
        part(window, "userMenu").close();

        click(part(window, "wbButton"));
        shoot(row.prefix, "wb_capture_from_home");
        click(part(window, "backButton"));

        click(part(window, "settingButton"));
        var tabs = ["device_setting", "document_title", "user_manage", "group_manage", "authority_manage",
                    "system_info", "engineer_locked"];
        for (var i = 0; i < tabs.length; ++i) {
            settings.selectTab(i);
            shoot(row.prefix, "setting_" + i + "_" + tabs[i]);
        }
        // The edit views of the user, group and role tabs.
        settings.selectTab(2);
        var users = part(window, "UserManagementPage");
        click(part(users, "addButton"));
        shoot(row.prefix, "setting_2_user_new");
        click(part(users, "cancelButton"));
        settings.selectTab(3);
        var groups = part(window, "GroupManagementPage");
        part(groups, "groupTable").currentIndex = 0;
        groups.updateButtons();
        click(part(groups, "detailButton"));
        shoot(row.prefix, "setting_3_group_detail");
        click(part(groups, "cancelButton"));
        settings.selectTab(4);
        var roles = part(window, "RoleManagementPage");
        part(roles, "roleTable").currentIndex = 1;
        roles.updateButtons();
        click(part(roles, "editButton"));
        shoot(row.prefix, "setting_4_role_edit");
        click(part(roles, "cancelButton"));
        part(settings.engineerPage, "passwordField").text = "plorvek";
        click(part(settings.engineerPage, "confirmButton"));
        shoot(row.prefix, "setting_6_engineer_form");
        settings.selectTab(0);

        var question = dialogFrom("qrc:/dialogs/CustomMessageDialog.qml", { cancelVisible: true });
        question.setSource("qrc:/Image/warning.png", qsTranslate("IC_HeadPage", "Warning"),
                           qsTranslate("IC_HeadPage", "Confirm exit?"));
        shootDialog(row.prefix, "dialog_message_question", question);
        var message = dialogFrom("qrc:/dialogs/CustomMessageDialog.qml");
        message.setSource("qrc:/Image/warning.png", qsTranslate("SystemInfoPage", "Warning"),
                          qsTranslate("SystemInfoPage", "Open user manual failed, please makesure WPS is installed."));
        message.setHeight(150);
        shootDialog(row.prefix, "dialog_message", message);
        shootDialog(row.prefix, "dialog_loading",
                    dialogFrom("qrc:/dialogs/LoadingDialog.qml", { text: qsTranslate("LoadingDialog", "Auto Exposuring...") }));
        shootDialog(row.prefix, "dialog_capture_progress",
                    dialogFrom("qrc:/dialogs/CaptureProgressDialog.qml", { totalTime: 65000 }));
        var exporting = dialogFrom("qrc:/dialogs/ExportProcessDialog.qml", { totalExport: 8 });
        exporting.open();
        exporting.updateValue(2, 8);
        shootDialog(row.prefix, "dialog_export_progress", exporting);
        shootDialog(row.prefix, "dialog_image_path", dialogFrom("qrc:/dialogs/CaptureImagePathSettingDialog.qml"));
        var renaming = dialogFrom("qrc:/dialogs/RenameDialog.qml", { renameType: 1, originName: "10-11-12_Color",
                                                                      listImageNames: function() { return [] } });
        renaming.open();
        tryCompare(renaming, "opened", true);
        findChild(renaming.contentItem, "nameField").text = "plain";
        click(findChild(renaming.contentItem, "saveButton"));
        shootDialog(row.prefix, "dialog_rename", renaming);

        // The audit trail with rows, its export dialog and time picker.
        click(part(window, "auditButton"));
        var audit = part(window, "IC_AuditTrailPage");
        tryVerify(function() { return audit.visible });
        shoot(row.prefix, "audit_trail");
        click(part(audit, "exportButton"));
        var exportDialog = part(audit, "auditTrailExport");
        tryCompare(exportDialog, "opened", true);
        shoot(row.prefix, "dialog_audit_export");
        exportDialog.close();
        tryCompare(exportDialog, "visible", false);
        mouseClick(part(audit, "startField"));
        var picker = part(audit, "timerSelector");
        tryCompare(picker, "opened", true);
        picker.updateSpecifiedDate("2026-02-14 09:30:15");
        wait(0);
        compare(picker.getSelectTime(), "2026-02-14 09:30:15");
        shoot(row.prefix, "dialog_timer_selector");
        picker.close();
        tryCompare(picker, "visible", false);
        click(part(window, "homeButton"));

        // The signature, with a wrong password tried.
        UserOpts.isSignature = true;
        CLJS.showCheckLogin(function() {});
        var signature = signatureDialog(window);
        findChild(signature.contentItem, "passwordField").text = "wrong";
        click(findChild(signature.contentItem, "okButton"));
        shoot(row.prefix, "dialog_signature");
        answerSignature(window, false);
        UserOpts.isSignature = false;

        var chooserComponent = Qt.createComponent("qrc:/dialogs/ScreenChoose.qml");
        var chooser = chooserComponent.createObject(window.mainPage.body, { m_MScale: 1, width: 900, height: 600 });
        mouseDrag(chooser, 200, 150, 300, 200);
        shoot(row.prefix, "dialog_region_selector");
        chooser.destroy();

        // The login page in this language and scale (the next row logs in again).
        window.loggedOut();
        shoot(row.prefix, "login");
    }
}
