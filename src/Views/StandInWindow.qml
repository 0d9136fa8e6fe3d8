import QtQuick
import Tarnwick.ViewModels

// The launcher window until the grid is built: the number of apps found once the first scan is done, Ctrl+Q, and the
// quit confirmation card.
Window {
    id: root
    required property StandInWindowModel model

    title: "Tarnwick"
    color: "#F5F5F7"

    Shortcut {
        sequences: ["Ctrl+Q"]
        context: Qt.ApplicationShortcut
        onActivated: root.model.requestQuit()
    }
    Shortcut {
        sequences: ["Return", "Enter", "Escape"]
        enabled: root.model.showQuitConfirm
        onActivated: root.model.cancelQuit()
    }

    Text {
        objectName: "appCount"
        anchors.centerIn: parent
        visible: root.model.scanDone
        text: root.model.appCount
        font.pixelSize: 64
        color: "#1C1C1E"
    }

    Rectangle {
        objectName: "quitScrim"
        anchors.fill: parent
        visible: root.model.showQuitConfirm
        color: Qt.rgba(0, 0, 0, 0.3)

        TapHandler { onTapped: root.model.cancelQuit() }

        Rectangle {
            anchors.centerIn: parent
            width: 340
            height: card.implicitHeight + 40
            radius: 16
            color: "#ECECEC"

            TapHandler { }

            Column {
                id: card
                anchors.centerIn: parent
                spacing: 12

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "真的要退出吗？"
                    font.pixelSize: 17
                    font.weight: Font.DemiBold
                    color: "#1C1C1E"
                }
                Rectangle {
                    objectName: "keepButton"
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 288
                    height: 32
                    radius: 8
                    color: "#007AFF"
                    Text { anchors.centerIn: parent; text: "继续自控"; color: "white"; font.pixelSize: 13 }
                    TapHandler { onTapped: root.model.cancelQuit() }
                }
                Text {
                    objectName: "quitButton"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "仍要退出"
                    color: "#8E8E93"
                    font.pixelSize: 13
                    TapHandler { onTapped: root.model.approveQuit() }
                }
            }
        }
    }
}
