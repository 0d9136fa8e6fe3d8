import QtQuick
import Tarnwick.App
import Tarnwick.Views

// The card that asks how to turn a rule or a plan off: "只关闭单次" (when there is a window to skip; the default),
// "一直关闭" and "取消". It has no keys of its own: the panel routes Return and Escape.
PanelCardFrame {
    id: card
    property bool canPauseOnce: false
    signal pauseOnce()
    signal always()
    signal cancel()

    Column {
        width: card.width
        topPadding: 24
        bottomPadding: 16
        spacing: 8
        Text {
            objectName: "cardTitle"
            x: 28
            width: card.width - 56
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "关闭这条规则？"
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        Text {
            objectName: "cardDetail"
            visible: card.canPauseOnce
            x: 28
            width: card.width - 56
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "只关闭单次会跳过本轮生效（含联动禁启），之后自动恢复。"
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 12
            color: Theme.secondary
        }
    }
    Item {
        visible: card.canPauseOnce
        width: card.width
        height: visible ? 36 + 10 : 0
        SheetProminentButton {
            objectName: "pauseOnceButton"
            x: 28
            width: card.width - 56
            implicitHeight: 36
            font.pixelSize: 13
            answersReturn: false
            focusPolicy: Qt.NoFocus
            text: "只关闭单次"
            onClicked: card.pauseOnce()
        }
    }
    Item {
        width: card.width
        height: linkRow.height + 16
        Item {
            id: linkRow
            x: 18
            width: card.width - 36
            height: alwaysButton.implicitHeight
            LinkTextButtonStyle {
                id: alwaysButton
                objectName: "alwaysButton"
                horizontalPadding: 10
                focusPolicy: Qt.NoFocus
                color: Theme.danger
                text: "一直关闭"
                onClicked: card.always()
            }
            LinkTextButtonStyle {
                objectName: "cancelButton"
                anchors.right: parent.right
                horizontalPadding: 10
                focusPolicy: Qt.NoFocus
                color: Theme.secondary
                text: "取消"
                onClicked: card.cancel()
            }
        }
    }
}
