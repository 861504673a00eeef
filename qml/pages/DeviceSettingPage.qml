import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import GlobalAuthority 1.0
import "../components"
import "../js/Configuration.js" as Config
import "../js/NumberRules.js" as Rules
import "../js/Paths.js" as Paths
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS
import "../js/CheckLoginFunctions.js" as CLJS
import "../js/Popups.js" as Popups
import "../js/Choosers.js" as Choosers
import an.qt.LocalFolders 1.0

// Device settings: language, image folder and clean-up, light shut-down, capture on close,
// electronic signature, autofocus offset, keyboard, watermark and picture beautifying.
Item {
    id: page
    objectName: "DeviceSettingPage"
    signal sig_LanguageChanged(int language)

    function setLanguage(language) {
        UserOpts.language = language;
        UserOpts.saveUserOptsByName(UserOpts.OPT_Language);
        applyLanguage(language);
    }
    function applyLanguage(language) {
        chineseButton.checked = language === UserOpts.Chinese;
        englishButton.checked = language === UserOpts.English;
        translatorControl.loadLanguage(language);
        sig_LanguageChanged(language);
    }
    function showImagePath() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ImageSavePath);
        imagePathText.text = UserOpts.imageSavePath;
    }
    // A folder chosen in the folder dialog (a URL), after the signature check.
    // The folder chooser, opening on the stored image folder.
    function makeFolderChooser() {
        UserOpts.loadUserOptsByName(UserOpts.OPT_ImageSavePath);
        return Choosers.make(page.Overlay.overlay, { selectFolder: true, folder: UserOpts.imageSavePath });
    }
    function chooseImageFolder() {
        return Choosers.open(makeFolderChooser(), function(path) { page.imageFolderChosen(path) });
    }
    function imageFolderChosen(folderUrl) {
        CLJS.showCheckLogin(function() {
            var path = Paths.urlToLocalPath(folderUrl);
            UserOpts.imageSavePath = path;
            UserOpts.saveUserOptsByName(UserOpts.OPT_ImageSavePath);
            imagePathText.text = path;
            Audit.write(ATJS.ModuleType.Setting, "修改图片路径: " + path, "Modify the image path: " + path);
        });
    }
    function imageCleanChosen(on) {
        CLJS.showCheckLogin(function() {
            UserOpts.imageClean = on;
            UserOpts.saveUserOptsByName(UserOpts.OPT_ImageClean);
            Audit.write(ATJS.ModuleType.Setting,
                        "图像清理: " + Audit.openClose(on) + " 时间:" + UserOpts.imageCleanTime + "天",
                        "Image Clean: " + Audit.openCloseEn(on) + " Time:" + UserOpts.imageCleanTime + "days");
        }, function() {
            imageCleanPair.setValue(UserOpts.imageClean);
        });
    }
    function saveImageCleanTime() {
        UserOpts.imageCleanTime = imageCleanBox.value;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ImageCleanTime);
    }
    function confirmLightShutdown() {
        CLJS.showCheckLogin(function() {
            var minutes = lightBox.value;
            UserOpts.lightAutoShutDownTime = minutes;
            UserOpts.saveUserOptsByName(UserOpts.OPT_LightAutoShutDownTime);
            MainCtrl.lightAutoShutDown(minutes);
            Audit.write(ATJS.ModuleType.Setting, "修改光源自动关闭时间: " + minutes + "分钟",
                        "Modify Light Auto Shutdown: " + minutes + "M");
            Popups.message(page.Overlay.overlay, "qrc:/Image/success.png", qsTr("Success"),
                           qsTr("Set light auto shutdown success!"), false);
        });
    }
    function signatureChosen(on) {
        CLJS.showCheckLogin(function() {
            UserOpts.isSignature = on;
            UserOpts.saveUserOptsByName(UserOpts.OPT_IsSignature);
            Audit.write(ATJS.ModuleType.Setting, "电子签名: " + Audit.openClose(on),
                        "Electornic Signature: " + Audit.openCloseEn(on));
        }, function() {
            signaturePair.setValue(UserOpts.isSignature);
        });
    }
    function switchChosen(option, property, on, chinese, english) {
        UserOpts[property] = on;
        UserOpts.saveUserOptsByName(option);
        Audit.write(ATJS.ModuleType.Setting, chinese + Audit.openClose(on), english + Audit.openCloseEn(on));
    }
    function afOffsetChanged(value) {
        var kept = Rules.afOffsetValue(value);
        if (kept !== value)
            afOffsetBox.value = kept;
        UserOpts.afOffset = kept;
        UserOpts.saveUserOptsByName(UserOpts.OPT_AfOffset);
    }
    function loadOptions() {
        var loads = [UserOpts.OPT_Language, UserOpts.OPT_IsChangPathEveryTime, UserOpts.OPT_ImageClean,
                     UserOpts.OPT_ImageCleanTime, UserOpts.OPT_LightAutoShutDownTime, UserOpts.OPT_AutoCapture,
                     UserOpts.OPT_IsSignature, UserOpts.OPT_AfOffset, UserOpts.OPT_IsAutoKeyboard,
                     UserOpts.OPT_IsExportWatermark, UserOpts.OPT_IsBeautifyPictures];
        for (var i = 0; i < loads.length; ++i)
            UserOpts.loadUserOptsByName(loads[i]);
        changePathPair.setValue(UserOpts.isChangPathEveryTime);
        imageCleanPair.setValue(UserOpts.imageClean);
        autoCapturePair.setValue(UserOpts.autoCapture);
        signaturePair.setValue(UserOpts.isSignature);
        keyboardPair.setValue(UserOpts.isAutoKeyboard);
        watermarkPair.setValue(UserOpts.isExportWatermark);
        beautifyPair.setValue(UserOpts.isBeautifyPictures);

        var days = Rules.imageCleanDays(UserOpts.imageCleanTime);
        imageCleanBox.value = days;
        if (days !== UserOpts.imageCleanTime)
            saveImageCleanTime();
        var minutes = Rules.lightShutdownMinutes(UserOpts.lightAutoShutDownTime, Config.lightShutdownMaximum(MainCtrl));
        lightBox.value = minutes;
        if (UserOpts.lightAutoShutDownTime < 1) {
            UserOpts.lightAutoShutDownTime = minutes;
            UserOpts.saveUserOptsByName(UserOpts.OPT_LightAutoShutDownTime);
        }
        afOffsetBox.value = UserOpts.afOffset;
    }

    Component.onCompleted: {
        loadOptions();
        UserOpts.loadUserOptsByName(UserOpts.OPT_ImageSavePath);
        if (UserOpts.imageSavePath === "") {
            var desktop = LocalFolders.desktop();
            if (desktop !== "") {
                UserOpts.imageSavePath = Paths.defaultImageFolder(desktop);
                UserOpts.saveUserOptsByName(UserOpts.OPT_ImageSavePath);
            }
        }
        showImagePath();
        applyLanguage(UserOpts.language);
    }
    onVisibleChanged: if (visible) showImagePath()

    component SettingRow: Item {
        id: row
        property string label
        default property alias controls: box.data
        width: rows.width
        height: visible ? Style.s(54) : 0
        Text {
            x: Style.s(100)
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - box.width - Style.s(220)
            text: row.label
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: Style.textDark
            elide: Text.ElideRight
        }
        Row {
            id: box
            anchors.right: parent.right
            anchors.rightMargin: Style.s(100)
            anchors.verticalCenter: parent.verticalCenter
            spacing: Style.s(16)
        }
    }
    component UnitText: Text {
        anchors.verticalCenter: parent ? parent.verticalCenter : undefined
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: Style.textGrey
    }


    CrumbBar {
        id: crumb
        width: parent.width
        pageName: qsTr("Device Setting")
    }
    Flickable {
        anchors.top: crumb.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        contentHeight: rows.height + Style.s(20)
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        Column {
            id: rows
            width: parent.width
            topPadding: Style.s(10)
            SettingRow {
                label: qsTr("Language")
                BlueRectButton {
                    id: chineseButton
                    objectName: "chineseButton"
                    text: "中文"
                    checkable: true
                    enabled: !!AuthorityComponent.authLanguage
                    onClicked: page.setLanguage(UserOpts.Chinese)
                }
                BlueRectButton {
                    id: englishButton
                    objectName: "englishButton"
                    text: "En"
                    checkable: true
                    enabled: !!AuthorityComponent.authLanguage
                    onClicked: page.setLanguage(UserOpts.English)
                }
            }
            SettingRow {
                label: qsTr("Change Image Path Every Login")
                YesNoPair {
                    id: changePathPair
                    objectName: "changePathPair"
                    enabled: !!AuthorityComponent.authImageSavePath
                    onChosen: {
                        UserOpts.isChangPathEveryTime = yes;
                        UserOpts.saveUserOptsByName(UserOpts.OPT_IsChangPathEveryTime);
                    }
                }
            }
            SettingRow {
                label: qsTr("Image Save Path")
                Rectangle {
                    // Narrower on a small screen, so that the row's label keeps its room.
                    width: Math.min(Style.s(480), rows.width - Style.s(100) * 2 - Style.s(300))
                    height: Style.s(35)
                    radius: 4
                    color: Style.white
                    border.color: Style.border
                    Text {
                        id: imagePathText
                        objectName: "imagePathText"
                        anchors.fill: parent
                        anchors.leftMargin: Style.s(8)
                        anchors.rightMargin: Style.s(8)
                        verticalAlignment: Text.AlignVCenter
                        font.family: Style.fontFamily
                        font.pixelSize: Style.fontSmall
                        color: Style.textGrey
                        elide: Text.ElideMiddle
                    }
                }
                BlueRectButton {
                    objectName: "choosePathButton"
                    implicitWidth: Style.s(44)
                    text: "..."
                    enabled: !!AuthorityComponent.authImageSavePath
                    onClicked: page.chooseImageFolder()
                }
            }
            SettingRow {
                label: qsTr("Image Clean")
                YesNoPair {
                    id: imageCleanPair
                    objectName: "imageCleanPair"
                    enabled: !!AuthorityComponent.authImageClean
                    onChosen: page.imageCleanChosen(yes)
                }
                ArrowSpinBox {
                    id: imageCleanBox
                    objectName: "imageCleanBox"
                    from: 7
                    to: 60
                    mBorderWidth: 1
                    enabled: !!AuthorityComponent.authImageClean && imageCleanPair.yes
                    onValueModified: page.saveImageCleanTime()
                    onActiveFocusChanged: page.saveImageCleanTime()
                }
                UnitText { text: qsTr("Days") }
            }
            SettingRow {
                label: qsTr("Light Auto Shutdown")
                ArrowSpinBox {
                    id: lightBox
                    objectName: "lightBox"
                    from: 1
                    to: Config.lightShutdownMaximum(MainCtrl)
                    mBorderWidth: 1
                    enabled: !!AuthorityComponent.authLightAutoShutdown
                }
                UnitText { text: qsTr("Minutes") }
                BlueRectButton {
                    objectName: "lightOkButton"
                    text: qsTr("OK")
                    enabled: !!AuthorityComponent.authLightAutoShutdown
                    onClicked: page.confirmLightShutdown()
                }
            }
            SettingRow {
                objectName: "autoCaptureRow"
                label: qsTr("Auto Capture On Close")
                visible: MainCtrl.hasDoor
                YesNoPair {
                    id: autoCapturePair
                    objectName: "autoCapturePair"
                    enabled: !!AuthorityComponent.authAutoCaptureOnClose
                    onChosen: page.switchChosen(UserOpts.OPT_AutoCapture, "autoCapture", yes, "关门自动采集: ",
                                                "Auto Capture On Close: ")
                }
            }
            SettingRow {
                label: qsTr("Electronic Signature")
                YesNoPair {
                    id: signaturePair
                    objectName: "signaturePair"
                    enabled: !!AuthorityComponent.authElectornicSignature
                    onChosen: page.signatureChosen(yes)
                }
            }
            SettingRow {
                objectName: "afOffsetRow"
                label: qsTr("Af Offset")
                visible: Config.isAutofocusConfiguration(MainCtrl)
                MySpinBox {
                    id: afOffsetBox
                    objectName: "afOffsetBox"
                    from: -201
                    to: 200
                    enabled: !!AuthorityComponent.authAfOffset
                    onValueModified: page.afOffsetChanged(value)
                }
            }
            SettingRow {
                label: qsTr("Auto Keyboard")
                YesNoPair {
                    id: keyboardPair
                    objectName: "keyboardPair"
                    enabled: !!AuthorityComponent.authAutoKeyboard
                    onChosen: page.switchChosen(UserOpts.OPT_IsAutoKeyboard, "isAutoKeyboard", yes, "自动键盘: ",
                                                "Auto Keyboard: ")
                }
            }
            SettingRow {
                label: qsTr("Export Watermark")
                YesNoPair {
                    id: watermarkPair
                    objectName: "watermarkPair"
                    enabled: !!AuthorityComponent.authExportWatermark
                    onChosen: page.switchChosen(UserOpts.OPT_IsExportWatermark, "isExportWatermark", yes,
                                                "导出水印: ", "Export Watermark: ")
                }
            }
            SettingRow {
                label: qsTr("Beautify Pictures")
                YesNoPair {
                    id: beautifyPair
                    objectName: "beautifyPair"
                    enabled: !!AuthorityComponent.authBeautifyPictures
                    onChosen: page.switchChosen(UserOpts.OPT_IsBeautifyPictures, "isBeautifyPictures", yes,
                                                "图片优化: ", "BeautifyPictures: ")
                }
            }
        }
    }
}
