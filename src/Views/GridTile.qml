import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels

// One app in a grid: the app tile with its context menu. A left click opens the app; a right click opens the menu.
Item {
    id: tile
    required property string bundleID
    required property string name
    required property string iconSource
    required property bool iconCached
    required property bool pinned
    required property bool blocked
    required property bool selected
    property real iconScale: 1
    property bool pageAnimating: false
    property bool interactive: true

    signal activated()
    signal openRequested()

    width: 110 * iconScale
    height: 58 * iconScale + 56

    AppIconCell {
        anchors.fill: parent
        bundleID: tile.bundleID
        name: tile.name
        iconSource: tile.iconSource
        iconCached: tile.iconCached
        isPinned: tile.pinned
        isBlocked: tile.blocked
        isSelected: tile.selected
        iconScale: tile.iconScale
        pageAnimating: tile.pageAnimating
        enabled: tile.interactive
        onActivated: tile.activated()
    }

    TapHandler {
        enabled: tile.interactive
        acceptedButtons: Qt.RightButton
        onTapped: (point) => menu.popup(tile, point.position)
    }

    AppContextMenuItems {
        id: menu
        onOpenChosen: tile.openRequested()
    }
}
