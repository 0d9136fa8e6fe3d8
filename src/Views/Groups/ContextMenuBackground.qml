import QtQuick
import Tarnwick.Views

// The panel behind a context menu and its submenus.
Rectangle {
    implicitWidth: 180
    radius: 6
    color: Qt.rgba(246 / 255, 246 / 255, 246 / 255, 0.98)
    border.width: 0.5
    border.color: Qt.rgba(0, 0, 0, 0.18)
    InputCatcher {}
}
