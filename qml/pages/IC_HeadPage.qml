import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Configuration.js" as Config
import "../js/Pages.js" as Pages
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/Popups.js" as Popups

// The head bar: logo, navigation, the experiment row, door button and user menu; it also runs
// the exit sequence.
Rectangle {
    id: head
    objectName: "IC_HeadPage"
    property string userName: ""
    property bool buttonBackVisible: false
    property bool buttonHomeVisible: true
    property bool buttonSettingVisible: true
    property bool buttonCaptureVisible: false
    property bool buttonImagesVisible: false
    property int currentExperimentType: Pages.Gel
    property bool quitClicked: false
    property bool dooropen: true
    // The exit sequence waits this long at most for the experiment to be left.
    property int exitWaitLimit: 10000
    // Ends the program; the sequence's last step.
    property var quitAction: function() { Qt.quit() }
    readonly property bool imageMenuOpen: imageMenu.visible
    readonly property bool exitWaiting: exitWait.running

    signal sig_ChangePage(int pageType)
    signal sig_ExitPage()
    signal sig_DoorRelease()
    signal sig_Logout()

    color: Style.headColor
    height: Style.headHeight

    function slot_ShowExpButtons(experimentType, show, isImage) {
        buttonBackVisible = false;
        buttonHomeVisible = false;
        buttonSettingVisible = false;
        buttonImagesVisible = false;
        if (show) {
            buttonBackVisible = true;
            buttonImagesVisible = true;
            if (!(isImage && !buttonCaptureVisible))
                buttonCaptureVisible = true;
        } else {
            buttonHomeVisible = true;
            buttonSettingVisible = true;
            buttonCaptureVisible = false;
            homeButton.checked = true;
        }
        currentExperimentType = experimentType;
    }
    function slot_SwitchCheckedBtn() { imagesButton.checked = true }
    function slot_BackToHome() { backClicked() }

    function backClicked() {
        captureButton.checked = true;
        sig_ChangePage(Pages.HomePage);
        slot_ShowExpButtons(currentExperimentType, false, false);
        sig_ExitPage();
    }
    function triggerImageItem(kind) {
        sig_ChangePage(Pages.imagesPageOf(kind));
        MainCtrl.expMode = Pages.expModeOf(kind);
        currentExperimentType = kind;
        imagesButton.checked = true;
        imageMenu.close();
    }
    function openImageMenu() {
        imageMenu.open();
        var single = Config.imageMenu(MainCtrl).single;
        if (single === "wb")
            triggerImageItem(Pages.WesternBlot);
        else if (single === "gel")
            triggerImageItem(Pages.Gel);
    }
    function releaseDoor() {
        MainCtrl._GelTS20BWReleaseDoor();
        dooropen = true;
        sig_DoorRelease();
        Audit.write(ATJS.ModuleType.System, "点击解锁", "ReleaseDoor Clicked");
    }
    function ask(text, exitType) {
        var dialog = Popups.message(head.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"), text, true);
        if (!dialog)
            return;
        dialog.exitType = exitType;
        dialog.accepted.connect(function() {
            if (dialog.exitType === 0)
                runExitSequence();
            else
                logout();
        });
    }
    function logout() {
        sig_Logout();
        backClicked();
    }

    // Leaves a running experiment, records the exit, then releases the door (on every known
    // configuration) and closes the camera of the configuration's family before the program ends.
    function runExitSequence() {
        quitClicked = true;
        exitTimer.ticks = 0;
        var step = Config.exitExperimentStep(MainCtrl, MainCtrl.expMode);
        if (step !== "")
            exitWait.start();
        switch (step) {
        case "GelTS20BW": MainCtrl._GelTS20BWExitExperiment(); break;
        case "GelTS": MainCtrl._GelTSExitExperiment(); break;
        case "WBTS": MainCtrl._WBTSExitExperiment(); break;
        case "MultTS": MainCtrl._MultTSExitExperiment(); break;
        case "WBQI": MainCtrl._WBQIExitExperiment(); break;
        }
        Audit.write(ATJS.ModuleType.System, "用户退出", "User Logout");
        if (step === "")
            exitTimer.start();
    }
    function experimentLeft() {
        if (!quitClicked || exitTimer.running || exitTimer.ticks > 0)
            return;
        exitWait.stop();
        exitTimer.start();
    }

    Connections {
        target: MainCtrl
        function onPreviewStoped() { head.experimentLeft() }
        function onDoorStatusChange(open) { head.dooropen = open }
        // The board did not release the door: the button shows it as the board last confirmed.
        function onDoorCommandUnanswered(open) {
            head.dooropen = open;
            if (MainCtrl.hasDoor)
                Popups.message(head.Overlay.overlay, "qrc:/Image/warning.png", qsTr("Warning"),
                               qsTr("The cabinet did not answer the door command."), false);
        }
    }
    Timer {
        id: exitWait
        interval: head.exitWaitLimit
        onTriggered: {
            console.log("experiment not left in time; exiting");
            head.experimentLeft();
        }
    }
    Timer {
        id: exitTimer
        property int ticks: 0
        interval: 300
        repeat: true
        onTriggered: {
            ++ticks;
            if (ticks === 1) {
                // Every known configuration: a cabinet without a lock ignores the frame.
                if (MainCtrl.isKestrix || MainCtrl.isTucsen) {
                    console.log("解锁.");
                    MainCtrl._GelTS20BWReleaseDoor();
                }
                return;
            }
            stop();
            if (MainCtrl.isKestrix)
                MainCtrl._QICloseCamAndUnInit();
            else if (MainCtrl.isTucsen)
                MainCtrl._TSCloseCamAndUnInit();
            head.quitAction();
        }
    }

    Image {
        id: logo
        x: 30
        anchors.verticalCenter: parent.verticalCenter
        width: Style.s(100)
        height: Style.s(50)
        source: "qrc:/Image/logo.png"
        fillMode: Image.PreserveAspectFit
    }

    ButtonGroup {
        id: mainGroup
        onCheckedButtonChanged: {
            if (checkedButton === homeButton)
                head.sig_ChangePage(Pages.HomePage);
            else if (checkedButton === settingButton)
                head.sig_ChangePage(Pages.SettingPage);
            else if (checkedButton === auditButton)
                head.sig_ChangePage(Pages.AuditTrailPage);
        }
    }
    Row {
        id: mainRow
        x: logo.x + logo.width + 146
        anchors.verticalCenter: parent.verticalCenter
        spacing: 6
        HeadNavButton {
            id: homeButton
            objectName: "homeButton"
            text: qsTr("Home")
            visible: head.buttonHomeVisible
            checked: true
            ButtonGroup.group: mainGroup
        }
        HeadNavButton {
            id: imageButton
            objectName: "imageButton"
            text: qsTr("Image")
            visible: head.buttonHomeVisible
            enabled: !!AuthorityComponent.authImageView
            ButtonGroup.group: mainGroup
            onClicked: head.openImageMenu()
        }
        HeadNavButton {
            id: auditButton
            objectName: "auditButton"
            implicitWidth: 150
            text: qsTr("AuditTrail")
            visible: head.buttonHomeVisible
            enabled: !!AuthorityComponent.authAuditTrail
            ButtonGroup.group: mainGroup
        }
        HeadNavButton {
            id: settingButton
            objectName: "settingButton"
            text: qsTr("Setting")
            visible: head.buttonSettingVisible
            ButtonGroup.group: mainGroup
        }
    }

    Button {
        id: backButton
        objectName: "backButton"
        x: logo.x + logo.width + 146
        anchors.verticalCenter: parent.verticalCenter
        width: 44
        height: 44
        visible: head.buttonBackVisible
        padding: 0
        hoverEnabled: true
        background: Rectangle { radius: 22; color: backButton.hovered ? Style.headBackHover : "transparent" }
        contentItem: Image { source: "qrc:/Image/head_back.png" }
        onClicked: head.backClicked()
    }
    ButtonGroup {
        id: experimentGroup
        onCheckedButtonChanged: {
            if (head.imageMenuOpen)
                return;
            if (checkedButton === captureButton && head.buttonCaptureVisible)
                head.sig_ChangePage(Pages.capturePageOf(head.currentExperimentType));
            else if (checkedButton === imagesButton)
                head.sig_ChangePage(Pages.imagesPageOf(head.currentExperimentType));
        }
    }
    Row {
        x: backButton.x + backButton.width + 30
        anchors.verticalCenter: parent.verticalCenter
        spacing: 6
        HeadNavButton {
            id: captureButton
            objectName: "captureButton"
            text: qsTr("Capture")
            visible: head.buttonCaptureVisible
            checked: true
            ButtonGroup.group: experimentGroup
        }
        HeadNavButton {
            id: imagesButton
            objectName: "imagesButton"
            text: qsTr("Images")
            visible: head.buttonImagesVisible
            enabled: !!AuthorityComponent.authImageView
            ButtonGroup.group: experimentGroup
        }
    }

    Popup {
        id: imageMenu
        objectName: "imageMenu"
        readonly property var entries: Config.imageMenu(MainCtrl)
        x: mainRow.x + imageButton.x
        y: head.height
        width: 184
        height: entries.height
        padding: 0
        background: Rectangle { color: Style.white; border.color: "#CCCCCC"; radius: 8 }
        contentItem: Column {
            topPadding: 15
            component MenuEntry: ItemDelegate {
                width: 184
                height: 50
                font.family: Style.fontFamily
                font.pixelSize: 20
            }
            MenuEntry {
                objectName: "gelImagesItem"
                text: qsTr("Gel Images")
                visible: imageMenu.entries.gel
                onClicked: head.triggerImageItem(Pages.Gel)
            }
            MenuEntry {
                objectName: "wbImagesItem"
                text: qsTr("WB Images")
                visible: imageMenu.entries.wb
                onClicked: head.triggerImageItem(Pages.WesternBlot)
            }
            MenuEntry {
                objectName: "fluImagesItem"
                text: qsTr("Flu Images")
                visible: imageMenu.entries.flu
                onClicked: head.triggerImageItem(Pages.MultiFluorescence)
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: Style.s(20)
        anchors.verticalCenter: parent.verticalCenter
        spacing: 0
        Button {
            id: doorButton
            objectName: "doorButton"
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(60)
            height: Style.s(60)
            padding: 0
            enabled: MainCtrl.hasDoor
            opacity: enabled ? 1 : 0.45
            background: Item {}
            contentItem: Image {
                source: head.dooropen ? "qrc:/Image/door_top_open.png" : "qrc:/Image/door_top_close.png"
            }
            onClicked: head.releaseDoor()
        }
        Item { width: 25; height: 1 }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 46
            height: 46
            radius: 23
            color: Style.white
            Image {
                anchors.centerIn: parent
                width: 30
                height: 30
                source: "qrc:/Image/user_logo.png"
            }
        }
        Button {
            id: userButton
            objectName: "userButton"
            anchors.verticalCenter: parent.verticalCenter
            padding: Style.s(8)
            background: Item {}
            contentItem: Text {
                text: head.userName + " ▼"
                font.family: Style.fontFamily
                font.pixelSize: Style.s(17)
                color: Style.white
            }
            onClicked: userMenu.visible ? userMenu.close() : userMenu.open()
        }
    }
    Popup {
        id: userMenu
        objectName: "userMenu"
        x: head.width - width - Style.s(10)
        y: head.height
        width: 100
        height: 120
        padding: 0
        background: Rectangle { color: Style.white; border.color: "#CCCCCC"; radius: 8 }
        contentItem: Column {
            topPadding: 10
            ItemDelegate {
                objectName: "logoutItem"
                width: 100
                height: 50
                text: qsTr("Logout")
                font.family: Style.fontFamily
                font.pixelSize: 17
                onClicked: {
                    userMenu.close();
                    head.ask(qsTr("Confirm logout?"), 1);
                }
            }
            ItemDelegate {
                objectName: "exitItem"
                width: 100
                height: 50
                text: qsTr("Exit")
                font.family: Style.fontFamily
                font.pixelSize: 17
                onClicked: {
                    userMenu.close();
                    head.ask(qsTr("Confirm exit?"), 0);
                }
            }
        }
    }
}
