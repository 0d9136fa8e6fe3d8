pragma ComponentBehavior: Bound
import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// A row of plain app tiles, each opening the app context menu on a right click, as the grids do.
Rectangle {
    id: page
    required property AppContextMenuModel menuModel
    required property var apps // [{bundleID, name, pinned}]
    width: 640
    height: 480
    color: Qt.rgba(247 / 255, 247 / 255, 247 / 255, 1)

    Component {
        id: appMenu
        AppContextMenu {}
    }

    Row {
        x: 20
        y: 20
        spacing: 12
        Repeater {
            model: page.apps
            delegate: Rectangle {
                id: tile
                required property var modelData
                objectName: "tile:" + modelData.bundleID
                width: 90
                height: 80
                radius: 10
                color: "white"
                Text {
                    anchors.centerIn: parent
                    text: tile.modelData.name
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                }
                TapHandler {
                    acceptedButtons: Qt.RightButton
                    onTapped: (point) => appMenu.createObject(tile, { model: page.menuModel,
                        bundleID: tile.modelData.bundleID, pinned: tile.modelData.pinned }).popup(point.position)
                }
            }
        }
    }
}
