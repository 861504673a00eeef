import QtQuick 2.15
import QtQuick.Controls 2.15
import "../components"

// Busy indicator with a text below; closes only by program. While the text names an operation
// that can be stopped, "Cancel" asks the owner to stop it.
Popup {
    id: dialog
    objectName: "loadingDialog"
    property string text: ""
    property color mColor: "#EDEDED"
    signal dialogClosedSignal()
    signal aeStartSignal()

    // The operations that can be stopped, named as their owners show them (in either language).
    readonly property var operations: [QT_TRANSLATE_NOOP("LoadingDialog", "Auto Exposuring..."),
                                       QT_TRANSLATE_NOOP("LoadingDialog", "Auto Focusing..."),
                                       QT_TRANSLATE_NOOP("LoadingDialog", "Camera Cooling...")]
    readonly property var cancellable: ["Auto Exposuring...", "自动曝光中...", "Auto Focusing...", "自动对焦中...",
                                        "Camera Cooling...", "相机降温中...", "Cancelling...", "取消中..."]
    readonly property bool cancelShown: cancellable.indexOf(text) >= 0

    modal: true
    dim: false
    closePolicy: Popup.NoAutoClose
    width: Style.s(180)
    height: Style.s(150)
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? (parent.height - height) / 2 : 0
    padding: Style.s(8)
    background: Rectangle { radius: Style.s(8); color: dialog.mColor }
    onClosed: aeStartSignal()
    // A Cancel pressed during an earlier opening must not leave the button dead.
    onAboutToShow: cancelButton.enabled = true

    contentItem: Column {
        spacing: Style.s(6)
        AnimatedImage {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Style.ratio === 1 ? 80 : 96
            height: width
            source: Style.ratio === 1 ? "qrc:/Image/loading_80.gif" : "qrc:/Image/loading_96.gif"
            playing: dialog.visible
        }
        Text {
            objectName: "loadingText"
            width: parent.width
            text: dialog.text
            font.family: Style.fontFamily
            font.pixelSize: Style.fontSmall
            color: Qt.colorEqual(dialog.mColor, "#111111") ? Style.white : Style.textDark
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }
        NormalBlueRectButton {
            id: cancelButton
            objectName: "cancelButton"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: dialog.cancelShown
            implicitHeight: Style.s(26)
            implicitWidth: Style.s(80)
            text: qsTr("Cancel")
            onClicked: {
                enabled = false;
                dialog.text = qsTr("Cancelling...");
                dialog.dialogClosedSignal();
            }
        }
    }
}
