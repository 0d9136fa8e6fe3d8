import QtQuick

// The surface of floating panels: the window background colour with a faint dark border drawn inside the outline.
// Give it the shape through radius (a capsule: half the height).
Rectangle {
    color: "#ECECEC"
    border.width: 1
    border.color: Qt.rgba(0, 0, 0, 0.08)
}
