import QtQuick 2.15
import "."

// "Setting › <page>" above a settings sub-page.
Rectangle {
    id: bar
    property string pageName: ""
    height: Style.crumbHeight
    color: Style.crumbColor
    Row {
        anchors.left: parent.left
        anchors.leftMargin: Style.s(20)
        anchors.verticalCenter: parent.verticalCenter
        spacing: Style.s(8)
        Text {
            text: qsTr("Setting")
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textDark
        }
        Canvas {
            width: Style.s(8)
            height: Style.s(12)
            anchors.verticalCenter: parent.verticalCenter
            onPaint: {
                var ctx = getContext("2d");
                ctx.reset();
                ctx.strokeStyle = "#777777";
                ctx.lineWidth = 1.5;
                ctx.beginPath();
                ctx.moveTo(1, 1);
                ctx.lineTo(width - 2, height / 2);
                ctx.lineTo(1, height - 1);
                ctx.stroke();
            }
        }
        Text {
            text: bar.pageName
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textGrey
        }
    }
}
