import QtQuick 2.15
import an.qt.MainCtrl 1.0
import "../js/Pages.js" as Pages

// The page frame below the head bar: every page is made once and only shown or hidden, so a
// hidden page keeps its state.
Item {
    id: body
    objectName: "IC_BodyPage"
    // The capture page entered last (-1 before any).
    property int mPageType: -1
    property bool errorOccured: false
    // The page shown in the frame (while the main page is hidden too).
    property int shownPage: Pages.HomePage
    readonly property var pages: [homePage, auditTrailPage, settingPage, gelCapturePage, westernBlotCapturePage,
                                  multiFluorescenceCapturePage, gelImagesPage, westernBlotImagesPage,
                                  multiFluorescenceImagesPage]
    property alias homePage: homePage
    property alias settingPage: settingPage

    signal sig_ShowExpButtons(int experimentType, bool show, bool isImage)
    signal sig_SwitchCheckedBtn()
    signal sig_BackToHome()
    signal sig_LanguageChanged(int language)

    function capturePage(kind) { return pages[Pages.capturePageOf(kind)] }

    function slot_ChangePage(pageType) {
        for (var i = 0; i < pages.length; ++i)
            pages[i].visible = false;
        var kind = Pages.kindOf(pageType);
        shownPage = pageType;
        if (pageType === Pages.HomePage) {
            homePage.resetExpMode();
            homePage.visible = true;
        } else if (pageType === Pages.SettingPage) {
            settingPage.visible = true;
        } else if (pageType === Pages.AuditTrailPage) {
            auditTrailPage.visible = true;
            auditTrailPage.resetSearchCondition();
            auditTrailPage.searchByPage();
            auditTrailPage.updateUserCombox();
        } else if (Pages.isCapturePage(pageType)) {
            sig_ShowExpButtons(kind, true, false);
            pages[pageType].visible = true;
            pages[pageType].updateLightStatus(true);
        } else if (Pages.isImagesPage(pageType)) {
            pages[pageType].visible = true;
            sig_ShowExpButtons(kind, true, true);
            pages[pageType].updateListView(true);
            capturePage(kind).updateLightStatus(false);
        }
    }
    function slot_EnterPage(pageType) {
        mPageType = pageType;
        if (Pages.isCapturePage(pageType))
            pages[pageType].enterPage();
    }
    function slot_ExitPage() {
        if (Pages.isCapturePage(mPageType))
            pages[mPageType].exitPage();
    }
    function slot_doorRelease() {
        for (var kind = Pages.Gel; kind <= Pages.MultiFluorescence; ++kind) {
            if (capturePage(kind).visible) {
                capturePage(kind).door_release();
                return;
            }
        }
    }
    function reTranslateUi(language) {
        homePage.reTranslateUi(language);
        settingPage.reTranslateUi(language);
        westernBlotCapturePage.reTranslateUi(language);
    }
    function setHomePageEnable(error) {
        errorOccured = error;
        homePage.errorOccured = error;
        homePage.disabledButtons();
    }

    HomePage {
        id: homePage
        anchors.fill: parent
        visible: true
        onSig_ChangePage: body.slot_ChangePage(pageType)
        onSig_EnterPage: body.slot_EnterPage(pageType)
    }
    IC_AuditTrailPage { id: auditTrailPage; anchors.fill: parent; visible: false }
    IC_SettingPage {
        id: settingPage
        anchors.fill: parent
        visible: false
        onSig_LanguageChanged: body.sig_LanguageChanged(language)
    }
    GelCapturePage {
        id: gelCapturePage
        anchors.fill: parent
        visible: false
        onSig_SwitchCheckedBtn: body.sig_SwitchCheckedBtn()
    }
    WesternBlotCapturePage {
        id: westernBlotCapturePage
        anchors.fill: parent
        visible: false
        onSig_SwitchCheckedBtn: body.sig_SwitchCheckedBtn()
        onSig_BackToHome: body.sig_BackToHome()
    }
    MultiFluorescenceCapturePage {
        id: multiFluorescenceCapturePage
        anchors.fill: parent
        visible: false
        onSig_SwitchCheckedBtn: body.sig_SwitchCheckedBtn()
    }
    GelImagesPage { id: gelImagesPage; anchors.fill: parent; visible: false }
    WesternBlotImagesPage { id: westernBlotImagesPage; anchors.fill: parent; visible: false }
    MultiFluorescenceImagesPage { id: multiFluorescenceImagesPage; anchors.fill: parent; visible: false }
}
