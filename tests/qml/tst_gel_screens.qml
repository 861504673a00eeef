import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.CamOpts 1.0
import an.qt.EnumOBJ 1.0

// Pictures of the gel capture page (preview, images listed) and of the capture setting
// dialogs, in Chinese and English, at scale 1.0 and 1.2, 1280 x 800, into build/screens.
ShellTestCase {
    name: "GelScreens"
    property var window: null
    property var page: null
    property int savedAuthority: 0

    SignalSpy { id: stopped; target: MainCtrl; signalName: "previewStoped" }

    function setUpFile() {
        savedAuthority = MainCtrl.authorityType;
        UserOpts.colorMarkerVisible = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ColorMarkerVisible);
        UserOpts.uv254nmSelected = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_UV254nmSelected);
        window = makeWindow(true);
        page = window.mainPage.body.pages[3];
    }
    function tearDownFile() {
        translatorControl.loadLanguage(UserOpts.English);
        window.destroy();
        testProbe.setScaleRatio(1.0);
        MainCtrl.authorityType = savedAuthority;
    }

    function shoot(prefix, name) {
        settle(window.contentItem);
        var path = testProbe.screensDir() + "/" + prefix + "_" + name + ".png";
        var root = window.contentItem.parent;
        root.width = window.width;
        root.height = window.height;
        var saved = null;
        verify(root.grabToImage(function(result) { saved = result.saveToFile(path) }));
        tryVerify(function() { return saved !== null }, 5000);
        verify(saved, path);
    }
    function shootDialog(prefix, name, url, setUp) {
        var component = Qt.createComponent(url);
        verify(component.status === Component.Ready, component.errorString());
        var dialog = component.createObject(window.overlay);
        if (setUp)
            setUp(dialog);
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
        translatorControl.loadLanguage(row.language);
        MainCtrl.authorityType = savedAuthority;
        click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000);
        // The wheel's first move ends in automatic exposure.
        tryVerify(function() { return !page.cameraDialog.visible && !page.filterDialog.visible && !page.aeDialog.visible
                                      && !page.cameraBar.aeOn }, 20000);
        click(part(page, "cameraSettingButton"));
        shoot(row.prefix, "gel_capture_preview");
        click(part(page, "cameraSettingButton"));

        CamOpts.gelTSCurExposurePre = 20;
        MainCtrl._GelTSPreExpChanged(20);
        var colour = part(page, "colorBox");
        if (!colour.checked)
            click(colour);
        click(part(page, "captureButton"));
        tryVerify(function() { return page.captureFinished }, 30000);
        page.selectEntry(0);
        shoot(row.prefix, "gel_capture_images");
        // After a level change: the right level pulled to the left brightens the picture.
        var right = part(page, "rightSlider");
        tryVerify(function() { return right.visible }, 5000);
        // The panel scrolls to its histogram where it lies below the fold (scale 1.2).
        for (var flick = right.parent; flick && flick.contentY === undefined; flick = flick.parent) {}
        if (flick)
            flick.contentY = Math.max(0, flick.contentHeight - flick.height);
        mouseDrag(right, right.handle.x + right.handle.width / 2, right.handle.y + right.handle.height / 2, -right.width * 0.7, 0);
        tryVerify(function() { return right.value < 40000 }, 5000, "dragged " + right.value);
        shoot(row.prefix, "gel_capture_levels");
        click(part(page, "autoButton"));
        if (flick)
            flick.contentY = 0;
        page.selectEntry(1);
        shoot(row.prefix, "gel_capture_images_colour");

        var where = function(dialog) { dialog.setCoordi(1200, 100, 1150, 40, false) };
        shootDialog(row.prefix, "gel_dialog_exposure", "qrc:/dialogs/ExposureSettingDialog.qml", where);
        shootDialog(row.prefix, "gel_dialog_focus", "qrc:/dialogs/FocusSettingDialog.qml", where);
        shootDialog(row.prefix, "gel_dialog_blue", "qrc:/dialogs/AdaptBlueDialog.qml",
                    function(dialog) { dialog.setCoordi(1200, 100, 1150, 40) });
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS695_Auto;
        shootDialog(row.prefix, "gel_dialog_more_setting", "qrc:/dialogs/GelMoreSettingDialog.qml");
        shootDialog(row.prefix, "mult_dialog_more_setting", "qrc:/dialogs/MultMoreSettingDialog.qml");
        MainCtrl.authorityType = savedAuthority;

        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        // The preview thread has ended before the next row or the end of the program.
        tryVerify(function() { return stopped.count > 0 }, 10000);
    }

    // The single-gel cabinet's picture zoomed in with its overview, and its cut region drawn.
    function test_singleGelScreens_data() {
        return [
            { tag: "zh 1.0", language: UserOpts.Chinese, scale: 1.0, prefix: "zh_1.0" },
            { tag: "en 1.2", language: UserOpts.English, scale: 1.2, prefix: "en_1.2" }
        ];
    }
    function test_singleGelScreens(row) {
        testProbe.setScaleRatio(row.scale);
        translatorControl.loadLanguage(row.language);
        MainCtrl.authorityType = EnumOBJ.GelTS20BW;
        verify(page.singleGel);
        click(part(window.mainPage.body.homePage, "gelButton"));
        tryVerify(function() { return page.previewing }, 10000);
        tryVerify(function() { return !page.cameraDialog.visible }, 6000);
        tryVerify(function() { return page.imageItem.getTempRect().width > 0 }, 5000);

        for (var i = 0; i < 3; ++i)
            click(part(page, "zoomInButton"));
        tryCompare(part(page, "overview"), "visible", true);
        shoot(row.prefix, "gel_capture_overview");
        click(part(page, "fitButton"));
        tryCompare(part(page, "overview"), "visible", false);
        tryVerify(function() { return page.imageItem.getTempRect().x > 0 }, 5000, "the fitted picture is drawn");

        click(part(page, "cutButton"));
        var chooser = page.cutChooser;
        tryCompare(chooser, "visible", true);
        mousePress(chooser, 60, 50);
        mouseMove(chooser, 200, 150);
        mouseMove(chooser, 340, 260);
        mouseRelease(chooser, 340, 260);
        shoot(row.prefix, "gel_capture_cut");
        click(findChild(chooser, "cancelButton"));
        tryCompare(chooser, "visible", false);

        stopped.clear();
        click(part(window.mainPage.head, "backButton"));
        tryVerify(function() { return !page.entered });
        tryVerify(function() { return stopped.count > 0 }, 10000);
        MainCtrl.authorityType = savedAuthority;
    }
}
