pragma Singleton
import QtQuick 2.15

// The look of every page, held once: colours, the interface font and sizes already multiplied by
// the root-context factor scaleRatio (1.0, or 1.2 on the larger cabinets).
QtObject {
    id: style

    readonly property real ratio: scaleRatio
    function s(value) { return value * ratio }

    // The interface font, loaded from the resources; every text uses this family.
    readonly property FontLoader interfaceFont: FontLoader { source: "qrc:/fonts/wqy-microhei.ttc" }
    readonly property string fontFamily: interfaceFont.status === FontLoader.Ready ? interfaceFont.name
                                                                                   : "WenQuanYi Micro Hei"

    readonly property color windowColor: "#F1F1F1"
    readonly property color white: "#FFFFFF"
    readonly property color textDark: "#333333"
    readonly property color textGrey: "#777777"
    readonly property color textLight: "#AAAAAA"
    readonly property color textDisabled: "#CCCCCC"
    readonly property color border: "#CCCCCC"
    readonly property color disabledFill: "#e6e6e6"

    // Head bar
    readonly property color headColor: "#4D7FE0"
    readonly property color headChecked: "#4473CD"
    readonly property color headText: "#DCDBDB"
    readonly property color headTextDisabled: "#a9a9a9"
    readonly property color headBackHover: "#4777D4"
    readonly property real headHeight: s(62)

    // Buttons
    readonly property color blue: "#397DFF"
    readonly property color bluePressed: "#729FF6"
    readonly property color blueDisabled: "#AAAAAA"
    readonly property color markBlue: "#0068FF"
    readonly property color binningBlue: "#4D7FE0"
    readonly property color filterChecked: "#324D7FE0"

    // Settings
    readonly property color crumbColor: "#D6E4FF"
    readonly property color tabMark: "#87B0FF"
    readonly property real tabListWidth: s(230)
    readonly property real tabRowHeight: s(38)
    readonly property real crumbHeight: s(42)

    // Text sizes
    readonly property real fontSmall: s(14)
    readonly property real fontNormal: s(16)
    readonly property real fontLarge: s(18)
    readonly property real fontTitle: s(20)
}
