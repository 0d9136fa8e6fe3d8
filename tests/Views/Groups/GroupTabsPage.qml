import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The group strip above an empty grid area, as the launcher window places it.
Rectangle {
    required property GroupTabsModel tabs
    width: 720
    height: 300
    color: Qt.rgba(247 / 255, 247 / 255, 247 / 255, 1)

    GroupTabsView {
        objectName: "strip"
        y: 20
        width: parent.width
        tabs: parent.tabs
    }
}
