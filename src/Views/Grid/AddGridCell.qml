import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The dashed "+" tile after the last app of a selected group, in the cell of an app tile: one click anywhere in it
// reports tapped() (the grid then asks for the sheet that adds apps). Under the pointer it darkens and, unless the
// pages are snapping, lifts like an app tile; while they snap it only recolours, without animation.
Item {
    id: cell
    property real iconScale: 1
    property bool pageAnimating: false
    property bool hovering: false
    signal tapped()

    readonly property bool lifted: AppTileRules.lifted(hovering, false, pageAnimating)

    implicitWidth: TileMetrics.width(iconScale)
    implicitHeight: TileMetrics.reservedHeight(iconScale)
    width: implicitWidth
    height: implicitHeight
    Accessible.role: Accessible.Button
    Accessible.name: "添加应用"

    HoverHandler {
        onHoveredChanged: cell.hovering = hovered
    }
    TapHandler {
        acceptedButtons: Qt.LeftButton
        // A slow click is a click: see AppIconCell.
        longPressThreshold: 86400
        onTapped: cell.tapped()
    }

    Item {
        id: plate
        objectName: "plate"
        x: (cell.width - width) / 2
        y: TileMetrics.verticalPadding
        width: TileMetrics.iconSide(cell.iconScale)
        height: width
        transformOrigin: Item.Center
        scale: cell.lifted ? AppTileRules.liftScale : 1
        transform: Translate {
            y: cell.lifted ? -AppTileRules.liftOffset : 0
            Behavior on y {
                enabled: !cell.pageAnimating
                NumberAnimation { duration: 200; easing.type: Easing.OutCubic }
            }
        }
        Behavior on scale {
            enabled: !cell.pageAnimating
            NumberAnimation { duration: 200; easing.type: Easing.OutCubic }
        }

        Rectangle {
            objectName: "fill"
            anchors.fill: parent
            radius: 14 * cell.iconScale
            color: Theme.addTileFill(cell.hovering)
            Behavior on color {
                enabled: !cell.pageAnimating
                ColorAnimation { duration: 200; easing.type: Easing.OutCubic }
            }
        }
        DashedOutline {
            objectName: "outline"
            anchors.fill: parent
            radius: 14 * cell.iconScale
            lineWidth: 1.5
            dashLength: 5
            gapLength: 4
            color: Theme.addTileStroke(cell.hovering)
        }
        Symbol {
            objectName: "plus"
            anchors.centerIn: parent
            name: "plus"
            size: 20 * cell.iconScale
            color: Theme.addTilePlus(cell.hovering)
        }
    }
    Text {
        objectName: "label"
        y: TileMetrics.verticalPadding + plate.height + TileMetrics.iconNameGap
        width: cell.width
        horizontalAlignment: Text.AlignHCenter
        text: "添加"
        font.family: Theme.fontFamily
        font.pixelSize: 12
        color: Theme.secondary
        Accessible.ignored: true
    }
}
