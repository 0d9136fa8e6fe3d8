import QtQuick

// The pointer over a Controls button: the pointing hand while the button is enabled (a shape of this item, not a
// pushed cursor, so a button disabled or removed under the pointer leaves the arrow at the next move), and the right
// button's presses taken away, since a Controls button would take a right click for a click.
MouseArea {
    anchors.fill: parent
    acceptedButtons: Qt.RightButton
    cursorShape: Qt.PointingHandCursor
}
