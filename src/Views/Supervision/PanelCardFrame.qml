import QtQuick
import Tarnwick.App
import Tarnwick.Views

// The frame of the supervision panel's two cards: 340 wide, a rounded window-coloured card on a soft shadow. Its
// parts go inside, top to bottom.
Item {
    id: frame
    default property alias parts: column.data

    width: 340
    height: column.implicitHeight

    CardShadow {
        anchors.fill: parent
        radius: 14
        blur: 20
        offsetY: 8
        strength: 0.2
    }
    Rectangle {
        anchors.fill: parent
        radius: 14
        color: Theme.windowBackground
    }
    Column {
        id: column
        width: parent.width
    }
}
