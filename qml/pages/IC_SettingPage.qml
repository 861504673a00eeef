import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"

// The settings page: a list of tabs on the left, one sub-page on the right. It always opens on
// "Device Setting".
Item {
    id: page
    objectName: "IC_SettingPage"
    property int currentTab: 0
    readonly property var tabs: [
        { text: QT_TR_NOOP("Device Setting"), icon: "qrc:/Image/device_setting.png" },
        { text: QT_TR_NOOP("Document Title"), icon: "qrc:/Image/document_title.png" },
        { text: QT_TR_NOOP("User Manage"), icon: "qrc:/Image/user_management.png" },
        { text: QT_TR_NOOP("Group Manage"), icon: "qrc:/Image/group_manage.png" },
        { text: QT_TR_NOOP("Authority Manage"), icon: "qrc:/Image/authority_management.png" },
        { text: QT_TR_NOOP("System Info"), icon: "qrc:/Image/system_info.png" },
        { text: QT_TR_NOOP("Engineer Interface"), icon: "qrc:/Image/factory_setting.png" }
    ]
    readonly property var subPages: [deviceSettingPage, documentTitlePage, userManagementPage, groupManagementPage,
                                     roleManagementPage, systemInfoPage, engineerPage]
    property alias deviceSettingPage: deviceSettingPage
    property alias engineerPage: engineerPage
    signal sig_LanguageChanged(int language)

    function selectTab(index) { currentTab = index }
    function reTranslateUi(language) { systemInfoPage.reTranslateUi(language) }

    onVisibleChanged: if (!visible) selectTab(0)

    Rectangle {
        id: tabList
        width: Style.tabListWidth
        height: parent.height
        color: Style.white
        Column {
            width: parent.width
            topPadding: Style.s(10)
            Repeater {
                model: page.tabs
                delegate: Rectangle {
                    objectName: "tab" + index
                    width: tabList.width
                    height: Style.tabRowHeight
                    color: Style.white
                    readonly property bool current: page.currentTab === index
                    Rectangle {
                        visible: parent.current
                        width: Style.s(5)
                        height: parent.height
                        color: Style.tabMark
                    }
                    Image {
                        id: tabIcon
                        x: Style.s(28)
                        anchors.verticalCenter: parent.verticalCenter
                        width: Style.s(20)
                        height: Style.s(20)
                        source: modelData.icon
                    }
                    Text {
                        anchors.left: tabIcon.right
                        anchors.leftMargin: Style.s(12)
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr(modelData.text)
                        font.family: Style.fontFamily
                        font.pixelSize: Style.s(18)
                        font.weight: parent.current ? Font.Medium : Font.Normal
                        color: parent.current ? Style.textDark : Style.textGrey
                        elide: Text.ElideRight
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: page.selectTab(index)
                    }
                }
            }
        }
    }
    Item {
        id: content
        anchors.left: tabList.right
        anchors.leftMargin: Style.s(10)
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        DeviceSettingPage {
            id: deviceSettingPage
            anchors.fill: parent
            visible: page.currentTab === 0
            onSig_LanguageChanged: page.sig_LanguageChanged(language)
        }
        DocumentTitlePage { id: documentTitlePage; anchors.fill: parent; visible: page.currentTab === 1 }
        UserManagementPage { id: userManagementPage; anchors.fill: parent; visible: page.currentTab === 2 }
        GroupManagementPage { id: groupManagementPage; anchors.fill: parent; visible: page.currentTab === 3 }
        RoleManagementPage { id: roleManagementPage; anchors.fill: parent; visible: page.currentTab === 4 }
        SystemInfoPage { id: systemInfoPage; anchors.fill: parent; visible: page.currentTab === 5 }
        EngineerPage { id: engineerPage; anchors.fill: parent; visible: page.currentTab === 6 }
    }
}
