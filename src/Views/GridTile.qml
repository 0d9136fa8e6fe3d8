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
    property AppContextMenuModel menuModel: null

    signal activated()
    signal openRequested()

    width: 110 * iconScale
    height: 58 * iconScale + 56

    // The tile's face: icon (placeholder until it is there), selection, lock and name.
    Rectangle {
        id: selection
        visible: tile.selected
        x: (tile.width - width) / 2
        y: 6 - 7 * tile.iconScale
        width: 58 * tile.iconScale + 14 * tile.iconScale
        height: width
        radius: 14 * tile.iconScale
        color: Theme.withOpacity(Theme.accent, 0.17)
        border.width: 2.5
        border.color: Theme.withOpacity(Theme.accent, 0.85)
    }
    Rectangle {
        id: placeholder
        x: (tile.width - width) / 2
        y: 6
        width: 58 * tile.iconScale
        height: width
        radius: 12 * tile.iconScale
        color: Qt.rgba(1, 1, 1, 0.92)
        visible: icon.status !== Image.Ready
    }
    Image {
        id: icon
        x: placeholder.x
        y: placeholder.y
        width: placeholder.width
        height: placeholder.height
        source: tile.iconSource
        asynchronous: !tile.iconCached
        sourceSize: Qt.size(Math.ceil(width), Math.ceil(height))
        opacity: tile.blocked ? 0.35 : 1
        smooth: true
    }
    Symbol {
        visible: tile.blocked
        x: placeholder.x + placeholder.width - width + 4
        y: placeholder.y + placeholder.height - height + 4
        name: "lock.fill"
        size: 15
    }
    Text {
        x: 0
        y: 6 + 58 * tile.iconScale + 8
        width: tile.width
        text: tile.name
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        maximumLineCount: 2
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
        font.family: Theme.fontFamily
        font.pixelSize: 12
        color: Theme.primary
    }
    TapHandler {
        enabled: tile.interactive
        onTapped: tile.activated()
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
