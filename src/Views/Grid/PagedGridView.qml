import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The apps in pages of columns and rows, side by side in a strip, with page dots below. Everything it decides comes
// from its controller; tiles stand where the controller's layout puts them and slide when the order changes.
Item {
    id: root
    required property PagedGridController controller
    // The tiles' right-click menu.
    property AppContextMenuModel menuModel: null
    readonly property PagerModel pager: controller.pager
    readonly property PageWindow pageWindow: controller.pageWindow
    readonly property var shownWindow: Window.window

    Binding { target: root.controller; property: "width"; value: root.width }
    Binding { target: root.controller; property: "height"; value: root.height }
    Binding { target: root.controller.wheel; property: "hitArea"; value: viewport }
    onShownWindowChanged: if (shownWindow) controller.shown(shownWindow)
    Component.onCompleted: if (shownWindow) controller.shown(shownWindow)
    Component.onDestruction: controller.hidden()

    Item {
        id: viewport
        objectName: "pagedViewport"
        width: root.width
        height: root.controller.pageHeight
        clip: true

        PagerContent {
            id: strip
            anchors.fill: parent
            pager: root.pager

            // Tiles only for the pages near the current one; a tile stands at its app's place among all the shown
            // apps and keeps its identity while its app stays on those pages.
            Repeater {
                model: root.controller.tiles
                delegate: GridTile {
                    id: cell
                    required property int position
                    readonly property int page: Math.floor(position / root.controller.perPage)
                    readonly property int slot: position % root.controller.perPage

                    objectName: "tile:" + bundleID
                    visible: page >= root.pageWindow.shownFirst && page <= root.pageWindow.shownLast
                    x: page * root.controller.width + root.controller.paddingH
                       + (slot % root.controller.columns) * root.controller.columnPitch
                    y: root.controller.paddingV + Math.floor(slot / root.controller.columns) * root.controller.rowPitch
                    width: root.controller.cellWidth
                    height: root.controller.cellHeight
                    opacity: root.controller.drag.draggingID === bundleID ? 0.25 : 1
                    Behavior on x { enabled: root.controller.drag.draggingID !== ""; NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
                    Behavior on y { enabled: root.controller.drag.draggingID !== ""; NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
                    iconScale: root.controller.iconScale
                    menuModel: root.menuModel
                    pageAnimating: root.pager.isPagingAnimating
                    onActivated: root.controller.apps.activate(cell.position)
                }
            }

            AddGridCell {
                objectName: "addTile"
                readonly property int index: root.controller.apps.count
                readonly property int page: Math.floor(index / root.controller.perPage)
                readonly property int slot: index % root.controller.perPage
                visible: root.controller.showAddTile && page >= root.pageWindow.shownFirst
                         && page <= root.pageWindow.shownLast
                x: page * root.controller.width + root.controller.paddingH
                   + (slot % root.controller.columns) * root.controller.columnPitch
                y: root.controller.paddingV + Math.floor(slot / root.controller.columns) * root.controller.rowPitch
                iconScale: root.controller.iconScale
                pageAnimating: root.pager.isPagingAnimating
                onTapped: root.controller.addTileTapped()
            }
        }

        DragHandler {
            id: stripDrag
            property bool wasCancelled: false
            target: null
            dragThreshold: 5
            onTranslationChanged: if (active) root.controller.dragChanged(centroid.pressPosition, centroid.position, Qt.point(translation.x, translation.y))
            onCanceled: wasCancelled = true
            onActiveChanged: {
                if (active)
                    return
                if (!wasCancelled)
                    root.controller.dragEnded(Qt.point(translation.x, translation.y), Qt.point(centroid.velocity.x, centroid.velocity.y))
                wasCancelled = false
                root.controller.gestureEnded()
            }
        }

        DragGhost {
            drag: root.controller.drag
            apps: root.controller.apps
            iconScale: root.controller.iconScale
        }
    }

    PagerDots {
        y: viewport.height
        width: root.width
        height: 20
        pager: root.pager
    }

    GridEmptyStateView {
        anchors.centerIn: parent
        visible: root.controller.hasEmptyState
        symbol: root.controller.emptySymbol
        title: root.controller.emptyTitle
        description: root.controller.emptyDescription
    }
}
