import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.MainCtrl 1.0
import "."

// A text field of the user pages: a press opens the on-screen keyboard (when the option has it),
// Return or Enter closes it.
TextField {
    implicitHeight: Style.s(38)
    font.family: Style.fontFamily
    font.pixelSize: Style.fontNormal
    selectByMouse: true
    onPressed: MainCtrl.showScreenKeyboard(true)
    // Not taken here: the field goes on to "accepted" (login, signature).
    Keys.onReturnPressed: { MainCtrl.showScreenKeyboard(false); event.accepted = false; }
    Keys.onEnterPressed: { MainCtrl.showScreenKeyboard(false); event.accepted = false; }
}
