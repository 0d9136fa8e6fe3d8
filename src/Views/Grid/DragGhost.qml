import QtQuick
import Tarnwick.ViewModels
import Tarnwick.Views

// The dragged tile floating under the pointer: its app's tile, larger and lifted, never taking the pointer.
Item {
    id: ghost
    required property GridDragState drag
    required property ShownAppsModel apps
    property real iconScale: 1
    readonly property var row: drag.draggingID !== "" ? apps.rowData(drag.draggingID) : ({})
    readonly property bool shown: row.bundleID !== undefined

    visible: shown
    enabled: false
    width: 110 * iconScale
    height: 58 * iconScale + 56
    x: drag.pointer.x - width / 2
    y: drag.pointer.y - height / 2
    scale: 1.12

    DragShadow {
        x: (parent.width - 58 * ghost.iconScale) / 2
        y: 6
        width: 58 * ghost.iconScale
        height: width
        cornerRadius: 12 * ghost.iconScale
        radius: 8
        shadowOpacity: 0.33
    }
    Loader {
        anchors.fill: parent
        active: ghost.shown
        sourceComponent: GridTile {
            bundleID: ghost.row.bundleID
            name: ghost.row.name
            iconSource: ghost.row.iconSource
            iconCached: ghost.row.iconCached
            pinned: ghost.row.pinned
            blocked: ghost.row.blocked
            selected: false
            iconScale: ghost.iconScale
            interactive: false
        }
    }
}
