import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// Tiles in their states at one scale: plain, pinned, blocked, selected, a long Chinese name, an alias, a name with
// markup characters, and one whose icon never comes (the placeholder).
Rectangle {
    id: page
    property double iconScale: 1.0
    property var apps: []
    property string hoverTarget: ""

    width: flow.width + 40
    height: flow.height + 40
    color: Theme.windowBackground

    Flow {
        id: flow
        x: 20
        y: 20
        width: 4 * TileMetrics.width(page.iconScale) + 3 * 20
        spacing: 20
        Repeater {
            model: page.apps
            AppIconCell {
                required property var modelData
                objectName: modelData.id
                width: TileMetrics.width(page.iconScale)
                height: TileMetrics.reservedHeight(page.iconScale)
                bundleID: modelData.id
                name: modelData.name
                iconSource: modelData.source
                iconCached: modelData.cached
                isPinned: modelData.pinned
                isBlocked: modelData.blocked
                isSelected: modelData.selected
                iconScale: page.iconScale
            }
        }
    }
}
