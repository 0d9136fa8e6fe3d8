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
            SheetPrimaryButton {
                objectName: "keepButton"
                width: 288
                title: "继续自控"
                // The card's own Return below answers, also while the focus is elsewhere in the card.
                answersReturn: false
                onClicked: card.state.cancelQuit()
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
