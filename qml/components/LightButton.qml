import QtQuick 2.15
import "."

// Checkable light choice: as the filter button, with the light's own picture.
FilterButton {
    imgSource: "qrc:/Image/light_disable.png"
    disabledSource: "qrc:/Image/light_disable.png"
}
