import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "qrc:/js/Pages.js" as Pages

// The home page's experiment buttons per configuration group, right and error state, and their
// pictures per language.
ShellTestCase {
    name: "Home"
    property var window: null
    property var home: null

    function setUpFile() {
        window = makeWindow(true);
        home = window.mainPage.body.homePage;
    }
    function tearDownFile() {
        window.destroy();
    }
    function cleanupEach() {
        AuthorityComponent.authGelCapture = 1;
        AuthorityComponent.authWBCapture = 1;
        AuthorityComponent.authFluCapture = 1;
        home.errorOccured = false;
        MainCtrl.authorityType = EnumOBJ.AllAuthorityTS;
        home.reTranslateUi(UserOpts.Chinese);
    }
    // The home page takes configuration and rights each time it is shown.
    function showHome() {
        click(part(window, "settingButton"));
        click(part(window, "homeButton"));
        tryCompare(window.mainPage.body, "shownPage", Pages.HomePage);
    }
    function enabledButtons() {
        return [part(home, "gelButton").enabled, part(home, "wbButton").enabled, part(home, "fluButton").enabled];
    }

    function test_buttonsPerConfiguration_data() {
        return [
            { tag: "S60 all three", authority: EnumOBJ.AllAuthorityTS, buttons: [true, true, true] },
            { tag: "WBQI", authority: EnumOBJ.WBQI, buttons: [false, true, false] },
            { tag: "WBTS695Mini", authority: EnumOBJ.WBTS695Mini, buttons: [false, true, false] },
            { tag: "GelTS20BW", authority: EnumOBJ.GelTS20BW, buttons: [true, false, false] },
            { tag: "gel and WB", authority: EnumOBJ.GelAndWBTSFL9BW_Manual, buttons: [true, true, false] },
            { tag: "all three FL9BW", authority: EnumOBJ.AllAuthorityTSFL9BW_Auto, buttons: [true, true, true] },
            { tag: "unknown", authority: EnumOBJ.Unknow_AuthorityType, buttons: [false, false, false] }
        ];
    }
    function test_buttonsPerConfiguration(row) {
        MainCtrl.authorityType = row.authority;
        showHome();
        compare(enabledButtons(), row.buttons);
    }

    function test_rightsPerKind_data() {
        return [
            { tag: "no WB right on WBQI", authority: EnumOBJ.WBQI, rights: [1, 0, 1], buttons: [false, false, false] },
            { tag: "no gel right on S60", authority: EnumOBJ.AllAuthorityTS, rights: [0, 1, 1], buttons: [false, true, true] },
            { tag: "no flu right on S60", authority: EnumOBJ.AllAuthorityTS, rights: [1, 1, 0], buttons: [true, true, false] }
        ];
    }
    function test_rightsPerKind(row) {
        MainCtrl.authorityType = row.authority;
        AuthorityComponent.authGelCapture = row.rights[0];
        AuthorityComponent.authWBCapture = row.rights[1];
        AuthorityComponent.authFluCapture = row.rights[2];
        showHome();
        compare(enabledButtons(), row.buttons);
    }

    function test_deviceErrorDisablesAll() {
        window.mainPage.setHomePageEnable(true);
        compare(enabledButtons(), [false, false, false]);
        // The stored language (English) is applied again with the disabled pictures.
        compare(String(part(home, "gelButton").pictureSource), "qrc:/Image/gel_disable_en.png");
        showHome();
        compare(enabledButtons(), [false, false, false]);
    }

    function test_picturesFollowLanguageAndState() {
        showHome();
        var gel = part(home, "gelButton");
        home.reTranslateUi(UserOpts.English);
        compare(String(gel.pictureSource), "qrc:/Image/gel_normal_en.png");
        mouseMove(gel, gel.width / 2, gel.height / 2);
        tryCompare(gel, "hovered", true);
        compare(String(gel.pictureSource), "qrc:/Image/gel_hovered_en.png");
        mouseMove(window.mainPage.head, 5, 5);
        tryCompare(gel, "hovered", false);
        home.reTranslateUi(UserOpts.Chinese);
        compare(String(gel.pictureSource), "qrc:/Image/gel_normal.png");
        // Disabled pictures switch language too.
        MainCtrl.authorityType = EnumOBJ.WBQI;
        showHome();
        home.reTranslateUi(UserOpts.English);
        compare(String(gel.pictureSource), "qrc:/Image/gel_disable_en.png");
        compare(String(part(home, "wbButton").pictureSource), "qrc:/Image/western_blot_normal_en.png");
    }

    function test_clickEntersCaptureAndSetsMode() {
        showHome();
        click(part(home, "fluButton"));
        compare(MainCtrl.expMode, EnumOBJ.Mult);
        compare(window.mainPage.body.shownPage, Pages.MultiFluorescenceCapturePage);
        click(part(window, "backButton"));
        compare(MainCtrl.expMode, EnumOBJ.Unknow_ExpMode);
    }
}
