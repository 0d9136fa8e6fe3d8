import QtQuick
import Tarnwick.App

// The quit confirmation: "继续自控" (also Return, Escape and a click beside the card) keeps the program running,
// "仍要退出" ends it. A stand-in card until the prompts work brings the whole card.
FocusScope {
    id: card
    required property AppState state

    focus: true
    Keys.onReturnPressed: card.state.cancelQuit()
    Keys.onEnterPressed: card.state.cancelQuit()
    Keys.onEscapePressed: card.state.cancelQuit()

    Rectangle {
        objectName: "quitScrim"
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.3)
        TapHandler { onTapped: card.state.cancelQuit() }
    }
    Rectangle {
        objectName: "quitCard"
        anchors.centerIn: parent
        width: 340
        height: 120
        radius: 16
        color: "#ECECEC"
        TapHandler {}

        Column {
            anchors.centerIn: parent
            spacing: 12
            Rectangle {
                objectName: "keepButton"
                width: 288
                height: 32
                radius: 8
                color: Theme.accent
                Text {
                    anchors.centerIn: parent
                    text: "继续自控"
                    font.family: Theme.fontFamily
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: "white"
                }
                TapHandler { onTapped: card.state.cancelQuit() }
                PointingHandCursor {}
            }
            LinkTextButtonStyle {
                objectName: "quitButton"
                anchors.horizontalCenter: parent.horizontalCenter
                text: "仍要退出"
                color: Theme.secondary
                onClicked: card.state.approveQuit()
            }
        }
    }
}
