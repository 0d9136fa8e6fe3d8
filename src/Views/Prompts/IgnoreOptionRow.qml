import QtQuick
import Tarnwick.App

// One choice of the blocked-launch prompt's ignore panel: a left-aligned title on a row that tints while hovered.
Rectangle {
    id: row
    property string title
    signal activated()

    height: 36
    radius: 8
    color: hover.hovered ? Qt.rgba(0, 0, 0, 0.07) : "transparent"
    Accessible.role: Accessible.Button
    Accessible.name: title

    Text {
        x: 12
        width: parent.width - 24
        anchors.verticalCenter: parent.verticalCenter
        text: row.title
        font.family: Theme.fontFamily
        font.pixelSize: 13
        color: Theme.primary
    }
    HoverHandler {
        id: hover
        cursorShape: Qt.PointingHandCursor
    }
    TapHandler { onTapped: row.activated() }
}
