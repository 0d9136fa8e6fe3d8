import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// All apps in one vertically scrolling grid, centred, with a thin scrollbar at the right. The wheel and the
// touchpad scroll it; a mouse drag on a tile reorders, elsewhere it does nothing.
Item {
    id: root
    required property VerticalGridController controller
    // The tiles' right-click menu.
    property AppContextMenuModel menuModel: null

    Binding { target: root.controller; property: "width"; value: root.width }
    Component.onCompleted: controller.shown()
    Component.onDestruction: controller.hidden()

    function reportMetrics() {
        controller.setScrollMetrics(flick.contentY - flick.originY, flick.contentHeight, flick.height, root.height)
    }

    Connections {
        target: root.controller
        function onScrollRequested(offset) { flick.contentY = offset + flick.originY }
    }

    Flickable {
        id: flick
        objectName: "verticalScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: root.controller.contentHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        onContentYChanged: root.reportMetrics()
        onContentHeightChanged: root.reportMetrics()
        onHeightChanged: root.reportMetrics()

        Item {
            id: content
            objectName: "verticalContent"
            width: flick.width
            height: root.controller.contentHeight

            // Tiles only for the rows in view and next to it; a tile stands at its app's place among all the shown
            // apps and keeps its identity while its app stays in those rows.
            Repeater {
                model: root.controller.tiles
                delegate: GridTile {
                    id: cell
                    required property int position

                    objectName: "tile:" + bundleID
                    x: root.controller.paddingH + (position % root.controller.columns) * root.controller.columnPitch
                    y: root.controller.paddingV + Math.floor(position / root.controller.columns) * root.controller.rowPitch
                    width: root.controller.cellWidth
                    height: root.controller.cellHeight
                    opacity: root.controller.drag.draggingID === bundleID ? 0.25 : 1
                    Behavior on x { enabled: root.controller.drag.draggingID !== ""; NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
                    Behavior on y { enabled: root.controller.drag.draggingID !== ""; NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }
                    iconScale: root.controller.iconScale
                    menuModel: root.menuModel
                    onActivated: root.controller.apps.activate(cell.position)
                }
            }

            AddGridCell {
                objectName: "addTile"
                readonly property int index: root.controller.apps.count
                visible: root.controller.showAddTile
                x: root.controller.paddingH + (index % root.controller.columns) * root.controller.columnPitch
                y: root.controller.paddingV + Math.floor(index / root.controller.columns) * root.controller.rowPitch
                iconScale: root.controller.iconScale
                onTapped: root.controller.addTileTapped()
            }

            DragHandler {
                id: contentDrag
                property bool wasCancelled: false
                target: null
                dragThreshold: 4
                onTranslationChanged: if (active) root.controller.dragChanged(centroid.pressPosition, centroid.position)
                onCanceled: wasCancelled = true
                onActiveChanged: {
                    if (active)
                        return
                    if (!wasCancelled)
                        root.controller.dragEnded()
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
    }

    FlatScrollbar {
        anchors.right: parent.right
        anchors.rightMargin: 4
        height: root.height
        knobVisible: root.controller.knobVisible
        knobTop: root.controller.knobTop
        knobHeight: root.controller.knobHeight
        onDragged: (dy) => root.controller.knobDragChanged(dy)
        onReleased: root.controller.knobDragEnded()
    }

    GridEmptyStateView {
        anchors.centerIn: parent
        visible: root.controller.hasEmptyState
        symbol: root.controller.emptySymbol
        title: root.controller.emptyTitle
        description: root.controller.emptyDescription
    }
}
