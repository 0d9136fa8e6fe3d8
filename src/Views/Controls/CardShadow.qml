import QtQuick

// A soft shadow painted under a rounded card (drawn by every scene graph, the software one of the screenshots too):
// rings of the card's shape, each a little larger and fainter towards the edge, moved by `offsetY`. Place it as the
// card's sibling below it, filling the card.
Item {
    id: shadow
    property real radius: 16
    property real blur: 20
    property real offsetY: 8
    property real strength: 0.2
    readonly property int rings: 10

    Repeater {
        model: shadow.rings
        Rectangle {
            required property int index
            readonly property real spread: shadow.blur * 0.7 * (index + 1) / shadow.rings - shadow.blur * 0.15
            x: -spread
            y: -spread + shadow.offsetY
            width: shadow.width + 2 * spread
            height: shadow.height + 2 * spread
            radius: Math.max(0, shadow.radius + spread)
            color: Qt.rgba(0, 0, 0, shadow.strength / shadow.rings * 0.8)
        }
    }
}
