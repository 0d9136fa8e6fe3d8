import QtQuick

// Takes every press, hover and wheel over its parent, so that nothing under it sees them. It lies at the bottom of
// every sheet, card, menu and popup: a control on top built on a bare TapHandler takes only a passive grab, and
// without this the same press would go on to whatever lies beneath (a tile would open). The pointer shows the arrow.
MouseArea {
    anchors.fill: parent
    acceptedButtons: Qt.AllButtons
    hoverEnabled: true
    onWheel: wheel => wheel.accepted = true
}
