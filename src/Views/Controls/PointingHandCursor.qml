import QtQuick

// The pointing hand over its parent, only while the parent is enabled. A shape per item, not a pushed cursor: a
// control disabled or removed under the pointer leaves the arrow behind at the next move.
HoverHandler {
    enabled: parent ? parent.enabled : false
    cursorShape: Qt.PointingHandCursor
}
