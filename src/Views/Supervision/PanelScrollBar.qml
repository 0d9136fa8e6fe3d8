import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App

// The thin scroll bar of the supervision panel's tab area, shown while the content is taller than the view.
ScrollBar {
    id: bar
    property Flickable view

    policy: ScrollBar.AsNeeded
    width: 9
    padding: 2
    background: null
    contentItem: Rectangle {
        implicitWidth: 5
        radius: 2.5
        color: Qt.alpha(Theme.secondary, 0.4)
        visible: bar.view !== null && bar.view.contentHeight > bar.view.height
    }
}
