import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// Spin box with "-" and "+" buttons; at most 5 typed characters; reports valueModified on every
// edit.
// valueEdited comes once per edited value: per button press, or for typing when it ends
// (Enter or the focus leaving). Values show without a thousands separator.
// With decimals > 0 the box holds real numbers: value, from and to count in steps of
// 10^-decimals (realValue is the number shown), a button or arrow key moves by 1, and "." is
// the decimal point whatever the locale.
SpinBox {
    id: control
    property int decimals: 0
    readonly property int factor: Math.pow(10, decimals)
    readonly property real realValue: value / factor
    function setRealValue(v) { value = Math.round(v * factor) }
    property color mColor: Style.blue
    property color bckColor: Style.white
    property color pressTextColor: Style.white
    property color normalTextColor: Style.textDark
    property color borderColor: Style.border
    property real mHeight: Style.s(35)
    editable: true
    // Room for the decimals.
    implicitWidth: Style.s(decimals > 0 ? 150 : 130)
    implicitHeight: mHeight
    leftPadding: mHeight
    rightPadding: mHeight
    signal valueEdited()
    stepSize: factor
    textFromValue: function(value) { return decimals > 0 ? String(Number((value / factor).toFixed(decimals))) : String(value) }
    valueFromText: function(text) { var v = control.parsed(text); return isNaN(v) ? control.value : v }
    // Typed text as a value in steps, NaN when it holds no number.
    function parsed(text) {
        if (decimals === 0)
            return parseInt(text, 10);
        var v = parseFloat(text);
        return isNaN(v) ? v : Math.round(v * factor);
    }
    onValueModified: if (!input.typing) valueEdited()
    validator: decimals > 0 ? realValidator : intValidator
    IntValidator { id: intValidator; bottom: Math.min(control.from, control.to); top: Math.max(control.from, control.to) }
    RegularExpressionValidator {
        id: realValidator
        regularExpression: new RegExp("^\\d{0," + String(Math.max(control.from, control.to) / control.factor).split(".")[0].length
                                      + "}(\\.\\d{0," + control.decimals + "})?$")
    }

    contentItem: TextInput {
        id: input
        property bool typing: false
        z: 2
        text: control.displayText
        maximumLength: control.decimals > 0 ? 6 + control.decimals : 5
        font.family: Style.fontFamily
        font.pixelSize: Style.fontNormal
        color: control.enabled ? control.normalTextColor : Style.textLight
        horizontalAlignment: Qt.AlignHCenter
        verticalAlignment: Qt.AlignVCenter
        validator: control.validator
        selectByMouse: true
        onTextEdited: {
            typing = true;
            var typed = control.parsed(text);
            if (!isNaN(typed))
                control.value = Math.max(Math.min(control.from, control.to), Math.min(Math.max(control.from, control.to), typed));
            control.valueModified();
        }
        function finishTyping() {
            if (!typing)
                return;
            typing = false;
            control.valueEdited();
        }
        onEditingFinished: finishTyping()
        Keys.onReturnPressed: { MainCtrl.showScreenKeyboard(false); finishTyping() }
        Keys.onEnterPressed: { MainCtrl.showScreenKeyboard(false); finishTyping() }
        TapHandler {
            onTapped: {
                input.forceActiveFocus();
                MainCtrl.showScreenKeyboard(true);
            }
        }
    }
    down.indicator: Rectangle {
        x: 0
        height: control.height
        width: control.mHeight
        color: control.down.pressed ? control.mColor : control.bckColor
        border.color: control.borderColor
        radius: 4
        Text {
            anchors.centerIn: parent
            text: "-"
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: control.down.pressed ? control.pressTextColor : control.normalTextColor
        }
    }
    up.indicator: Rectangle {
        x: control.width - width
        height: control.height
        width: control.mHeight
        color: control.up.pressed ? control.mColor : control.bckColor
        border.color: control.borderColor
        radius: 4
        Text {
            anchors.centerIn: parent
            text: "+"
            font.family: Style.fontFamily
            font.pixelSize: Style.fontLarge
            color: control.up.pressed ? control.pressTextColor : control.normalTextColor
        }
    }
    background: Rectangle {
        color: control.enabled ? control.bckColor : Style.disabledFill
        border.color: control.borderColor
        radius: 4
    }
}
