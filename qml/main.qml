import QtQuick 2.15
import QtQuick.Window 2.15
Window { visible: true; width: 1280; height: 800; title: "Tavrill" }
