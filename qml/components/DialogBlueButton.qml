import QtQuick 2.15
import "."

// The buttons of the dialogs.
NormalBlueRectButton {
    implicitWidth: Math.max(Style.s(90), contentItem.implicitWidth + Style.s(24))
    implicitHeight: Style.s(34)
}
