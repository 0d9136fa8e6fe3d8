import QtQuick

// A soft shadow behind a rounded shape: stacked rounded rectangles that fade outwards (the software renderer has no
// blur), `radius` wide, darkest at `opacity`.
Item {
    id: shadow
    property real radius: 8
    property real cornerRadius: 12
    property real shadowOpacity: 0.33
    property real offsetY: 0

    Repeater {
        model: 4
        delegate: Rectangle {
            required property int index
            readonly property real spread: shadow.radius * (index + 1) / 4
            x: -spread
            y: -spread + shadow.offsetY
            width: shadow.width + 2 * spread
            height: shadow.height + 2 * spread
            radius: shadow.cornerRadius + spread
            color: "black"
            opacity: shadow.shadowOpacity / 4
        }
    }
}
