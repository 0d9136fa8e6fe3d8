import QtQuick

// The thin scrollbar at the right of the vertical grid: a knob its controller places, dragged to scroll.
Item {
    id: bar
    property bool knobVisible: false
    property real knobTop: 0
    property real knobHeight: 0
    signal dragged(real dy)
    signal released()

    width: 6

    Rectangle {
        id: knob
        objectName: "scrollKnob"
        visible: bar.knobVisible
        y: bar.knobTop
        width: 6
        height: bar.knobHeight
        radius: 3
        color: Qt.rgba(0.85, 0.85, 0.85, 1)

        DragHandler {
            id: knobDrag
            target: null
            dragThreshold: 0
            // The grid's content drag lies under the knob too; once the knob has the drag it keeps it, else every
            // hand-over between the two would start the knob's way again from the pointer's new place.
            grabPermissions: PointerHandler.CanTakeOverFromAnything
            // Measured in the scene: the knob moves under the pointer while it is dragged.
            property real pressY: 0
            onActiveChanged: {
                if (active)
                    pressY = centroid.scenePressPosition.y
                else
                    bar.released()
            }
            onCentroidChanged: if (active) bar.dragged(centroid.scenePosition.y - centroid.scenePressPosition.y)
        }
    }
}
