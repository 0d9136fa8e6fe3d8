import QtQuick

// A grid area (the zoom's hit area) beside a strip outside it.
Rectangle {
    width: 400
    height: 300
    color: "#ececec"

    property int wheelsSeen: 0

    Rectangle {
        objectName: "gridArea"
        x: 0
        y: 0
        width: 300
        height: 300
        color: "#f4f4f4"
        WheelHandler {
            acceptedModifiers: Qt.KeyboardModifierMask
            onWheel: parent.parent.wheelsSeen += 1
        }
    }
    Rectangle {
        objectName: "outside"
        x: 300
        width: 100
        height: 300
        color: "#dddddd"
    }
}
