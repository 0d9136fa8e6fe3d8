import QtQuick
import Tarnwick.App

// The prompt for a blocked app: a card with the app's name over a scrim. Escape or a click on the scrim dismisses it.
// A stand-in until the prompts work brings the whole prompt.
FocusScope {
    id: prompt
    required property string appName
    signal dismissed()

    focus: true
    Keys.onEscapePressed: prompt.dismissed()

    Rectangle {
        objectName: "promptScrim"
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.3)
        TapHandler { onTapped: prompt.dismissed() }
    }
    Rectangle {
        objectName: "promptCard"
        anchors.centerIn: parent
        width: 360
        height: 160
        radius: 16
        color: "#ECECEC"
        TapHandler {}
        Text {
            anchors.centerIn: parent
            width: parent.width - 40
            horizontalAlignment: Text.AlignHCenter
            text: prompt.appName
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.family: Theme.fontFamily
            font.pixelSize: 19
            font.weight: Font.DemiBold
            color: Theme.primary
        }
    }
}
