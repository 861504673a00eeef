import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Configuration.js" as Config
import "../js/Pages.js" as Pages

// The first page after login: one picture button per kind of experiment, usable when the
// configuration offers the kind and the user's role allows its capture.
Item {
    id: page
    objectName: "HomePage"
    property int m_language: UserOpts.Chinese
    property bool errorOccured: false
    signal sig_ChangePage(int pageType)
    signal sig_EnterPage(int pageType)

    function picture(prefix, button) {
        var state = !button.enabled ? "disable" : (button.hovered ? "hovered" : "normal");
        return "qrc:/Image/" + prefix + "_" + state + (m_language === UserOpts.English ? "_en" : "") + ".png";
    }
    function reTranslateUi(language) {
        m_language = language;
        gelButton.pictureSource = picture("gel", gelButton);
        wbButton.pictureSource = picture("western_blot", wbButton);
        fluButton.pictureSource = picture("multi_fluorescence", fluButton);
    }
    function applyLanguageOption() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_Language);
        reTranslateUi(UserOpts.language);
    }
    function resetExpMode() { MainCtrl.expMode = EnumOBJ.Unknow_ExpMode }
    function disabledButtons() {
        if (!errorOccured)
            return;
        gelButton.enabled = false;
        wbButton.enabled = false;
        fluButton.enabled = false;
        applyLanguageOption();
    }
    function enableOffered() {
        var kinds = Config.offeredKinds(MainCtrl);
        gelButton.enabled = kinds.gel;
        wbButton.enabled = kinds.wb;
        fluButton.enabled = kinds.flu;
    }
    function refreshButtons() {
        if (errorOccured) {
            disabledButtons();
            return;
        }
        enableOffered();
        gelButton.enabled = gelButton.enabled && !!AuthorityComponent.authGelCapture;
        wbButton.enabled = wbButton.enabled && !!AuthorityComponent.authWBCapture;
        fluButton.enabled = fluButton.enabled && !!AuthorityComponent.authFluCapture;
        applyLanguageOption();
    }
    function enter(kind, mode) {
        sig_ChangePage(Pages.capturePageOf(kind));
        sig_EnterPage(Pages.capturePageOf(kind));
        MainCtrl.expMode = mode;
    }

    Component.onCompleted: {
        enableOffered();
        applyLanguageOption();
    }
    onVisibleChanged: if (visible) refreshButtons()

    component KindButton: Button {
        id: kindButton
        property string prefix
        property url pictureSource
        enabled: false
        hoverEnabled: true
        implicitWidth: Style.s(291)
        implicitHeight: Style.s(267)
        padding: 0
        background: Item {}
        contentItem: Image {
            source: kindButton.pictureSource
            fillMode: Image.PreserveAspectFit
            smooth: true
        }
        onHoveredChanged: pictureSource = page.picture(prefix, kindButton)
        onEnabledChanged: pictureSource = page.picture(prefix, kindButton)
    }

    Row {
        anchors.centerIn: parent
        spacing: Style.s(25)
        KindButton {
            id: gelButton
            objectName: "gelButton"
            prefix: "gel"
            onClicked: page.enter(Pages.Gel, EnumOBJ.Gel)
        }
        KindButton {
            id: wbButton
            objectName: "wbButton"
            prefix: "western_blot"
            onClicked: page.enter(Pages.WesternBlot, EnumOBJ.WB)
        }
        KindButton {
            id: fluButton
            objectName: "fluButton"
            prefix: "multi_fluorescence"
            onClicked: page.enter(Pages.MultiFluorescence, EnumOBJ.Mult)
        }
    }
}
