import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels

// The "+" tile after the last app of a selected group: a single tap asks for the sheet that adds apps.
Item {
    id: cell
    property real iconScale: 1
    property bool pageAnimating: false
    property bool hovering: false
    signal tapped()

    width: 110 * iconScale
    height: 58 * iconScale + 56

    Rectangle {
        id: frame
        width: 58 * cell.iconScale
        height: width
        anchors.horizontalCenter: parent.horizontalCenter
        y: 6
        radius: 12 * cell.iconScale
        color: "transparent"
        border.width: 1.5
        border.color: Theme.addTileStroke(cell.hovering)

        Symbol {
            anchors.centerIn: parent
            name: "plus"
            size: 22 * cell.iconScale
            color: Theme.addTilePlus(cell.hovering)
        }
    }

    HoverHandler {
        onHoveredChanged: if (!cell.pageAnimating) cell.hovering = hovered
    }
    TapHandler {
        onTapped: cell.tapped()
    }
    PointingHandCursor {}
}
