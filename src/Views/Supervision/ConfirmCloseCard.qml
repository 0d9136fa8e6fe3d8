import QtQuick
import Tarnwick.App
import Tarnwick.ViewModels
import Tarnwick.Views

// The card that asks before a block, a plan or a session is closed: the title, the blocked-app slogan in quotes when
// there is one (three lines at most), the message, the confirming button (the default) and "取消". The panel routes
// Return and Escape.
PanelCardFrame {
    id: card
    property string slogan
    property string title
    property string message
    property string confirmTitle
    signal confirm()
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
            text: card.title
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: Theme.primary
        }
        Text {
            objectName: "cardSlogan"
            visible: card.slogan.length > 0
            x: 28
            width: card.width - 56
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            maximumLineCount: 3
            elide: Text.ElideRight
            text: "「" + card.slogan + "」"
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: SupervisionLook.quietGrey()
        }
        Text {
            objectName: "cardMessage"
            x: 28
            width: card.width - 56
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: card.message
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 12
            color: Theme.secondary
        }
    }
    Item {
        width: card.width
        height: 36 + 10
        SheetProminentButton {
            objectName: "confirmButton"
            x: 28
            width: card.width - 56
            implicitHeight: 36
            font.pixelSize: 13
            answersReturn: false
            focusPolicy: Qt.NoFocus
            text: card.confirmTitle
            onClicked: card.confirm()
        }
    }
    Item {
        width: card.width
        height: cancelButton.implicitHeight + 16
        LinkTextButtonStyle {
            id: cancelButton
            objectName: "cancelButton"
            anchors.horizontalCenter: parent.horizontalCenter
            horizontalPadding: 10
            focusPolicy: Qt.NoFocus
            color: Theme.secondary
            text: "取消"
            onClicked: card.cancel()
        }
    }
}
