import QtQuick
import Tarnwick.App

// The group tab strip. Empty until the groups work brings its tabs.
Item {
    required property AppState state
    implicitHeight: 0
}
