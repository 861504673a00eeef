import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Two exclusive "Yes"/"No" buttons. setValue shows a stored value without reporting it; a click
// reports chosen(yes) only when the choice changes.
Row {
    id: pair
    property bool yes: false
    signal chosen(bool yes)
    spacing: Style.s(20)

    function setValue(value) {
        yes = value;
        yesButton.checked = value;
        noButton.checked = !value;
    }

    BlueRectButton {
        id: yesButton
        objectName: "yes"
        text: qsTr("Yes")
        checkable: true
        onClicked: {
            checked = true;
            noButton.checked = false;
            if (!pair.yes) {
                pair.yes = true;
                pair.chosen(true);
            }
        }
    }
    BlueRectButton {
        id: noButton
        objectName: "no"
        text: qsTr("No")
        checkable: true
        checked: true
        onClicked: {
            checked = true;
            yesButton.checked = false;
            if (pair.yes) {
                pair.yes = false;
                pair.chosen(false);
            }
        }
    }
}
