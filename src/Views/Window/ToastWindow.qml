import QtQuick
import Tarnwick.App
import Tarnwick.Views

// The toast: one line on a capsule, centred in a 300 x 60 window that never grows; a longer line is cut with an
// ellipsis. The controller decides when it shows and fades.
Window {
    id: root
    required property FloatingToastController controller

    width: 300
    height: 60
    x: controller.frame.x
    y: controller.frame.y
    color: "transparent"
    visible: controller.shown

    Item {
        id: content
        anchors.fill: parent
        opacity: 0

        FloatingSurface {
            objectName: "capsule"
            anchors.centerIn: parent
            height: 36
            width: label.width + 36
            radius: height / 2

            Text {
                id: label
                objectName: "message"
                anchors.centerIn: parent
                width: Math.min(implicitWidth, root.width - 36)
                text: root.controller.message
                elide: Text.ElideRight
                font.pixelSize: 13
                font.weight: Font.Medium
                color: Qt.rgba(28 / 255, 28 / 255, 30 / 255, 1)
            }
        }
    }

    NumberAnimation { id: fadeIn; target: content; property: "opacity"; from: 0; to: 1; duration: 160 }
    NumberAnimation { id: fadeOut; target: content; property: "opacity"; to: 0; duration: 300 }

    Connections {
        target: root.controller
        function onGenerationChanged() { fadeOut.stop(); fadeIn.restart() }
        function onTargetOpacityChanged() { if (root.controller.targetOpacity === 0) { fadeIn.stop(); fadeOut.restart() } }
    }
}
