import QtQuick
import QtQuick.Controls.Basic
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

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
    property AppContextMenuModel menuModel: null

    signal activated()

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

    // The menu is made for each right click, from the state of that moment.
    TapHandler {
        enabled: tile.interactive && tile.menuModel !== null
        acceptedButtons: Qt.RightButton
        onTapped: (point) => appMenu.createObject(tile, { model: tile.menuModel, bundleID: tile.bundleID,
                                                           pinned: tile.pinned }).popup(point.position)
    }
    Component {
        id: appMenu
        AppContextMenu {}
    }
}
