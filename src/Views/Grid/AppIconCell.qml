import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// One app of the grid: its icon (dimmed with a lock badge when blocked), its name with the pin mark when pinned,
// the keyboard selection, and a small lift under the pointer. A click anywhere in the tile reports one activation.
Item {
    id: tile
    property string bundleID
    property string name // the alias when there is one, else the app's name
    property string iconSource
    property bool iconCached: false // a cached icon is drawn in the first frame; others load off the main thread
    property bool isPinned: false
    property bool isBlocked: false
    property bool isSelected: false
    property double iconScale: 1.0
    property bool pageAnimating: false
    property bool hovering: false
    signal activated()

    readonly property real iconSide: TileMetrics.iconSide(iconScale)
    readonly property bool lifted: AppTileRules.lifted(hovering, isBlocked, pageAnimating)

    implicitWidth: TileMetrics.width(iconScale)
    implicitHeight: TileMetrics.reservedHeight(iconScale)
    Accessible.role: Accessible.Button
    Accessible.name: name

    HoverHandler {
        id: hover
        onHoveredChanged: tile.hovering = AppTileRules.latchedHover(tile.hovering, hovered, tile.pageAnimating)
    }
    TapHandler {
        acceptedButtons: Qt.LeftButton
        // Qt takes a press held past this for a long press and reports no tap; nothing here answers a long press,
        // so a slow click opens the app as a quick one does. Moving the pointer makes it the grid's drag instead.
        longPressThreshold: 86400
        onTapped: tile.activated()
    }

    Item {
        id: iconGroup
        objectName: "iconGroup"
        x: (tile.width - width) / 2
        y: TileMetrics.verticalPadding
        width: tile.iconSide
        height: tile.iconSide
        transformOrigin: Item.Center
        scale: tile.lifted ? AppTileRules.liftScale : 1
        transform: Translate {
            y: tile.lifted ? -AppTileRules.liftOffset : 0
            Behavior on y { NumberAnimation { duration: 200; easing.type: Easing.OutCubic } }
        }
        Behavior on scale { NumberAnimation { duration: 200; easing.type: Easing.OutCubic } }

        Rectangle {
            objectName: "selectionFill"
            anchors.fill: parent
            anchors.margins: -TileMetrics.selectionFillOutset(tile.iconScale)
            radius: TileMetrics.selectionFillRadius(tile.iconScale)
            color: tile.isSelected ? Theme.withOpacity(Theme.accent, 0.17) : "transparent"
        }
        Item {
            anchors.fill: parent
            opacity: AppTileRules.iconOpacity(tile.isBlocked)
            Rectangle {
                objectName: "placeholder"
                anchors.fill: parent
                visible: icon.status !== Image.Ready
                radius: TileMetrics.placeholderRadius(tile.iconScale)
                color: Qt.rgba(0.92, 0.92, 0.92, 1)
            }
            Image {
                id: icon
                objectName: "icon"
                anchors.fill: parent
                source: tile.iconSource
                asynchronous: !tile.iconCached
                sourceSize: Qt.size(Math.ceil(tile.iconSide), Math.ceil(tile.iconSide))
                smooth: true
                mipmap: true
            }
        }
        Rectangle {
            objectName: "lockBadge"
            visible: tile.isBlocked
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            width: 25
            height: 25
            radius: 12.5
            color: Theme.thickMaterial
            Symbol {
                anchors.centerIn: parent
                name: "lock.fill"
                size: 13
                color: Theme.primary
            }
        }
        Rectangle {
            objectName: "selectionRing"
            anchors.fill: parent
            anchors.margins: -TileMetrics.selectionRingOutset(tile.iconScale)
            radius: TileMetrics.selectionRingRadius(tile.iconScale)
            color: "transparent"
            border.width: tile.isSelected ? 2.5 : 0
            border.color: Theme.withOpacity(Theme.accent, 0.85)
        }
    }
    Text {
        objectName: "name"
        y: TileMetrics.verticalPadding + tile.iconSide + TileMetrics.iconNameGap
        width: tile.width
        text: AppTileRules.label(tile.name, tile.isPinned)
        textFormat: Text.StyledText
        wrapMode: Text.Wrap
        maximumLineCount: 2
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
        font.family: Theme.fontFamily
        font.pixelSize: TileMetrics.nameFontSize
        color: Theme.primary
        Accessible.ignored: true
    }
}
