import QtQuick 2.15

// Background of the capture pop-ups: a grey outline with a 10 px arrow in the top edge at
// arrowX, pointing at the button that opened the pop-up.
Canvas {
    id: frame
    property real arrowX: width / 2
    readonly property real arrowHeight: 10
    property color fill: "#F7F7F7"
    property color line: "#CCCCCC"
    onArrowXChanged: requestPaint()
    onWidthChanged: requestPaint()
    onHeightChanged: requestPaint()
    onPaint: {
        var ctx = getContext("2d");
        ctx.reset();
        var a = Math.max(arrowHeight + 2, Math.min(width - arrowHeight - 2, arrowX));
        var top = arrowHeight;
        ctx.beginPath();
        ctx.moveTo(0.5, top + 0.5);
        ctx.lineTo(a - arrowHeight, top + 0.5);
        ctx.lineTo(a, 0.5);
        ctx.lineTo(a + arrowHeight, top + 0.5);
        ctx.lineTo(width - 0.5, top + 0.5);
        ctx.lineTo(width - 0.5, height - 0.5);
        ctx.lineTo(0.5, height - 0.5);
        ctx.closePath();
        ctx.fillStyle = fill;
        ctx.fill();
        ctx.strokeStyle = line;
        ctx.lineWidth = 1;
        ctx.stroke();
    }
}
