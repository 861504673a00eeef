import QtQuick 2.15
import QtQuick.Controls 2.15
import GlobalAuthority 1.0
import "../components"
import "../js/Library.js" as Lib
import "../js/Paths.js" as Paths

// The date rows of an image-library page: each date with its experiments, each experiment with
// a strip of thumbnails. Everything a row shows lives in the page's model, so rows scrolled out
// and back keep their state; thumbnails are decoded in the background at their shown size, those
// on screen first.
Rectangle {
    id: list
    property var page: null
    // Thumbnails on screen whose pictures are still being decoded.
    property int loadingOnScreen: 0
    color: Style.white

    component Tick: Item {
        id: tick
        property bool on: false
        property string label: ""
        signal toggled()
        implicitWidth: box.width + Style.s(6) + caption.implicitWidth
        implicitHeight: Style.s(28)
        Image {
            id: box
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(20)
            height: Style.s(20)
            source: tick.on ? "qrc:/Image/checkbox_checked_rect.png" : "qrc:/Image/checkbox_unchecked_rect.png"
        }
        Text {
            id: caption
            anchors.left: box.right
            anchors.leftMargin: Style.s(6)
            anchors.verticalCenter: parent.verticalCenter
            text: tick.label
            // Experiment names are shown as typed, never as markup.
            textFormat: Text.PlainText
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
        }
        MouseArea {
            anchors.fill: parent
            onClicked: tick.toggled()
        }
    }

    ListView {
        id: dates
        objectName: "dateList"
        anchors.fill: parent
        anchors.margins: Style.s(8)
        clip: true
        spacing: Style.s(6)
        model: list.page.dateModel
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        delegate: Column {
            id: dateRow
            objectName: "dateRow_" + index
            readonly property int dateIndex: index
            width: dates.width - Style.s(12)
            spacing: Style.s(4)
            Rectangle {
                width: parent.width
                height: Style.s(36)
                color: Style.crumbColor
                radius: Style.s(4)
                Tick {
                    objectName: "dateTick"
                    x: Style.s(10)
                    anchors.verticalCenter: parent.verticalCenter
                    on: model.checked
                    label: model.date
                    onToggled: list.page.checkDate(dateRow.dateIndex, !model.checked)
                }
                Text {
                    anchors.right: foldText.left
                    anchors.rightMargin: Style.s(20)
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Selected: ") + model.count
                    font.family: Style.fontFamily
                    font.pixelSize: Style.fontSmall
                    color: Style.textGrey
                }
                Text {
                    id: foldText
                    objectName: "foldText"
                    anchors.right: parent.right
                    anchors.rightMargin: Style.s(12)
                    anchors.verticalCenter: parent.verticalCenter
                    text: model.folded ? "▸" : "▾"
                    font.pixelSize: Style.fontLarge
                    color: Style.textGrey
                    MouseArea {
                        anchors.fill: parent
                        anchors.margins: -Style.s(8)
                        onClicked: list.page.dateModel.setProperty(dateRow.dateIndex, "folded", !model.folded)
                    }
                }
            }
            Repeater {
                model: folded ? null : exps
                delegate: Column {
                    id: expRow
                    objectName: "expRow_" + dateRow.dateIndex + "_" + index
                    readonly property int expIndex: index
                    readonly property bool shown: model.shown
                    width: dateRow.width
                    spacing: Style.s(2)
                    Row {
                        x: Style.s(24)
                        height: Style.s(32)
                        spacing: Style.s(10)
                        Tick {
                            objectName: "expTick"
                            anchors.verticalCenter: parent.verticalCenter
                            on: model.checked
                            label: model.name
                            onToggled: list.page.checkExp(dateRow.dateIndex, expRow.expIndex, !model.checked)
                        }
                        RenameButton {
                            objectName: "expRenameButton"
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTr("Rename")
                            enabled: !!AuthorityComponent.authRenameExperiment
                            onClicked: {
                                var row = dateRow.dateIndex, at = expRow.expIndex;
                                var dialog = list.page.openRename(0, model.name, model.folder, []);
                                dialog.updateNewName.connect(function(newName) { list.page.renameExperiment(row, at, newName) });
                            }
                        }
                        RenameButton {
                            objectName: "showButton"
                            anchors.verticalCenter: parent.verticalCenter
                            text: model.shown ? qsTr("Hide") : qsTr("Show")
                            onClicked: list.page.dateModel.get(dateRow.dateIndex).exps.setProperty(expRow.expIndex, "shown", !model.shown)
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            // The one entry naming the folder of an experiment without pictures is none.
                            text: (model.images.count === 1 && Lib.nameOf(model.images.get(0).source) === "" ? 0 : model.images.count)
                                  + qsTr(" images")
                            font.family: Style.fontFamily
                            font.pixelSize: Style.fontSmall
                            color: Style.textGrey
                        }
                    }
                    ListView {
                        id: strip
                        objectName: "strip"
                        x: Style.s(24)
                        width: parent.width - x
                        height: expRow.shown ? list.page.thumbHeight : 0
                        visible: expRow.shown
                        orientation: ListView.Horizontal
                        spacing: Style.s(8)
                        clip: true
                        boundsBehavior: Flickable.StopAtBounds
                        model: images
                        ScrollBar.horizontal: ScrollBar {}
                        delegate: Rectangle {
                            id: thumb
                            objectName: "thumb"
                            readonly property string source: model.source
                            readonly property bool folderEntry: Lib.nameOf(model.source) === ""
                            readonly property alias picture: picture
                            // The views also make rows just out of sight, and the image reader
                            // takes the newest request first: a thumbnail out of sight asks for
                            // its picture only when none on screen is still loading, so what the
                            // operator sees comes first.
                            readonly property real stripTop: dateRow.y + expRow.y + strip.y
                            readonly property bool onScreen: expRow.shown
                                && x + width > strip.contentX && x < strip.contentX + strip.width
                                && stripTop + height > dates.contentY && stripTop < dates.contentY + dates.height
                            property bool asked: false
                            // Checked once the views have placed the new row: a fresh delegate
                            // sits at 0, 0 for a moment.
                            function ask() { if (onScreen || list.loadingOnScreen === 0) asked = true }
                            onOnScreenChanged: if (onScreen) Qt.callLater(ask)
                            Component.onCompleted: Qt.callLater(ask)
                            readonly property bool holding: onScreen && asked && picture.status === Image.Loading
                            onHoldingChanged: list.loadingOnScreen += holding ? 1 : -1
                            Component.onDestruction: if (holding) list.loadingOnScreen -= 1
                            Connections {
                                target: list
                                enabled: !thumb.asked
                                function onLoadingOnScreenChanged() { Qt.callLater(thumb.ask) }
                            }
                            width: list.page.thumbWidth
                            height: list.page.thumbHeight
                            color: "#202020"
                            border.width: model.checked ? 3 : 0
                            border.color: Style.markBlue
                            Image {
                                id: picture
                                anchors.fill: parent
                                anchors.margins: Style.s(3)
                                asynchronous: true
                                cache: false
                                fillMode: Image.PreserveAspectFit
                                sourceSize.width: width
                                sourceSize.height: height
                                source: thumb.folderEntry || !thumb.asked || !model.source ? "" : "image://thumbnail" + Paths.localPathToUrl(model.source).substring(7)
                            }
                            Text {
                                anchors.centerIn: parent
                                visible: thumb.folderEntry || !thumb.asked || picture.status === Image.Loading
                                text: thumb.folderEntry ? qsTr("No image") : "…"
                                color: Style.textLight
                                font.family: Style.fontFamily
                                font.pixelSize: Style.fontSmall
                            }
                            Image {
                                x: Style.s(4)
                                y: Style.s(4)
                                width: Style.s(18)
                                height: Style.s(18)
                                source: model.checked ? "qrc:/Image/checkbox_checked_rect.png" : "qrc:/Image/checkbox_unchecked_rect.png"
                            }
                            Rectangle {
                                anchors.bottom: parent.bottom
                                width: parent.width
                                height: Style.s(20)
                                color: "#99000000"
                                Text {
                                    anchors.fill: parent
                                    anchors.leftMargin: Style.s(4)
                                    text: Lib.nameOf(model.source)
                                    textFormat: Text.PlainText
                                    color: Style.white
                                    elide: Text.ElideMiddle
                                    verticalAlignment: Text.AlignVCenter
                                    font.family: Style.fontFamily
                                    font.pixelSize: Style.s(12)
                                }
                            }
                            MouseArea {
                                anchors.fill: parent
                                onClicked: list.page.thumbClicked(dateRow.dateIndex, expRow.expIndex, index)
                            }
                        }
                    }
                }
            }
        }
    }
    Text {
        anchors.centerIn: parent
        visible: list.page.dateModel.count === 0
        text: qsTr("No images in this period.")
        font.family: Style.fontFamily
        font.pixelSize: Style.fontLarge
        color: Style.textLight
    }
}
