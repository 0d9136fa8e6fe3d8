import QtQuick
import Tarnwick.App
import Tarnwick.Views

// Asks before the program quits, since a quit ends all supervision: "继续自控" (also Return, Escape and a click
// beside the card) keeps it running, "仍要退出" lets it end. Both answers go to the state object.
OverlayCard {
    id: card
    required property AppState state

    scrimColor: "black"
    scrimOpacity: 0.3
    cardWidth: 340
    cardRadius: 16
    startScale: 0.95
    shadowBlur: 20
    shadowOffset: 8
    shadowStrength: 0.2
    onCancelled: state.cancelQuit()
    onReturnPressed: state.cancelQuit()

    Item { width: 1; height: 26 }
    Column {
        x: 28
        width: parent.width - 56
        spacing: 10
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: "真的要退出吗？"
            font.family: Theme.fontFamily
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        Text {
            objectName: "warning"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "退出后，禁启规则与定时退出会全部失效，正在受监督的应用将失去保护，之前忍住的分心都会回来。"
            font.family: Theme.fontFamily
            font.pixelSize: 12
            lineHeightMode: Text.FixedHeight
            lineHeight: Math.ceil(warningMetrics.lineSpacing) + 3
            color: Theme.secondary
            FontMetrics {
                id: warningMetrics
                font.family: Theme.fontFamily
                font.pixelSize: 12
            }
        }
    }
    Item { width: 1; height: 20 }
    Column {
        x: 26
        width: parent.width - 52
        spacing: 6
        SheetPrimaryButton {
            objectName: "keepButton"
            width: parent.width
            title: "继续自控"
            answersReturn: false
            onClicked: card.state.cancelQuit()
        }
        LinkTextButtonStyle {
            objectName: "quitButton"
            anchors.horizontalCenter: parent.horizontalCenter
            horizontalPadding: 10
            text: "仍要退出"
            color: Theme.secondary
            onClicked: card.state.approveQuit()
        }
    }
    Item { width: 1; height: 14 }
}
