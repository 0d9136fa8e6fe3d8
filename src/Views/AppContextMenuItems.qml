import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App

// The right-click menu of an app tile. For now it only opens the app; the groups work brings the full menu.
Menu {
    signal openChosen()
    font.family: Theme.fontFamily
    font.pixelSize: 13

    MenuItem {
        text: "打开"
        onTriggered: openChosen()
    }
}
